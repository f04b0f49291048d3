#pragma once

// Used by the form reader to put existing components back as they were when reading
// into them fails; not part of the library's interface.

#include "host/components/model/TypeInfo.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vorn {
class TWinControl;
}

namespace vorn::formfile {

// The values of an object's published properties, its sub-objects' included: the strings
// of a string list and the items of a streamable collection too.
struct TObjectState;

// One property: its value, or the state of the sub-object it holds.
struct TPropertyState {
    const TPropertyInfo* Property;
    TPropertyValue Value;
    std::unique_ptr<TObjectState> SubObject;
};

// Properties in published order, so that they are set back in the order a reader sets
// them (a font before ParentFont, say).
struct TObjectState {
    std::vector<TPropertyState> Properties;
    std::optional<std::vector<std::pair<std::string, TObject*>>> StringItems;
    std::optional<std::vector<TObjectState>> CollectionItems;
    // The parent of a control.
    std::optional<TWinControl*> Parent;
    // BMP data of a bitmap; empty for an empty bitmap.
    std::optional<std::vector<std::uint8_t>> BitmapData;
};

TObjectState CaptureState(TObject& Object);

// Sets the captured values back. It runs while a failure is being reported, so a setter
// that refuses an old value is skipped rather than allowed to hide that failure.
void RestoreState(TObject& Object, const TObjectState& State) noexcept;

} // namespace vorn::formfile
