#pragma once

#include "host/components/controls/Control.h"
#include "host/components/controls/TextEditing.h"

namespace vorn {

// A one-line text box. Every change of the text, by code or by the user, calls Change
// once; writing the text it already has calls nothing.
class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    // The selection: SelLength characters from SelStart; the caret when SelLength is 0.
    int SelStart() const { return FSelStart; }
    // Puts the caret at Value (the end of the text at most) and empties the selection;
    // raises EInvalidOperation for a negative position.
    void SetSelStart(int Value);
    int SelLength() const { return FSelLength; }
    // Selects Value characters from SelStart (up to the end of the text); raises
    // EInvalidOperation for a negative length.
    void SetSelLength(int Value);
    std::string SelText() const;
    void SelectAll();
    void Clear() { SetText(""); }

    // The longest text the user can type; 0 for no limit. Text written by code is not cut.
    // Raises EInvalidOperation for a negative value.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    // A read-only edit takes no typing; code can still write its text.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }

    // The text changed: fires OnChange.
    virtual void Change();

    // After OnKeyDown: Delete, Left, Right, Home and End edit the text.
    void KeyDown(int& Key, TShiftState Shift) override;
    // After OnKeyPress: a printable character replaces the selection, backspace deletes.
    void KeyPress(char& Key) override;
    // A character of more than one byte replaces the selection like a printable one.
    void KeyPressCharacter(const std::string& Character) override;
    // Entering the edit box selects all of its text, so that typing replaces it.
    void DoEnter() override;

    TNotifyEvent OnChange;

protected:
    void TextChanged() override;

private:
    TEditState EditState() const { return {Text(), FSelStart, FSelLength}; }
    void ApplyEditState(const TEditState& State);
    void SelectionChanged();

    int FSelStart = 0;
    int FSelLength = 0;
    int FMaxLength = 0;
    bool FReadOnly = false;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* AOwner);

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }
};

} // namespace vorn
