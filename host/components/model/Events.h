#pragma once

#include <functional>

namespace vorn {

class TObject;

// An event that only tells who raised it.
using TNotifyEvent = std::function<void(TObject* Sender)>;

} // namespace vorn
