#pragma once

#include "host/components/controls/Control.h"

namespace vorn {

// A top-level window: it owns its components (freeing the form frees them all), parents
// its controls, and has one focused control, its ActiveControl. A form starts hidden;
// its focus is kept while it is hidden.
class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    TWinControl* ActiveControl() const { return FocusedControl(); }
    // Focuses Control as SetFocus does; nullptr takes the focus away (DoExit). Raises
    // EInvalidOperation for a control that is not inside this form.
    void SetActiveControl(TWinControl* Control);
};

class TForm : public TCustomForm {
public:
    explicit TForm(TComponent* AOwner);

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }
};

// The form that Control lies in, or nullptr.
TCustomForm* GetParentForm(TControl* Control);

} // namespace vorn
