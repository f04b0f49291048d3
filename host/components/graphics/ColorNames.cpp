#include "host/components/graphics/ColorNames.h"

#include "host/components/text/AsciiText.h"

#include <array>
#include <utility>

namespace vorn {

namespace {

using TNamedColor = std::pair<const char*, TColor>;

constexpr std::array NamedColors = {
    TNamedColor{"clBlack", clBlack},
    TNamedColor{"clMaroon", clMaroon},
    TNamedColor{"clGreen", clGreen},
    TNamedColor{"clOlive", clOlive},
    TNamedColor{"clNavy", clNavy},
    TNamedColor{"clPurple", clPurple},
    TNamedColor{"clTeal", clTeal},
    TNamedColor{"clGray", clGray},
    TNamedColor{"clSilver", clSilver},
    TNamedColor{"clRed", clRed},
    TNamedColor{"clLime", clLime},
    TNamedColor{"clYellow", clYellow},
    TNamedColor{"clBlue", clBlue},
    TNamedColor{"clFuchsia", clFuchsia},
    TNamedColor{"clAqua", clAqua},
    TNamedColor{"clWhite", clWhite},
    TNamedColor{"clLtGray", clLtGray},
    TNamedColor{"clDkGray", clDkGray},
    TNamedColor{"clNone", clNone},
    TNamedColor{"clDefault", clDefault},
    TNamedColor{"clScrollBar", clScrollBar},
    TNamedColor{"clBackground", clBackground},
    TNamedColor{"clActiveCaption", clActiveCaption},
    TNamedColor{"clInactiveCaption", clInactiveCaption},
    TNamedColor{"clMenu", clMenu},
    TNamedColor{"clWindow", clWindow},
    TNamedColor{"clWindowFrame", clWindowFrame},
    TNamedColor{"clMenuText", clMenuText},
    TNamedColor{"clWindowText", clWindowText},
    TNamedColor{"clCaptionText", clCaptionText},
    TNamedColor{"clActiveBorder", clActiveBorder},
    TNamedColor{"clInactiveBorder", clInactiveBorder},
    TNamedColor{"clAppWorkSpace", clAppWorkSpace},
    TNamedColor{"clHighlight", clHighlight},
    TNamedColor{"clHighlightText", clHighlightText},
    TNamedColor{"clBtnFace", clBtnFace},
    TNamedColor{"clBtnShadow", clBtnShadow},
    TNamedColor{"clGrayText", clGrayText},
    TNamedColor{"clBtnText", clBtnText},
    TNamedColor{"clInactiveCaptionText", clInactiveCaptionText},
    TNamedColor{"clBtnHighlight", clBtnHighlight},
    TNamedColor{"cl3DDkShadow", cl3DDkShadow},
    TNamedColor{"cl3DLight", cl3DLight},
    TNamedColor{"clInfoText", clInfoText},
    TNamedColor{"clInfoBk", clInfoBk},
    TNamedColor{"clHotLight", clHotLight},
    TNamedColor{"clGradientActiveCaption", clGradientActiveCaption},
    TNamedColor{"clGradientInactiveCaption", clGradientInactiveCaption},
    TNamedColor{"clMenuHighlight", clMenuHighlight},
    TNamedColor{"clMenuBar", clMenuBar},
};

} // namespace

std::optional<TColor> ColorFromName(const std::string& Name) {
    for (const auto& [ColorName, Color] : NamedColors)
        if (SameTextAscii(ColorName, Name))
            return Color;
    return std::nullopt;
}

std::optional<std::string> ColorName(TColor Color) {
    for (const auto& [Name, Value] : NamedColors)
        if (Value == Color)
            return std::string(Name);
    return std::nullopt;
}

std::vector<std::string> ColorNames() {
    std::vector<std::string> Names;
    for (const auto& Entry : NamedColors)
        Names.emplace_back(Entry.first);
    return Names;
}

} // namespace vorn
