#pragma once

#include "host/components/controls/Application.h"
#include "host/components/controls/Control.h"
#include "host/components/controls/UserHint.h"
#include "host/qt/QtLongOperationMonitor.h"
#include "host/qt/QtPeer.h"

#include <functional>

class QMessageBox;
class QWidget;

namespace vorn {

// Shows controls in real Qt windows. While a widget set exists, errors that escape input
// handlers are shown in a modal message box, which the user must close before going on
// (the handler in force before is put back when the widget set goes), and statements
// that run long show a busy cursor and then a progress dialog that can cancel them
// (TQtLongOperationMonitor). Hints about acts that did nothing visible are tooltips
// beside their control. A QApplication must exist before the widget set and outlive
// every peer it creates.
class TQtWidgetSet {
public:
    TQtWidgetSet();
    ~TQtWidgetSet();
    TQtWidgetSet(const TQtWidgetSet&) = delete;
    TQtWidgetSet& operator=(const TQtWidgetSet&) = delete;

    // Gives Control and every control inside it a Qt peer (parents first, so that each
    // widget finds its parent's); a control that already has a Qt peer keeps it. Controls
    // created later need their own call.
    void CreatePeers(TControl& Control);

    // The widget that shows Control, or nullptr when it has no Qt peer.
    static QWidget* WidgetOf(const TControl& Control);

    // The monitor that shows long statements; its thresholds may be changed.
    TQtLongOperationMonitor& LongOperations() { return FLongOperations; }

    // Called with each error box once it is on screen, inside its modal event loop: a
    // test reads the box there and closes it (done), as a user would.
    void SetErrorBoxHook(std::function<void(QMessageBox& Box)> Hook) {
        FErrorBoxHook = std::move(Hook);
    }

    // Called with each event the widget set raises for assistive tools, whether a tool
    // listens or not: a test reads what a screen reader would hear. The hook in force
    // before is put back when the widget set goes.
    void SetAccessibleEventHook(TQtPeer::TAccessibleEventHook Hook);

private:
    void ShowErrorBox(const std::exception& Error);
    static void ShowHint(const TControl& Near, const std::string& Text);

    std::function<void(QMessageBox& Box)> FErrorBoxHook;
    TApplicationErrorHandler FPreviousHandler;
    TUserHintHandler FPreviousHintHandler;
    TQtPeer::TAccessibleEventHook FPreviousAccessibleEventHook;
    bool FHookingAccessibleEvents = false;
    TQtLongOperationMonitor FLongOperations;
};

} // namespace vorn
