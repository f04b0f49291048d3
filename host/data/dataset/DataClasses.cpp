#include "host/data/dataset/DataClasses.h"

#include "host/data/dataset/DataSource.h"
#include "host/data/dataset/Query.h"
#include "host/data/dataset/Table.h"
#include "host/data/grid/DBGrid.h"

namespace vorn {

std::vector<const TClass*> DataClasses() {
    return {&TDataSource::StaticClass(), &TTable::StaticClass(), &TQuery::StaticClass(),
            &TDBGrid::StaticClass()};
}

} // namespace vorn
