#include "host/data/dataset/Query.h"

#include "host/data/drivers/DatabaseError.h"
#include "host/data/sql/SqlParser.h"
#include "host/data/sql/SqlWriter.h"

#include <algorithm>
#include <limits>
#include <map>

namespace vorn {

namespace {

// The cache holds this many pages of rows.
constexpr std::size_t CachePages = 4;

// Statement (Select as written for Backend) as the derived table that a filter restricts,
// keeping the order of its rows. MariaDB drops the ORDER BY of a derived table unless a
// LIMIT goes with it; the largest one it takes keeps every row.
std::string FilteredStatement(const TSqlSelect& Select, const std::string& Statement,
                              TSqlBackend Backend) {
    if (Backend != sbMariaDB || Select.OrderBy.empty() || !Select.Limit.empty() ||
        !Select.Offset.empty())
        return Statement;
    return Statement + " LIMIT 18446744073709551615";
}

} // namespace

const TClass& TQuery::StaticClass() {
    static const TClass Class = [] {
        TClass C("TQuery", &TBDEDataSet::StaticClass(), &CreateComponentOf<TQuery>);
        static const TTypeInfo StringsType{"TStrings", tkObject, {}, &TStrings::StaticClass()};
        C.AddProperty(MakeSubObjectProperty("SQL", StringsType, &TQuery::SQL));
        return C;
    }();
    return Class;
}

TQuery::TQuery(TComponent* AOwner) : TBDEDataSet(AOwner), FSQL(std::make_unique<TStringList>()) {
    FSQL->OnChange = [this](TObject*) { Close(); };
}

TQuery::~TQuery() {
    FSQL->OnChange = nullptr;
    DestroyDataSet();
}

std::string TQuery::StatementText() const {
    std::string Text = FSQL->Text();
    while (!Text.empty() &&
           (Text.back() == '\n' || Text.back() == '\r' || Text.back() == ' ' || Text.back() == ';'))
        Text.pop_back();
    return Text;
}

std::unique_ptr<TDriverCursor> TQuery::Execute() const {
    TBoundParams Params(Connection());
    for (const std::string& Value : FStatement.Parameters)
        Params.Add(TVariant(Value));
    const std::string Filter = FilterCondition(Connection(), Params);
    if (Filter.empty() && FDistinctWalk)
        return FDistinctWalk->Execute(Connection());
    if (Filter.empty())
        return Connection().Execute(FStatement.Text, Params.Values());
    return Connection().Execute("SELECT * FROM (" + FFilteredStatement +
                                    ") AS FilteredRows WHERE " + Filter,
                                Params.Values());
}

void TQuery::OpenCursor() {
    const std::string Statement = StatementText();
    if (Statement.empty())
        throw EDatabaseError(DisplayName() + ".Open: no SQL statement");
    AcquireConnection();
    std::unique_ptr<TSqlSelect> Select;
    TTranslatedSql Translated;
    try {
        Select = ParseSqlStatement(Statement);
        WriteSqlStatement(*Select, Connection().SqlBackend(), Translated);
    } catch (const EDatabaseError& Error) {
        throw EDatabaseError(DisplayName() + ".Open: " + Error.Message());
    }
    FStatement = std::move(Translated);
    FFilteredStatement = FilteredStatement(*Select, FStatement.Text, Connection().SqlBackend());
    FDistinctWalk = PlanDistinctWalk(*Select, FStatement.Text, Connection());
    FCursor = Execute();
    if (FCursor->FieldCount() == 0)
        throw EDatabaseError(DisplayName() + ".Open: the statement returns no rows");
    // Result columns may repeat a name ("SELECT a.x, b.x"); later ones get a suffix.
    std::map<std::string, int> Seen;
    for (int Index = 0; Index < FCursor->FieldCount(); ++Index) {
        const TColumnInfo& Column = FCursor->Column(Index);
        std::string Name = Column.Name;
        while (FindField(Name) != nullptr)
            Name = Column.Name + "_" + std::to_string(++Seen[Column.Name]);
        CreateDataField(Name, Column.DataType, Column.Size);
    }
    ForgetRowsRead();
    FCurrent = -1;
}

void TQuery::CloseCursor() {
    FCursor.reset();
    FStatement = {};
    FFilteredStatement.clear();
    FDistinctWalk.reset();
    ForgetRowsRead();
    FCurrent = -1;
    ReleaseConnection();
}

void TQuery::DiscardRows() {
    FCursor.reset();
    ForgetRowsRead();
    FCurrent = -1;
}

void TQuery::ForgetRowsRead() {
    FCursorExhausted = false;
    FCache.clear();
    FCacheStart = 0;
    FRowsRead = 0;
}

std::size_t TQuery::CacheLimit() const {
    return CachePages * static_cast<std::size_t>(PageSize());
}

bool TQuery::ReadPage(std::int64_t KeepFrom) {
    if (FCursorExhausted)
        return false;
    int Read = 0;
    for (; Read < PageSize(); ++Read) {
        if (!FCursor->Next()) {
            FCursorExhausted = true;
            break;
        }
        FCache.push_back(ReadRow(*FCursor));
        ++FRowsRead;
    }
    while (FCache.size() > CacheLimit() && FCacheStart < KeepFrom) {
        FCache.pop_front();
        ++FCacheStart;
    }
    return Read > 0;
}

void TQuery::Restart() {
    FCursor = Execute();
    ForgetRowsRead();
}

bool TQuery::Reach(std::int64_t Position) {
    if (Position < 0)
        return false;
    if (FCursor == nullptr || Position < FCacheStart)
        Restart();
    const std::int64_t KeepFrom = FCurrent >= 0 ? std::min(FCurrent, Position) : Position;
    while (Position >= FRowsRead && ReadPage(KeepFrom)) {
    }
    if (IsCached(Position))
        return true;
    if (FCurrent >= 0 && !IsCached(FCurrent))
        // Only when the result shrank under a second run: stay on the nearest row.
        FCurrent = FRowsRead > FCacheStart ? FRowsRead - 1 : -1;
    return false;
}

bool TQuery::IsCached(std::int64_t Position) const {
    return Position >= FCacheStart && Position < FRowsRead;
}

const TQuery::TRow& TQuery::CachedRow(std::int64_t Position) const {
    VORN_ASSERT(IsCached(Position));
    return FCache[static_cast<std::size_t>(Position - FCacheStart)];
}

TQuery::TRow TQuery::ReadRow(TDriverCursor& Cursor) {
    TRow Row;
    Row.reserve(static_cast<std::size_t>(Cursor.FieldCount()));
    for (int Column = 0; Column < Cursor.FieldCount(); ++Column)
        Row.push_back(Cursor.Value(Column));
    return Row;
}

std::vector<TQuery::TRow> TQuery::ReadAgain(std::int64_t From, std::int64_t To) const {
    auto Cursor = Execute();
    std::vector<TRow> Rows;
    for (std::int64_t Position = 0; Position < To && Cursor->Next(); ++Position)
        if (Position >= From)
            Rows.push_back(ReadRow(*Cursor));
    return Rows;
}

// Rows ahead come from the cursor into the cache, as a move would read them; rows behind
// that already left the cache are read by a second run of the statement.
std::vector<TDataSet::TNearbyRow> TQuery::RowsBeside(bool After, int Count) {
    std::vector<TNearbyRow> Rows;
    const auto Take = [&](std::int64_t Position, const TRow& Row) {
        Rows.push_back({Row, PositionBookmark(Position)});
    };
    if (After) {
        for (std::int64_t Position = FCurrent + 1;
             static_cast<int>(Rows.size()) < Count && Reach(Position); ++Position)
            Take(Position, CachedRow(Position));
        return Rows;
    }
    const std::int64_t First = std::max<std::int64_t>(0, FCurrent - Count);
    std::int64_t Position = FCurrent - 1;
    for (; Position >= First && Position >= FCacheStart; --Position)
        Take(Position, CachedRow(Position));
    if (Position < First)
        return Rows;
    const std::vector<TRow> Older = ReadAgain(First, Position + 1);
    if (static_cast<std::int64_t>(Older.size()) != Position + 1 - First)
        return Rows; // the result changed under the second run: its rows are not these
    for (auto Row = Older.rbegin(); Row != Older.rend(); ++Row, --Position)
        Take(Position, *Row);
    return Rows;
}

bool TQuery::MoveToFirst() {
    if (!Reach(0)) {
        FCurrent = -1;
        return false;
    }
    FCurrent = 0;
    return true;
}

bool TQuery::MoveToLast() {
    if (FCursor == nullptr)
        Restart();
    // Only the newest rows stay cached on the way to the end.
    while (ReadPage(std::numeric_limits<std::int64_t>::max())) {
    }
    FCurrent = FRowsRead - 1;
    return FCurrent >= 0;
}

bool TQuery::MoveToNext() {
    const std::int64_t Target = FCurrent + 1;
    if (FCurrent < 0 || !Reach(Target))
        return false;
    FCurrent = Target;
    return true;
}

bool TQuery::MoveToPrior() {
    const std::int64_t Target = FCurrent - 1;
    if (FCurrent <= 0 || !Reach(Target))
        return false;
    FCurrent = Target;
    return true;
}

bool TQuery::MoveToBookmark(const TBookmark& Bookmark) {
    if (Bookmark.Key.size() != 1 || Bookmark.Key.front().VarType() != varInteger)
        return false;
    const std::int64_t Position = Bookmark.Key.front().AsInteger();
    if (!Reach(Position))
        return false;
    FCurrent = Position;
    return true;
}

bool TQuery::RowMatches(const std::vector<TField*>& Fields, const TRow& Row,
                        const std::vector<TVariant>& Values, TLocateOptions Options) {
    for (std::size_t Index = 0; Index < Fields.size(); ++Index)
        if (!Matches(*Fields[Index], Row[static_cast<std::size_t>(Fields[Index]->Index())],
                     Values[Index], Options))
            return false;
    return true;
}

bool TQuery::MoveToMatch(const std::vector<TField*>& Fields, const std::vector<TVariant>& Values,
                         TLocateOptions Options) {
    // A query has no key to search by: its rows are read in their order, through a
    // second run of the statement, so that the current record stays if nothing matches.
    auto Cursor = Execute();
    for (std::int64_t Position = 0; Cursor->Next(); ++Position) {
        const TRow Row = ReadRow(*Cursor);
        if (!RowMatches(Fields, Row, Values, Options))
            continue;
        if (!Reach(Position))
            return false;
        FCurrent = Position;
        return true;
    }
    return false;
}

TVariant TQuery::FindValue(const std::vector<TField*>& Fields, const std::vector<TVariant>& Values,
                           TField& Result) {
    auto Cursor = Execute();
    while (Cursor->Next()) {
        const TRow Row = ReadRow(*Cursor);
        if (RowMatches(Fields, Row, Values, {}))
            return Row[static_cast<std::size_t>(Result.Index())];
    }
    return TVariant();
}

const TQuery::TRow& TQuery::CurrentRow() const {
    return CachedRow(FCurrent);
}

TBookmark TQuery::CurrentBookmark() const {
    return PositionBookmark(FCurrent);
}

TBookmark TQuery::PositionBookmark(std::int64_t Position) {
    return TBookmark{{TVariant(static_cast<std::int64_t>(Position))}};
}

} // namespace vorn
