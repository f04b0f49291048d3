#include "tests/Source/DBFilterGridEditorTest.h"

#include "host/data/dataset/Query.h"
#include "tests/Source/DBFilterGridBackendTest.h"
#include "tests/support/CodePageGuard.h"

#include <memory>

namespace vorn::test {
namespace {

using testtables::BackendName;
using testtables::tbPostgreSQL;
using testtables::tbSQLite;

// The table Sample has 40 rows: Name cycles through Adams, Jones and Smith, Age (the key)
// runs from 1 to 40, "First Name" cycles through "Ann Lee" and "Bo", and Notes is a memo.
class FilterGridEditorBackendTest : public FilterGridBackendTest {
protected:
    void SetUp() override {
        FilterGridBackendTest::SetUp();
        Database->Execute("CREATE TABLE \"Sample\" (\"Name\" VARCHAR(20), \"Age\" INTEGER "
                          "PRIMARY KEY, \"First Name\" VARCHAR(20), \"Notes\" TEXT)");
        static const char* const Names[] = {"Adams", "Jones", "Smith"};
        static const char* const FirstNames[] = {"Ann Lee", "Bo"};
        std::string Insert = "INSERT INTO \"Sample\" VALUES ";
        for (int Age = 1; Age <= 40; ++Age)
            Insert += std::string(Age == 1 ? "" : ", ") + "('" + Names[Age % 3] + "', " +
                      std::to_string(Age) + ", '" + FirstNames[Age % 2] + "', 'note')";
        Database->Execute(Insert);
        OpenGridOn("Sample");
    }

    std::string ValueListStatement() const { return Grid->ValueListQuery()->SQL()->Text(); }

    TFilterGridUser User{Grid};
};

// The database lists the distinct values: quoted with aliases on a local table, plain on
// a server table, where a name holding a blank is bracketed so that it stays one name.
TEST_P(FilterGridEditorBackendTest, ValueListComesFromTheDistinctStatement) {
    const bool Sequenced = GetParam() == tbSQLite;
    ASSERT_EQ(Table->IsSequenced(), Sequenced);
    struct TCase {
        const char* FieldCell;
        const char* Quoted;
        const char* Plain;
        std::vector<std::string> Values;
        int RowCount;
    };
    std::vector<std::string> Ages;
    for (int Age = 1; Age <= 40; ++Age)
        Ages.push_back(std::to_string(Age));
    const TCase Cases[] = {
        {.FieldCell = "Name",
         .Quoted =
             "SELECT DISTINCT ValueTable.\"Name\" ValueField FROM \"Sample\" ValueTable ORDER BY "
             "ValueField",
         .Plain = "SELECT DISTINCT Name FROM Sample ORDER BY Name",
         .Values = {"Adams", "Jones", "Smith"},
         .RowCount = 3},
        {.FieldCell = "[Age]",
         .Quoted =
             "SELECT DISTINCT ValueTable.\"Age\" ValueField FROM \"Sample\" ValueTable ORDER BY "
             "ValueField",
         .Plain = "SELECT DISTINCT Age FROM Sample ORDER BY Age",
         .Values = Ages,
         .RowCount = 15},
        {.FieldCell = "First Name",
         .Quoted = "SELECT DISTINCT ValueTable.\"First Name\" ValueField FROM \"Sample\" "
                   "ValueTable ORDER "
                   "BY ValueField",
         .Plain = "SELECT DISTINCT [First Name] FROM Sample ORDER BY [First Name]",
         .Values = {"Ann Lee", "Bo"},
         .RowCount = 2},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.FieldCell);
        Grid->SetCells(1, 1, Case.FieldCell);
        User.MoveInto(3, 1);
        EXPECT_EQ(User.OpenList(), Case.Values);
        EXPECT_EQ(ValueListStatement(), std::string(Sequenced ? Case.Quoted : Case.Plain) + "\n");
        EXPECT_EQ(Grid->InCellEditor()->OpenListRowCount(), Case.RowCount);
        UserCloseList(*Grid->InCellEditor());
    }
    // Closing the table closes the query; opening it again lists again.
    Table->Close();
    EXPECT_FALSE(Grid->ValueListQuery()->Active());
    EXPECT_EQ(User.OpenList(), std::vector<std::string>{});
    UserCloseList(*Grid->InCellEditor());
    Table->Open();
    EXPECT_EQ(User.OpenList(), (std::vector<std::string>{"Ann Lee", "Bo"}));
}

// The value list follows a table that was already open when the grid was linked.
TEST_P(FilterGridEditorBackendTest, ValueListOfATableOpenedBeforeTheGridWasLinked) {
    Grid->SetDataSource(nullptr);
    Grid->SetDataSource(Source);
    Grid->SetCells(1, 1, "Name");
    User.MoveInto(3, 1);
    EXPECT_EQ(User.OpenList(), (std::vector<std::string>{"Adams", "Jones", "Smith"}));
}

TEST_P(FilterGridEditorBackendTest, FieldListLeavesOutMemosAndComputedFields) {
    Table->Close();
    Table->AddCalculatedField("Twice", ftInteger);
    Table->Open();
    User.MoveInto(1, 1);
    EXPECT_EQ(User.OpenList(), (std::vector<std::string>{"Name", "Age", "First Name"}));
}

// A user builds a two-row filter with the mouse and the keyboard only.
TEST_P(FilterGridEditorBackendTest, UserBuildsAFilterFromTheCells) {
    TDBFilterGridComboBox& Combo = *Grid->InCellEditor();
    ASSERT_TRUE(UserSetFocus(*Grid));

    // Row 1: a field, an operator that fits it, a typed value, a connector.
    User.MoveInto(1, 1);
    User.Pick("Name");
    EXPECT_TRUE(Grid->Focused());
    User.MoveInto(2, 1);
    EXPECT_EQ(User.OpenList().size(), 11u) << "a text field takes every operator";
    UserCloseList(Combo);
    User.Pick("=");
    User.MoveInto(3, 1);
    User.Type(" Sm*");
    ASSERT_TRUE(User.Key(VK_RETURN));
    EXPECT_EQ(Grid->Col(), 4);
    User.MoveInto(4, 1);
    User.Pick("OR");
    ASSERT_EQ(Grid->RowCount(), 3);
    EXPECT_EQ(Grid->Row(), 2);
    EXPECT_EQ(Grid->Col(), 1);

    // Row 2, from the keyboard where it is quicker.
    ASSERT_TRUE(User.GridKey(VK_RETURN));
    ASSERT_TRUE(Combo.Focused());
    ASSERT_TRUE(User.Key(VK_DOWN));
    ASSERT_TRUE(UserSelectItem(Combo, Combo.Items()->IndexOf("Age")));
    User.MoveInto(2, 2);
    EXPECT_EQ(User.OpenList(), (std::vector<std::string>{"<", "<=", "=", ">=", ">", "<>", "IS NULL",
                                                         "IS NOT NULL"}));
    UserSelectItem(Combo, Combo.Items()->IndexOf(">"));
    User.MoveInto(3, 2);
    User.Type("30");
    User.Key(VK_RETURN);

    EXPECT_EQ(Grid->GetFilterExpression(), "UPPER(Name) STARTING WITH 'SM' OR Age > 30");
    const std::vector<std::array<std::string, 4>> Expected = {{"Name", "STARTING WITH", "Sm", "OR"},
                                                              {"Age", ">", "30", ""}};
    for (int Row = 1; Row <= 2; ++Row)
        for (int Col = 1; Col <= 4; ++Col)
            EXPECT_EQ(Grid->Cells(Col, Row), Expected[Row - 1][Col - 1]) << Col << "," << Row;
    EXPECT_EQ(Grid->RowCount(), 3) << "the empty row waiting at the end stays";
}

// A truth value is written bare ("Active = true"): as the table's filter and as the WHERE
// clause of a query it selects exactly the rows that hold it, NULLs never.
TEST_P(FilterGridEditorBackendTest, BooleanConditionsSelectExactlyTheirRows) {
    Database->Execute("CREATE TABLE \"Member\" (\"Id\" INTEGER PRIMARY KEY, \"Active\" BOOLEAN)");
    Database->Execute("INSERT INTO \"Member\" VALUES (1, TRUE), (2, FALSE), (3, NULL), (4, TRUE)");
    Table->Close();
    Table->SetTableName("Member");
    Table->Open();
    auto* Query = new TQuery(Form.get());
    Query->SetDatabaseName(Database->Alias());
    auto Ids = [](TDataSet& DataSet) {
        std::vector<int> Found;
        for (DataSet.First(); !DataSet.Eof(); DataSet.Next())
            Found.push_back(static_cast<int>(DataSet.FieldByName("Id")->AsInteger()));
        return Found;
    };
    const struct {
        const char* Operator;
        const char* Value;
        std::vector<int> Ids;
    } Cases[] = {{"=", "true", {1, 4}}, {"=", "FALSE", {2}}, {"<>", "True", {2}}};
    for (const auto& Case : Cases) {
        SCOPED_TRACE(std::string(Case.Operator) + " " + Case.Value);
        for (const TFilterKind Kind : {fkSimple, fkSQL}) {
            Grid->SetFilterKind(Kind);
            Grid->SetCells(1, 1, "Active");
            Grid->SetCells(2, 1, Case.Operator);
            Grid->SetCells(3, 1, Case.Value);
            const std::string Expression = Grid->GetFilterExpression();
            if (Kind == fkSimple) {
                Table->SetFilter(Expression);
                Table->SetFiltered(true);
                EXPECT_EQ(Ids(*Table), Case.Ids) << Expression;
                Table->SetFiltered(false);
            } else {
                Query->Close();
                Query->SQL()->Clear();
                Query->SQL()->Add("SELECT \"Id\" FROM \"Member\" WHERE " + Expression +
                                  " ORDER BY \"Id\"");
                Query->Open();
                EXPECT_EQ(Ids(*Query), Case.Ids) << Expression;
            }
        }
    }
}

// A value picked from the value list matches exactly the rows that hold it, whatever
// characters it holds, as the table's filter and as a WHERE clause; the other rows hold
// what a wildcard or a lost escape would wrongly match.
TEST_P(FilterGridEditorBackendTest, PickedValuesMatchExactlyTheirOwnRows) {
    const std::vector<std::string> Values = {
        "What?", "Whats",   "100%",         "1000",       "*",     "a\\b",
        "ab",    "O'Brien", "'quoted'",     "quoted",     "Sm*th", "Smith",
        "x_y",   "xzy",     "\u5317\u4EAC", "\u0160aban", "\\",    "Ur"};
    Database->Execute("CREATE TABLE \"Odd\" (\"Id\" INTEGER PRIMARY KEY, \"Name\" VARCHAR(20))");
    int Id = 0;
    for (const std::string& Value : Values) {
        std::string Literal; // standard SQL: quotes doubled, backslashes as they are
        for (const char C : Value)
            Literal += C == '\'' ? std::string("''") : std::string(1, C);
        Database->Execute("INSERT INTO \"Odd\" VALUES (" + std::to_string(++Id) + ", '" + Literal +
                          "')");
    }
    auto* Query = new TQuery(Form.get());
    Query->SetDatabaseName(Database->Alias());
    Table->Close();
    Table->SetTableName("Odd");
    Table->Open();
    auto Names = [](TDataSet& DataSet) {
        std::vector<std::string> Found;
        for (DataSet.First(); !DataSet.Eof(); DataSet.Next())
            Found.push_back(DataSet.FieldByName("Name")->AsString());
        return Found;
    };
    for (const TFilterKind Kind : {fkSimple, fkSQL}) {
        Grid->SetFilterKind(Kind);
        for (const std::string& Value : Values) {
            SCOPED_TRACE((Kind == fkSQL ? "SQL: " : "simple: ") + Value);
            Grid->SetCells(1, 1, "Name");
            Grid->SetCells(2, 1, "=");
            Grid->SetCells(3, 1, "");
            User.Hover(3, 1);
            User.Pick(Value);
            UserKeyDown(*Grid->InCellEditor(), VK_RETURN);
            const std::string Expression = Grid->GetFilterExpression();
            EXPECT_EQ(Grid->GetFilterExpression(), Expression) << "a second call";
            if (Kind == fkSimple) {
                Table->SetFilter(Expression);
                Table->SetFiltered(true);
                EXPECT_EQ(Names(*Table), std::vector<std::string>{Value}) << Expression;
                Table->SetFiltered(false);
            } else {
                Query->Close();
                Query->SQL()->Clear();
                Query->SQL()->Add("SELECT \"Name\" FROM \"Odd\" WHERE " + Expression);
                Query->Open();
                EXPECT_EQ(Names(*Query), std::vector<std::string>{Value}) << Expression;
            }
        }
    }
    // Under Windows-1250 the Chinese city reads "??": picked, it matches itself only, never
    // as a pattern of two characters ("Ur").
    const test::TCodePageGuard CodePage(cpWindows1250);
    Grid->SetCells(3, 1, "");
    User.Hover(3, 1);
    User.Pick("??");
    UserKeyDown(*Grid->InCellEditor(), VK_RETURN);
    Query->Close();
    Query->SQL()->Clear();
    Query->SQL()->Add("SELECT \"Name\" FROM \"Odd\" WHERE " + Grid->GetFilterExpression());
    Query->Open();
    EXPECT_EQ(Names(*Query), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Backends, FilterGridEditorBackendTest,
                         ::testing::ValuesIn(testtables::ReadingBackends()),
                         [](const auto& Info) { return BackendName(Info.param); });

} // namespace
} // namespace vorn::test
