#include "host/components/controls/ComboBox.h"
#include "host/components/controls/Input.h"
#include "host/qt/QtConvert.h"
#include "host/qt/QtPeers.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>

#include <functional>

namespace vorn {

// A combo box whose list opens and closes when the model says so: Qt's own requests to
// open or close (a click, Alt+Down) are handed to the peer instead.
class TQtComboBoxPeer::TComboWidget : public QComboBox {
public:
    std::function<void()> OnOpenRequest;
    std::function<void()> OnCloseRequest;

    // Without a peer (it went, the widget waits for deletion) the list acts on its own.
    void showPopup() override {
        if (OnOpenRequest)
            OnOpenRequest();
        else
            QComboBox::showPopup();
    }
    void hidePopup() override {
        if (OnCloseRequest)
            OnCloseRequest();
        else
            QComboBox::hidePopup();
    }
    void ShowList() { QComboBox::showPopup(); }
    void HideList() { QComboBox::hidePopup(); }
};

// On this platform Qt names a combo box by its current text, and leaves it to a label
// related to it to say what the box is for. A control's combo box says its accessible name
// instead, when it has one, and its text is its value.
class TQtComboBoxPeer::TAccessibleCombo final : public QAccessibleWidget {
public:
    explicit TAccessibleCombo(QComboBox* Combo) : QAccessibleWidget(Combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text Which) const override {
        const auto* Combo = static_cast<const QComboBox*>(widget());
        if (Which == QAccessible::Name && !Combo->accessibleName().isEmpty())
            return Combo->accessibleName();
        if (Which == QAccessible::Name || Which == QAccessible::Value)
            return Combo->currentText();
        return QAccessibleWidget::text(Which);
    }

    // Its list, as a combo box shows it to assistive tools, and the actions that open it.
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int Index) const override {
        return Index == 0 ? QAccessible::queryAccessibleInterface(Combo().view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* Child) const override {
        return Child != nullptr && Child->object() == Combo().view() ? 0 : -1;
    }
    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << showMenuAction() << pressAction();
    }
    void doAction(const QString& Action) override {
        if (Action == showMenuAction() || Action == pressAction())
            Combo().showPopup();
        else
            QAccessibleWidget::doAction(Action);
    }

private:
    QComboBox& Combo() const { return *static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* TQtComboBoxPeer::AccessibleFactory(const QString& /*ClassName*/,
                                                         QObject* Object) {
    auto* Combo = dynamic_cast<TComboWidget*>(Object);
    return Combo != nullptr ? new TAccessibleCombo(Combo) : nullptr;
}

TQtComboBoxPeer::TQtComboBoxPeer(TCustomComboBox& ComboBox)
    : TQtPeer(ComboBox, new TComboWidget), FComboBox(ComboBox) {
    Combo().OnOpenRequest = [this] { OpenRequested(); };
    Combo().OnCloseRequest = [this] { CloseRequested(); };
    QObject::connect(&Combo(), &QComboBox::activated, Context(), [this](int Index) {
        if (!Pushing())
            Dispatch([&] { UserSelectItem(FComboBox, Index); });
    });
}

TQtComboBoxPeer::~TQtComboBoxPeer() {
    if (Widget() == nullptr)
        return;
    Combo().OnOpenRequest = nullptr;
    Combo().OnCloseRequest = nullptr;
}

TQtComboBoxPeer::TComboWidget& TQtComboBoxPeer::Combo() const {
    return static_cast<TComboWidget&>(*Widget());
}

void TQtComboBoxPeer::OpenRequested() {
    if (Pushing())
        return;
    Dispatch([&] { UserOpenList(FComboBox); });
}

void TQtComboBoxPeer::CloseRequested() {
    if (Pushing() || !FComboBox.DroppedDown()) {
        Combo().HideList();
        return;
    }
    // A list the model keeps open (a handler raised) must not stay open on screen
    // without the model knowing: the screen follows the model.
    if (Dispatch([&] { UserCloseList(FComboBox); }))
        DroppedDownChanged();
}

void TQtComboBoxPeer::Synchronize() {
    ItemsChanged();
    TQtPeer::Synchronize();
}

void TQtComboBoxPeer::TextChanged() {
    const TPushScope Scope(*this);
    const bool Editable = FComboBox.Style() == csDropDown;
    if (Combo().isEditable() != Editable) {
        Combo().setEditable(Editable);
        if (Editable) {
            WatchInput(Combo().lineEdit());
            FollowLineEdit(*Combo().lineEdit(), FComboBox,
                           [this](int Caret) { FComboBox.SetSelStart(Caret); });
        }
    }
    ShowText();
    ItemIndexChanged();
    SelectionChanged();
}

// The line edit of an editable combo box takes the same shortcuts as an edit; a list
// that is not editable has no text to paste into.
bool TQtComboBoxPeer::PassesKeyToWidget(const QKeyEvent& Event) {
    if (Combo().lineEdit() == nullptr)
        return false;
    if (!Event.matches(QKeySequence::SelectAll))
        return IsLineEditShortcut(Event);
    Dispatch([&] { FComboBox.SelectAll(); });
    return false;
}

void TQtComboBoxPeer::SelectionChanged() {
    QLineEdit* Edit = Combo().lineEdit();
    if (Edit == nullptr)
        return;
    const TPushScope Scope(*this);
    ShowSelection(*Edit, FComboBox.SelStart(), FComboBox.SelLength());
}

void TQtComboBoxPeer::ItemsChanged() {
    const TPushScope Scope(*this);
    QStringList Items;
    const TStrings& Source = *FComboBox.Items();
    for (int Index = 0; Index < Source.Count(); ++Index)
        Items.append(ToQString(Source.Strings(Index)));
    Combo().clear();
    Combo().addItems(Items);
    Combo().setMaxVisibleItems(std::max(1, FComboBox.DropDownCount()));
    ItemIndexChanged();
    ShowText();
}

// Writing a line edit's text clears its undo history: only a text that differs is written.
void TQtComboBoxPeer::ShowText() {
    QLineEdit* Edit = Combo().lineEdit();
    const QString Text = ToQString(FComboBox.Text());
    if (Edit != nullptr && Edit->text() != Text)
        Combo().setEditText(Text);
}

void TQtComboBoxPeer::ItemIndexChanged() {
    const TPushScope Scope(*this);
    // Setting even the same index writes the item's text into the line edit.
    if (Combo().currentIndex() != FComboBox.ItemIndex())
        Combo().setCurrentIndex(FComboBox.ItemIndex());
    ShowText();
}

void TQtComboBoxPeer::DroppedDownChanged() {
    const TPushScope Scope(*this);
    if (FComboBox.DroppedDown()) {
        Combo().setMaxVisibleItems(std::max(1, FComboBox.OpenListRowCount()));
        Combo().ShowList();
    } else {
        Combo().HideList();
    }
}

} // namespace vorn
