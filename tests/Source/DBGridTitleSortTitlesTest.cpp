#include "DBGridTitleSortTest.h"

#include "host/components/model/List.h"
#include "host/components/text/CodePage.h"

#include <climits>

namespace vorn::titlesorttest {
namespace {

using Names = std::vector<std::string>;

// ---------------------------------------------------------------- the mask language

struct TMaskCase {
    const char* Mask;
    int Index;
    const char* Expected;
};

class TitleMaskTest : public ::testing::TestWithParam<TMaskCase> {};

TEST_P(TitleMaskTest, ExpandsForTheCaptionName) {
    const TMaskCase& Case = GetParam();
    EXPECT_EQ(TDBGridTitleSort::ParseTitleMask(Case.Mask, "Name", Case.Index), Case.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Placeholders, TitleMaskTest,
    ::testing::Values(TMaskCase{.Mask = "%t (sorted)", .Index = -1, .Expected = "Name (sorted)"},
                      TMaskCase{.Mask = "%t (sorted)", .Index = 2, .Expected = "Name (sorted)"},
                      // "%s" numbers only the columns of a multi-column sort.
                      TMaskCase{.Mask = "%t %s", .Index = -1, .Expected = "Name "},
                      TMaskCase{.Mask = "%t %s", .Index = 1, .Expected = "Name 2"},
                      TMaskCase{.Mask = "%s0/%t", .Index = -1, .Expected = "/Name"},
                      TMaskCase{.Mask = "%s0/%t", .Index = 1, .Expected = "1/Name"},
                      TMaskCase{.Mask = "%s1/%t", .Index = -1, .Expected = "/Name"},
                      TMaskCase{.Mask = "%s1/%t", .Index = 0, .Expected = "1/Name"},
                      // "%i" always shows a number.
                      TMaskCase{.Mask = "%t (%i)", .Index = -1, .Expected = "Name (1)"},
                      TMaskCase{.Mask = "%t (%i)", .Index = 0, .Expected = "Name (1)"},
                      TMaskCase{.Mask = "%t (%i)", .Index = 1, .Expected = "Name (2)"},
                      TMaskCase{.Mask = "%i: %t", .Index = -1, .Expected = "1: Name"},
                      TMaskCase{.Mask = "%i0 %i1", .Index = -1, .Expected = "0 1"},
                      TMaskCase{.Mask = "%i0 %i1", .Index = 4, .Expected = "4 5"},
                      // Escapes and stray percent signs.
                      TMaskCase{.Mask = "100%% %t", .Index = -1, .Expected = "100% Name"},
                      TMaskCase{.Mask = "%x%t", .Index = -1, .Expected = "xName"},
                      TMaskCase{.Mask = "%t%", .Index = -1, .Expected = "Name"},
                      TMaskCase{.Mask = "%T", .Index = -1, .Expected = "T"},
                      TMaskCase{.Mask = "%", .Index = 3, .Expected = ""},
                      TMaskCase{.Mask = "%s2", .Index = 0, .Expected = "12"},
                      TMaskCase{.Mask = "plain", .Index = 0, .Expected = "plain"},
                      TMaskCase{.Mask = "%%t", .Index = -1, .Expected = "%t"}));

struct TDirectedMaskCase {
    const char* Mask;
    TTitleSortDirection Direction;
    TCodePage CodePage;
    const char* Expected;
};

class TitleDirectionMaskTest : public ::testing::TestWithParam<TDirectedMaskCase> {};

TEST_P(TitleDirectionMaskTest, ExpandsTheDirectionPlaceholders) {
    const TDirectedMaskCase& Case = GetParam();
    const TCodePage Before = HostCodePage();
    SetHostCodePage(Case.CodePage);
    const std::string Caption =
        TDBGridTitleSort::ParseTitleMask(Case.Mask, "Name", 1, Case.Direction);
    SetHostCodePage(Before);
    EXPECT_EQ(Caption, Case.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Directions, TitleDirectionMaskTest,
    ::testing::Values(
        TDirectedMaskCase{"%t %a", tsdAscending, cpUtf8, "Name \u25B2"},
        TDirectedMaskCase{"%t %a", tsdDescending, cpUtf8, "Name \u25BC"},
        TDirectedMaskCase{"%t (%o)", tsdAscending, cpUtf8, "Name (asc)"},
        TDirectedMaskCase{"%o%i%a", tsdDescending, cpUtf8, "desc2\u25BC"},
        TDirectedMaskCase{"%%a %%o %a%", tsdDescending, cpUtf8, "%a %o \u25BC"},
        TDirectedMaskCase{"%A %O", tsdAscending, cpUtf8, "A O"},
        // Without a direction the letters stand for themselves, as in every other mask.
        TDirectedMaskCase{"%t %a (%o)", tsdNone, cpUtf8, "Name a (o)"},
        // Single-byte code pages have no arrows.
        TDirectedMaskCase{"%a%a", tsdAscending, cpWindows1252, "^^"},
        TDirectedMaskCase{"%t %a %o", tsdDescending, cpWindows1250, "Name v desc"}));

TEST(TitleMaskErrorTest, AnEmptyMaskIsABrokenInvariantAndPositionsDoNotOverflow) {
    try {
        TDBGridTitleSort::ParseTitleMask("", "Name", 0);
        FAIL() << "an empty mask was expanded";
    } catch (const EAssertionFailed& Error) {
        EXPECT_NE(Error.Message().find("DBGridTitleSort"), std::string::npos) << Error.Message();
    }
    EXPECT_THROW(TDBGridTitleSort::ParseTitleMask("%s", "Name", INT_MAX), EIntOverflow);
    EXPECT_EQ(TDBGridTitleSort::ParseTitleMask("%s0", "Name", INT_MAX), std::to_string(INT_MAX));
}

// ---------------------------------------------------------------- highlighting grids

class TitleHighlightTest : public TitleSortTest {
protected:
    void SetUp() override {
        Table = OpenTable(LocalAlias(), "item");
        Source = SourceFor(Table);
        Grid = GridOn(Source, {"A", "B", "C"});
        for (TColumn* Column : {ColumnOf(*Grid, "A"), ColumnOf(*Grid, "B"), ColumnOf(*Grid, "C")})
            Column->Title()->SetCaption("Name");
    }

    std::vector<std::string> Captions() const {
        Names Result;
        for (int Index = 0; Index < Grid->Columns()->Count(); ++Index)
            Result.push_back(Grid->Columns()->Items(Index)->Title()->Caption());
        return Result;
    }

    TTable* Table = nullptr;
    TDataSource* Source = nullptr;
    TDBGrid* Grid = nullptr;
};

TEST_F(TitleHighlightTest, MaskedCaptionsNumberTheColumnsOfTheOrder) {
    struct TCase {
        const char* Mask;
        const char* Order;
        Names Expected;
    };
    const TCase Cases[] = {
        {.Mask = "%t (sorted)", .Order = "A", .Expected = {"Name (sorted)", "Name", "Name"}},
        {.Mask = "%t (sorted)",
         .Order = "A;B",
         .Expected = {"Name (sorted)", "Name (sorted)", "Name"}},
        {.Mask = "%t (%i)", .Order = "A", .Expected = {"Name (1)", "Name", "Name"}},
        {.Mask = "%t (%i)", .Order = "A;B", .Expected = {"Name (1)", "Name (2)", "Name"}},
        {.Mask = "%i: %t", .Order = "B", .Expected = {"Name", "1: Name", "Name"}},
        {.Mask = "%t %s", .Order = "B", .Expected = {"Name", "Name ", "Name"}},
        {.Mask = "%t", .Order = "", .Expected = {"Name", "Name", "Name"}},
    };
    Sorter->RegisterGrid(Grid);
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(std::string(Case.Mask) + " on " + Case.Order);
        Sorter->SetClickedTitleMask(Case.Mask);
        Table->SetIndexFieldNames(Case.Order);
        EXPECT_EQ(Captions(), Case.Expected);
    }
    // Back to the captions the application gave.
    Sorter->UnregisterGrid(Grid);
    EXPECT_EQ(Captions(), (Names{"Name", "Name", "Name"}));
}

TEST_F(TitleHighlightTest, DirectionPlaceholdersNeedACycleWithDirections) {
    Sorter->SetClickedTitleMask("%t %a");
    Sorter->RegisterGrid(Grid);
    struct TCase {
        TDBGridSortCycle Cycle;
        const char* Order;
        Names Expected;
    };
    const TCase Cases[] = {
        {scAscending, "A:D;B:D", {"Name a", "Name a", "Name"}},
        {scAscendingDescending, "A:D;B:D", {"Name \u25BC", "Name \u25BC", "Name"}},
        {scDescendingFirstForNumbersAndDates, "B", {"Name", "Name \u25B2", "Name"}},
        {scAscending, "B", {"Name", "Name a", "Name"}},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Order);
        Sorter->SetSortCycle(Case.Cycle);
        Table->SetIndexFieldNames(Case.Order);
        EXPECT_EQ(Captions(), Case.Expected);
    }
}

TEST_F(TitleHighlightTest, DefaultColumnsNeverChangeTheirCaptions) {
    TDBGrid* Plain = GridOn(Source);
    ASSERT_EQ(Plain->Columns()->State(), csDefault);
    Sorter->SetClickedTitleMask("%t (%i)");
    Table->SetIndexFieldNames("A;B");
    Sorter->RegisterGrid(Plain);
    EXPECT_EQ(ColumnOf(*Plain, "A")->Title()->Caption(), "A");
    EXPECT_EQ(Highlighted(*Plain), (Names{"A", "B"}));
}

TEST_F(TitleHighlightTest, OnlyTheColourOptionChangesTheColourAndRestoresIt) {
    Sorter->SetUseClickedTitleFontColor(false);
    Sorter->SetUseClickedTitleFontStyle(false);
    Sorter->SetUseClickedTitleColor(true);
    TColumnTitle& Title = *ColumnOf(*Grid, "A")->Title();
    const TColor Before = Title.Color();
    const TColor FontBefore = Title.Font()->Color();

    Table->SetIndexFieldNames("A");
    Sorter->RegisterGrid(Grid);
    EXPECT_EQ(Title.Color(), cl3DLight);
    EXPECT_EQ(Title.Font()->Color(), FontBefore);
    EXPECT_EQ(Title.Font()->Style(), TFontStyles{});

    Table->SetIndexFieldNames("B;A");
    EXPECT_EQ(Title.Color(), cl3DLight);
    Table->SetIndexFieldNames("");
    EXPECT_EQ(Title.Color(), Before);
}

TEST_F(TitleHighlightTest, WithoutAnyOptionNothingIsChangedOrSavedButTheGridRegisters) {
    Sorter->SetUseClickedTitleFontColor(false);
    Sorter->SetUseClickedTitleFontStyle(false);
    Table->SetIndexFieldNames("A");
    Sorter->UpdateTitle(Grid);
    EXPECT_TRUE(Sorter->IsRegistered(Grid));
    EXPECT_TRUE(Sorter->SavedColumnIDs(Grid).empty());
    EXPECT_TRUE(Highlighted(*Grid).empty());
    EXPECT_EQ(ColumnOf(*Grid, "A")->Title()->Font()->Style(), TFontStyles{});
}

TEST_F(TitleHighlightTest, RestoringPutsBackTheSavedLookOfEveryColumnStillThere) {
    Sorter->SetClickedTitleMask("%t!");
    TColumn* A = ColumnOf(*Grid, "A");
    TColumn* B = ColumnOf(*Grid, "B");
    A->Title()->Font()->SetStyle({fsItalic});
    Table->SetIndexFieldNames("A;B");
    Sorter->RegisterGrid(Grid);
    ASSERT_EQ(Sorter->SavedColumnIDs(Grid), (std::vector<int>{A->ID(), B->ID()}));
    EXPECT_EQ(A->Title()->Font()->Style(), TFontStyles{fsBold});

    // The application renames a highlighted title, and deletes the other one.
    A->Title()->SetCaption("Renamed");
    Grid->Columns()->Delete(B->Index());
    Sorter->RestoreTitles(Grid);
    EXPECT_EQ(A->Title()->Caption(), "Name");
    EXPECT_EQ(A->Title()->Font()->Style(), TFontStyles{fsItalic});
    EXPECT_EQ(A->Title()->Font()->Color(), ColumnOf(*Grid, "C")->Title()->Font()->Color());
    EXPECT_TRUE(Sorter->SavedColumnIDs(Grid).empty());
    EXPECT_TRUE(Sorter->IsRegistered(Grid));
}

TEST_F(TitleHighlightTest, AColumnHighlightedTwiceInOneCallRestoresToItsFirstLook) {
    Sorter->SetUseClickedTitleColor(true);
    Sorter->SetClickedTitleMask("%t (%i)");
    TColumn* A = ColumnOf(*Grid, "A");
    const TColor Before = A->Title()->Color();
    Sorter->HighlightTitles({A, ColumnOf(*Grid, "B"), A}, -1);
    EXPECT_EQ(A->Title()->Caption(), "Name (3)");
    EXPECT_EQ(Sorter->SavedColumnIDs(Grid),
              (std::vector<int>{ColumnOf(*Grid, "B")->ID(), A->ID()}));
    Sorter->RestoreTitles(Grid);
    EXPECT_EQ(A->Title()->Caption(), "Name");
    EXPECT_EQ(A->Title()->Color(), Before);
    EXPECT_TRUE(Highlighted(*Grid).empty());
}

TEST_F(TitleHighlightTest, ColumnsOfTwoGridsEndTheCallAndChangeNoRegistryEntry) {
    TDBGrid* Other = GridOn(Source, {"A"});
    Grid->SetName("Grid");
    Other->SetName("Other");
    TColumn* A = ColumnOf(*Grid, "A");
    Table->SetIndexFieldNames("B");
    Sorter->RegisterGrids({Grid, Other});
    const std::vector<int> Saved = Sorter->SavedColumnIDs(Grid);
    ASSERT_EQ(Saved, (std::vector<int>{ColumnOf(*Grid, "B")->ID()}));

    Sorter->HighlightTitles({A, ColumnOf(*Other, "A"), ColumnOf(*Grid, "C")}, -1);
    EXPECT_EQ(Highlighted(*Grid), (Names{"A", "B"})); // A stays changed, unremembered
    EXPECT_TRUE(Highlighted(*Other).empty());
    EXPECT_EQ(Sorter->SavedColumnIDs(Grid), Saved);
    EXPECT_TRUE(Sorter->SavedColumnIDs(Other).empty());

    // A column outside any grid is no data grid's column either.
    TColumn Loose;
    Sorter->HighlightTitles({&Loose}, 1);
    EXPECT_EQ(Sorter->GetRegisteredGridNames(), "Grid;Other");
}

TEST_F(TitleHighlightTest, CountLimitsTheColumnsAndMustNotExceedThem) {
    TColumn* A = ColumnOf(*Grid, "A");
    TColumn* B = ColumnOf(*Grid, "B");
    Sorter->HighlightTitles({A, B}, 1);
    EXPECT_EQ(Highlighted(*Grid), (Names{"A"}));
    EXPECT_TRUE(Sorter->IsRegistered(Grid));
    EXPECT_THROW(Sorter->HighlightTitles({A, B}, 3), Exception);
    Sorter->HighlightTitles({}, 0);
    EXPECT_EQ(Sorter->SavedColumnIDs(Grid), (std::vector<int>{A->ID()}));

    TList List;
    List.Add(B);
    Sorter->RestoreTitles(Grid);
    Sorter->HighlightTitlesList(List);
    EXPECT_EQ(Highlighted(*Grid), (Names{"B"}));
}

TEST_F(TitleHighlightTest, UpdateTitleHighlightsTheFirstColumnOfEachSortField) {
    Grid->Columns()->Add()->SetFieldName("A"); // a second column on A stays plain
    Table->SetIndexFieldNames("B;A");
    Sorter->UpdateTitle(Grid);
    EXPECT_EQ(Highlighted(*Grid), (Names{"A", "B"}));
    EXPECT_EQ(Sorter->SavedColumnIDs(Grid),
              (std::vector<int>{ColumnOf(*Grid, "B")->ID(), ColumnOf(*Grid, "A")->ID()}));

    // Without a table there is no order to show: the titles stay restored.
    Grid->SetDataSource(nullptr);
    Sorter->UpdateTitle(Grid);
    EXPECT_TRUE(Highlighted(*Grid).empty());
}

} // namespace
} // namespace vorn::titlesorttest
