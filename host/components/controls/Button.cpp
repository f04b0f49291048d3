#include "host/components/controls/Button.h"

namespace vorn {

const TClass& TSpeedButton::StaticClass() {
    static const TClass Class = [] {
        TClass C("TSpeedButton", &TControl::StaticClass(), &CreateComponentOf<TSpeedButton>);
        C.AddProperty(
            MakeProperty("Caption", StringTypeInfo(), &TControl::Caption, &TControl::SetCaption));
        C.AddProperty(MakeSubObjectProperty("Glyph", BitmapTypeInfo(), &TSpeedButton::Glyph));
        C.AddProperty(
            MakeProperty("Flat", BooleanTypeInfo(), &TSpeedButton::Flat, &TSpeedButton::SetFlat));
        return C;
    }();
    return Class;
}

TSpeedButton::TSpeedButton(TComponent* AOwner)
    : TControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
    SetBounds(0, 0, 23, 22);
    SetColor(clBtnFace);
    FGlyph->OnChange = [this](TObject*) { Invalidate(); };
}

TSpeedButton::~TSpeedButton() {
    FGlyph->OnChange = nullptr;
}

void TSpeedButton::SetGlyph(const TBitmap* Value) {
    if (Value == nullptr) {
        FGlyph->SetSize(0, 0);
        return;
    }
    FGlyph->Assign(Value);
}

void TSpeedButton::SetFlat(bool Value) {
    if (Value == FFlat)
        return;
    FFlat = Value;
    Invalidate();
}

} // namespace vorn
