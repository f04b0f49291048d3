#include "host/qt/QtWidgetSet.h"

#include "host/components/Button.h"
#include "host/components/ComboBox.h"
#include "host/components/Edit.h"
#include "host/components/Form.h"
#include "host/components/Grid.h"
#include "host/components/Label.h"
#include "host/data/DBGrid.h"
#include "host/qt/QtConvert.h"
#include "host/qt/QtGridPeers.h"
#include "host/qt/QtPeers.h"

#include <QApplication>
#include <QMessageBox>

#include <memory>

namespace vorn {

namespace {

std::unique_ptr<TQtPeer> NewPeer(TControl& Control) {
    if (auto* DBGrid = dynamic_cast<TCustomDBGrid*>(&Control))
        return std::make_unique<TQtDBGridPeer>(*DBGrid);
    if (auto* StringGrid = dynamic_cast<TStringGrid*>(&Control))
        return std::make_unique<TQtStringGridPeer>(*StringGrid);
    if (auto* ComboBox = dynamic_cast<TCustomComboBox*>(&Control))
        return std::make_unique<TQtComboBoxPeer>(*ComboBox);
    if (auto* Edit = dynamic_cast<TCustomEdit*>(&Control))
        return std::make_unique<TQtEditPeer>(*Edit);
    if (auto* Button = dynamic_cast<TSpeedButton*>(&Control))
        return std::make_unique<TQtSpeedButtonPeer>(*Button);
    if (auto* Form = dynamic_cast<TCustomForm*>(&Control))
        return std::make_unique<TQtFormPeer>(*Form);
    if (auto* Label = dynamic_cast<TLabel*>(&Control))
        return std::make_unique<TQtLabelPeer>(*Label);
    return std::make_unique<TQtPlainPeer>(Control);
}

// The error goes on screen and the application goes on: the box is not modal, so an
// error inside a handler never waits for the user.
void ShowErrorBox(const std::exception& Error) {
    auto* Box = new QMessageBox(QMessageBox::Critical, QApplication::applicationName(),
                                ToQString(Error.what()), QMessageBox::Ok);
    Box->setAttribute(Qt::WA_DeleteOnClose);
    Box->setModal(false);
    Box->show();
}

} // namespace

TQtWidgetSet::TQtWidgetSet() : FPreviousHandler(SetApplicationErrorHandler(ShowErrorBox)) {}

TQtWidgetSet::~TQtWidgetSet() {
    SetApplicationErrorHandler(std::move(FPreviousHandler));
}

void TQtWidgetSet::CreatePeers(TControl& Control) {
    if (TQtPeer::Of(Control) == nullptr) {
        auto Peer = NewPeer(Control);
        TQtPeer& Created = *Peer;
        Control.SetPeer(std::move(Peer));
        Created.Synchronize();
    }
    auto* WinControl = dynamic_cast<TWinControl*>(&Control);
    if (WinControl == nullptr)
        return;
    for (int Index = 0; Index < WinControl->ControlCount(); ++Index)
        CreatePeers(*WinControl->Controls(Index));
}

QWidget* TQtWidgetSet::WidgetOf(const TControl& Control) {
    const TQtPeer* Peer = TQtPeer::Of(Control);
    return Peer != nullptr ? Peer->Widget() : nullptr;
}

} // namespace vorn
