#pragma once

#include "host/components/controls/Control.h"

namespace vorn {

// A plain container: it groups controls, which it lays out when its size changes.
class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* AOwner);

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }
};

} // namespace vorn
