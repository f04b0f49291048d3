#include "host/components/controls/Control.h"

#include "host/components/model/AliveGuard.h"

#include <algorithm>
#include <optional>

namespace vorn {

namespace {

// Whether Inner is Outer or lies inside it.
bool IsInside(const TControl* Inner, const TControl* Outer) {
    for (const TControl* Current = Inner; Current != nullptr; Current = Current->Parent())
        if (Current == Outer)
            return true;
    return false;
}

std::string Describe(const TControl& Control) {
    return Control.Name().empty() ? "a " + Control.ClassName() : Control.Name();
}

} // namespace

const TTypeInfo& NotifyEventTypeInfo() {
    static const TTypeInfo Info{"TNotifyEvent", tkMethod, {}, nullptr};
    return Info;
}

const TTypeInfo& MouseEventTypeInfo() {
    static const TTypeInfo Info{"TMouseEvent", tkMethod, {}, nullptr};
    return Info;
}

const TTypeInfo& MouseMoveEventTypeInfo() {
    static const TTypeInfo Info{"TMouseMoveEvent", tkMethod, {}, nullptr};
    return Info;
}

const TTypeInfo& KeyEventTypeInfo() {
    static const TTypeInfo Info{"TKeyEvent", tkMethod, {}, nullptr};
    return Info;
}

const TTypeInfo& KeyPressEventTypeInfo() {
    static const TTypeInfo Info{"TKeyPressEvent", tkMethod, {}, nullptr};
    return Info;
}

// ---------------------------------------------------------------- TControl

const TClass& TControl::StaticClass() {
    static const TClass Class = [] {
        TClass C("TControl", &TComponent::StaticClass());
        C.AddProperty(MakeProperty("Left", IntegerTypeInfo(), &TControl::Left, &TControl::SetLeft));
        C.AddProperty(MakeProperty("Top", IntegerTypeInfo(), &TControl::Top, &TControl::SetTop));
        C.AddProperty(
            MakeProperty("Width", IntegerTypeInfo(), &TControl::Width, &TControl::SetWidth));
        C.AddProperty(
            MakeProperty("Height", IntegerTypeInfo(), &TControl::Height, &TControl::SetHeight));
        C.AddProperty(
            MakeProperty("Visible", BooleanTypeInfo(), &TControl::Visible, &TControl::SetVisible));
        C.AddProperty(
            MakeProperty("Enabled", BooleanTypeInfo(), &TControl::Enabled, &TControl::SetEnabled));
        C.AddProperty(
            MakeProperty("Color", ColorTypeInfo(), &TControl::Color, &TControl::SetColor));
        C.AddProperty(MakeSubObjectProperty("Font", FontTypeInfo(), &TControl::Font));
        C.AddProperty(MakeProperty("ParentFont", BooleanTypeInfo(), &TControl::ParentFont,
                                   &TControl::SetParentFont));
        C.AddProperty(MakeEventProperty("OnClick", NotifyEventTypeInfo(), &TControl::OnClick));
        C.AddProperty(
            MakeEventProperty("OnMouseDown", MouseEventTypeInfo(), &TControl::OnMouseDown));
        C.AddProperty(
            MakeEventProperty("OnMouseMove", MouseMoveEventTypeInfo(), &TControl::OnMouseMove));
        C.AddProperty(MakeEventProperty("OnMouseUp", MouseEventTypeInfo(), &TControl::OnMouseUp));
        C.AddProperty(
            MakeEventProperty("OnMouseEnter", NotifyEventTypeInfo(), &TControl::OnMouseEnter));
        C.AddProperty(
            MakeEventProperty("OnMouseLeave", NotifyEventTypeInfo(), &TControl::OnMouseLeave));
        C.AddProperty(
            MakeProperty("Align", AlignTypeInfo(), &TControl::Align, &TControl::SetAlign));
        C.AddProperty(
            MakeProperty("Anchors", AnchorsTypeInfo(), &TControl::Anchors, &TControl::SetAnchors));
        return C;
    }();
    return Class;
}

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>()) {
    FFont->OnChange = [this](TObject*) { FontObjectChanged(); };
}

TControl::~TControl() {
    if (FParent == nullptr)
        return;
    TWinControl* Root = TopLevelControl();
    Root->ForgetFocusWithin(this);
    FParent->RemoveControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (AWidth < 0 || AHeight < 0)
        throw EInvalidOperation("SetBounds() " + Describe(*this) + " cannot have the size " +
                                std::to_string(AWidth) + " x " + std::to_string(AHeight));
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    const bool Resized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (!FPlacingByLayout)
        TakeAnchorBase();
    NotifyPeer([](TControlPeer& Peer) { Peer.BoundsChanged(); });
    if (Resized)
        ClientResized();
    if (!FPlacingByLayout)
        RealignParent();
}

void TControl::SetVisible(bool Value) {
    if (Value == FVisible)
        return;
    FVisible = Value;
    NotifyPeer([](TControlPeer& Peer) { Peer.VisibleChanged(); });
    if (!Value && FParent != nullptr)
        TopLevelControl()->LoseFocusWithin(this);
    RealignParent();
}

void TControl::SetEnabled(bool Value) {
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    NotifyPeer([](TControlPeer& Peer) { Peer.EnabledChanged(); });
    if (!Value) {
        if (TWinControl* Root = TopLevelControl())
            Root->LoseFocusWithin(this);
    }
}

void TControl::Refresh() {
    Invalidate();
}

void TControl::Invalidate() {
    NotifyPeer([](TControlPeer& Peer) { Peer.Invalidate(); });
}

void TControl::SetText(const std::string& Value) {
    if (Value == FText)
        return;
    FText = Value;
    TextChanged();
}

void TControl::TextChanged() {
    NotifyPeer([](TControlPeer& Peer) { Peer.TextChanged(); });
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == FParent)
        return;
    if (const auto* Self = dynamic_cast<const TWinControl*>(this);
        AParent != nullptr && Self != nullptr && Self->ContainsControl(AParent))
        throw EInvalidOperation("SetParent() " + Describe(*this) +
                                " cannot be placed inside a control it contains");
    TWinControl* OldParent = FParent;
    if (FParent != nullptr) {
        // Within one top level the focus stays; it does not follow into another one.
        TWinControl* NewTopLevel = AParent != nullptr ? AParent->TopLevelControl() : nullptr;
        if (TWinControl* OldTopLevel = TopLevelControl(); OldTopLevel != NewTopLevel)
            OldTopLevel->ForgetFocusWithin(this);
        FParent->RemoveControl(this);
    } else if (auto* Self = dynamic_cast<TWinControl*>(this)) {
        // It stops being a top level: the focus it kept does not carry over.
        Self->ForgetFocusWithin(Self);
    }
    if (AParent != nullptr)
        AParent->InsertControl(this);
    TakeAnchorBase();
    NotifyPeer([](TControlPeer& Peer) { Peer.ParentChanged(); });
    ParentFontChanged();
    if (FAlign == TAlign::alNone)
        return;
    if (OldParent != nullptr)
        OldParent->AlignControls();
    RealignParent();
}

TWinControl* TControl::TopLevelControl() {
    if (FParent == nullptr)
        return dynamic_cast<TWinControl*>(this);
    TWinControl* Root = FParent;
    while (Root->FParent != nullptr)
        Root = Root->FParent;
    return Root;
}

void TControl::SetParentFont(bool Value) {
    FParentFont = Value;
    ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!FParentFont || FParent == nullptr)
        return;
    FTakingParentFont = true;
    try {
        FFont->Assign(FParent->Font());
    } catch (...) {
        FTakingParentFont = false;
        throw;
    }
    FTakingParentFont = false;
}

void TControl::FontObjectChanged() {
    if (!FTakingParentFont)
        FParentFont = false;
    FontChanged();
}

void TControl::FontChanged() {
    NotifyPeer([](TControlPeer& Peer) { Peer.AppearanceChanged(); });
}

void TControl::SetColor(TColor Value) {
    if (Value == FColor)
        return;
    FColor = Value;
    NotifyPeer([](TControlPeer& Peer) { Peer.AppearanceChanged(); });
}

void TControl::SetHint(const std::string& Value) {
    if (Value == FHint)
        return;
    FHint = Value;
    NotifyPeer([](TControlPeer& Peer) { Peer.AccessibilityChanged(); });
}

void TControl::SetDefaultAccessibleName(const std::string& Value) {
    if (Value == FDefaultAccessibleName)
        return;
    FDefaultAccessibleName = Value;
    NotifyPeer([](TControlPeer& Peer) { Peer.AccessibilityChanged(); });
}

bool TControl::CanReceiveInput() const {
    for (const TControl* Control = this; Control != nullptr; Control = Control->FParent) {
        if (!Control->FEnabled)
            return false;
        if (Control->FParent != nullptr && !Control->FVisible)
            return false;
    }
    return true;
}

void TControl::Click() {
    if (OnClick)
        OnClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TControl::CMMouseEnter() {
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TControl::CMMouseLeave() {
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TControl::SetPeer(std::unique_ptr<TControlPeer> APeer) {
    FPeer = std::move(APeer);
}

// ---------------------------------------------------------------- TWinControl

const TClass& TWinControl::StaticClass() {
    static const TClass Class = [] {
        TClass C("TWinControl", &TControl::StaticClass());
        C.AddProperty(MakeProperty("TabStop", BooleanTypeInfo(), &TWinControl::TabStop,
                                   &TWinControl::SetTabStop));
        C.AddProperty(MakeEventProperty("OnEnter", NotifyEventTypeInfo(), &TWinControl::OnEnter));
        C.AddProperty(MakeEventProperty("OnExit", NotifyEventTypeInfo(), &TWinControl::OnExit));
        C.AddProperty(MakeEventProperty("OnKeyDown", KeyEventTypeInfo(), &TWinControl::OnKeyDown));
        C.AddProperty(
            MakeEventProperty("OnKeyPress", KeyPressEventTypeInfo(), &TWinControl::OnKeyPress));
        C.AddProperty(MakeEventProperty("OnKeyUp", KeyEventTypeInfo(), &TWinControl::OnKeyUp));
        return C;
    }();
    return Class;
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    if (TWinControl* Root = TopLevelControl(); Root != this)
        Root->ForgetFocusWithin(this);
    // Children are references, not possessions: those owned elsewhere live on, parentless.
    for (TControl* Child : FControls)
        Child->FParent = nullptr;
    FControls.clear();
    FFocusedControl = nullptr;
}

TControl* TWinControl::Controls(int Index) const {
    if (Index < 0 || Index >= ControlCount())
        throw EListError("Controls() Index " + std::to_string(Index) + " out of bounds (" +
                         std::to_string(ControlCount()) + " controls)");
    return FControls[static_cast<std::size_t>(Index)];
}

bool TWinControl::ContainsControl(const TControl* Control) const {
    return IsInside(Control, this);
}

void TWinControl::InsertControl(TControl* Control) {
    FControls.push_back(Control);
    Control->FParent = this;
}

void TWinControl::RemoveControl(TControl* Control) {
    auto Position = std::find(FControls.begin(), FControls.end(), Control);
    if (Position != FControls.end())
        FControls.erase(Position);
    Control->FParent = nullptr;
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    for (TControl* Child : FControls)
        Child->ParentFontChanged();
}

void TWinControl::KeyDown(int& Key, TShiftState Shift) {
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(int& Key, TShiftState Shift) {
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

void TWinControl::KeyPressCharacter(const std::string& /*Character*/) {}

void TWinControl::DoEnter() {
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit)
        OnExit(this);
}

void TWinControl::SetFocus() {
    if (!CanFocus())
        throw EInvalidOperation("SetFocus() Cannot focus " + Describe(*this) +
                                ": it or one of its parents is disabled or invisible");
    TopLevelControl()->MoveFocus(this);
}

bool TWinControl::Focused() const {
    return FocusedControl() == this;
}

TWinControl* TWinControl::FocusedControl() const {
    const TWinControl* Root = this;
    while (Root->Parent() != nullptr)
        Root = Root->Parent();
    return Root->FFocusedControl;
}

void TWinControl::RemoveFocus() {
    TopLevelControl()->LoseFocusWithin(this);
}

void TWinControl::MoveFocus(TWinControl* NewFocus) {
    TWinControl* OldFocus = FFocusedControl;
    if (OldFocus == NewFocus)
        return;
    if (OldFocus != nullptr) {
        // OnExit may free the form, the control losing the focus or the one to get it.
        const TAliveGuard TopLevel(*this);
        const TAliveGuard Leaving(*OldFocus);
        std::optional<TAliveGuard> Target;
        if (NewFocus != nullptr)
            Target.emplace(*NewFocus);
        OldFocus->DoExit();
        if (!TopLevel.Alive())
            return;
        if (!Leaving.Alive())
            OldFocus = nullptr; // its destructor took the focus away
        if (Target && !Target->Alive())
            NewFocus = nullptr;
        // An OnExit handler that moved the focus itself has the last word.
        if (FFocusedControl != OldFocus)
            return;
    }
    FFocusedControl = NewFocus;
    if (OldFocus != nullptr)
        OldFocus->NotifyPeer([](TControlPeer& Peer) { Peer.FocusChanged(); });
    if (NewFocus == nullptr)
        return;
    NewFocus->NotifyPeer([](TControlPeer& Peer) { Peer.FocusChanged(); });
    NewFocus->DoEnter();
}

void TWinControl::LoseFocusWithin(const TControl* Control) {
    if (FFocusedControl == nullptr || !IsInside(FFocusedControl, Control))
        return;
    MoveFocus(nullptr);
}

void TWinControl::ForgetFocusWithin(const TControl* Control) {
    if (FFocusedControl == nullptr || !IsInside(FFocusedControl, Control))
        return;
    TWinControl* OldFocus = FFocusedControl;
    FFocusedControl = nullptr;
    OldFocus->NotifyPeer([](TControlPeer& Peer) { Peer.FocusChanged(); });
}

void TWinControl::CollectTabStops(std::vector<TWinControl*>& Result) {
    for (TControl* Child : FControls) {
        auto* WinChild = dynamic_cast<TWinControl*>(Child);
        if (WinChild == nullptr)
            continue;
        if (WinChild->FTabStop)
            Result.push_back(WinChild);
        WinChild->CollectTabStops(Result);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* Current, bool GoForward) {
    std::vector<TWinControl*> Order;
    CollectTabStops(Order);
    if (!GoForward)
        std::reverse(Order.begin(), Order.end());
    const auto Start = std::find(Order.begin(), Order.end(), Current);
    const std::size_t First = Start == Order.end() ? 0 : (Start - Order.begin()) + 1;
    for (std::size_t Step = 0; Step < Order.size(); ++Step) {
        TWinControl* Candidate = Order[(First + Step) % Order.size()];
        if (Candidate != Current && Candidate->CanFocus())
            return Candidate;
    }
    return nullptr;
}

} // namespace vorn
