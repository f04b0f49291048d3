#pragma once

#include "host/components/controls/Control.h"
#include "host/components/graphics/Bitmap.h"

#include <memory>

namespace vorn {

// A small button drawn with a picture and/or a caption; it takes no focus. Click fires
// OnClick.
class TSpeedButton : public TControl {
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    // The picture, owned by the button. Setting copies Value; nullptr empties it.
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap* Value);

    // A flat button shows its border only under the mouse.
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);

private:
    std::unique_ptr<TBitmap> FGlyph;
    bool FFlat = false;
};

} // namespace vorn
