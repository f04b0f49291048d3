#include "host/components/controls/Label.h"
#include "host/qt/QtConvert.h"
#include "host/qt/QtPeers.h"

#include <QKeySequence>
#include <QLabel>
#include <QShortcut>

namespace vorn {

namespace {

// The caption as shown: an "&" marks the next letter and is not shown itself, "&&" shows
// one "&".
QString ShownCaption(const QString& Caption) {
    QString Shown;
    for (qsizetype Index = 0; Index < Caption.size(); ++Index) {
        if (Caption[Index] == u'&' && Index + 1 < Caption.size())
            ++Index;
        Shown += Caption[Index];
    }
    return Shown;
}

} // namespace

TQtLabelPeer::TQtLabelPeer(TLabel& Label)
    : TQtPeer(Label, new QLabel), FLabel(Label), FShortcut(new QShortcut(Widget())) {
    // A caption is text: one that looks like markup shows as it is written.
    this->Label().setTextFormat(Qt::PlainText);
    FShortcut->setEnabled(false);
    QObject::connect(FShortcut, &QShortcut::activated, Context(), [this] {
        Dispatch([this] {
            // A mnemonic of a control that cannot take the focus does nothing.
            if (TWinControl* Target = FLabel.FocusControl();
                Target != nullptr && Target->CanFocus())
                Target->SetFocus();
        });
    });
}

QLabel& TQtLabelPeer::Label() const {
    return static_cast<QLabel&>(*Widget());
}

void TQtLabelPeer::TextChanged() {
    const QString Caption = ToQString(FLabel.Caption());
    Label().setText(ShownCaption(Caption));
    const QKeySequence Mnemonic = QKeySequence::mnemonic(Caption);
    FShortcut->setKey(Mnemonic);
    FShortcut->setEnabled(FLabel.FocusControl() != nullptr && !Mnemonic.isEmpty());
}

} // namespace vorn
