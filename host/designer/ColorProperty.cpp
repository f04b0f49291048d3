#include "host/designer/ColorProperty.h"

#include "host/components/graphics/ColorNames.h"

namespace vorn {

const TClass& TColorProperty::StaticClass() {
    static const TClass Class("TColorProperty", &TIntegerProperty::StaticClass());
    return Class;
}

TPropertyAttributes TColorProperty::GetAttributes() {
    return {paValueList, paMultiSelect, paRevertable};
}

std::string TColorProperty::GetValue() {
    const TPropertyValue Stored = GetPropValueAt(0);
    if (const auto* Number = std::get_if<std::int64_t>(&Stored))
        if (const std::optional<std::string> Name = ColorName(static_cast<TColor>(*Number)))
            return *Name;
    return TIntegerProperty::GetValue();
}

void TColorProperty::GetValues(const TGetStrProc& Proc) {
    for (const std::string& Name : ColorNames())
        Proc(Name);
}

void TColorProperty::SetValue(const std::string& Value) {
    if (const std::optional<TColor> Color = ColorFromName(Value))
        SetPropValue(static_cast<std::int64_t>(*Color));
    else if (const std::optional<std::int64_t> Number = WholeNumber(Value))
        SetPropValue(*Number);
    else
        InvalidValue(Value, "neither a colour name (clRed, clBtnFace) nor a whole number");
}

} // namespace vorn
