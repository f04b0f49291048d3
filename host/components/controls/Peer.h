#pragma once

namespace vorn {

// The on-screen side of a control, implemented by a widget set. The control owns its
// peer and tells it about every change of its model, one call per kind of change; the
// peer reads the new state back from the control. A peer turns real input into calls of
// the input dispatch (Input.h), never into direct handler calls.
//
// A peer must not call back into its control from its destructor: the control is
// already partly destroyed when its peer goes.
//
// The calls that only some kinds of control make have empty defaults, so a peer
// implements those that its control can make.
class TControlPeer {
public:
    virtual ~TControlPeer() = default;

    // Left, Top, Width or Height changed.
    virtual void BoundsChanged() = 0;
    // Visible changed.
    virtual void VisibleChanged() = 0;
    // Enabled changed.
    virtual void EnabledChanged() = 0;
    // Text (or Caption, the same text) changed.
    virtual void TextChanged() = 0;
    // Font or Color changed.
    virtual void AppearanceChanged() = 0;
    // The control moved to another parent, or lost its parent.
    virtual void ParentChanged() = 0;
    // The control got or lost the focus of its form.
    virtual void FocusChanged() = 0;
    // The control must be painted again (Refresh, a changed glyph).
    virtual void Invalidate() = 0;

    // Hint or the accessible name changed.
    virtual void AccessibilityChanged() {}
    // Edits and combo boxes: SelStart or SelLength changed.
    virtual void SelectionChanged() {}
    // Combo boxes: the list of items changed.
    virtual void ItemsChanged() {}
    // Combo boxes: ItemIndex changed.
    virtual void ItemIndexChanged() {}
    // Combo boxes: the list opened or closed.
    virtual void DroppedDownChanged() {}
    // Grids: the text or object of one cell changed.
    virtual void CellChanged(int /*Col*/, int /*Row*/) {}
    // Grids: counts, fixed counts, sizes, options or the order of rows changed; every
    // cell must be read again.
    virtual void GridLayoutChanged() {}
    // Grids: the current cell, the scroll position or the editor mode changed.
    virtual void GridPositionChanged() {}
};

} // namespace vorn
