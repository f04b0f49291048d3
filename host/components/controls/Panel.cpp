#include "host/components/controls/Panel.h"

namespace vorn {

const TClass& TPanel::StaticClass() {
    static const TClass Class("TPanel", &TWinControl::StaticClass(), &CreateComponentOf<TPanel>);
    return Class;
}

TPanel::TPanel(TComponent* AOwner) : TWinControl(AOwner) {
    SetColor(clBtnFace);
    SetBounds(0, 0, 185, 41);
}

} // namespace vorn
