#pragma once

#include <string>

namespace vorn {

class TColumnTitle;
class TStringGrid;

// The texts that assistive tools read for the parts of grids that have no widget of their
// own: column titles and cells.

// How a title's sort mark reads: "<caption>, sorted ascending" (or "descending") for an
// order of one column, followed by ", <place> of <count>" in an order of several; the
// empty text for a title without mark.
std::string SortedTitleDescription(const TColumnTitle& Title);

// How a cell below a string grid's fixed rows reads: its column's title (the top fixed row's
// text in that column, or "Column <n>" where that is empty), the cell's row counted from
// 1 below the fixed rows, and the cell's text after a colon unless it is empty:
// "Field, row 2: Name". The empty text for a fixed cell and for a grid without fixed rows,
// whose cells read as their text alone.
std::string GridCellAccessibleText(const TStringGrid& Grid, int ACol, int ARow,
                                   const std::string& Text);

} // namespace vorn
