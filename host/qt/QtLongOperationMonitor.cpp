#include "host/qt/QtLongOperationMonitor.h"

#include "host/qt/QtPeer.h"

#include <QApplication>
#include <QGuiApplication>
#include <QProgressDialog>

#include <utility>

namespace vorn {

TQtLongOperationMonitor::TQtLongOperationMonitor(TThresholds Thresholds)
    : FThresholds(Thresholds), FPrevious(SetLongOperationMonitor(this)) {}

TQtLongOperationMonitor::~TQtLongOperationMonitor() {
    SetLongOperationMonitor(FPrevious);
    if (FDepth > 0)
        TQtPeer::HoldDeferredChanges(false);
    Finish();
}

void TQtLongOperationMonitor::Begin() {
    if (FDepth++ > 0)
        return;
    FStarted = TClock::now();
    FLastEvents = FStarted;
    FCancelRequested = false;
    TQtPeer::HoldDeferredChanges(true);
}

void TQtLongOperationMonitor::End() {
    if (FDepth == 0 || --FDepth > 0)
        return;
    TQtPeer::HoldDeferredChanges(false);
    Finish();
}

void TQtLongOperationMonitor::Finish() {
    FProgress.reset();
    if (std::exchange(FBusyCursorShown, false))
        QGuiApplication::restoreOverrideCursor();
}

// Called very often: between two event intervals it only reads the clock.
bool TQtLongOperationMonitor::Tick() {
    if (FDepth == 0)
        return false;
    const TClock::time_point Now = TClock::now();
    if (Now - FLastEvents < FThresholds.EventInterval)
        return FCancelRequested;
    FLastEvents = Now;
    const auto Elapsed = Now - FStarted;
    if (!FBusyCursorShown && Elapsed >= FThresholds.BusyCursorAfter) {
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
        FBusyCursorShown = true;
        if (OnBusyCursorShown)
            OnBusyCursorShown();
    }
    if (!FProgress && Elapsed >= FThresholds.ProgressAfter)
        ShowProgress();
    // The modal dialog keeps input away from every other window; before it, no input
    // is taken at all.
    QCoreApplication::processEvents(FProgress ? QEventLoop::AllEvents
                                              : QEventLoop::ExcludeUserInputEvents);
    return FCancelRequested;
}

void TQtLongOperationMonitor::ShowProgress() {
    FProgress = std::make_unique<QProgressDialog>(
        QApplication::translate("vorn", "Working with the database..."),
        QApplication::translate("vorn", "Cancel"), 0, 0);
    FProgress->setWindowTitle(QApplication::applicationName());
    FProgress->setWindowModality(Qt::ApplicationModal);
    FProgress->setMinimumDuration(0);
    FProgress->setAutoClose(false);
    FProgress->setAutoReset(false);
    QObject::connect(FProgress.get(), &QProgressDialog::canceled, FProgress.get(),
                     [this] { FCancelRequested = true; });
    FProgress->show();
    if (OnProgressShown)
        OnProgressShown(*FProgress);
}

} // namespace vorn
