#include "host/components/controls/Edit.h"

#include "host/components/model/AliveGuard.h"

namespace vorn {

const TClass& TCustomEdit::StaticClass() {
    static const TClass Class("TCustomEdit", &TWinControl::StaticClass());
    return Class;
}

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 121, 21);
    SetTabStop(true);
}

void TCustomEdit::SetSelStart(int Value) {
    MoveSelectionStart(Value, TextLengthInCharacters(Text()), FSelStart, FSelLength);
    SelectionChanged();
}

void TCustomEdit::SetSelLength(int Value) {
    ResizeSelection(Value, TextLengthInCharacters(Text()), FSelStart, FSelLength);
    SelectionChanged();
}

std::string TCustomEdit::SelText() const {
    return SelectedText(Text(), FSelStart, FSelLength);
}

void TCustomEdit::SelectAll() {
    FSelStart = 0;
    FSelLength = TextLengthInCharacters(Text());
    SelectionChanged();
}

void TCustomEdit::SetMaxLength(int Value) {
    CheckNotNegative("SetMaxLength()", "length", Value);
    FMaxLength = Value;
}

void TCustomEdit::Change() {
    if (OnChange)
        OnChange(this);
}

void TCustomEdit::TextChanged() {
    ClampSelection(TextLengthInCharacters(Text()), FSelStart, FSelLength);
    TWinControl::TextChanged();
    Change();
}

void TCustomEdit::KeyDown(int& Key, TShiftState Shift) {
    const TAliveGuard Guard(*this);
    TWinControl::KeyDown(Key, Shift);
    if (!Guard.Alive() || Key == 0 || (FReadOnly && Key == VK_DELETE))
        return;
    TEditState State = EditState();
    if (ApplyEditingKey(State, Key))
        ApplyEditState(State);
}

void TCustomEdit::KeyPress(char& Key) {
    const TAliveGuard Guard(*this);
    TWinControl::KeyPress(Key);
    if (!Guard.Alive() || Key == 0 || FReadOnly)
        return;
    TEditState State = EditState();
    if (ApplyTypedCharacter(State, Key, FMaxLength))
        ApplyEditState(State);
}

void TCustomEdit::KeyPressCharacter(const std::string& Character) {
    if (FReadOnly)
        return;
    TEditState State = EditState();
    if (ApplyTypedText(State, Character, FMaxLength))
        ApplyEditState(State);
}

void TCustomEdit::DoEnter() {
    SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::ApplyEditState(const TEditState& State) {
    // The selection goes first, so that Change handlers see the caret after the edit.
    FSelStart = State.SelStart;
    FSelLength = State.SelLength;
    SelectionChanged();
    SetText(State.Text);
}

void TCustomEdit::SelectionChanged() {
    NotifyPeer([](TControlPeer& Peer) { Peer.SelectionChanged(); });
}

const TClass& TEdit::StaticClass() {
    static const TClass Class = [] {
        TClass C("TEdit", &TCustomEdit::StaticClass(), &CreateComponentOf<TEdit>);
        C.AddProperty(MakeProperty("Text", StringTypeInfo(), &TControl::Text, &TControl::SetText));
        C.AddProperty(MakeProperty("MaxLength", IntegerTypeInfo(), &TCustomEdit::MaxLength,
                                   &TCustomEdit::SetMaxLength));
        C.AddProperty(MakeProperty("ReadOnly", BooleanTypeInfo(), &TCustomEdit::ReadOnly,
                                   &TCustomEdit::SetReadOnly));
        C.AddProperty(MakeEventProperty("OnChange", NotifyEventTypeInfo(), &TCustomEdit::OnChange));
        return C;
    }();
    return Class;
}

TEdit::TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

} // namespace vorn
