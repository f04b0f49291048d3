// How controls follow the client size of their parent: Align and Anchors.

#include "host/components/controls/Control.h"

#include <algorithm>
#include <tuple>
#include <utility>

namespace vorn {

const TTypeInfo& AlignTypeInfo() {
    static const TTypeInfo Info{"TAlign",
                                tkEnumeration,
                                {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"},
                                nullptr};
    return Info;
}

const TTypeInfo& AnchorsTypeInfo() {
    static const TTypeInfo Info{
        "TAnchors", tkSet, {"akLeft", "akTop", "akRight", "akBottom"}, nullptr};
    return Info;
}

namespace {

// Where a control anchored on one axis goes: Start and Size are its place when the parent
// measured ParentSize along the axis, NewParentSize what the parent measures now.
struct TAxisPlace {
    int Start;
    int Size;
};

TAxisPlace AnchoredAxis(bool AtStart, bool AtEnd, int Start, int Size, int ParentSize,
                        int NewParentSize) {
    const int Growth = NewParentSize - ParentSize;
    if (AtStart && AtEnd)
        return {Start, std::max(0, Size + Growth)};
    if (AtEnd)
        return {Start + Growth, Size};
    if (AtStart)
        return {Start, Size};
    return {Start + Growth / 2, Size};
}

// Takes Size off one end of the span from Start to End (off its start for FromStart):
// returns the strip's span and leaves the rest, which never turns inside out.
std::pair<int, int> TakeSpan(int& Start, int& End, int Size, bool FromStart) {
    if (FromStart) {
        const std::pair<int, int> Strip{Start, Start + Size};
        Start = std::min(Strip.second, End);
        return Strip;
    }
    const std::pair<int, int> Strip{End - Size, End};
    End = std::max(Strip.first, Start);
    return Strip;
}

// Gives an aligned control its place along an edge of Room and takes that strip off Room.
TRect TakeStrip(TRect& Room, TAlign Align, const TControl& Control) {
    TRect Place = Room;
    if (Align == alTop || Align == alBottom)
        std::tie(Place.Top, Place.Bottom) =
            TakeSpan(Room.Top, Room.Bottom, Control.Height(), Align == alTop);
    else if (Align == alLeft || Align == alRight)
        std::tie(Place.Left, Place.Right) =
            TakeSpan(Room.Left, Room.Right, Control.Width(), Align == alLeft);
    return Place;
}

class TAligningScope {
public:
    explicit TAligningScope(bool& Flag) : FFlag(Flag) { FFlag = true; }
    ~TAligningScope() { FFlag = false; }
    TAligningScope(const TAligningScope&) = delete;
    TAligningScope& operator=(const TAligningScope&) = delete;

private:
    bool& FFlag;
};

} // namespace

void TControl::SetAlign(TAlign Value) {
    if (static_cast<int>(Value) < TAlign::alNone || static_cast<int>(Value) > alClient)
        throw EInvalidOperation("SetAlign() " + std::to_string(static_cast<int>(Value)) +
                                " is no alignment");
    if (Value == FAlign)
        return;
    const bool WasAligned = FAlign != TAlign::alNone;
    FAlign = Value;
    if (Value == TAlign::alNone)
        TakeAnchorBase();
    if (WasAligned || Value != TAlign::alNone)
        RealignParent();
}

void TControl::SetAnchors(TAnchors Value) {
    FAnchors = Value;
    TakeAnchorBase();
}

void TControl::Loaded() {
    TComponent::Loaded();
    TakeAnchorBase();
}

bool TControl::IsLoading() const {
    return ComponentState().Contains(csLoading) ||
           (FParent != nullptr && FParent->ComponentState().Contains(csLoading));
}

void TControl::TakeAnchorBase() {
    if (FParent == nullptr || IsLoading()) {
        FAnchorBase.reset();
        return;
    }
    FAnchorBase = TAnchorBase{BoundsRect(), FParent->ClientWidth(), FParent->ClientHeight()};
}

TRect TControl::AnchoredBounds(int ParentWidth, int ParentHeight) {
    // Controls read from a form file measure from where the first layout finds them.
    if (!FAnchorBase)
        FAnchorBase = TAnchorBase{BoundsRect(), ParentWidth, ParentHeight};
    const TRect& Base = FAnchorBase->Bounds;
    const TAxisPlace X =
        AnchoredAxis(FAnchors.Contains(akLeft), FAnchors.Contains(akRight), Base.Left, Base.Width(),
                     FAnchorBase->ParentWidth, ParentWidth);
    const TAxisPlace Y =
        AnchoredAxis(FAnchors.Contains(akTop), FAnchors.Contains(akBottom), Base.Top, Base.Height(),
                     FAnchorBase->ParentHeight, ParentHeight);
    return {X.Start, Y.Start, X.Start + X.Size, Y.Start + Y.Size};
}

void TControl::PlaceByLayout(const TRect& Bounds) {
    const TAligningScope Placing(FPlacingByLayout);
    SetBounds(Bounds.Left, Bounds.Top, std::max(0, Bounds.Width()), std::max(0, Bounds.Height()));
}

void TControl::RealignParent() {
    if (FParent != nullptr && FAlign != TAlign::alNone)
        FParent->AlignControls();
}

void TWinControl::Loaded() {
    TControl::Loaded();
    AlignControls();
}

void TWinControl::AlignControls() {
    if (FAligning || ComponentState().Contains(csLoading) ||
        ComponentState().Contains(csDestroying))
        return;
    const TAligningScope Aligning(FAligning);
    // A child's handlers may add or take away children; the layout places those it began with.
    const std::vector<TControl*> Children = FControls;
    TRect Room = ClientRect();
    for (const TAlign Group : {alTop, alBottom, alLeft, alRight, alClient})
        for (TControl* Child : Children)
            if (Child->FAlign == Group && Child->Visible())
                Child->PlaceByLayout(TakeStrip(Room, Group, *Child));
    for (TControl* Child : Children)
        if (Child->FAlign == TAlign::alNone)
            Child->PlaceByLayout(Child->AnchoredBounds(ClientWidth(), ClientHeight()));
}

} // namespace vorn
