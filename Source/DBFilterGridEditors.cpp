#include "Source/DBFilterGrid.h"

namespace vorn {

// The editors are created by their grid and never by name, so their classes carry no
// factory.

const TClass& TDBFilterGridComboBox::StaticClass() {
    static const TClass Class("TDBFilterGridComboBox", &TCustomComboBox::StaticClass());
    return Class;
}

TDBFilterGridComboBox::TDBFilterGridComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}

const TClass& TDBFilterGridSpeedButton::StaticClass() {
    static const TClass Class("TDBFilterGridSpeedButton", &TSpeedButton::StaticClass());
    return Class;
}

TDBFilterGridSpeedButton::TDBFilterGridSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) {}

} // namespace vorn
