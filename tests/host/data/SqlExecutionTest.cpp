#include "SqlExecutionCases.h"

#include "host/data/SqlDialect.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

using namespace vorn;
using namespace vorn::test;

namespace {

using TTexts = std::vector<std::string>;

// An in-memory SQLite database set up as the SQLite connections of the data layer
// are (case-sensitive LIKE), holding the rows of the execution cases.
class SqlExecution : public ::testing::Test {
protected:
    void SetUp() override {
        sqlite3* Raw = nullptr;
        ASSERT_EQ(sqlite3_open(":memory:", &Raw), SQLITE_OK);
        FDatabase.reset(Raw);
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

    void ExpectSelections(const std::vector<TSelection>& Cases, TSqlConditionForm Form) {
        for (const TSelection& Case : Cases) {
            SCOPED_TRACE("«" + Case.Condition + "»");
            TTranslatedSql Translated = TranslateCondition(Case.Condition, sbSQLite, Form);
            Translated.Text =
                "SELECT \"Id\" FROM \"People\" WHERE " + Translated.Text + " ORDER BY \"Id\"";
            TIds Ids;
            for (const std::string& Id : Rows(Translated))
                Ids.push_back(std::stoi(Id));
            EXPECT_EQ(Ids, Case.Ids);
        }
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

TEST_F(SqlExecution, HostileValuesSelectOnlyRowsHoldingThemLiterally) {
    ExpectSelections(HostileValueCases(), scfSimpleFilter);
}

TEST_F(SqlExecution, WhereClausesKeepTheirMeaningOnTheBackend) {
    ExpectSelections(WhereClauseCases(), scfWhereClause);
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
