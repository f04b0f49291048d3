#pragma once

// The designer's editor of TDBGridTitleSort.ClickedTitleMask: a string typed freely or
// picked from sample masks.

#include "host/designer/PropertyEditor.h"

namespace vorn {

class TDBGridTitleSortMaskProperty : public TStringProperty {
public:
    using TStringProperty::TStringProperty;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    // A string property's attributes with a drop-down list of samples.
    TPropertyAttributes GetAttributes() override;
    // The sample masks, in the order the list shows them.
    void GetValues(const TGetStrProc& Proc) override;
};

namespace dbgridtitlesort_design {

// Binds the editor to the string property ClickedTitleMask of TDBGridTitleSort and its
// descendants.
void Register();

void InitializeUnit();
void FinalizeUnit();

} // namespace dbgridtitlesort_design

} // namespace vorn
