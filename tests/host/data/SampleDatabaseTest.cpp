#include "apps/samplegen/SampleDatabase.h"
#include "host/data/dataset/Table.h"
#include "tests/support/SampleDatabaseFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <type_traits>
#include <variant>

namespace vorn {
namespace {

using testsupport::TSampleDatabaseFile;

constexpr const char* CustomerRows =
    "SELECT CustNo || '|' || Company || '|' || Name || '|' || IFNULL(City, '-') || '|' || "
    "IFNULL(Country, '-') || '|' || IFNULL(Balance, '-') || '|' || IFNULL(CreditLimit, '-') || "
    "'|' || IFNULL(Since, '-') FROM customer ORDER BY CustNo";

std::string TempPath(const std::string& Name) {
    return (std::filesystem::temp_directory_path() / Name).string();
}

int Number(const TSampleDatabaseFile& Database, const std::string& Sql) {
    return std::stoi(Database.Column(Sql).at(0));
}

TEST(SampleDatabaseTest, TheSameSeedGivesTheSameRows) {
    TSampleDatabaseFile First(300);
    TSampleDatabaseFile Second(300);
    EXPECT_EQ(First.Column(CustomerRows), Second.Column(CustomerRows));
    EXPECT_EQ(First.Column("SELECT OrderNo || CustNo || OrderDate || IFNULL(Amount, '') "
                           "FROM orders ORDER BY OrderNo"),
              Second.Column("SELECT OrderNo || CustNo || OrderDate || IFNULL(Amount, '') "
                            "FROM orders ORDER BY OrderNo"));

    sampledata::TSampleOptions Options;
    Options.Customers = 300;
    Options.Seed = 7;
    const TSampleDatabaseFile Other(Options);
    EXPECT_EQ(Other.Column(CustomerRows).size(), 300u);
    EXPECT_NE(Other.Column(CustomerRows), First.Column(CustomerRows));
}

class SampleDatabaseContentTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Database = std::make_unique<TSampleDatabaseFile>(10000); }
    static void TearDownTestSuite() { Database.reset(); }
    static std::unique_ptr<TSampleDatabaseFile> Database;
};

std::unique_ptr<TSampleDatabaseFile> SampleDatabaseContentTest::Database;

TEST_F(SampleDatabaseContentTest, CustomersLookLikeARealCustomerList) {
    EXPECT_EQ(Number(*Database, "SELECT COUNT(*) FROM customer"), 10000);
    EXPECT_EQ(Database->Counts().Customers, 10000);
    EXPECT_GE(Number(*Database, "SELECT COUNT(DISTINCT City) FROM customer"), 990);
    for (const char* Condition :
         {"Name LIKE '%''%'", "Name LIKE '% % %'", "Name GLOB '*Mc[A-Z]*'", "City LIKE '% %'",
          "City IS NULL", "Country IS NULL", "Balance IS NULL", "CreditLimit IS NULL",
          "Since IS NULL", "Balance < 0", "Company LIKE '%''%'"})
        EXPECT_GT(
            Number(*Database, std::string("SELECT COUNT(*) FROM customer WHERE ") + Condition), 0)
            << Condition;
    EXPECT_EQ(Number(*Database, "SELECT COUNT(*) FROM customer WHERE Since NOT GLOB "
                                "'[12][09][0-9][0-9]-[01][0-9]-[0-3][0-9]'"),
              0);
}

TEST_F(SampleDatabaseContentTest, OrdersAreDetailsOfExistingCustomers) {
    EXPECT_EQ(Number(*Database, "SELECT COUNT(*) FROM orders"), Database->Counts().Orders);
    EXPECT_EQ(Number(*Database, "SELECT COUNT(*) FROM orders o LEFT JOIN customer c "
                                "ON c.CustNo = o.CustNo WHERE c.CustNo IS NULL"),
              0);
    EXPECT_LE(Number(*Database, "SELECT MAX(n) FROM (SELECT COUNT(*) AS n FROM orders "
                                "GROUP BY CustNo)"),
              4);
    EXPECT_GT(Number(*Database, "SELECT COUNT(*) FROM (SELECT CustNo FROM orders GROUP BY "
                                "CustNo HAVING COUNT(*) >= 3)"),
              0);
    EXPECT_EQ(Number(*Database, "SELECT COUNT(*) FROM contact WHERE \"Last Name\" IS NULL"), 0);
}

TEST_F(SampleDatabaseContentTest, TablesReportTheirIndexesThroughTheCatalog) {
    const std::vector<std::pair<std::string, std::set<std::string>>> Expected = {
        {"customer", {"CustNo", "Name", "City;Name", "Company;City"}},
        {"orders", {"OrderNo", "CustNo;OrderDate"}},
        {"contact", {"ContactNo", "Last Name;First Name"}}};
    for (const auto& [TableName, Fields] : Expected) {
        TTable Table(nullptr);
        Table.SetDatabaseName(Database->Alias());
        Table.SetTableName(TableName);
        Table.IndexDefs()->Update();
        std::set<std::string> Found;
        for (int Index = 0; Index < Table.IndexDefs()->Count(); ++Index)
            Found.insert(Table.IndexDefs()->Items(Index)->Fields());
        EXPECT_EQ(Found, Fields) << TableName;
    }
}

TEST(SampleDatabaseTest, BadOptionsAndExistingFilesRaiseWithoutWriting) {
    const std::string Path = TempPath("vorn-sample-refused.db");
    std::filesystem::remove(Path);
    for (auto [Customers, Orders] :
         {std::pair{0, 4}, std::pair{-5, 4}, std::pair{10, -1}, std::pair{10, 1000}}) {
        sampledata::TSampleOptions Options;
        Options.Customers = Customers;
        Options.MaxOrdersPerCustomer = Orders;
        EXPECT_THROW(sampledata::CreateSQLiteSampleDatabase(Path, Options, true), Exception);
        EXPECT_FALSE(std::filesystem::exists(Path));
    }
    { std::ofstream(Path) << "keep me"; }
    sampledata::TSampleOptions Options;
    Options.Customers = 10;
    try {
        sampledata::CreateSQLiteSampleDatabase(Path, Options, false);
        ADD_FAILURE() << "an existing file was overwritten";
    } catch (const Exception& Error) {
        EXPECT_NE(Error.Message().find("already exists"), std::string::npos) << Error.Message();
    }
    EXPECT_EQ(std::filesystem::file_size(Path), 7u);
    std::filesystem::remove(Path);
}

// Records what a generation sends, with the progress reports in between: "begin customer",
// a line per row, "end customer", "progress customer 50 100".
class TRecordingTarget final : public sampledata::TSampleTarget {
public:
    void BeginTable(const sampledata::TSampleTable& Table) override {
        Events.push_back("begin " + Table.Name);
    }
    void AddRow(const std::vector<sampledata::TSampleValue>& Row) override {
        std::string Line = "row";
        for (const sampledata::TSampleValue& Value : Row)
            Line += "|" + std::visit(
                              [](const auto& Each) -> std::string {
                                  using T = std::decay_t<decltype(Each)>;
                                  if constexpr (std::is_same_v<T, std::monostate>)
                                      return "null";
                                  else if constexpr (std::is_same_v<T, std::string>)
                                      return Each;
                                  else
                                      return std::to_string(Each);
                              },
                              Value);
        Events.push_back(std::move(Line));
    }
    void EndTable(const sampledata::TSampleTable& Table) override {
        Events.push_back("end " + Table.Name);
    }
    void Commit() override { Events.push_back("commit"); }

    std::vector<std::string> Events;
};

TEST(SampleDatabaseTest, ProgressComesInTwentiethsAndLeavesTheRowsAlone) {
    // Fewer rows than steps, a size that 20 does not divide, and one that it does.
    for (const int Customers : {7, 1013, 2000}) {
        SCOPED_TRACE(Customers);
        sampledata::TSampleOptions Options;
        Options.Customers = Customers;
        TRecordingTarget Plain;
        sampledata::GenerateSampleDatabase(Plain, Options);

        TRecordingTarget Watched;
        Options.Progress = [&](const std::string& Table, std::int64_t Done, std::int64_t Total) {
            Watched.Events.push_back("progress " + Table + " " + std::to_string(Done) + " " +
                                     std::to_string(Total));
        };
        sampledata::GenerateSampleDatabase(Watched, Options);

        std::vector<std::string> Rows;
        std::map<std::string, std::vector<std::pair<std::int64_t, std::int64_t>>> Reports;
        std::map<std::string, std::int64_t> RowsBeforeReport;
        std::string Table;
        std::int64_t TableRows = 0;
        for (const std::string& Event : Watched.Events) {
            const std::string Kind = Event.substr(0, Event.find_first_of(" |"));
            std::istringstream Words(Event.substr(Kind.size()));
            if (Kind == "progress") {
                std::string Name;
                std::int64_t Done = 0, Total = 0;
                Words >> Name >> Done >> Total;
                Reports[Name].emplace_back(Done, Total);
                // Customers and contacts count rows: the report follows the row it counts.
                if (Name != "orders" && Done < Total) {
                    EXPECT_EQ(TableRows, Done) << Event;
                }
                if (Done == Total) {
                    EXPECT_EQ(Table, "") << "the last report of " << Name << " before its end";
                }
            } else {
                Rows.push_back(Event);
                if (Kind == "begin") {
                    Words >> Table;
                    TableRows = 0;
                } else if (Kind == "end") {
                    Table.clear();
                } else if (Kind == "row") {
                    ++TableRows;
                }
            }
        }
        EXPECT_EQ(Rows, Plain.Events);

        const std::int64_t Contacts = std::max(10, Customers / 10);
        for (const auto& [Name, Total] :
             {std::pair<std::string, std::int64_t>{"customer", Customers},
              {"orders", Customers},
              {"contact", Contacts}}) {
            SCOPED_TRACE(Name);
            const auto& Steps = Reports[Name];
            ASSERT_FALSE(Steps.empty());
            EXPECT_EQ(Steps.back(), std::make_pair(Total, Total));
            EXPECT_LE(Steps.size(), 20u);
            // No twentieth of the table passes without a report.
            std::int64_t Before = 0;
            for (const auto& [Done, Reported] : Steps) {
                EXPECT_LE(20 * (Done - Before), Total + 19) << Done << " after " << Before;
                EXPECT_LT(Before, Done);
                Before = Done;
                EXPECT_EQ(Reported, Total);
            }
        }
    }
}

} // namespace
} // namespace vorn
