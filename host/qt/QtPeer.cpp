#include "host/qt/QtPeer.h"

#include "host/components/controls/Application.h"
#include "host/components/controls/Input.h"
#include "host/components/text/CodePage.h"
#include "host/qt/QtConvert.h"

#include <QAccessible>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace vorn {

namespace {

// Applies the application's palette and font anew to Control's widget and those inside it.
void ShowApplicationLook(TControl& Control) {
    if (TQtPeer* Peer = TQtPeer::Of(Control))
        Peer->AppearanceChanged();
    if (const auto* WinControl = dynamic_cast<const TWinControl*>(&Control))
        for (int Index = 0; Index < WinControl->ControlCount(); ++Index)
            ShowApplicationLook(*WinControl->Controls(Index));
}

// Widgets that Qt deletes with their parent can still send events on the way out (focus
// out, leave, hide) while the controls around them are being destroyed: those events
// must not reach the model.
int DestroyingWidgets = 0;

// Marks the widget that shows a control (not the parts inside it).
constexpr const char* ControlWidgetProperty = "vornControlWidget";

bool IsTypedCharacter(char Key) {
    const auto Code = static_cast<unsigned char>(Key);
    return Code >= 0x20 ? Code != 0x7F : Key == '\b' || Key == '\r' || Key == '\x1b';
}

// Some platforms report the letter as the text of a Ctrl shortcut (Ctrl+A as "a"): with
// Ctrl or Ctrl+Shift held a key types nothing, as in Qt's own editors. Ctrl+Alt is AltGr
// on many keyboards and does type.
bool TypesText(Qt::KeyboardModifiers Modifiers) {
    const Qt::KeyboardModifiers Held = Modifiers & ~Qt::KeypadModifier;
    return Held != Qt::ControlModifier && Held != (Qt::ControlModifier | Qt::ShiftModifier);
}

} // namespace

class TQtPeer::TInputFilter : public QObject {
public:
    explicit TInputFilter(TQtPeer& Peer) : FPeer(Peer) {}

    bool eventFilter(QObject* Watched, QEvent* Event) override {
        if (DestroyingWidgets > 0)
            return false;
        return FPeer.HandleInput(Watched, Event);
    }

private:
    TQtPeer& FPeer;
};

TQtPeer::TQtPeer(TControl& Control, QWidget* Widget)
    : FControl(Control), FWidget(Widget), FFilter(std::make_unique<TInputFilter>(*this)) {
    WatchInput(Widget);
    Widget->setMouseTracking(true);
    Widget->setProperty(ControlWidgetProperty, true);
}

int TQtPeer::CallbackDepth = 0;
int TQtPeer::DeferredChangesHeld = 0;
std::vector<TQtPeer*> TQtPeer::DeferringPeers;

TQtPeer::~TQtPeer() {
    LeaveDeferring(this);
    FFilter.reset();
    if (!FWidget)
        return;
    ++DestroyingWidgets;
    if (CallbackDepth > 0) {
        // Qt may still be inside one of this widget's events.
        FWidget->hide();
        FWidget->setParent(nullptr);
        FWidget->deleteLater();
    } else {
        delete FWidget.data();
    }
    --DestroyingWidgets;
}

TQtPeer* TQtPeer::Of(const TControl& Control) {
    return dynamic_cast<TQtPeer*>(Control.Peer());
}

QObject* TQtPeer::Context() const {
    return FFilter.get();
}

void TQtPeer::WatchInput(QObject* Source) {
    Source->installEventFilter(FFilter.get());
}

bool TQtPeer::IsLineEditShortcut(const QKeyEvent& Event) {
    for (const QKeySequence::StandardKey Shortcut :
         {QKeySequence::Paste, QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Undo,
          QKeySequence::Redo})
        if (Event.matches(Shortcut))
            return true;
    return false;
}

void TQtPeer::FollowLineEdit(QLineEdit& Edit, TWinControl& Control,
                             std::function<void(int)> PlaceCaret) {
    QObject::connect(
        &Edit, &QLineEdit::textEdited, Context(),
        [this, &Edit, &Control, PlaceCaret = std::move(PlaceCaret)](const QString& Text) {
            if (Pushing())
                return;
            const int Caret = CharacterIndexOfUtf16Position(Text, Edit.cursorPosition());
            Dispatch([&] {
                if (UserEditText(Control, FromQString(Text)))
                    PlaceCaret(Caret);
            });
        });
}

void TQtPeer::ShowSelection(QLineEdit& Edit, int SelStart, int SelLength) {
    const QString Text = Edit.text();
    const int Start = Utf16PositionOfCharacter(Text, SelStart);
    if (SelLength > 0)
        Edit.setSelection(Start, Utf16PositionOfCharacter(Text, SelStart + SelLength) - Start);
    else
        Edit.setCursorPosition(Start);
}

void TQtPeer::ReportCurrentException() noexcept {
    try {
        throw;
    } catch (const std::exception& Error) {
        HandleApplicationError(Error);
    } catch (...) {
        HandleApplicationError(Exception("An unknown error escaped a widget's callback"));
    }
}

void TQtPeer::DeferUntilCallbacksReturn() {
    if (CallbackDepth == 0) {
        LeaveDeferring(this);
        ApplyDeferredChanges();
        return;
    }
    if (std::find(DeferringPeers.begin(), DeferringPeers.end(), this) != DeferringPeers.end())
        return;
    DeferringPeers.push_back(this);
    QTimer::singleShot(0, Context(), [this] {
        // A held peer stays on the list, for the callback around the statement to apply.
        if (DeferredChangesHeld == 0 && LeaveDeferring(this))
            ApplyDeferredChangesGuarded();
    });
}

void TQtPeer::HoldDeferredChanges(bool Hold) {
    DeferredChangesHeld += Hold ? 1 : -1;
}

bool TQtPeer::LeaveDeferring(TQtPeer* Peer) {
    return std::erase(DeferringPeers, Peer) > 0;
}

// A peer leaves the list before it applies its changes: what it does then (Qt signals that
// reach callbacks, a peer freed on the way) may change the list.
void TQtPeer::ApplyAllDeferredChanges() noexcept {
    while (!DeferringPeers.empty()) {
        TQtPeer* Peer = DeferringPeers.front();
        DeferringPeers.erase(DeferringPeers.begin());
        Peer->ApplyDeferredChangesGuarded();
    }
}

void TQtPeer::ApplyDeferredChangesGuarded() noexcept {
    try {
        ApplyDeferredChanges();
    } catch (...) {
        ReportCurrentException();
    }
}

void TQtPeer::Synchronize() {
    ParentChanged();
    BoundsChanged();
    EnabledChanged();
    AppearanceChanged();
    TextChanged();
    VisibleChanged();
    FocusChanged();
    AccessibilityChanged();
}

void TQtPeer::BoundsChanged() {
    if (FFollowingWidget)
        return;
    const TPushScope Scope(*this);
    FWidget->setGeometry(FControl.Left(), FControl.Top(), FControl.Width(), FControl.Height());
}

// The user sized the window, a Qt layout the application put the widget in placed it, or a
// main window took it as its central widget. What the model pushed itself, and a geometry
// the control already has (a resize Qt delivers late, when a hidden widget is shown), changes
// nothing, so no change bounces between the two. A window keeps the control's position:
// only its size follows, since where the window system puts a window is not the form's to
// take over.
void TQtPeer::FollowWidgetGeometry() {
    if (Pushing() || FFollowingWidget)
        return;
    const QRect Geometry = FWidget->geometry();
    const bool Window = FWidget->isWindow();
    const int Left = Window ? FControl.Left() : Geometry.x();
    const int Top = Window ? FControl.Top() : Geometry.y();
    if (Left == FControl.Left() && Top == FControl.Top() && Geometry.width() == FControl.Width() &&
        Geometry.height() == FControl.Height())
        return;
    FFollowingWidget = true;
    const bool Alive =
        Dispatch([&] { FControl.SetBounds(Left, Top, Geometry.width(), Geometry.height()); });
    if (Alive)
        FFollowingWidget = false;
}

// A control without a parent widget is not shown: it must not pop up as a window of its
// own.
void TQtPeer::VisibleChanged() {
    FWidget->setVisible(FControl.Visible() && (IsWindow() || FWidget->parentWidget() != nullptr));
}

void TQtPeer::EnabledChanged() {
    FWidget->setEnabled(FControl.Enabled());
}

// The application's palette is the start, so that the roles the control does not set
// follow it; a change of the application's palette or font shows when Qt tells the
// window (see HandleInput).
void TQtPeer::AppearanceChanged() {
    FWidget->setFont(ToQFont(*FControl.Font()));
    QPalette Palette = QGuiApplication::palette();
    if (const auto Background = ToQColor(FControl.Color())) {
        for (const auto Role : {QPalette::Window, QPalette::Base, QPalette::Button})
            Palette.setColor(Role, *Background);
    }
    if (const auto Foreground = ToQColor(FControl.Font()->Color())) {
        for (const auto Role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            Palette.setColor(Role, *Foreground);
    }
    FWidget->setPalette(Palette);
}

void TQtPeer::ParentChanged() {
    const TWinControl* Parent = FControl.Parent();
    TQtPeer* ParentPeer = Parent != nullptr ? Of(*Parent) : nullptr;
    QWidget* ParentWidget = ParentPeer != nullptr ? ParentPeer->Widget() : nullptr;
    if (FWidget->parentWidget() == ParentWidget)
        return;
    // Reparenting hides a widget; the model's visibility and place are put back at once.
    FWidget->setParent(ParentWidget);
    BoundsChanged();
    VisibleChanged();
}

void TQtPeer::FocusChanged() {
    const auto* WinControl = dynamic_cast<const TWinControl*>(&FControl);
    if (WinControl != nullptr && WinControl->Focused())
        FWidget->setFocus(Qt::OtherFocusReason);
}

void TQtPeer::AccessibilityChanged() {
    const QString Name = ToQString(FControl.AccessibleName());
    FWidget->setAccessibleName(Name);
    if (QWidget* Focus = FWidget->focusProxy())
        Focus->setAccessibleName(Name);
    FWidget->setToolTip(ToQString(FControl.Hint()));
}

TQtPeer::TAccessibleEventHook TQtPeer::AccessibleEventHook;

bool TQtPeer::AccessibleEventsHeard() {
    return QAccessible::isActive() || AccessibleEventHook;
}

void TQtPeer::FreeLooseAccessible(QAccessibleInterface* Interface) {
    if (Interface != nullptr && Interface->object() == nullptr)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(Interface));
}

void TQtPeer::RaiseAccessibleEvent(QAccessibleEvent& Event) {
    if (AccessibleEventHook)
        AccessibleEventHook(Event);
    QAccessible::updateAccessibility(&Event);
}

TQtPeer::TAccessibleEventHook TQtPeer::SetAccessibleEventHook(TAccessibleEventHook Hook) {
    return std::exchange(AccessibleEventHook, std::move(Hook));
}

void TQtPeer::Invalidate() {
    FWidget->update();
}

bool TQtPeer::HandleInput(QObject* Source, QEvent* Event) {
    switch (Event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        return HandleMouse(Source, static_cast<QMouseEvent&>(*Event));
    // Only the control's own widget tells when the pointer enters or leaves the control:
    // a part inside it (a combo box's line edit) reports a leave when the pointer moves on
    // to another part (the arrow), still over the control.
    case QEvent::Enter:
        if (Source == FWidget)
            Dispatch([&] { UserMouseEnter(FControl); });
        return false;
    case QEvent::Leave:
        if (Source == FWidget)
            Dispatch([&] { UserMouseLeave(FControl); });
        return false;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return HandleKey(static_cast<QKeyEvent&>(*Event));
    case QEvent::Resize:
    case QEvent::Move:
        if (Source == FWidget)
            FollowWidgetGeometry();
        return false;
    case QEvent::ApplicationPaletteChange:
    case QEvent::ApplicationFontChange:
        // Qt tells only the windows: a window's peer shows the change in its controls.
        if (Source == FWidget)
            ShowApplicationLook(FControl);
        return false;
    default:
        return false;
    }
}

QPoint TQtPeer::ToClientPoint(QObject* Source, QPoint Position) const {
    const auto* SourceWidget = qobject_cast<const QWidget*>(Source);
    if (SourceWidget == nullptr || SourceWidget == FWidget)
        return Position;
    return SourceWidget->mapTo(FWidget.data(), Position);
}

bool TQtPeer::OverInnerControl(QObject* Source, QPoint Position) {
    auto* SourceWidget = qobject_cast<QWidget*>(Source);
    if (SourceWidget == nullptr)
        return false;
    for (QWidget* Child = SourceWidget->childAt(Position);
         Child != nullptr && Child != SourceWidget; Child = Child->parentWidget())
        if (Child->property(ControlWidgetProperty).toBool())
            return true;
    return false;
}

bool TQtPeer::HandleMouse(QObject* Source, QMouseEvent& Event) {
    if (OverInnerControl(Source, Event.position().toPoint()))
        return false;
    const QPoint Point = ToClientPoint(Source, Event.position().toPoint());
    TShiftState Shift = ShiftFromQt(Event.modifiers(), Event.buttons());
    if (Event.type() == QEvent::MouseMove) {
        Dispatch([&] { UserMouseMove(FControl, Point.x(), Point.y(), Shift); });
        return false;
    }
    const auto Button = MouseButtonFromQt(Event.button());
    if (!Button || !ForwardsButtons(Source))
        return false;
    // Decided before the handlers run: they may free the control and this peer.
    const bool Consume = ConsumesButtons(Source);
    if (Event.type() == QEvent::MouseButtonRelease) {
        Dispatch([&] { UserMouseUp(FControl, *Button, Shift, Point.x(), Point.y()); });
        return Consume;
    }
    if (Event.type() == QEvent::MouseButtonDblClick)
        Shift.Include(ssDouble);
    Dispatch([&] { UserMouseDown(FControl, *Button, Shift, Point.x(), Point.y()); });
    return Consume;
}

// A key may type several characters at once (a dead key followed by one it cannot
// combine with); each goes to the model whole, in turn, until a handler raises or frees
// the control.
void TQtPeer::TypeText(TWinControl& Control, const std::string& Typed) {
    for (std::size_t Pos = 0; Pos < Typed.size();) {
        const std::string Character = Typed.substr(Pos, CharacterLength(Typed, Pos));
        Pos += Character.size();
        if (Character.size() == 1 && !IsTypedCharacter(Character.front()))
            continue;
        bool Typing = false;
        if (!Dispatch([&] { Typing = UserTypeCharacter(Control, Character); }) || !Typing)
            return;
    }
}

bool TQtPeer::HandleKey(QKeyEvent& Event) {
    auto* WinControl = dynamic_cast<TWinControl*>(&FControl);
    if (WinControl == nullptr)
        return false;
    // Decided before the handlers run: they may free the control and this peer.
    const bool Consume = ConsumesKeys();
    const TShiftState Shift = ShiftFromQt(Event.modifiers());
    const int Key = VirtualKeyFromQt(Event.key());
    if (Event.type() == QEvent::KeyRelease) {
        if (Key != 0)
            Dispatch([&] { UserKeyUp(*WinControl, Key, Shift); });
        return Consume;
    }
    if (Key != 0 && !Dispatch([&] { UserKeyDown(*WinControl, Key, Shift); }))
        return Consume;
    if (PassesKeyToWidget(Event))
        return false;
    if (TypesText(Event.modifiers()))
        TypeText(*WinControl, FromQString(Event.text()));
    return Consume;
}

} // namespace vorn
