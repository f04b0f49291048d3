#include "host/components/controls/UserHint.h"

#include <utility>

namespace vorn {

namespace {

TUserHintHandler& InstalledHandler() {
    static TUserHintHandler Handler;
    return Handler;
}

} // namespace

TUserHintHandler SetUserHintHandler(TUserHintHandler Handler) {
    return std::exchange(InstalledHandler(), std::move(Handler));
}

void ShowUserHint(const TControl& Near, const std::string& Text) {
    if (InstalledHandler())
        InstalledHandler()(Near, Text);
}

} // namespace vorn
