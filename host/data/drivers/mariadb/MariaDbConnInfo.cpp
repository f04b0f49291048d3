#include "host/data/drivers/mariadb/MariaDbConnInfo.h"

#include "host/data/drivers/DatabaseError.h"

#include <cctype>
#include <charconv>
#include <set>

namespace vorn {

namespace {

[[noreturn]] void Fail(const std::string& Message) {
    throw EDatabaseError("Invalid MariaDB connection string: " + Message);
}

bool IsBlank(char C) {
    return std::isspace(static_cast<unsigned char>(C)) != 0;
}

// Reads a value from Position: quoted (with \' and \\ escapes) or up to the next blank.
std::string ReadValue(const std::string& Text, std::size_t& Position, const std::string& Key) {
    std::string Value;
    if (Position >= Text.size() || Text[Position] != '\'') {
        while (Position < Text.size() && !IsBlank(Text[Position]))
            Value += Text[Position++];
        return Value;
    }
    ++Position;
    for (;;) {
        if (Position >= Text.size())
            Fail("the value of \"" + Key + "\" lacks its closing quote");
        const char C = Text[Position++];
        if (C == '\'')
            return Value;
        if (C == '\\' && Position < Text.size())
            Value += Text[Position++];
        else
            Value += C;
    }
}

unsigned ParsePort(const std::string& Value) {
    unsigned Port = 0;
    const auto Result = std::from_chars(Value.data(), Value.data() + Value.size(), Port);
    if (Value.empty() || Result.ec != std::errc() || Result.ptr != Value.data() + Value.size() ||
        Port == 0 || Port > 65535)
        Fail("port \"" + Value + "\" is not a number from 1 to 65535");
    return Port;
}

} // namespace

TMariaDbConnInfo ParseMariaDbConnInfo(const std::string& ConnInfo) {
    TMariaDbConnInfo Info;
    std::set<std::string> Seen;
    std::size_t Position = 0;
    for (;;) {
        while (Position < ConnInfo.size() && IsBlank(ConnInfo[Position]))
            ++Position;
        if (Position >= ConnInfo.size())
            return Info;
        std::string Key;
        while (Position < ConnInfo.size() && ConnInfo[Position] != '=' &&
               !IsBlank(ConnInfo[Position]))
            Key += ConnInfo[Position++];
        if (Key.empty())
            Fail("\"=\" without a key before it");
        while (Position < ConnInfo.size() && IsBlank(ConnInfo[Position]))
            ++Position;
        if (Position >= ConnInfo.size() || ConnInfo[Position] != '=')
            Fail("\"" + Key + "\" is not followed by \"=\"");
        ++Position;
        while (Position < ConnInfo.size() && IsBlank(ConnInfo[Position]))
            ++Position;
        const std::string Value = ReadValue(ConnInfo, Position, Key);
        if (!Seen.insert(Key).second)
            Fail("\"" + Key + "\" is given twice");
        if (Key == "host")
            Info.Host = Value;
        else if (Key == "port")
            Info.Port = ParsePort(Value);
        else if (Key == "unix_socket")
            Info.UnixSocket = Value;
        else if (Key == "user")
            Info.User = Value;
        else if (Key == "password")
            Info.Password = Value;
        else if (Key == "database")
            Info.Database = Value;
        else
            Fail("unknown key \"" + Key +
                 "\" (known: host, port, unix_socket, user, password, database)");
    }
}

std::string TMariaDbConnInfo::Describe() const {
    std::string Description = "MariaDB database";
    if (!Database.empty())
        Description += " \"" + Database + "\"";
    if (!UnixSocket.empty())
        Description += " on " + UnixSocket;
    else if (!Host.empty())
        Description += " on " + Host + (Port != 0 ? ":" + std::to_string(Port) : "");
    return Description;
}

} // namespace vorn
