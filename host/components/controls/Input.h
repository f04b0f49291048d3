#pragma once

#include "host/components/controls/ComboBox.h"
#include "host/components/controls/Control.h"
#include "host/components/controls/Edit.h"

#include <string>

namespace vorn {

// The input dispatch: turns one act of the user into the handler calls that the act
// causes, in the order a user causes them. The widget set calls it for real input, tests
// call it to act as a user.
//
// Every call first puts the host keyboard state in line with the event's modifiers
// (SetModifierState), so that a handler reading GetKeyState sees the keys that were held.
// An exception that escapes a handler goes to the application error handler
// (HandleApplicationError) and the call returns normally: input never ends the program.
// Input for a control that cannot receive it (CanReceiveInput: hidden or disabled, itself
// or a parent) is dropped.
//
// Each call returns true when the input reached the control, every handler finished
// without an exception and the control is still there. A handler may free the control
// or its form (closing a form from a button's OnClick): the act then ends after that
// handler and the call returns false, telling the caller not to touch the control again. Invalid
// arguments (an item index outside the list) are the caller's error and raise, before any handler
// runs.

// A click with the left button at the centre of the control: a window control that can
// take the focus gets it first, then mouse down, mouse up and Click.
bool UserClick(TControl& Control, TShiftState Shift = {});
// A button press; like a click, it gives a window control that can take it the focus first.
bool UserMouseDown(TControl& Control, TMouseButton Button, TShiftState Shift, int X, int Y);
bool UserMouseUp(TControl& Control, TMouseButton Button, TShiftState Shift, int X, int Y);
bool UserMouseMove(TControl& Control, int X, int Y, TShiftState Shift = {});
bool UserMouseEnter(TControl& Control);
bool UserMouseLeave(TControl& Control);

// A key going down. When the handlers leave the Tab key unchanged, the focus moves to
// the next (with Shift: the previous) control of the form that has TabStop.
bool UserKeyDown(TWinControl& Control, int Key, TShiftState Shift = {});
bool UserKeyUp(TWinControl& Control, int Key, TShiftState Shift = {});
// A typed character.
bool UserKeyPress(TWinControl& Control, char Key);
// One typed character of the host code page, whole: a one-byte character is a key press
// (UserKeyPress), a longer one (a UTF-8 sequence such as "š" or "王") goes to
// KeyPressCharacter. Raises EInvalidOperation, before any handler runs, unless Character
// is exactly one well-formed character (IsWholeCharacter).
bool UserTypeCharacter(TWinControl& Control, const std::string& Character);
// Types Text one whole character at a time (UserTypeCharacter); stops at the first
// character whose handlers raise. A text with a broken UTF-8 sequence raises
// EInvalidOperation before anything is typed.
bool UserType(TWinControl& Control, const std::string& Text);

// The user replaced the whole text of an edit or combo box at once (pasting, or a widget
// set's own editor reporting its new text): the text changes as typing changes it, the
// caret goes to its end. Raises EInvalidOperation for another kind of control and for a
// read-only edit, before any handler runs.
bool UserEditText(TWinControl& Control, const std::string& Text);

// Gives Control the focus, as clicking into it or tabbing to it does.
bool UserSetFocus(TWinControl& Control);

// Opens the list of a combo box (DropDown first, then the list opens).
bool UserOpenList(TCustomComboBox& ComboBox);
// Closes the list without choosing.
bool UserCloseList(TCustomComboBox& ComboBox);
// Picks the item at Index: Text and ItemIndex take it, the list closes, then Click.
// Raises EListError for an index outside the items.
bool UserSelectItem(TCustomComboBox& ComboBox, int Index);

} // namespace vorn
