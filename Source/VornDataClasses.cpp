#include "Source/VornData.h"

#include "Source/DBFieldComboBox.h"
#include "Source/DBFilterGrid.h"
#include "Source/DBGridTitleSort.h"
#include "Source/DBLocateEdit.h"
#include "Source/DBSortComboBox.h"
#include "host/components/model/ClassRegistry.h"
#include "host/data/dataset/DataClasses.h"

namespace vorn {

namespace {

// The package's component classes that the package registered itself: their class
// information lives in this module, so they go when the package ends.
std::vector<const TClass*> RegisteredComponentClasses;

} // namespace

std::vector<const TClass*> VornDataComponentClasses() {
    return {&TDBGridTitleSort::StaticClass(), &TDBFilterGrid::StaticClass(),
            &TDBSortComboBox::StaticClass(), &TDBLocateEdit::StaticClass(),
            &TDBFieldComboBox::StaticClass()};
}

void RegisterFormClasses() {
    RegisterMissingClasses(HostClassesModule, HostClasses());
    RegisterMissingClasses(HostDataClassesModule, DataClasses());
    RegisteredComponentClasses =
        RegisterMissingClasses(VornDataModuleName, VornDataComponentClasses());
}

void UnregisterFormClasses() {
    for (const TClass* Class : RegisteredComponentClasses)
        UnregisterClass(*Class);
    RegisteredComponentClasses.clear();
}

} // namespace vorn
