#pragma once

#include "host/components/controls/Control.h"

namespace vorn {

// A caption beside another control. It takes no input and no focus; an "&" in the caption
// marks the letter that, with Alt, focuses FocusControl (a "&&" shows one "&").
class TLabel : public TControl {
public:
    explicit TLabel(TComponent* AOwner);

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    // The control the caption's marked letter focuses, or nullptr. A reference to a
    // control of the label's owner (the form): it is dropped when that control goes.
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TWinControl* FFocusControl = nullptr;
};

} // namespace vorn
