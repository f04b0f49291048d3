#include "host/components/controls/Label.h"

namespace vorn {

const TClass& TLabel::StaticClass() {
    static const TClass Class = [] {
        TClass C("TLabel", &TControl::StaticClass(), &CreateComponentOf<TLabel>);
        static const TTypeInfo FocusControlType{
            "TWinControl", tkComponent, {}, &TWinControl::StaticClass()};
        C.AddProperty(
            MakeProperty("Caption", StringTypeInfo(), &TControl::Caption, &TControl::SetCaption));
        C.AddProperty(MakeProperty("FocusControl", FocusControlType, &TLabel::FocusControl,
                                   &TLabel::SetFocusControl));
        return C;
    }();
    return Class;
}

TLabel::TLabel(TComponent* AOwner) : TControl(AOwner) {
    SetBounds(0, 0, 65, 17);
    SetColor(clBtnFace);
}

void TLabel::SetFocusControl(TWinControl* Value) {
    if (Value == FFocusControl)
        return;
    FFocusControl = Value;
    // The peer binds the caption's marked letter to the control, so it reads both again.
    NotifyPeer([](TControlPeer& Peer) { Peer.TextChanged(); });
}

void TLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        SetFocusControl(nullptr);
}

} // namespace vorn
