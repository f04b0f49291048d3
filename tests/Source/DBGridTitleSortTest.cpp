#include "DBGridTitleSortTest.h"

#include "host/components/controls/Form.h"
#include "host/components/forms/FormFile.h"
#include "host/components/model/ClassRegistry.h"
#include "host/data/dataset/Database.h"
#include "host/data/drivers/postgres/PgConnection.h"
#include "host/data/drivers/postgres/PgDatabase.h"
#include "tests/support/SampleDatabaseFile.h"
#include "tests/support/StandbyReplay.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace vorn::titlesorttest {

namespace {

// Identifiers are quoted so that both backends keep their letter case.
const char* const TablesSql[] = {
    R"(CREATE TABLE item ("Id" INTEGER PRIMARY KEY, "A" TEXT, "B" TEXT, "C" TEXT))",
    R"(CREATE INDEX item_ab ON item ("A", "B"))",
    R"(CREATE INDEX item_ba ON item ("B", "A"))",
    R"(INSERT INTO item ("Id", "A", "B", "C") VALUES (1, 'b', 'y', 'q'), (2, 'a', 'z', 'p'),
       (3, 'c', 'x', 'r'))",
    R"(CREATE TABLE cust ("CustNo" INTEGER PRIMARY KEY, "Region" TEXT, "Name" TEXT))",
    R"(INSERT INTO cust VALUES (1, 'north', 'Ann'), (2, 'south', 'Bob'))",
    R"(CREATE TABLE ord ("OrderNo" INTEGER PRIMARY KEY, "CustNo" INTEGER, "Region" TEXT,
       "Cust" TEXT, "OrderDate" TEXT))",
    R"(CREATE INDEX ord_date ON ord ("CustNo", "OrderDate"))",
    R"(CREATE INDEX ord_region ON ord ("CustNo", "Region", "OrderDate"))",
    R"(INSERT INTO ord VALUES (1, 1, 'north', 'x', '2024-02-01'), (2, 1, 'north', 'y',
       '2024-01-01'), (3, 2, 'south', 'z', '2024-03-01'))",
};

class TTitleSortDatabases : public ::testing::Environment {
public:
    void TearDown() override {
        FLocal.reset();
        if (!FStandbyAlias.empty())
            UnregisterDatabase(FStandbyAlias);
        if (FServerSchema.empty())
            return;
        UnregisterDatabase(FServerAlias);
        TPgConnection(FServerConnInfo)
            .ExecuteCommand("DROP SCHEMA " + FServerSchema + " CASCADE", {});
    }

    const std::string& LocalAlias() {
        if (!FLocal) {
            FLocal = std::make_unique<testsupport::TSampleDatabaseFile>(1);
            for (const char* Sql : TablesSql)
                FLocal->Execute(Sql);
        }
        return FLocal->Alias();
    }

    const std::string& ServerAlias() {
        if (!FServerSchema.empty())
            return FServerAlias;
        const char* ConnInfo = std::getenv("VORN_PG_CONNINFO");
        if (ConnInfo == nullptr || *ConnInfo == '\0')
            throw std::runtime_error("VORN_PG_CONNINFO is not set: the title sort tests need the "
                                     "PostgreSQL test server (scripts/pg.sh start)");
        FServerConnInfo = ConnInfo;
        // A schema of this program's own, so that concurrent test programs never meet.
        const std::string Schema = "titlesort" + std::to_string(getpid());
        TPgConnection Connection(FServerConnInfo);
        Connection.ExecuteCommand("DROP SCHEMA IF EXISTS " + Schema + " CASCADE", {});
        Connection.ExecuteCommand("CREATE SCHEMA " + Schema, {});
        Connection.ExecuteCommand("SET search_path TO " + Schema, {});
        for (const char* Sql : TablesSql)
            Connection.ExecuteCommand(Sql, {});
        FServerAlias = "TitleSortServer" + std::to_string(getpid());
        RegisterPostgresDatabase(FServerAlias, FServerConnInfo);
        FServerSchema = Schema;
        return FServerAlias;
    }

    const std::string& StandbyAlias() {
        if (!FStandbyAlias.empty())
            return FStandbyAlias;
        ServerAlias();
        const std::string StandbyConnInfo = testsupport::StandbyServerConnInfo();
        if (StandbyConnInfo.empty())
            throw std::runtime_error("VORN_PG_STANDBY_CONNINFO is not set: the standby title sort "
                                     "tests need a standby (scripts/pg.sh start-standby)");
        TPgConnection Primary(FServerConnInfo);
        TPgConnection Standby(StandbyConnInfo);
        testsupport::RequireStandby(Standby);
        testsupport::AwaitStandbyReplay(Primary, Standby);
        FStandbyAlias = "TitleSortStandby" + std::to_string(getpid());
        RegisterPostgresDatabase(FStandbyAlias, StandbyConnInfo);
        return FStandbyAlias;
    }

    const std::string& ServerSchema() const { return FServerSchema; }

private:
    std::unique_ptr<testsupport::TSampleDatabaseFile> FLocal;
    std::string FServerConnInfo;
    std::string FServerAlias;
    std::string FServerSchema;
    std::string FStandbyAlias;
};

TTitleSortDatabases& Databases() {
    static auto* const Environment = [] {
        auto* Created = new TTitleSortDatabases;
        ::testing::AddGlobalTestEnvironment(Created);
        return Created;
    }();
    return *Environment;
}

// Registered before main, so that the databases go before the program's statics do.
[[maybe_unused]] const bool DatabasesRegistered = (Databases(), true);

} // namespace

const std::string& LocalAlias() {
    return Databases().LocalAlias();
}

const std::string& ServerAlias() {
    return Databases().ServerAlias();
}

const std::string& StandbyAlias() {
    return Databases().StandbyAlias();
}

std::string ServerTable(const std::string& Name) {
    ServerAlias();
    return Databases().ServerSchema() + "." + Name;
}

std::vector<int> TInspectableTitleSort::SavedColumnIDs(const TDBGrid* Grid) const {
    std::vector<int> IDs;
    const int Index = FindOldTitleState(Grid);
    if (Index < 0)
        return IDs;
    for (const auto& State : TitleStates()[static_cast<std::size_t>(Index)]->ColumnStates)
        IDs.push_back(State->ColumnID);
    return IDs;
}

TitleSortTest::TitleSortTest() : Form(std::make_unique<TForm>(nullptr)) {
    ReleaseAllKeys();
    Sorter = new TInspectableTitleSort(Form.get());
    Sorter->OnSort = [this](TObject* Sender, TCustomGrid*, TDataSet*, const std::string& Fields) {
        EXPECT_EQ(Sender, Sorter);
        Sorts.push_back(Fields);
    };
}

TitleSortTest::~TitleSortTest() {
    Form.reset();
    ReleaseAllKeys();
}

TTable* TitleSortTest::OpenTable(const std::string& Alias, const std::string& TableName,
                                 const std::string& IndexFieldNames) {
    auto* Table = new TTable(Form.get());
    Table->SetDatabaseName(Alias);
    Table->SetTableName(TableName);
    Table->SetIndexFieldNames(IndexFieldNames);
    Table->Open();
    return Table;
}

TDataSource* TitleSortTest::SourceFor(TDataSet* DataSet) {
    auto* Source = new TDataSource(Form.get());
    Source->SetDataSet(DataSet);
    return Source;
}

TDBGrid* TitleSortTest::GridOn(TDataSource* Source, const std::vector<std::string>& FieldNames) {
    auto* Grid = new TDBGrid(Form.get());
    // Columns added before the data source are the only ones: none are built from fields.
    for (const std::string& FieldName : FieldNames)
        Grid->Columns()->Add()->SetFieldName(FieldName);
    Grid->SetDataSource(Source);
    return Grid;
}

TColumn* TitleSortTest::ColumnOf(const TDBGrid& Grid, const std::string& FieldName) {
    TColumn* Column = Grid.Columns()->FindColumn(FieldName);
    EXPECT_NE(Column, nullptr) << "no column for " << FieldName;
    return Column;
}

std::string TitleSortTest::Click(TColumn* Column, std::vector<int> Keys) {
    for (int Key : Keys)
        SetKeyDown(Key, true);
    try {
        std::string Result = Sorter->Execute(Column);
        ReleaseAllKeys();
        return Result;
    } catch (...) {
        ReleaseAllKeys();
        throw;
    }
}

std::vector<std::string> TitleSortTest::Highlighted(const TDBGrid& Grid) {
    std::vector<std::string> Names;
    for (int Index = 0; Index < Grid.Columns()->Count(); ++Index) {
        const TColumn* Column = Grid.Columns()->Items(Index);
        if (Column->Title()->Font()->Color() == clRed)
            Names.push_back(Column->FieldName());
    }
    return Names;
}

namespace {

using Names = std::vector<std::string>;

// ---------------------------------------------------------------- published interface

TEST(TitleSortPublishedTest, PropertiesInOrderWithTheirDefaults) {
    TDBGridTitleSort Sorter(nullptr);
    struct TExpected {
        const char* Name;
        TPropertyValue Default;
    };
    const std::vector<TExpected> Expected = {
        {"AutoRegister", std::int64_t{arForm}},
        {"AutoUpdate", true},
        {"ClickedTitleColor", std::int64_t{0x80000016}},
        {"ClickedTitleFontColor", std::int64_t{0x0000FF}},
        {"ClickedTitleFontStyle", std::int64_t{1}}, // bold only
        {"ClickedTitleMask", std::string()},
        {"UseClickedTitleColor", false},
        {"UseClickedTitleFontColor", true},
        {"UseClickedTitleFontStyle", true},
        {"StrictLocalIndexing", true},
        {"StrictServerIndexing", false},
        {"UnSort", true},
        {"MultiColumnSort", std::int64_t{4}}, // mcsCtrl only
        {"OnSort", std::monostate{}},
        {"SortCycle", std::int64_t{scAscending}},
    };
    const auto& Own = TDBGridTitleSort::StaticClass().OwnProperties();
    ASSERT_EQ(Own.size(), Expected.size());
    for (std::size_t Index = 0; Index < Expected.size(); ++Index) {
        SCOPED_TRACE(Expected[Index].Name);
        EXPECT_EQ(Own[Index].Name, Expected[Index].Name);
        EXPECT_EQ(Own[Index].Get(Sorter), Expected[Index].Default);
    }
    EXPECT_EQ(DBGridMulticolumnSortMethodsTypeInfo().ElementNames,
              (Names{"mcsShift", "mcsAlt", "mcsCtrl"}));
    EXPECT_EQ(DBGridAutoRegisterMethodTypeInfo().ElementNames, (Names{"arNone", "arForm"}));
    EXPECT_EQ(
        DBGridSortCycleTypeInfo().ElementNames,
        (Names{"scAscending", "scAscendingDescending", "scDescendingFirstForNumbersAndDates"}));
    // Only the property added later has a stream default: forms written before keep their text.
    for (const TPropertyInfo& Property : Own)
        EXPECT_EQ(Property.StreamDefault.has_value(), Property.Name == "SortCycle")
            << Property.Name;
}

// ---------------------------------------------------------------- registry and links

class TitleSortRegistryTest : public TitleSortTest {};

TEST_F(TitleSortRegistryTest, RegisteringANilGridRaisesAndKeepsTheEarlierOnes) {
    TDataSource* Source = SourceFor(nullptr);
    TDBGrid* First = GridOn(Source);
    First->SetName("First");
    TDBGrid* Last = GridOn(Source);
    Last->SetName("Last");
    try {
        Sorter->RegisterGrids({First, nullptr, Last});
        FAIL() << "a nil grid was registered";
    } catch (const Exception& Error) {
        EXPECT_EQ(Error.Message(), "TDBGridTitleSort.RegisterGrid() DBGrid is nil.");
    }
    EXPECT_EQ(Sorter->GetRegisteredGridNames(), "First");
    EXPECT_FALSE(Sorter->IsRegistered(Last));
    EXPECT_FALSE(Sorter->IsRegistered(nullptr));
}

TEST_F(TitleSortRegistryTest, OneLinkPerDataSourceLivesAsLongAsAGridShowsIt) {
    TTable* Table = OpenTable(LocalAlias(), "item");
    TDataSource* Source = SourceFor(Table);
    TDBGrid* Left = GridOn(Source, {"A"});
    TDBGrid* Right = GridOn(Source, {"A"});
    Left->SetName("Left");
    Right->SetName("Right");
    const int GridLinks = Source->DataLinkCount();

    Sorter->RegisterGrids({Left, Right, Left});
    EXPECT_EQ(Sorter->GetRegisteredGridNames(), "Left;Right");
    EXPECT_EQ(Sorter->DataLinks().size(), 1u);
    EXPECT_EQ(Source->DataLinkCount(), GridLinks + 1);

    Sorter->UnregisterGrid(Left);
    Sorter->UnregisterGrid(Left); // no longer registered: left alone
    EXPECT_EQ(Sorter->GetRegisteredGridNames(), "Right");
    EXPECT_EQ(Source->DataLinkCount(), GridLinks + 1);

    Sorter->UnregisterGrid(Right);
    EXPECT_EQ(Sorter->GetRegisteredGridNames(), "");
    EXPECT_TRUE(Sorter->DataLinks().empty());
    EXPECT_EQ(Source->DataLinkCount(), GridLinks);
}

TEST_F(TitleSortRegistryTest, GridsWithoutDataSourceShareALinkThatPackingFrees) {
    TDBGrid* First = GridOn(nullptr);
    First->SetName("First");
    TDBGrid* Second = GridOn(nullptr);
    Second->SetName("Second");
    Sorter->RegisterGrids({First, Second});
    ASSERT_EQ(Sorter->DataLinks().size(), 1u);
    EXPECT_EQ(Sorter->DataLinks().front()->DataSource(), nullptr);
    Sorter->PackDataLinks();
    EXPECT_TRUE(Sorter->DataLinks().empty());
    EXPECT_EQ(Sorter->GetRegisteredGridNames(), "First;Second");
}

TEST_F(TitleSortRegistryTest, AFreedGridLeavesTheRegistryAndItsLinkWhenNoOtherGridUsesIt) {
    TTable* Items = OpenTable(LocalAlias(), "item", "A");
    TTable* Customers = OpenTable(LocalAlias(), "cust");
    TDataSource* ItemSource = SourceFor(Items);
    TDataSource* CustomerSource = SourceFor(Customers);
    TDBGrid* Kept = GridOn(ItemSource, {"A", "B"});
    Kept->SetName("Kept");
    TDBGrid* Twin = GridOn(ItemSource, {"A"});
    TDBGrid* Alone = GridOn(CustomerSource, {"Name"});
    Sorter->RegisterGrids({Kept, Twin, Alone});
    ASSERT_EQ(Sorter->DataLinks().size(), 2u);

    delete Twin;
    delete Alone;
    EXPECT_EQ(Sorter->GetRegisteredGridNames(), "Kept");
    ASSERT_EQ(Sorter->DataLinks().size(), 1u);
    EXPECT_EQ(Sorter->DataLinks().front()->DataSource(), ItemSource);
    EXPECT_EQ(CustomerSource->DataLinkCount(), 0);
    // The remaining grid still follows its table.
    Items->SetIndexFieldNames("A;B");
    EXPECT_EQ(Highlighted(*Kept), (Names{"A", "B"}));
}

TEST_F(TitleSortRegistryTest, TitlesFollowOrdersSetElsewhereOnceTheGridCanShowThem) {
    TTable* Table = OpenTable(LocalAlias(), "item");
    TDataSource* Source = SourceFor(Table);
    TDBGrid* Grid = GridOn(Source, {"B", "A"});
    TDBGrid* Pending = GridOn(Source, {"", "B"});
    Sorter->RegisterGrid(Grid);

    Table->SetIndexFieldNames("A;B");
    EXPECT_EQ(Highlighted(*Grid), (Names{"B", "A"}));
    EXPECT_EQ(Sorter->DataLinks().front()->SortFields(), "A;B");

    // A grid whose first column has no field yet declines: the change is not taken as
    // known, and the grids after it are not told either.
    Sorter->UnregisterGrid(Grid);
    Sorter->RegisterGrids({Pending, Grid});
    ASSERT_EQ(Sorter->DataLinks().size(), 1u);
    const std::string Known = Sorter->DataLinks().front()->SortFields();
    Table->SetIndexFieldNames("A");
    EXPECT_EQ(Sorter->DataLinks().front()->SortFields(), Known);
    EXPECT_EQ(Highlighted(*Grid), (Names{"B", "A"}));

    // Once it has one, the next notification brings the change to both grids.
    Pending->Columns()->Items(0)->SetFieldName("A");
    Table->Refresh();
    EXPECT_EQ(Sorter->DataLinks().front()->SortFields(), "A");
    EXPECT_EQ(Highlighted(*Grid), (Names{"A"}));
    EXPECT_EQ(Highlighted(*Pending), (Names{"A"}));
}

TEST_F(TitleSortRegistryTest, AppearanceChangesWaitForAutoUpdateOrTheNextRefresh) {
    TTable* Table = OpenTable(LocalAlias(), "item", "A");
    TDBGrid* Grid = GridOn(SourceFor(Table), {"A", "B"});
    Sorter->RegisterGrid(Grid);
    TColumnTitle& Title = *ColumnOf(*Grid, "A")->Title();
    const TColor Plain = ColumnOf(*Grid, "B")->Title()->Color();

    Sorter->SetAutoUpdate(false);
    Sorter->SetUseClickedTitleColor(true);
    Sorter->SetClickedTitleColor(clYellow);
    EXPECT_EQ(Title.Color(), Plain);
    // Registering again refreshes the titles of a registered grid.
    Sorter->RegisterGrid(Grid);
    EXPECT_EQ(Title.Color(), clYellow);

    Sorter->SetClickedTitleColor(clAqua);
    EXPECT_EQ(Title.Color(), clYellow);
    Sorter->SetAutoUpdate(true);
    EXPECT_EQ(Title.Color(), clAqua);

    // Nothing is refreshed while loading.
    Sorter->SetLoading();
    Sorter->SetClickedTitleColor(clLime);
    EXPECT_EQ(Title.Color(), clAqua);
}

TEST_F(TitleSortRegistryTest, AutoRegistrationRegistersTheOwnersGridsAndNeverUnregisters) {
    TTable* Table = OpenTable(LocalAlias(), "item", "B");
    TDBGrid* Grid = GridOn(SourceFor(Table), {"A", "B"});
    Grid->SetName("Grid");
    Sorter->SetAutoRegister(arNone);
    EXPECT_EQ(Sorter->GetRegisteredGridNames(), "");
    Sorter->SetAutoRegister(arForm);
    EXPECT_EQ(Sorter->GetRegisteredGridNames(), "Grid");
    EXPECT_EQ(Highlighted(*Grid), (Names{"B"}));
    Sorter->SetAutoRegister(arNone);
    EXPECT_EQ(Sorter->GetRegisteredGridNames(), "Grid");
}

TEST_F(TitleSortRegistryTest, NothingIsRegisteredOrChangedWhileDesigning) {
    TTable* Table = OpenTable(LocalAlias(), "item", "B");
    TDBGrid* Grid = GridOn(SourceFor(Table), {"A", "B"});
    Sorter->SetDesigning(true);
    Sorter->SetAutoRegister(arForm);
    EXPECT_EQ(Sorter->GetRegisteredGridNames(), "");
    Sorter->SetDesigning(false);
    Sorter->RegisterGrid(Grid);
    Sorter->SetDesigning(true);
    Table->SetIndexFieldNames("A");
    EXPECT_EQ(Highlighted(*Grid), (Names{"B"}));
}

// ---------------------------------------------------------------- lifetimes

TEST_F(TitleSortRegistryTest, FreeingTheComponentLeavesTheTitlesAndDetachesItsLinks) {
    TTable* Table = OpenTable(LocalAlias(), "item", "A");
    TDataSource* Source = SourceFor(Table);
    TDBGrid* Grid = GridOn(Source, {"A", "B"});
    Sorter->RegisterGrid(Grid);
    const int WithLink = Source->DataLinkCount();

    delete Sorter;
    Sorter = nullptr;
    EXPECT_EQ(Source->DataLinkCount(), WithLink - 1);
    EXPECT_EQ(Highlighted(*Grid), (Names{"A"}));
    // The table's changes reach nothing that was freed.
    Table->SetIndexFieldNames("A;B");
    Table->Refresh();
    EXPECT_EQ(Highlighted(*Grid), (Names{"A"}));
}

// A link whose data source no registered grid shows any more drops out inside its own
// notification: it finishes that notification alive, and never calls the component again.
TEST_F(TitleSortRegistryTest, ALinkDroppedInItsOwnNotificationOutlivesItAndGoesQuiet) {
    TTable* OldTable = OpenTable(LocalAlias(), "item", "A");
    TTable* NewTable = OpenTable(LocalAlias(), "cust");
    TDataSource* OldSource = SourceFor(OldTable);
    TDataSource* NewSource = SourceFor(NewTable);
    TDBGrid* Grid = GridOn(OldSource, {"A"});
    Sorter->RegisterGrid(Grid);
    Grid->SetDataSource(NewSource); // behind the component's back
    ASSERT_EQ(OldSource->DataLinkCount(), 1);

    OldTable->SetIndexFieldNames("A;B");
    EXPECT_EQ(OldSource->DataLinkCount(), 0);
    EXPECT_TRUE(Sorter->DataLinks().empty());

    // Freed with a dropped link still waiting to be released.
    delete Sorter;
    Sorter = nullptr;
    OldTable->SetIndexFieldNames("A");
    OldTable->Refresh();
    EXPECT_EQ(OldSource->DataLinkCount(), 0);
}

TEST_F(TitleSortRegistryTest, ADroppedLinkIsReleasedAtTheNextSortChange) {
    TTable* OldTable = OpenTable(LocalAlias(), "item", "A");
    TTable* NewTable = OpenTable(LocalAlias(), "item", "A");
    TDBGrid* Grid = GridOn(SourceFor(OldTable), {"A", "B"});
    Sorter->RegisterGrid(Grid);
    TDataSource* NewSource = SourceFor(NewTable);
    Grid->SetDataSource(NewSource);
    OldTable->SetIndexFieldNames("A;B"); // drops the old link
    Sorter->RegisterGrid(Grid);          // a link for the new source
    NewTable->SetIndexFieldNames("A;B");
    ASSERT_EQ(Sorter->DataLinks().size(), 1u);
    EXPECT_EQ(Sorter->DataLinks().front()->DataSource(), NewSource);
    EXPECT_EQ(Highlighted(*Grid), (Names{"A", "B"}));
}

// ---------------------------------------------------------------- form files

// A component of the form that owns a grid of its own.
class TGridHolder : public TComponent {
public:
    using TComponent::TComponent;
    static const TClass& StaticClass() {
        static const TClass Class("TGridHolder", &TComponent::StaticClass(),
                                  &CreateComponentOf<TGridHolder>);
        return Class;
    }
    const TClass& ClassType() const override { return StaticClass(); }
};

TEST(TitleSortFormFileTest, LoadingAFormRegistersItsGridsDepthFirst) {
    RegisterHostClasses();
    for (const TClass* Class : {&TDBGrid::StaticClass(), &TGridHolder::StaticClass()})
        RegisterClass(*Class);
    dbgridtitlesort::Register();
    const auto Vorn = PaletteClasses("Vorn");
    EXPECT_NE(std::find(Vorn.begin(), Vorn.end(), &TDBGridTitleSort::StaticClass()), Vorn.end());

    const std::string Json = R"json({
      "class": "TForm", "name": "SortForm", "properties": {},
      "components": [
        {"class": "TDBGridTitleSort", "name": "TitleSort",
         "properties": {"AutoRegister": "arForm", "ClickedTitleMask": "%t (%i)",
                        "MultiColumnSort": ["mcsShift", "mcsCtrl"]}},
        {"class": "TDBGrid", "name": "G1", "properties": {}},
        {"class": "TGridHolder", "name": "Holder", "properties": {},
         "components": [{"class": "TDBGrid", "name": "Inner", "properties": {}}]},
        {"class": "TDBGrid", "name": "G2", "properties": {}}
      ]})json";
    const std::filesystem::path Path = std::filesystem::temp_directory_path() /
                                       ("titlesort-form-" + std::to_string(getpid()) + ".json");
    std::ofstream(Path) << Json;
    std::unique_ptr<TComponent> Form = ReadFormFile(Path);
    std::filesystem::remove(Path);
    auto* Sorter = dynamic_cast<TDBGridTitleSort*>(Form->FindComponent("TitleSort"));
    ASSERT_NE(Sorter, nullptr);
    EXPECT_EQ(Sorter->GetRegisteredGridNames(), "G1;Inner;G2");
    EXPECT_EQ(Sorter->ClickedTitleMask(), "%t (%i)");
    EXPECT_EQ(Sorter->MultiColumnSort(), (TDBGridMulticolumnSortMethods{mcsShift, mcsCtrl}));
    // The inner grid is not the form's: it is unregistered before it goes.
    auto* Inner = dynamic_cast<TDBGrid*>(Form->FindComponent("Holder")->FindComponent("Inner"));
    Sorter->UnregisterGrid(Inner);
    EXPECT_EQ(Sorter->GetRegisteredGridNames(), "G1;G2");
}

TEST(TitleSortFormFileTest, SortCycleIsWrittenOnlyAwayFromItsDefault) {
    RegisterHostClasses();
    dbgridtitlesort::Register();
    struct TCase {
        TDBGridSortCycle Cycle;
        bool Written;
    };
    for (const TCase& Case : {TCase{scAscending, false}, TCase{scAscendingDescending, true},
                              TCase{scDescendingFirstForNumbersAndDates, true}}) {
        SCOPED_TRACE(DBGridSortCycleTypeInfo().ElementNames[Case.Cycle]);
        TForm Form(nullptr);
        Form.SetName("CycleForm");
        auto* Sorter = new TDBGridTitleSort(&Form);
        Sorter->SetName("TitleSort");
        Sorter->SetSortCycle(Case.Cycle);
        const std::string Json = WriteForm(Form);
        EXPECT_EQ(Json.find("SortCycle") != std::string::npos, Case.Written) << Json;
        std::unique_ptr<TComponent> Read = ReadForm(Json);
        auto* ReadSorter = dynamic_cast<TDBGridTitleSort*>(Read->FindComponent("TitleSort"));
        ASSERT_NE(ReadSorter, nullptr);
        EXPECT_EQ(ReadSorter->SortCycle(), Case.Cycle);
        EXPECT_EQ(WriteForm(*Read), Json);
    }
}

} // namespace

} // namespace vorn::titlesorttest
