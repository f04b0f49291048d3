#pragma once

#include "host/components/model/Component.h"
#include "host/components/model/Set.h"
#include "host/data/drivers/Driver.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vorn {

enum TIndexOption { ixPrimary, ixUnique, ixDescending, ixCaseInsensitive, ixExpression };
using TIndexOptions = TSet<TIndexOption>;

// One index of a table, as the database's catalog describes it.
class TIndexDef : public TObject {
public:
    TIndexDef(std::string Name, std::string Fields, TIndexOptions Options,
              std::string DescFields = {})
        : FName(std::move(Name)), FFields(std::move(Fields)), FOptions(Options),
          FDescFields(std::move(DescFields)) {}

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    const std::string& Name() const { return FName; }
    // The indexed fields joined by ";", most significant first.
    const std::string& Fields() const { return FFields; }
    // ixDescending when every field of the index descends.
    TIndexOptions Options() const { return FOptions; }
    // The fields that the index keeps descending, joined by ";" in index order; empty when
    // every field ascends.
    const std::string& DescFields() const { return FDescFields; }

private:
    std::string FName;
    std::string FFields;
    TIndexOptions FOptions;
    std::string FDescFields;
};

// The index definitions of a table: the primary key first, then the others by name.
class TIndexDefs : public TObject {
public:
    // Reader returns the table's indexes from the catalog (or raises EDatabaseError).
    explicit TIndexDefs(std::function<std::vector<TIndexInfo>()> Reader)
        : FReader(std::move(Reader)) {}

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    // Re-reads the definitions from the database's catalog; on error the old ones stay.
    void Update();
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError outside 0..Count-1.
    TIndexDef* Items(int Index) const;
    // The index with exactly this name, or nullptr.
    TIndexDef* Find(const std::string& Name) const;

    void Assign(const std::vector<TIndexInfo>& Indexes);

private:
    std::function<std::vector<TIndexInfo>()> FReader;
    std::vector<std::unique_ptr<TIndexDef>> FItems;
};

} // namespace vorn
