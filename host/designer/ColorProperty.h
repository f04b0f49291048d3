#pragma once

#include "host/designer/PropertyEditor.h"

namespace vorn {

// A colour (TColor): shown by its name when it has one (clRed, clBtnFace) and as a decimal
// number otherwise; typed as a name or a number; the names form the value list.
class TColorProperty : public TIntegerProperty {
public:
    using TIntegerProperty::TIntegerProperty;
    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    TPropertyAttributes GetAttributes() override;
    std::string GetValue() override;
    void GetValues(const TGetStrProc& Proc) override;
    void SetValue(const std::string& Value) override;
};

} // namespace vorn
