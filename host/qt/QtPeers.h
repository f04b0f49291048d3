#pragma once

#include "host/qt/QtPeer.h"

class QAccessibleInterface;
class QComboBox;
class QLabel;
class QLineEdit;
class QObject;
class QShortcut;
class QString;
class QToolButton;

namespace vorn {

class TCustomComboBox;
class TCustomEdit;
class TCustomForm;
class TLabel;
class TSpeedButton;

// A form: a top-level window titled with the caption. Closing the window hides the form.
class TQtFormPeer : public TQtPeer {
public:
    explicit TQtFormPeer(TCustomForm& Form);
    ~TQtFormPeer() override;

    void TextChanged() override;

protected:
    bool IsWindow() const override { return true; }
};

// A control of no kind the widget set knows: an empty widget that takes its input.
class TQtPlainPeer : public TQtPeer {
public:
    explicit TQtPlainPeer(TControl& Control);
};

// A label: the caption without its "&" marks. With a FocusControl, Alt and the marked
// letter focus that control in the model, which moves the Qt focus after it.
class TQtLabelPeer : public TQtPeer {
public:
    explicit TQtLabelPeer(TLabel& Label);

    void TextChanged() override;

private:
    QLabel& Label() const;

    TLabel& FLabel;
    QShortcut* FShortcut;
};

// An edit box. The model does the editing: keys go to it, and the line edit shows the
// text and selection it ends up with. Text the widget changes by itself (pasting) is
// handed to the model as the user's new text.
class TQtEditPeer : public TQtPeer {
public:
    explicit TQtEditPeer(TCustomEdit& Edit);

    void TextChanged() override;
    void SelectionChanged() override;

protected:
    bool PassesKeyToWidget(const QKeyEvent& Event) override;

private:
    QLineEdit& LineEdit() const;

    TCustomEdit& FEdit;
};

// A combo box. Opening the list asks the model first (DropDown may fill the items) and
// the list shows only once the model has opened; picking an item is the user's pick.
class TQtComboBoxPeer : public TQtPeer {
public:
    explicit TQtComboBoxPeer(TCustomComboBox& ComboBox);
    ~TQtComboBoxPeer() override;

    void Synchronize() override;
    void TextChanged() override;
    void SelectionChanged() override;
    void ItemsChanged() override;
    void ItemIndexChanged() override;
    void DroppedDownChanged() override;

    // Gives assistive tools the interface of a control's combo box (nullptr for any other
    // object): see QAccessible::installFactory.
    static QAccessibleInterface* AccessibleFactory(const QString& ClassName, QObject* Object);

protected:
    bool PassesKeyToWidget(const QKeyEvent& Event) override;

private:
    class TComboWidget;
    class TAccessibleCombo;
    TComboWidget& Combo() const;
    void ShowText();
    void OpenRequested();
    void CloseRequested();

    TCustomComboBox& FComboBox;
};

// A speed button: a tool button with the glyph as its icon; its clicks are whole clicks.
class TQtSpeedButtonPeer : public TQtPeer {
public:
    explicit TQtSpeedButtonPeer(TSpeedButton& Button);

    void Synchronize() override;
    void TextChanged() override;
    void Invalidate() override;

protected:
    bool ForwardsButtons(QObject* /*Source*/) const override { return false; }

private:
    QToolButton& Button() const;

    TSpeedButton& FButton;
};

} // namespace vorn
