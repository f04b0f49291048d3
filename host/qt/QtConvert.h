#pragma once

#include "host/components/Control.h"
#include "host/components/Graphics.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QVariant>
#include <Qt>

#include <optional>
#include <string>

namespace vorn {

// Host code page text to a Qt string and back; characters the code page lacks become "?".
QString ToQString(const std::string& Text);
std::string FromQString(const QString& Text);

// Positions in a text shown by a widget: the model counts whole characters of the host
// code page, Qt counts UTF-16 code units, which differ for a character outside the Basic
// Multilingual Plane (a surrogate pair). Each host character is one code point of the
// converted text, so both count code points of the QString. Positions past the end give
// the end.
int Utf16PositionOfCharacter(const QString& Text, int CharacterIndex);
int CharacterIndexOfUtf16Position(const QString& Text, int Utf16Position);

// The screen colour of Color, or nothing for clNone, clDefault and values that are no
// colour: the widget then keeps its style's colour.
std::optional<QColor> ToQColor(TColor Color);
QFont ToQFont(const TFont& Font);
// A brush of Color for an item model's colour roles; an empty value leaves the style's.
QVariant ColorBrush(TColor Color);

// The modifiers of an input event (and the mouse buttons held) as a shift state.
TShiftState ShiftFromQt(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons = {});
// The virtual key code of a Qt key, or 0 for a key that has none.
int VirtualKeyFromQt(int QtKey);
// The mouse button of a Qt button, or nothing for the buttons the controls do not know.
std::optional<TMouseButton> MouseButtonFromQt(Qt::MouseButton Button);

} // namespace vorn
