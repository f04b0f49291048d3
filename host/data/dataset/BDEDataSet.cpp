#include "host/data/dataset/BDEDataSet.h"

#include "host/components/text/CaseMapping.h"
#include "host/components/text/CodePage.h"
#include "host/data/drivers/DatabaseError.h"
#include "host/data/sql/SqlUpperCase.h"

namespace vorn {

namespace {

// A LIKE pattern (escape character "\") matching every text that begins with Prefix.
std::string PrefixPattern(const std::string& Prefix) {
    std::string Pattern;
    for (char C : Prefix) {
        if (C == '%' || C == '_' || C == '\\')
            Pattern += '\\';
        Pattern += C;
    }
    return Pattern + "%";
}

} // namespace

const TClass& TBDEDataSet::StaticClass() {
    static const TClass Class = [] {
        TClass C("TBDEDataSet", &TDataSet::StaticClass());
        C.AddProperty(MakeProperty("DatabaseName", StringTypeInfo(), &TBDEDataSet::DatabaseName,
                                   &TBDEDataSet::SetDatabaseName));
        return C;
    }();
    return Class;
}

TBDEDataSet::TBDEDataSet(TComponent* AOwner) : TDataSet(AOwner) {}

TBDEDataSet::~TBDEDataSet() = default;

void TBDEDataSet::SetDatabaseName(const std::string& Value) {
    if (Value == FDatabaseName)
        return;
    CheckInactive("SetDatabaseName");
    FDatabaseName = Value;
}

bool TBDEDataSet::IsTextField(const TField& Field) {
    const TFieldType Type = Field.DataType();
    return Type == ftString || Type == ftFixedChar || Type == ftWideString || Type == ftMemo;
}

TField* TBDEDataSet::IndexFields(int Index) const {
    throw EListError(DisplayName() + ".IndexFields: List index out of bounds (" +
                     std::to_string(Index) + ")");
}

void TBDEDataSet::SetPageSize(int Value) {
    if (Value < 1)
        throw EDatabaseError(DisplayName() + ".SetPageSize: a page holds at least one row, not " +
                             std::to_string(Value));
    FPageSize = Value;
}

bool TBDEDataSet::IsSequenced() const {
    if (FLease != nullptr)
        return FLease->Connection().IsSequenced();
    if (FDatabaseName.empty())
        throw EDatabaseError(DisplayName() + ".IsSequenced: no DatabaseName");
    const TConnectionLease Lease(FDatabaseName);
    return Lease.Connection().IsSequenced();
}

void TBDEDataSet::AcquireConnection() {
    if (FLease != nullptr)
        return;
    if (FDatabaseName.empty())
        throw EDatabaseError(DisplayName() + ".Open: no DatabaseName");
    FLease = std::make_unique<TConnectionLease>(FDatabaseName);
}

void TBDEDataSet::ReleaseConnection() {
    FLease.reset();
}

TDriverConnection& TBDEDataSet::Connection() const {
    VORN_ASSERT(FLease != nullptr);
    return FLease->Connection();
}

TVariant TBDEDataSet::KeyValueFor(const TField& Field, const TVariant& Value) const {
    if (Value.IsNull())
        return Value;
    try {
        switch (Field.DataType()) {
        case ftSmallint:
        case ftInteger:
        case ftWord:
        case ftAutoInc:
        case ftLargeint:
            return TVariant(Value.AsInteger());
        case ftFloat:
        case ftCurrency:
        case ftBCD:
            return TVariant(Value.AsFloat());
        case ftBoolean:
            return TVariant(Value.AsBoolean());
        default:
            return TVariant(Value.AsString());
        }
    } catch (const EConvertError& Error) {
        throw EConvertError(DisplayName() + ": Field '" + Field.FieldName() +
                            "': " + Error.Message());
    }
}

std::string TBDEDataSet::MatchCondition(const std::string& ColumnSql, const TField& Field,
                                        const TVariant& Value, TLocateOptions Options,
                                        TBoundParams& Params) const {
    if (Value.IsNull())
        return ColumnSql + " IS NULL";
    const bool Text = IsTextField(Field);
    const bool CaseInsensitive = Options.Contains(loCaseInsensitive);
    const TSqlBackend Backend = Connection().SqlBackend();
    // Under a single-byte code page the own UPPER of SQLite and PostgreSQL folds a to z, as
    // it always did; MariaDB's would fold every letter.
    const auto Upper = [&](const std::string& Sql) {
        return HostCodePage() == cpUtf8 || Backend == sbMariaDB ? SqlUpperCaseOf(Backend, Sql)
                                                                : "UPPER(" + Sql + ")";
    };
    if (Options.Contains(loPartialKey)) {
        const std::string Subject = Text ? ColumnSql : SqlTextOf(Backend, ColumnSql);
        const std::string Key = Value.AsString();
        std::string PrefixLike = PrefixPattern(Key);
        // Where the database refuses a LIKE pattern this long, the subject's first
        // characters, as many as the key has, are compared with the key instead.
        if (Connection().RefusesLikePattern(PrefixLike)) {
            const std::string Placeholder = Params.Add(Key);
            const std::string Head = "substr(" + Subject + ", 1, length(" + Placeholder + "))";
            if (CaseInsensitive)
                return Upper(Head) + " = " + Upper(Placeholder);
            return Head + " = " + Placeholder;
        }
        const std::string Pattern = Params.Add(std::move(PrefixLike));
        if (CaseInsensitive)
            return Upper(Subject) + " LIKE " + Upper(Pattern) + SqlLikeEscapeClause(Backend);
        return Subject + " LIKE " + Pattern + SqlLikeEscapeClause(Backend);
    }
    if (Text && CaseInsensitive)
        return Upper(ColumnSql) + " = " + Upper(Params.Add(Value.AsString()));
    return ColumnSql + " = " + Params.Add(KeyValueFor(Field, Value));
}

bool TBDEDataSet::Matches(const TField& Field, const TVariant& Stored, const TVariant& Value,
                          TLocateOptions Options) {
    if (Value.IsNull() || Stored.IsNull())
        return Value.IsNull() && Stored.IsNull();
    const bool Text = IsTextField(Field) || Stored.VarType() == varString;
    if (!Text && !Options.Contains(loPartialKey))
        return Stored == Value || Stored.AsString() == Value.AsString();
    std::string Have = Stored.AsString();
    std::string Want = Value.AsString();
    if (Options.Contains(loCaseInsensitive)) {
        Have = UpperCaseText(Have);
        Want = UpperCaseText(Want);
    }
    if (Options.Contains(loPartialKey))
        return Have.compare(0, Want.size(), Want) == 0;
    return Have == Want;
}

} // namespace vorn
