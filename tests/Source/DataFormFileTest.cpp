// Form files of the data classes and the five components: what is written reads back
// equal whatever order the properties come in, and values that would take unbounded
// memory or time are refused quickly, naming the property.

#include "Source/DBFieldComboBox.h"
#include "Source/DBFilterGrid.h"
#include "Source/DBGridTitleSort.h"
#include "Source/DBLocateEdit.h"
#include "Source/DBSortComboBox.h"
#include "Source/VornData.h"
#include "host/components/forms/FormFile.h"
#include "host/components/graphics/Resources.h"
#include "host/components/model/ClassRegistry.h"
#include "host/data/dataset/DataClasses.h"
#include "host/data/dataset/DataSource.h"
#include "host/data/dataset/Query.h"
#include "host/data/dataset/Table.h"
#include "host/data/grid/DBGrid.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace vorn {

namespace {

using TJson = nlohmann::ordered_json;

class DataFormFile : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The filter grid loads its row button's glyph from the package's resources.
        RegisterVornDataResources();
        RegisterHostClasses();
        for (const TClass* Class :
             {&TTable::StaticClass(), &TQuery::StaticClass(), &TDataSource::StaticClass(),
              &TDBGrid::StaticClass(), &TDBGridTitleSort::StaticClass(),
              &TDBFilterGrid::StaticClass(), &TDBSortComboBox::StaticClass(),
              &TDBLocateEdit::StaticClass(), &TDBFieldComboBox::StaticClass()})
            RegisterClass(*Class);
    }
};

// Every data class and component, each with properties away from their defaults, among
// them both ways of ordering a table (IndexFieldNames on one, IndexName on another).
const char* const EveryDataClassForm = R"json({
  "class": "TForm", "name": "F", "properties": {},
  "components": [
    {"class": "TTable", "name": "Customers", "properties": {
      "DatabaseName": "FuzzDb", "TableName": "customer", "IndexName": "ByName",
      "Filter": "City = 'Paris'", "Filtered": true}},
    {"class": "TDataSource", "name": "CustomerSource", "properties": {
      "DataSet": "Customers", "Enabled": false}},
    {"class": "TTable", "name": "Orders", "properties": {
      "DatabaseName": "FuzzDb", "TableName": "orders", "IndexFieldNames": "CustNo;OrderDate",
      "MasterSource": "CustomerSource", "MasterFields": "CustNo"}},
    {"class": "TDataSource", "name": "OrderSource", "properties": {"DataSet": "Orders"}},
    {"class": "TQuery", "name": "Query", "properties": {
      "DatabaseName": "FuzzDb", "SQL": ["SELECT *", "FROM orders"]}},
    {"class": "TDBGrid", "name": "Grid", "properties": {
      "DataSource": "OrderSource", "Left": 3, "Top": 4, "Width": 300, "Height": 200,
      "Columns": [{"FieldName": "OrderDate"}, {"FieldName": "CustNo"}]}},
    {"class": "TDBGridTitleSort", "name": "TitleSort", "properties": {
      "ClickedTitleMask": "%t [%i]", "UnSort": true, "MultiColumnSort": ["mcsShift"]}},
    {"class": "TDBFilterGrid", "name": "FilterGrid", "properties": {
      "DataSource": "CustomerSource", "FilterKind": "fkSQL", "RowCount": 6,
      "Wildcards": "*?#", "TargetWildcards": "%_#"}},
    {"class": "TDBSortComboBox", "name": "SortBox", "properties": {
      "DataSource": "OrderSource", "ReopenAfterError": true, "ListDescending": true}},
    {"class": "TDBLocateEdit", "name": "LocateEdit", "properties": {
      "DataSource": "CustomerSource", "DataField": "Name",
      "LocateOptions": ["loCaseInsensitive"]}},
    {"class": "TDBFieldComboBox", "name": "FieldBox", "properties": {
      "DataSource": "CustomerSource", "RelatedComponent": "LocateEdit",
      "FieldKinds": ["fkData", "fkLookup"]}}
  ]})json";

// Reorders the properties of every component (and of the items of its collections).
void ReorderProperties(TJson& Component, const std::function<void(TJson&)>& Reorder) {
    if (Component.contains("properties")) {
        TJson& Properties = Component["properties"];
        for (auto& [Name, Value] : Properties.items())
            if (Value.is_array())
                for (TJson& Item : Value)
                    if (Item.is_object())
                        Reorder(Item);
        Reorder(Properties);
    }
    if (Component.contains("components"))
        for (TJson& Child : Component["components"])
            ReorderProperties(Child, Reorder);
}

void Reverse(TJson& Object) {
    TJson Reversed = TJson::object();
    std::vector<std::string> Names;
    for (auto& [Name, Value] : Object.items())
        Names.push_back(Name);
    for (auto Name = Names.rbegin(); Name != Names.rend(); ++Name)
        Reversed[*Name] = Object[*Name];
    Object = std::move(Reversed);
}

// Moves the empty texts to the end, where they are read last.
void EmptyTextsLast(TJson& Object) {
    TJson Sorted = TJson::object();
    for (bool EmptyPass : {false, true})
        for (auto& [Name, Value] : Object.items())
            if ((Value == "") == EmptyPass)
                Sorted[Name] = Value;
    Object = std::move(Sorted);
}

TEST_F(DataFormFile, EveryPublishedPropertyReadsBackEqualInAnyPropertyOrder) {
    const std::string Written = WriteForm(*ReadForm(EveryDataClassForm));
    const TJson WrittenJson = TJson::parse(Written);
    // What was given is what was written.
    const TJson& Orders = WrittenJson["components"][2]["properties"];
    EXPECT_EQ(Orders["IndexFieldNames"], "CustNo;OrderDate");
    EXPECT_EQ(WrittenJson["components"][0]["properties"]["IndexName"], "ByName");

    const std::pair<const char*, std::function<void(TJson&)>> Orderings[] = {
        {"as written", [](TJson&) {}},
        {"reversed", Reverse},
        {"empty texts last", EmptyTextsLast},
    };
    for (const auto& [Ordering, Reorder] : Orderings) {
        SCOPED_TRACE(Ordering);
        TJson Reordered = WrittenJson;
        ReorderProperties(Reordered, Reorder);
        EXPECT_EQ(WriteForm(*ReadForm(Reordered.dump())), Written);
    }
}

// A switch added after forms were written is written only when set, so that a form that
// leaves it alone is written as it was before the switch existed.
TEST_F(DataFormFile, ASortComboBoxWritesListDescendingOnlyWhenSet) {
    const char* const Form = R"json({"class": "TForm", "name": "F", "properties": {},
      "components": [{"class": "TDBSortComboBox", "name": "SC", "parent": "F",
                      "properties": {"StrictServerIndexing": true}}]})json";
    const std::unique_ptr<TComponent> Root = ReadForm(Form);
    auto* ComboBox = dynamic_cast<TDBSortComboBox*>(Root->FindComponent("SC"));
    ASSERT_NE(ComboBox, nullptr);
    auto PropertyNames = [](const std::string& Written) {
        const TJson Json = TJson::parse(Written);
        std::vector<std::string> Names;
        for (const auto& [Name, Value] : Json["components"][0]["properties"].items())
            Names.push_back(Name);
        return Names;
    };

    const std::string Default = WriteForm(*Root);
    std::vector<std::string> Names = PropertyNames(Default);
    ASSERT_FALSE(Names.empty());
    EXPECT_EQ(std::count(Names.begin(), Names.end(), "ListDescending"), 0);
    EXPECT_EQ(Names.back(), "StrictServerIndexing");

    ComboBox->SetListDescending(true);
    const std::string Set = WriteForm(*Root);
    Names = PropertyNames(Set);
    ASSERT_EQ(Names.back(), "ListDescending");
    EXPECT_EQ(TJson::parse(Set)["components"][0]["properties"]["ListDescending"], true);
    const std::unique_ptr<TComponent> ReadBack = ReadForm(Set);
    EXPECT_TRUE(dynamic_cast<TDBSortComboBox&>(*ReadBack->FindComponent("SC")).ListDescending());

    ComboBox->SetListDescending(false);
    EXPECT_EQ(WriteForm(*Root), Default);
}

TEST_F(DataFormFile, OversizedGridsAreRefusedQuicklyNamingTheProperty) {
    const struct {
        const char* Json;
        const char* Property;
    } Cases[] = {
        {R"json({"class": "TForm", "name": "F", "components": [{"class": "TDBFilterGrid",
           "name": "G", "properties": {"RowCount": 2000000000}}]})json",
         "(TDBFilterGrid.RowCount): SetRowCount() 5 columns of 2000000000 rows are too many"},
        {R"json({"class": "TForm", "name": "F", "components": [{"class": "TStringGrid",
           "name": "G", "properties": {"RowCount": 4000, "ColCount": 4000}}]})json",
         "(TStringGrid.ColCount): SetColCount() 4000 columns of 4000 rows are too many"},
    };
    for (const auto& Case : Cases) {
        const auto Start = std::chrono::steady_clock::now();
        try {
            ReadForm(Case.Json);
            ADD_FAILURE() << "read: " << Case.Json;
        } catch (const EReadError& Error) {
            EXPECT_NE(std::string(Error.Message()).find(Case.Property), std::string::npos)
                << Error.Message();
        }
        EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::milliseconds(200));
    }
}

TEST_F(DataFormFile, ManyColumnsAreReadInLinearTime) {
    TJson Form = TJson::parse(R"json({"class": "TForm", "name": "F", "components": [
        {"class": "TDBGrid", "name": "Grid", "properties": {"Columns": []}}]})json");
    TJson& Columns = Form["components"][0]["properties"]["Columns"];
    constexpr int ColumnCount = 10'000;
    for (int Index = 0; Index < ColumnCount; ++Index)
        Columns.push_back({{"FieldName", "F" + std::to_string(Index)}});
    const auto Start = std::chrono::steady_clock::now();
    const std::unique_ptr<TComponent> Read = ReadForm(Form.dump());
    EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(1));
    const auto& Grid = dynamic_cast<TDBGrid&>(*Read->FindComponent("Grid"));
    ASSERT_EQ(Grid.Columns()->Count(), ColumnCount);
    EXPECT_EQ(Grid.Columns()->Items(ColumnCount - 1)->FieldName(), "F9999");
}

} // namespace

} // namespace vorn

namespace vorn {
namespace {

// Starting the package is all the registration a program needs to read a form; starts are
// counted, and the last Finalize takes back the component classes the first start
// registered. The test starts from a registry without the classes and puts back what it
// found.
TEST(PackageStartTest, AFormNeedsNoRegistrationCodeAndTheLastFinalizeTakesBackItsOwn) {
    std::vector<const TClass*> Classes = HostClasses();
    for (const std::vector<const TClass*>& More : {DataClasses(), VornDataComponentClasses()})
        Classes.insert(Classes.end(), More.begin(), More.end());
    std::vector<std::pair<const TClass*, std::string>> RegisteredBefore;
    for (const TClass* Class : Classes) {
        if (GetClass(Class->Name()) != Class)
            continue;
        RegisteredBefore.emplace_back(Class, RegisteringModule(*Class));
        UnregisterClass(*Class);
    }
    const bool HadResources =
        FindResource(VornDataModuleName, "DELETEFILTERROW", RT_BITMAP).has_value();

    InitializeVornData();
    InitializeVornData();
    for (const TClass* Class : Classes)
        EXPECT_EQ(GetClass(Class->Name()), Class) << Class->Name();
    EXPECT_EQ(ReadForm(R"json({"class": "TForm", "name": "F", "properties": {}, "components": [
      {"class": "TTable", "name": "T", "properties": {}},
      {"class": "TQuery", "name": "Q", "properties": {}},
      {"class": "TDataSource", "name": "S", "properties": {"DataSet": "T"}},
      {"class": "TDBGrid", "name": "G", "parent": "F", "properties": {"DataSource": "S"}},
      {"class": "TDBGridTitleSort", "name": "TS", "properties": {}},
      {"class": "TDBFilterGrid", "name": "FG", "parent": "F", "properties": {}},
      {"class": "TDBSortComboBox", "name": "SC", "parent": "F", "properties": {}},
      {"class": "TDBLocateEdit", "name": "LE", "parent": "F", "properties": {}},
      {"class": "TDBFieldComboBox", "name": "FC", "parent": "F", "properties": {}},
      {"class": "TEdit", "name": "E", "parent": "F", "properties": {}},
      {"class": "TSpeedButton", "name": "B", "parent": "F", "properties": {}}]})json")
                  ->FindComponent("FG")
                  ->ClassName(),
              "TDBFilterGrid");

    FinalizeVornData();
    EXPECT_EQ(GetClass("TDBGridTitleSort"), &TDBGridTitleSort::StaticClass()) << "one start left";
    FinalizeVornData();
    for (const TClass* Class : VornDataComponentClasses())
        EXPECT_EQ(GetClass(Class->Name()), nullptr) << Class->Name();
    // The host's classes belong to the host libraries and stay registered.
    EXPECT_EQ(GetClass("TTable"), &TTable::StaticClass());

    for (const TClass* Class : Classes)
        UnregisterClass(*Class);
    for (const auto& [Class, Module] : RegisteredBefore) {
        TRegistrationModuleScope Scope(Module);
        RegisterClass(*Class);
    }
    if (HadResources) {
        RegisterVornDataResources();
        RegisterPaletteBitmaps();
    }
}

} // namespace
} // namespace vorn
