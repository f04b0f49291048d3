#include "host/data/dataset/SortFields.h"

#include "host/components/text/AsciiText.h"
#include "host/data/dataset/IndexDefs.h"

#include <algorithm>

namespace vorn {

TSortField ParseSortField(std::string_view Item) {
    if (Item.size() > DescendingMark.size() && Item.ends_with(DescendingMark))
        return {std::string(Item.substr(0, Item.size() - DescendingMark.size())), true};
    return {std::string(Item), false};
}

std::vector<TSortField> ParseSortFields(std::string_view List) {
    std::vector<TSortField> Fields;
    for (const std::string& Item : SplitList(List, ';'))
        Fields.push_back(ParseSortField(Item));
    return Fields;
}

std::string SortFieldText(const TSortField& Field) {
    return Field.Descending ? Field.Name + std::string(DescendingMark) : Field.Name;
}

std::string SortFieldsText(const std::vector<TSortField>& Fields) {
    std::string Text;
    for (std::size_t Index = 0; Index < Fields.size(); ++Index)
        Text += (Index == 0 ? "" : ";") + SortFieldText(Fields[Index]);
    return Text;
}

std::vector<TSortField> Reversed(std::vector<TSortField> Fields) {
    for (TSortField& Field : Fields)
        Field.Descending = !Field.Descending;
    return Fields;
}

std::vector<TSortField> IndexSortFields(const TIndexDef& Index) {
    std::vector<TSortField> Fields;
    const std::vector<std::string> Descending = SplitList(Index.DescFields(), ';');
    for (const std::string& Name : SplitList(Index.Fields(), ';')) {
        bool Down = false;
        for (const std::string& Other : Descending)
            Down = Down || Other == Name;
        Fields.push_back({Name, Down});
    }
    return Fields;
}

std::vector<TSortField> IndexSortFields(const TIndexInfo& Index) {
    std::vector<TSortField> Fields;
    for (std::size_t Position = 0; Position < Index.Fields.size(); ++Position)
        Fields.push_back({Index.Fields[Position],
                          Position < Index.Descending.size() && Index.Descending[Position]});
    return Fields;
}

TIndexReading IndexReading(const std::vector<TSortField>& IndexFields,
                           const std::vector<TSortField>& Order, std::size_t FreeLeading) {
    if (Order.size() > IndexFields.size())
        return irNone;
    // An order without a descending field matches indexes by their names alone, as it did
    // before indexes told their directions: every index that begins with them serves it.
    const bool Directed = std::any_of(Order.begin(), Order.end(),
                                      [](const TSortField& Field) { return Field.Descending; });
    bool Forward = true;
    bool Backward = true;
    for (std::size_t Position = 0; Position < Order.size(); ++Position) {
        if (Order[Position].Name != IndexFields[Position].Name)
            return irNone;
        if (!Directed || Position < FreeLeading)
            continue;
        const bool Same = Order[Position].Descending == IndexFields[Position].Descending;
        Forward = Forward && Same;
        Backward = Backward && !Same;
    }
    if (Forward)
        return irForward;
    return Backward ? irBackward : irNone;
}

bool IndexServesOrder(const TIndexDef& Index, const std::vector<TSortField>& Order,
                      std::size_t FreeLeading) {
    return IndexReading(IndexSortFields(Index), Order, FreeLeading) != irNone;
}

} // namespace vorn
