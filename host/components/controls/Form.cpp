#include "host/components/controls/Form.h"

namespace vorn {

const TClass& TCustomForm::StaticClass() {
    static const TClass Class("TCustomForm", &TWinControl::StaticClass());
    return Class;
}

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 640, 480);
    SetVisible(false);
    SetParentFont(false);
    SetColor(clBtnFace);
}

TCustomForm::~TCustomForm() {
    // The owned controls go while the form is still a whole form, so that each leaves its
    // parent and the focus cleanly; the last created goes first.
    Destroying();
    while (ComponentCount() > 0)
        delete Components(ComponentCount() - 1);
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
    if (Control == nullptr) {
        RemoveFocus();
        return;
    }
    if (!ContainsControl(Control))
        throw EInvalidOperation("SetActiveControl() " + Control->ClassName() + " " +
                                Control->Name() + " is not a control of the form " + Name());
    Control->SetFocus();
}

const TClass& TForm::StaticClass() {
    static const TClass Class = [] {
        TClass C("TForm", &TCustomForm::StaticClass(), &CreateComponentOf<TForm>);
        C.AddProperty(
            MakeProperty("Caption", StringTypeInfo(), &TControl::Caption, &TControl::SetCaption));
        return C;
    }();
    return Class;
}

TForm::TForm(TComponent* AOwner) : TCustomForm(AOwner) {}

TCustomForm* GetParentForm(TControl* Control) {
    if (Control == nullptr)
        return nullptr;
    return dynamic_cast<TCustomForm*>(Control->TopLevelControl());
}

} // namespace vorn
