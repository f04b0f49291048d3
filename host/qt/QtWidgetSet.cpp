#include "host/qt/QtWidgetSet.h"

#include "host/components/controls/Button.h"
#include "host/components/controls/ComboBox.h"
#include "host/components/controls/Edit.h"
#include "host/components/controls/Form.h"
#include "host/components/controls/Grid.h"
#include "host/components/controls/Label.h"
#include "host/data/grid/DBGrid.h"
#include "host/qt/QtConvert.h"
#include "host/qt/QtGridPeers.h"
#include "host/qt/QtPeers.h"

#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QToolTip>

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

// The widget sets alive: the first installs the accessible interfaces of the controls'
// widgets, the last removes them.
int LiveWidgetSets = 0;

} // namespace

TQtWidgetSet::TQtWidgetSet()
    : FPreviousHandler(
          SetApplicationErrorHandler([this](const std::exception& Error) { ShowErrorBox(Error); })),
      FPreviousHintHandler(SetUserHintHandler(ShowHint)) {
    if (LiveWidgetSets++ == 0)
        QAccessible::installFactory(TQtComboBoxPeer::AccessibleFactory);
}

// Below the control, where the pointer that caused it does not hide it.
void TQtWidgetSet::ShowHint(const TControl& Near, const std::string& Text) {
    QWidget* Widget = WidgetOf(Near);
    if (Widget == nullptr || !Widget->isVisible())
        return;
    QToolTip::showText(Widget->mapToGlobal(QPoint(0, Widget->height())), ToQString(Text), Widget);
}

// The box is modal: the user sees the error before anything else happens, and nothing
// else reaches the model meanwhile.
void TQtWidgetSet::ShowErrorBox(const std::exception& Error) {
    QMessageBox Box(QMessageBox::Critical, QApplication::applicationName(), ToQString(Error.what()),
                    QMessageBox::Ok, QApplication::activeWindow());
    Box.setWindowModality(Qt::ApplicationModal);
    if (FErrorBoxHook)
        QTimer::singleShot(0, &Box, [this, &Box] { FErrorBoxHook(Box); });
    Box.exec();
}

void TQtWidgetSet::SetAccessibleEventHook(TQtPeer::TAccessibleEventHook Hook) {
    TQtPeer::TAccessibleEventHook Previous = TQtPeer::SetAccessibleEventHook(std::move(Hook));
    if (!FHookingAccessibleEvents) {
        FPreviousAccessibleEventHook = std::move(Previous);
        FHookingAccessibleEvents = true;
    }
}

TQtWidgetSet::~TQtWidgetSet() {
    if (--LiveWidgetSets == 0)
        QAccessible::removeFactory(TQtComboBoxPeer::AccessibleFactory);
    if (FHookingAccessibleEvents)
        TQtPeer::SetAccessibleEventHook(std::move(FPreviousAccessibleEventHook));
    SetUserHintHandler(std::move(FPreviousHintHandler));
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
