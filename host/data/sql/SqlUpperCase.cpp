#include "host/data/sql/SqlUpperCase.h"

#include "host/components/text/CaseMapping.h"
#include "host/components/text/CodePage.h"

#include <string_view>
#include <utility>
#include <vector>

namespace vorn {

namespace {

// A code point of the Basic Multilingual Plane in UTF-8.
std::string Utf8Of(char32_t C) {
    std::string Text;
    if (C < 0x80) {
        Text += static_cast<char>(C);
    } else if (C < 0x800) {
        Text += static_cast<char>(0xC0 | (C >> 6));
        Text += static_cast<char>(0x80 | (C & 0x3F));
    } else {
        Text += static_cast<char>(0xE0 | (C >> 12));
        Text += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Text += static_cast<char>(0x80 | (C & 0x3F));
    }
    return Text;
}

// Whether well-formed UTF-8 holds exactly one code point: its lead byte says how long
// that code point's sequence is.
bool IsSingleCodePoint(std::string_view Utf8) {
    if (Utf8.empty())
        return false;
    const auto Lead = static_cast<unsigned char>(Utf8[0]);
    const std::size_t Length = Lead < 0x80 ? 1 : Lead < 0xE0 ? 2 : Lead < 0xF0 ? 3 : 4;
    return Utf8.size() == Length;
}

// The characters that ICU upper-cases to several code points ("ß" to "SS"), each with its
// upper case. A server's UPPER maps one code point to one; these are replaced after it.
// All of them lie in the Basic Multilingual Plane.
const std::vector<std::pair<std::string, std::string>>& MultiCodePointUpperCases() {
    static const auto Pairs = [] {
        std::vector<std::pair<std::string, std::string>> Found;
        for (char32_t C = 0x80; C <= 0xFFFF; ++C) {
            if (C == 0xD800)
                C = 0xE000; // surrogates are no characters
            const std::string Text = Utf8Of(C);
            std::string Upper = UpperCaseUtf8(Text);
            if (!IsSingleCodePoint(Upper))
                Found.emplace_back(Text, std::move(Upper));
        }
        return Found;
    }();
    return Pairs;
}

// MariaDB's UPPER maps each code point by the simple mappings of the collation it runs
// under: the Unicode 14 collation has the same ones as ICU. The characters whose upper
// case has several code points are then replaced one by one. The result is compared by
// its code points, as the components compare folded text.
TSqlUpperCase MariaDbUnicodeUpperCase() {
    static const TSqlUpperCase Call = [] {
        TSqlUpperCase Call;
        const auto& Pairs = MultiCodePointUpperCases();
        for (std::size_t Count = 0; Count < Pairs.size(); ++Count)
            Call.Before += "REPLACE(";
        Call.Before = "(" + Call.Before + "UPPER(CAST(";
        Call.After = " AS CHAR CHARACTER SET utf8mb4) COLLATE utf8mb4_uca1400_as_cs)";
        for (const auto& [Character, Upper] : Pairs)
            Call.After += ", '" + Character + "', '" + Upper + "')";
        Call.After += " COLLATE utf8mb4_bin)";
        return Call;
    }();
    return Call;
}

// A to z only: the server's UPPER would fold every letter it knows. The cast takes the
// character set's default collation, which ignores case: the result is compared by its
// code points instead.
TSqlUpperCase MariaDbAsciiUpperCase() {
    TSqlUpperCase Call{"(", ""};
    for (char Letter = 'a'; Letter <= 'z'; ++Letter) {
        Call.Before += "REPLACE(";
        Call.After +=
            std::string(", '") + Letter + "', '" + static_cast<char>(Letter - 'a' + 'A') + "')";
    }
    Call.Before += "CAST(";
    Call.After = " AS CHAR CHARACTER SET utf8mb4)" + Call.After + " COLLATE utf8mb4_bin)";
    return Call;
}

} // namespace

TSqlUpperCase SqlUpperCase(TSqlBackend Backend) {
    const bool Unicode = HostCodePage() == cpUtf8;
    if (Backend == sbSQLite) {
        if (Unicode)
            return {std::string(SqliteUpperCaseFunction) + "(", ")"};
        return {"UPPER(", ")"};
    }
    if (Backend == sbMariaDB)
        return Unicode ? MariaDbUnicodeUpperCase() : MariaDbAsciiUpperCase();
    // The ICU collation gives upper() ICU's mapping; the outer one keeps comparisons of
    // the result in the database's own order rather than ICU's.
    if (Unicode)
        return {"(upper(CAST(", " AS text) COLLATE \"und-x-icu\") COLLATE \"default\")"};
    return {"translate(CAST(", " AS text), 'abcdefghijklmnopqrstuvwxyz', "
                               "'ABCDEFGHIJKLMNOPQRSTUVWXYZ')"};
}

std::string SqlUpperCaseOf(TSqlBackend Backend, const std::string& ArgumentSql) {
    const TSqlUpperCase Call = SqlUpperCase(Backend);
    return Call.Before + ArgumentSql + Call.After;
}

} // namespace vorn
