#pragma once

#include "host/components/controls/Control.h"
#include "host/components/graphics/Graphics.h"

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
// colour: the widget then keeps its style's colour. System colours are the application's
// palette (clWindow its base, clWindowText its text, clBtnFace its button colour,
// clHighlight its highlight, ...), so that a dark palette makes the controls dark; those
// the palette has no role for keep their default screen colours.
std::optional<QColor> ToQColor(TColor Color);

// The current cell of a grid without the focus: the palette's highlight halfway towards its
// base colour, so that it reads as selected but not active on light and dark palettes.
QColor InactiveHighlight();

// Whether Font has the face name and size a new TFont starts with: such a font stands for
// "the default font" and shows in the application's font.
bool IsHostDefaultFont(const TFont& Font);
// The screen font of Font: the application's family and size for a default font (see
// IsHostDefaultFont), Font's own otherwise; the style is always Font's.
QFont ToQFont(const TFont& Font);

// The contrast ratio of two colours by relative luminance, from 1 (same) to 21 (black on
// white).
double ContrastRatio(const QColor& First, const QColor& Second);
// Below this ratio text is hard to read on its background.
inline constexpr double MinimumTextContrast = 3.0;
// Text itself where it is readable on Background (MinimumTextContrast), otherwise black or
// white, whichever contrasts more.
QColor ReadableTextColor(const QColor& Background, const QColor& Text);
// A brush of Color for an item model's colour roles; an empty value leaves the style's.
QVariant ColorBrush(TColor Color);

// The modifiers of an input event (and the mouse buttons held) as a shift state.
TShiftState ShiftFromQt(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons = {});
// The virtual key code of a Qt key, or 0 for a key that has none.
int VirtualKeyFromQt(int QtKey);
// The mouse button of a Qt button, or nothing for the buttons the controls do not know.
std::optional<TMouseButton> MouseButtonFromQt(Qt::MouseButton Button);

} // namespace vorn
