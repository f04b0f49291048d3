#include "SqlExecutionCases.h"

#include "host/data/drivers/sqlite/SqliteUpperCase.h"
#include "host/data/sql/SqlDialect.h"
#include "tests/support/CodePageGuard.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace vorn;
using namespace vorn::test;

namespace {

using TTexts = std::vector<std::string>;
using vorn::test::TCodePageGuard;

// An in-memory SQLite database set up as the SQLite connections of the data layer
// are (case-sensitive LIKE, ICU's upper-casing function), holding the rows of the
// execution cases.
class SqlExecution : public ::testing::Test {
protected:
    void SetUp() override {
        sqlite3* Raw = nullptr;
        ASSERT_EQ(sqlite3_open(":memory:", &Raw), SQLITE_OK);
        FDatabase.reset(Raw);
        RegisterSqliteUpperCase(Raw);
        Execute("PRAGMA case_sensitive_like=ON");
        for (const std::string& Statement : SqlCaseTables())
            Execute(Statement);
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

    void ExpectSelections(const std::vector<TSelection>& Cases, TSqlConditionForm Form,
                          const std::string& Table = "People") {
        for (const TSelection& Case : Cases) {
            SCOPED_TRACE("«" + Case.Condition.substr(0, 80) + "»");
            TTranslatedSql Translated = TranslateCondition(Case.Condition, sbSQLite, Form);
            Translated.Text = "SELECT \"Id\" FROM \"" + Table + "\" WHERE " + Translated.Text +
                              " ORDER BY \"Id\"";
            TIds Ids;
            for (const std::string& Id : Rows(Translated))
                Ids.push_back(std::stoi(Id));
            EXPECT_EQ(Ids, Case.Ids);
        }
    }

    // SQLite's complaint about translated SQL it cannot compile; empty when it can.
    std::string CompileError(const std::string& Sql) {
        sqlite3_stmt* Raw = nullptr;
        const int Prepared = sqlite3_prepare_v2(FDatabase.get(), Sql.c_str(), -1, &Raw, nullptr);
        sqlite3_finalize(Raw);
        return Prepared == SQLITE_OK ? "" : sqlite3_errmsg(FDatabase.get());
    }

    TTexts StatementRows(const std::string& Statement) {
        SCOPED_TRACE(Statement);
        return Rows(TranslateStatement(Statement, sbSQLite));
    }

private:
    std::unique_ptr<sqlite3, decltype(&sqlite3_close)> FDatabase{nullptr, &sqlite3_close};
};

} // namespace

TEST_F(SqlExecution, ClauseTextsOfTheComposerSelectTheRowsTheyMean) {
    ExpectSelections(ComposedClauseCases(), scfSimpleFilter);
}

TEST_F(SqlExecution, TextOperatorsMatchByTheirOwnRules) {
    ExpectSelections(TextOperatorCases(), scfSimpleFilter);
}

TEST_F(SqlExecution, TextOperatorsMatchTextsLongerThanALikePattern) {
    for (const std::string& Statement : LongTextTable())
        Execute(Statement);
    ExpectSelections(LongTextCases(), scfSimpleFilter, "Long Texts");
}

TEST_F(SqlExecution, HostileValuesSelectOnlyRowsHoldingThemLiterally) {
    ExpectSelections(HostileValueCases(), scfSimpleFilter);
}

TEST_F(SqlExecution, WhereClausesKeepTheirMeaningOnTheBackend) {
    ExpectSelections(WhereClauseCases(), scfWhereClause);
}

TEST_F(SqlExecution, UnderUtf8EveryLetterFoldsAsTheComponentsFold) {
    TCodePageGuard Guard(cpUtf8);
    ExpectSelections(UnicodeFoldCases(), scfSimpleFilter);
    ExpectSelections(UnicodeWhereCases(), scfWhereClause);
    // The database's upper case of each name is the one UpperCaseText gives.
    EXPECT_EQ(StatementRows(UpperCasedUnicodeNamesStatement), UpperCasedUnicodeNames());
}

TEST_F(SqlExecution, NamesInEveryScriptReadBackByteForByte) {
    TCodePageGuard Guard(cpUtf8);
    EXPECT_EQ(StatementRows(UnicodeNamesStatement), UnicodeNames());
    EXPECT_EQ(StatementRows(UnicodeLastNamesStatement), UnicodeNames());
}

TEST_F(SqlExecution, ValueListStatementsListDistinctValuesInOrder) {
    for (const std::string& Statement : ValueListStatements("People", "City"))
        EXPECT_EQ(StatementRows(Statement), DistinctCities());
    for (const std::string& Statement : ValueListStatements("Name Table", "Last Name"))
        EXPECT_EQ(StatementRows(Statement), DistinctLastNames());
    EXPECT_EQ(StatementRows("SELECT DISTINCT City FROM People ORDER BY City"), DistinctCities());
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
    for (const auto& [Statement, Value] : Cases)
        EXPECT_EQ(StatementRows(Statement), TTexts{Value});
}

// Damaged texts either raise ESqlSyntaxError or become SQL that SQLite can read:
// whatever the translator accepts, it writes well-formed.
TEST_F(SqlExecution, DamagedTextsAreRefusedOrWrittenWellFormed) {
    const std::vector<std::string> Seeds = {
        "UPPER([Last Name]) = 'O\\'BRIEN' OR Salary >= 5000",
        "Name CONTAINING 'ith' AND NOT (City STARTING WITH 'P' OR Phone IS NULL)",
        "UPPER(Name) LIKE 'A\\_B_' AND Age BETWEEN 1 AND 3 OR Id IN (1, 2)",
        "SELECT DISTINCT ValueTable.\"City\" ValueField FROM \"People\" ValueTable ORDER BY "
        "ValueField",
        "SELECT p.Name, COUNT(*) FROM People p WHERE p.Age - -1 > 2 * (3 + Age) GROUP BY p.Name",
    };
    const std::vector<std::string> Fragments = {"(",
                                                ")",
                                                "'",
                                                "\\",
                                                "[",
                                                "]",
                                                "\"",
                                                " AND ",
                                                " OR ",
                                                " NOT ",
                                                "=",
                                                "-",
                                                "*",
                                                ",",
                                                ".",
                                                " STARTING WITH ",
                                                " CONTAINING ",
                                                " LIKE ",
                                                " IS NULL",
                                                "1",
                                                "'x'",
                                                "Name",
                                                " SELECT ",
                                                " FROM ",
                                                "||",
                                                "%",
                                                "_",
                                                "UPPER(",
                                                " ",
                                                "e",
                                                "\x9A"};
    std::mt19937 Random(4242);
    int Accepted = 0;
    for (int Round = 0; Round < 4000; ++Round) {
        std::string Text = Seeds[Random() % Seeds.size()];
        for (int Damage = 1 + static_cast<int>(Random() % 3); Damage > 0; --Damage) {
            const std::size_t At = Random() % (Text.size() + 1);
            if (Random() % 3 == 0)
                Text.erase(At, Random() % 4);
            else
                Text.insert(At, Fragments[Random() % Fragments.size()]);
        }
        SCOPED_TRACE("«" + Text + "»");
        const bool Statement = Text.find("SELECT") != std::string::npos;
        for (TSqlConditionForm Form : {scfSimpleFilter, scfWhereClause}) {
            auto Translate = [&](TSqlBackend Backend) {
                return Statement ? TranslateStatement(Text, Backend)
                                 : TranslateCondition(Text, Backend, Form);
            };
            TTranslatedSql Translated;
            try {
                Translated = Translate(sbSQLite);
                Translate(sbPostgreSQL);
            } catch (const ESqlSyntaxError&) {
                continue;
            }
            ++Accepted;
            const std::string Sql =
                Statement ? Translated.Text : "SELECT Id FROM People WHERE " + Translated.Text;
            const std::string Error = CompileError(Sql);
            EXPECT_EQ(Error.find("syntax error"), std::string::npos) << Sql << ": " << Error;
            EXPECT_EQ(Error.find("unrecognized token"), std::string::npos) << Sql << ": " << Error;
        }
    }
    // The damage must leave enough texts intact for the check to mean something.
    EXPECT_GT(Accepted, 400) << Accepted;
}
