#include "tests/Source/DBFilterGridBackendTest.h"
#include "tests/Source/DBFilterGridEditorTest.h"
#include "tests/Source/DBFilterGridTest.h"

#include "host/components/forms/FormFile.h"
#include "host/components/model/ClassRegistry.h"
#include "host/data/sql/SqlDialect.h"

#include <memory>

namespace vorn::test {
namespace {

using testtables::BackendName;
using testtables::tbPostgreSQL;
using testtables::tbSQLite;

const TFilterGridOptions DefaultOptions{fgoCorrect, fgoNonTableValueList, fgoStrictOperators};

// One grouped row as it reads: NOT | ( | field | operator | value | ) | connector.
using TGroupedRow = std::array<std::string, 7>;

// The grid column of each position of a grouped row.
std::array<int, 7> GroupedColumns(const TDBFilterGrid& Grid) {
    return {Grid.GroupColumn(fgciNot),         Grid.GroupColumn(fgciOpen),
            Grid.FilterColumn(fciLeftArg),     Grid.FilterColumn(fciOperator),
            Grid.FilterColumn(fciRightArg),    Grid.GroupColumn(fgciClose),
            Grid.FilterColumn(fciBoolOperator)};
}

void SetGroupedRows(TDBFilterGrid& Grid, const std::vector<TGroupedRow>& Rows) {
    Grid.SetRowCount(Grid.FixedRows() + static_cast<int>(Rows.size()));
    const std::array<int, 7> Columns = GroupedColumns(Grid);
    for (std::size_t Index = 0; Index < Rows.size(); ++Index)
        for (std::size_t Position = 0; Position < Columns.size(); ++Position)
            Grid.SetCells(Columns[Position], Grid.FixedRows() + static_cast<int>(Index),
                          Rows[Index][Position]);
}

std::vector<TGroupedRow> GroupedRows(const TDBFilterGrid& Grid) {
    const std::array<int, 7> Columns = GroupedColumns(Grid);
    std::vector<TGroupedRow> Result;
    for (int Row = Grid.FixedRows(); Row < Grid.RowCount(); ++Row) {
        TGroupedRow Cells;
        for (std::size_t Position = 0; Position < Columns.size(); ++Position)
            Cells[Position] = Grid.Cells(Columns[Position], Row);
        Result.push_back(Cells);
    }
    return Result;
}

class FilterGridGroupsTest : public FilterGridTest {
protected:
    void SetUp() override {
        FilterGridTest::SetUp();
        Grid->SetFilterBuilderOptions({fboGroups});
    }
};

TEST_F(FilterGridGroupsTest, SwitchingGroupsMovesTheFilterColumnsBothWays) {
    Grid->SetFilterBuilderOptions({});
    const int DefaultWidth = Grid->Width();
    const std::vector<std::string> Titles = {"Field", "Operator", "Value", "Bool"};
    Grid->SetColWidths(Grid->FilterColumn(fciRightArg), 77);
    SetRows({{"Name", "=", "Smith", "OR"}, {"Age", ">", "30", ""}});
    Grid->SetCol(Grid->FilterColumn(fciRightArg));
    for (int Column = fciLeftArg; Column <= fciBoolOperator; ++Column)
        Grid->SetCells(Grid->FilterColumn(static_cast<TFilterColumnIndex>(Column)), 0,
                       Titles[static_cast<std::size_t>(Column)]);

    Grid->SetFilterBuilderOptions({fboGroups});
    EXPECT_EQ(Grid->ColCount(), Grid->FixedCols() + 7);
    EXPECT_EQ(GroupedRows(*Grid),
              (std::vector<TGroupedRow>{{"", "", "Name", "=", "Smith", "", "OR"},
                                        {"", "", "Age", ">", "30", "", ""}}));
    std::vector<std::string> Captions;
    for (const int Column : GroupedColumns(*Grid))
        Captions.push_back(Grid->Cells(Column, 0));
    EXPECT_EQ(Captions,
              (std::vector<std::string>{"NOT", "(", "Field", "Operator", "Value", ")", "Bool"}));
    const int GroupWidths = Grid->ColWidths(Grid->GroupColumn(fgciNot)) +
                            Grid->ColWidths(Grid->GroupColumn(fgciOpen)) +
                            Grid->ColWidths(Grid->GroupColumn(fgciClose));
    EXPECT_GT(GroupWidths, 0);
    EXPECT_EQ(Grid->Width(), DefaultWidth + GroupWidths);
    EXPECT_EQ(Grid->ColWidths(Grid->FilterColumn(fciRightArg)), 77);
    EXPECT_EQ(Grid->Col(), Grid->FilterColumn(fciRightArg));

    // Other builder options leave the layout alone.
    Grid->SetFilterBuilderOptions({fboGroups, fboMoreOperators});
    EXPECT_EQ(Grid->ColCount(), Grid->FixedCols() + 7);

    Grid->SetCells(Grid->GroupColumn(fgciNot), 1, "NOT");
    Grid->SetCells(Grid->GroupColumn(fgciClose), 2, ")");
    Grid->SetCol(Grid->GroupColumn(fgciOpen));
    Grid->SetFilterBuilderOptions({fboMoreOperators});
    EXPECT_EQ(Grid->ColCount(), Grid->FixedCols() + 4);
    EXPECT_EQ(Rows(),
              (std::vector<TFilterRow>{{"Name", "=", "Smith", "OR"}, {"Age", ">", "30", ""}}));
    for (int Column = fciLeftArg; Column <= fciBoolOperator; ++Column)
        EXPECT_EQ(Grid->Cells(Grid->FixedCols() + Column, 0),
                  Titles[static_cast<std::size_t>(Column)]);
    EXPECT_EQ(Grid->Width(), DefaultWidth);
    EXPECT_EQ(Grid->ColWidths(Grid->FilterColumn(fciRightArg)), 77);
    EXPECT_EQ(Grid->Col(), Grid->FilterColumn(fciLeftArg));

    // The group cells' text went with their columns.
    Grid->SetFilterBuilderOptions({fboGroups});
    EXPECT_EQ(GroupedRows(*Grid),
              (std::vector<TGroupedRow>{{"", "", "Name", "=", "Smith", "", "OR"},
                                        {"", "", "Age", ">", "30", "", ""}}));
}

// A form file keeps the grouped layout as it was written: the width the columns left the
// grid with, the captions where they stand.
TEST(FilterGridGroupsFormFileTest, AGroupedGridReadsBackItsLayout) {
    RegisterVornDataResources();
    RegisterHostClasses();
    RegisterClass(TDBFilterGrid::StaticClass());
    std::string Json;
    int Width = 0;
    {
        TForm Written(nullptr);
        Written.SetName("FilterForm");
        auto* Grid = new TDBFilterGrid(&Written);
        Grid->SetName("Filter");
        Grid->SetFilterBuilderOptions({fboGroups});
        Width = Grid->Width();
        Json = WriteForm(Written);
    }
    TForm Read(nullptr);
    Read.SetName("FilterForm");
    ReadFormInto(Read, Json);
    auto* Grid = dynamic_cast<TDBFilterGrid*>(Read.FindComponent("Filter"));
    ASSERT_NE(Grid, nullptr);
    EXPECT_EQ(Grid->FilterBuilderOptions(), TFilterBuilderOptions{fboGroups});
    EXPECT_EQ(Grid->ColCount(), Grid->FixedCols() + 7);
    EXPECT_EQ(Grid->Width(), Width);
    std::vector<std::string> Captions;
    for (const int Column : GroupedColumns(*Grid))
        Captions.push_back(Grid->Cells(Column, 0));
    EXPECT_EQ(Captions,
              (std::vector<std::string>{"NOT", "(", "Field", "Operator", "Value", ")", "Bool"}));
}

struct TGroupCase {
    const char* Title;
    std::vector<TGroupedRow> Rows;
    std::string Expected; // the expression, or the message when Raises
    std::vector<TGroupedRow> After = {};
    TFilterGridOptions Options = DefaultOptions;
    bool Raises = false;
};

std::ostream& operator<<(std::ostream& Stream, const TGroupCase& Case) {
    return Stream << Case.Title;
}

const TFilterGridOptions Raising = DefaultOptions + TFilterGridOptions{fgoExceptions};

const TGroupCase GroupCases[] = {
    {.Title = "GroupThenNegatedCondition",
     .Rows = {{"", "(", "City", "=", "Paris", "", "OR"},
              {"", "", "City", "=", "Rome", ")", "AND"},
              {"NOT", "", "Age", "<", "30", "", ""}},
     .Expected = "(UPPER(City) = 'PARIS' OR UPPER(City) = 'ROME') AND NOT Age < 30"},
    {.Title = "NegationStandsBeforeTheGroupItOpens",
     .Rows = {{" not ", " ( ", "Name", "", "Smith", "", "or"},
              {"", "", "Age", ">", "40", " ) ", ""}},
     .Expected = "NOT (UPPER(Name) = 'SMITH' OR Age > 40)",
     .After = {{"NOT", "(", "Name", "=", "Smith", "", "OR"}, {"", "", "Age", ">", "40", ")", ""}}},
    {.Title = "RowsWithoutFieldKeepTheirParentheses",
     .Rows = {{"NOT", "((", "", "", "", "", ""},
              {"", "", "Age", "=", "5", "", "OR"},
              {"", "", "Age", "=", "6", ")", "AND"},
              {"NOT", "", "Name", "=", "x", "", ""},
              {"", "", "", "", "", ")", ""}},
     .Expected = "NOT ((Age = 5 OR Age = 6) AND NOT UPPER(Name) = 'X')"},
    {.Title = "EmptyGroupsVanishWithNegationAndConnector",
     .Rows = {{"", "", "Age", "=", "5", "", "AND"},
              {"NOT", "((", "", "", "", "", "AND"},
              {"", "", "", "", "", "))", "OR"},
              {"", "", "Age", "=", "6", "", ""}},
     .Expected = "Age = 5 OR Age = 6"},
    {.Title = "OnlyEmptyGroups", .Rows = {{"NOT", "(", "", "", "", ")", "OR"}}, .Expected = ""},
    {.Title = "VocabularyNegationAndSyntaxNegation",
     .Rows = {{"NOT", "", "Age", "=", "5", "", "OR"}, {"not", "", "Age", "=", "6", "", ""}},
     .Expected = "NOT Age = 5 OR NOT Age = 6"},
    {.Title = "UnknownNegation",
     .Rows = {{"", "", "Age", "=", "5", "", ""}, {" no ", "", "Age", "=", "6", "", ""}},
     .Expected = "TDBFilterGrid.GetFilterExpression() Unknown negation in row 2: 'no'.",
     .Raises = true},
    {.Title = "UnknownOpening",
     .Rows = {{"", "( [", "Age", "=", "5", "", ""}},
     .Expected = "TDBFilterGrid.GetFilterExpression() Unknown group opening in row 1: '( ['.",
     .Raises = true},
    {.Title = "UnknownClosing",
     .Rows = {{"", "(", "Age", "=", "5", "()", ""}},
     .Expected = "TDBFilterGrid.GetFilterExpression() Unknown group closing in row 1: '()'.",
     .Raises = true},
    {.Title = "UnmatchedClosingRaises",
     .Rows = {{"", "(", "Age", "=", "5", ")", ""}, {"", "", "Age", "=", "6", "))", ""}},
     .Expected = "TDBFilterGrid.GetFilterExpression() Unmatched ')' in row 2.",
     .Options = Raising,
     .Raises = true},
    {.Title = "UnclosedOpeningNamesTheTopmostOpenRow",
     .Rows = {{"", "(", "Age", "=", "5", ")", ""},
              {"", "(", "Age", "=", "6", "", ""},
              {"", "((", "Age", "=", "7", ")", ""}},
     .Expected = "TDBFilterGrid.GetFilterExpression() Unclosed '(' in row 2.",
     .Options = Raising,
     .Raises = true},
    {.Title = "SilentModeDropsUnmatchedClosing",
     .Rows = {{"", "", "Age", "=", "5", "))", "OR"}, {"", "(", "Age", "=", "6", ")", ""}},
     .Expected = "Age = 5 OR (Age = 6)",
     .After = {{"", "", "Age", "=", "5", "", "OR"}, {"", "(", "Age", "=", "6", ")", ""}}},
    {.Title = "SilentModeClosesAfterTheLastCondition",
     .Rows = {{"", "((", "Age", "=", "5", ")", "OR"},
              {"", "", "Age", "=", "6", "", ""},
              {"", "", "", "", "", "", ""}},
     .Expected = "((Age = 5) OR Age = 6)",
     .After = {{"", "((", "Age", "=", "5", ")", "OR"},
               {"", "", "Age", "=", "6", ")", ""},
               {"", "", "", "", "", "", ""}}},
    {.Title = "SilentModeClosesNoEarlierThanTheInnermostOpening",
     .Rows = {{"", "(", "Age", "=", "5", "", ""}, {"", "(", "", "", "", "", ""}},
     .Expected = "(Age = 5)",
     .After = {{"", "(", "Age", "=", "5", "", ""}, {"", "(", "", "", "", "))", ""}}},
    {.Title = "SilentModeWithoutCorrectionLeavesTheCells",
     .Rows = {{"not", "( (", "Age", "=", "5", "", ""}, {"", "", "", "", "", ")))", ""}},
     .Expected = "NOT ((Age = 5))",
     .After = {{"not", "( (", "Age", "=", "5", "", ""}, {"", "", "", "", "", ")))", ""}},
     .Options = TFilterGridOptions{fgoStrictOperators}},
};

class FilterGridGroupCaseTest : public FilterGridGroupsTest,
                                public ::testing::WithParamInterface<TGroupCase> {};

TEST_P(FilterGridGroupCaseTest, ReadsTheRowsAsOneExpression) {
    const TGroupCase& Case = GetParam();
    Grid->SetFilterGridOptions(Case.Options);
    SetGroupedRows(*Grid, Case.Rows);
    if (Case.Raises) {
        EXPECT_EQ(ExpressionError(), Case.Expected);
        return;
    }
    const std::string Expression = Grid->GetFilterExpression();
    EXPECT_EQ(Expression, Case.Expected);
    if (!Case.After.empty()) {
        EXPECT_EQ(GroupedRows(*Grid), Case.After);
    }
    // What the correction wrote back is balanced: it reads as the same expression even
    // where an unbalanced row would raise.
    if (Case.Options.Contains(fgoCorrect)) {
        Grid->SetFilterGridOptions(Case.Options + TFilterGridOptions{fgoExceptions});
        EXPECT_EQ(Grid->GetFilterExpression(), Expression);
    }
    // The dialect translator takes the text on both backends.
    if (Expression.empty())
        return;
    for (const TSqlBackend Backend : {sbSQLite, sbPostgreSQL})
        EXPECT_NO_THROW(TranslateCondition(Expression, Backend, scfWhereClause)) << Expression;
}

INSTANTIATE_TEST_SUITE_P(FilterGrid, FilterGridGroupCaseTest, ::testing::ValuesIn(GroupCases),
                         [](const auto& Info) { return std::string(Info.param.Title); });

// The negation is written back in the grid's words, or in the filter syntax where the
// operators are.
TEST_F(FilterGridGroupsTest, CorrectionWritesTheNegationInTheVocabularyOfTheOperators) {
    Grid->GroupNames = fgnSerbian;
    const struct {
        TFilterGridOptions Options;
        const char* Negation;
    } Cases[] = {{DefaultOptions, "ne"},
                 {TFilterGridOptions{fgoCorrect, fgoNonTableValueList}, "NOT"}};
    for (const auto& Case : Cases) {
        Grid->SetFilterGridOptions(Case.Options);
        SetGroupedRows(*Grid, {{" NE ", "", "Age", "=", "5", "", "AND"},
                               {"Not", "", "Age", "=", "6", "", ""}});
        EXPECT_EQ(Grid->GetFilterExpression(), "NOT Age = 5 AND NOT Age = 6");
        EXPECT_EQ(Grid->Cells(Grid->GroupColumn(fgciNot), 1), Case.Negation);
        EXPECT_EQ(Grid->Cells(Grid->GroupColumn(fgciNot), 2), Case.Negation);
    }
}

class FilterGridGroupEditorTest : public FilterGridGroupsTest {
protected:
    void SetUp() override {
        FilterGridGroupsTest::SetUp();
        PutIntoWindow(*Grid, *Form, 600);
    }

    TFilterGridUser User{Grid};
};

// Each group column lists its words; picking the word a cell holds takes it away.
TEST_F(FilterGridGroupEditorTest, GroupListsOfferTheirWordsAndAPickOfTheHeldWordEmptiesTheCell) {
    Grid->GroupNames = fgnEnglish;
    const struct {
        TFilterGroupColumnIndex Role;
        std::vector<std::string> Items;
    } Cases[] = {
        {fgciNot, {"not"}}, {fgciOpen, {"(", "((", "((("}}, {fgciClose, {")", "))", ")))"}}};
    for (const auto& Case : Cases) {
        const int Column = Grid->GroupColumn(Case.Role);
        SCOPED_TRACE(Column);
        SetGroupedRows(*Grid, {{"", "", "Name", "=", "x", "", ""}});
        User.MoveInto(Column, 1);
        EXPECT_EQ(User.OpenList(), Case.Items);
        const std::string& Last = Case.Items.back();
        ASSERT_TRUE(UserSelectItem(User.Combo(), static_cast<int>(Case.Items.size()) - 1));
        EXPECT_EQ(Grid->Cells(Column, 1), Last);
        User.MoveInto(Column, 1);
        User.Pick(Last);
        EXPECT_EQ(Grid->Cells(Column, 1), "");
    }
    // The other columns list what they did.
    User.MoveInto(Grid->FilterColumn(fciBoolOperator), 1);
    EXPECT_EQ(User.OpenList(), (std::vector<std::string>{"AND", "OR"}));
    UserCloseList(User.Combo());
    User.MoveInto(Grid->FilterColumn(fciLeftArg), 1);
    EXPECT_EQ(User.OpenList(), (std::vector<std::string>{"Name", "City", "Phone", "Age"}));
}

// Picking a connector opens a row whose field cell becomes current, as without groups.
TEST_F(FilterGridGroupEditorTest, PickedConnectorOpensARowAtItsFieldCell) {
    SetGroupedRows(*Grid, {{"", "(", "Name", "=", "x", ")", ""}});
    for (const bool Advance : {false, true}) {
        SCOPED_TRACE(Advance);
        Grid->SetAdvanceAfterPick(Advance);
        Grid->SetRowCount(2);
        User.MoveInto(Grid->FilterColumn(fciBoolOperator), 1);
        User.Pick("OR");
        EXPECT_EQ(Grid->Cells(Grid->FilterColumn(fciBoolOperator), 1), "OR");
        EXPECT_EQ(Grid->RowCount(), 3);
        EXPECT_EQ(Grid->Row(), 2);
        EXPECT_EQ(Grid->Col(), Grid->FilterColumn(fciLeftArg));
    }
}

// Groups and negations nested three deep select on both backends exactly the rows of the
// same condition written by hand, as a WHERE clause and as the table's filter.
class FilterGridGroupBackendTest : public FilterGridBackendTest {
protected:
    void SetUp() override {
        FilterGridBackendTest::SetUp();
        Database->Execute("CREATE TABLE \"Account\" (\"Id\" INTEGER PRIMARY KEY, \"City\" "
                          "VARCHAR(20), \"Balance\" INTEGER)");
        Database->Execute("INSERT INTO \"Account\" VALUES (1, 'Paris', 50), (2, 'Paris', 150), "
                          "(3, 'Rome', -20), (4, 'Rome', 300), (5, 'Oslo', -5), (6, 'Oslo', 0), "
                          "(7, 'Paris', -1), (8, 'Lima', 500), (9, 'Rome', 20), (10, 'Rome', 40)");
        OpenGridOn("Account");
        Grid->SetFilterBuilderOptions({fboGroups});
        Query = new TQuery(Form.get());
        Query->SetDatabaseName(Database->Alias());
    }

    std::vector<int> QueryIds(const std::string& Condition) {
        Query->Close();
        Query->SQL()->Clear();
        Query->SQL()->Add("SELECT \"Id\" FROM \"Account\" WHERE " + Condition + " ORDER BY \"Id\"");
        Query->Open();
        return Ids(*Query);
    }
    static std::vector<int> Ids(TDataSet& DataSet) {
        std::vector<int> Found;
        for (DataSet.First(); !DataSet.Eof(); DataSet.Next())
            Found.push_back(static_cast<int>(DataSet.FieldByName("Id")->AsInteger()));
        return Found;
    }

    TQuery* Query = nullptr;
};

TEST_P(FilterGridGroupBackendTest, NestedGroupsSelectTheRowsOfTheHandWrittenCondition) {
    SetGroupedRows(*Grid, {{"NOT", "(", "Balance", ">", "10", "", "AND"},
                           {"NOT", "(", "City", "=", "Paris", "", "OR"},
                           {"", "(", "Balance", "<", "100", "", "AND"},
                           {"NOT", "", "Id", "=", "9", ")))", "OR"},
                           {"", "", "Id", "=", "8", "", ""}});
    const std::string Hand = "NOT (\"Balance\" > 10 AND NOT (\"City\" = 'Paris' OR (\"Balance\" "
                             "< 100 AND NOT \"Id\" = 9))) OR \"Id\" = 8";
    const std::vector<int> Expected = QueryIds(Hand);
    ASSERT_EQ(Expected, (std::vector<int>{1, 2, 3, 5, 6, 7, 8, 10}));
    for (const TFilterKind Kind : {fkSQL, fkSimple}) {
        SCOPED_TRACE(Kind == fkSQL ? "SQL" : "simple");
        Grid->SetFilterKind(Kind);
        Grid->SetFilterGridOptions(
            Kind == fkSQL ? DefaultOptions : DefaultOptions + TFilterGridOptions{fgoCaseSensitive});
        const std::string Expression = Grid->GetFilterExpression();
        if (Kind == fkSQL) {
            EXPECT_EQ(QueryIds(Expression), Expected) << Expression;
            continue;
        }
        Table->SetFilter(Expression);
        Table->SetFiltered(true);
        EXPECT_EQ(Ids(*Table), Expected) << Expression;
        Table->SetFiltered(false);
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, FilterGridGroupBackendTest,
                         ::testing::ValuesIn(testtables::ReadingBackends()),
                         [](const auto& Info) { return BackendName(Info.param); });

} // namespace
} // namespace vorn::test
