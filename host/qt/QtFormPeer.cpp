#include "host/components/Form.h"
#include "host/qt/QtConvert.h"
#include "host/qt/QtPeers.h"

#include <QCloseEvent>

#include <functional>

namespace vorn {

namespace {

class TFormWidget : public QWidget {
public:
    explicit TFormWidget(TCustomForm& Form) : FForm(Form) { setAutoFillBackground(true); }

protected:
    void closeEvent(QCloseEvent* Event) override {
        // The window stays a peer of the form: closing only hides it, as the model does.
        TQtPeer::Guarded([&] { FForm.Hide(); });
        Event->accept();
    }

private:
    TCustomForm& FForm;
};

} // namespace

TQtFormPeer::TQtFormPeer(TCustomForm& Form) : TQtPeer(Form, new TFormWidget(Form)) {}

void TQtFormPeer::TextChanged() {
    Widget()->setWindowTitle(ToQString(Control().Caption()));
}

TQtPlainPeer::TQtPlainPeer(TControl& Control) : TQtPeer(Control, new QWidget) {
    Widget()->setAutoFillBackground(true);
}

} // namespace vorn
