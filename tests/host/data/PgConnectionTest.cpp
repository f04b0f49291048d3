#include "PgTestDatabase.h"

#include "host/components/text/CodePage.h"
#include "host/data/drivers/DatabaseError.h"

#include <gmock/gmock.h>

using namespace vorn;
using ::testing::HasSubstr;
using vorn::test::PgServerConnInfo;
using vorn::test::PgTest;
using vorn::test::PgTestConnInfo;

namespace {

std::string ConnectError(const std::string& ConnInfo) {
    try {
        TPgConnection Connection(ConnInfo);
    } catch (const EDatabaseError& Error) {
        return Error.Message();
    }
    return "connected";
}

// The role that the test server checks by password (scripts/pg.sh).
const char* const PasswordRole = "vorn_password_check";

} // namespace

TEST_F(PgTest, ConnectFailuresCarryTheServersMessage) {
    Exec(std::string("ALTER ROLE ") + PasswordRole + " PASSWORD 'right horse'");
    const std::string Test = PgTestConnInfo();
    const struct {
        std::string ConnInfo;
        std::string Expected;
    } Cases[] = {
        {"host=/nonexistent/vorn dbname=x user=postgres", "No such file or directory"},
        {Test + " dbname=vorn_no_such_database",
         "database \"vorn_no_such_database\" does not exist"},
        {Test + " user=" + PasswordRole + " password=wrong",
         "password authentication failed for user \"vorn_password_check\""},
        {"host=", "TPgConnection.Connect()"},
        {"this is not a connection string", "missing \"=\""},
    };
    for (const auto& Case : Cases) {
        const std::string Message = ConnectError(Case.ConnInfo);
        EXPECT_THAT(Message, HasSubstr(Case.Expected)) << Case.ConnInfo;
        EXPECT_THAT(Message, HasSubstr("TPgConnection.Connect()")) << Case.ConnInfo;
    }
    // The password check is what refused the login above, not the role or the rules.
    EXPECT_EQ(ConnectError(Test + " user=" + PasswordRole + " password='right horse'"),
              "connected");
}

TEST_F(PgTest, StatementErrorsNameTheDatabaseAndRepeatTheServer) {
    try {
        Connection->Execute("SELECT * FROM vorn_missing_table", {});
        FAIL() << "no error";
    } catch (const EDatabaseError& Error) {
        EXPECT_THAT(Error.Message(), HasSubstr("TPgCursor.Open() PostgreSQL database \"vorn_t"));
        EXPECT_THAT(Error.Message(), HasSubstr(": relation \"vorn_missing_table\" does not exist"));
    }
    EXPECT_THROW(Connection->ExecuteCommand("UPDATE vorn_missing_table SET x = 1", {}),
                 EDatabaseError);
    EXPECT_THROW(Connection->ExecuteCommand("COPY (SELECT 1) TO STDOUT", {}), EDatabaseError);
    // The connection is still usable after each of them.
    EXPECT_EQ(Column("SELECT 41 + 1"), std::vector<std::string>{"42"});
}

TEST_F(PgTest, HostileValuesAreBoundNeverSpliced) {
    Exec("DROP TABLE IF EXISTS hostile");
    Exec("CREATE TABLE hostile (id integer PRIMARY KEY, t text)");
    const std::vector<std::string> Values = {
        "'; DROP TABLE hostile; --",
        "\\'",
        "\\",
        "$1",
        "%_[]*?",
        "\"quoted\"",
        "",
        "line\nbreak\ttab",
        std::string(100000, 'x'),
    };
    for (std::size_t Index = 0; Index < Values.size(); ++Index)
        EXPECT_EQ(Connection->ExecuteCommand("INSERT INTO hostile VALUES ($1, $2)",
                                             {static_cast<int>(Index), Values[Index]}),
                  1);
    Connection->ExecuteCommand("INSERT INTO hostile VALUES ($1, $2)", {-1, TVariant::Null()});

    auto Cursor = Connection->Execute("SELECT t FROM hostile WHERE id >= $1 ORDER BY id", {0});
    for (const std::string& Expected : Values) {
        ASSERT_TRUE(Cursor->Next());
        EXPECT_EQ(Cursor->Value(0).AsString(), Expected);
    }
    EXPECT_FALSE(Cursor->Next());
    EXPECT_EQ(Column("SELECT count(*) FROM hostile WHERE t IS NULL"),
              std::vector<std::string>{"1"});
    EXPECT_EQ(Column("SELECT id FROM hostile WHERE t = $1", {"'; DROP TABLE hostile; --"}),
              std::vector<std::string>{"0"});
}

TEST_F(PgTest, NulCharactersAreRefusedNotCutShort) {
    Exec("DROP TABLE IF EXISTS nul_values");
    Exec("CREATE TABLE nul_values (t text)");
    const std::string WithNul("abc\0def", 7);
    EXPECT_THROW(Connection->ExecuteCommand("INSERT INTO nul_values VALUES ($1)", {WithNul}),
                 EDatabaseError);
    EXPECT_THROW(Connection->ExecuteCommand(std::string("DELETE FROM nul_values\0 x", 25), {}),
                 EDatabaseError);
    EXPECT_EQ(Column("SELECT count(*) FROM nul_values"), std::vector<std::string>{"0"});
}

TEST_F(PgTest, TextTravelsInTheHostCodePage) {
    Exec("DROP TABLE IF EXISTS words");
    Exec("CREATE TABLE words (id integer PRIMARY KEY, word text)");
    // "šđčćž ŠĐČĆŽ" in Windows-1250.
    const std::string Serbian = "\x9a\xf0\xe8\xe6\x9e \x8a\xd0\xc8\xc6\x8e";
    Connection->ExecuteCommand("INSERT INTO words VALUES (1, $1)", {Serbian});
    EXPECT_EQ(Column("SELECT word FROM words WHERE id = 1"), std::vector<std::string>{Serbian});
    // The server holds the characters themselves, not the code page's bytes.
    EXPECT_EQ(
        Column("SELECT word = U&'\\0161\\0111\\010D\\0107\\017E \\0160\\0110\\010C\\0106\\017D' "
               "FROM words WHERE id = 1"),
        std::vector<std::string>{"True"});
    // SQL text is converted as well, and a character the code page lacks reads as "?".
    Connection->ExecuteCommand("INSERT INTO words VALUES (2, '\x9a' || U&'\\4E2D')", {});
    EXPECT_EQ(Column("SELECT word FROM words WHERE id = 2"), std::vector<std::string>{"\x9a?"});

    // The conversion follows the process's code page: Windows-1252 lacks the
    // Serbian letters except for "š", "ž" and their capitals.
    SetHostCodePage(cpWindows1252);
    EXPECT_EQ(Column("SELECT word FROM words WHERE id = 1"),
              std::vector<std::string>{"\x9a???\x9e \x8a???\x8e"});
    Connection->ExecuteCommand("INSERT INTO words VALUES (3, $1)", {"\xe9\x80"}); // "é€"
    EXPECT_EQ(Column("SELECT word = U&'\\00E9\\20AC' FROM words WHERE id = 3"),
              std::vector<std::string>{"True"});
}
