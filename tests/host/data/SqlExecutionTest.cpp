#include "host/data/SqlDialect.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

using namespace vorn;

namespace {

using TIds = std::vector<int>;
using TTexts = std::vector<std::string>;

// An in-memory SQLite database set up as the SQLite connections of the data layer
// are (case-sensitive LIKE), holding the names, cities, phones and ages that the
// filter clauses of the components talk about.
class SqlExecution : public ::testing::Test {
protected:
    void SetUp() override {
        sqlite3* Raw = nullptr;
        ASSERT_EQ(sqlite3_open(":memory:", &Raw), SQLITE_OK);
        FDatabase.reset(Raw);
        Execute("PRAGMA case_sensitive_like=ON");
        Execute("CREATE TABLE People (Id INTEGER PRIMARY KEY, Name TEXT, \"Last Name\" TEXT, "
                "City TEXT, Phone TEXT, Age INTEGER, Salary INTEGER)");
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
        };
        for (const char* Row : Rows)
            Execute(std::string("INSERT INTO People VALUES (") + Row + ")");
        Execute("CREATE TABLE \"Name Table\" (\"Last Name\" TEXT)");
        Execute("INSERT INTO \"Name Table\" VALUES ('b'), ('a'), (NULL), ('b'), ('A')");
    }

    void Execute(const std::string& Sql) {
        char* Error = nullptr;
        const int Code = sqlite3_exec(FDatabase.get(), Sql.c_str(), nullptr, nullptr, &Error);
        const std::string Message = Error ? Error : "";
        sqlite3_free(Error);
        ASSERT_EQ(Code, SQLITE_OK) << Sql << ": " << Message;
    }

    // Runs translated SQL with its parameters bound as text; the first column of each
    // row as text, "NULL" for a null.
    TTexts Rows(const TTranslatedSql& Translated) {
        sqlite3_stmt* Raw = nullptr;
        const int Prepared =
            sqlite3_prepare_v2(FDatabase.get(), Translated.Text.c_str(), -1, &Raw, nullptr);
        std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> Statement(Raw,
                                                                             &sqlite3_finalize);
        EXPECT_EQ(Prepared, SQLITE_OK)
            << Translated.Text << ": " << sqlite3_errmsg(FDatabase.get());
        if (Prepared != SQLITE_OK)
            return {};
        EXPECT_EQ(sqlite3_bind_parameter_count(Raw),
                  static_cast<int>(Translated.Parameters.size()));
        for (std::size_t Index = 0; Index < Translated.Parameters.size(); ++Index) {
            const std::string& Value = Translated.Parameters[Index];
            sqlite3_bind_text(Raw, static_cast<int>(Index + 1), Value.data(),
                              static_cast<int>(Value.size()), SQLITE_TRANSIENT);
        }
        TTexts Result;
        int Step;
        while ((Step = sqlite3_step(Raw)) == SQLITE_ROW) {
            const auto* Text = reinterpret_cast<const char*>(sqlite3_column_text(Raw, 0));
            Result.push_back(Text ? Text : "NULL");
        }
        EXPECT_EQ(Step, SQLITE_DONE) << sqlite3_errmsg(FDatabase.get());
        return Result;
    }

    TIds IdsWhere(const std::string& Condition, TSqlConditionForm Form = scfSimpleFilter) {
        TTranslatedSql Translated = TranslateCondition(Condition, sbSQLite, Form);
        Translated.Text = "SELECT Id FROM People WHERE " + Translated.Text + " ORDER BY Id";
        TIds Ids;
        for (const std::string& Id : Rows(Translated))
            Ids.push_back(std::stoi(Id));
        return Ids;
    }

    TTexts StatementRows(const std::string& Statement) {
        return Rows(TranslateStatement(Statement, sbSQLite));
    }

private:
    std::unique_ptr<sqlite3, decltype(&sqlite3_close)> FDatabase{nullptr, &sqlite3_close};
};

struct TSelection {
    std::string Condition;
    TIds Ids;
};

void ExpectSelections(const std::vector<TSelection>& Cases,
                      const std::function<TIds(const std::string&)>& Select) {
    for (const TSelection& Case : Cases) {
        SCOPED_TRACE("«" + Case.Condition + "»");
        EXPECT_EQ(Select(Case.Condition), Case.Ids);
    }
}

} // namespace

TEST_F(SqlExecution, ClauseTextsOfTheComposerSelectTheRowsTheyMean) {
    ExpectSelections(
        {
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
            {"Name LIKE '%ab%'", {}},
            {"UPPER(Name) CONTAINING 'AB'", {}},
            {"UPPER(Name) = '50*'", {6}},
            {"UPPER(Name) STARTING WITH ''",
             {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 16, 17, 18}},
            {"Name LIKE 'a*b'", {18}},
            {"UPPER(Name) = 'SMITH' OR Age > 30", {1, 2, 7, 8, 9, 10, 12, 13, 14}},
            {"City IS NULL AND UPPER(Name) STARTING WITH 'SM'", {}},
            {"UPPER(Name) LIKE 'J_N%'", {14}},
            {"Name = 'Smith' AND City = ''", {}},
            {"Name = 'axb' AND City = ''", {5}},
            {"Phone IS NULL", {2, 4, 6, 9, 12, 13, 14, 15, 16, 17, 18}},
            {"Age = 5", {5}},
            {"Age < 5", {6, 17}},
        },
        [this](const std::string& Condition) { return IdsWhere(Condition); });
}

TEST_F(SqlExecution, TextOperatorsMatchByTheirOwnRules) {
    ExpectSelections(
        {
            // STARTING WITH: prefix, case-sensitive, its text has no wildcards.
            {"Name STARTING WITH 'Sm'", {1, 10}},
            {"Name STARTING WITH 'a_'", {4, 12}},
            {"Name STARTING WITH '50%'", {16}},
            {"Name STARTING WITH '50*'", {6}},
            {"Name STARTING WITH 'a\\\\'", {15}},
            {"Name NOT STARTING WITH 'a'", {1, 2, 3, 6, 7, 8, 9, 10, 14, 16, 17}},
            // CONTAINING: substring, case-insensitive for ASCII letters.
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
        },
        [this](const std::string& Condition) { return IdsWhere(Condition); });
}

TEST_F(SqlExecution, HostileValuesSelectOnlyRowsHoldingThemLiterally) {
    ExpectSelections(
        {
            {"Name = '\\' OR 1=1 --'", {17}},
            {"[Last Name] = '\\' OR 1=1 --'", {17}},
            {"Name LIKE '\\' OR 1=1 --'", {17}},
            {"Name STARTING WITH '\\' OR'", {17}},
            {"UPPER(Name) = 'X\\'; DROP TABLE PEOPLE; --'", {}},
        },
        [this](const std::string& Condition) { return IdsWhere(Condition); });
    EXPECT_EQ(IdsWhere("Id = 1"), TIds{1});
}

TEST_F(SqlExecution, WhereClausesKeepTheirMeaningOnTheBackend) {
    ExpectSelections(
        {
            {"Age + 1 > 40 AND NOT (City = 'Paris' OR City IS NULL)", {2, 14}},
            {"(Age + 1) * 2 = 62", {1}},
            {"Id IN (1, 3, 5) AND Age BETWEEN 20 AND 30", {1, 3}},
            {"Id NOT IN (1, 2) AND Name || City = 'axb'", {5}},
            {"People.Salary - Age * 100 = 2000", {1}},
            {"Salary - -1000 = 6000", {1, 8}},
            {"Name LIKE City || '%'", {5}},
        },
        [this](const std::string& Condition) { return IdsWhere(Condition, scfWhereClause); });
}

TEST_F(SqlExecution, ValueListStatementsListDistinctValuesInOrder) {
    const TTexts Cities = {"NULL",   "",     "Berlin", "Bern",    "Bonn", "Graz",
                           "London", "Lyon", "Nice",   "Nowhere", "Oslo", "PARIS",
                           "Paris",  "Rome", "Wien",   "paris"};
    EXPECT_EQ(StatementRows("SELECT DISTINCT ValueTable.\"City\" ValueField FROM \"People\" "
                            "ValueTable ORDER BY ValueField"),
              Cities);
    EXPECT_EQ(StatementRows("SELECT DISTINCT City FROM People ORDER BY City"), Cities);
    const TTexts Names = {"NULL", "A", "a", "b"};
    EXPECT_EQ(StatementRows("SELECT DISTINCT [Last Name] FROM [Name Table] ORDER BY [Last Name]"),
              Names);
    EXPECT_EQ(StatementRows("SELECT DISTINCT ValueTable.\"Last Name\" ValueField FROM \"Name "
                            "Table\" ValueTable ORDER BY ValueField"),
              Names);
}

TEST_F(SqlExecution, StatementsEvaluateAsTheTreeSays) {
    const std::vector<std::pair<std::string, std::string>> Cases = {
        {"SELECT 1 + 2 * 3", "7"},
        {"SELECT (1 + 2) * 3", "9"},
        {"SELECT 10 - (4 - 3)", "9"},
        {"SELECT 10 - 4 - 3", "3"},
        {"SELECT 'a' || 1 + 2", "a3"},
        {"SELECT ('a' || 1) || 2", "a12"},
        {"SELECT - -3", "3"},
        {"SELECT 2 * -3", "-6"},
        {"SELECT NOT 1 = 2", "1"},
        {"SELECT 'O\\'Brien'", "O'Brien"},
        {"SELECT COUNT(*) FROM People WHERE City CONTAINING 'PAR'", "4"},
        {"SELECT Name FROM People WHERE Id IN (SELECT Id FROM People WHERE Age > 50) ORDER BY "
         "Age DESC LIMIT 1",
         "500"},
        {"SELECT p.Name FROM People p INNER JOIN People q ON q.Id = p.Id + 1 WHERE q.Name = "
         "'smith'",
         "Smith"},
    };
    for (const auto& [Statement, Value] : Cases) {
        SCOPED_TRACE(Statement);
        EXPECT_EQ(StatementRows(Statement), TTexts{Value});
    }
}
