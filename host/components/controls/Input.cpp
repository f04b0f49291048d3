#include "host/components/controls/Input.h"

#include "host/components/controls/Application.h"
#include "host/components/model/AliveGuard.h"
#include "host/components/text/CodePage.h"

#include <vector>

namespace vorn {

namespace {

// Runs one act of the user against Control: the keyboard state first, then the handlers,
// with any exception handed to the application error handler. Handlers gets a guard on
// Control: an act made of several handler calls asks it between them, since each
// handler may free the control (or its form).
template <class Act>
bool Dispatch(const TControl& Control, TShiftState Shift, Act&& Handlers) {
    SetModifierState(Shift);
    if (!Control.CanReceiveInput())
        return false;
    const TAliveGuard Guard(Control);
    try {
        Handlers(Guard);
        return Guard.Alive();
    } catch (const std::exception& Error) {
        HandleApplicationError(Error);
    } catch (...) {
        HandleApplicationError(Exception("An unknown error escaped an input handler"));
    }
    return false;
}

TShiftState ButtonState(TMouseButton Button) {
    switch (Button) {
    case mbLeft:
        return {ssLeft};
    case mbRight:
        return {ssRight};
    case mbMiddle:
        return {ssMiddle};
    }
    return {};
}

void MoveFocusOnTab(TWinControl& Control, TShiftState Shift) {
    TWinControl* TopLevel = Control.TopLevelControl();
    TWinControl* Next = TopLevel->FindNextControl(&Control, !Shift.Contains(ssShift));
    if (Next != nullptr)
        Next->SetFocus();
}

// A button press gives a window control the focus before its handlers see the press.
void PressButton(TControl& Control, const TAliveGuard& Guard, TMouseButton Button,
                 TShiftState Shift, int X, int Y) {
    if (auto* WinControl = dynamic_cast<TWinControl*>(&Control);
        WinControl != nullptr && WinControl->CanFocus()) {
        WinControl->SetFocus();
        if (!Guard.Alive())
            return;
    }
    Control.MouseDown(Button, Shift + ButtonState(Button), X, Y);
}

} // namespace

bool UserClick(TControl& Control, TShiftState Shift) {
    const int X = Control.Width() / 2;
    const int Y = Control.Height() / 2;
    return Dispatch(Control, Shift, [&](const TAliveGuard& Guard) {
        PressButton(Control, Guard, mbLeft, Shift, X, Y);
        if (!Guard.Alive())
            return;
        Control.MouseUp(mbLeft, Shift, X, Y);
        if (!Guard.Alive())
            return;
        Control.Click();
    });
}

bool UserMouseDown(TControl& Control, TMouseButton Button, TShiftState Shift, int X, int Y) {
    return Dispatch(Control, Shift, [&](const TAliveGuard& Guard) {
        PressButton(Control, Guard, Button, Shift, X, Y);
    });
}

bool UserMouseUp(TControl& Control, TMouseButton Button, TShiftState Shift, int X, int Y) {
    return Dispatch(Control, Shift,
                    [&](const TAliveGuard&) { Control.MouseUp(Button, Shift, X, Y); });
}

bool UserMouseMove(TControl& Control, int X, int Y, TShiftState Shift) {
    return Dispatch(Control, Shift, [&](const TAliveGuard&) { Control.MouseMove(Shift, X, Y); });
}

bool UserMouseEnter(TControl& Control) {
    return Dispatch(Control, {}, [&](const TAliveGuard&) { Control.CMMouseEnter(); });
}

bool UserMouseLeave(TControl& Control) {
    return Dispatch(Control, {}, [&](const TAliveGuard&) { Control.CMMouseLeave(); });
}

bool UserKeyDown(TWinControl& Control, int Key, TShiftState Shift) {
    return Dispatch(Control, Shift, [&](const TAliveGuard& Guard) {
        int HandledKey = Key;
        Control.KeyDown(HandledKey, Shift);
        if (!Guard.Alive())
            return;
        if (HandledKey == VK_TAB && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt))
            MoveFocusOnTab(Control, Shift);
    });
}

bool UserKeyUp(TWinControl& Control, int Key, TShiftState Shift) {
    return Dispatch(Control, Shift, [&](const TAliveGuard&) {
        int HandledKey = Key;
        Control.KeyUp(HandledKey, Shift);
    });
}

bool UserKeyPress(TWinControl& Control, char Key) {
    return Dispatch(Control, {}, [&](const TAliveGuard&) {
        char HandledKey = Key;
        Control.KeyPress(HandledKey);
    });
}

bool UserTypeCharacter(TWinControl& Control, const std::string& Character) {
    if (!IsWholeCharacter(Character))
        throw EInvalidOperation("UserTypeCharacter() \"" + Character + "\" is not one character");
    if (Character.size() == 1)
        return UserKeyPress(Control, Character.front());
    return Dispatch(Control, {}, [&](const TAliveGuard&) { Control.KeyPressCharacter(Character); });
}

bool UserType(TWinControl& Control, const std::string& Text) {
    std::vector<std::string> Characters;
    for (std::size_t Pos = 0; Pos < Text.size(); Pos += Characters.back().size()) {
        Characters.push_back(Text.substr(Pos, CharacterLength(Text, Pos)));
        if (!IsWholeCharacter(Characters.back()))
            throw EInvalidOperation("UserType() The text holds a broken character at byte " +
                                    std::to_string(Pos));
    }
    for (const std::string& Character : Characters)
        if (!UserTypeCharacter(Control, Character))
            return false;
    return true;
}

bool UserEditText(TWinControl& Control, const std::string& Text) {
    const int End = TextLengthInCharacters(Text);
    if (auto* Edit = dynamic_cast<TCustomEdit*>(&Control)) {
        if (Edit->ReadOnly())
            throw EInvalidOperation("UserEditText() The edit box " + Edit->Name() +
                                    " is read-only");
        return Dispatch(Control, {}, [&](const TAliveGuard& Guard) {
            Edit->SetText(Text);
            if (Guard.Alive())
                Edit->SetSelStart(End);
        });
    }
    if (auto* ComboBox = dynamic_cast<TCustomComboBox*>(&Control))
        return Dispatch(Control, {}, [&](const TAliveGuard& Guard) {
            ComboBox->SetText(Text);
            if (Guard.Alive())
                ComboBox->SetSelStart(End);
        });
    throw EInvalidOperation("UserEditText() A " + Control.ClassName() + " has no text to edit");
}

bool UserSetFocus(TWinControl& Control) {
    return Dispatch(Control, {}, [&](const TAliveGuard&) { Control.SetFocus(); });
}

bool UserOpenList(TCustomComboBox& ComboBox) {
    return Dispatch(ComboBox, {}, [&](const TAliveGuard&) { ComboBox.SetDroppedDown(true); });
}

bool UserCloseList(TCustomComboBox& ComboBox) {
    return Dispatch(ComboBox, {}, [&](const TAliveGuard&) { ComboBox.SetDroppedDown(false); });
}

bool UserSelectItem(TCustomComboBox& ComboBox, int Index) {
    if (Index < 0 || Index >= ComboBox.Items()->Count())
        throw EListError("UserSelectItem() Index " + std::to_string(Index) +
                         " is out of bounds (0.." + std::to_string(ComboBox.Items()->Count() - 1) +
                         ")");
    return Dispatch(ComboBox, {},
                    [&](const TAliveGuard&) { ComboBox.SelectItemByUser(Index, true); });
}

} // namespace vorn
