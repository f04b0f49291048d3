#include "host/components/controls/Form.h"
#include "host/qt/QtConvert.h"
#include "host/qt/QtPeers.h"

#include <QCloseEvent>

#include <functional>

namespace vorn {

namespace {

class TFormWidget : public QWidget {
public:
    explicit TFormWidget(TCustomForm& Form) : FForm(&Form) { setAutoFillBackground(true); }

    // The form is going; the window may outlive it until Qt deletes it.
    void Detach() { FForm = nullptr; }

protected:
    void closeEvent(QCloseEvent* Event) override {
        // The window stays a peer of the form: closing only hides it, as the model does.
        if (FForm != nullptr)
            TQtPeer::Guarded([Form = FForm] { Form->Hide(); });
        Event->accept();
    }

private:
    TCustomForm* FForm;
};

} // namespace

TQtFormPeer::TQtFormPeer(TCustomForm& Form) : TQtPeer(Form, new TFormWidget(Form)) {}

TQtFormPeer::~TQtFormPeer() {
    if (Widget() != nullptr)
        static_cast<TFormWidget*>(Widget())->Detach();
}

void TQtFormPeer::TextChanged() {
    Widget()->setWindowTitle(ToQString(Control().Caption()));
}

TQtPlainPeer::TQtPlainPeer(TControl& Control) : TQtPeer(Control, new QWidget) {
    Widget()->setAutoFillBackground(true);
}

} // namespace vorn
