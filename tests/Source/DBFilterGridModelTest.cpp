#include "tests/Source/DBFilterGridTest.h"

#include "host/components/controls/Form.h"
#include "host/components/forms/FormFile.h"
#include "host/components/graphics/Resources.h"
#include "host/components/model/ClassRegistry.h"
#include "host/data/drivers/DatabaseError.h"

namespace vorn::test {
namespace {

const TFilterGridOptions DefaultOptions{fgoCorrect, fgoNonTableValueList, fgoStrictOperators};

// ---- Layout, defaults and owned objects -------------------------------------

class FilterGridLayoutTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { RegisterVornDataResources(); }
    std::unique_ptr<TComponent> Form = std::make_unique<TComponent>(nullptr);
};

TEST_P(FilterGridLayoutTest, ConstructorSetsLayoutAndDefaults) {
    const bool Designing = GetParam();
    Form->SetDesigning(Designing);
    auto* Grid = new TDBFilterGrid(Form.get());

    EXPECT_EQ(Grid->ComponentState().Contains(csDesigning), Designing);
    EXPECT_EQ(Grid->ColCount(), 5);
    EXPECT_EQ(Grid->RowCount(), 2);
    EXPECT_EQ(Grid->FixedCols(), 1);
    EXPECT_EQ(Grid->FixedRows(), 1);
    const std::vector<std::string> Titles = {"", "Field", "Operator", "Value", "Bool"};
    const std::vector<int> Widths = {21, 120, 100, 120, 40};
    for (int Column = 0; Column < 5; ++Column) {
        EXPECT_EQ(Grid->Cells(Column, 0), Titles[static_cast<std::size_t>(Column)]);
        EXPECT_EQ(Grid->ColWidths(Column), Widths[static_cast<std::size_t>(Column)]);
        EXPECT_EQ(Grid->Cells(Column, 1), "");
    }
    EXPECT_EQ(Grid->DefaultRowHeight(), 21);
    EXPECT_EQ(Grid->RowHeights(0), 21);
    EXPECT_EQ(Grid->RowHeights(1), 21);
    EXPECT_EQ(Grid->Width(), 425);
    EXPECT_TRUE(Grid->Options().Contains(goColSizing));
    EXPECT_TRUE(Grid->Options().Contains(goThumbTracking));
    EXPECT_TRUE(Grid->Options().Contains(goFixedVertLine));

    EXPECT_EQ(Grid->FilterKind(), fkSQL);
    EXPECT_EQ(Grid->FilterMaxDropDownCount(), 15);
    EXPECT_EQ(Grid->DefaultOperator(), foiEqual);
    EXPECT_EQ(Grid->Wildcards(), "*?");
    EXPECT_EQ(Grid->TargetWildcards(), "%_");
    EXPECT_EQ(Grid->FilterGridOptions(), DefaultOptions);
    EXPECT_EQ(Grid->ColumnNames, fcnEnglish);
    EXPECT_EQ(Grid->OperatorNames, fonComputer);
    EXPECT_EQ(Grid->BoolNames, fbnComputer);
    EXPECT_EQ(Grid->DataSource(), nullptr);
    ASSERT_NE(Grid->DataLink(), nullptr);
    EXPECT_FALSE(Grid->ArrowKeyFlag());

    if (Designing) {
        EXPECT_EQ(Grid->InCellEditor(), nullptr);
        EXPECT_EQ(Grid->RowButton(), nullptr);
        EXPECT_EQ(Grid->DeleteRowBitmap(), nullptr);
        EXPECT_EQ(Grid->ValueListQuery(), nullptr);
        EXPECT_EQ(Grid->ComponentCount(), 0);
        return;
    }
    TDBFilterGridComboBox* Editor = Grid->InCellEditor();
    ASSERT_NE(Editor, nullptr);
    EXPECT_EQ(Editor->Owner(), Grid);
    EXPECT_EQ(Editor->Parent(), Grid);
    EXPECT_TRUE(Editor->ParentFont());
    EXPECT_FALSE(Editor->Visible());
    EXPECT_EQ(Editor->Style(), csDropDown);
    TDBFilterGridSpeedButton* Button = Grid->RowButton();
    ASSERT_NE(Button, nullptr);
    EXPECT_EQ(Button->Owner(), Grid);
    EXPECT_EQ(Button->Parent(), Grid);
    EXPECT_FALSE(Button->Visible());
    ASSERT_NE(Grid->ValueListQuery(), nullptr);
    EXPECT_EQ(Grid->ValueListQuery()->Owner(), Grid);
    ASSERT_NE(Grid->DeleteRowBitmap(), nullptr);
    EXPECT_EQ(Button->Glyph()->Width(), 16);
    EXPECT_EQ(Button->Glyph()->Height(), 16);
    EXPECT_EQ(Button->Glyph()->Pixels(8, 8), Grid->DeleteRowBitmap()->Pixels(8, 8));
}

INSTANTIATE_TEST_SUITE_P(FilterGrid, FilterGridLayoutTest, ::testing::Bool(), [](const auto& Info) {
    return std::string(Info.param ? "Designing" : "RunTime");
});

TEST(FilterGridClassTest, PublishesItsPropertiesInOrder) {
    const TClass& Class = TDBFilterGrid::StaticClass();
    EXPECT_TRUE(Class.InheritsFrom(TStringGrid::StaticClass()));
    std::vector<std::string> Names;
    for (const TPropertyInfo& Property : Class.OwnProperties())
        Names.push_back(Property.Name);
    EXPECT_EQ(Names, (std::vector<std::string>{"DataSource", "FilterKind", "FilterMaxDropDownCount",
                                               "DefaultOperator", "Wildcards", "TargetWildcards",
                                               "FilterGridOptions", "FilterBuilderOptions",
                                               "FilterRows"}));
    // Only the builder's properties stay out of a form file at their defaults.
    for (const TPropertyInfo& Property : Class.OwnProperties())
        EXPECT_EQ(Property.StreamDefault.has_value(),
                  Property.Name == "FilterBuilderOptions" || Property.Name == "FilterRows")
            << Property.Name;
    EXPECT_EQ(Class.FindProperty("DataSource")->Type->Kind, tkComponent);
    EXPECT_EQ(Class.FindProperty("DataSource")->Type->ClassType, &TDataSource::StaticClass());
    EXPECT_EQ(Class.FindProperty("FilterKind")->Type->ElementNames,
              (std::vector<std::string>{"fkSimple", "fkSQL"}));
    EXPECT_EQ(Class.FindProperty("DefaultOperator")->Type->ElementNames.size(), 11u);
    EXPECT_EQ(Class.FindProperty("DefaultOperator")->Type->ElementNames[10], "foiIsNotNull");
    EXPECT_EQ(
        Class.FindProperty("FilterGridOptions")->Type->ElementNames,
        (std::vector<std::string>{"fgoCaseSensitive", "fgoCaseSensitiveContaining", "fgoCorrect",
                                  "fgoCorrectTranslateWildcards", "fgoExceptions",
                                  "fgoNonTableValueList", "fgoStrictOperators"}));
    // The editors are made by their grid only.
    EXPECT_FALSE(TDBFilterGridComboBox::StaticClass().CanCreate());
    EXPECT_FALSE(TDBFilterGridSpeedButton::StaticClass().CanCreate());
    EXPECT_TRUE(TDBFilterGridComboBox::StaticClass().InheritsFrom(TCustomComboBox::StaticClass()));
    EXPECT_TRUE(TDBFilterGridSpeedButton::StaticClass().InheritsFrom(TSpeedButton::StaticClass()));
}

TEST(FilterGridClassTest, PropertiesReadAndWriteThroughTheClassInformation) {
    RegisterVornDataResources();
    TComponent Form(nullptr);
    TComponent* Created = TDBFilterGrid::StaticClass().CreateInstance(&Form);
    auto* Grid = dynamic_cast<TDBFilterGrid*>(Created);
    ASSERT_NE(Grid, nullptr);
    auto* Source = new TDataSource(&Form);
    const TClass& Class = Grid->ClassType();
    Class.FindProperty("DataSource")->Set(*Grid, static_cast<TObject*>(Source));
    Class.FindProperty("FilterKind")->Set(*Grid, std::int64_t{fkSimple});
    Class.FindProperty("FilterMaxDropDownCount")->Set(*Grid, std::int64_t{7});
    Class.FindProperty("DefaultOperator")->Set(*Grid, std::int64_t{foiLike});
    Class.FindProperty("Wildcards")->Set(*Grid, std::string("*?#"));
    Class.FindProperty("TargetWildcards")->Set(*Grid, std::string("%_\\"));
    const TFilterGridOptions Options{fgoExceptions, fgoCaseSensitive};
    Class.FindProperty("FilterGridOptions")->Set(*Grid, static_cast<std::int64_t>(Options.Bits()));
    EXPECT_EQ(Grid->DataSource(), Source);
    EXPECT_EQ(Grid->FilterKind(), fkSimple);
    EXPECT_EQ(Grid->FilterMaxDropDownCount(), 7);
    EXPECT_EQ(Grid->DefaultOperator(), foiLike);
    EXPECT_EQ(Grid->Wildcards(), "*?#");
    EXPECT_EQ(Grid->TargetWildcards(), "%_\\");
    EXPECT_EQ(Grid->FilterGridOptions(), Options);
    EXPECT_EQ(std::get<TObject*>(Class.FindProperty("DataSource")->Get(*Grid)), Source);
    EXPECT_THROW(Grid->SetDefaultOperator(static_cast<TFilterOperatorIndex>(11)), Exception);
    EXPECT_EQ(Grid->DefaultOperator(), foiLike);
}

// ---- Vocabulary ---------------------------------------------------------------

TEST(FilterGridVocabularyTest, TablesHoldTheirNamesInWindows1250) {
    EXPECT_EQ(fonEnglish[foiStartingWith], "begins with");
    EXPECT_EQ(fonEnglish[foiIsNotNull], "is not null");
    EXPECT_EQ(fonSerbian[foiLess], "manje");
    EXPECT_EQ(fonSerbian[foiLargerOrEqual], std::string("ve\xE6") + "e ili jednako");
    EXPECT_EQ(fonSerbian[foiLarger], std::string("ve\xE6") + "e");
    EXPECT_EQ(fonSerbian[foiStartingWith], std::string("po\xE8") + "inje sa");
    EXPECT_EQ(fonSerbian[foiContaining], std::string("sadr\x9E") + "i");
    EXPECT_EQ(fonSerbian[foiLike], std::string("sli\xE8") + "no");
    EXPECT_EQ(fonSerbian[foiIsNull], "nema vrednost");
    EXPECT_EQ(fonSerbian[foiIsNotNull], "ima vrednost");
    EXPECT_EQ(fcnSerbian, (TFilterColumnNames{"Polje", "Operator", "Vrednost", "Veznik"}));
    EXPECT_EQ(fbnEnglish, (TFilterBoolNames{"and", "or"}));
    EXPECT_EQ(fbnSerbian, (TFilterBoolNames{"i", "ili"}));
    for (int Index = foiLess; Index <= foiIsNotNull; ++Index)
        EXPECT_EQ(
            TDBFilterGrid::OperatorIndexTOSQLOperator(static_cast<TFilterOperatorIndex>(Index)),
            fonComputer[static_cast<std::size_t>(Index)]);
}

TEST(FilterGridVocabularyTest, OperatorSets) {
    auto Members = [](TFilterOperatorIndexes Set) {
        std::vector<int> Result;
        for (int Index = foiLess; Index <= foiIsNotNull; ++Index)
            if (Set.Contains(static_cast<TFilterOperatorIndex>(Index)))
                Result.push_back(Index);
        return Result;
    };
    EXPECT_EQ(Members(AllFilterOperatorIndexes),
              (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(Members(SimpleFilterOperatorIndexes), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(Members(UnquotedFilterOperatorIndexes), (std::vector<int>{0, 1, 2, 3, 4, 5, 9, 10}));
}

TEST_F(FilterGridTest, AssignedVocabularyIsRecognizedWhileTheTitlesStay) {
    Grid->ColumnNames = fcnSerbian;
    Grid->OperatorNames = fonSerbian;
    EXPECT_EQ(Grid->Cells(1, 0), "Field");
    EXPECT_EQ(Grid->Cells(4, 0), "Bool");
    EXPECT_EQ(Grid->OperatorNameToIndex("manje"), foiLess);
    EXPECT_EQ(Grid->OperatorNameToIndex(" ima vrednost "), foiIsNotNull);
    EXPECT_THROW(Grid->OperatorNameToIndex("<"), Exception);
    // Each grid holds its own copy.
    TDBFilterGrid* Other = new TDBFilterGrid(Form.get());
    EXPECT_EQ(Other->OperatorNameToIndex("<"), foiLess);
}

// ---- The row-delete picture ---------------------------------------------------

TEST(FilterGridResourceTest, DeleteRowBitmapIsASixteenColourCrossOnWhite) {
    const std::vector<std::uint8_t> Bytes = DeleteFilterRowBitmapBytes();
    ASSERT_GE(Bytes.size(), 40u);
    EXPECT_EQ(Bytes[0], 40); // an information header without file header
    EXPECT_EQ(Bytes[14], 4); // bits per pixel
    EXPECT_EQ(Bytes.size(), 40u + 16 * 4 + 16 * 8);

    RegisterVornDataResources();
    RegisterVornDataResources(); // a second initialisation is harmless
    TBitmap Bitmap;
    Bitmap.LoadFromResourceName(VornDataModuleName, "DELETEFILTERROW");
    ASSERT_EQ(Bitmap.Width(), 16);
    ASSERT_EQ(Bitmap.Height(), 16);
    const TColor White = Bitmap.Pixels(0, 0);
    EXPECT_EQ(White, Bitmap.Pixels(15, 15));
    EXPECT_EQ(White, Bitmap.Pixels(8, 2));
    for (int Step = 3; Step <= 12; ++Step) {
        const TColor Ink = Bitmap.Pixels(Step, Step);
        EXPECT_NE(Ink, White) << Step;
        EXPECT_EQ(Bitmap.Pixels(15 - Step, Step), Ink) << Step;
    }
    // Dark: each channel of the cross is at most half strength.
    const TColor Ink = Bitmap.Pixels(8, 8);
    for (int Shift : {0, 8, 16})
        EXPECT_LE((Ink >> Shift) & 0xFF, 0x80u);
}

TEST(FilterGridResourceTest, MissingBitmapFailsConstructionWithoutLeavingAGrid) {
    UnregisterVornDataResources();
    TComponent Form(nullptr);
    EXPECT_THROW(TDBFilterGrid Grid(&Form), EResNotFound);
    EXPECT_EQ(Form.ComponentCount(), 0);
    // The designer needs no picture.
    Form.SetDesigning(true);
    EXPECT_NO_THROW(new TDBFilterGrid(&Form));
    RegisterVornDataResources();
}

// ---- Data source --------------------------------------------------------------

// A server connection: not sequenced, and nothing else is ever asked of it here.
class TServerConnection : public TDriverConnection {
public:
    const std::string& Description() const override { return FDescription; }
    TSqlBackend SqlBackend() const override { return sbPostgreSQL; }
    bool IsSequenced() const override { return false; }
    bool OrdersByIndexOnly() const override { return false; }
    std::string QuoteIdentifier(const std::string& Name) const override {
        return "\"" + Name + "\"";
    }
    std::string Placeholder(int Number) const override { return "$" + std::to_string(Number); }
    bool TableExists(const std::string&) override { return false; }
    std::vector<TColumnInfo> Columns(const std::string&) override { return {}; }
    std::vector<TIndexInfo> Indexes(const std::string&) override { return {}; }
    std::vector<std::string> RowKey(const std::string&) override { return {}; }
    bool ComparesAsBytes(const std::string&, const TColumnInfo&) override { return false; }
    bool NextValueSearchesIndex(const std::string&, const std::string&) override { return false; }
    bool DistinctSearchesIndex() const override { return false; }
    bool HasMinimum(TFieldType) const override { return false; }
    bool RefusesLikePattern(const std::string&) const override { return false; }
    std::unique_ptr<TDriverCursor> Execute(const std::string&,
                                           const std::vector<TVariant>&) override {
        throw EDatabaseError("server: no statements here");
    }
    std::int64_t ExecuteCommand(const std::string&, const std::vector<TVariant>&) override {
        throw EDatabaseError("server: no statements here");
    }

private:
    std::string FDescription = "server";
};

enum TDataSetKind { dkTable, dkLocalQuery, dkServerQuery, dkQueryWithoutDatabase, dkNone };

struct TDesignerCase {
    const char* Title;
    TDataSetKind Kind;
    bool Designing;
    bool Loading;
    TFilterKind ExpectedKind;
    TFilterGridOptions ExpectedOptions;
};

std::ostream& operator<<(std::ostream& Stream, const TDesignerCase& Case) {
    return Stream << Case.Title;
}

const TFilterGridOptions StartOptions{fgoCorrect, fgoExceptions};

const TDesignerCase DesignerCases[] = {
    {.Title = "DesignedTable",
     .Kind = dkTable,
     .Designing = true,
     .Loading = false,
     .ExpectedKind = fkSimple,
     .ExpectedOptions = StartOptions + TFilterGridOptions{fgoCaseSensitive}},
    {.Title = "DesignedLocalQuery",
     .Kind = dkLocalQuery,
     .Designing = true,
     .Loading = false,
     .ExpectedKind = fkSimple,
     .ExpectedOptions = StartOptions},
    {.Title = "DesignedServerQuery",
     .Kind = dkServerQuery,
     .Designing = true,
     .Loading = false,
     .ExpectedKind = fkSQL,
     .ExpectedOptions = StartOptions},
    {.Title = "DesignedQueryWithoutDatabase",
     .Kind = dkQueryWithoutDatabase,
     .Designing = true,
     .Loading = false,
     .ExpectedKind = fkSQL,
     .ExpectedOptions = StartOptions},
    {.Title = "DesignedSourceWithoutDataSet",
     .Kind = dkNone,
     .Designing = true,
     .Loading = false,
     .ExpectedKind = fkSQL,
     .ExpectedOptions = StartOptions},
    {.Title = "TableAtRunTime",
     .Kind = dkTable,
     .Designing = false,
     .Loading = false,
     .ExpectedKind = fkSQL,
     .ExpectedOptions = StartOptions},
    {.Title = "LocalQueryAtRunTime",
     .Kind = dkLocalQuery,
     .Designing = false,
     .Loading = false,
     .ExpectedKind = fkSQL,
     .ExpectedOptions = StartOptions},
    {.Title = "TableWhileTheFormIsRead",
     .Kind = dkTable,
     .Designing = true,
     .Loading = true,
     .ExpectedKind = fkSQL,
     .ExpectedOptions = StartOptions},
};

class FilterGridDesignerTest : public ::testing::TestWithParam<TDesignerCase> {
protected:
    void SetUp() override {
        RegisterVornDataResources();
        RegisterDatabase(ServerAlias, [] { return std::make_unique<TServerConnection>(); });
    }
    void TearDown() override {
        Form.reset();
        UnregisterDatabase(ServerAlias);
    }

    TDataSet* MakeDataSet(TDataSetKind Kind) {
        switch (Kind) {
        case dkTable: {
            auto* Table = new TTable(Form.get());
            Table->SetDatabaseName(Database.Alias());
            Table->SetTableName("People");
            return Table;
        }
        case dkLocalQuery:
        case dkServerQuery:
        case dkQueryWithoutDatabase: {
            auto* Query = new TQuery(Form.get());
            if (Kind != dkQueryWithoutDatabase)
                Query->SetDatabaseName(Kind == dkLocalQuery ? Database.Alias() : ServerAlias);
            return Query;
        }
        case dkNone:
            return nullptr;
        }
        return nullptr;
    }

    const std::string ServerAlias = "FilterGridServer";
    TFilterGridDatabase Database;
    std::unique_ptr<TComponent> Form = std::make_unique<TComponent>(nullptr);
};

TEST_P(FilterGridDesignerTest, AssigningADataSourceAdjustsTheDesignedDefaults) {
    const TDesignerCase& Case = GetParam();
    Form->SetDesigning(Case.Designing);
    auto* Grid = new TDBFilterGrid(Form.get());
    Grid->SetFilterGridOptions(StartOptions);
    auto* Source = new TDataSource(Form.get());
    Source->SetDataSet(MakeDataSet(Case.Kind));
    if (Case.Loading)
        Grid->SetLoading();

    Grid->SetDataSource(Source);

    EXPECT_EQ(Grid->DataSource(), Source);
    EXPECT_EQ(Grid->FilterKind(), Case.ExpectedKind);
    EXPECT_EQ(Grid->FilterGridOptions(), Case.ExpectedOptions);
}

INSTANTIATE_TEST_SUITE_P(FilterGrid, FilterGridDesignerTest, ::testing::ValuesIn(DesignerCases),
                         [](const auto& Info) { return std::string(Info.param.Title); });

// A form read in the designer resolves the grid's DataSource after the stored kind and
// options were applied: they must survive, whatever the data source is.
TEST(FilterGridFormFileTest, DesignedFormKeepsTheKindAndOptionsItStored) {
    RegisterVornDataResources();
    RegisterHostClasses();
    for (const TClass* Class :
         {&TTable::StaticClass(), &TDataSource::StaticClass(), &TDBFilterGrid::StaticClass()})
        RegisterClass(*Class);
    TFilterGridDatabase Database;
    const TFilterGridOptions Stored{fgoCorrect, fgoExceptions};
    std::string Json;
    {
        TForm Designed(nullptr);
        Designed.SetName("FilterForm");
        Designed.SetDesigning(true);
        auto* Table = new TTable(&Designed);
        Table->SetName("People");
        Table->SetDatabaseName(Database.Alias());
        Table->SetTableName("People");
        auto* Source = new TDataSource(&Designed);
        Source->SetName("PeopleSource");
        Source->SetDataSet(Table);
        auto* Grid = new TDBFilterGrid(&Designed);
        Grid->SetName("Filter");
        Grid->SetDataSource(Source);
        ASSERT_EQ(Grid->FilterKind(), fkSimple);
        // The developer chose otherwise after assigning the data source.
        Grid->SetFilterKind(fkSQL);
        Grid->SetFilterGridOptions(Stored);
        Json = WriteForm(Designed);
    }
    TForm Designed(nullptr);
    Designed.SetName("FilterForm");
    Designed.SetDesigning(true);
    ReadFormInto(Designed, Json);
    auto* Grid = dynamic_cast<TDBFilterGrid*>(Designed.FindComponent("Filter"));
    ASSERT_NE(Grid, nullptr);
    EXPECT_EQ(Grid->DataSource(), Designed.FindComponent("PeopleSource"));
    EXPECT_EQ(Grid->FilterKind(), fkSQL);
    EXPECT_EQ(Grid->FilterGridOptions(), Stored);
    EXPECT_EQ(Grid->InCellEditor(), nullptr);
}

TEST(FilterGridFormFileTest, ARunTimeGridRoundTripsWithoutItsOwnEditors) {
    RegisterVornDataResources();
    RegisterHostClasses();
    RegisterClass(TDBFilterGrid::StaticClass());
    std::string Json;
    {
        TForm Running(nullptr);
        Running.SetName("FilterForm");
        auto* Grid = new TDBFilterGrid(&Running);
        Grid->SetName("Filter");
        Grid->SetFilterKind(fkSimple);
        Json = WriteForm(Running);
    }
    // The editor, row button and value-list query are the grid's own business: the file
    // holds the grid alone, and reading it gives a grid that made them anew.
    EXPECT_EQ(Json.find("TDBFilterGridComboBox"), std::string::npos);
    EXPECT_EQ(Json.find("TQuery"), std::string::npos);
    TForm Running(nullptr);
    Running.SetName("FilterForm");
    ReadFormInto(Running, Json);
    auto* Grid = dynamic_cast<TDBFilterGrid*>(Running.FindComponent("Filter"));
    ASSERT_NE(Grid, nullptr);
    EXPECT_EQ(Grid->FilterKind(), fkSimple);
    EXPECT_NE(Grid->InCellEditor(), nullptr);
    EXPECT_EQ(Grid->ComponentCount(), 3);
}

TEST_F(FilterGridTest, RemovalOfTheDataSourceDropsItAndKeepsTheRows) {
    SetRows({{"Name", "=", "x", ""}});
    auto* Other = new TDataSource(Form.get());
    delete Other;
    EXPECT_EQ(Grid->DataSource(), Source);

    delete Source;
    EXPECT_EQ(Grid->DataSource(), nullptr);
    EXPECT_EQ(Grid->DataLink()->DataSource(), nullptr);
    EXPECT_EQ(Rows(), (std::vector<TFilterRow>{{"Name", "=", "x", ""}}));
    EXPECT_EQ(Grid->GetFilterExpression(), "");
}

TEST_F(FilterGridTest, OwnedHelpersFreedFromOutsideAreForgotten) {
    delete Grid->InCellEditor();
    delete Grid->RowButton();
    delete Grid->ValueListQuery();
    EXPECT_EQ(Grid->InCellEditor(), nullptr);
    EXPECT_EQ(Grid->RowButton(), nullptr);
    EXPECT_EQ(Grid->ValueListQuery(), nullptr);
    Table->Close();
    SetRows({{"Name", "=", "x", ""}});
    EXPECT_EQ(Grid->GetFilterExpression(), "");
}

TEST_F(FilterGridTest, ValueListQueryFollowsTheLinkedTable) {
    TQuery* Query = Grid->ValueListQuery();
    EXPECT_EQ(Query->DatabaseName(), Database.Alias());

    Query->SQL()->SetText("SELECT DISTINCT Name FROM People");
    Query->Open();
    Table->Close();
    EXPECT_FALSE(Query->Active());

    // Another table on another database: the query follows it when it opens.
    TFilterGridDatabase Second;
    Table->SetDatabaseName(Second.Alias());
    Table->Open();
    EXPECT_EQ(Query->DatabaseName(), Second.Alias());
    Query->Open();

    // A query as the linked dataset: the value-list query is closed.
    auto* Linked = new TQuery(Form.get());
    Linked->SetDatabaseName(Database.Alias());
    Linked->SQL()->SetText("SELECT Name FROM People");
    Linked->Open();
    auto* QuerySource = new TDataSource(Form.get());
    QuerySource->SetDataSet(Linked);
    Grid->SetDataSource(QuerySource);
    EXPECT_FALSE(Query->Active());

    Grid->SetDataSource(Source);
    EXPECT_EQ(Query->DatabaseName(), Second.Alias());
    Grid->SetDataSource(nullptr);
    Table->Close();
}

TEST_F(FilterGridTest, GridFreedBeforeItsDataSourceLeavesNoLinkBehind) {
    delete Grid;
    EXPECT_EQ(Source->DataLinkCount(), 0);
    Table->Close();
    Table->Open();
}

TEST_F(FilterGridTest, InCellEditorLivesBesideTheGrid) {
    auto* Panel = new TWinControl(Form.get());
    Grid->SetParent(Panel);
    EXPECT_EQ(Grid->Parent(), Panel);
    EXPECT_EQ(Grid->InCellEditor()->Parent(), Panel);
    EXPECT_EQ(Grid->RowButton()->Parent(), Grid);
    Grid->SetParent(nullptr);
    EXPECT_EQ(Grid->InCellEditor()->Parent(), nullptr);
}

// ---- Rows -----------------------------------------------------------------------

TEST_F(FilterGridTest, UnexistinqOrEmptyRow) {
    SetRows({{"", "", "", "AND"}, {"", "", " ", ""}, {"", "", "", ""}});
    Grid->SetCells(0, 3, "fixed text does not count");
    const std::vector<std::pair<int, bool>> Cases = {{-1, true}, {0, true}, {1, false},
                                                     {2, false}, {3, true}, {4, true}};
    for (const auto& [Row, Expected] : Cases)
        EXPECT_EQ(Grid->UnexistinqOrEmptyRow(Row), Expected) << "row " << Row;
}

TEST_F(FilterGridTest, DeleteOrClearRow) {
    SetRows({{"a", "", "", ""}, {"b", "", "", ""}, {"c", "", "", ""}});
    EXPECT_FALSE(Grid->DeleteOrClearRow(0));
    EXPECT_FALSE(Grid->DeleteOrClearRow(-3));
    EXPECT_FALSE(Grid->DeleteOrClearRow(4));
    EXPECT_EQ(Grid->Cells(1, 0), "Field");
    EXPECT_EQ(Grid->RowCount(), 4);

    EXPECT_TRUE(Grid->DeleteOrClearRow(2));
    EXPECT_EQ(Rows(), (std::vector<TFilterRow>{{"a", "", "", ""}, {"c", "", "", ""}}));
    EXPECT_TRUE(Grid->DeleteOrClearRow(2));
    EXPECT_EQ(Rows(), (std::vector<TFilterRow>{{"a", "", "", ""}}));

    Grid->SetCells(0, 1, "x");
    EXPECT_FALSE(Grid->DeleteOrClearRow(1));
    EXPECT_EQ(Grid->RowCount(), 2);
    EXPECT_EQ(Rows(), (std::vector<TFilterRow>{{"", "", "", ""}}));
    EXPECT_EQ(Grid->Cells(0, 1), "");
}

TEST_F(FilterGridTest, ClearLeavesOneEmptyFilterRow) {
    SetRows({{"a", "=", "1", "OR"}, {"b", "", "", ""}, {"", "", "", "AND"}, {"d", "", "x", ""}});
    Grid->Clear();
    EXPECT_EQ(Grid->RowCount(), 2);
    EXPECT_EQ(Rows(), (std::vector<TFilterRow>{{"", "", "", ""}}));
    EXPECT_EQ(Grid->Cells(3, 0), "Value");
    Grid->Clear();
    EXPECT_EQ(Grid->RowCount(), 2);
}

} // namespace
} // namespace vorn::test
