// Sort field lists with a direction per field.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

class TIndexDef;
struct TIndexInfo;

// A sort field list names its fields most significant first, separated by ";". A field
// followed by DescendingMark sorts descending ("OrderDate:D;Name"); every other field
// ascends, so a list without the mark means what it always meant.
inline constexpr std::string_view DescendingMark = ":D";

struct TSortField {
    std::string Name;
    bool Descending = false;
    bool operator==(const TSortField&) const = default;
};

// One item of a list: its name without the mark, and whether the mark was there.
TSortField ParseSortField(std::string_view Item);
// Every item of a list, empty items included; the empty text is a list of no fields.
std::vector<TSortField> ParseSortFields(std::string_view List);
// The item of a field: its name, with the mark when it descends.
std::string SortFieldText(const TSortField& Field);
// The list of the fields: the reverse of ParseSortFields.
std::string SortFieldsText(const std::vector<TSortField>& Fields);
// The fields with every direction turned round.
std::vector<TSortField> Reversed(std::vector<TSortField> Fields);

// The order an index keeps when read forward: its fields with their directions.
std::vector<TSortField> IndexSortFields(const TIndexDef& Index);
std::vector<TSortField> IndexSortFields(const TIndexInfo& Index);

// How an index gives rows in an order: not at all, read forward, or read backward.
enum TIndexReading { irNone, irForward, irBackward };
// How an index whose forward order is IndexFields gives rows in Order: its fields begin
// with the order's names (exactly), and the directions of those fields are all the order's
// (forward) or all the opposite (backward). The directions of the first FreeLeading fields
// do not count: rows that all hold one value in them (a master's key) come in the same
// order either way. An order with no direction that counts is read forward, and so is
// every index whose names fit an order without a descending field.
TIndexReading IndexReading(const std::vector<TSortField>& IndexFields,
                           const std::vector<TSortField>& Order, std::size_t FreeLeading = 0);
// Whether reading the index forward or backward gives rows in Order (FreeLeading as above).
bool IndexServesOrder(const TIndexDef& Index, const std::vector<TSortField>& Order,
                      std::size_t FreeLeading = 0);

} // namespace vorn
