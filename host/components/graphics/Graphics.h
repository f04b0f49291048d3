#pragma once

#include "host/components/model/Component.h"
#include "host/components/model/Events.h"
#include "host/components/model/Set.h"
#include "host/components/model/TypeInfo.h"

#include <cstdint>
#include <string>

namespace vorn {

// A colour laid out as 0x00BBGGRR (red is 0x0000FF). A system colour has the top bit
// set and names the system colour by its low byte; only the widget set (through
// ColorToRGB) turns it into a screen colour.
using TColor = std::uint32_t;

inline constexpr TColor SystemColorFlag = 0x80000000;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clLtGray = clSilver;
inline constexpr TColor clDkGray = clGray;

// "No colour" (transparent) and "the control's default colour": neither has an RGB value.
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

inline constexpr TColor clScrollBar = SystemColorFlag | 0;
inline constexpr TColor clBackground = SystemColorFlag | 1;
inline constexpr TColor clActiveCaption = SystemColorFlag | 2;
inline constexpr TColor clInactiveCaption = SystemColorFlag | 3;
inline constexpr TColor clMenu = SystemColorFlag | 4;
inline constexpr TColor clWindow = SystemColorFlag | 5;
inline constexpr TColor clWindowFrame = SystemColorFlag | 6;
inline constexpr TColor clMenuText = SystemColorFlag | 7;
inline constexpr TColor clWindowText = SystemColorFlag | 8;
inline constexpr TColor clCaptionText = SystemColorFlag | 9;
inline constexpr TColor clActiveBorder = SystemColorFlag | 10;
inline constexpr TColor clInactiveBorder = SystemColorFlag | 11;
inline constexpr TColor clAppWorkSpace = SystemColorFlag | 12;
inline constexpr TColor clHighlight = SystemColorFlag | 13;
inline constexpr TColor clHighlightText = SystemColorFlag | 14;
inline constexpr TColor clBtnFace = SystemColorFlag | 15;
inline constexpr TColor clBtnShadow = SystemColorFlag | 16;
inline constexpr TColor clGrayText = SystemColorFlag | 17;
inline constexpr TColor clBtnText = SystemColorFlag | 18;
inline constexpr TColor clInactiveCaptionText = SystemColorFlag | 19;
inline constexpr TColor clBtnHighlight = SystemColorFlag | 20;
inline constexpr TColor cl3DDkShadow = SystemColorFlag | 21;
inline constexpr TColor cl3DLight = SystemColorFlag | 22;
inline constexpr TColor clInfoText = SystemColorFlag | 23;
inline constexpr TColor clInfoBk = SystemColorFlag | 24;
inline constexpr TColor clHotLight = SystemColorFlag | 26;
inline constexpr TColor clGradientActiveCaption = SystemColorFlag | 27;
inline constexpr TColor clGradientInactiveCaption = SystemColorFlag | 28;
inline constexpr TColor clMenuHighlight = SystemColorFlag | 29;
inline constexpr TColor clMenuBar = SystemColorFlag | 30;

constexpr bool IsSystemColor(TColor Color) {
    return (Color & SystemColorFlag) != 0;
}

constexpr TColor RGB(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue) {
    return static_cast<TColor>(Red) | (static_cast<TColor>(Green) << 8) |
           (static_cast<TColor>(Blue) << 16);
}
constexpr std::uint8_t GetRValue(TColor Color) {
    return Color & 0xFF;
}
constexpr std::uint8_t GetGValue(TColor Color) {
    return (Color >> 8) & 0xFF;
}
constexpr std::uint8_t GetBValue(TColor Color) {
    return (Color >> 16) & 0xFF;
}

// The RGB value (0x00BBGGRR) of Color: an RGB colour as it is, a system colour from the
// table of default screen colours. Raises EConvertError for clNone, clDefault, an unknown
// system colour and any other value that is not a colour.
TColor ColorToRGB(TColor Color);

// Type information of TColor properties: an integer named "TColor".
const TTypeInfo& ColorTypeInfo();

// Image data that cannot be read: the message says what is wrong with it.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

const TTypeInfo& FontStylesTypeInfo();

// A font description: colour, face name, size in points and style. OnChange fires once
// for every call that changes something (Assign included), never for a call that changes
// nothing.
class TFont : public TPersistent {
public:
    TFont() = default;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);

    const std::string& Name() const { return FName; }
    // Raises for an empty name.
    void SetName(const std::string& Value);

    int Size() const { return FSize; }
    // Raises for a size below 1 point.
    void SetSize(int Value);

    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);

    // Copies colour, name, size and style of another TFont; other sources raise.
    void Assign(const TPersistent* Source) override;

    TNotifyEvent OnChange;

private:
    void Changed();

    TColor FColor = clWindowText;
    std::string FName = "Sans";
    int FSize = 8;
    TFontStyles FStyle;
};

// Type information of a TFont sub-object property (a control's Font, a title's Font).
const TTypeInfo& FontTypeInfo();

} // namespace vorn
