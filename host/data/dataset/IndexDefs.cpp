#include "host/data/dataset/IndexDefs.h"

#include <algorithm>

namespace vorn {

const TClass& TIndexDef::StaticClass() {
    static const TClass Class("TIndexDef", &TObject::StaticClass());
    return Class;
}

const TClass& TIndexDefs::StaticClass() {
    static const TClass Class("TIndexDefs", &TObject::StaticClass());
    return Class;
}

void TIndexDefs::Update() {
    Assign(FReader());
}

void TIndexDefs::Assign(const std::vector<TIndexInfo>& Indexes) {
    std::vector<std::unique_ptr<TIndexDef>> Items;
    for (const TIndexInfo& Index : Indexes) {
        std::string Fields;
        std::string DescFields;
        for (std::size_t Position = 0; Position < Index.Fields.size(); ++Position) {
            const std::string& Field = Index.Fields[Position];
            Fields += (Position == 0 ? "" : ";") + Field;
            if (Position < Index.Descending.size() && Index.Descending[Position])
                DescFields += (DescFields.empty() ? "" : ";") + Field;
        }
        TIndexOptions Options;
        if (Index.Primary)
            Options.Include(ixPrimary);
        if (Index.Unique || Index.Primary)
            Options.Include(ixUnique);
        if (!Index.Fields.empty() && Index.Descending.size() == Index.Fields.size() &&
            std::all_of(Index.Descending.begin(), Index.Descending.end(),
                        [](bool Descends) { return Descends; }))
            Options.Include(ixDescending);
        Items.push_back(std::make_unique<TIndexDef>(Index.Name, Fields, Options, DescFields));
    }
    FItems = std::move(Items);
}

TIndexDef* TIndexDefs::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError("TIndexDefs.Items: List index out of bounds (" + std::to_string(Index) +
                         ")");
    return FItems[static_cast<std::size_t>(Index)].get();
}

TIndexDef* TIndexDefs::Find(const std::string& Name) const {
    for (const auto& Item : FItems)
        if (Item->Name() == Name)
            return Item.get();
    return nullptr;
}

} // namespace vorn
