#include "host/data/drivers/mariadb/MariaDbConnInfo.h"
#include "host/data/drivers/DatabaseError.h"

#include <gtest/gtest.h>

using namespace vorn;

TEST(MariaDbConnInfo, ReadsKeysQuotesAndEscapes) {
    const struct {
        const char* Text;
        TMariaDbConnInfo Expected;
        const char* Description;
    } Cases[] = {
        {"unix_socket=/tmp/mdb.ab12/s user=root database=vorn_test",
         {"", 0, "/tmp/mdb.ab12/s", "root", "", "vorn_test"},
         "MariaDB database \"vorn_test\" on /tmp/mdb.ab12/s"},
        {"  host=db.example.org   port=3307\tuser = clerk password='it\\'s a \\\\secret' ",
         {"db.example.org", 3307, "", "clerk", "it's a \\secret", ""},
         "MariaDB database on db.example.org:3307"},
        {"database='two words' password=''",
         {"", 0, "", "", "", "two words"},
         "MariaDB database \"two words\""},
        {"", {}, "MariaDB database"},
        // A backslash outside quotes is an ordinary character.
        {"password=a\\b", {"", 0, "", "", "a\\b", ""}, "MariaDB database"},
    };
    for (const auto& Case : Cases) {
        const TMariaDbConnInfo Info = ParseMariaDbConnInfo(Case.Text);
        EXPECT_EQ(Info.Host, Case.Expected.Host) << Case.Text;
        EXPECT_EQ(Info.Port, Case.Expected.Port) << Case.Text;
        EXPECT_EQ(Info.UnixSocket, Case.Expected.UnixSocket) << Case.Text;
        EXPECT_EQ(Info.User, Case.Expected.User) << Case.Text;
        EXPECT_EQ(Info.Password, Case.Expected.Password) << Case.Text;
        EXPECT_EQ(Info.Database, Case.Expected.Database) << Case.Text;
        EXPECT_EQ(Info.Describe(), Case.Description) << Case.Text;
    }
}

TEST(MariaDbConnInfo, BadStringsAreRefusedByName) {
    const std::string Prefix = "Invalid MariaDB connection string: ";
    const struct {
        const char* Text;
        const char* Message;
    } Cases[] = {
        {"dbname=shop", "unknown key \"dbname\" (known: host, port, unix_socket, user, "
                        "password, database)"},
        {"user=a user=b", "\"user\" is given twice"},
        {"user", "\"user\" is not followed by \"=\""},
        {"user root", "\"user\" is not followed by \"=\""},
        {"=root", "\"=\" without a key before it"},
        {"password='open", "the value of \"password\" lacks its closing quote"},
        {"password='ends in escape\\'", "the value of \"password\" lacks its closing quote"},
        {"port=x", "port \"x\" is not a number from 1 to 65535"},
        {"port=0", "port \"0\" is not a number from 1 to 65535"},
        {"port=65536", "port \"65536\" is not a number from 1 to 65535"},
        {"port=", "port \"\" is not a number from 1 to 65535"},
    };
    for (const auto& Case : Cases) {
        try {
            ParseMariaDbConnInfo(Case.Text);
            ADD_FAILURE() << "accepted: " << Case.Text;
        } catch (const EDatabaseError& Error) {
            EXPECT_EQ(Error.Message(), Prefix + Case.Message) << Case.Text;
        }
    }
}
