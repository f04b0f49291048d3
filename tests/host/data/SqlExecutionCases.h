#pragma once

// The rows and the clause texts that the execution tests of the SQL translator run
// on every backend, so that both backends are held to the same selections.

#include "host/components/text/AsciiText.h"
#include "host/components/text/CaseMapping.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace vorn::test {

using TIds = std::vector<int>;

struct TSelection {
    std::string Condition;
    TIds Ids; // the "Id" of every row the condition selects, ascending
};

// Statements that create the tables of the cases; every name is quoted, as the
// translator writes it, so that no backend folds its case.
inline std::vector<std::string> SqlCaseTables() {
    std::vector<std::string> Statements = {
        "CREATE TABLE \"People\" (\"Id\" INTEGER PRIMARY KEY, \"Name\" TEXT, \"Last Name\" "
        "TEXT, \"City\" TEXT, \"Phone\" TEXT, \"Age\" INTEGER, \"Salary\" INTEGER)",
        "CREATE TABLE \"Name Table\" (\"Last Name\" TEXT)",
        "INSERT INTO \"Name Table\" VALUES ('b'), ('a'), (NULL), ('b'), ('A')",
    };
    const char* const Rows[] = {
        "1, 'Smith', 'Smith', 'Paris', '555-1234', 30, 5000",
        "2, 'smith', 'smith', 'paris', NULL, 41, 4000",
        "3, 'O''Brien', 'O''Brien', 'London', '555-9876', 25, 6000",
        "4, 'a_b', 'a_b', 'Berlin', NULL, NULL, 100",
        "5, 'axb', 'axb', '', '1', 5, 200",
        "6, '50*', '50*', 'Rome', NULL, 4, NULL",
        "7, '500', '500', NULL, '2', 60, 7000",
        "8, 'Goldsmith', 'Goldsmith', 'PARIS', '3', 35, 5000",
        "9, 'SMITH', 'SMITH', 'Oslo', NULL, 29, 3000",
        "10, 'Smithers', 'Smithers', 'Paris', '4', 52, 9000",
        "11, NULL, NULL, 'Lyon', '5', 18, 1000",
        "12, 'a_bc', 'a_bc', 'Nice', NULL, 33, 300",
        "13, 'axbc', 'axbc', 'Nice', NULL, 34, 300",
        "14, 'Jones', 'Jones', 'Bern', NULL, 44, 4400",
        "15, 'a\\b', 'a\\b', 'Graz', NULL, 21, 2100",
        "16, '50%', '50%', 'Wien', NULL, 22, 2200",
        "17, ''' OR 1=1 --', ''' OR 1=1 --', 'Nowhere', NULL, 1, 1",
        "18, 'a*b', 'a*b', 'Bonn', NULL, 23, 2300",
        // Names in several scripts: letters with diacritics, Greek, Cyrillic, a letter that
        // upper-cases to two, letters without case, a character beyond the basic plane.
        "19, '\u0160aban', '\u0160aban', NULL, '9', NULL, NULL",
        "20, '\u0110or\u0111e', '\u0110or\u0111e', NULL, '9', NULL, NULL",
        "21, '\u010Ca\u010Dak', '\u010Ca\u010Dak', NULL, '9', NULL, NULL",
        "22, '\u0395\u03BB\u03BB\u03AC\u03B4\u03B1', '\u0395\u03BB\u03BB\u03AC\u03B4\u03B1', "
        "NULL, '9', NULL, NULL",
        "23, '\u0402\u043E\u0440\u0452\u0435', '\u0402\u043E\u0440\u0452\u0435', NULL, '9', "
        "NULL, NULL",
        "24, 'Stra\u00DFe', 'Stra\u00DFe', NULL, '9', NULL, NULL",
        "25, '\u5317\u4EAC \U0001F600', '\u5317\u4EAC \U0001F600', NULL, '9', NULL, NULL",
    };
    for (const char* Row : Rows)
        Statements.push_back(std::string("INSERT INTO \"People\" VALUES (") + Row + ")");
    return Statements;
}

// What the filter clause composer writes, and the rows each text means.
inline std::vector<TSelection> ComposedClauseCases() {
    return {
        {"UPPER([Last Name]) = 'O\\'BRIEN'", {3}},
        {"UPPER(City) = 'PARIS' OR Salary >= 5000", {1, 2, 3, 7, 8, 10}},
        {"Salary >= 5000 AND Phone IS NULL", {}},
        {"Salary >= 4000 AND Phone IS NULL", {2, 14}},
        {"UPPER(Name) STARTING WITH 'SM'", {1, 2, 9, 10}},
        {"Name CONTAINING 'ith'", {1, 2, 8, 9, 10}},
        {"Name LIKE '%ith%'", {1, 2, 8, 10}},
        {"UPPER(Name) LIKE '%ITH%'", {1, 2, 8, 9, 10}},
        {"UPPER(Name) LIKE 'A%B'", {4, 5, 15, 18}},
        {"UPPER(Name) LIKE 'A\\_B_'", {12}},
        {"Name LIKE '%ab%'", {19}},
        {"UPPER(Name) CONTAINING 'AB'", {19}},
        {"UPPER(Name) = '50*'", {6}},
        {"UPPER(Name) STARTING WITH ''",
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25}},
        {"Name LIKE 'a*b'", {18}},
        {"UPPER(Name) = 'SMITH' OR Age > 30", {1, 2, 7, 8, 9, 10, 12, 13, 14}},
        {"City IS NULL AND UPPER(Name) STARTING WITH 'SM'", {}},
        {"UPPER(Name) LIKE 'J_N%'", {14}},
        {"Name = 'Smith' AND City = ''", {}},
        {"Name = 'axb' AND City = ''", {5}},
        {"Phone IS NULL", {2, 4, 6, 9, 12, 13, 14, 15, 16, 17, 18}},
        {"Age = 5", {5}},
        {"Age < 5", {6, 17}},
        // Lists and ranges: both ends belong to a range; NULL is in no list and no range.
        {"UPPER(City) IN ('PARIS', 'NICE')", {1, 2, 8, 10, 12, 13}},
        {"Name IN ('a\\\\b', 'O\\'Brien', 'a_b')", {3, 4, 15}},
        {"Age IN (5, -1, 4.0)", {5, 6}},
        {"Age NOT IN (5, 4) AND Age < 20", {11, 17}},
        {"Age BETWEEN 29 AND 33", {1, 9, 12}},
        {"Age BETWEEN -1 AND 4.5", {6, 17}},
        {"Age NOT BETWEEN 5 AND 60", {6, 17}},
        {"UPPER(Name) BETWEEN 'G' AND 'JZ'", {8, 14}},
        {"NOT (Name IN ('Smith', 'Jones')) AND Salary BETWEEN 4000 AND 4400", {2}},
    };
}

inline std::vector<TSelection> TextOperatorCases() {
    return {
        // STARTING WITH: prefix, case-sensitive, its text has no wildcards.
        {"Name STARTING WITH 'Sm'", {1, 10}},
        {"Name STARTING WITH 'a_'", {4, 12}},
        {"Name STARTING WITH '50%'", {16}},
        {"Name STARTING WITH '50*'", {6}},
        {"Name STARTING WITH 'a\\\\'", {15}},
        {"Name NOT STARTING WITH 'a'",
         {1, 2, 3, 6, 7, 8, 9, 10, 14, 16, 17, 19, 20, 21, 22, 23, 24, 25}},
        // CONTAINING: substring, case-insensitive.
        {"Name CONTAINING 'SMI'", {1, 2, 8, 9, 10}},
        {"Name CONTAINING '_'", {4, 12}},
        {"Name CONTAINING '%'", {16}},
        {"Name CONTAINING '\\\\'", {15}},
        {"Name CONTAINING '\\''", {3, 17}},
        // LIKE: the literal's backslash pairs are the pattern's escapes.
        {"Name LIKE 'a\\_b'", {4}},
        {"Name LIKE 'a_b'", {4, 5, 15, 18}},
        {"Name LIKE '50\\%'", {16}},
        {"Name LIKE '50%'", {6, 7, 16}},
        {"Name LIKE 'a\\\\b'", {15}},
        {"Name LIKE 'O\\'%'", {3}},
        {"Name LIKE 'smith'", {2}},
        // Literals mean their text everywhere else.
        {"Name = 'O\\'Brien'", {3}},
        {"Name = 'a\\\\b'", {15}},
        {"[Last Name] = 'a\\_b'", {4}},
        {"Name = 'Smith'", {1}},
        {"UPPER(Name) = 'SMITH'", {1, 2, 9}},
        {"Name <> 'Smith' AND Age > 50", {7, 10}},
    };
}

// Under UTF-8 every letter folds, in the literal as in the field, the same way in C++ and
// in the database: the composer's upper-cased values, CONTAINING and UPPER(...) itself.
inline std::vector<TSelection> UnicodeFoldCases() {
    return {
        {"UPPER(Name) = '\u0160ABAN'", {19}},
        {"UPPER(Name) STARTING WITH '\u0160A'", {19}},
        {"Name CONTAINING '\u0161a'", {19}},
        {"UPPER([Last Name]) = '\u0110OR\u0110E'", {20}},
        {"Name CONTAINING '\u010D'", {21}},
        {"UPPER(Name) STARTING WITH '\u0395\u039B\u039B'", {22}},
        {"Name CONTAINING '\u03B5\u03BB\u03BB'", {22}},
        {"Name CONTAINING '\u0452'", {23}},
        {"UPPER(Name) = '\u0402\u041E\u0420\u0402\u0415'", {23}},
        {"UPPER(Name) = 'STRASSE'", {24}},
        {"Name CONTAINING 'strasse'", {24}},
        {"Name CONTAINING '\u5317\u4EAC'", {25}},
        {"Name CONTAINING '\U0001F600'", {25}},
        // Case-sensitive forms still tell the cases apart.
        {"Name STARTING WITH '\u0161a'", {}},
        {"Name LIKE '\u0110%'", {20}},
        {"Name LIKE '\u0111%'", {}},
    };
}

// WHERE clauses fold in the database: UPPER of a literal too.
inline std::vector<TSelection> UnicodeWhereCases() {
    return {
        {"UPPER(Name) = UPPER('\u0111OR\u0110E')", {20}},
        {"UPPER(Name) = UPPER('\u03B5\u03BB\u03BB\u03AC\u03B4\u03B1') OR Id = 1", {1, 22}},
        {"UPPER(Name) STARTING WITH UPPER('\u0161a')", {19}},
        {"Name CONTAINING UPPER(City) OR UPPER(Name) = UPPER('stra\u00DFe')", {5, 24}},
    };
}

// The names in several scripts, exactly as they were stored.
inline std::vector<std::string> UnicodeNames() {
    return {"\u0160aban",
            "\u0110or\u0111e",
            "\u010Ca\u010Dak",
            "\u0395\u03BB\u03BB\u03AC\u03B4\u03B1",
            "\u0402\u043E\u0440\u0452\u0435",
            "Stra\u00DFe",
            "\u5317\u4EAC \U0001F600"};
}

// The names of UnicodeNames as UpperCaseText folds them: what the database's upper case of
// each must be, so that the database filters as the components fold.
inline std::vector<std::string> UpperCasedUnicodeNames() {
    std::vector<std::string> Upper;
    for (const std::string& Name : UnicodeNames())
        Upper.push_back(UpperCaseText(Name));
    return Upper;
}

// Statements that read the rows of UnicodeNames: their names, their last names (the same
// texts) and their names upper-cased by the database.
inline constexpr const char* UnicodeNamesStatement =
    "SELECT Name FROM People WHERE Id >= 19 ORDER BY Id";
inline constexpr const char* UnicodeLastNamesStatement =
    "SELECT [Last Name] FROM People WHERE Id >= 19 ORDER BY Id";
inline constexpr const char* UpperCasedUnicodeNamesStatement =
    "SELECT UPPER(Name) FROM People WHERE Id >= 19 ORDER BY Id";

// Hostile values as the composer quotes them: each selects only a row that holds
// the value itself.
inline std::vector<TSelection> HostileValueCases() {
    return {
        {"Name = '\\' OR 1=1 --'", {17}},
        {"[Last Name] = '\\' OR 1=1 --'", {17}},
        {"Name LIKE '\\' OR 1=1 --'", {17}},
        {"Name STARTING WITH '\\' OR'", {17}},
        {"UPPER(Name) = 'X\\'; DROP TABLE PEOPLE; --'", {}},
        {"Id = 1", {1}},
    };
}

// Conditions of the WHERE form, whose structure the backend must read as written.
inline std::vector<TSelection> WhereClauseCases() {
    return {
        {"Age + 1 > 40 AND NOT (City = 'Paris' OR City IS NULL)", {2, 14}},
        {"(Age + 1) * 2 = 62", {1}},
        {"Id IN (1, 3, 5) AND Age BETWEEN 20 AND 30", {1, 3}},
        {"Id NOT IN (1, 2) AND Name || City = 'axb'", {5}},
        {"People.Salary - Age * 100 = 2000", {1}},
        {"Salary - -1000 = 6000", {1, 8}},
        {"Name LIKE City || '%'", {5}},
        {"Name STARTING WITH City", {5}},
        {"'x' || Name CONTAINING 'XA' || City", {5}},
    };
}

// A text of 60,000 bytes, more than SQLite takes as a LIKE pattern, holding the wildcards,
// the escape character and a quote.
inline std::string LongText() {
    std::string Text;
    while (Text.size() < 60000)
        Text += "Ab%_\\'x";
    Text.resize(60000);
    return Text;
}

// The text as a literal of the system's dialect.
inline std::string DialectLiteral(const std::string& Text) {
    std::string Literal = "'";
    for (char C : Text) {
        if (C == '\\' || C == '\'')
            Literal += '\\';
        Literal += C;
    }
    return Literal + "'";
}

// A LIKE pattern as a literal of the system's dialect, whose backslash pairs are the
// pattern's escapes.
inline std::string DialectLikeLiteral(const std::string& Pattern) {
    std::string Literal = "'";
    for (char C : Pattern) {
        if (C == '\'')
            Literal += '\\';
        Literal += C;
    }
    return Literal + "'";
}

// Text as a LIKE pattern (escape character "\") that matches that text.
inline std::string LikeEscaped(const std::string& Text) {
    std::string Pattern;
    for (char C : Text) {
        if (C == '%' || C == '_' || C == '\\')
            Pattern += '\\';
        Pattern += C;
    }
    return Pattern;
}

// The beginning of LongText whose escaped LIKE pattern, with Wildcards added, is Bytes
// long.
inline std::string LongTextPrefixForPattern(std::size_t Bytes, std::size_t Wildcards) {
    const std::string Text = LongText();
    std::size_t Size = Wildcards;
    std::size_t Length = 0;
    while (Size < Bytes && Length < Text.size()) {
        const char C = Text[Length++];
        Size += C == '%' || C == '_' || C == '\\' ? 2 : 1;
    }
    if (Size != Bytes)
        throw std::logic_error("no beginning of the long text makes a pattern of " +
                               std::to_string(Bytes) + " bytes");
    return Text.substr(0, Length);
}

// The rows of the long text cases: the text, and texts that begin with it, hold it in
// another case, or differ from it at the end.
inline std::vector<std::string> LongTextTable() {
    const std::string Text = LongText();
    const auto Quoted = [](const std::string& Value) {
        std::string Literal = "'";
        for (char C : Value) {
            if (C == '\'')
                Literal += '\'';
            Literal += C;
        }
        return Literal + "'";
    };
    std::string Differs = Text;
    Differs.back() = '!';
    return {
        "CREATE TABLE \"Long Texts\" (\"Id\" INTEGER PRIMARY KEY, \"Body\" TEXT)",
        "INSERT INTO \"Long Texts\" VALUES (1, " + Quoted(Text) + "), (2, " +
            Quoted(Text + "tail") + "), (3, " + Quoted("head" + Text) + "), (4, " +
            Quoted(LowerCaseAscii(Text)) + "), (5, " + Quoted(Differs) + "), (6, NULL), (7, 'Ab')",
    };
}

// STARTING WITH and CONTAINING take texts of any length, on either side of the length
// where SQLite stops taking them as LIKE patterns; LIKE takes patterns up to that length.
inline std::vector<TSelection> LongTextCases() {
    const std::string Text = LongText();
    const std::string Literal = DialectLiteral(Text);
    const std::string AtLimit = LongTextPrefixForPattern(50000, 1);
    const std::string PastLimit = LongTextPrefixForPattern(50001, 1);
    return {
        {"Body STARTING WITH " + Literal, {1, 2}},
        {"Body NOT STARTING WITH " + Literal, {3, 4, 5, 7}},
        {"UPPER(Body) STARTING WITH " + DialectLiteral(UpperCaseAscii(Text)), {1, 2, 4}},
        {"Body STARTING WITH " + DialectLiteral(AtLimit), {1, 2, 5}},
        {"Body STARTING WITH " + DialectLiteral(PastLimit), {1, 2, 5}},
        {"Body CONTAINING " + DialectLiteral(LowerCaseAscii(Text)), {1, 2, 3, 4}},
        {"Body NOT CONTAINING " + Literal, {5, 7}},
        {"Body CONTAINING " + DialectLiteral(LongTextPrefixForPattern(50000, 2)), {1, 2, 3, 4, 5}},
        {"Body CONTAINING " + DialectLiteral(LongTextPrefixForPattern(50001, 2)), {1, 2, 3, 4, 5}},
        {"Body LIKE " + DialectLikeLiteral(LikeEscaped(AtLimit) + "%"), {1, 2, 5}},
    };
}

// The value lists of the filter grid: distinct values, NULL first, then in the
// order of the values' bytes.
inline std::vector<std::string> DistinctCities() {
    return {"NULL", "",        "Berlin", "Bern",  "Bonn",  "Graz", "London", "Lyon",
            "Nice", "Nowhere", "Oslo",   "PARIS", "Paris", "Rome", "Wien",   "paris"};
}

inline std::vector<std::string> DistinctLastNames() {
    return {"NULL", "A", "a", "b"};
}

inline std::vector<std::string> ValueListStatements(const std::string& Table,
                                                    const std::string& Field) {
    return {"SELECT DISTINCT ValueTable.\"" + Field + "\" ValueField FROM \"" + Table +
                "\" ValueTable ORDER BY ValueField",
            "SELECT DISTINCT [" + Field + "] FROM [" + Table + "] ORDER BY [" + Field + "]"};
}

} // namespace vorn::test
