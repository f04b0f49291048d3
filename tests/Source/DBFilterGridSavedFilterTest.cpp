// Saving the filter rows as JSON and reading them back, in the grid and in form files.

#include "DBFilterGridTest.h"

#include "host/components/forms/FormFile.h"
#include "host/components/model/ClassRegistry.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>

namespace vorn::test {

namespace {

// The group cells of a row: negation, "(", ")".
using TGroupCells = std::array<std::string, 3>;

// Switches the group columns on; the grid gets room for them whoever lays them out.
void UseGroups(TDBFilterGrid& Target) {
    Target.SetFilterBuilderOptions(Target.FilterBuilderOptions() +
                                   TFilterBuilderOptions{fboGroups});
}

class SavedFilterTest : public FilterGridTest {
protected:
    // A second grid on the same data source, to load what the first one saved.
    TDBFilterGrid* NewGrid() {
        auto* Other = new TDBFilterGrid(Form.get());
        Other->SetDataSource(Source);
        return Other;
    }

    // The text of the given grid columns, row by row.
    template <std::size_t Count>
    static std::vector<std::array<std::string, Count>>
    CellsOf(const TDBFilterGrid& Target, const std::array<int, Count>& Columns) {
        std::vector<std::array<std::string, Count>> Result;
        for (int Row = Target.FixedRows(); Row < Target.RowCount(); ++Row) {
            std::array<std::string, Count>& Cells = Result.emplace_back();
            for (std::size_t Index = 0; Index < Count; ++Index)
                Cells[Index] = Target.Cells(Columns[Index], Row);
        }
        return Result;
    }

    static std::vector<TFilterRow> RowsOf(const TDBFilterGrid& Target) {
        return CellsOf<4>(Target,
                          {Target.FilterColumn(fciLeftArg), Target.FilterColumn(fciOperator),
                           Target.FilterColumn(fciRightArg), Target.FilterColumn(fciBoolOperator)});
    }

    static std::vector<TGroupCells> GroupsOf(const TDBFilterGrid& Target) {
        return CellsOf<3>(Target, {Target.GroupColumn(fgciNot), Target.GroupColumn(fgciOpen),
                                   Target.GroupColumn(fgciClose)});
    }

    static void SetGroups(TDBFilterGrid& Target, const std::vector<TGroupCells>& Groups) {
        for (std::size_t Index = 0; Index < Groups.size(); ++Index) {
            const int Row = Target.FixedRows() + static_cast<int>(Index);
            Target.SetCells(Target.GroupColumn(fgciNot), Row, Groups[Index][0]);
            Target.SetCells(Target.GroupColumn(fgciOpen), Row, Groups[Index][1]);
            Target.SetCells(Target.GroupColumn(fgciClose), Row, Groups[Index][2]);
        }
    }

    // LoadFilterFromJSON, which must raise; returns the message.
    static std::string LoadError(TDBFilterGrid& Target, const std::string& Text) {
        try {
            Target.LoadFilterFromJSON(Text);
            return "(no exception)";
        } catch (const Exception& Error) {
            return Error.Message();
        }
    }
};

std::string Saved(const std::string& Rows) {
    return R"({"format":"vorn-filter","version":1,"rows":[)" + Rows + "]}";
}

TEST_F(SavedFilterTest, WritesOnlyTheFilledRowsInTheSyntaxNames) {
    SetRows({{"City", "=", "A", "or"}, {"", "", "", ""}, {"Age", " > ", "3", ""}});
    EXPECT_EQ(Grid->SaveFilterToJSON(),
              Saved(R"({"not":false,"open":0,"field":"City","operator":"=","value":"A",)"
                    R"("close":0,"connector":"OR"},)"
                    R"({"not":false,"open":0,"field":"Age","operator":">","value":"3",)"
                    R"("close":0,"connector":""})"));
}

// Whatever the user typed in a cell comes back exactly, through the text and a stream.
TEST_F(SavedFilterTest, RowsComeBackExactly) {
    const std::vector<TFilterRow> Rows = {
        {"City", "=", "O'Brien \"the\" \\ one", "OR"},
        {"[Name]", "CONTAINING", "a;b\\;c", "and"},
        {"City", "STARTING WITH",
         "\xC5\xA0"
         "abac \xE2\x82\xAC",
         "OR"},
        {"Phone", "LIKE", "  blanks at the ends\t", ""},
        {" Name ", "whatever", "", "xor"},
    };
    for (const bool ThroughStream : {false, true}) {
        SCOPED_TRACE(ThroughStream ? "stream" : "text");
        SetRows(Rows);
        TDBFilterGrid* Other = NewGrid();
        if (ThroughStream) {
            std::stringstream Stream;
            Grid->SaveFilterToStream(Stream);
            EXPECT_TRUE(Other->LoadFilterFromStream(Stream).MissingFields.empty());
        } else {
            EXPECT_TRUE(Other->LoadFilterFromJSON(Grid->SaveFilterToJSON()).MissingFields.empty());
        }
        std::vector<TFilterRow> Expected = Rows;
        Expected[1][3] = "AND"; // a connector name reads as the grid's own
        EXPECT_EQ(RowsOf(*Other), Expected);
        EXPECT_EQ(Other->GetFilterExpression(), Grid->GetFilterExpression());
    }
}

// The saved text is ASCII, so a filter saved under a single-byte code page opens with the
// same characters under UTF-8.
TEST_F(SavedFilterTest, ATextSavedUnderOneCodePageOpensUnderAnother) {
    struct TCodePageGuard {
        TCodePage Before = HostCodePage();
        ~TCodePageGuard() { SetHostCodePage(Before); }
    } Guard;
    SetHostCodePage(cpWindows1250);
    SetRows({{"City", "=",
              "\x8A"
              "abac",
              ""}});
    const std::string Text = Grid->SaveFilterToJSON();
    EXPECT_NE(Text.find(R"("value":"\u0160abac")"), std::string::npos) << Text;
    SetHostCodePage(cpUtf8);
    Grid->LoadFilterFromJSON(Text);
    EXPECT_EQ(Rows(), (std::vector<TFilterRow>{{"City", "=",
                                                "\xC5\xA0"
                                                "abac",
                                                ""}}));
}

TEST_F(SavedFilterTest, AFilterSavedInOneVocabularyOpensInAnother) {
    Grid->OperatorNames = fonEnglish;
    Grid->BoolNames = fbnEnglish;
    Grid->MoreOperatorNames = fmonEnglish;
    SetRows({{"City", "contains", "ar", "or"},
             {"Age", "larger or equal", "30", "and"},
             {"Name", "ends with", "th", "OR"},
             {"Phone", "IS NULL", "", ""}});
    const std::string Text = Grid->SaveFilterToJSON();
    EXPECT_NE(Text.find(R"("operator":"CONTAINING")"), std::string::npos);
    EXPECT_NE(Text.find(R"("operator":"ENDING WITH")"), std::string::npos);

    TDBFilterGrid* Serbian = NewGrid();
    Serbian->OperatorNames = fonSerbian;
    Serbian->BoolNames = fbnSerbian;
    Serbian->MoreOperatorNames = fmonSerbian;
    Serbian->LoadFilterFromJSON(Text);
    EXPECT_EQ(RowsOf(*Serbian), (std::vector<TFilterRow>{
                                    {"City", Serbian->OperatorNames[foiContaining], "ar", "ili"},
                                    {"Age", Serbian->OperatorNames[foiLargerOrEqual], "30", "i"},
                                    {"Name", Serbian->MoreOperatorNames[fmoEndsWith], "th", "ili"},
                                    {"Phone", Serbian->OperatorNames[foiIsNull], "", ""}}));
    EXPECT_EQ(Serbian->MoreOperatorNames[fmoEndsWith], "zavr\xC5\xA1"
                                                       "ava se sa");

    // The rows of plain operators make the same expression in both vocabularies.
    SetRows({{"City", "contains", "ar", "or"}, {"Age", "larger or equal", "30", ""}});
    Serbian->LoadFilterFromJSON(Grid->SaveFilterToJSON());
    EXPECT_EQ(Serbian->GetFilterExpression(), Grid->GetFilterExpression());
}

TEST_F(SavedFilterTest, GroupsAndNegationsComeBackInTheGridsWords) {
    UseGroups(*Grid);
    Grid->SetRowCount(Grid->FixedRows() + 3);
    const std::vector<TFilterRow> Rows = {
        {"City", "=", "A", "OR"}, {"Age", ">", "3", "AND"}, {"Name", "=", "B", ""}};
    for (std::size_t Index = 0; Index < Rows.size(); ++Index)
        for (int Column = fciLeftArg; Column <= fciBoolOperator; ++Column)
            Grid->SetCells(Grid->FilterColumn(static_cast<TFilterColumnIndex>(Column)),
                           Grid->FixedRows() + static_cast<int>(Index),
                           Rows[Index][static_cast<std::size_t>(Column)]);
    SetGroups(*Grid, {{"not", "((", ""}, {"", "", ")"}, {" NOT ", "( (", "))"}});
    const std::string Text = Grid->SaveFilterToJSON();
    EXPECT_NE(Text.find(R"({"not":true,"open":2,"field":"City")"), std::string::npos);

    TDBFilterGrid* Serbian = NewGrid();
    UseGroups(*Serbian);
    Serbian->GroupNames = fgnSerbian;
    Serbian->LoadFilterFromJSON(Text);
    EXPECT_EQ(RowsOf(*Serbian), Rows);
    EXPECT_EQ(GroupsOf(*Serbian),
              (std::vector<TGroupCells>{{"ne", "((", ""}, {"", "", ")"}, {"ne", "((", "))"}}));

    // A grid without the group columns cannot show them: it refuses, and keeps its rows.
    TDBFilterGrid* Plain = NewGrid();
    EXPECT_EQ(LoadError(*Plain, Text),
              "TDBFilterGrid.LoadFilterFromJSON() The filter has groups or negations: set "
              "fboGroups in FilterBuilderOptions.");
    EXPECT_EQ(RowsOf(*Plain), (std::vector<TFilterRow>{{"", "", "", ""}}));

    // Any blank may stand between parentheses, as in the expression.
    SetGroups(*Grid, {{"", "(\t(", ""}, {"", "", ""}, {"", "", ")\t)"}});
    const std::string Blanks = Grid->SaveFilterToJSON();
    EXPECT_NE(Blanks.find(R"("open":2,"field":"City")"), std::string::npos) << Blanks;
    EXPECT_NE(Blanks.find(R"("value":"B","close":2)"), std::string::npos) << Blanks;

    // Group cells that are no group words are not guessed at.
    SetGroups(*Grid, {{"maybe", "", ""}});
    EXPECT_THROW(Grid->SaveFilterToJSON(), Exception);
    SetGroups(*Grid, {{"", "(x", ""}});
    EXPECT_THROW(Grid->SaveFilterToJSON(), Exception);
}

// Rows on fields the open dataset lacks lose their conditions; a closed dataset checks
// nothing.
TEST_F(SavedFilterTest, RowsOnMissingFieldsAreLeftOutAndReported) {
    const std::string Text =
        Saved(R"({"field":"City","operator":"=","value":"A","connector":"OR"},)"
              R"({"field":"Nope","operator":"=","value":"x","connector":"AND"},)"
              R"({"open":1,"field":"[Gone]","operator":"<","value":"1","connector":"OR"},)"
              R"({"field":" Nope ","operator":"=","value":"y","close":1},)"
              R"({"field":"[Age]","operator":">","value":"3"})");
    for (const bool Open : {true, false}) {
        SCOPED_TRACE(Open ? "open" : "closed");
        Table->SetActive(Open);
        TDBFilterGrid* Target = NewGrid();
        UseGroups(*Target);
        const TFilterLoadReport Report = Target->LoadFilterFromJSON(Text);
        if (Open) {
            EXPECT_EQ(Report.MissingFields, (std::vector<std::string>{"Nope", "Gone"}));
            EXPECT_EQ(RowsOf(*Target), (std::vector<TFilterRow>{{"City", "=", "A", "OR"},
                                                                {"", "", "", "OR"},
                                                                {"", "", "", ""},
                                                                {"[Age]", ">", "3", ""}}));
            EXPECT_EQ(GroupsOf(*Target),
                      (std::vector<TGroupCells>{{"", "", ""}, {"", "(", ""}, {"", "", ")"}, {}}));
        } else {
            EXPECT_TRUE(Report.MissingFields.empty());
            EXPECT_EQ(Target->RowCount() - Target->FixedRows(), 5);
        }
    }
}

TEST_F(SavedFilterTest, MalformedTextRaisesAndChangesNothing) {
    const struct {
        std::string Text;
        std::string Message;
    } Cases[] = {
        {"", "The text is no JSON (error at byte 1)"},
        {R"({"format":"vorn-filter",)", "The text is no JSON (error at byte 25)"},
        {"[]", "The text is no JSON object"},
        {R"({"version":1,"rows":[]})", "Member \"format\" is missing"},
        {R"({"format":"other","version":1,"rows":[]})",
         "The text is no saved filter (format \"other\")"},
        {R"({"format":7,"version":1,"rows":[]})", "The text is no saved filter (format 7)"},
        {R"({"format":"vorn-filter","rows":[]})", "Member \"version\" is missing"},
        {R"({"format":"vorn-filter","version":2,"rows":[]})", "Unsupported version 2"},
        {R"({"format":"vorn-filter","version":"1","rows":[]})", "Unsupported version \"1\""},
        {R"({"format":"vorn-filter","version":1})", "Member \"rows\" is missing"},
        {R"({"format":"vorn-filter","version":1,"rows":{}})", "Member \"rows\" is not an array"},
        {Saved("[]"), "Row 1 is not an object"},
        {Saved(R"({"field":5})"), "Row 1: member \"field\" is not a string"},
        {Saved(R"({"field":"City"},{"connector":null})"),
         "Row 2: member \"connector\" is not a string"},
        {Saved(R"({"not":1})"), "Row 1: member \"not\" is not a boolean"},
        {Saved(R"({"open":-1})"), "Row 1: member \"open\" is negative"},
        {Saved(R"({"close":1.5})"), "Row 1: member \"close\" is not an integer"},
        {Saved(R"({"close":"1"})"), "Row 1: member \"close\" is not an integer"},
        {Saved(R"({"open":101})"), "Row 1: member \"open\" is more than 100"},
        {Saved(R"({"open":18446744073709551615})"), "Row 1: member \"open\" is more than 100"},
    };
    UseGroups(*Grid);
    Grid->SetCells(Grid->FilterColumn(fciLeftArg), 1, "City");
    Grid->SetCells(Grid->GroupColumn(fgciOpen), 1, "(");
    const std::vector<TFilterRow> Before = RowsOf(*Grid);
    const std::vector<TGroupCells> GroupsBefore = GroupsOf(*Grid);
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Text);
        EXPECT_EQ(LoadError(*Grid, Case.Text),
                  "TDBFilterGrid.LoadFilterFromJSON() " + Case.Message + ".");
        EXPECT_EQ(RowsOf(*Grid), Before);
        EXPECT_EQ(GroupsOf(*Grid), GroupsBefore);
    }
}

TEST_F(SavedFilterTest, AnUnusableStreamRaises) {
    std::ifstream Missing("/nonexistent/vorn-saved-filter.json");
    EXPECT_THROW(Grid->LoadFilterFromStream(Missing), Exception);
    std::ostringstream Broken;
    Broken.setstate(std::ios::badbit);
    EXPECT_THROW(Grid->SaveFilterToStream(Broken), Exception);
}

TEST_F(SavedFilterTest, FilterRowsIsEmptyForAnEmptyGridAndClearsWhenEmptied) {
    // Without fboStoreRows a form file never keeps the rows.
    SetRows({{"City", "=", "A", ""}});
    EXPECT_EQ(Grid->FilterRows(), "");
    Grid->SetFilterBuilderOptions({fboStoreRows});
    Grid->Clear();
    EXPECT_EQ(Grid->FilterRows(), "");
    Grid->SetRowCount(4);
    EXPECT_EQ(Grid->FilterRows(), "");

    SetRows({{"City", "=", "A", "OR"}, {"Age", ">", "3", ""}});
    const std::string Text = Grid->FilterRows();
    EXPECT_EQ(Text, Grid->SaveFilterToJSON());
    Grid->SetFilterRows("");
    EXPECT_EQ(RowsOf(*Grid), (std::vector<TFilterRow>{{"", "", "", ""}}));

    Grid->SetFilterRows(Text);
    EXPECT_EQ(RowsOf(*Grid),
              (std::vector<TFilterRow>{{"City", "=", "A", "OR"}, {"Age", ">", "3", ""}}));
    Grid->SetFilterRows(Saved(""));
    EXPECT_EQ(RowsOf(*Grid), (std::vector<TFilterRow>{{"", "", "", ""}}));
}

// The form with the grid's FilterRows moved before its DataSource, the first property the
// filter grid adds to the string grid's.
std::string RowsBeforeDataSource(const std::string& Form) {
    using TJson = nlohmann::ordered_json;
    TJson Json = TJson::parse(Form);
    TJson& Properties = Json["components"][0]["properties"];
    TJson Moved = TJson::object();
    for (auto& [Name, Value] : Properties.items()) {
        if (Name == "DataSource")
            Moved["FilterRows"] = Properties["FilterRows"];
        if (Name != "FilterRows")
            Moved[Name] = Value;
    }
    Properties = std::move(Moved);
    return Json.dump();
}

TEST(SavedFilterFormFileTest, AFormKeepsTheRowsOfAGridThatHasSome) {
    RegisterVornDataResources();
    RegisterHostClasses();
    RegisterClass(TDBFilterGrid::StaticClass());
    for (const bool Groups : {false, true}) {
        SCOPED_TRACE(Groups ? "groups" : "plain");
        const std::unique_ptr<TComponent> Root =
            ReadForm(R"json({"class": "TForm", "name": "F", "properties": {}, "components": [
              {"class": "TDBFilterGrid", "name": "FG", "parent": "F", "properties": {}}]})json");
        auto& Grid = dynamic_cast<TDBFilterGrid&>(*Root->FindComponent("FG"));
        Grid.SetFilterBuilderOptions({fboStoreRows});
        if (Groups)
            UseGroups(Grid);
        const std::string Empty = WriteForm(*Root);
        EXPECT_EQ(Empty.find("FilterRows"), std::string::npos);

        Grid.SetRowCount(3);
        const std::vector<TFilterRow> Rows = {{"City", "=", "\xC5\xA0id \"x\"", "OR"},
                                              {"Age", "", "", ""}};
        for (std::size_t Index = 0; Index < Rows.size(); ++Index)
            for (int Column = fciLeftArg; Column <= fciBoolOperator; ++Column)
                Grid.SetCells(Grid.FilterColumn(static_cast<TFilterColumnIndex>(Column)),
                              Grid.FixedRows() + static_cast<int>(Index),
                              Rows[Index][static_cast<std::size_t>(Column)]);
        if (Groups) {
            Grid.SetCells(Grid.GroupColumn(fgciNot), 1, "NOT");
            Grid.SetCells(Grid.GroupColumn(fgciOpen), 1, "(");
            Grid.SetCells(Grid.GroupColumn(fgciClose), 2, ")");
        }
        const std::string Written = WriteForm(*Root);
        EXPECT_NE(Written.find("FilterRows"), std::string::npos);

        // As written, and with the rows read before the grid's other own properties.
        for (const bool RowsFirst : {false, true}) {
            SCOPED_TRACE(RowsFirst ? "rows first" : "as written");
            const std::unique_ptr<TComponent> ReadBack =
                ReadForm(RowsFirst ? RowsBeforeDataSource(Written) : Written);
            auto& Copy = dynamic_cast<TDBFilterGrid&>(*ReadBack->FindComponent("FG"));
            ASSERT_EQ(Copy.RowCount(), 3);
            ASSERT_EQ(Copy.ColCount(), Grid.ColCount());
            for (int Row = 1; Row < 3; ++Row)
                for (int Column = 0; Column < Grid.ColCount(); ++Column)
                    EXPECT_EQ(Copy.Cells(Column, Row), Grid.Cells(Column, Row))
                        << Column << "," << Row;
            EXPECT_EQ(WriteForm(*ReadBack), Written);
        }

        Grid.Clear();
        EXPECT_EQ(WriteForm(*Root), Empty);
    }
}

} // namespace

} // namespace vorn::test
