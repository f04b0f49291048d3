#include "Source/VornData.h"

#include "Source/DBFilterGrid.h"
#include "host/components/model/ClassRegistry.h"

namespace vorn {

namespace {

// Of the runtime units none keeps state that must be built or torn down per load: the
// filter grid's name tables are constant data of the module image, gone with it. The
// sections are still counted, so that every user of a unit sees it entered once.
constinit TUnitSection VornSharedSection("Vorn_shared", nullptr, nullptr);
constinit TUnitSection DBLocateEditSection("DBLocateEdit", nullptr, nullptr);
constinit TUnitSection DBFieldComboBoxSection("DBFieldComboBox", nullptr, nullptr);
constinit TUnitSection DBFilterGridSection("DBFilterGrid", nullptr, nullptr);
constinit TUnitSection DBGridTitleSortSection("DBGridTitleSort", nullptr, nullptr);
constinit TUnitSection DBSortComboBoxSection("DBSortComboBox", nullptr, nullptr);

} // namespace

namespace vorn_shared {
void InitializeUnit() {
    VornSharedSection.Enter();
}
void FinalizeUnit() {
    VornSharedSection.Leave();
}
} // namespace vorn_shared

namespace dblocateedit {
void InitializeUnit() {
    DBLocateEditSection.Enter();
}
void FinalizeUnit() {
    DBLocateEditSection.Leave();
}
} // namespace dblocateedit

namespace dbfieldcombobox {
void InitializeUnit() {
    DBFieldComboBoxSection.Enter();
}
void FinalizeUnit() {
    DBFieldComboBoxSection.Leave();
}
} // namespace dbfieldcombobox

namespace dbfiltergrid {
void InitializeUnit() {
    DBFilterGridSection.Enter();
}
void FinalizeUnit() {
    DBFilterGridSection.Leave();
}

void Register() {
    RegisterComponents(VornPalettePage, {&TDBFilterGrid::StaticClass()});
}
} // namespace dbfiltergrid

namespace dbgridtitlesort {
void InitializeUnit() {
    DBGridTitleSortSection.Enter();
}
void FinalizeUnit() {
    DBGridTitleSortSection.Leave();
}
} // namespace dbgridtitlesort

namespace dbsortcombobox {
void InitializeUnit() {
    DBSortComboBoxSection.Enter();
}
void FinalizeUnit() {
    DBSortComboBoxSection.Leave();
}
} // namespace dbsortcombobox

} // namespace vorn
