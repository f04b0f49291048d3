#include "host/qt/QtConvert.h"

#include "host/components/text/CodePage.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace vorn {

QString ToQString(const std::string& Text) {
    return QString::fromStdU16String(HostToUtf16(Text));
}

std::string FromQString(const QString& Text) {
    return Utf16ToHost(Text.toStdU16String());
}

namespace {

// The number of UTF-16 code units of the code point that starts at Position.
int CodePointWidth(const QString& Text, int Position) {
    const bool Pair = Text.at(Position).isHighSurrogate() && Position + 1 < Text.size() &&
                      Text.at(Position + 1).isLowSurrogate();
    return Pair ? 2 : 1;
}

} // namespace

int Utf16PositionOfCharacter(const QString& Text, int CharacterIndex) {
    int Position = 0;
    for (; CharacterIndex > 0 && Position < Text.size(); --CharacterIndex)
        Position += CodePointWidth(Text, Position);
    return static_cast<int>(std::min<qsizetype>(Position, Text.size()));
}

int CharacterIndexOfUtf16Position(const QString& Text, int Utf16Position) {
    int Index = 0;
    for (int Position = 0; Position < Utf16Position && Position < Text.size(); ++Index)
        Position += CodePointWidth(Text, Position);
    return Index;
}

namespace {

// The palette role that stands for each system colour the application's palette has; the
// others (captions, borders) keep their default screen colours.
std::optional<QPalette::ColorRole> PaletteRoleOf(TColor Color) {
    static constexpr std::array<std::pair<TColor, QPalette::ColorRole>, 19> Roles{{
        {clScrollBar, QPalette::Window},
        {clBackground, QPalette::Window},
        {clMenu, QPalette::Window},
        {clMenuBar, QPalette::Window},
        {clAppWorkSpace, QPalette::Window},
        {clWindow, QPalette::Base},
        {clMenuText, QPalette::WindowText},
        {clWindowText, QPalette::Text},
        {clHighlight, QPalette::Highlight},
        {clMenuHighlight, QPalette::Highlight},
        {clHighlightText, QPalette::HighlightedText},
        {clBtnFace, QPalette::Button},
        {clBtnText, QPalette::ButtonText},
        {clBtnShadow, QPalette::Mid},
        {clBtnHighlight, QPalette::Light},
        {cl3DDkShadow, QPalette::Shadow},
        {cl3DLight, QPalette::Midlight},
        {clInfoBk, QPalette::ToolTipBase},
        {clInfoText, QPalette::ToolTipText},
    }};
    for (const auto& [System, Role] : Roles)
        if (System == Color)
            return Role;
    return std::nullopt;
}

} // namespace

std::optional<QColor> ToQColor(TColor Color) {
    if (Color == clNone || Color == clDefault)
        return std::nullopt;
    const QPalette Palette = QGuiApplication::palette();
    if (const auto Role = PaletteRoleOf(Color))
        return Palette.color(QPalette::Active, *Role);
    if (Color == clGrayText)
        return Palette.color(QPalette::Disabled, QPalette::Text);
    if (Color == clHotLight)
        return Palette.color(QPalette::Active, QPalette::Link);
    try {
        const TColor Rgb = ColorToRGB(Color);
        return QColor(GetRValue(Rgb), GetGValue(Rgb), GetBValue(Rgb));
    } catch (const Exception&) {
        // A value that is no colour leaves the style's colour in place rather than
        // painting something arbitrary.
        return std::nullopt;
    }
}

namespace {

// The relative luminance of a colour on the sRGB scale, 0 for black to 1 for white.
double Luminance(const QColor& Color) {
    const auto Linear = [](double Channel) {
        return Channel <= 0.03928 ? Channel / 12.92 : std::pow((Channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * Linear(Color.redF()) + 0.7152 * Linear(Color.greenF()) +
           0.0722 * Linear(Color.blueF());
}

} // namespace

double ContrastRatio(const QColor& First, const QColor& Second) {
    const double A = Luminance(First);
    const double B = Luminance(Second);
    return (std::max(A, B) + 0.05) / (std::min(A, B) + 0.05);
}

QColor ReadableTextColor(const QColor& Background, const QColor& Text) {
    if (ContrastRatio(Background, Text) >= MinimumTextContrast)
        return Text;
    const QColor Black(Qt::black);
    const QColor White(Qt::white);
    return ContrastRatio(Background, Black) >= ContrastRatio(Background, White) ? Black : White;
}

QVariant ColorBrush(TColor Color) {
    const auto Screen = ToQColor(Color);
    return Screen ? QVariant(QBrush(*Screen)) : QVariant();
}

QColor InactiveHighlight() {
    const QPalette Palette = QGuiApplication::palette();
    const QColor Highlight = Palette.color(QPalette::Active, QPalette::Highlight);
    const QColor Base = Palette.color(QPalette::Active, QPalette::Base);
    const auto Mix = [](int A, int B) { return (A + B) / 2; };
    return {Mix(Highlight.red(), Base.red()), Mix(Highlight.green(), Base.green()),
            Mix(Highlight.blue(), Base.blue())};
}

bool IsHostDefaultFont(const TFont& Font) {
    static const TFont Default;
    return Font.Name() == Default.Name() && Font.Size() == Default.Size();
}

QFont ToQFont(const TFont& Font) {
    QFont Result = QGuiApplication::font();
    if (!IsHostDefaultFont(Font)) {
        Result.setFamilies({ToQString(Font.Name())});
        Result.setPointSize(Font.Size());
    }
    Result.setBold(Font.Style().Contains(fsBold));
    Result.setItalic(Font.Style().Contains(fsItalic));
    Result.setUnderline(Font.Style().Contains(fsUnderline));
    Result.setStrikeOut(Font.Style().Contains(fsStrikeOut));
    return Result;
}

TShiftState ShiftFromQt(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons) {
    TShiftState Shift;
    if (Modifiers.testFlag(Qt::ShiftModifier))
        Shift.Include(ssShift);
    if (Modifiers.testFlag(Qt::ControlModifier))
        Shift.Include(ssCtrl);
    if (Modifiers.testFlag(Qt::AltModifier))
        Shift.Include(ssAlt);
    if (Buttons.testFlag(Qt::LeftButton))
        Shift.Include(ssLeft);
    if (Buttons.testFlag(Qt::RightButton))
        Shift.Include(ssRight);
    if (Buttons.testFlag(Qt::MiddleButton))
        Shift.Include(ssMiddle);
    return Shift;
}

int VirtualKeyFromQt(int QtKey) {
    if ((QtKey >= Qt::Key_A && QtKey <= Qt::Key_Z) || (QtKey >= Qt::Key_0 && QtKey <= Qt::Key_9))
        return QtKey;
    if (QtKey >= Qt::Key_F1 && QtKey <= Qt::Key_F12)
        return VK_F1 + (QtKey - Qt::Key_F1);
    static constexpr std::array<std::pair<int, int>, 24> Keys{{
        {Qt::Key_Backspace, VK_BACK},   {Qt::Key_Tab, VK_TAB},       {Qt::Key_Backtab, VK_TAB},
        {Qt::Key_Return, VK_RETURN},    {Qt::Key_Enter, VK_RETURN},  {Qt::Key_Shift, VK_SHIFT},
        {Qt::Key_Control, VK_CONTROL},  {Qt::Key_Alt, VK_MENU},      {Qt::Key_Pause, VK_PAUSE},
        {Qt::Key_CapsLock, VK_CAPITAL}, {Qt::Key_Escape, VK_ESCAPE}, {Qt::Key_Space, VK_SPACE},
        {Qt::Key_PageUp, VK_PRIOR},     {Qt::Key_PageDown, VK_NEXT}, {Qt::Key_End, VK_END},
        {Qt::Key_Home, VK_HOME},        {Qt::Key_Left, VK_LEFT},     {Qt::Key_Up, VK_UP},
        {Qt::Key_Right, VK_RIGHT},      {Qt::Key_Down, VK_DOWN},     {Qt::Key_Insert, VK_INSERT},
        {Qt::Key_Delete, VK_DELETE},    {Qt::Key_Menu, VK_APPS},     {Qt::Key_NumLock, VK_NUMLOCK},
    }};
    for (const auto& [Qt, Virtual] : Keys)
        if (Qt == QtKey)
            return Virtual;
    return 0;
}

std::optional<TMouseButton> MouseButtonFromQt(Qt::MouseButton Button) {
    switch (Button) {
    case Qt::LeftButton:
        return mbLeft;
    case Qt::RightButton:
        return mbRight;
    case Qt::MiddleButton:
        return mbMiddle;
    default:
        return std::nullopt;
    }
}

} // namespace vorn
