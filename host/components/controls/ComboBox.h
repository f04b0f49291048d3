#pragma once

#include "host/components/controls/Control.h"
#include "host/components/controls/TextEditing.h"
#include "host/components/model/Strings.h"

#include <memory>

namespace vorn {

// csDropDown: an editable text with a list; csDropDownList: the text is always one of
// the items (or empty).
enum TComboBoxStyle { csDropDown, csDropDownList };

const TTypeInfo& ComboBoxStyleTypeInfo();

// A text with a drop-down list of items.
//
// ItemIndex and Text follow each other: setting ItemIndex from code writes the item into
// Text (-1 empties it); setting Text selects the first item equal to it (exact
// comparison) and otherwise leaves ItemIndex alone, except that a list-only combo box
// cannot show a text that is no item and takes the empty text instead. Neither calls
// Click: Click means that the user changed the selection, and Text already holds the
// chosen item when it runs. Change is called at every change of the text.
class TCustomComboBox : public TWinControl {
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    TStrings* Items() const { return FItems.get(); }
    void SetItems(const TStrings* Value) { FItems->Assign(Value); }

    int ItemIndex() const { return FItemIndex; }
    // Raises EListError for a value outside -1..Items.Count-1.
    void SetItemIndex(int Value);

    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);

    // The most rows an opening list shows; the value in force when the list opens holds
    // for that list (see OpenListRowCount). Raises EInvalidOperation for a negative value.
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value);
    // DropDownCount as it was when the open list opened; 0 while the list is closed.
    int OpenListRowCount() const { return FOpenListRowCount; }

    bool DroppedDown() const { return FDroppedDown; }
    // Opening calls DropDown first (which may fill Items; when it raises, the list stays
    // closed), then opens the list. Closing calls CloseUp after the list closed.
    void SetDroppedDown(bool Value);

    // The selection in the text, as in an edit box.
    int SelStart() const { return FSelStart; }
    void SetSelStart(int Value);
    int SelLength() const { return FSelLength; }
    void SetSelLength(int Value);
    std::string SelText() const;
    void SelectAll();

    // The longest text the user can type; 0 for no limit. Raises for a negative value.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);

    // The user picked the item at Index: ItemIndex and Text take it, the list closes when
    // CloseList is true, then Click. Raises EListError for an index outside the items.
    void SelectItemByUser(int Index, bool CloseList);

    // Called just before the list opens: fires OnDropDown.
    virtual void DropDown();
    // Called after the list closed: fires OnCloseUp.
    virtual void CloseUp();
    // The text changed: fires OnChange.
    virtual void Change();

    // After OnKeyDown: Alt+Down, Alt+Up and F4 open or close the list; in an open list
    // Up and Down move the selection (a user selection: Click follows) and Enter or
    // Escape close it; in the editable text Delete, Left, Right, Home and End edit.
    void KeyDown(int& Key, TShiftState Shift) override;
    // After OnKeyPress: an editable combo box types the character into its text; a
    // list-only one selects the next item that starts with it.
    void KeyPress(char& Key) override;
    // A character of more than one byte: typed into the text, or, in a list-only combo
    // box, the first character of the next item to select.
    void KeyPressCharacter(const std::string& Character) override;
    // Entering the combo box selects all of its text.
    void DoEnter() override;

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

protected:
    void TextChanged() override;

private:
    int IndexOfExact(const std::string& S) const;
    void StoreItemIndex(int Value);
    void ItemsChanged();
    void SelectionChanged();
    void BrowseList(int Step);
    void ApplyEditState(const TEditState& State);
    void SelectByFirstCharacter(std::string_view Character);

    std::unique_ptr<TStringList> FItems;
    int FItemIndex = -1;
    TComboBoxStyle FStyle = csDropDown;
    int FDropDownCount = 8;
    int FOpenListRowCount = 0;
    bool FDroppedDown = false;
    int FSelStart = 0;
    int FSelLength = 0;
    int FMaxLength = 0;
};

class TComboBox : public TCustomComboBox {
public:
    explicit TComboBox(TComponent* AOwner);

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }
};

} // namespace vorn
