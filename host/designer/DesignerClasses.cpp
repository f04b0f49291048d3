#include "host/designer/DesignerClasses.h"

#include "host/components/model/ClassRegistry.h"

namespace vorn {

void RegisterDesignerHostClasses() {
    RegisterHostClasses();
    TRegistrationModuleScope Scope(HostDataClassesModule);
    for (const TClass* Class : DataClasses())
        RegisterClass(*Class);
}

} // namespace vorn
