#include "Source/DBFilterGrid.h"
#include "Source/VornDataResources.h"
#include "host/data/dataset/DataSource.h"
#include "host/data/dataset/Field.h"
#include "host/data/dataset/Query.h"
#include "host/data/dataset/Table.h"
#include "host/data/drivers/SqliteFunctions.h"
#include "host/data/drivers/mariadb/MariaDbConnInfo.h"
#include "host/data/drivers/mariadb/MariaDbSession.h"
#include "tests/Source/TestTables.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <mysql.h>
#include <sqlite3.h>

#include <array>
#include <charconv>
#include <memory>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

namespace vorn::test {
namespace {

using testtables::TTestBackend;
using testtables::TTestDatabase;
using TRow = std::array<std::string, 4>; // field | operator | value | connector
using TIds = std::vector<std::int64_t>;

// Things: a text, an integer, a float and a date field, with values that a careless
// composer or binder would mistake for quotes, escapes or wildcards.
const char* const CreateThings = R"(CREATE TABLE "Things" ("Id" INTEGER PRIMARY KEY,
    "Name" VARCHAR(40), "Qty" INTEGER, "Price" DOUBLE PRECISION, "Born" DATE, "Active" BOOLEAN))";
const char* const InsertThings = R"(INSERT INTO "Things" VALUES
    (1, 'O''Brien', 5, 1.5, '2020-01-02', TRUE),
    (2, 'back\slash', -3, -2.25, '2021-06-30', FALSE),
    (3, '50% off', 0, 0.1, '2019-12-31', TRUE),
    (4, 'a_b', 10, 10, '2022-02-02', NULL),
    (5, 'star*x', -10, 99.5, '2020-01-02', FALSE),
    (6, 'what?', 7, 1.5, NULL, TRUE),
    (7, 'a b', 3, 3, '2023-03-03', FALSE),
    (8, 'Zoë Ünïcode ß', 12, 12.75, '2024-04-04', TRUE),
    (9, 'axb', 1, 1, '2018-08-08', FALSE),
    (10, 'whatx', 2, 2, '2017-07-07', TRUE))";

struct TCase {
    const char* Name;
    TFilterKind Kind;
    std::vector<TRow> Rows;
    TIds Expected;
    std::vector<TVarType> Types; // of the bound values, in order
    bool CaseSensitive = false;
};

std::string TextOf(const TVariant& Value) {
    if (Value.VarType() == varFloat) {
        std::array<char, 64> Buffer{};
        const double Number = Value.AsFloat();
        const auto Written = std::to_chars(Buffer.data(), Buffer.data() + Buffer.size(), Number);
        return std::string(Buffer.data(), Written.ptr);
    }
    if (Value.VarType() == varBoolean)
        return Value.AsBoolean() ? "true" : "false";
    return Value.AsString();
}

// The condition run on a connection that the test opens itself with SQLite's C API, each
// value bound by its type.
TIds SqliteIds(const std::string& Path, const TParameterizedFilter& Filter) {
    sqlite3* Database = nullptr;
    EXPECT_EQ(sqlite3_open_v2(Path.c_str(), &Database, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> Guard(Database, sqlite3_close_v2);
    PrepareSqliteConnection(Database);
    const std::string Sql =
        "SELECT \"Id\" FROM \"Things\" WHERE " + Filter.Condition + " ORDER BY \"Id\"";
    sqlite3_stmt* Statement = nullptr;
    if (sqlite3_prepare_v2(Database, Sql.c_str(), -1, &Statement, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(Database) << " in " << Sql;
        return {};
    }
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> StatementGuard(Statement,
                                                                         sqlite3_finalize);
    for (std::size_t Index = 0; Index < Filter.Values.size(); ++Index) {
        const TVariant& Value = Filter.Values[Index];
        const int Number = static_cast<int>(Index) + 1;
        switch (Value.VarType()) {
        case varInteger:
            sqlite3_bind_int64(Statement, Number, Value.AsInteger());
            break;
        case varFloat:
            sqlite3_bind_double(Statement, Number, Value.AsFloat());
            break;
        case varBoolean:
            sqlite3_bind_int64(Statement, Number, Value.AsBoolean() ? 1 : 0);
            break;
        default: {
            const std::string Text = Value.AsString();
            sqlite3_bind_text(Statement, Number, Text.data(), static_cast<int>(Text.size()),
                              SQLITE_TRANSIENT);
        }
        }
    }
    TIds Ids;
    int Step = SQLITE_ROW;
    while ((Step = sqlite3_step(Statement)) == SQLITE_ROW)
        Ids.push_back(sqlite3_column_int64(Statement, 0));
    EXPECT_EQ(Step, SQLITE_DONE) << sqlite3_errmsg(Database);
    return Ids;
}

// The condition run through libpq's PQexecParams with typed parameters; text goes untyped,
// so that the server reads it as the type of what it meets (a date, a text).
TIds PostgresIds(const std::string& ConnInfo, const TParameterizedFilter& Filter) {
    std::unique_ptr<PGconn, void (*)(PGconn*)> Connection(PQconnectdb(ConnInfo.c_str()), PQfinish);
    EXPECT_EQ(PQstatus(Connection.get()), CONNECTION_OK) << PQerrorMessage(Connection.get());
    std::vector<Oid> Types;
    std::vector<std::string> Texts;
    for (const TVariant& Value : Filter.Values) {
        const TVarType Type = Value.VarType();
        Types.push_back(Type == varInteger   ? 20
                        : Type == varFloat   ? 701
                        : Type == varBoolean ? 16
                                             : 0);
        Texts.push_back(TextOf(Value));
    }
    std::vector<const char*> Pointers;
    for (const std::string& Text : Texts)
        Pointers.push_back(Text.c_str());
    const std::string Sql =
        "SELECT \"Id\" FROM \"Things\" WHERE " + Filter.Condition + " ORDER BY \"Id\"";
    std::unique_ptr<PGresult, void (*)(PGresult*)> Result(
        PQexecParams(Connection.get(), Sql.c_str(), static_cast<int>(Texts.size()), Types.data(),
                     Pointers.data(), nullptr, nullptr, 0),
        PQclear);
    if (PQresultStatus(Result.get()) != PGRES_TUPLES_OK) {
        ADD_FAILURE() << PQresultErrorMessage(Result.get()) << " in " << Sql;
        return {};
    }
    TIds Ids;
    for (int Row = 0; Row < PQntuples(Result.get()); ++Row)
        Ids.push_back(std::stoll(PQgetvalue(Result.get(), Row, 0)));
    return Ids;
}

// The condition run through MariaDB's prepared statements with typed parameters. The C API
// takes positional placeholders: each numbered one becomes "?" and takes its value.
TIds MariaDbIds(const std::string& ConnInfo, const TParameterizedFilter& Filter) {
    // The driver's session connects as the connection string says (socket or host and
    // port, user, password), in utf8mb4; the statement itself runs on the bare client.
    const TMariaDbConnInfo Info = ParseMariaDbConnInfo(ConnInfo);
    const std::string Description = Info.Describe();
    TMariaDbSession Session(Info, Description);
    Session.Connect();
    MYSQL* const Connection = Session.Handle();
    const std::string Sql =
        "SELECT `Id` FROM `Things` WHERE " + Filter.Condition + " ORDER BY `Id`";
    static const std::regex Numbered(R"(\?([0-9]+))");
    std::string Positional;
    std::vector<std::size_t> Order;
    auto Rest = Sql.cbegin();
    for (std::sregex_iterator Match(Sql.begin(), Sql.end(), Numbered), End; Match != End; ++Match) {
        Positional.append(Rest, (*Match)[0].first);
        Positional += '?';
        Order.push_back(std::stoul((*Match)[1].str()) - 1);
        Rest = (*Match)[0].second;
    }
    Positional.append(Rest, Sql.cend());
    const auto Close = [](MYSQL_STMT* Statement) { mysql_stmt_close(Statement); };
    std::unique_ptr<MYSQL_STMT, decltype(Close)> Statement(mysql_stmt_init(Connection), Close);
    if (!Statement) {
        ADD_FAILURE() << mysql_error(Connection);
        return {};
    }
    if (mysql_stmt_prepare(Statement.get(), Positional.data(), Positional.size()) != 0) {
        ADD_FAILURE() << mysql_stmt_error(Statement.get()) << " in " << Positional;
        return {};
    }
    std::vector<MYSQL_BIND> Binds(Order.size());
    std::vector<long long> Integers(Order.size());
    std::vector<double> Floats(Order.size());
    std::vector<std::string> Texts(Order.size());
    std::vector<unsigned long> Lengths(Order.size());
    for (std::size_t Index = 0; Index < Order.size(); ++Index) {
        if (Order[Index] >= Filter.Values.size()) {
            ADD_FAILURE() << "no value for placeholder " << Order[Index] + 1 << " in " << Sql;
            return {};
        }
        const TVariant& Value = Filter.Values[Order[Index]];
        MYSQL_BIND& Bind = Binds[Index];
        switch (Value.VarType()) {
        case varInteger:
        case varBoolean:
            Integers[Index] = Value.VarType() == varBoolean ? Value.AsBoolean() : Value.AsInteger();
            Bind.buffer_type = MYSQL_TYPE_LONGLONG;
            Bind.buffer = &Integers[Index];
            break;
        case varFloat:
            Floats[Index] = Value.AsFloat();
            Bind.buffer_type = MYSQL_TYPE_DOUBLE;
            Bind.buffer = &Floats[Index];
            break;
        default:
            Texts[Index] = Value.AsString();
            Lengths[Index] = Texts[Index].size();
            Bind.buffer_type = MYSQL_TYPE_STRING;
            Bind.buffer = Texts[Index].data();
            Bind.buffer_length = Lengths[Index];
            Bind.length = &Lengths[Index];
        }
    }
    long long Id = 0;
    MYSQL_BIND Result{};
    Result.buffer_type = MYSQL_TYPE_LONGLONG;
    Result.buffer = &Id;
    if (mysql_stmt_bind_param(Statement.get(), Binds.data()) != 0 ||
        mysql_stmt_execute(Statement.get()) != 0 ||
        mysql_stmt_bind_result(Statement.get(), &Result) != 0) {
        ADD_FAILURE() << mysql_stmt_error(Statement.get()) << " in " << Positional;
        return {};
    }
    TIds Ids;
    int Fetched = 0;
    while ((Fetched = mysql_stmt_fetch(Statement.get())) == 0)
        Ids.push_back(Id);
    EXPECT_EQ(Fetched, MYSQL_NO_DATA) << mysql_stmt_error(Statement.get()) << " in " << Positional;
    return Ids;
}

TIds DataSetIds(TDataSet& DataSet) {
    TIds Ids;
    for (DataSet.First(); !DataSet.Eof(); DataSet.Next())
        Ids.push_back(DataSet.FieldByName("Id")->AsInteger());
    return Ids;
}

// A filter grid over Things in a database that holds it (which outlives the grid).
class TThingsGrid {
public:
    explicit TThingsGrid(const TTestDatabase& Database)
        : Database(Database), FBackend(Database.Backend()) {
        RegisterVornDataResources();
        Table = testtables::CreateTable(*Form, Database, "Things", "Id");
        auto* Source = new TDataSource(Form.get());
        Source->SetDataSet(Table);
        Grid = new TDBFilterGrid(Form.get());
        Grid->SetDataSource(Source);
    }
    TThingsGrid(const TThingsGrid&) = delete;
    TThingsGrid& operator=(const TThingsGrid&) = delete;
    // The components go before the database they read.
    ~TThingsGrid() { Form.reset(); }

    TSqlBackend SqlBackend() const {
        switch (FBackend) {
        case testtables::tbSQLite:
            return sbSQLite;
        case testtables::tbMariaDB:
            return sbMariaDB;
        default:
            return sbPostgreSQL;
        }
    }

    void SetRows(const std::vector<TRow>& Rows) {
        Grid->SetRowCount(Grid->FixedRows() + static_cast<int>(Rows.size()));
        for (std::size_t Index = 0; Index < Rows.size(); ++Index)
            for (int Column = fciLeftArg; Column <= fciBoolOperator; ++Column)
                Grid->SetCells(Grid->FilterColumn(static_cast<TFilterColumnIndex>(Column)),
                               Grid->FixedRows() + static_cast<int>(Index),
                               Rows[Index][static_cast<std::size_t>(Column)]);
    }

    std::vector<std::string> Cells() const {
        std::vector<std::string> Result;
        for (int Row = Grid->FixedRows(); Row < Grid->RowCount(); ++Row)
            for (int Column = 0; Column < Grid->ColCount(); ++Column)
                Result.push_back(Grid->Cells(Column, Row));
        return Result;
    }

    // The rows that the expression selects as text: a query's WHERE clause, or the table's
    // own filter.
    TIds TextFormIds(TFilterKind Kind, const std::string& Expression) {
        if (Kind == fkSimple) {
            Table->SetFilter(Expression);
            Table->SetFiltered(true);
            TIds Ids = DataSetIds(*Table);
            Table->SetFiltered(false);
            return Ids;
        }
        TQuery* Query = testtables::OpenQuery(*Form, Database,
                                              "SELECT \"Id\" FROM \"Things\" WHERE " + Expression +
                                                  " ORDER BY \"Id\"");
        return DataSetIds(*Query);
    }

    TIds NativeIds(const TParameterizedFilter& Filter) const {
        if (FBackend == testtables::tbSQLite)
            return SqliteIds(Database.Path(), Filter);
        if (FBackend == testtables::tbMariaDB)
            return MariaDbIds(Database.ConnInfo(), Filter);
        return PostgresIds(Database.ConnInfo(), Filter);
    }

    const TTestDatabase& Database;
    std::unique_ptr<TComponent> Form = std::make_unique<TComponent>(nullptr);
    TTable* Table = nullptr;
    TDBFilterGrid* Grid = nullptr;

private:
    TTestBackend FBackend;
};

// A test that runs each case of a table on each backend. The tests only read Things, so
// the cases of a suite share one database per backend.
template <typename TTableCase>
class ThingsGridTest : public ::testing::TestWithParam<std::tuple<TTestBackend, TTableCase>> {
protected:
    static void TearDownTestSuite() {
        for (auto& Database : Databases)
            Database.reset();
    }

    static const TTestDatabase& ThingsDatabase(TTestBackend Backend) {
        auto& Database = Databases[static_cast<std::size_t>(Backend)];
        if (!Database) {
            Database = std::make_unique<TTestDatabase>(Backend);
            Database->Execute(CreateThings);
            Database->Execute(InsertThings);
        }
        return *Database;
    }

    const TTableCase& Case() const { return std::get<1>(this->GetParam()); }

    static inline std::array<std::unique_ptr<TTestDatabase>, testtables::BackendCount> Databases;
    TThingsGrid Things{ThingsDatabase(std::get<0>(this->GetParam()))};
};

template <typename TTableCase, std::size_t Count>
auto OnReadingBackends(const TTableCase (&Cases)[Count]) {
    return ::testing::Combine(::testing::ValuesIn(testtables::ReadingBackends()),
                              ::testing::ValuesIn(Cases));
}

template <typename TTableCase>
std::string
BackendCaseName(const ::testing::TestParamInfo<std::tuple<TTestBackend, TTableCase>>& Info) {
    return std::string(testtables::BackendName(std::get<0>(Info.param))) + "_" +
           std::get<1>(Info.param).Name;
}

using FilterGridParametersTest = ThingsGridTest<TCase>;

TEST_P(FilterGridParametersTest, BoundConditionSelectsWhatTheTextSelects) {
    const TCase& Case = this->Case();
    Things.Grid->SetFilterKind(Case.Kind);
    if (Case.CaseSensitive)
        Things.Grid->SetFilterGridOptions(Things.Grid->FilterGridOptions() +
                                          TFilterGridOptions{fgoCaseSensitive});
    Things.SetRows(Case.Rows);
    const TParameterizedFilter Filter = Things.Grid->GetParameterizedFilter(Things.SqlBackend());
    const std::string Expression = Things.Grid->GetFilterExpression();
    SCOPED_TRACE(Expression + " -> " + Filter.Condition);
    std::vector<TVarType> Types;
    for (const TVariant& Value : Filter.Values)
        Types.push_back(Value.VarType());
    EXPECT_EQ(Types, Case.Types);
    EXPECT_EQ(Things.TextFormIds(Case.Kind, Expression), Case.Expected);
    EXPECT_EQ(Things.NativeIds(Filter), Case.Expected);
}

using V = std::vector<TVarType>;
const TCase Cases[] = {
    {"Quote", fkSQL, {{"Name", "=", "O'Brien", ""}}, {1}, V{varString}},
    {"Backslash", fkSQL, {{"Name", "=", "back\\\\slash", ""}}, {2}, V{varString}},
    {"PercentIsLiteral", fkSQL, {{"Name", "LIKE", "50%*", ""}}, {3}, V{varString}},
    {"UnderscoreIsLiteral", fkSQL, {{"Name", "=", "a_b", ""}}, {4}, V{varString}},
    {"StarIsAWildcard", fkSQL, {{"Name", "=", "st*x", ""}}, {5}, V{varString}},
    {"QuestionMarkIsAWildcard", fkSQL, {{"Name", "=", "what?", ""}}, {6, 10}, V{varString}},
    {"EscapedQuestionMark", fkSQL, {{"Name", "=", "what\\?", ""}}, {6}, V{varString}},
    {"BlankInside", fkSQL, {{"Name", "=", "  a b  ", ""}}, {7}, V{varString}},
    {"NonAscii", fkSQL, {{"Name", "CONTAINING", "ünï", ""}}, {8}, V{varString}},
    {"NegativeBounds",
     fkSQL,
     {{"Qty", ">", "-4", "AND"}, {"Qty", "<", "4", ""}},
     {2, 3, 7, 9, 10},
     V{varInteger, varInteger}},
    {"IntegerOrFloat",
     fkSQL,
     {{"Qty", "=", "-10", "OR"}, {"Price", ">=", "10", ""}},
     {4, 5, 8},
     V{varInteger, varFloat}},
    {"FractionOnAnIntegerField", fkSQL, {{"Qty", "<", "2.5", ""}}, {2, 3, 5, 9, 10}, V{varFloat}},
    {"ExponentOnAnIntegerField",
     fkSQL,
     {{"Qty", "<", "1e1", ""}},
     {1, 2, 3, 5, 6, 7, 9, 10},
     V{varInteger}},
    {"FloatFraction", fkSQL, {{"Price", "=", "0.1", ""}}, {3}, V{varFloat}},
    {"NegativeFloat", fkSQL, {{"Price", "<", "-2", ""}}, {2}, V{varFloat}},
    {"Date", fkSQL, {{"Born", "=", "2020-01-02", ""}}, {1, 5}, V{varString}},
    {"DateRange",
     fkSQL,
     {{"Born", ">", "2021-01-01", "AND"}, {"Born", "<=", "2023-03-03", ""}},
     {2, 4, 7},
     V{varString, varString}},
    // Case-sensitive: the fields are compared as they are, a date with a date.
    {"ExactDate", fkSQL, {{"Born", "=", "2020-01-02", ""}}, {1, 5}, V{varString}, true},
    {"ExactDateRange",
     fkSQL,
     {{"Born", ">=", "2021-06-30", "AND"}, {"Born", "<", "2023-03-03", ""}},
     {2, 4},
     V{varString, varString},
     true},
    {"CaseSensitivePrefix",
     fkSQL,
     {{"Name", "STARTING WITH", "o'B", "OR"}, {"Name", "LIKE", "*\\\\S*", ""}},
     {},
     V{varString, varString},
     true},
    {"CaseSensitiveMatch",
     fkSQL,
     {{"Name", "STARTING WITH", "O'B", "OR"}, {"Name", "LIKE", "*\\\\s*", ""}},
     {1, 2},
     V{varString, varString},
     true},
    {"Boolean",
     fkSQL,
     {{"Active", "=", "true", "AND"}, {"Qty", ">", "3", ""}},
     {1, 6, 8},
     V{varBoolean, varInteger}},
    {"SimpleExactDate", fkSimple, {{"Born", "<", "2019-01-01", ""}}, {9, 10}, V{varString}, true},
    {"SimpleBoolean", fkSimple, {{"Active", "<>", "FALSE", ""}}, {1, 3, 6, 8, 10}, V{varBoolean}},
    {"Null", fkSQL, {{"Born", "IS NULL", "", ""}}, {6}, V{}},
    {"SimpleQuote", fkSimple, {{"Name", "STARTING WITH", "O'B", ""}}, {1}, V{varString}},
    {"SimpleWildcardsAreText",
     fkSimple,
     {{"Name", "=", "what?", "OR"}, {"Name", "=", "50% off", ""}},
     {3, 6},
     V{varString, varString}},
    {"SimpleNumbers",
     fkSimple,
     {{"Qty", "<=", "-3", "OR"}, {"Price", ">", "12.5", ""}},
     {2, 5, 8},
     V{varInteger, varFloat}},
    {"SimpleNonAscii", fkSimple, {{"Name", "CONTAINING", "ÜNÏ", ""}}, {8}, V{varString}},
};

INSTANTIATE_TEST_SUITE_P(FilterGrid, FilterGridParametersTest, OnReadingBackends(Cases),
                         BackendCaseName<TCase>);

struct TRefusal {
    const char* Name;
    std::vector<TRow> Rows;
    std::string Message; // the start of the message
    bool CellsKept;      // refused before the expression's corrections
    // Text left in the in-cell editor over the last row's value cell, not yet committed.
    std::string Editing = {};
};

using FilterGridParametersRefusalTest = ThingsGridTest<TRefusal>;

TEST_P(FilterGridParametersRefusalTest, HostileInputIsRefusedWithItsReason) {
    const TRefusal& Case = this->Case();
    Things.SetRows(Case.Rows);
    if (!Case.Editing.empty()) {
        TDBFilterGridComboBox& Editor = *Things.Grid->InCellEditor();
        ASSERT_TRUE(Editor.ShowPositioned(
            {Things.Grid->FilterColumn(fciRightArg), Things.Grid->RowCount() - 1}));
        Editor.SetText(Case.Editing);
    }
    const std::vector<std::string> Before = Things.Cells();
    try {
        Things.Grid->GetParameterizedFilter(Things.SqlBackend());
        ADD_FAILURE() << "no exception";
    } catch (const Exception& Error) {
        EXPECT_EQ(Error.Message().substr(0, Case.Message.size()), Case.Message);
    }
    if (Case.CellsKept) {
        EXPECT_EQ(Things.Cells(), Before);
    }
}

std::string Repeated(const std::string& Text, int Count) {
    std::string Result;
    for (int Index = 0; Index < Count; ++Index)
        Result += Text;
    return Result;
}

const std::string Nul("a\0b", 3);
const TRefusal Refusals[] = {
    {"NulInText",
     {{"Name", "like", "a*", "or"}, {"Name", "=", Nul, ""}},
     "TDBFilterGrid.GetParameterizedFilter() The value in row 2 holds a NUL character.",
     true},
    {"NulInNumber",
     {{"Qty", "=",
       std::string("1\0"
                   "2",
                   3),
       ""}},
     "TDBFilterGrid.GetParameterizedFilter() The value in row 1 holds a NUL character.",
     true},
    {"NulInEditor",
     {{"Name", "=", "a", ""}},
     "TDBFilterGrid.GetParameterizedFilter() The value in row 1 holds a NUL character.",
     false,
     Nul},
    {"NulInUnusedRow",
     {{"Qty", "=", "1", ""}, {"", "", Nul, ""}},
     "TDBFilterGrid.GetParameterizedFilter() The value in row 2 holds a NUL character.",
     true},
    {"OverlongPattern",
     {{"Name", "LIKE", Repeated("x*", 25001), ""}},
     "LIKE pattern of 50002 bytes is longer than the 50000 bytes allowed",
     false},
};

INSTANTIATE_TEST_SUITE_P(FilterGrid, FilterGridParametersRefusalTest, OnReadingBackends(Refusals),
                         BackendCaseName<TRefusal>);

} // namespace
} // namespace vorn::test
