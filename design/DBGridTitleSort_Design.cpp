#include "design/DBGridTitleSort_Design.h"

#include "Source/DBGridTitleSort.h"
#include "host/components/model/Package.h"
#include "host/designer/PropertyEditorRegistry.h"

namespace vorn {

namespace {

// Nothing to set up: the section is counted so that the unit is entered once per load.
constinit TUnitSection DesignSection("DBGridTitleSort_Design", nullptr, nullptr);

} // namespace

const TClass& TDBGridTitleSortMaskProperty::StaticClass() {
    static const TClass Class("TDBGridTitleSortMaskProperty", &TStringProperty::StaticClass());
    return Class;
}

TPropertyAttributes TDBGridTitleSortMaskProperty::GetAttributes() {
    return TStringProperty::GetAttributes() + TPropertyAttributes{paValueList};
}

void TDBGridTitleSortMaskProperty::GetValues(const TGetStrProc& Proc) {
    Proc("%t (sorted)");
    Proc("%t %s");
    Proc("%t (%i)");
    Proc("%i: %t");
}

namespace dbgridtitlesort_design {

void Register() {
    RegisterPropertyEditor(StringTypeInfo(), &TDBGridTitleSort::StaticClass(), "ClickedTitleMask",
                           &CreatePropertyEditorOf<TDBGridTitleSortMaskProperty>);
}

void InitializeUnit() {
    DesignSection.Enter();
}
void FinalizeUnit() {
    DesignSection.Leave();
}

} // namespace dbgridtitlesort_design

} // namespace vorn
