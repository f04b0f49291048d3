#include "host/components/graphics/Graphics.h"

#include <array>
#include <cstdio>

namespace vorn {

namespace {

// Screen colours of the system colours, indexed by the low byte of the system colour.
// Index 25 has no system colour; NoColor marks it.
constexpr TColor NoColor = 0xFFFFFFFF;
constexpr std::array<TColor, 31> SystemColorValues = {
    RGB(200, 200, 200), // clScrollBar
    RGB(58, 110, 165),  // clBackground
    RGB(153, 180, 209), // clActiveCaption
    RGB(191, 205, 219), // clInactiveCaption
    RGB(240, 240, 240), // clMenu
    RGB(255, 255, 255), // clWindow
    RGB(100, 100, 100), // clWindowFrame
    RGB(0, 0, 0),       // clMenuText
    RGB(0, 0, 0),       // clWindowText
    RGB(0, 0, 0),       // clCaptionText
    RGB(180, 180, 180), // clActiveBorder
    RGB(244, 247, 252), // clInactiveBorder
    RGB(171, 171, 171), // clAppWorkSpace
    RGB(0, 120, 215),   // clHighlight
    RGB(255, 255, 255), // clHighlightText
    RGB(240, 240, 240), // clBtnFace
    RGB(160, 160, 160), // clBtnShadow
    RGB(109, 109, 109), // clGrayText
    RGB(0, 0, 0),       // clBtnText
    RGB(67, 78, 84),    // clInactiveCaptionText
    RGB(255, 255, 255), // clBtnHighlight
    RGB(105, 105, 105), // cl3DDkShadow
    RGB(227, 227, 227), // cl3DLight
    RGB(0, 0, 0),       // clInfoText
    RGB(255, 255, 225), // clInfoBk
    NoColor,
    RGB(0, 102, 204),   // clHotLight
    RGB(185, 209, 234), // clGradientActiveCaption
    RGB(215, 228, 242), // clGradientInactiveCaption
    RGB(0, 120, 215),   // clMenuHighlight
    RGB(240, 240, 240), // clMenuBar
};

std::string HexColor(TColor Color) {
    char Text[16];
    std::snprintf(Text, sizeof Text, "$%08X", static_cast<unsigned>(Color));
    return Text;
}

} // namespace

TColor ColorToRGB(TColor Color) {
    if (!IsSystemColor(Color)) {
        if ((Color & 0xFF000000) != 0)
            throw EConvertError("ColorToRGB() " + HexColor(Color) + " has no RGB value");
        return Color;
    }
    const TColor Index = Color & ~SystemColorFlag;
    if (Index >= SystemColorValues.size() || SystemColorValues[Index] == NoColor)
        throw EConvertError("ColorToRGB() " + HexColor(Color) + " is not a known system colour");
    return SystemColorValues[Index];
}

const TTypeInfo& ColorTypeInfo() {
    static const TTypeInfo Info{"TColor", tkInteger, {}, nullptr};
    return Info;
}

const TTypeInfo& FontStylesTypeInfo() {
    static const TTypeInfo Info{
        "TFontStyles", tkSet, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}, nullptr};
    return Info;
}

// ---------------------------------------------------------------- TFont

const TClass& TFont::StaticClass() {
    static const TClass Class = [] {
        TClass C("TFont", &TPersistent::StaticClass());
        C.AddProperty(MakeProperty("Color", ColorTypeInfo(), &TFont::Color, &TFont::SetColor));
        C.AddProperty(MakeProperty("Name", StringTypeInfo(), &TFont::Name, &TFont::SetName));
        C.AddProperty(MakeProperty("Size", IntegerTypeInfo(), &TFont::Size, &TFont::SetSize));
        C.AddProperty(MakeProperty("Style", FontStylesTypeInfo(), &TFont::Style, &TFont::SetStyle));
        return C;
    }();
    return Class;
}

const TTypeInfo& FontTypeInfo() {
    static const TTypeInfo Info{"TFont", tkObject, {}, &TFont::StaticClass()};
    return Info;
}

void TFont::SetColor(TColor Value) {
    if (Value == FColor)
        return;
    FColor = Value;
    Changed();
}

void TFont::SetName(const std::string& Value) {
    if (Value.empty())
        throw EConvertError("TFont.SetName() A font name cannot be empty");
    if (Value == FName)
        return;
    FName = Value;
    Changed();
}

void TFont::SetSize(int Value) {
    if (Value < 1)
        throw EConvertError("TFont.SetSize() " + std::to_string(Value) +
                            " is not a valid font size (at least 1 point)");
    if (Value == FSize)
        return;
    FSize = Value;
    Changed();
}

void TFont::SetStyle(TFontStyles Value) {
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed();
}

void TFont::Assign(const TPersistent* Source) {
    const auto* Font = dynamic_cast<const TFont*>(Source);
    if (Font == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (Font->FColor == FColor && Font->FName == FName && Font->FSize == FSize &&
        Font->FStyle == FStyle)
        return;
    FColor = Font->FColor;
    FName = Font->FName;
    FSize = Font->FSize;
    FStyle = Font->FStyle;
    Changed();
}

void TFont::Changed() {
    if (OnChange)
        OnChange(this);
}

} // namespace vorn
