#include "Source/DBLocateEdit.h"
#include "host/components/controls/Form.h"
#include "host/components/controls/Input.h"
#include "host/components/controls/Keyboard.h"
#include "host/components/model/ClassRegistry.h"
#include "host/data/dataset/Query.h"
#include "host/data/dataset/Table.h"
#include "tests/Source/TestTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

namespace vorn {
namespace {

using testtables::CreateCustomerOrders;
using testtables::CreateTable;
using testtables::OpenQuery;
using testtables::tbPostgreSQL;
using testtables::tbSQLite;
using testtables::TTestBackend;
using testtables::TTestDatabase;

// A locate edit and a second edit on a form, the locate edit bound to a data source.
class LocateEditTest : public ::testing::TestWithParam<TTestBackend> {
protected:
    static void TearDownTestSuite() {
        for (auto& Database : Databases)
            Database.reset();
    }

    LocateEditTest() {
        Edit->SetParent(&Form);
        OtherControl->SetParent(&Form);
        Edit->AfterLocate = [this](TObject* Sender) {
            EXPECT_EQ(Sender, Edit);
            ++Locates;
        };
    }

    const TTestDatabase& Database() {
        auto& Database = Databases[static_cast<std::size_t>(GetParam())];
        if (!Database)
            Database = CreateCustomerOrders(GetParam());
        return *Database;
    }

    TTable* Connect(const std::string& IndexFieldNames) {
        TTable* Table = CreateTable(Form, Database(), "customer", IndexFieldNames);
        Source->SetDataSet(Table);
        Edit->SetDataSource(Source);
        return Table;
    }

    static std::string Current(const TDataSet& DataSet, const char* Field = "Name") {
        return DataSet.FieldByName(Field)->AsString();
    }

    static std::array<std::unique_ptr<TTestDatabase>, testtables::BackendCount> Databases;
    TForm Form{nullptr};
    TDataSource* Source = new TDataSource(&Form);
    TDBLocateEdit* Edit = new TDBLocateEdit(&Form);
    TEdit* OtherControl = new TEdit(&Form);
    int Locates = 0;
};

std::array<std::unique_ptr<TTestDatabase>, testtables::BackendCount> LocateEditTest::Databases;

INSTANTIATE_TEST_SUITE_P(Backends, LocateEditTest,
                         ::testing::ValuesIn(testtables::ReadingBackends()),
                         [](const auto& Info) { return testtables::BackendName(Info.param); });

// ---------------------------------------------------------------- searching

TEST_P(LocateEditTest, TypingFindsThePrefixInTheSortFieldAndKeepsTheTypedText) {
    struct TStep {
        char Key;
        const char* Found;
    };
    struct TCase {
        const char* Order;
        bool FromLast; // where the record is when typing starts
        std::vector<TStep> Steps;
    };
    // Name order is byte order: Adams, Baker, Smith, Zed, smythe. Read backwards, the
    // order starts with smythe, which the search must reach from Adams at the end; the
    // field searched is Name, without the direction.
    const TCase Cases[] = {
        {"Name", false, {{'s', "Smith"}, {'M', "Smith"}, {'y', "smythe"}, {'x', "smythe"}}},
        {"Name:D", true, {{'s', "smythe"}, {'M', "smythe"}, {'y', "smythe"}, {'x', "smythe"}}},
    };
    for (const TCase& Case : Cases) {
        for (bool AutoUpdate : {false, true}) {
            SCOPED_TRACE(std::string(Case.Order) + (AutoUpdate ? " AutoUpdate" : ""));
            TTable* Table = Connect(Case.Order);
            EXPECT_EQ(Edit->GetLocateField(), "Name");
            Edit->SetAutoUpdate(AutoUpdate);
            if (Case.FromLast)
                Table->Last();
            else
                Table->First();
            Edit->SetText("");
            Locates = 0;
            std::string Typed;
            for (const TStep& Step : Case.Steps) {
                Typed += Step.Key;
                ASSERT_TRUE(UserKeyPress(*Edit, Step.Key));
                EXPECT_EQ(Current(*Table), Step.Found) << Typed;
                // The search's own record move does not overwrite what is being typed.
                EXPECT_EQ(Edit->Text(), Typed);
            }
            EXPECT_EQ(Locates, 4);
            EXPECT_FALSE(Edit->Located()); // nothing begins with "smyx"
        }
    }
}

TEST_P(LocateEditTest, TheSearchFollowsTheTablesOrderAfterTheMasterLink) {
    TTable* Master = CreateTable(Form, Database(), "customer", "");
    auto* MasterSource = new TDataSource(&Form);
    MasterSource->SetDataSet(Master);
    TTable* Detail = CreateTable(Form, Database(), "orders", "CustNo;OrderDate", false);
    Detail->SetMasterSource(MasterSource);
    Detail->SetMasterFields("CustNo");
    Detail->Open();
    Source->SetDataSet(Detail);
    Edit->SetDataSource(Source);
    EXPECT_EQ(Edit->GetLocateField(), "OrderDate");
    UserEditText(*Edit, "2023");
    EXPECT_TRUE(Edit->Located());
    EXPECT_EQ(Current(*Detail, "OrderNo"), "11");
    // Read backwards, the order still names the field to search without its direction.
    Detail->SetIndexFieldNames("CustNo:D;OrderDate:D");
    EXPECT_EQ(Edit->GetLocateField(), "OrderDate");
    // An order made of the link fields alone leaves nothing to search.
    Detail->SetIndexFieldNames("CustNo");
    EXPECT_EQ(Edit->GetLocateField(), "");
    // With the master closed, the link field itself leads the order.
    Master->Close();
    EXPECT_EQ(Edit->GetLocateField(), "CustNo");
}

TEST_P(LocateEditTest, ASearchThatCannotBeMadeFindsNothingAndStillReportsIt) {
    struct TCase {
        const char* Name;
        const char* DataField;
        TLocateOptions Options;
        const char* Text;
    };
    const TCase Cases[] = {
        {.Name = "unknown field",
         .DataField = "Nope",
         .Options = {loCaseInsensitive, loPartialKey},
         .Text = "a"},
        {.Name = "not an integer", .DataField = "CustNo", .Options = {}, .Text = "abc"},
        {.Name = "no match",
         .DataField = "Name",
         .Options = {loCaseInsensitive, loPartialKey},
         .Text = "q"},
        {.Name = "whole value only",
         .DataField = "Name",
         .Options = {loCaseInsensitive},
         .Text = "Smi"},
        {.Name = "letter case counts",
         .DataField = "Name",
         .Options = {loPartialKey},
         .Text = "SMI"},
    };
    TTable* Table = Connect("Name");
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        Table->Last();
        const std::string Before = Current(*Table);
        Edit->SetDataField(Case.DataField);
        Edit->SetLocateOptions(Case.Options);
        Locates = 0;
        ASSERT_TRUE(UserEditText(*Edit, Case.Text));
        EXPECT_FALSE(Edit->Located());
        EXPECT_EQ(Locates, 1);
        EXPECT_FALSE(Edit->Locate());
        EXPECT_EQ(Locates, 2);
        EXPECT_EQ(Current(*Table), Before);
    }
    // The options are the dataset's: an exact, case-sensitive match is found.
    Edit->SetLocateOptions({});
    Table->First();
    UserEditText(*Edit, "smythe");
    EXPECT_TRUE(Edit->Located());
    EXPECT_EQ(Current(*Table, "CustNo"), "4");
}

TEST_P(LocateEditTest, NothingToSearchTriesNothing) {
    EXPECT_FALSE(Edit->Locate()); // no data source
    Edit->SetDataSource(Source);
    UserEditText(*Edit, "Sm"); // a data source without dataset
    EXPECT_FALSE(Edit->Located());
    Connect("Name");
    UserEditText(*Edit, "");
    EXPECT_FALSE(Edit->Locate());
    EXPECT_EQ(Locates, 0);
}

TEST_P(LocateEditTest, AQueryHasNoSortFieldToSearch) {
    TQuery* Query = OpenQuery(Form, Database(), R"(SELECT "Name", "City" FROM "customer")");
    Source->SetDataSet(Query);
    Edit->SetDataSource(Source);
    Edit->SetAutoUpdate(true);
    EXPECT_EQ(Edit->GetLocateField(), "");
    UserEditText(*Edit, "Sm");
    EXPECT_FALSE(Edit->Located());
    EXPECT_EQ(Locates, 1);
    Query->Next();
    EXPECT_EQ(Edit->Text(), "");
    // Naming the field makes the query searchable.
    Edit->SetDataField("City");
    UserEditText(*Edit, "cai");
    EXPECT_TRUE(Edit->Located());
    EXPECT_EQ(Current(*Query), "smythe");
}

// A character of more than one byte reaches the search as part of the text: each typed
// character searches once, with the whole text typed so far.
TEST_P(LocateEditTest, TypedMultiByteCharactersAreSearchedForAsText) {
    TTable* Table = Connect("Name");
    Table->First();
    Edit->SetText("");
    Locates = 0;

    ASSERT_TRUE(UserType(*Edit, "\xC5\xA1"
                                "a"));

    EXPECT_EQ(Edit->Text(), "\xC5\xA1"
                            "a");
    EXPECT_EQ(Locates, 2);
    EXPECT_FALSE(Edit->Located()); // no name begins with "ša"

    ASSERT_TRUE(UserKeyPress(*Edit, '\b'));
    ASSERT_TRUE(UserKeyPress(*Edit, '\b'));
    ASSERT_TRUE(UserType(*Edit, "Sm"));
    EXPECT_EQ(Current(*Table), "Smith");
}

TEST_P(LocateEditTest, WhenTheEditSearchesByItself) {
    struct TCase {
        TAutoLocate AutoLocate;
        bool AutoUpdate;
        const char* FoundWhileTyping; // after typing "ba"
        const char* FoundOnEnter;
        const char* TextAfterEnter;
    };
    const TCase Cases[] = {
        {.AutoLocate = alOnChange,
         .AutoUpdate = false,
         .FoundWhileTyping = "Baker",
         .FoundOnEnter = "Baker",
         .TextAfterEnter = ""},
        {.AutoLocate = alOnChange,
         .AutoUpdate = true,
         .FoundWhileTyping = "Baker",
         .FoundOnEnter = "Baker",
         .TextAfterEnter = "Baker"},
        {.AutoLocate = alReturnKey,
         .AutoUpdate = false,
         .FoundWhileTyping = "Adams",
         .FoundOnEnter = "Baker",
         .TextAfterEnter = "ba"},
        {.AutoLocate = alReturnKey,
         .AutoUpdate = true,
         .FoundWhileTyping = "Adams",
         .FoundOnEnter = "Baker",
         .TextAfterEnter = "ba"},
        {.AutoLocate = alNone,
         .AutoUpdate = false,
         .FoundWhileTyping = "Adams",
         .FoundOnEnter = "Adams",
         .TextAfterEnter = ""},
        {.AutoLocate = alNone,
         .AutoUpdate = true,
         .FoundWhileTyping = "Adams",
         .FoundOnEnter = "Adams",
         .TextAfterEnter = "Adams"},
    };
    TTable* Table = Connect("Name");
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(std::to_string(Case.AutoLocate) + (Case.AutoUpdate ? " AutoUpdate" : ""));
        Edit->SetAutoLocate(Case.AutoLocate);
        Edit->SetAutoUpdate(Case.AutoUpdate);
        Table->First();
        Edit->SetText("");
        UserType(*Edit, "ba");
        EXPECT_EQ(Current(*Table), Case.FoundWhileTyping);
        UserKeyDown(*Edit, VK_RETURN);
        EXPECT_EQ(Current(*Table), Case.FoundOnEnter);
        EXPECT_EQ(Edit->Text(), Case.TextAfterEnter);
    }
}

// ---------------------------------------------------------------- showing the record

TEST_P(LocateEditTest, AutoUpdateShowsRecordsMovedElsewhereWithoutSearching) {
    TTable* Table = Connect("Name");
    Edit->SetAutoUpdate(true);
    EXPECT_EQ(Edit->Text(), "Adams");
    Table->Next();
    EXPECT_EQ(Edit->Text(), "Baker");
    Table->Last();
    EXPECT_EQ(Edit->Text(), "smythe");
    // Showing a value is no search: the table stays on the record that was shown.
    EXPECT_EQ(Locates, 0);
    EXPECT_EQ(Current(*Table), "smythe");
    // A new order is a new locate field.
    Table->SetIndexFieldNames("City;Name");
    EXPECT_EQ(Edit->Text(), Current(*Table, "City"));
    EXPECT_EQ(Locates, 0);
    // A closed table has nothing to show; an open one shows its first record.
    Table->Close();
    EXPECT_EQ(Edit->Text(), "");
    Table->Open();
    EXPECT_EQ(Edit->Text(), "Athens");
}

TEST_P(LocateEditTest, LeavingTheEditShowsTheCurrentValueOnlyWithAutoUpdate) {
    Connect("Name");
    for (bool AutoUpdate : {false, true}) {
        SCOPED_TRACE(AutoUpdate);
        Edit->SetAutoUpdate(AutoUpdate);
        int Exits = 0;
        Edit->OnExit = [&](TObject*) { ++Exits; };
        UserSetFocus(*Edit);
        UserType(*Edit, "bak");
        UserSetFocus(*OtherControl);
        EXPECT_EQ(Edit->Text(), AutoUpdate ? "Baker" : "bak");
        EXPECT_EQ(Exits, 1);
        Edit->OnExit = nullptr;
        Edit->SetText("");
    }
}

TEST_P(LocateEditTest, WithoutAutoUpdateNewPropertiesEmptyTheText) {
    Connect("Name");
    Edit->SetText("typed");
    Edit->SetDataField("City");
    EXPECT_EQ(Edit->Text(), "");
    Edit->SetText("typed");
    Edit->SetDataSource(nullptr);
    EXPECT_EQ(Edit->Text(), "");
    // With AutoUpdate the new field's value is shown instead.
    Edit->SetDataSource(Source);
    Edit->SetAutoUpdate(true);
    EXPECT_EQ(Edit->Text(), "Athens");
    Edit->SetDataField("Nope");
    EXPECT_EQ(Edit->Text(), "");
}

TEST_P(LocateEditTest, ACalculatedFieldOfAClosedTableShowsNothing) {
    TTable* Table = CreateTable(Form, Database(), "customer", "Name", false);
    Table->AddCalculatedField("Shout", ftString, 40);
    Table->OnCalcFields = [](TDataSet* DataSet) {
        DataSet->FieldByName("Shout")->SetAsString(DataSet->FieldByName("Name")->AsString() + "!");
    };
    Table->Open();
    Source->SetDataSet(Table);
    Edit->SetDataSource(Source);
    Edit->SetDataField("Shout");
    Edit->SetAutoUpdate(true);
    EXPECT_EQ(Edit->Text(), "Adams!");
    EXPECT_NO_THROW(Table->Close());
    EXPECT_EQ(Edit->Text(), "");
}

TEST_P(LocateEditTest, TheRemovedDataSourceIsDropped) {
    Connect("Name");
    Form.RemoveComponent(Source);
    EXPECT_EQ(Edit->GetDataSource(), nullptr);
    delete Source;
    Source = new TDataSource(&Form);
    Connect("Name");
    Edit->SetAutoUpdate(true);
    delete Source;
    Source = nullptr;
    EXPECT_EQ(Edit->GetDataSource(), nullptr);
    EXPECT_EQ(Edit->Text(), "");
    UserEditText(*Edit, "Sm");
    EXPECT_FALSE(Edit->Located());
}

// ---------------------------------------------------------------- state flags

// In the form designer the edit's text follows its name and settings; none of it locates.
TEST_P(LocateEditTest, TheFormDesignerLocatesNothing) {
    TTable* Table = Connect("Name");
    Table->Open();
    const std::string FirstName = Current(*Table);
    Table->Last();
    const std::string LastName = Current(*Table);
    ASSERT_NE(FirstName, LastName);
    Form.SetDesigning(true);
    Edit->SetName("A");
    Edit->SetDataField("Name");
    Edit->SetText(FirstName);
    EXPECT_EQ(Current(*Table), LastName);
    EXPECT_EQ(Locates, 0);
    Form.SetDesigning(false);
}

TEST(LocateEditStateTest, DesignModeShowsTheNameAndLoadingDefersEverything) {
    TForm Form(nullptr);
    Form.SetDesigning(true);
    auto* Edit = new TDBLocateEdit(&Form);
    Edit->SetName("CustomerSearch");
    Edit->SetDataField("Name");
    EXPECT_EQ(Edit->Text(), "CustomerSearch");

    int Locates = 0;
    Edit->AfterLocate = [&](TObject*) { ++Locates; };
    auto* Source = new TDataSource(&Form);
    Form.SetDesigning(false);
    Edit->SetLoading();
    Edit->SetDataSource(Source);
    Edit->SetAutoUpdate(true);
    Edit->SetText("kept while loading");
    EXPECT_EQ(Edit->Text(), "kept while loading");
    Edit->Loaded();
    Edit->SetAutoUpdate(true);
    EXPECT_EQ(Edit->Text(), "");
    EXPECT_EQ(Locates, 0);
}

// ---------------------------------------------------------------- class information

TEST(LocateEditClassTest, PublishesItsPropertiesInOrderWithTheirDefaults) {
    dblocateedit::Register();
    const auto Classes = PaletteClasses("Vorn");
    EXPECT_NE(std::find(Classes.begin(), Classes.end(), &TDBLocateEdit::StaticClass()),
              Classes.end());
    TComponent Form(nullptr);
    auto* Edit = dynamic_cast<TDBLocateEdit*>(FindClass("TDBLocateEdit").CreateInstance(&Form));
    ASSERT_NE(Edit, nullptr);

    std::vector<std::string> Names;
    for (const TPropertyInfo& Property : TDBLocateEdit::StaticClass().OwnProperties())
        Names.push_back(Property.Name);
    EXPECT_EQ(Names, (std::vector<std::string>{"AfterLocate", "AutoLocate", "AutoUpdate",
                                               "DataField", "DataSource", "LocateOptions"}));
    const TClass& Class = TDBLocateEdit::StaticClass();
    auto Value = [&](const char* Name) { return Class.FindProperty(Name)->Get(*Edit); };
    EXPECT_EQ(Value("AutoLocate"), TPropertyValue(std::int64_t{alOnChange}));
    EXPECT_EQ(Value("AutoUpdate"), TPropertyValue(false));
    EXPECT_EQ(Value("DataField"), TPropertyValue(std::string()));
    EXPECT_EQ(Value("DataSource"), TPropertyValue(static_cast<TObject*>(nullptr)));
    EXPECT_EQ(Value("LocateOptions"), TPropertyValue(static_cast<std::int64_t>(
                                          TLocateOptions{loCaseInsensitive, loPartialKey}.Bits())));
    EXPECT_EQ(Class.FindProperty("AutoLocate")->Type->ElementNames,
              (std::vector<std::string>{"alNone", "alReturnKey", "alOnChange"}));
    EXPECT_EQ(Class.FindProperty("LocateOptions")->Type->ElementNames,
              (std::vector<std::string>{"loCaseInsensitive", "loPartialKey"}));

    Class.FindProperty("AutoLocate")->Set(*Edit, TPropertyValue(std::int64_t{alReturnKey}));
    EXPECT_EQ(Edit->AutoLocate(), alReturnKey);
    Class.FindProperty("DataField")->Set(*Edit, TPropertyValue(std::string("City")));
    EXPECT_EQ(Edit->GetDataField(), "City");
    EXPECT_FALSE(Edit->Located());
}

} // namespace
} // namespace vorn
