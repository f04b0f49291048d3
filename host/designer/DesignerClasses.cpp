#include "host/designer/DesignerClasses.h"

#include "host/components/ClassRegistry.h"
#include "host/data/DBGrid.h"
#include "host/data/DataSource.h"
#include "host/data/Query.h"
#include "host/data/Table.h"

namespace vorn {

void RegisterDesignerHostClasses() {
    RegisterHostClasses();
    TRegistrationModuleScope Scope(HostDataClassesModule);
    for (const TClass* Class : {&TDataSource::StaticClass(), &TTable::StaticClass(),
                                &TQuery::StaticClass(), &TDBGrid::StaticClass()})
        RegisterClass(*Class);
}

} // namespace vorn
