#pragma once

#include "host/components/Keyboard.h"

#include <string>

namespace vorn {

// The text of an edit field with its selection, as the user's keys change it. The
// selection runs from SelStart for SelLength characters; when it is empty, SelStart is
// the caret.
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

// Applies an editing key: Delete removes the selection or the character after the caret;
// Left, Right, Home and End move the caret and drop the selection. Returns whether the
// state changed.
bool ApplyEditingKey(TEditState& State, int Key);

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
