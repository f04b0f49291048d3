#include "host/components/controls/Application.h"

#include <cstdio>
#include <utility>

namespace vorn {

namespace {

void PrintError(const std::exception& Error) {
    std::fprintf(stderr, "%s\n", Error.what());
    std::fflush(stderr);
}

TApplicationErrorHandler& InstalledHandler() {
    static TApplicationErrorHandler Handler = PrintError;
    return Handler;
}

} // namespace

TApplicationErrorHandler SetApplicationErrorHandler(TApplicationErrorHandler Handler) {
    if (!Handler)
        Handler = PrintError;
    return std::exchange(InstalledHandler(), std::move(Handler));
}

void HandleApplicationError(const std::exception& Error) noexcept {
    // The handler is the last stop for an error: whatever it does, the program goes on.
    try {
        InstalledHandler()(Error);
    } catch (const std::exception& HandlerError) {
        PrintError(Error);
        PrintError(HandlerError);
    } catch (...) {
        PrintError(Error);
    }
}

} // namespace vorn
