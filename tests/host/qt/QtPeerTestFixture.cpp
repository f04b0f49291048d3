#include "tests/host/qt/QtPeerTestFixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>

namespace vorn::qttest {

QtPeerTest::QtPeerTest() {
    WidgetSet.SetErrorBoxHook([this](QMessageBox& Box) {
        const bool Modal = Box.windowModality() == Qt::ApplicationModal;
        ShownErrors.append((Modal ? "" : "(not modal) ") + Box.text());
        Box.done(QMessageBox::Ok);
    });
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 480, 320);
    Form->Show();
}

QtPeerTest::~QtPeerTest() {
    Form.reset();
    DeleteWaitingWidgets();
}

void QtPeerTest::DeleteWaitingWidgets() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void QtPeerTest::SendMouseMove(QWidget& Widget, QPoint Position, Qt::KeyboardModifiers Modifiers) {
    QMouseEvent Event(QEvent::MouseMove, Position, Widget.mapToGlobal(Position), Qt::NoButton,
                      Qt::NoButton, Modifiers);
    QApplication::sendEvent(&Widget, &Event);
}

void QtPeerTest::SendClick(QWidget& Widget, QPoint Position, Qt::KeyboardModifiers Modifiers) {
    const QPointF Global = Widget.mapToGlobal(Position);
    QMouseEvent Press(QEvent::MouseButtonPress, Position, Global, Qt::LeftButton, Qt::LeftButton,
                      Modifiers);
    QApplication::sendEvent(&Widget, &Press);
    QMouseEvent Release(QEvent::MouseButtonRelease, Position, Global, Qt::LeftButton, Qt::NoButton,
                        Modifiers);
    QApplication::sendEvent(&Widget, &Release);
}

void QtPeerTest::SendDrag(QWidget& Widget, QPoint From, QPoint To) {
    QMouseEvent Press(QEvent::MouseButtonPress, From, Widget.mapToGlobal(From), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Widget, &Press);
    QMouseEvent Move(QEvent::MouseMove, To, Widget.mapToGlobal(To), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&Widget, &Move);
    QMouseEvent Release(QEvent::MouseButtonRelease, To, Widget.mapToGlobal(To), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&Widget, &Release);
}

void QtPeerTest::SendLeave(QWidget& Widget) {
    QEvent Event(QEvent::Leave);
    QApplication::sendEvent(&Widget, &Event);
}

void QtPeerTest::SendKey(QWidget& Widget, int Key, const QString& Text,
                         Qt::KeyboardModifiers Modifiers) {
    QKeyEvent Press(QEvent::KeyPress, Key, Modifiers, Text);
    QApplication::sendEvent(&Widget, &Press);
    QKeyEvent Release(QEvent::KeyRelease, Key, Modifiers, Text);
    QApplication::sendEvent(&Widget, &Release);
}

// One key per character: a character outside the Basic Multilingual Plane (an emoji)
// comes as one key whose text is its surrogate pair.
void QtPeerTest::SendText(QWidget& Widget, const QString& Text) {
    for (qsizetype Position = 0; Position < Text.size();) {
        const QChar First = Text.at(Position);
        const qsizetype Width = First.isHighSurrogate() && Position + 1 < Text.size() ? 2 : 1;
        const int Key = Width == 1 && First.isLetter() ? First.toUpper().unicode() : 0;
        SendKey(Widget, Key >= 'A' && Key <= 'Z' ? Key : Qt::Key_unknown,
                Text.mid(Position, Width));
        Position += Width;
    }
}

} // namespace vorn::qttest
