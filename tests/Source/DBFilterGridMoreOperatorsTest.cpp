#include "tests/Source/DBFilterGridBackendTest.h"
#include "tests/Source/DBFilterGridEditorTest.h"

#include "Source/VornDataResources.h"
#include "host/components/text/AsciiText.h"
#include "host/data/dataset/DataSource.h"
#include "host/data/dataset/Field.h"
#include "host/data/dataset/Table.h"
#include "tests/Source/TestTables.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

// Reaches the grid's row hooks, which only the expression builder calls.
struct TMoreOperatorsTestAccess {
    static std::optional<TFilterMoreOperatorIndex> RowMore(const TDBFilterGrid& Grid, int Row) {
        return Grid.GetRowOperator(Row, Grid.FilterCellText(fciLeftArg, Row)).More;
    }
    static std::string RowSQLOperator(const TDBFilterGrid& Grid, int Row) {
        return Grid.GetRowOperator(Row, Grid.FilterCellText(fciLeftArg, Row)).SQLOperator;
    }
    // The condition of the row's more operator, which the row must have.
    static std::string Compose(const TDBFilterGrid& Grid, int Row) {
        const std::string Field = Grid.FilterCellText(fciLeftArg, Row);
        const auto More = Grid.GetRowOperator(Row, Field).More;
        if (!More)
            throw Exception("no more operator in row " + std::to_string(Row));
        return Grid.ComposeMoreOperator(*More, Field, Grid.FilterCellText(fciRightArg, Row), Row);
    }
};

namespace test {
namespace {

using namespace testtables;
using TIds = std::vector<int>;

// A filter grid with the more operators on the table Things: a text, an integer, a float,
// a date and a boolean field, with blanks, NULLs and the characters that literals and
// patterns treat specially among the names.
class MoreOperatorsTest : public FilterGridBackendTest {
protected:
    void SetUp() override {
        FilterGridBackendTest::SetUp();
        Database->Execute("CREATE TABLE \"Things\" (\"Id\" INTEGER PRIMARY KEY, \"Name\" "
                          "VARCHAR(20), \"Qty\" INTEGER, \"Price\" DOUBLE PRECISION, \"Born\" "
                          "DATE, \"Active\" BOOLEAN, \"Nick Name\" VARCHAR(20))");
        Database->Execute(
            "INSERT INTO \"Things\" VALUES (1, 'Anderson', 10, 1.5, '2020-01-01', TRUE, 'Al'), "
            "(2, 'smithSON', 20, 2.25, '2020-06-15', FALSE, NULL), (3, 'Jones', NULL, NULL, "
            "NULL, NULL, NULL), (4, '', 30, 3.0, '2021-03-01', TRUE, ''), (5, NULL, 5, 0.5, "
            "'2019-12-31', FALSE, 'Bo'), (6, 'O''Brien', 15, 10.0, '2020-12-31', TRUE, NULL), "
            "(7, 'a;b', 25, 2.5, '2022-01-01', FALSE, NULL), (8, '50%off', 40, 4.0, "
            "'2020-02-02', TRUE, NULL), (9, 'x\\y', 35, 3.5, '2021-07-07', FALSE, NULL)");
        OpenGridOn("Things");
        Grid->SetFilterBuilderOptions({fboMoreOperators});
    }

    int OperatorCol() const { return Grid->FilterColumn(fciOperator); }
    int ValueCol() const { return Grid->FilterColumn(fciRightArg); }

    // Replaces the filter rows with Rows (field, operator, value, connector).
    void SetRows(const std::vector<std::array<std::string, 4>>& Rows) {
        Grid->SetRowCount(Grid->FixedRows() + static_cast<int>(Rows.size()));
        for (int Row = 0; Row < static_cast<int>(Rows.size()); ++Row)
            for (int Column = fciLeftArg; Column <= fciBoolOperator; ++Column)
                Grid->SetCells(
                    Grid->FilterColumn(static_cast<TFilterColumnIndex>(Column)),
                    Grid->FixedRows() + Row,
                    Rows[static_cast<std::size_t>(Row)][static_cast<std::size_t>(Column)]);
    }
    void SetRow(const std::string& Field, const std::string& Operator, const std::string& Value) {
        SetRows({{Field, Operator, Value, ""}});
    }

    // The Ids of the rows that the table shows under Condition as its filter.
    TIds FilteredIds(const std::string& Condition) {
        Table->SetFilter(Condition);
        Table->SetFiltered(true);
        TIds Ids;
        for (Table->First(); !Table->Eof(); Table->Next())
            Ids.push_back(static_cast<int>(Table->FieldByName("Id")->AsInteger()));
        Table->SetFiltered(false);
        std::sort(Ids.begin(), Ids.end());
        return Ids;
    }

    std::string ComposeError() {
        try {
            return "(no exception; result \"" + TMoreOperatorsTestAccess::Compose(*Grid, 1) + "\")";
        } catch (const Exception& Error) {
            return Error.Message();
        }
    }

    TFilterGridUser User{Grid};
};

// Each operator on each kind of field writes one condition, and the database selects
// exactly the rows the condition means.
TEST_P(MoreOperatorsTest, ConditionsSelectTheRowsTheyMean) {
    struct TCase {
        const char* Field;
        const char* Operator;
        const char* Value;
        TFilterGridOptions Options;
        const char* Condition;
        TIds Ids;
        const char* Wildcards = "*?";
    };
    const TCase Cases[] = {
        {"Name", "BETWEEN", "a; m", {}, "UPPER(Name) BETWEEN 'A' AND 'M'", {1, 3, 7}},
        {"Name", "BETWEEN", "A;Z", {fgoCaseSensitive}, "Name BETWEEN 'A' AND 'Z'", {1, 3, 6}},
        {"Name",
         "IN",
         "anderson; o'brien ;a\\;b",
         {},
         "UPPER(Name) IN ('ANDERSON', 'O\\'BRIEN', 'A;B')",
         {1, 6, 7}},
        {"Name", "IN", "x\\y", {}, "UPPER(Name) IN ('X\\\\Y')", {9}},
        {"Name", "IN", "smithSON", {fgoCaseSensitive}, "Name IN ('smithSON')", {2}},
        {"Name", "IS BLANK", "", {}, "(Name IS NULL OR Name = '')", {4, 5}},
        {"Name",
         "IS NOT BLANK",
         "ignored",
         {},
         "(Name IS NOT NULL AND Name <> '')",
         {1, 2, 3, 6, 7, 8, 9}},
        {"Name", "ENDING WITH", "son", {}, "UPPER(Name) LIKE '%SON'", {1, 2}},
        {"Name", "ENDING WITH", "son", {fgoCaseSensitive}, "Name LIKE '%son'", {1}},
        {"Name", "ENDING WITH", "%off", {}, "UPPER(Name) LIKE '%\\%OFF'", {8}},
        {"Name", "ENDING WITH", "'brien", {}, "UPPER(Name) LIKE '%\\'BRIEN'", {6}},
        {"Name", "ENDING WITH", "\\y", {}, "UPPER(Name) LIKE '%\\\\Y'", {9}},
        {"Name", "NOT CONTAINING", "o", {}, "NOT (Name CONTAINING 'o')", {4, 7, 9}},
        {"Name", "NOT CONTAINING", "%", {}, "NOT (Name CONTAINING '%')", {1, 2, 3, 4, 6, 7, 9}},
        // Not containing reads its value literally, whatever the wildcards, and treats
        // letter case as the containing condition does.
        {"Name",
         "NOT CONTAINING",
         "*o",
         {},
         "NOT (Name CONTAINING '*o')",
         {1, 2, 3, 4, 6, 7, 8, 9}},
        {"Name",
         "NOT CONTAINING",
         "O",
         {fgoCaseSensitive},
         "NOT (Name LIKE '%O%')",
         {1, 3, 4, 7, 8, 9}},
        {"Name",
         "NOT CONTAINING",
         "o",
         {fgoCaseSensitiveContaining},
         "NOT (UPPER(Name) CONTAINING 'O')",
         {4, 7, 9}},
        // A value that reads as one literal is matched as the text typed, quotes included.
        {"Name",
         "NOT CONTAINING",
         "'x\\y'",
         {},
         "NOT (Name CONTAINING '\\'x\\\\y\\'')",
         {1, 2, 3, 4, 6, 7, 8, 9}},
        {"Name",
         "NOT CONTAINING",
         "'x\\y'",
         {fgoCaseSensitive},
         "NOT (Name LIKE '%\\'x\\\\y\\'%')",
         {1, 2, 3, 4, 6, 7, 8, 9}},
        {"Name",
         "NOT CONTAINING",
         "''",
         {fgoCaseSensitive},
         "NOT (Name LIKE '%\\'\\'%')",
         {1, 2, 3, 4, 6, 7, 8, 9}},
        {"Name",
         "NOT CONTAINING",
         "x\\y",
         {},
         "NOT (Name CONTAINING 'x\\\\y')",
         {1, 2, 3, 4, 6, 7, 8},
         ""},
        {"Nick Name",
         "IS BLANK",
         "",
         {},
         "([Nick Name] IS NULL OR [Nick Name] = '')",
         {2, 3, 4, 6, 7, 8, 9}},
        {"[Nick Name]", "IN", "al", {}, "UPPER([Nick Name]) IN ('AL')", {1}},
        {"Qty", "BETWEEN", "10;20", {}, "Qty BETWEEN 10 AND 20", {1, 2, 6}},
        {"Qty", "IN", "5; 40", {}, "Qty IN (5, 40)", {5, 8}},
        {"Qty", "IS BLANK", "", {}, "Qty IS NULL", {3}},
        {"Qty", "IS NOT BLANK", "", {}, "Qty IS NOT NULL", {1, 2, 4, 5, 6, 7, 8, 9}},
        {"Price", "BETWEEN", "1.5;2.5", {}, "Price BETWEEN 1.5 AND 2.5", {1, 2, 7}},
        {"Price", "IN", "0.5;1e1", {}, "Price IN (0.5, 1e1)", {5, 6}},
        {"Price", "IS BLANK", "", {}, "Price IS NULL", {3}},
        {"Born",
         "BETWEEN",
         "2020-01-01;2020-12-31",
         {},
         "Born BETWEEN '2020-01-01' AND '2020-12-31'",
         {1, 2, 6, 8}},
        {"Born", "IN", "2019-12-31;2022-01-01", {}, "Born IN ('2019-12-31', '2022-01-01')", {5, 7}},
        {"Born", "IS BLANK", "", {}, "Born IS NULL", {3}},
        {"Born", "IS NOT BLANK", "", {}, "Born IS NOT NULL", {1, 2, 4, 5, 6, 7, 8, 9}},
        {"Born", "ENDING WITH", "-31", {}, "Born LIKE '%-31'", {5, 6}},
        {"Born", "NOT CONTAINING", "2020", {}, "NOT (Born CONTAINING '2020')", {4, 5, 7, 9}},
        {"Active", "IN", "true", {}, "Active IN (true)", {1, 4, 6, 8}},
        {"Active", "IS BLANK", "", {}, "Active IS NULL", {3}},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(std::string(Case.Field) + " " + Case.Operator + " «" + Case.Value + "»");
        Grid->SetWildcards(Case.Wildcards);
        Grid->SetFilterGridOptions(Case.Options);
        SetRow(Case.Field, Case.Operator, Case.Value);
        const std::string Condition = TMoreOperatorsTestAccess::Compose(*Grid, 1);
        EXPECT_EQ(Condition, Case.Condition);
        EXPECT_EQ(FilteredIds(Condition), Case.Ids);
    }
}

// The expression joins the more operators' conditions with the others; the correcting
// path writes each operator back under the grid's own name.
TEST_P(MoreOperatorsTest, ExpressionsJoinMoreOperatorsWithTheOtherConditions) {
    struct TCase {
        std::vector<std::array<std::string, 4>> Rows;
        TFilterBuilderOptions Builder;
        const char* Expression;
        TIds Ids;
        std::vector<std::string> OperatorsAfter;
    };
    const TCase Cases[] = {
        {{{"Name", "ends with", "son", "or"}, {"Qty", "BETWEEN", "30; 40", ""}},
         {fboMoreOperators},
         "UPPER(Name) LIKE '%SON' OR Qty BETWEEN 30 AND 40",
         {1, 2, 4, 8, 9},
         {"ends with", "between"}},
        {{{"Name", "is bl", "", "and"},
          {"Born", "does not contain", "2021", "and"},
          {"Qty", "larger", "1", ""}},
         {fboMoreOperators},
         "(Name IS NULL OR Name = '') AND NOT (Born CONTAINING '2021') AND Qty > 1",
         {5},
         {"is blank", "does not contain", "larger"}},
        {{{"[Nick Name]", "in list", "al;bo", "or"}, {"Price", "is not blank", "", ""}},
         {fboMoreOperators, fboGroups},
         "UPPER([Nick Name]) IN ('AL', 'BO') OR Price IS NOT NULL",
         {1, 2, 4, 5, 6, 7, 8, 9},
         {"in list", "is not blank"}},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Expression);
        Grid->SetFilterBuilderOptions(Case.Builder);
        Grid->OperatorNames = fonEnglish;
        Grid->MoreOperatorNames = fmonEnglish;
        SetRows(Case.Rows);
        const std::string Expression = Grid->GetFilterExpression();
        EXPECT_EQ(Expression, Case.Expression);
        EXPECT_EQ(FilteredIds(Expression), Case.Ids);
        for (std::size_t Row = 0; Row < Case.OperatorsAfter.size(); ++Row)
            EXPECT_EQ(Grid->Cells(OperatorCol(), Grid->FixedRows() + static_cast<int>(Row)),
                      Case.OperatorsAfter[Row]);
    }
}

TEST_P(MoreOperatorsTest, WrongValuesAreRefusedNamingTheRow) {
    struct TCase {
        const char* Field;
        const char* Operator;
        std::string Value;
        const char* Message;
    };
    const std::string Prefix = "TDBFilterGrid.GetFilterExpression() ";
    const TCase Cases[] = {
        {"Qty", "BETWEEN", "1", "BETWEEN in row 1 takes two values separated by ';'."},
        {"Name", "BETWEEN", "a;b;c", "BETWEEN in row 1 takes two values separated by ';'."},
        {"Name", "BETWEEN", "a; ", "BETWEEN in row 1 takes two values separated by ';'."},
        {"Qty", "IN", "", "IN in row 1 takes one or more values separated by ';'."},
        {"Name", "IN", "a;;b", "IN in row 1 takes one or more values separated by ';'."},
        {"Qty", "IN", "1;x", "Value 'x' of field \"Qty\" is not a number (IN in row 1)."},
        {"Price", "BETWEEN", "1;2,5",
         "Value '2,5' of field \"Price\" is not a number (BETWEEN "
         "in row 1)."},
        {"Active", "IN", "yes",
         "Value 'yes' of field \"Active\" is neither true nor false (IN "
         "in row 1)."},
        {"Name", "ENDING WITH", "", "ENDING WITH in row 1 takes a value."},
        {"Name", "NOT CONTAINING", " ", "NOT CONTAINING in row 1 takes a value."},
        {"Qty", "ENDING WITH", "5", "ENDING WITH in row 1 does not apply to field \"Qty\"."},
        {"Active", "NOT CONTAINING", "true",
         "NOT CONTAINING in row 1 does not apply to field \"Active\"."},
        {"Name", "IN", std::string("a\0b", 3), "IN in row 1 has a value holding a NUL character."},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(std::string(Case.Operator) + " «" + Case.Value + "»");
        SetRow(Case.Field, Case.Operator, Case.Value);
        EXPECT_EQ(ComposeError(), Prefix + Case.Message);
    }
}

// Every vocabulary names the more operators, and the filter syntax's own names are read
// under any of them; today's operators keep their meaning.
TEST_P(MoreOperatorsTest, OperatorCellsNameMoreOperatorsInEveryVocabulary) {
    const TFilterMoreOperatorNames* Vocabularies[] = {&fmonComputer, &fmonEnglish, &fmonSerbian};
    for (const TFilterMoreOperatorNames* Names : Vocabularies) {
        Grid->MoreOperatorNames = *Names;
        for (int Index = fmoBetween; Index <= fmoNotContaining; ++Index) {
            const auto More = static_cast<TFilterMoreOperatorIndex>(Index);
            const std::string Own = Grid->MoreOperatorNames[static_cast<std::size_t>(Index)];
            const std::string Computer = fmonComputer[static_cast<std::size_t>(Index)];
            for (const std::string& Text : {Own, " " + UpperCaseAscii(Own) + "\t", Computer}) {
                SCOPED_TRACE("«" + Text + "»");
                SetRow("Name", Text, "a");
                EXPECT_EQ(TMoreOperatorsTestAccess::RowMore(*Grid, 1), More);
                EXPECT_EQ(TMoreOperatorsTestAccess::RowSQLOperator(*Grid, 1), Computer);
            }
        }
        SetRow("Name", "<>", "a");
        EXPECT_EQ(TMoreOperatorsTestAccess::RowMore(*Grid, 1), std::nullopt);
        EXPECT_EQ(TMoreOperatorsTestAccess::RowSQLOperator(*Grid, 1), "<>");
    }
}

TEST_P(MoreOperatorsTest, StrictOperatorsCheckTheFitOrCorrectToTheClosestName) {
    struct TCase {
        const char* Field;
        const char* Operator;
        TFilterGridOptions Options;
        std::optional<TFilterMoreOperatorIndex> More;
        const char* SQLOperator; // empty: raises Message
        const char* Message;
    };
    const TCase Cases[] = {
        {"Qty",
         "ENDING WITH",
         {fgoStrictOperators},
         std::nullopt,
         "",
         "TDBFilterGrid.OperatorNameToIndexStrict() Operator \"ENDING WITH\" not applicable to "
         "field \"Qty\"."},
        {"Born", "ends with", {fgoStrictOperators}, fmoEndsWith, "ENDING WITH", ""},
        {"Qty", "between", {fgoStrictOperators}, fmoBetween, "BETWEEN", ""},
        {"Qty", "ends with", {}, fmoEndsWith, "ENDING WITH", ""},
        {"Qty",
         "ends",
         {fgoStrictOperators},
         std::nullopt,
         "",
         "TDBFilterGrid.OperatorNameToIndex() Unknown operator name: 'ends'."},
        // Correcting: the name with the longest common start over both lists, the shorter
        // one among equals; of the more operators only those that fit the field.
        {"Name", "ends", {fgoStrictOperators, fgoCorrect}, fmoEndsWith, "ENDING WITH", ""},
        {"Qty", "ends", {fgoStrictOperators, fgoCorrect}, std::nullopt, "=", ""},
        {"Name", "in l", {fgoStrictOperators, fgoCorrect}, fmoInList, "IN", ""},
        {"Name", "is b", {fgoStrictOperators, fgoCorrect}, fmoIsBlank, "IS BLANK", ""},
        {"Name", "is n", {fgoStrictOperators, fgoCorrect}, std::nullopt, "IS NULL", ""},
        {"Name", "is not b", {fgoStrictOperators, fgoCorrect}, fmoIsNotBlank, "IS NOT BLANK", ""},
        {"Name", "do", {fgoStrictOperators, fgoCorrect}, fmoNotContaining, "NOT CONTAINING", ""},
        {"Name", "cont", {fgoStrictOperators, fgoCorrect}, std::nullopt, "CONTAINING", ""},
        {"Name",
         "zz",
         {fgoStrictOperators, fgoCorrect, fgoExceptions},
         std::nullopt,
         "",
         "GetOpCell() Bad operator."},
    };
    Grid->OperatorNames = fonEnglish;
    Grid->MoreOperatorNames = fmonEnglish;
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(std::string(Case.Field) + " «" + Case.Operator + "»");
        Grid->SetFilterGridOptions(Case.Options);
        SetRow(Case.Field, Case.Operator, "");
        if (*Case.SQLOperator == '\0') {
            try {
                TMoreOperatorsTestAccess::RowMore(*Grid, 1);
                ADD_FAILURE() << "no exception";
            } catch (const Exception& Error) {
                EXPECT_EQ(Error.Message(), Case.Message);
            }
            continue;
        }
        EXPECT_EQ(TMoreOperatorsTestAccess::RowMore(*Grid, 1), Case.More);
        EXPECT_EQ(TMoreOperatorsTestAccess::RowSQLOperator(*Grid, 1), Case.SQLOperator);
    }
}

// Without the option the more operators' names are plain operator text, as they always
// were, and no field has more operators.
TEST_P(MoreOperatorsTest, WithoutTheOptionNothingChanges) {
    Grid->SetFilterBuilderOptions({});
    Grid->SetFilterGridOptions({});
    SetRow("Name", "BETWEEN", "a;b");
    EXPECT_EQ(TMoreOperatorsTestAccess::RowMore(*Grid, 1), std::nullopt);
    EXPECT_EQ(TMoreOperatorsTestAccess::RowSQLOperator(*Grid, 1), "BETWEEN");
    EXPECT_TRUE(Grid->ApplicableMoreOperators("Name").Empty());
    Grid->SetFilterGridOptions({fgoStrictOperators});
    EXPECT_THROW(TMoreOperatorsTestAccess::RowMore(*Grid, 1), Exception);
}

TEST_P(MoreOperatorsTest, OperatorListAddsTheMoreOperatorsThatFit) {
    const std::vector<std::string> Unquoted{
        "<", "<=", "=", ">=", ">", "<>", "IS NULL", "IS NOT NULL"};
    std::vector<std::string> Quoted(fonComputer.begin(), fonComputer.end());
    std::vector<std::string> QuotedMore = Quoted;
    QuotedMore.insert(QuotedMore.end(), fmonComputer.begin(), fmonComputer.end());
    std::vector<std::string> UnquotedMore = Unquoted;
    UnquotedMore.insert(UnquotedMore.end(), {"BETWEEN", "IN", "IS BLANK", "IS NOT BLANK"});
    std::vector<std::string> SimpleDate{"<", "<=", "=", ">=", ">", "<>"};
    SimpleDate.insert(SimpleDate.end(), fmonComputer.begin(), fmonComputer.end());
    struct TCase {
        const char* Field;
        TFilterKind Kind;
        TFilterBuilderOptions Options;
        std::vector<std::string> Expected;
    };
    const TCase Cases[] = {
        {"Name", fkSQL, {fboMoreOperators}, QuotedMore},
        {"Name", fkSQL, {}, Quoted},
        {"Qty", fkSQL, {fboMoreOperators}, UnquotedMore},
        {"Active", fkSQL, {fboMoreOperators}, UnquotedMore},
        {"Born", fkSimple, {fboMoreOperators}, SimpleDate},
        {"Qty", fkSQL, {}, Unquoted},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Field);
        Grid->SetFilterKind(Case.Kind);
        Grid->SetFilterBuilderOptions(Case.Options);
        SetRow(Case.Field, "", "");
        User.Hover(OperatorCol(), 1);
        EXPECT_EQ(User.OpenList(), Case.Expected);
        UserCloseList(User.Combo());
        User.Hover(0, 0);
    }
}

// Picking from the value list builds the list of an in-list row item by item, and the
// two ends of a range one after the other.
TEST_P(MoreOperatorsTest, PicksBuildListsAndRanges) {
    struct TCase {
        const char* Operator;
        const char* Cell; // the value cell before the picks
        std::vector<std::string> Picks;
        std::vector<std::string> CellAfterEach;
    };
    const TCase Cases[] = {
        {"IN",
         "",
         {"Jones", "a;b", "Anderson", "Jones"},
         {"Jones", "Jones; a\\;b", "Jones; a\\;b; Anderson", "a\\;b; Anderson"}},
        {"in list", "x\\y", {"x\\y", "x\\y"}, {"", "x\\\\y"}},
        {"BETWEEN",
         "",
         {"Anderson", "Jones", "O'Brien"},
         {"Anderson", "Anderson; Jones", "O'Brien"}},
        {"BETWEEN", "a;", {"Jones"}, {"a; Jones"}},
        // Any other operator takes the pick as one exact value.
        {"ENDING WITH", "Jones", {"50%off"}, {"50%off"}},
        {"=", "", {"Anderson"}, {"Anderson"}},
    };
    Grid->MoreOperatorNames = fmonEnglish;
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(std::string(Case.Operator) + " «" + Case.Cell + "»");
        SetRow("Name", Case.Operator, Case.Cell);
        for (std::size_t Pick = 0; Pick < Case.Picks.size(); ++Pick) {
            User.Hover(ValueCol(), 1);
            User.Pick(Case.Picks[Pick]);
            EXPECT_EQ(Grid->Cells(ValueCol(), 1), Case.CellAfterEach[Pick]);
            User.Hover(0, 0);
        }
    }
    // Typing an item's text is no pick: what was typed replaces the cell.
    for (const char* Operator : {"IN", "BETWEEN"}) {
        SCOPED_TRACE(std::string(Operator) + " typed");
        SetRow("Name", Operator, "Jones");
        User.Hover(ValueCol(), 1);
        User.OpenList();
        UserCloseList(User.Combo());
        User.Type("Anderson");
        EXPECT_TRUE(User.Key(VK_RETURN));
        EXPECT_EQ(Grid->Cells(ValueCol(), 1), "Anderson");
        User.Hover(0, 0);
    }
    // What the picks built reads back as the values picked.
    SetRow("Name", "IN", "");
    for (const char* Pick : {"a;b", "x\\y", "O'Brien"}) {
        User.Hover(ValueCol(), 1);
        User.Pick(Pick);
        User.Hover(0, 0);
    }
    const std::string Condition = TMoreOperatorsTestAccess::Compose(*Grid, 1);
    EXPECT_EQ(FilteredIds(Condition), (TIds{6, 7, 9}));
}

INSTANTIATE_TEST_SUITE_P(Backends, MoreOperatorsTest,
                         ::testing::ValuesIn(testtables::ReadingBackends()),
                         [](const auto& Info) { return BackendName(Info.param); });

} // namespace
} // namespace test
} // namespace vorn
