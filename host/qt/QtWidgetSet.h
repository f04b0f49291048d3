#pragma once

#include "host/components/Application.h"
#include "host/components/Control.h"

class QWidget;

namespace vorn {

// Shows controls in real Qt windows. While a widget set exists, errors that escape input
// handlers are shown in a message box that does not block the application (the
// handler in force before is put back when the widget set goes). A QApplication must
// exist before the widget set and outlive every peer it creates.
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

private:
    TApplicationErrorHandler FPreviousHandler;
};

} // namespace vorn
