#include "host/components/controls/Form.h"
#include "host/components/forms/FormFile.h"
#include "host/components/model/ClassRegistry.h"
#include "tests/host/data/DBGridTestFixture.h"

#include <algorithm>

namespace vorn::dbgridtest {
namespace {

const std::vector<std::string> CustomerFields = {"CustNo",  "Company", "Name",        "City",
                                                 "Country", "Balance", "CreditLimit", "Since"};

std::vector<std::string> FieldNamesOf(const TDBGridColumns& Columns) {
    std::vector<std::string> Result;
    for (int Index = 0; Index < Columns.Count(); ++Index)
        Result.push_back(Columns.Items(Index)->FieldName());
    return Result;
}

std::vector<std::string> TitleRow(const TCustomDBGrid& Grid) {
    std::vector<std::string> Result;
    for (int Col = Grid.FixedCols(); Col < Grid.ColCount(); ++Col)
        Result.push_back(Grid.CellText(Col, 0));
    return Result;
}

using DBGridColumnsTest = DBGridTest;

TEST_F(DBGridColumnsTest, DefaultColumnsFollowTheDataSetsFields) {
    EXPECT_EQ(Grid->Columns()->State(), csDefault);
    EXPECT_EQ(Grid->Columns()->Count(), 0);
    Table->Open();
    EXPECT_EQ(FieldNamesOf(*Grid->Columns()), CustomerFields);
    EXPECT_EQ(TitleRow(*Grid), CustomerFields);
    EXPECT_EQ(Grid->ColCount(), 1 + 8);

    Table->Close();
    Table->SetTableName("contact");
    Table->Open();
    EXPECT_EQ(
        FieldNamesOf(*Grid->Columns()),
        (std::vector<std::string>{"ContactNo", "CustNo", "Last Name", "First Name", "Phone"}));
    EXPECT_EQ(Grid->Columns()->State(), csDefault);
}

TEST_F(DBGridColumnsTest, DefaultColumnsSurviveARefreshAndAResort) {
    Table->Open();
    const int FirstID = Grid->Columns()->Items(0)->ID();
    Grid->Columns()->Items(2)->Title()->SetColor(clRed);
    Table->SetIndexFieldNames("Name");
    Table->Refresh();
    EXPECT_EQ(Grid->Columns()->Items(0)->ID(), FirstID);
    EXPECT_EQ(Grid->Columns()->Items(2)->Title()->Color(), clRed);
    EXPECT_EQ(Grid->Columns()->State(), csDefault);
}

TEST_F(DBGridColumnsTest, AddingAColumnCustomizesAndRemovingAllReturnsToDefault) {
    Table->Open();
    Grid->Columns()->Clear();
    EXPECT_EQ(Grid->Columns()->State(), csDefault);
    EXPECT_EQ(Grid->Columns()->Count(), 8) << "clearing default columns rebuilds them";

    Grid->Columns()->BeginUpdate();
    Grid->Columns()->Clear();
    Grid->Columns()->Add()->SetFieldName("Name");
    Grid->Columns()->Add()->SetFieldName("City");
    Grid->Columns()->EndUpdate();
    EXPECT_EQ(Grid->Columns()->State(), csCustomized);
    EXPECT_EQ(TitleRow(*Grid), (std::vector<std::string>{"Name", "City"}));
    EXPECT_EQ(Grid->ColCount(), 3);

    // Customized columns stay when the fields change.
    Table->Close();
    Table->Open();
    EXPECT_EQ(FieldNamesOf(*Grid->Columns()), (std::vector<std::string>{"Name", "City"}));

    Grid->Columns()->Delete(0);
    EXPECT_EQ(Grid->Columns()->State(), csCustomized);
    Grid->Columns()->Delete(0);
    EXPECT_EQ(Grid->Columns()->State(), csDefault);
    EXPECT_EQ(FieldNamesOf(*Grid->Columns()), CustomerFields);

    Grid->Columns()->Add()->SetFieldName("Name");
    Grid->Columns()->RebuildColumns();
    EXPECT_EQ(Grid->Columns()->State(), csDefault);
    EXPECT_EQ(FieldNamesOf(*Grid->Columns()), CustomerFields);

    Grid->Columns()->SetState(csCustomized);
    Table->Close();
    EXPECT_EQ(Grid->Columns()->Count(), 8) << "customized columns do not follow the fields";
}

TEST_F(DBGridColumnsTest, IdsAreUniqueAndNeverReused) {
    Table->Open();
    TDBGridColumns& Columns = *Grid->Columns();
    std::vector<int> Seen;
    for (int Index = 0; Index < Columns.Count(); ++Index)
        Seen.push_back(Columns.Items(Index)->ID());
    TColumn* Deleted = Columns.Items(3);
    const int DeletedID = Deleted->ID();
    Columns.Delete(3);
    EXPECT_EQ(Columns.FindItemID(DeletedID), nullptr);
    Seen.push_back(Columns.Add()->ID());
    Columns.RebuildColumns();
    for (int Index = 0; Index < Columns.Count(); ++Index)
        Seen.push_back(Columns.Items(Index)->ID());
    Columns.Clear(); // back to default columns again
    for (int Index = 0; Index < Columns.Count(); ++Index)
        Seen.push_back(Columns.Items(Index)->ID());
    std::vector<int> Sorted = Seen;
    std::sort(Sorted.begin(), Sorted.end());
    EXPECT_EQ(std::adjacent_find(Sorted.begin(), Sorted.end()), Sorted.end());
    EXPECT_EQ(Columns.NextID(), Sorted.back() + 1);
    for (int Index = 0; Index < Columns.Count(); ++Index)
        EXPECT_EQ(Columns.FindItemID(Columns.Items(Index)->ID()), Columns.Items(Index));
    EXPECT_EQ(Columns.FindItemID(-1), nullptr);
}

TEST_F(DBGridColumnsTest, ColumnFieldGridAndIndex) {
    TColumn* Name = Grid->Columns()->Add();
    Name->SetFieldName("Name");
    TColumn* Unknown = Grid->Columns()->Add();
    Unknown->SetFieldName("NoSuchField");
    EXPECT_EQ(Name->Grid(), Grid);
    EXPECT_EQ(Name->Field(), nullptr) << "closed dataset";
    Table->Open();
    ASSERT_NE(Name->Field(), nullptr);
    EXPECT_EQ(Name->Field(), Table->FieldByName("Name"));
    EXPECT_EQ(Unknown->Field(), nullptr);
    EXPECT_EQ(Grid->CellText(Grid->ColumnToGridCol(Unknown), 1), "");
    EXPECT_EQ(Unknown->Title()->Caption(), "NoSuchField");

    Unknown->SetIndex(0);
    EXPECT_EQ(Unknown->Index(), 0);
    EXPECT_EQ(Name->Index(), 1);
    EXPECT_EQ(TitleRow(*Grid), (std::vector<std::string>{"NoSuchField", "Name"}));
    EXPECT_THROW(Name->SetIndex(2), EListError);
    EXPECT_THROW(Grid->Columns()->Items(2), EListError);
    EXPECT_THROW(Grid->Columns()->Delete(-1), EListError);

    Grid->SetDataSource(nullptr);
    EXPECT_EQ(Name->Field(), nullptr);
}

TEST_F(DBGridColumnsTest, TitleCaptionIsTheFieldsLabelUntilWritten) {
    Table->Open();
    TColumn* City = Grid->Columns()->FindColumn("City");
    EXPECT_EQ(City->Title()->Caption(), "City");
    Table->FieldByName("City")->SetDisplayLabel("Town");
    EXPECT_EQ(City->Title()->Caption(), "Town");
    City->Title()->SetCaption("Where");
    Table->FieldByName("City")->SetDisplayLabel("Place");
    EXPECT_EQ(City->Title()->Caption(), "Where");
    EXPECT_EQ(Grid->CellText(Grid->ColumnToGridCol(City), 0), "Where");
    // An empty caption written on purpose stays empty.
    City->Title()->SetCaption("");
    EXPECT_EQ(City->Title()->Caption(), "");
    City->Title()->RestoreDefaults();
    EXPECT_EQ(City->Title()->Caption(), "Place");
}

TEST_F(DBGridColumnsTest, TitleColourAndFontDefaults) {
    Grid->TitleFont()->SetSize(11);
    Table->Open();
    TColumnTitle* Title = Grid->Columns()->Items(0)->Title();
    EXPECT_EQ(Title->Color(), clBtnFace);
    EXPECT_EQ(Title->Font()->Size(), 11);
    EXPECT_NE(Title->Font(), Grid->TitleFont());

    Grid->TitleFont()->SetStyle({fsItalic});
    EXPECT_EQ(Title->Font()->Style(), TFontStyles{fsItalic}) << "follows the grid's title font";

    Title->Font()->SetColor(clRed);
    Grid->TitleFont()->SetStyle({fsBold});
    EXPECT_EQ(Title->Font()->Style(), TFontStyles{fsItalic}) << "its own font since changed";
    EXPECT_EQ(Grid->Columns()->Items(1)->Title()->Font()->Style(), TFontStyles{fsBold});

    // Put back as it was, it follows again.
    Title->Font()->SetColor(Grid->TitleFont()->Color());
    Title->Font()->SetStyle({fsBold});
    Grid->TitleFont()->SetSize(14);
    EXPECT_EQ(Title->Font()->Size(), 14);

    Title->Font()->SetColor(clRed);
    Title->RestoreDefaults();
    EXPECT_EQ(Title->Font()->Style(), TFontStyles{fsBold});
    EXPECT_EQ(Title->Font()->Color(), Grid->TitleFont()->Color());
}

TEST_F(DBGridColumnsTest, WidthAndVisibility) {
    Table->Open();
    TColumn* Name = Grid->Columns()->FindColumn("Name");
    const int Col = Grid->ColumnToGridCol(Name);
    EXPECT_EQ(Name->Width(), Name->DefaultWidth());
    EXPECT_GT(Name->DefaultWidth(), Grid->Columns()->FindColumn("Since")->DefaultWidth());
    Name->SetWidth(123);
    EXPECT_EQ(Grid->ColWidths(Col), 123);
    EXPECT_THROW(Name->SetWidth(-1), EListError);
    EXPECT_EQ(Name->Width(), 123);

    Name->SetVisible(false);
    EXPECT_EQ(Grid->ColumnToGridCol(Name), -1);
    EXPECT_EQ(Grid->ColCount(), 1 + 7);
    EXPECT_EQ(Grid->ColumnAt(Col), Grid->Columns()->FindColumn("City"));
}

class DBGridFormFileTest : public DBGridTest {
protected:
    static void SetUpTestSuite() {
        DBGridTest::SetUpTestSuite();
        RegisterHostClasses();
        RegisterClass(TDBGrid::StaticClass());
    }
    static void TearDownTestSuite() {
        UnregisterClass(TDBGrid::StaticClass());
        DBGridTest::TearDownTestSuite();
    }
};

TEST_F(DBGridFormFileTest, CustomizedColumnsAreWrittenAndReadBack) {
    TForm Form(nullptr);
    Form.SetName("Form1");
    auto* Written = new TDBGrid(&Form);
    Written->SetName("Grid1");
    TColumn* Name = Written->Columns()->Add();
    Name->SetFieldName("Name");
    Name->Title()->SetCaption("Customer");
    Name->Title()->SetColor(clYellow);
    Name->SetWidth(150);
    Written->Columns()->Add()->SetFieldName("Last Name");
    Written->Columns()->Items(1)->SetVisible(false);

    const std::unique_ptr<TComponent> Copy = ReadForm(WriteForm(Form));
    auto* Read = dynamic_cast<TDBGrid*>(Copy->FindComponent("Grid1"));
    ASSERT_NE(Read, nullptr);
    TDBGridColumns& Columns = *Read->Columns();
    EXPECT_EQ(Columns.State(), csCustomized);
    ASSERT_EQ(FieldNamesOf(Columns), (std::vector<std::string>{"Name", "Last Name"}));
    EXPECT_EQ(Columns.Items(0)->Title()->Caption(), "Customer");
    EXPECT_EQ(Columns.Items(0)->Title()->Color(), clYellow);
    EXPECT_EQ(Columns.Items(0)->Width(), 150);
    EXPECT_FALSE(Columns.Items(1)->Visible());
    // Titles read from the file still follow the grid's title font.
    Read->TitleFont()->SetSize(20);
    EXPECT_EQ(Columns.Items(0)->Title()->Font()->Size(), 20);
}

TEST_F(DBGridFormFileTest, DefaultColumnsAreTheDataSetsAndNotWritten) {
    Table->Open();
    EXPECT_EQ(Grid->Columns()->StreamItemCount(), 0);
    TForm Form(nullptr);
    auto* Written = new TDBGrid(&Form);
    Written->SetName("Grid1");
    const std::unique_ptr<TComponent> Copy = ReadForm(WriteForm(Form));
    auto* Read = dynamic_cast<TDBGrid*>(Copy->FindComponent("Grid1"));
    ASSERT_NE(Read, nullptr);
    EXPECT_EQ(Read->Columns()->State(), csDefault);
    // A grid given a data source after loading builds its default columns.
    Read->SetDataSource(Source);
    EXPECT_EQ(FieldNamesOf(*Read->Columns()), CustomerFields);
}

} // namespace
} // namespace vorn::dbgridtest
