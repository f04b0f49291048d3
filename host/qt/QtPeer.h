#pragma once

#include "host/components/controls/Control.h"
#include "host/components/controls/Peer.h"
#include "host/components/model/ScopeGuard.h"

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QAccessibleEvent;
class QAccessibleInterface;
class QEvent;
class QKeyEvent;
class QLineEdit;
class QMouseEvent;

namespace vorn {

// The Qt side of one control. The peer owns its widget (unless Qt already deleted it
// together with a parent widget), mirrors the control's model into it and turns the
// widget's input events into calls of the input dispatch.
class TQtPeer : public TControlPeer {
public:
    // Takes ownership of Widget.
    TQtPeer(TControl& Control, QWidget* Widget);
    ~TQtPeer() override;

    TControl& Control() const { return FControl; }
    QWidget* Widget() const { return FWidget; }

    // Reads the whole model into the widget, as after creation.
    virtual void Synchronize();

    void BoundsChanged() override;
    void VisibleChanged() override;
    void EnabledChanged() override;
    void TextChanged() override {}
    void AppearanceChanged() override;
    void ParentChanged() override;
    void FocusChanged() override;
    void Invalidate() override;
    // The accessible name goes to the widget and to the part that takes its focus, which
    // is what assistive tools meet first; the Hint becomes the tooltip.
    void AccessibilityChanged() override;

    // The peer of Control when it is a Qt peer, else nullptr.
    static TQtPeer* Of(const TControl& Control);

    // Assistive tools: whether anyone hears the events that RaiseAccessibleEvent raises,
    // and raising one. Qt passes events on only while a tool listens; the hook, when set,
    // also sees every event the widget set raises itself, whether a tool listens or not.
    using TAccessibleEventHook = std::function<void(QAccessibleEvent& Event)>;
    static bool AccessibleEventsHeard();
    static void RaiseAccessibleEvent(QAccessibleEvent& Event);
    // Frees an interface that Qt hands out without keeping it (the header cells of a table
    // cell): the accessibility cache takes it over and lets it go. An interface of an object
    // is the cache's already, which frees it with the object.
    static void FreeLooseAccessible(QAccessibleInterface* Interface);
    // Installs Hook (empty: none) and returns the one it replaces.
    static TAccessibleEventHook SetAccessibleEventHook(TAccessibleEventHook Hook);

    // While a statement runs, the event loop turns inside a model call to show progress:
    // deferred changes then wait for that call to return, since applying them may ask the
    // model, which is busy. Calls nest; each true is matched by a false.
    static void HoldDeferredChanges(bool Hold);

    // Runs a call into the model from a Qt callback: an exception must never unwind
    // through Qt's event loop, so it goes to the application error handler.
    //
    // A handler may free the control, and with it this peer and its widget, while Qt is
    // still inside the widget's event: widgets of peers that go during such a call are
    // deleted once Qt is back in its event loop.
    template <class Call>
    static void Guarded(Call&& ModelCall) noexcept {
        ++CallbackDepth;
        try {
            ModelCall();
        } catch (...) {
            ReportCurrentException();
        }
        --CallbackDepth;
        if (CallbackDepth == 0)
            ApplyAllDeferredChanges();
    }

protected:
    // Guarded for a member's callback: returns whether the peer is still there afterwards,
    // so that the callback may go on using it.
    template <class Call>
    bool Dispatch(Call&& ModelCall) noexcept {
        const QPointer<QObject> Alive(Context());
        Guarded(std::forward<Call>(ModelCall));
        return !Alive.isNull();
    }

    // The object that owns the peer's signal connections: they end with the peer.
    QObject* Context() const;
    // Routes the input events of Source (the widget or a part of it) through HandleInput.
    void WatchInput(QObject* Source);
    // Handles one input event of a watched object; true when the widget must not see it.
    virtual bool HandleInput(QObject* Source, QEvent* Event);
    // Where a mouse event at Position of Source lies in the control's client coordinates.
    virtual QPoint ToClientPoint(QObject* Source, QPoint Position) const;
    // Whether button presses and releases go to the model as mouse down and up (buttons
    // report their clicks as whole clicks instead).
    virtual bool ForwardsButtons(QObject* /*Source*/) const { return true; }
    // Whether the widget must not see the button presses of Source, because the model
    // decides what they do (a grid's current cell).
    virtual bool ConsumesButtons(QObject* /*Source*/) const { return false; }
    // Whether the model does the widget's own handling of keys (editing, moving).
    virtual bool ConsumesKeys() const { return true; }
    // Called once the model has seen a key go down: whether the widget must still carry
    // out the key event itself, where the model has no part in what the key does.
    virtual bool PassesKeyToWidget(const QKeyEvent& /*Event*/) { return false; }

    // The clipboard and undo shortcuts (paste, copy, cut, undo, redo), which a line edit
    // carries out itself: the model knows no clipboard.
    static bool IsLineEditShortcut(const QKeyEvent& Event);
    // Hands the text that Edit changes by itself (the shortcuts above, its context menu)
    // to the model as the user's edit of Control, exactly as typing does; PlaceCaret then
    // puts the model's caret where the line edit left its own, since the model, told of
    // a whole new text, puts it at the end.
    void FollowLineEdit(QLineEdit& Edit, TWinControl& Control, std::function<void(int)> PlaceCaret);
    // Shows the model's selection (in host characters) in Edit.
    static void ShowSelection(QLineEdit& Edit, int SelStart, int SelLength);
    // Whether the widget is a window of its own (a form); other widgets show only inside
    // their parent's.
    virtual bool IsWindow() const { return false; }

    // Has ApplyDeferredChanges run once for all the requests made until then: at once when
    // no callback is running, else when the outermost callback has returned (or from the
    // event loop, should a callback run one of its own). One user action can change a
    // control's model many times over, and the widget then follows it once.
    void DeferUntilCallbacksReturn();
    // Mirrors into the widget what the peer deferred.
    virtual void ApplyDeferredChanges() {}

    // Set while the peer writes the model into the widget, so that the widget's change
    // signals are not taken for the user's input.
    bool Pushing() const { return FPushing > 0; }
    class TPushScope {
    public:
        explicit TPushScope(TQtPeer& Peer) : FPushing(Peer.FPushing) {}

    private:
        TCountInScope<int> FPushing;
    };

private:
    class TInputFilter;

    static void ReportCurrentException() noexcept;
    static void ApplyAllDeferredChanges() noexcept;
    // Takes Peer off the list; false when it was not on it.
    static bool LeaveDeferring(TQtPeer* Peer);
    void ApplyDeferredChangesGuarded() noexcept;
    static TAccessibleEventHook AccessibleEventHook;
    static int CallbackDepth;
    static int DeferredChangesHeld;
    // The peers waiting for ApplyDeferredChanges, in the order they asked.
    static std::vector<TQtPeer*> DeferringPeers;
    bool HandleMouse(QObject* Source, QMouseEvent& Event);
    // Whether Position of Source lies on the widget of another control inside this one:
    // Qt hands a mouse event that a child leaves alone on to its parent, and the control
    // underneath must not take it for its own.
    static bool OverInnerControl(QObject* Source, QPoint Position);
    bool HandleKey(QKeyEvent& Event);
    void TypeText(TWinControl& Control, const std::string& Typed);
    // The widget was moved or resized by someone other than the model: the control follows.
    void FollowWidgetGeometry();

    TControl& FControl;
    QPointer<QWidget> FWidget;
    std::unique_ptr<TInputFilter> FFilter;
    int FPushing = 0;
    // Set while the control takes the widget's geometry: the widget is there already.
    bool FFollowingWidget = false;
};

} // namespace vorn
