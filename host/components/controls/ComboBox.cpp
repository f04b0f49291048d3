#include "host/components/controls/ComboBox.h"

#include "host/components/model/AliveGuard.h"
#include "host/components/text/CodePage.h"
#include "host/components/text/TextCase.h"

namespace vorn {

const TTypeInfo& ComboBoxStyleTypeInfo() {
    static const TTypeInfo Info{
        "TComboBoxStyle", tkEnumeration, {"csDropDown", "csDropDownList"}, nullptr};
    return Info;
}

const TClass& TCustomComboBox::StaticClass() {
    static const TClass Class("TCustomComboBox", &TWinControl::StaticClass());
    return Class;
}

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TStringList>()) {
    SetBounds(0, 0, 145, 21);
    SetTabStop(true);
    FItems->OnChange = [this](TObject*) { ItemsChanged(); };
}

TCustomComboBox::~TCustomComboBox() {
    FItems->OnChange = nullptr;
}

int TCustomComboBox::IndexOfExact(const std::string& S) const {
    for (int Index = 0; Index < FItems->Count(); ++Index)
        if (FItems->Strings(Index) == S)
            return Index;
    return -1;
}

void TCustomComboBox::StoreItemIndex(int Value) {
    if (Value == FItemIndex)
        return;
    FItemIndex = Value;
    NotifyPeer([](TControlPeer& Peer) { Peer.ItemIndexChanged(); });
}

void TCustomComboBox::SetItemIndex(int Value) {
    if (Value < -1 || Value >= FItems->Count())
        throw EListError("SetItemIndex() Index " + std::to_string(Value) +
                         " is out of bounds (-1.." + std::to_string(FItems->Count() - 1) + ")");
    StoreItemIndex(Value);
    SetText(Value >= 0 ? FItems->Strings(Value) : std::string());
}

void TCustomComboBox::TextChanged() {
    const bool KeepsSelection = FItemIndex >= 0 && FItems->Strings(FItemIndex) == Text();
    const int Match = KeepsSelection || Text().empty() ? -1 : IndexOfExact(Text());
    if (FStyle == csDropDownList && !KeepsSelection && Match < 0 && !Text().empty()) {
        StoreItemIndex(-1);
        SetText(std::string()); // the inner call reports the text that stays
        return;
    }
    if (Match >= 0)
        StoreItemIndex(Match);
    ClampSelection(TextLengthInCharacters(Text()), FSelStart, FSelLength);
    TWinControl::TextChanged();
    Change();
}

void TCustomComboBox::ItemsChanged() {
    if (FItemIndex >= FItems->Count())
        StoreItemIndex(-1);
    NotifyPeer([](TControlPeer& Peer) { Peer.ItemsChanged(); });
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
    if (Value == FStyle)
        return;
    FStyle = Value;
    if (FStyle == csDropDownList)
        SetText(FItemIndex >= 0 ? FItems->Strings(FItemIndex) : std::string());
    Invalidate();
}

void TCustomComboBox::SetDropDownCount(int Value) {
    CheckNotNegative("SetDropDownCount()", "row count", Value);
    FDropDownCount = Value;
}

void TCustomComboBox::SetDroppedDown(bool Value) {
    if (Value == FDroppedDown)
        return;
    if (Value) {
        const TAliveGuard Guard(*this);
        DropDown();
        if (!Guard.Alive() || FDroppedDown) // a DropDown handler freed or opened it
            return;
        FOpenListRowCount = FDropDownCount;
        FDroppedDown = true;
        NotifyPeer([](TControlPeer& Peer) { Peer.DroppedDownChanged(); });
        return;
    }
    FDroppedDown = false;
    FOpenListRowCount = 0;
    NotifyPeer([](TControlPeer& Peer) { Peer.DroppedDownChanged(); });
    CloseUp();
}

void TCustomComboBox::SetSelStart(int Value) {
    MoveSelectionStart(Value, TextLengthInCharacters(Text()), FSelStart, FSelLength);
    SelectionChanged();
}

void TCustomComboBox::SetSelLength(int Value) {
    ResizeSelection(Value, TextLengthInCharacters(Text()), FSelStart, FSelLength);
    SelectionChanged();
}

std::string TCustomComboBox::SelText() const {
    return SelectedText(Text(), FSelStart, FSelLength);
}

void TCustomComboBox::SelectAll() {
    FSelStart = 0;
    FSelLength = TextLengthInCharacters(Text());
    SelectionChanged();
}

void TCustomComboBox::SelectionChanged() {
    NotifyPeer([](TControlPeer& Peer) { Peer.SelectionChanged(); });
}

void TCustomComboBox::SetMaxLength(int Value) {
    CheckNotNegative("SetMaxLength()", "length", Value);
    FMaxLength = Value;
}

void TCustomComboBox::SelectItemByUser(int Index, bool CloseList) {
    if (Index < 0 || Index >= FItems->Count())
        throw EListError("SelectItemByUser() Index " + std::to_string(Index) +
                         " is out of bounds (0.." + std::to_string(FItems->Count() - 1) + ")");
    // OnChange and OnCloseUp may free the combo box.
    const TAliveGuard Guard(*this);
    SetItemIndex(Index);
    if (!Guard.Alive())
        return;
    if (CloseList)
        SetDroppedDown(false);
    if (!Guard.Alive())
        return;
    Click();
}

void TCustomComboBox::DropDown() {
    if (OnDropDown)
        OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
    if (OnCloseUp)
        OnCloseUp(this);
}

void TCustomComboBox::Change() {
    if (OnChange)
        OnChange(this);
}

void TCustomComboBox::BrowseList(int Step) {
    const int Target = FItemIndex + Step;
    if (Target < 0 || Target >= FItems->Count())
        return;
    SelectItemByUser(Target, false);
}

void TCustomComboBox::KeyDown(int& Key, TShiftState Shift) {
    const TAliveGuard Guard(*this);
    TWinControl::KeyDown(Key, Shift);
    if (!Guard.Alive() || Key == 0)
        return;
    const bool IsArrow = Key == VK_DOWN || Key == VK_UP;
    if (Key == VK_F4 || (IsArrow && Shift.Contains(ssAlt))) {
        SetDroppedDown(!FDroppedDown);
        return;
    }
    if (FDroppedDown) {
        if (Key == VK_RETURN || Key == VK_ESCAPE)
            SetDroppedDown(false);
        else if (IsArrow)
            BrowseList(Key == VK_DOWN ? 1 : -1);
        return;
    }
    if (FStyle != csDropDown)
        return;
    TEditState State{Text(), FSelStart, FSelLength};
    if (ApplyEditingKey(State, Key))
        ApplyEditState(State);
}

void TCustomComboBox::KeyPress(char& Key) {
    const TAliveGuard Guard(*this);
    TWinControl::KeyPress(Key);
    if (!Guard.Alive() || Key == 0)
        return;
    if (FStyle == csDropDownList) {
        SelectByFirstCharacter(std::string_view(&Key, 1));
        return;
    }
    TEditState State{Text(), FSelStart, FSelLength};
    if (ApplyTypedCharacter(State, Key, FMaxLength))
        ApplyEditState(State);
}

void TCustomComboBox::KeyPressCharacter(const std::string& Character) {
    if (FStyle == csDropDownList) {
        SelectByFirstCharacter(Character);
        return;
    }
    TEditState State{Text(), FSelStart, FSelLength};
    if (ApplyTypedText(State, Character, FMaxLength))
        ApplyEditState(State);
}

// The selection goes first, so that Change handlers see the caret after the edit.
void TCustomComboBox::ApplyEditState(const TEditState& State) {
    FSelStart = State.SelStart;
    FSelLength = State.SelLength;
    SelectionChanged();
    SetText(State.Text);
}

void TCustomComboBox::SelectByFirstCharacter(std::string_view Character) {
    const int Count = FItems->Count();
    for (int Step = 1; Step <= Count; ++Step) {
        const int Index = (FItemIndex + Step + Count) % Count;
        const std::string Item = FItems->Strings(Index);
        const std::string_view First(Item.data(), CharacterLength(Item, 0));
        if (!First.empty() && CompareTextIgnoringCase(First, Character) == 0) {
            SelectItemByUser(Index, false);
            return;
        }
    }
}

void TCustomComboBox::DoEnter() {
    SelectAll();
    TWinControl::DoEnter();
}

const TClass& TComboBox::StaticClass() {
    static const TClass Class = [] {
        TClass C("TComboBox", &TCustomComboBox::StaticClass(), &CreateComponentOf<TComboBox>);
        C.AddProperty(MakeProperty("Style", ComboBoxStyleTypeInfo(), &TCustomComboBox::Style,
                                   &TCustomComboBox::SetStyle));
        C.AddProperty(MakeProperty("DropDownCount", IntegerTypeInfo(),
                                   &TCustomComboBox::DropDownCount,
                                   &TCustomComboBox::SetDropDownCount));
        C.AddProperty(MakeProperty("MaxLength", IntegerTypeInfo(), &TCustomComboBox::MaxLength,
                                   &TCustomComboBox::SetMaxLength));
        C.AddProperty(MakeSubObjectProperty("Items", StringsTypeInfo(), &TCustomComboBox::Items));
        C.AddProperty(MakeProperty("ItemIndex", IntegerTypeInfo(), &TCustomComboBox::ItemIndex,
                                   &TCustomComboBox::SetItemIndex));
        C.AddProperty(MakeProperty("Text", StringTypeInfo(), &TControl::Text, &TControl::SetText));
        C.AddProperty(
            MakeEventProperty("OnChange", NotifyEventTypeInfo(), &TCustomComboBox::OnChange));
        C.AddProperty(
            MakeEventProperty("OnDropDown", NotifyEventTypeInfo(), &TCustomComboBox::OnDropDown));
        C.AddProperty(
            MakeEventProperty("OnCloseUp", NotifyEventTypeInfo(), &TCustomComboBox::OnCloseUp));
        return C;
    }();
    return Class;
}

TComboBox::TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}

} // namespace vorn
