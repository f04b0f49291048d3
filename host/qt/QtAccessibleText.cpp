#include "host/qt/QtAccessibleText.h"

#include "host/components/controls/Grid.h"
#include "host/data/grid/DBGridColumns.h"

namespace vorn {

std::string SortedTitleDescription(const TColumnTitle& Title) {
    const TTitleSortMark& Mark = Title.SortMark();
    if (Mark.Direction == tsdNone)
        return {};
    std::string Result = Title.Caption() + ", sorted ";
    Result += Mark.Direction == tsdAscending ? "ascending" : "descending";
    if (Mark.Count >= 2)
        Result += ", " + std::to_string(Mark.Priority) + " of " + std::to_string(Mark.Count);
    return Result;
}

std::string GridCellAccessibleText(const TStringGrid& Grid, int ACol, int ARow,
                                   const std::string& Text) {
    if (Grid.FixedRows() == 0 || ARow < Grid.FixedRows() || ACol < Grid.FixedCols())
        return {};
    std::string Column = Grid.Cells(ACol, 0);
    if (Column.empty())
        Column = "Column " + std::to_string(ACol - Grid.FixedCols() + 1);
    std::string Result = Column + ", row " + std::to_string(ARow - Grid.FixedRows() + 1);
    if (!Text.empty())
        Result += ": " + Text;
    return Result;
}

} // namespace vorn
