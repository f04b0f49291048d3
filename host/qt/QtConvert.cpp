#include "host/qt/QtConvert.h"

#include "host/components/CodePage.h"

#include <QBrush>

#include <algorithm>
#include <array>
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

std::optional<QColor> ToQColor(TColor Color) {
    if (Color == clNone || Color == clDefault)
        return std::nullopt;
    try {
        const TColor Rgb = ColorToRGB(Color);
        return QColor(GetRValue(Rgb), GetGValue(Rgb), GetBValue(Rgb));
    } catch (const Exception&) {
        // A value that is no colour leaves the style's colour in place rather than
        // painting something arbitrary.
        return std::nullopt;
    }
}

QVariant ColorBrush(TColor Color) {
    const auto Screen = ToQColor(Color);
    return Screen ? QVariant(QBrush(*Screen)) : QVariant();
}

QFont ToQFont(const TFont& Font) {
    QFont Result(ToQString(Font.Name()));
    Result.setPointSize(Font.Size());
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
