#pragma once

// Shared by the sources of the DBGridTitleSort unit only.

namespace vorn {

// The unit that the assertions of DBGridTitleSort name.
inline constexpr const char* DBGridTitleSortUnitName = "DBGridTitleSort";

} // namespace vorn
