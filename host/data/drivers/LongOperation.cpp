#include "host/data/drivers/LongOperation.h"

namespace vorn {

namespace {

TLongOperationMonitor* InstalledMonitor = nullptr;

} // namespace

TLongOperationMonitor* SetLongOperationMonitor(TLongOperationMonitor* Monitor) {
    TLongOperationMonitor* Previous = InstalledMonitor;
    InstalledMonitor = Monitor;
    return Previous;
}

TLongOperationMonitor* LongOperationMonitor() {
    return InstalledMonitor;
}

TLongOperationScope::TLongOperationScope() : FMonitor(InstalledMonitor) {
    if (FMonitor != nullptr)
        FMonitor->Begin();
}

TLongOperationScope::~TLongOperationScope() {
    if (FMonitor != nullptr)
        FMonitor->End();
}

bool TLongOperationScope::CancelRequested() {
    if (FMonitor != nullptr && !FCancelRequested)
        FCancelRequested = FMonitor->Tick();
    return FCancelRequested;
}

} // namespace vorn
