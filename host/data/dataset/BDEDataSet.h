#pragma once

#include "host/data/dataset/DataSet.h"
#include "host/data/dataset/Database.h"

#include <memory>
#include <string>
#include <vector>

namespace vorn {

// A dataset on a database named by an alias (DatabaseName): the common base of tables
// and queries. It reads its rows in pages of PageSize rows.
class TBDEDataSet : public TDataSet {
public:
    explicit TBDEDataSet(TComponent* AOwner);
    ~TBDEDataSet() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    const std::string& DatabaseName() const { return FDatabaseName; }
    // Only while closed.
    void SetDatabaseName(const std::string& Value);

    // The fields of the order in force, most significant first; none for a dataset
    // without a known order (a query), or while closed.
    virtual int IndexFieldCount() const { return 0; }
    // Raises EListError outside 0..IndexFieldCount-1.
    virtual TField* IndexFields(int Index) const;
    // Whether the order in force sorts the index field at Index descending; false outside
    // 0..IndexFieldCount-1.
    virtual bool IndexFieldDescending(int Index) const {
        (void)Index;
        return false;
    }

    // Rows read from the database at a time; at least 1.
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value);

    // The connection's: a closed dataset asks the database its alias names.
    bool IsSequenced() const override;

protected:
    using TDataSet::TRow;

    void AcquireConnection();
    void ReleaseConnection();
    bool HasConnection() const { return FLease != nullptr; }
    TDriverConnection& Connection() const;
    // Whether MatchCondition compares a field's values as text.
    static bool IsTextField(const TField& Field);
    // The condition that Field (written as ColumnSql) matches Value under Options.
    std::string MatchCondition(const std::string& ColumnSql, const TField& Field,
                               const TVariant& Value, TLocateOptions Options,
                               TBoundParams& Params) const;
    // Whether a row's value of a field matches a search value, as MatchCondition does.
    static bool Matches(const TField& Field, const TVariant& Stored, const TVariant& Value,
                        TLocateOptions Options);
    // A search value converted to the field's type, so that "5" finds the integer 5.
    TVariant KeyValueFor(const TField& Field, const TVariant& Value) const;

private:
    std::string FDatabaseName;
    int FPageSize = 50;
    std::unique_ptr<TConnectionLease> FLease;
};

} // namespace vorn
