#pragma once

#include "host/components/controls/Keyboard.h"

#include <string>
#include <string_view>

namespace vorn {

// The text of an edit field with its selection, as the user's keys change it. The
// selection runs from SelStart for SelLength characters; when it is empty, SelStart is
// the caret. Positions and lengths count whole characters of the host code page (see
// CharacterLength), so that no key ever splits a character.
struct TEditState {
    std::string Text;
    int SelStart = 0;
    int SelLength = 0;
};

// Applies a typed character: a printable character replaces the selection (refused when
// MaxLength is positive and the text would grow beyond it), backspace deletes the
// selection or the character before the caret; other control characters do nothing.
// Returns whether the state changed.
bool ApplyTypedCharacter(TEditState& State, char Key, int MaxLength);

// Applies one typed character of any length in bytes (a whole UTF-8 sequence under UTF-8)
// like a printable character above. Anything but exactly one printable character is
// refused. Returns whether the state changed.
bool ApplyTypedText(TEditState& State, std::string_view Character, int MaxLength);

// Applies an editing key: Delete removes the selection or the character after the caret;
// Left, Right, Home and End move the caret and drop the selection. Returns whether the
// state changed.
bool ApplyEditingKey(TEditState& State, int Key);

// Whether Character is exactly one well-formed character of the host code page.
bool IsWholeCharacter(std::string_view Character);
// The length of Text in characters, the unit of edit positions.
int TextLengthInCharacters(std::string_view Text);
// The SelLength characters of Text from character SelStart on (as many as there are).
std::string SelectedText(const std::string& Text, int SelStart, int SelLength);

// Brings a selection inside a text of TextLength characters.
void ClampSelection(int TextLength, int& SelStart, int& SelLength);

// The SelStart and SelLength setters of an edit field in a text of TextLength
// characters: a negative value raises; moving the start empties the selection, and
// both keep the selection inside the text.
void MoveSelectionStart(int Value, int TextLength, int& SelStart, int& SelLength);
void ResizeSelection(int Value, int TextLength, int& SelStart, int& SelLength);

// Raises EInvalidOperation "<Operation> The <What> <Value> is negative" for a negative Value.
void CheckNotNegative(const char* Operation, const char* What, int Value);

} // namespace vorn
