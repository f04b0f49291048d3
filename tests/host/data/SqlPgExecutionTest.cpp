#include "PgTestDatabase.h"
#include "SqlExecutionCases.h"

#include "host/data/sql/SqlDialect.h"
#include "tests/support/CodePageGuard.h"

#include <string>
#include <vector>

namespace vorn::test {

namespace {

using TTexts = std::vector<std::string>;

// The execution cases of the translator on the PostgreSQL test server.
class SqlPgExecution : public PgTest {
protected:
    void SetUp() override {
        PgTest::SetUp();
        if (!Connection)
            return;
        DropTables();
        // The statements are UTF-8 text, whatever code page the tests then run under.
        const TCodePageGuard Guard(cpUtf8);
        for (const std::string& Statement : SqlCaseTables())
            Exec(Statement);
    }

    void TearDown() override {
        if (Connection)
            DropTables();
        PgTest::TearDown();
    }

    void DropTables() {
        Exec("DROP TABLE IF EXISTS \"People\", \"Name Table\", \"Unicode Names\", "
             "\"Dates\", \"Long Texts\"");
    }

    // The first column of each row as text, "NULL" for a null.
    TTexts Rows(const TTranslatedSql& Translated) {
        const std::vector<TVariant> Params(Translated.Parameters.begin(),
                                           Translated.Parameters.end());
        TTexts Result;
        auto Cursor = Connection->Execute(Translated.Text, Params);
        while (Cursor->Next()) {
            const TVariant Value = Cursor->Value(0);
            Result.push_back(Value.IsNull() ? "NULL" : Value.AsString());
        }
        return Result;
    }

    void ExpectSelections(const std::vector<TSelection>& Cases, TSqlConditionForm Form,
                          const std::string& Table = "People") {
        for (const TSelection& Case : Cases) {
            SCOPED_TRACE("«" + Case.Condition.substr(0, 80) + "»");
            TTranslatedSql Translated = TranslateCondition(Case.Condition, sbPostgreSQL, Form);
            Translated.Text = "SELECT \"Id\" FROM \"" + Table + "\" WHERE " + Translated.Text +
                              " ORDER BY \"Id\"";
            TIds Ids;
            for (const std::string& Id : Rows(Translated))
                Ids.push_back(std::stoi(Id));
            EXPECT_EQ(Ids, Case.Ids);
        }
    }

    TTexts StatementRows(const std::string& Statement) {
        SCOPED_TRACE(Statement);
        return Rows(TranslateStatement(Statement, sbPostgreSQL));
    }
};

} // namespace

TEST_F(SqlPgExecution, ClauseTextsOfTheComposerSelectTheRowsTheyMean) {
    ExpectSelections(ComposedClauseCases(), scfSimpleFilter);
}

TEST_F(SqlPgExecution, TextOperatorsMatchByTheirOwnRules) {
    ExpectSelections(TextOperatorCases(), scfSimpleFilter);
}

TEST_F(SqlPgExecution, TextOperatorsMatchTextsLongerThanALikePattern) {
    for (const std::string& Statement : LongTextTable())
        Exec(Statement);
    ExpectSelections(LongTextCases(), scfSimpleFilter, "Long Texts");
}

TEST_F(SqlPgExecution, HostileValuesSelectOnlyRowsHoldingThemLiterally) {
    ExpectSelections(HostileValueCases(), scfSimpleFilter);
}

TEST_F(SqlPgExecution, WhereClausesKeepTheirMeaningOnTheBackend) {
    ExpectSelections(WhereClauseCases(), scfWhereClause);
}

TEST_F(SqlPgExecution, UnderUtf8EveryLetterFoldsAsTheComponentsFold) {
    TCodePageGuard Guard(cpUtf8);
    ExpectSelections(UnicodeFoldCases(), scfSimpleFilter);
    ExpectSelections(UnicodeWhereCases(), scfWhereClause);
    // The database's upper case of each name is the one UpperCaseText gives.
    EXPECT_EQ(StatementRows(UpperCasedUnicodeNamesStatement), UpperCasedUnicodeNames());
}

TEST_F(SqlPgExecution, NamesInEveryScriptReadBackByteForByte) {
    TCodePageGuard Guard(cpUtf8);
    EXPECT_EQ(StatementRows(UnicodeNamesStatement), UnicodeNames());
    EXPECT_EQ(StatementRows(UnicodeLastNamesStatement), UnicodeNames());
}

// NULLs first and byte order, as on SQLite, whatever the server's default order.
TEST_F(SqlPgExecution, ValueListStatementsListDistinctValuesInOrder) {
    for (const std::string& Statement : ValueListStatements("People", "City"))
        EXPECT_EQ(StatementRows(Statement), DistinctCities());
    for (const std::string& Statement : ValueListStatements("Name Table", "Last Name"))
        EXPECT_EQ(StatementRows(Statement), DistinctLastNames());
}

// Under a single-byte code page, even under a collation whose own upper() changes every
// letter, as on SQLite.
TEST_F(SqlPgExecution, UpperChangesOnlyAsciiLettersUnderASingleByteCodePage) {
    TCodePageGuard Guard(cpWindows1250);
    Exec("CREATE TABLE \"Unicode Names\" (\"Name\" TEXT COLLATE \"und-x-icu\")");
    // 0x9A is a small letter of the host code page, 0x8A its capital.
    Exec("INSERT INTO \"Unicode Names\" VALUES ('x\x9Ay')");
    EXPECT_EQ(StatementRows("SELECT UPPER(Name) FROM [Unicode Names]"), TTexts{"X\x9AY"});
    EXPECT_EQ(StatementRows("SELECT Name FROM [Unicode Names] WHERE UPPER(Name) = 'X\x9AY'"),
              TTexts{"x\x9Ay"});
    EXPECT_EQ(StatementRows("SELECT Name FROM [Unicode Names] WHERE Name CONTAINING '\x8A'"),
              TTexts{});
}

// The filter grid offers the text operators for dates too; SQLite matches any value
// by its text, and so must PostgreSQL.
TEST_F(SqlPgExecution, TextOperatorsMatchDatesAndNumbersByTheirText) {
    Exec("CREATE TABLE \"Dates\" (\"Id\" INTEGER, \"Born\" DATE, \"Code\" INTEGER)");
    Exec("INSERT INTO \"Dates\" VALUES (1, '1990-12-24', 415), (2, '2001-02-03', 514), "
         "(3, NULL, NULL)");
    const std::vector<std::pair<std::string, TTexts>> Cases = {
        {"Born STARTING WITH '1990'", {"1"}}, {"Born CONTAINING '-0'", {"2"}},
        {"Born LIKE '%-12-%'", {"1"}},        {"Born NOT LIKE '19%'", {"2"}},
        {"Code STARTING WITH '41'", {"1"}},   {"Code CONTAINING 1", {"1", "2"}},
        {"Born = '2001-02-03'", {"2"}},
    };
    for (const auto& [Condition, Ids] : Cases)
        EXPECT_EQ(StatementRows("SELECT Id FROM Dates WHERE " + Condition + " ORDER BY Id"), Ids);
}

} // namespace vorn::test
