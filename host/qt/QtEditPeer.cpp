#include "host/components/Edit.h"
#include "host/components/Input.h"
#include "host/qt/QtConvert.h"
#include "host/qt/QtPeers.h"

#include <QLineEdit>

namespace vorn {

TQtEditPeer::TQtEditPeer(TCustomEdit& Edit) : TQtPeer(Edit, new QLineEdit), FEdit(Edit) {
    QObject::connect(&LineEdit(), &QLineEdit::textEdited, Context(), [this](const QString& Text) {
        if (!Pushing())
            Dispatch([&] { UserEditText(FEdit, FromQString(Text)); });
    });
}

QLineEdit& TQtEditPeer::LineEdit() const {
    return static_cast<QLineEdit&>(*Widget());
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
    if (FEdit.SelLength() > 0)
        LineEdit().setSelection(FEdit.SelStart(), FEdit.SelLength());
    else
        LineEdit().setCursorPosition(FEdit.SelStart());
}

} // namespace vorn
