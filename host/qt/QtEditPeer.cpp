#include "host/components/controls/Edit.h"
#include "host/components/controls/Input.h"
#include "host/qt/QtConvert.h"
#include "host/qt/QtPeers.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>

namespace vorn {

TQtEditPeer::TQtEditPeer(TCustomEdit& Edit) : TQtPeer(Edit, new QLineEdit), FEdit(Edit) {
    FollowLineEdit(LineEdit(), FEdit, [this](int Caret) { FEdit.SetSelStart(Caret); });
}

QLineEdit& TQtEditPeer::LineEdit() const {
    return static_cast<QLineEdit&>(*Widget());
}

// Select All is the model's: its selection decides what typing replaces.
bool TQtEditPeer::PassesKeyToWidget(const QKeyEvent& Event) {
    if (!Event.matches(QKeySequence::SelectAll))
        return IsLineEditShortcut(Event);
    Dispatch([&] { FEdit.SelectAll(); });
    return false;
}

void TQtEditPeer::TextChanged() {
    const TPushScope Scope(*this);
    LineEdit().setReadOnly(FEdit.ReadOnly());
    const QString Text = ToQString(FEdit.Text());
    if (LineEdit().text() != Text)
        LineEdit().setText(Text);
    SelectionChanged();
}

void TQtEditPeer::SelectionChanged() {
    const TPushScope Scope(*this);
    ShowSelection(LineEdit(), FEdit.SelStart(), FEdit.SelLength());
}

} // namespace vorn
