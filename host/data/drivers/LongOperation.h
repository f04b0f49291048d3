#pragma once

#include "host/data/drivers/DatabaseError.h"

namespace vorn {

// Raised by a driver when the user cancelled the statement it was running through the
// long-operation monitor. The connection stays usable and nothing was changed.
class EOperationCancelled : public EDatabaseError {
public:
    EOperationCancelled() : EDatabaseError("Operation cancelled by the user") {}
};

// Watches statements that may run long, so that a user interface can show that it is busy
// and let the user cancel. The drivers call it while a statement runs: Begin when the
// statement starts, Tick often while it runs (every few thousand steps of SQLite's
// engine, every few milliseconds of waiting for the server), End when it is over however
// it ends. Statements may nest (a catalog question inside an operation): a monitor sees
// matched Begin and End calls.
class TLongOperationMonitor {
public:
    virtual ~TLongOperationMonitor() = default;
    virtual void Begin() = 0;
    // Whether the user asked to cancel the running statement. Must not raise; it must not
    // call back into the data layer either (the statement is still running).
    virtual bool Tick() = 0;
    virtual void End() = 0;
};

// Installs Monitor for the process (nullptr: none, the default) and returns the one it
// replaces. Without a monitor the drivers do no watching at all.
TLongOperationMonitor* SetLongOperationMonitor(TLongOperationMonitor* Monitor);
TLongOperationMonitor* LongOperationMonitor();

// Brackets one statement with Begin and End of the monitor installed when it starts;
// does nothing without one.
class TLongOperationScope {
public:
    TLongOperationScope();
    ~TLongOperationScope();
    TLongOperationScope(const TLongOperationScope&) = delete;
    TLongOperationScope& operator=(const TLongOperationScope&) = delete;

    bool Watched() const { return FMonitor != nullptr; }
    // Ticks the monitor; true once the user asked to cancel (and from then on).
    bool CancelRequested();
    // Whether the user asked to cancel at an earlier tick (ticks nothing).
    bool Cancelled() const { return FCancelRequested; }

private:
    TLongOperationMonitor* FMonitor;
    bool FCancelRequested = false;
};

} // namespace vorn
