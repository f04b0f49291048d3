#include "MariaDbTestDatabase.h"
#include "SampleTableDump.h"

#include "apps/samplegen/SampleDatabase.h"
#include "host/data/dataset/Database.h"
#include "host/data/dataset/Table.h"
#include "host/data/drivers/mariadb/MariaDbDatabase.h"
#include "tests/support/SampleDatabaseFile.h"

#include <gtest/gtest.h>

#include <functional>

using namespace vorn;
using vorn::test::DumpTable;
using vorn::test::MariaDbTestConnInfo;
using vorn::test::SmallSampleOptions;

namespace {

const char* const Alias = "vorn_sample_mariadb";

class SampleMariaDbTarget : public vorn::test::MariaDbTest {
protected:
    void SetUp() override {
        MariaDbTest::SetUp();
        for (const sampledata::TSampleTable& Table : sampledata::SampleSchema())
            Exec("DROP TABLE IF EXISTS `" + Table.Name + "`");
        RegisterMariaDbDatabase(Alias, MariaDbTestConnInfo());
    }
    void TearDown() override {
        UnregisterDatabase(Alias);
        MariaDbTest::TearDown();
    }

    std::int64_t Count(const std::string& Table) {
        return Rows("SELECT COUNT(*) FROM `" + Table + "`").at(0).at(0).AsInteger();
    }

    // The tables of the database that belong to the sample, finished or not, in name
    // order; the program's other tests keep tables of their own there.
    std::vector<std::string> SampleTables() {
        std::vector<std::string> Names;
        for (const auto& Row : Rows("SELECT TABLE_NAME FROM information_schema.tables WHERE "
                                    "TABLE_SCHEMA = DATABASE() ORDER BY TABLE_NAME")) {
            const std::string Name = Row.at(0).AsString();
            for (const sampledata::TSampleTable& Table : sampledata::SampleSchema())
                if (Name.starts_with(Table.Name))
                    Names.push_back(Name);
        }
        return Names;
    }
};

TEST_F(SampleMariaDbTarget, WritesTheSameSchemaAndRowsAsTheSQLiteTarget) {
    const testsupport::TSampleDatabaseFile File(SmallSampleOptions());
    const sampledata::TSampleCounts Counts =
        sampledata::CreateMariaDbSampleDatabase(MariaDbTestConnInfo(), SmallSampleOptions());
    EXPECT_EQ(Counts.Orders, File.Counts().Orders);
    for (const sampledata::TSampleTable& Table : sampledata::SampleSchema()) {
        const auto Local = DumpTable(File.Alias(), Table.Name);
        EXPECT_GT(Local.size(), 10u) << Table.Name;
        EXPECT_EQ(DumpTable(Alias, Table.Name), Local) << Table.Name;
    }
    TTable Customer(nullptr);
    Customer.SetDatabaseName(Alias);
    Customer.SetTableName("customer");
    Customer.IndexDefs()->Update();
    ASSERT_NE(Customer.IndexDefs()->Find("ByCityName"), nullptr);
    EXPECT_EQ(Customer.IndexDefs()->Find("ByCityName")->Fields(), "City;Name");
    // Text compares byte by byte without padding, so that prefix seeks on an index find
    // what the other backends find.
    EXPECT_EQ(Rows("SELECT COLLATION_NAME FROM information_schema.columns WHERE "
                   "TABLE_SCHEMA = DATABASE() AND TABLE_NAME = 'customer' AND "
                   "COLUMN_NAME = 'Name'")
                  .at(0)
                  .at(0)
                  .AsString(),
              "utf8mb4_nopad_bin");
}

// The rows are loaded as tab-separated text, where a backslash, a tab, a line break and
// "\N" mean something; a value the column cannot hold must fail the load, not be cut.
TEST_F(SampleMariaDbTarget, TextWithSeparatorsArrivesUnchangedAndTooLongTextFails) {
    const std::string Awkward = "a\\b\tc\nd\re \\N";
    const sampledata::TSampleTable& Contact = sampledata::SampleTable("contact");
    {
        const auto Target = sampledata::CreateMariaDbTarget(MariaDbTestConnInfo(), false);
        Target->BeginTable(Contact);
        Target->AddRow({std::int64_t{1}, std::int64_t{1001}, Awkward, sampledata::TSampleValue{},
                        std::string("\\N")});
        Target->EndTable(Contact);
        Target->Commit();
    }
    // The NULL reads as NULL, the text "\N" as itself.
    EXPECT_EQ(DumpTable(Alias, "contact").at(1), "1|1001|" + Awkward + "|NULL|\\N|");

    const auto Target = sampledata::CreateMariaDbTarget(MariaDbTestConnInfo(), true);
    Target->BeginTable(Contact);
    Target->AddRow({std::int64_t{1}, std::int64_t{1001}, std::string(200, 'x'),
                    sampledata::TSampleValue{}, sampledata::TSampleValue{}});
    EXPECT_THROW(Target->EndTable(Contact), Exception);
}

TEST_F(SampleMariaDbTarget, ExistingTablesAreKeptUnlessReplaced) {
    sampledata::CreateMariaDbSampleDatabase(MariaDbTestConnInfo(), SmallSampleOptions());
    Exec("DELETE FROM `contact` WHERE `ContactNo` > 5");
    try {
        sampledata::CreateMariaDbSampleDatabase(MariaDbTestConnInfo(), SmallSampleOptions());
        FAIL() << "existing tables were overwritten";
    } catch (const Exception& Error) {
        EXPECT_NE(Error.Message().find("already exists"), std::string::npos) << Error.Message();
    }
    EXPECT_EQ(Count("contact"), 5);
    const auto Counts =
        sampledata::CreateMariaDbSampleDatabase(MariaDbTestConnInfo(), SmallSampleOptions(), true);
    EXPECT_EQ(Count("contact"), Counts.Contacts);
    EXPECT_EQ(SampleTables(), (std::vector<std::string>{"contact", "customer", "orders"}));
    EXPECT_THROW(
        sampledata::CreateMariaDbTarget("unix_socket=/tmp/vorn-no-server-here user=root", false),
        Exception);
}

// A generation that fails, in the first table or after a complete one, leaves the database
// as it found it: no table of its own, and with Replace the earlier sample whole.
TEST_F(SampleMariaDbTarget, AFailedGenerationLeavesTheTablesAsTheyWere) {
    const sampledata::TSampleTable& Customer = sampledata::SampleTable("customer");
    const sampledata::TSampleTable& Contact = sampledata::SampleTable("contact");
    const auto CompleteCustomer = [&](sampledata::TSampleTarget& Target) {
        Target.BeginTable(Customer);
        std::vector<sampledata::TSampleValue> Row(Customer.Columns.size());
        Row[0] = std::int64_t{1};
        Row[1] = std::string("New customer");
        Target.AddRow(Row);
        Target.EndTable(Customer);
    };
    struct TCase {
        const char* Name;
        bool SampleBefore;
        std::function<void(sampledata::TSampleTarget&)> Fail;
    };
    const TCase Cases[] = {
        {"TooFewValuesInTheFirstTable", false,
         [&](sampledata::TSampleTarget& Target) {
             Target.BeginTable(Customer);
             Target.AddRow({std::int64_t{1}});
         }},
        {"TooFewValuesInTheFirstTableOverASample", true,
         [&](sampledata::TSampleTarget& Target) {
             Target.BeginTable(Customer);
             Target.AddRow({std::int64_t{1}});
         }},
        {"TooLongTextAfterACompleteTableOverASample", true,
         [&](sampledata::TSampleTarget& Target) {
             CompleteCustomer(Target);
             Target.BeginTable(Contact);
             Target.AddRow({std::int64_t{1}, std::int64_t{1}, std::string(200, 'x'),
                            sampledata::TSampleValue{}, sampledata::TSampleValue{}});
             Target.EndTable(Contact);
         }},
        {"CommitWithATableNotEndedOverASample", true,
         [&](sampledata::TSampleTarget& Target) {
             CompleteCustomer(Target);
             Target.BeginTable(Contact);
             Target.Commit();
         }},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        for (const sampledata::TSampleTable& Table : sampledata::SampleSchema())
            Exec("DROP TABLE IF EXISTS `" + Table.Name + "`");
        std::vector<std::string> Before;
        if (Case.SampleBefore) {
            sampledata::CreateMariaDbSampleDatabase(MariaDbTestConnInfo(), SmallSampleOptions());
            Before = DumpTable(Alias, "customer");
        }
        {
            const auto Target =
                sampledata::CreateMariaDbTarget(MariaDbTestConnInfo(), Case.SampleBefore);
            EXPECT_THROW(Case.Fail(*Target), Exception);
        }
        const std::vector<std::string> Left =
            Case.SampleBefore ? std::vector<std::string>{"contact", "customer", "orders"}
                              : std::vector<std::string>{};
        EXPECT_EQ(SampleTables(), Left);
        if (Case.SampleBefore) {
            EXPECT_EQ(DumpTable(Alias, "customer"), Before);
        }
    }
}

} // namespace
