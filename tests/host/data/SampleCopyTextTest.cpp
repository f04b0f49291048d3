#include "BackendFixture.h"
#include "TestDatabase.h"

#include "apps/samplegen/SampleDatabase.h"
#include "host/data/dataset/Field.h"
#include "host/data/dataset/Table.h"

#include <gtest/gtest.h>

using namespace vorn;
using vorn::test::TBackendDatabase;
using vorn::test::tbPostgreSQL;

namespace {

// The server target streams its rows in COPY's text format, where a backslash, a tab, a
// line break and "\N" mean something: values holding them must arrive as they were.
TEST(SamplePostgresTarget, TextWithCopySeparatorsAndNullsArrivesUnchanged) {
    TBackendDatabase Server(tbPostgreSQL);
    const std::string Awkward = "a\\b\tc\nd\re \\N";
    {
        const auto Target = sampledata::CreatePostgresTarget(Server.ConnInfo(), false);
        const sampledata::TSampleTable& Contact = sampledata::SampleTable("contact");
        Target->BeginTable(Contact);
        Target->AddRow({std::int64_t{1}, std::int64_t{1001}, Awkward, sampledata::TSampleValue{},
                        std::string("\\N")});
        Target->EndTable(Contact);
        Target->Commit();
    }
    TTable Table(nullptr);
    Table.SetDatabaseName(Server.Alias());
    Table.SetTableName("contact");
    Table.Open();
    ASSERT_FALSE(Table.Eof());
    EXPECT_EQ(Table.FieldByName("Last Name")->AsString(), Awkward);
    EXPECT_TRUE(Table.FieldByName("First Name")->IsNull());
    EXPECT_EQ(Table.FieldByName("Phone")->AsString(), "\\N");
}

} // namespace
