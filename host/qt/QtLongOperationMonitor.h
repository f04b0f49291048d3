#pragma once

#include "host/data/drivers/LongOperation.h"

#include <chrono>
#include <functional>
#include <memory>

class QProgressDialog;

namespace vorn {

// Shows the user that a statement runs long and lets them cancel it: after BusyCursorAfter
// the application shows a busy cursor, after ProgressAfter a modal progress dialog with a
// Cancel button. User input is kept away from the model while a statement runs (the events
// processed to keep the window alive exclude it, and the dialog is application-modal), so
// that nothing re-enters the model or the database. Installs itself as the process's
// long-operation monitor and puts the one before it back when it goes.
class TQtLongOperationMonitor : public TLongOperationMonitor {
public:
    struct TThresholds {
        std::chrono::milliseconds BusyCursorAfter{100};
        std::chrono::milliseconds ProgressAfter{1000};
        // How often the window is kept alive (events processed) while a statement runs.
        std::chrono::milliseconds EventInterval{25};
    };

    explicit TQtLongOperationMonitor(TThresholds Thresholds);
    TQtLongOperationMonitor() : TQtLongOperationMonitor(TThresholds{}) {}
    ~TQtLongOperationMonitor() override;
    TQtLongOperationMonitor(const TQtLongOperationMonitor&) = delete;
    TQtLongOperationMonitor& operator=(const TQtLongOperationMonitor&) = delete;

    void SetThresholds(TThresholds Thresholds) { FThresholds = Thresholds; }

    void Begin() override;
    bool Tick() override;
    void End() override;

    // Whether the busy cursor is shown now.
    bool BusyCursorShown() const { return FBusyCursorShown; }
    // Called when the progress dialog appears (tests press its Cancel button here).
    std::function<void(QProgressDialog& Dialog)> OnProgressShown;
    // Called when the busy cursor appears.
    std::function<void()> OnBusyCursorShown;

private:
    using TClock = std::chrono::steady_clock;
    void ShowProgress();
    void Finish();

    TThresholds FThresholds;
    TLongOperationMonitor* FPrevious;
    int FDepth = 0;
    TClock::time_point FStarted;
    TClock::time_point FLastEvents;
    bool FBusyCursorShown = false;
    bool FCancelRequested = false;
    std::unique_ptr<QProgressDialog> FProgress;
};

} // namespace vorn
