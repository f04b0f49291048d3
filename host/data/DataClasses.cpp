#include "host/data/DataClasses.h"

#include "host/data/DBGrid.h"
#include "host/data/DataSource.h"
#include "host/data/Query.h"
#include "host/data/Table.h"

namespace vorn {

std::vector<const TClass*> DataClasses() {
    return {&TDataSource::StaticClass(), &TTable::StaticClass(), &TQuery::StaticClass(),
            &TDBGrid::StaticClass()};
}

} // namespace vorn
