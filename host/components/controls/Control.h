#pragma once

#include "host/components/controls/Keyboard.h"
#include "host/components/controls/Peer.h"
#include "host/components/graphics/Graphics.h"
#include "host/components/model/Component.h"
#include "host/components/model/Events.h"
#include "host/components/model/Exception.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

class TWinControl;

// An operation that the state of a control forbids, such as focusing a hidden control.
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// A rectangle in pixels; Right and Bottom lie just outside it.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const TRect&) const = default;
};

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Where a control goes inside its parent when the parent's client size changes. alNone is
// also a member of the locate edit's TAutoLocate, so the members live in a namespace of
// their own and all but alNone are brought into vorn: the host names it TAlign::alNone.
namespace alignment {
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
} // namespace alignment
using alignment::alBottom;
using alignment::alClient;
using alignment::alLeft;
using alignment::alRight;
using alignment::alTop;
using alignment::TAlign;

// The parent's edges a control keeps its distance to.
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;

const TTypeInfo& AlignTypeInfo();
const TTypeInfo& AnchorsTypeInfo();

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, int& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

// Type information of the event properties of controls.
const TTypeInfo& NotifyEventTypeInfo();
const TTypeInfo& MouseEventTypeInfo();
const TTypeInfo& MouseMoveEventTypeInfo();
const TTypeInfo& KeyEventTypeInfo();
const TTypeInfo& KeyPressEventTypeInfo();

// A visible component: a rectangle inside its parent, with a text, a font, a colour and
// handlers for the user's mouse input. The handlers are public and virtual so that
// descendants extend them and the input dispatch (Input.h) calls them; a handler called
// directly lets its exceptions through to the caller.
class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    // Position in the parent's client coordinates, and size.
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    // Raises EInvalidOperation for a negative width or height, changing nothing.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    // The area inside the control, in its own coordinates: controls here have no border.
    int ClientWidth() const { return FWidth; }
    int ClientHeight() const { return FHeight; }
    TRect ClientRect() const { return {0, 0, FWidth, FHeight}; }

    // The parent places an aligned control along one of its edges (or over the room the
    // others leave, alClient) whenever its client size changes; see TWinControl::AlignControls.
    TAlign Align() const { return FAlign; }
    // Raises EInvalidOperation for a value that is no TAlign member, changing nothing.
    void SetAlign(TAlign Value);
    // A control that is not aligned keeps its distances to the anchored edges of its
    // parent; see TWinControl::AlignControls.
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value);

    bool Visible() const { return FVisible; }
    // Hiding a control that holds the focus of its form takes the focus away (DoExit).
    void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }

    bool Enabled() const { return FEnabled; }
    // Disabling a control that holds the focus of its form takes the focus away (DoExit).
    void SetEnabled(bool Value);

    // Repaints the control (through its peer; without a peer there is nothing to paint).
    void Refresh();
    void Invalidate();

    // Text and Caption are one text: edits call it Text, buttons and forms Caption.
    // Writing a different text calls TextChanged; writing the same text does nothing.
    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    const std::string& Caption() const { return FText; }
    void SetCaption(const std::string& Value) { SetText(Value); }

    TWinControl* Parent() const { return FParent; }
    // Moves the control into AParent's child list (out of its former parent's); nullptr
    // takes it out of every parent. Raises EInvalidOperation when AParent is the control
    // itself or lies inside it.
    virtual void SetParent(TWinControl* AParent);
    // The top of the parent chain: the form, or the outermost parent when there is no
    // form. A window control without parent is its own top-level control; a plain
    // control without parent has none.
    TWinControl* TopLevelControl();

    // The font, a copy of the parent's while ParentFont is true. Changing it sets
    // ParentFont to false.
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* Value) { FFont->Assign(Value); }
    bool ParentFont() const { return FParentFont; }
    // True copies the parent's font at once.
    void SetParentFont(bool Value);

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);

    // A short help text about the control, kept while the program runs (form files do not
    // hold it); the widget set shows it as the control's tooltip.
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    // What assistive tools announce the control as: the Hint when set, else the short
    // description that the control's class (or the application) gave it, else nothing.
    const std::string& AccessibleName() const {
        return FHint.empty() ? FDefaultAccessibleName : FHint;
    }
    const std::string& DefaultAccessibleName() const { return FDefaultAccessibleName; }
    void SetDefaultAccessibleName(const std::string& Value);

    // Whether user input can reach the control: it and its parents are enabled and all
    // but the top-level control are visible (a hidden form keeps its state for later).
    bool CanReceiveInput() const;

    // A click (the user's, or a program's): fires OnClick.
    virtual void Click();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    // The mouse entered or left the control.
    virtual void CMMouseEnter();
    virtual void CMMouseLeave();

    // Ends loading and takes the distances the anchors keep from the bounds read.
    void Loaded() override;

    TControlPeer* Peer() const { return FPeer.get(); }
    // Gives the control its on-screen side (nullptr removes it); the control owns it.
    void SetPeer(std::unique_ptr<TControlPeer> APeer);

    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    // Called after the text changed.
    virtual void TextChanged();
    // Called after the font changed, whatever changed it.
    virtual void FontChanged();
    // The parent's font changed: a control with ParentFont takes it over.
    void ParentFontChanged();

    template <class Call>
    void NotifyPeer(Call&& Notify) const {
        if (FPeer)
            Notify(*FPeer);
    }

private:
    friend class TWinControl;

    // The bounds and the parent's client size the anchors measure from: taken whenever the
    // control is placed by anything but its parent's layout, and after loading (a form
    // file sets sizes in any order, so nothing is measured while it is read).
    struct TAnchorBase {
        TRect Bounds;
        int ParentWidth = 0;
        int ParentHeight = 0;
    };

    void FontObjectChanged();
    bool IsLoading() const;
    void TakeAnchorBase();
    // Where the anchors put the control in a parent of the given client size.
    TRect AnchoredBounds(int ParentWidth, int ParentHeight);
    // SetBounds on behalf of the parent's layout, which keeps the anchor base.
    void PlaceByLayout(const TRect& Bounds);
    // The parent lays out again when an aligned control changed.
    void RealignParent();
    // The client size changed: a window control lays out its children.
    virtual void ClientResized() {}

    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    bool FVisible = true;
    bool FEnabled = true;
    std::string FText;
    TWinControl* FParent = nullptr;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    bool FTakingParentFont = false;
    TColor FColor = clWindow;
    std::string FHint;
    std::string FDefaultAccessibleName;
    std::unique_ptr<TControlPeer> FPeer;
    TAlign FAlign = TAlign::alNone;
    TAnchors FAnchors{akLeft, akTop};
    std::optional<TAnchorBase> FAnchorBase;
    bool FPlacingByLayout = false;
};

// A control that can hold child controls, take the keyboard focus and handle keys.
//
// Focus: every top-level control (a form, or an outermost window control without a
// form) has at most one focused control. SetFocus moves it there: DoExit on the control
// that had it (an exception from DoExit leaves the focus where it was), then DoEnter on
// the new one. A control that leaves the top level or is destroyed loses the focus
// without DoExit.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    // The child at Index in the order the children were added; raises EListError outside.
    TControl* Controls(int Index) const;
    // Whether Control is this control or lies inside it.
    bool ContainsControl(const TControl* Control) const;

    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value) { FTabStop = Value; }

    // A key went down: fires OnKeyDown, which may change Key; descendants do their own
    // handling afterwards unless Key became 0.
    virtual void KeyDown(int& Key, TShiftState Shift);
    virtual void KeyUp(int& Key, TShiftState Shift);
    // A character was typed: fires OnKeyPress, which may change Key (0 drops it).
    virtual void KeyPress(char& Key);
    // A character that takes more than one byte of the host code page was typed (one whole
    // UTF-8 sequence). A char cannot hold it, so OnKeyPress does not see it; controls that
    // take text type it like KeyPress does a one-byte character. The base does nothing.
    virtual void KeyPressCharacter(const std::string& Character);

    // The control got or lost the focus: fire OnEnter, OnExit.
    virtual void DoEnter();
    virtual void DoExit();

    // Raises EInvalidOperation when the control cannot take the focus.
    virtual void SetFocus();
    bool Focused() const;
    // The control and its parents are enabled and visible (the top level's visibility
    // does not count).
    virtual bool CanFocus() const { return CanReceiveInput(); }
    // The focused control of the top level this control belongs to, or nullptr.
    TWinControl* FocusedControl() const;
    // Takes the focus away from this control or the control inside it that has it
    // (DoExit); does nothing when the focus is elsewhere.
    void RemoveFocus();

    // The next control after Current (or the first, for nullptr) in tab order inside
    // this control that can take the focus and has TabStop, wrapping around; nullptr
    // when there is none.
    TWinControl* FindNextControl(TWinControl* Current, bool GoForward);

    // Places the children: first the aligned ones, alTop from the top edge down, then
    // alBottom from the bottom edge up, alLeft, alRight, and alClient over the room that
    // is left (each group in child order; hidden children take no room). Then each child
    // that is not aligned keeps its distances to its anchored edges: with akLeft and
    // akRight it stretches with the parent, with akRight alone it moves with the right
    // edge, and with neither it keeps its centre's distance to the parent's centre (moving
    // by half the growth); likewise vertically. Sizes that would go negative stay at 0.
    // Runs whenever the client size changes; does nothing while the control is loading.
    void AlignControls();

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    // Ends loading and places the children by the bounds read.
    void Loaded() override;

protected:
    void FontChanged() override;

private:
    friend class TControl;

    void InsertControl(TControl* Control);
    void RemoveControl(TControl* Control);
    void CollectTabStops(std::vector<TWinControl*>& Result);
    // Top-level side of the focus.
    void MoveFocus(TWinControl* NewFocus);
    void LoseFocusWithin(const TControl* Control);
    void ForgetFocusWithin(const TControl* Control);
    void ClientResized() override { AlignControls(); }

    std::vector<TControl*> FControls;
    bool FTabStop = false;
    // Meaningful on a top-level control only.
    TWinControl* FFocusedControl = nullptr;
    bool FAligning = false;
};

} // namespace vorn
