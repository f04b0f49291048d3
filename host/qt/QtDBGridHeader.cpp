#include "host/qt/QtDBGridHeader.h"

#include "host/data/grid/DBGrid.h"

#include <QBrush>
#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStyleOptionHeaderV2>

#include <algorithm>

namespace vorn {

namespace {

// Space on either side of a mark, and between its arrow and its number.
constexpr int MarkMargin = 4;
constexpr int MarkGap = 2;

// The font and text colour the model gives a section, as the header paints its caption.
QFont SectionFont(const QHeaderView& Header, int Section) {
    const QVariant Font = Header.model()->headerData(Section, Header.orientation(), Qt::FontRole);
    return Font.canConvert<QFont>() ? Font.value<QFont>() : Header.font();
}

QColor SectionTextColor(const QHeaderView& Header, int Section) {
    const QVariant Brush =
        Header.model()->headerData(Section, Header.orientation(), Qt::ForegroundRole);
    return Brush.canConvert<QBrush>() ? Brush.value<QBrush>().color()
                                      : Header.palette().color(QPalette::ButtonText);
}

// An arrow about as wide as three fifths of the text's height (odd, so that its tip sits on a
// pixel), and half as high as it is wide.
int ArrowWidth(const QFontMetrics& Metrics) {
    return std::max(7, (Metrics.height() * 3 / 5) | 1);
}

bool ShowsPriority(const TTitleSortMark& Mark) {
    return Mark.Count >= 2;
}

} // namespace

TQtDBGridHeader::TQtDBGridHeader(TCustomDBGrid& Grid) : QHeaderView(Qt::Horizontal), FGrid(Grid) {}

const TColumnTitle* TQtDBGridHeader::TitleOf(int Section) const {
    const TColumn* Column = FGrid.ColumnAt(Section + FGrid.FixedCols());
    return Column != nullptr ? Column->Title() : nullptr;
}

int TQtDBGridHeader::MarkWidth(int Section) const {
    const TColumnTitle* Title = TitleOf(Section);
    if (Title == nullptr || Title->SortMark().Direction == tsdNone)
        return 0;
    const TTitleSortMark& Mark = Title->SortMark();
    const QFontMetrics Metrics(SectionFont(*this, Section));
    int Width = MarkMargin + ArrowWidth(Metrics) + MarkMargin;
    if (ShowsPriority(Mark))
        Width += MarkGap + Metrics.horizontalAdvance(QString::number(Mark.Priority));
    return Width;
}

void TQtDBGridHeader::initStyleOptionForIndex(QStyleOptionHeader* Option, int Section) const {
    QHeaderView::initStyleOptionForIndex(Option, Section);
    if (FOmitCaption)
        Option->text.clear();
}

void TQtDBGridHeader::paintSection(QPainter* Painter, const QRect& Rect, int Section) const {
    const TColumnTitle* Title = TitleOf(Section);
    if (Title == nullptr || Title->SortMark().Direction == tsdNone) {
        QHeaderView::paintSection(Painter, Rect, Section);
    } else {
        // The style paints the section as always, but for the caption, which must make
        // room for the mark.
        FOmitCaption = true;
        QHeaderView::paintSection(Painter, Rect, Section);
        FOmitCaption = false;
        PaintCaption(*Painter, Rect, Section);
        PaintMark(*Painter, Rect, Section, Title->SortMark());
    }
    if (Title != nullptr && FGrid.FocusedTitle() == &Title->Column())
        PaintFocusFrame(*Painter, Rect);
}

void TQtDBGridHeader::PaintCaption(QPainter& Painter, const QRect& Rect, int Section) const {
    QStyleOptionHeaderV2 Option;
    initStyleOption(&Option);
    initStyleOptionForIndex(&Option, Section);
    Option.rect = Rect;
    QRect Label = style()->subElementRect(QStyle::SE_HeaderLabel, &Option, this);
    Label.setRight(std::min(Label.right(), Rect.right() - MarkWidth(Section)));
    Option.rect = Label;
    Option.palette.setColor(QPalette::ButtonText, SectionTextColor(*this, Section));
    const QFont Font = SectionFont(*this, Section);
    Option.fontMetrics = QFontMetrics(Font);
    Painter.save();
    // The section's own painting leaves a clip behind: each part clips to the section.
    Painter.setClipRect(Rect);
    Painter.setFont(Font);
    style()->drawControl(QStyle::CE_HeaderLabel, &Option, &Painter, this);
    Painter.restore();
}

void TQtDBGridHeader::PaintMark(QPainter& Painter, const QRect& Rect, int Section,
                                const TTitleSortMark& Mark) const {
    const QFont Font = SectionFont(*this, Section);
    const int Width = ArrowWidth(QFontMetrics(Font));
    const int Height = Width / 2 + 1;
    const int Left = Rect.right() + 1 - MarkWidth(Section) + MarkMargin;
    const int Middle = Rect.center().y();
    const int Top = Middle - Height / 2;
    const int Bottom = Top + Height;
    QPolygon Arrow;
    if (Mark.Direction == tsdAscending)
        Arrow << QPoint(Left, Bottom) << QPoint(Left + Width, Bottom)
              << QPoint(Left + Width / 2, Top);
    else
        Arrow << QPoint(Left, Top) << QPoint(Left + Width, Top) << QPoint(Left + Width / 2, Bottom);
    const QColor Color = SectionTextColor(*this, Section);
    Painter.save();
    Painter.setClipRect(Rect);
    Painter.setRenderHint(QPainter::Antialiasing);
    Painter.setPen(Qt::NoPen);
    Painter.setBrush(Color);
    Painter.drawPolygon(Arrow);
    if (ShowsPriority(Mark)) {
        Painter.setPen(Color);
        Painter.setFont(Font);
        const QRect Number(Left + Width + MarkGap, Rect.top(), Rect.right() - Left, Rect.height());
        Painter.drawText(Number, Qt::AlignLeft | Qt::AlignVCenter, QString::number(Mark.Priority));
    }
    Painter.restore();
}

void TQtDBGridHeader::PaintFocusFrame(QPainter& Painter, const QRect& Rect) const {
    QStyleOptionFocusRect Option;
    Option.initFrom(this);
    // Styles draw the frame only where the keyboard brought the focus, which it did.
    Option.state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
    Option.rect = Rect.adjusted(1, 1, -2, -2);
    Option.backgroundColor = palette().color(QPalette::Button);
    Painter.save();
    Painter.setClipRect(Rect);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &Option, &Painter, this);
    Painter.restore();
}

} // namespace vorn
