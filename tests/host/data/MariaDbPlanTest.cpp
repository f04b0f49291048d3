#include "MariaDbTestDatabase.h"
#include "RecordingConnection.h"

#include "apps/samplegen/SampleDatabase.h"
#include "host/components/text/AsciiText.h"
#include "host/data/dataset/Database.h"
#include "host/data/dataset/Query.h"
#include "host/data/dataset/Table.h"

#include <gtest/gtest.h>

#include <functional>
#include <regex>

using namespace vorn;
using vorn::test::MariaDbTestConnInfo;
using vorn::test::TRecordedStatement;
using vorn::test::TRecordingConnection;

namespace {

const char* const Alias = "vorn_mariadb_plans";
constexpr int PageSize = 40;

// The access types that read a part of an index rather than every row.
bool SearchesAnIndex(const std::string& Type) {
    return Type == "range" || Type == "ref" || Type == "eq_ref" || Type == "const" ||
           Type == "system";
}

// What the server says when it answers without reading the table (a MIN over an index, a
// condition that no row can meet, or a SELECT of a parameter alone).
bool ReadsNoRows(const std::string& Type, const std::string& Extra) {
    return Type.empty() && (Extra.find("optimized away") != std::string::npos ||
                            Extra.find("Impossible WHERE") != std::string::npos ||
                            Extra.find("No tables used") != std::string::npos ||
                            Extra.find("No matching") != std::string::npos);
}

// 100,000 customers of the sample database: every statement a table or a value list sends
// while a user works through them is planned by the server as a search of an index, and
// no page of rows is sorted for the read.
class MariaDbPlanTest : public vorn::test::MariaDbTest {
protected:
    static void SetUpTestSuite() {
        if (vorn::test::MariaDbServerConnInfo().empty())
            return; // SetUp fails the test
        sampledata::TSampleOptions Options;
        Options.Customers = 100000;
        Options.MaxOrdersPerCustomer = 0;
        sampledata::CreateMariaDbSampleDatabase(MariaDbTestConnInfo(), Options, true);
    }

    // The program's database is shared with its other suites.
    static void TearDownTestSuite() {
        if (vorn::test::MariaDbServerConnInfo().empty())
            return;
        std::string Names;
        for (const sampledata::TSampleTable& Table : sampledata::SampleSchema())
            Names += (Names.empty() ? "`" : ", `") + Table.Name + "`";
        TMariaDbConnection(MariaDbTestConnInfo())
            .ExecuteCommand("DROP TABLE IF EXISTS " + Names, {});
    }

    void SetUp() override {
        MariaDbTest::SetUp();
        RegisterDatabase(Alias, [this] {
            return std::make_unique<TRecordingConnection>(
                std::make_unique<TMariaDbConnection>(MariaDbTestConnInfo()), Statements);
        });
        Table.SetDatabaseName(Alias);
        Table.SetTableName("customer");
        Table.SetPageSize(PageSize);
    }
    void TearDown() override {
        Table.Close();
        UnregisterDatabase(Alias);
        MariaDbTest::TearDown();
    }

    // One line per statement whose plan reads a table without searching an index, or
    // sorts the rows it returns, or skips rows by an offset: the statement and its plan. A
    // page without a condition (the first or the last) reads the order's index from one end,
    // which the server calls an "index" read, stopped by the LIMIT after at most a page and
    // the row that tells whether more follow. A search for one row may sort the few rows
    // that share its key. The statements are told apart by the words the dialect writes
    // (" WHERE ", a closing " LIMIT 1", "DISTINCT", in capitals with single blanks): a
    // change of that spelling shows as faults here, not as plans let through.
    std::vector<std::string> Faults() {
        static const std::regex Offset(R"(\bOFFSET\b|\bLIMIT\s+[^\s,]+\s*,)", std::regex::icase);
        std::vector<std::string> Found;
        for (const TRecordedStatement& Statement : Statements) {
            const auto Has = [&](const char* Text) {
                return Statement.Sql.find(Text) != std::string::npos;
            };
            const bool Distinct = Has("DISTINCT");
            const bool EndPage = !Has(" WHERE ") && Has(" LIMIT ");
            const std::string& Sql = Statement.Sql;
            const bool OneRow = Sql.size() > 8 && Sql.compare(Sql.size() - 8, 8, " LIMIT 1") == 0;
            bool Fault = std::regex_search(Sql, Offset);
            std::string Plan;
            const auto Cursor = Connection->Execute("EXPLAIN " + Statement.Sql, Statement.Params);
            while (Cursor->Next()) {
                // id, select_type, table, type, possible_keys, key, key_len, ref, rows, Extra
                const std::string Type =
                    Cursor->Value(3).IsNull() ? "" : Cursor->Value(3).AsString();
                const std::string Extra =
                    Cursor->Value(9).IsNull() ? "" : Cursor->Value(9).AsString();
                const bool EndOfIndex = EndPage && Type == "index" && !Cursor->Value(8).IsNull() &&
                                        Cursor->Value(8).AsInteger() <= PageSize + 1;
                const bool Searches = SearchesAnIndex(Type) || ReadsNoRows(Type, Extra) ||
                                      EndOfIndex ||
                                      (Distinct && Type == "index" &&
                                       Extra.find("for group-by") != std::string::npos);
                const bool Sorts =
                    Extra.find("filesort") != std::string::npos && !(OneRow && Type == "ref");
                if (!Searches || Sorts)
                    Fault = true;
                for (int Column = 0; Column < Cursor->FieldCount(); ++Column)
                    Plan += (Cursor->Value(Column).IsNull() ? "NULL"
                                                            : Cursor->Value(Column).AsString()) +
                            " ";
                Plan += "\n";
            }
            if (Fault)
                Found.push_back(Statement.Sql + "\n" + Plan);
        }
        return Found;
    }

    // The user's moves through an order: open, the next pages, the last page and the ones
    // before it.
    void Browse() {
        Table.Open();
        for (int Step = 0; Step < 100 && !Table.Eof(); ++Step)
            Table.Next();
        Table.MoveBy(150);
        Table.Last();
        for (int Step = 0; Step < 100 && !Table.Bof(); ++Step)
            Table.Prior();
        Table.First();
    }

    std::vector<TRecordedStatement> Statements;
    TTable Table{nullptr};
};

TEST_F(MariaDbPlanTest, EveryStatementOfATableSearchesAnIndex) {
    const struct {
        const char* Action;
        std::function<void()> Run;
    } Actions[] = {
        {"browse by the primary key", [&] { Browse(); }},
        {"browse by Name",
         [&] {
             Table.SetIndexFieldNames("Name");
             Browse();
         }},
        // A title click on City, then again for descending: City holds NULLs.
        {"title click to City;Name",
         [&] {
             Table.SetIndexFieldNames("Name");
             Table.Open();
             Table.SetIndexFieldNames("City;Name");
             Browse();
         }},
        {"title click to City:D;Name:D",
         [&] {
             Table.SetIndexFieldNames("City:D;Name:D");
             Browse();
         }},
        {"locate by Name",
         [&] {
             Table.SetIndexFieldNames("Name");
             Table.Open();
             Table.MoveBy(30000);
             const std::string Name = Table.FieldByName("Name")->AsString();
             Table.First();
             ASSERT_TRUE(Table.Locate("Name", TVariant(Name), {}));
             Table.First();
             ASSERT_TRUE(Table.Locate("Name", TVariant(Name.substr(0, 3)), {loPartialKey}));
             Table.First();
             ASSERT_TRUE(Table.Locate("Name", TVariant(LowerCaseAscii(Name.substr(0, 4))),
                                      {loCaseInsensitive, loPartialKey}));
         }},
        {"locate by City and Name",
         [&] {
             Table.SetIndexFieldNames("City;Name");
             Table.Open();
             Table.MoveBy(5000);
             const std::vector<TVariant> Key = {Table.FieldByName("City")->Value(),
                                                Table.FieldByName("Name")->Value()};
             Table.First();
             ASSERT_TRUE(Table.Locate("City;Name", Key, {}));
         }},
        {"filter on the order's field",
         [&] {
             Table.SetIndexFieldNames("Name");
             Table.SetFilter("[Name] STARTING WITH 'Mc'");
             Table.SetFiltered(true);
             Browse();
             Table.SetFiltered(false);
             Table.SetFilter("");
         }},
        {"value list of City",
         [&] {
             TQuery Values(nullptr);
             Values.SetDatabaseName(Alias);
             Values.SQL()->SetText("SELECT DISTINCT City FROM customer ORDER BY City");
             Values.Open();
             int Count = 0;
             for (; !Values.Eof(); Values.Next())
                 ++Count;
             EXPECT_GT(Count, 900);
         }},
    };
    for (const auto& Action : Actions) {
        SCOPED_TRACE(Action.Action);
        Table.Close();
        Statements.clear();
        Action.Run();
        EXPECT_GE(Statements.size(), 1u);
        for (const std::string& Fault : Faults())
            ADD_FAILURE() << Action.Action << ": " << Fault;
    }
}

} // namespace
