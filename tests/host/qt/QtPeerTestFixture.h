#pragma once

#include "host/components/controls/Form.h"
#include "host/qt/QtWidgetSet.h"

#include <gtest/gtest.h>

#include <QPoint>
#include <QString>
#include <QStringList>
#include <Qt>

#include <memory>

class QWidget;

namespace vorn::qttest {

// A shown form with the Qt widget set, offscreen. Controls are added with Add and get
// their widgets from Realize.
class QtPeerTest : public ::testing::Test {
protected:
    QtPeerTest();
    ~QtPeerTest() override;

    template <class TControlClass>
    TControlClass* Add(int Left, int Top, int Width, int Height) {
        auto* Control = new TControlClass(Form.get());
        Control->SetParent(Form.get());
        Control->SetBounds(Left, Top, Width, Height);
        return Control;
    }
    void Realize() { WidgetSet.CreatePeers(*Form); }

    template <class TWidget>
    static TWidget& WidgetOf(const TControl& Control) {
        auto* Widget = dynamic_cast<TWidget*>(TQtWidgetSet::WidgetOf(Control));
        if (Widget == nullptr)
            throw Exception("The control has no widget of the expected kind");
        return *Widget;
    }

    // Simulated input, delivered as the window system delivers it.
    static void SendMouseMove(QWidget& Widget, QPoint Position,
                              Qt::KeyboardModifiers Modifiers = Qt::NoModifier);
    static void SendClick(QWidget& Widget, QPoint Position,
                          Qt::KeyboardModifiers Modifiers = Qt::NoModifier);
    // A left button drag from From to To: the press, one move with the button held, the
    // release.
    static void SendDrag(QWidget& Widget, QPoint From, QPoint To);
    static void SendLeave(QWidget& Widget);
    static void SendKey(QWidget& Widget, int Key, const QString& Text,
                        Qt::KeyboardModifiers Modifiers = Qt::NoModifier);
    static void SendText(QWidget& Widget, const QString& Text);

    // Deletes the widgets whose controls went while Qt was inside one of their events,
    // as the event loop would.
    static void DeleteWaitingWidgets();
    // The texts of the error boxes shown so far, each closed by the test as a user would; a
    // box that was not application-modal is marked "(not modal)".
    QStringList ErrorBoxTexts() const { return ShownErrors; }

    TQtWidgetSet WidgetSet;
    std::unique_ptr<TForm> Form;
    QStringList ShownErrors;
};

} // namespace vorn::qttest
