#include "Source/DBFieldComboBox.h"
#include "Source/DBLocateEdit.h"
#include "host/components/controls/Input.h"
#include "host/components/controls/Keyboard.h"
#include "host/components/model/ClassRegistry.h"
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
using testtables::tbPostgreSQL;
using testtables::tbSQLite;
using testtables::TTestBackend;
using testtables::TTestDatabase;

std::vector<std::string> ItemsOf(const TDBFieldComboBox& ComboBox) {
    std::vector<std::string> Items;
    for (int Index = 0; Index < ComboBox.Items()->Count(); ++Index)
        Items.push_back(ComboBox.Items()->Strings(Index));
    return Items;
}

// A field combo box and a related locate edit on one data source of the customer table,
// which has a calculated and a lookup field besides its columns.
class FieldComboBoxTest : public ::testing::TestWithParam<TTestBackend> {
protected:
    static void TearDownTestSuite() {
        for (auto& Database : Databases)
            Database.reset();
    }

    void SetUp() override {
        auto& Database = Databases[static_cast<std::size_t>(GetParam())];
        if (!Database)
            Database = CreateCustomerOrders(GetParam());
        Lookup = CreateTable(Form, *Database, "customer", "");
        Table = CreateTable(Form, *Database, "customer", "Name", false);
        Table->AddCalculatedField("Shout", ftString, 40);
        Table->AddLookupField("Again", ftString, Lookup, "CustNo", "CustNo", "City", 30);
        Source->SetDataSet(Table);
        ComboBox->SetDataSource(Source);
        Edit->SetDataSource(Source);
        ComboBox->SetRelatedComponent(Edit);
    }

    static std::array<std::unique_ptr<TTestDatabase>, testtables::BackendCount> Databases;
    TComponent Form{nullptr};
    TTable* Lookup = nullptr;
    TTable* Table = nullptr;
    TDataSource* Source = new TDataSource(&Form);
    TDBFieldComboBox* ComboBox = new TDBFieldComboBox(&Form);
    TDBLocateEdit* Edit = new TDBLocateEdit(&Form);
};

std::array<std::unique_ptr<TTestDatabase>, testtables::BackendCount> FieldComboBoxTest::Databases;

INSTANTIATE_TEST_SUITE_P(Backends, FieldComboBoxTest,
                         ::testing::ValuesIn(testtables::ReadingBackends()),
                         [](const auto& Info) { return testtables::BackendName(Info.param); });

TEST_P(FieldComboBoxTest, TheListFollowsTheFieldKindsAndTheOpenDataset) {
    ComboBox->Items()->SetText("kept\n");
    // The data source was assigned while the table was closed: nothing to list yet.
    UserOpenList(*ComboBox);
    EXPECT_EQ(ItemsOf(*ComboBox), (std::vector<std::string>{"kept"}));
    UserCloseList(*ComboBox);

    Table->Open();
    struct TCase {
        TFieldKinds Kinds;
        std::vector<std::string> Expected;
    };
    // Memo fields are listed like any other; calculated and lookup fields by their kind.
    const TCase Cases[] = {
        {{fkData}, {"CustNo", "Company", "City", "Name", "Notes"}},
        {{fkData, fkCalculated, fkLookup, fkInternalCalc},
         {"CustNo", "Company", "City", "Name", "Notes", "Shout", "Again"}},
        {{}, {}},
        {{fkLookup}, {"Again"}},
    };
    for (const TCase& Case : Cases) {
        ComboBox->SetFieldKinds(Case.Kinds);
        ASSERT_TRUE(UserOpenList(*ComboBox));
        EXPECT_EQ(ItemsOf(*ComboBox), Case.Expected);
        UserCloseList(*ComboBox);
    }
    // A closed table leaves the last list alone.
    Table->Close();
    UserOpenList(*ComboBox);
    EXPECT_EQ(ItemsOf(*ComboBox), (std::vector<std::string>{"Again"}));
}

TEST_P(FieldComboBoxTest, AssigningADataSourceListsItsFieldsAndEmptiesTheText) {
    Table->Open();
    ComboBox->SetText("Name");
    ComboBox->SetDataSource(Source);
    EXPECT_EQ(ComboBox->Text(), "");
    EXPECT_EQ(ComboBox->Items()->Count(), 5);
}

TEST_P(FieldComboBoxTest, PickingAFieldRetargetsTheRelatedLocateEdit) {
    Table->Open();
    UserOpenList(*ComboBox);
    ASSERT_TRUE(UserSelectItem(*ComboBox, ComboBox->Items()->IndexOf("City")));
    EXPECT_EQ(Edit->GetDataField(), "City");
    // The locate edit now searches that field.
    UserEditText(*Edit, "cai");
    EXPECT_TRUE(Edit->Located());
    EXPECT_EQ(Table->FieldByName("Name")->AsString(), "smythe");

    // A typed name is related on Enter, field or not; other keys relate nothing.
    ComboBox->SetText("Company");
    UserKeyDown(*ComboBox, VK_LEFT);
    EXPECT_EQ(Edit->GetDataField(), "City");
    UserKeyDown(*ComboBox, VK_RETURN);
    EXPECT_EQ(Edit->GetDataField(), "Company");
    ComboBox->SetText("No such field");
    UserKeyDown(*ComboBox, VK_RETURN);
    EXPECT_EQ(Edit->GetDataField(), "No such field");
}

TEST_P(FieldComboBoxTest, OnlyALocateEditOnTheSameDataSourceIsRetargeted) {
    Table->Open();
    Edit->SetDataField("Name");
    std::vector<TComponent*> Targets;
    bool Veto = false;
    ComboBox->OnRelate = [&](TComponent* Sender, TComponent* Target, bool& DefaultRelating) {
        EXPECT_EQ(Sender, ComboBox);
        EXPECT_TRUE(DefaultRelating);
        Targets.push_back(Target);
        DefaultRelating = !Veto;
    };
    UserOpenList(*ComboBox);
    const int City = ComboBox->Items()->IndexOf("City");

    Veto = true;
    UserSelectItem(*ComboBox, City);
    EXPECT_EQ(Edit->GetDataField(), "Name");

    Veto = false;
    auto* OtherSource = new TDataSource(&Form);
    OtherSource->SetDataSet(Table);
    Edit->SetDataSource(OtherSource);
    UserSelectItem(*ComboBox, City);
    EXPECT_EQ(Edit->GetDataField(), "Name");

    // Neither data source counts as the same one.
    Edit->SetDataSource(nullptr);
    ComboBox->SetDataSource(nullptr);
    ComboBox->SetText("City");
    UserKeyDown(*ComboBox, VK_RETURN);
    EXPECT_EQ(Edit->GetDataField(), "City");

    // Another kind of component is left to the handler.
    auto* Plain = new TComponent(&Form);
    ComboBox->SetRelatedComponent(Plain);
    UserKeyDown(*ComboBox, VK_RETURN);
    EXPECT_EQ(Targets, (std::vector<TComponent*>{Edit, Edit, Edit, Plain}));
}

TEST_P(FieldComboBoxTest, RemovedComponentsAreDropped) {
    Table->Open();
    ComboBox->SetText("Name");
    Form.RemoveComponent(Source);
    EXPECT_EQ(ComboBox->GetDataSource(), nullptr);
    EXPECT_EQ(ComboBox->Text(), "");
    delete Source;
    Source = nullptr;

    // Freeing a data source removes it as well.
    Source = new TDataSource(&Form);
    Source->SetDataSet(Table);
    ComboBox->SetDataSource(Source);
    ComboBox->SetText("Name");
    delete Source;
    Source = nullptr;
    EXPECT_EQ(ComboBox->GetDataSource(), nullptr);
    EXPECT_EQ(ComboBox->Text(), "");

    // A freed related locate edit is never used again.
    delete Edit;
    Edit = nullptr;
    EXPECT_EQ(ComboBox->RelatedComponent(), nullptr);
    bool Related = false;
    ComboBox->OnRelate = [&](TComponent*, TComponent* Target, bool&) {
        Related = true;
        EXPECT_EQ(Target, nullptr);
    };
    ComboBox->SetText("City");
    EXPECT_TRUE(UserKeyDown(*ComboBox, VK_RETURN));
    EXPECT_TRUE(Related);

    // A locate edit of another form sends no removal notice here; freeing it still ends
    // the reference.
    auto OtherForm = std::make_unique<TComponent>(nullptr);
    ComboBox->SetRelatedComponent(new TDBLocateEdit(OtherForm.get()));
    OtherForm.reset();
    EXPECT_EQ(ComboBox->RelatedComponent(), nullptr);
    Related = false;
    EXPECT_TRUE(UserKeyDown(*ComboBox, VK_RETURN));
    EXPECT_TRUE(Related);
}

TEST(FieldComboBoxClassTest, PublishesItsPropertiesInOrderWithTheirDefaults) {
    dbfieldcombobox::Register();
    const auto Classes = PaletteClasses("Vorn");
    EXPECT_NE(std::find(Classes.begin(), Classes.end(), &TDBFieldComboBox::StaticClass()),
              Classes.end());
    TComponent Form(nullptr);
    auto* ComboBox =
        dynamic_cast<TDBFieldComboBox*>(FindClass("TDBFieldComboBox").CreateInstance(&Form));
    ASSERT_NE(ComboBox, nullptr);

    const TClass& Class = TDBFieldComboBox::StaticClass();
    std::vector<std::string> Names;
    for (const TPropertyInfo& Property : Class.OwnProperties())
        Names.push_back(Property.Name);
    EXPECT_EQ(Names, (std::vector<std::string>{"DataSource", "FieldKinds", "RelatedComponent",
                                               "OnRelate"}));
    auto Value = [&](const char* Name) { return Class.FindProperty(Name)->Get(*ComboBox); };
    EXPECT_EQ(Value("DataSource"), TPropertyValue(static_cast<TObject*>(nullptr)));
    EXPECT_EQ(Value("FieldKinds"),
              TPropertyValue(static_cast<std::int64_t>(TFieldKinds{fkData}.Bits())));
    EXPECT_EQ(Value("RelatedComponent"), TPropertyValue(static_cast<TObject*>(nullptr)));
    EXPECT_EQ(Class.FindProperty("FieldKinds")->Type->ElementNames,
              (std::vector<std::string>{"fkData", "fkCalculated", "fkLookup", "fkInternalCalc"}));
    EXPECT_EQ(ComboBox->Style(), csDropDown);

    auto* Edit = new TDBLocateEdit(&Form);
    Class.FindProperty("RelatedComponent")->Set(*ComboBox, static_cast<TObject*>(Edit));
    EXPECT_EQ(ComboBox->RelatedComponent(), Edit);
}

} // namespace
} // namespace vorn
