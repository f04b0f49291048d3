#pragma once

#include "host/components/text/CodePage.h"

namespace vorn::test {

// Switches the process's host code page while it lives and then restores the previous one,
// for tests whose texts are written in a single-byte code page.
class TCodePageGuard {
public:
    explicit TCodePageGuard(TCodePage CodePage) : FPrevious(HostCodePage()) {
        SetHostCodePage(CodePage);
    }
    ~TCodePageGuard() { SetHostCodePage(FPrevious); }
    TCodePageGuard(const TCodePageGuard&) = delete;
    TCodePageGuard& operator=(const TCodePageGuard&) = delete;

private:
    TCodePage FPrevious;
};

} // namespace vorn::test
