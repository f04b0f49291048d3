#pragma once

#include <QHeaderView>

class QPainter;
class QRect;
class QStyleOptionHeader;

namespace vorn {

class TColumnTitle;
class TCustomDBGrid;
struct TTitleSortMark;

// The title row of a data grid. A title without a sort mark is drawn exactly as the
// style draws any header section. A title with one keeps its caption clear of a mark at
// its right end: an arrow pointing up for an ascending column, down for a descending one,
// and, in an order of several columns, the column's place in it beside the arrow. The
// title that holds the keyboard focus gets a focus frame.
class TQtDBGridHeader final : public QHeaderView {
public:
    explicit TQtDBGridHeader(TCustomDBGrid& Grid);

    // The title that header section Section shows, or nullptr.
    const TColumnTitle* TitleOf(int Section) const;
    // The width the mark of section Section's title takes at the right end of the section,
    // margins included; 0 for a title without mark.
    int MarkWidth(int Section) const;

protected:
    void paintSection(QPainter* Painter, const QRect& Rect, int Section) const override;
    void initStyleOptionForIndex(QStyleOptionHeader* Option, int Section) const override;

private:
    void PaintCaption(QPainter& Painter, const QRect& Rect, int Section) const;
    void PaintMark(QPainter& Painter, const QRect& Rect, int Section,
                   const TTitleSortMark& Mark) const;
    void PaintFocusFrame(QPainter& Painter, const QRect& Rect) const;

    TCustomDBGrid& FGrid;
    // Set while the style paints a marked section without its caption, which is then
    // painted beside the mark.
    mutable bool FOmitCaption = false;
};

} // namespace vorn
