#include "host/data/Driver.h"

namespace vorn {

std::string TBoundParams::Add(TVariant Value) {
    FValues.push_back(std::move(Value));
    return FConnection->Placeholder(static_cast<int>(FValues.size()));
}

} // namespace vorn
