#include "MariaDbTestDatabase.h"

#include "host/components/text/CodePage.h"
#include "host/data/dataset/Database.h"
#include "host/data/drivers/DatabaseError.h"
#include "host/data/drivers/mariadb/MariaDbDatabase.h"

#include <cmath>

using namespace vorn;
using namespace vorn::test;

namespace {

TVariant DateTime(const char* Text) {
    TDateTime Value = 0;
    EXPECT_TRUE(TryParseDateTime(Text, Value)) << Text;
    return TVariant::FromDateTime(Value);
}

std::string ErrorOf(const std::function<void()>& Action) {
    try {
        Action();
    } catch (const EDatabaseError& Error) {
        return Error.Message();
    }
    return "(no error)";
}

bool StartsWith(const std::string& Text, const std::string& Prefix) {
    return Text.rfind(Prefix, 0) == 0;
}

// The server's connection string with a few words replaced.
std::string ServerWith(const std::string& Extra) {
    std::string ConnInfo;
    std::string Server = MariaDbServerConnInfo();
    for (std::size_t Start = 0; Start < Server.size();) {
        std::size_t End = Server.find(' ', Start);
        if (End == std::string::npos)
            End = Server.size();
        const std::string Word = Server.substr(Start, End - Start);
        if (StartsWith(Word, "unix_socket="))
            ConnInfo += Word + " ";
        Start = End + 1;
    }
    return ConnInfo + Extra;
}

class MariaDbConnectionTest : public MariaDbTest {};

TEST_F(MariaDbConnectionTest, ValuesRoundTripByType) {
    Exec("CREATE OR REPLACE TABLE Types (Id int PRIMARY KEY, Small smallint, Big bigint, "
         "Amount decimal(12,3), Ratio double, Single float, Flag boolean, Day date, "
         "Moment datetime(6), Clock time(3), Name varchar(30), Fixed char(4), Body mediumtext, "
         "Data longblob, Bytes varbinary(8), Huge bigint unsigned)");
    // Parameters are text in the host code page; binary data below 0x80 is the same
    // in any of them.
    const std::string Blob = std::string("\0\x7f\x01", 3) + std::string(5000, 'b');
    const struct {
        const char* Column;
        TVariant Value;
        TFieldType Type;
        TVariant Expected;
    } Cases[] = {
        {"Small", TVariant(-32768), ftSmallint, TVariant(-32768)},
        {"Big", TVariant(std::numeric_limits<std::int64_t>::min()), ftLargeint,
         TVariant(std::numeric_limits<std::int64_t>::min())},
        {"Amount", TVariant("-123456789.125"), ftBCD, TVariant(-123456789.125)},
        {"Ratio", TVariant(0.1), ftFloat, TVariant(0.1)},
        {"Single", TVariant(1.5), ftFloat, TVariant(1.5)},
        {"Flag", TVariant(true), ftBoolean, TVariant(true)},
        {"Day", DateTime("2024-02-29"), ftDate, DateTime("2024-02-29")},
        {"Moment", DateTime("1999-12-31 23:59:59.123"), ftDateTime,
         DateTime("1999-12-31 23:59:59.123")},
        {"Clock", TVariant("10:20:30.5"), ftTime, DateTime("10:20:30.5")},
        {"Name", TVariant("\x9a\xe8 '; DROP TABLE Types; --"), ftString,
         TVariant("\x9a\xe8 '; DROP TABLE Types; --")}, // "šč" in Windows-1250
        {"Fixed", TVariant("ab"), ftFixedChar, TVariant("ab")},
        {"Body", TVariant(std::string(70000, 'x')), ftMemo, TVariant(std::string(70000, 'x'))},
        {"Data", TVariant(Blob), ftBlob, TVariant(Blob)},
        {"Bytes", TVariant(std::string("\0\x01", 2)), ftVarBytes,
         TVariant(std::string("\0\x01", 2))},
        {"Huge", TVariant("18446744073709551615"), ftLargeint, TVariant("18446744073709551615")},
    };
    int Id = 0;
    for (const auto& Case : Cases) {
        ++Id;
        const std::string Column = std::string("`") + Case.Column + "`";
        Exec("INSERT INTO Types (Id, " + Column + ") VALUES (?1, ?2)", {TVariant(Id), Case.Value});
        auto Cursor = Connection->Execute("SELECT " + Column + ", Name FROM Types WHERE Id = ?1",
                                          {TVariant(Id)});
        EXPECT_EQ(Cursor->Column(0).DataType, Case.Type) << Case.Column;
        ASSERT_TRUE(Cursor->Next()) << Case.Column;
        const TVariant Value = Cursor->Value(0);
        EXPECT_EQ(Value.VarType(), Case.Expected.VarType()) << Case.Column;
        EXPECT_EQ(Value.Compare(Case.Expected), 0)
            << Case.Column << " read back as " << Value.AsString().substr(0, 40);
        if (std::string(Case.Column) != "Name") {
            EXPECT_TRUE(Cursor->Value(1).IsNull()) << Case.Column;
        }
        EXPECT_FALSE(Cursor->Next());
        // A value read back finds its row again, as a key of a page must.
        EXPECT_EQ(Rows("SELECT Id FROM Types WHERE " + Column + " = ?1", {Value}).size(), 1u)
            << Case.Column;
    }
    EXPECT_EQ(Rows("SELECT COUNT(*) FROM Types")[0][0], TVariant(Id));
    // Binary data is read as its bytes, never converted as text.
    EXPECT_EQ(Rows("SELECT UNHEX('00FF41')")[0][0], TVariant(std::string("\0\xff"
                                                                         "A",
                                                                         3)));
}

TEST_F(MariaDbConnectionTest, TextTravelsInTheHostCodePage) {
    SetHostCodePage(cpUtf8);
    const std::string Text = "Ελληνικά, 中文, emoji 😀, Łódź";
    Exec("CREATE OR REPLACE TABLE Texts (Id int PRIMARY KEY, `Názov` varchar(40))");
    Exec("INSERT INTO Texts VALUES (1, ?1)", {TVariant(Text)});
    auto Cursor = Connection->Execute("SELECT `Názov`, CHAR_LENGTH(`Názov`) FROM Texts "
                                      "WHERE `Názov` = ?1",
                                      {TVariant(Text)});
    EXPECT_EQ(Cursor->Column(0).Name, "Názov");
    ASSERT_TRUE(Cursor->Next());
    EXPECT_EQ(Cursor->Value(0), TVariant(Text));
    EXPECT_EQ(Cursor->Value(1), TVariant(27));
    EXPECT_EQ(Connection->Columns("Texts")[1].Name, "Názov");
}

TEST_F(MariaDbConnectionTest, NumberedPlaceholdersTakeTheirValues) {
    const auto Row = Rows("SELECT ?2, ?1, ?2, '?1', `?1` FROM (SELECT 7 AS `?1`) AS T",
                          {TVariant("first"), TVariant(2)})[0];
    EXPECT_EQ(Row, (std::vector<TVariant>{TVariant(2), TVariant("first"), TVariant(2),
                                          TVariant("?1"), TVariant(7)}));
    EXPECT_EQ(ErrorOf([&] {
                  Rows("SELECT ?1, ?3", {TVariant(1), TVariant(2)});
              }),
              "TMariaDbConnection.Execute() " + Connection->Description() +
                  ": The statement's placeholder ?3 has no value: 2 given");
}

TEST_F(MariaDbConnectionTest, StatementErrorsNameTheDatabaseAndRepeatTheServer) {
    const std::string Prefix = Connection->Description() + ": ";
    const struct {
        std::function<void()> Action;
        std::string Start;
        const char* ServerText;
    } Cases[] = {
        {[&] { Rows("SELEKT 1"); }, "TMariaDbConnection.Execute() " + Prefix,
         "You have an error in your SQL syntax"},
        {[&] { Rows("SELECT * FROM Nowhere"); }, "TMariaDbConnection.Execute() " + Prefix,
         "Nowhere' doesn't exist"},
        {[&] { Exec("DELETE FROM Nowhere"); }, "TMariaDbConnection.ExecuteCommand() " + Prefix,
         "Nowhere' doesn't exist"},
        {[&] { Exec("INSERT INTO Nowhere VALUES (?1)", {}); },
         "TMariaDbConnection.ExecuteCommand() " + Prefix, "?1 has no value"},
        {[&] { Exec(std::string("SELECT 1\0; DROP TABLE x", 24)); },
         "TMariaDbConnection.ExecuteCommand() " + Prefix, "contains a NUL character"},
    };
    for (const auto& Case : Cases) {
        const std::string Message = ErrorOf(Case.Action);
        EXPECT_TRUE(StartsWith(Message, Case.Start)) << Message;
        EXPECT_NE(Message.find(Case.ServerText), std::string::npos) << Message;
    }
    // The connection is still usable after each.
    EXPECT_EQ(Rows("SELECT 1")[0][0], TVariant(1));
}

TEST_F(MariaDbConnectionTest, ConnectFailuresCarryTheServersMessage) {
    const struct {
        std::string ConnInfo;
        const char* ServerText;
    } Cases[] = {
        {ServerWith("user=root database=no_such_db"), "Unknown database 'no_such_db'"},
        {ServerWith("user=vorn_password_check password=wrong database=vorn_test"),
         "Access denied for user 'vorn_password_check'"},
        {"unix_socket=/nonexistent/s user=root", "Can't connect to local server"},
        {"user=root dbname=x", "Invalid MariaDB connection string: unknown key \"dbname\""},
    };
    for (const auto& Case : Cases) {
        const std::string Message = ErrorOf([&] { TMariaDbConnection Failed(Case.ConnInfo); });
        EXPECT_NE(Message.find(Case.ServerText), std::string::npos) << Message;
    }
    // A password with a quote, a blank and a backslash, written as the connection
    // string quotes it (scripts/mariadb.sh sets it).
    TMariaDbConnection Checked(
        ServerWith("user=vorn_password_check password='it\\'s a \\\\secret' database=vorn_test"));
    EXPECT_EQ(Rows(Checked, "SELECT CURRENT_USER()")[0][0],
              TVariant("vorn_password_check@localhost"));
}

TEST_F(MariaDbConnectionTest, AliasesOpenTheDatabaseWhenFirstNeeded) {
    RegisterMariaDbDatabase("vorn_mariadb_alias", MariaDbTestConnInfo());
    // Registering never connects: the bad alias raises only when a dataset needs it.
    RegisterMariaDbDatabase("vorn_mariadb_nowhere", "unix_socket=/nonexistent/s user=root");
    {
        TConnectionLease Lease("vorn_mariadb_alias");
        EXPECT_EQ(Lease.Connection().SqlBackend(), sbMariaDB);
        EXPECT_EQ(Rows(Lease.Connection(), "SELECT DATABASE()")[0][0],
                  TVariant(MariaDbTestDatabaseName()));
    }
    EXPECT_THROW(TConnectionLease("vorn_mariadb_nowhere"), EDatabaseError);
    UnregisterDatabase("vorn_mariadb_alias");
    UnregisterDatabase("vorn_mariadb_nowhere");
}

TEST_F(MariaDbConnectionTest, LostConnectionsAreReplacedByTheNextStatement) {
    TMariaDbConnection Admin(MariaDbTestConnInfo());
    // A reader connection killed while idle: the next read runs on a new one.
    const TVariant Reader = Rows("SELECT CONNECTION_ID()")[0][0];
    Admin.ExecuteCommand("KILL CONNECTION ?1", {Reader});
    EXPECT_EQ(Rows("SELECT 2")[0][0], TVariant(2));

    // A command is not run again: it raises once, and the next one reconnects.
    Admin.ExecuteCommand("KILL CONNECTION ?1",
                         {TVariant(static_cast<std::int64_t>(Connection->CommandThreadId()))});
    const std::string Message = ErrorOf([&] { Exec("DO 1"); });
    EXPECT_TRUE(StartsWith(Message, "TMariaDbConnection.ExecuteCommand() " +
                                        Connection->Description() +
                                        ": The connection to the server was lost: "))
        << Message;
    Exec("DO 1");

    // A cursor whose connection dies while it streams raises at its next row.
    auto Cursor = Connection->Execute("SELECT seq, CONNECTION_ID() FROM seq_1_to_1000000", {});
    ASSERT_TRUE(Cursor->Next());
    Admin.ExecuteCommand("KILL CONNECTION ?1", {Cursor->Value(1)});
    const std::string Streaming = ErrorOf([&] {
        while (Cursor->Next()) {
        }
    });
    EXPECT_TRUE(StartsWith(Streaming, "TMariaDbCursor.Next() " + Connection->Description()))
        << Streaming;
    Cursor.reset();
    EXPECT_EQ(Rows("SELECT 3")[0][0], TVariant(3));
}

} // namespace
