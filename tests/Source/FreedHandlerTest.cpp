#include "Source/DBFieldComboBox.h"
#include "Source/DBFilterGrid.h"
#include "Source/DBGridTitleSort.h"
#include "Source/DBLocateEdit.h"
#include "Source/DBSortComboBox.h"
#include "Source/VornDataResources.h"
#include "host/components/controls/Form.h"
#include "host/components/controls/Input.h"
#include "host/components/controls/Keyboard.h"
#include "host/data/dataset/DataSource.h"
#include "host/data/dataset/Table.h"
#include "host/data/grid/DBGrid.h"
#include "tests/Source/TestTables.h"
#include "tests/support/FreeingHandlerForm.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vorn {
namespace {

using testtables::CreateCustomerOrders;
using testtables::CreateTable;
using testtables::tbSQLite;
using testtables::TErrorRecorder;
using testtables::TTestDatabase;

// A form with every data component on the customer table, whose handlers of interest
// log as they fire; FreeOn and Victim pick the handler that frees a component.
struct TFreeingForm : testsupport::TFreeingHandlerForm {
    TTable* Table;
    TDataSource* Source = new TDataSource(Form.get());
    TDBFieldComboBox* FieldCombo = new TDBFieldComboBox(Form.get());
    TDBLocateEdit* LocateEdit = new TDBLocateEdit(Form.get());
    TDBSortComboBox* SortCombo = new TDBSortComboBox(Form.get());
    TDBFilterGrid* FilterGrid = new TDBFilterGrid(Form.get());
    TDBGrid* Grid = new TDBGrid(Form.get());
    TDBGridTitleSort* TitleSort = new TDBGridTitleSort(Form.get());

    explicit TFreeingForm(const TTestDatabase& Database)
        : Table(CreateTable(*Form, Database, "customer", "CustNo")) {
        Form->SetBounds(0, 0, 1000, 700);
        Table->SetName("Table");
        Source->SetDataSet(Table);
        Name(*FieldCombo, "FieldCombo", 0);
        Name(*LocateEdit, "LocateEdit", 30);
        Name(*SortCombo, "SortCombo", 60);
        Name(*FilterGrid, "FilterGrid", 90);
        Name(*Grid, "Grid", 400);
        FilterGrid->SetBounds(10, 90, 425, 200);
        Grid->SetBounds(0, 400, 800, 200);
        TitleSort->SetName("TitleSort");
        FilterGrid->InCellEditor()->SetName("FilterCombo");
        FilterGrid->RowButton()->SetName("RowButton");
        for (TWinControl* Control :
             {static_cast<TWinControl*>(FieldCombo), static_cast<TWinControl*>(LocateEdit),
              static_cast<TWinControl*>(SortCombo), static_cast<TWinControl*>(FilterGrid),
              static_cast<TWinControl*>(FilterGrid->InCellEditor())})
            WatchInput(*Control);
        WatchInput(*FilterGrid->RowButton());
        FieldCombo->SetDataSource(Source);
        FieldCombo->SetRelatedComponent(LocateEdit);
        FieldCombo->OnRelate = [this](TComponent* Sender, TComponent*, bool&) {
            Fired(Sender, "relate");
        };
        FieldCombo->Items()->SetText("Name\nCity\n");
        LocateEdit->SetDataSource(Source);
        LocateEdit->SetDataField("Name");
        LocateEdit->OnChange = Logger("change");
        LocateEdit->OnExit = Logger("exit");
        LocateEdit->AfterLocate = Logger("locate");
        SortCombo->SetDataSource(Source);
        SortCombo->Items()->SetText("City\nName\n");
        SortCombo->OnSort = [this](TObject* Sender, TDataSet*, const std::string&) {
            Fired(Sender, "sort");
        };
        SortCombo->AfterSortChange = [this](TDataSet*) { Fired(SortCombo, "aftersortchange"); };
        FilterGrid->SetDataSource(Source);
        Grid->SetDataSource(Source);
        TitleSort->RegisterGrid(Grid);
        TitleSort->OnSort = [this](TObject* Sender, TCustomGrid*, TDataSet*, const std::string&) {
            Fired(Sender, "sort");
        };
        Grid->OnTitleClick = [this](TColumn* Column) { TitleSort->Execute(Column); };
        Table->AfterScroll = [this](TDataSet* DataSet) { Fired(DataSet, "afterscroll"); };
        // The filter grid's first row, which the hover cases point at.
        FilterGrid->SetRowCount(FilterGrid->FixedRows() + 1);
        FilterGrid->SetCells(FilterGrid->FixedCols(), FilterGrid->FixedRows(), "Name");
    }

    void Name(TControl& Control, const char* AName, int Top) {
        Control.SetName(AName);
        Control.SetParent(Form.get());
        Control.SetTop(Top);
    }

    void WatchInput(TControl& Control) {
        Control.OnClick = Logger("click");
        Control.OnMouseMove = [this](TObject* Sender, TShiftState, int, int) {
            Fired(Sender, "mousemove");
        };
        Control.OnMouseLeave = Logger("mouseleave");
        if (auto* WinControl = dynamic_cast<TWinControl*>(&Control))
            WinControl->OnKeyDown = [this](TObject* Sender, int&, TShiftState) {
                Fired(Sender, "keydown");
            };
    }

    // Moves the mouse over the filter grid's cell (Col, first filter row), which shows
    // the in-cell combo box or, on the fixed column, the row button.
    bool HoverFilterRow(int Col) {
        const TRect R = FilterGrid->CellRect(Col, FilterGrid->FixedRows());
        return UserMouseMove(*FilterGrid, (R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2);
    }
};

// A handler that frees its control, its form or the component whose work it is part of
// ends that work: no later handler of the act runs, and nothing touches the freed
// components, which the sanitizer build checks.
TEST(FreedHandler, NothingRunsAfterTheHandlerThatFreedItsComponent) {
    using TCase = testsupport::TFreeingCase<TFreeingForm>;
    const auto NoSetup = [](TFreeingForm&) {};
    const auto ReturnKeyLocates = [](TFreeingForm& F) {
        F.LocateEdit->SetAutoLocate(alReturnKey);
        F.LocateEdit->SetText("Smith");
    };
    const auto ShowFilterCombo = [](TFreeingForm& F) {
        ASSERT_TRUE(F.HoverFilterRow(F.FilterGrid->FixedCols()));
        ASSERT_TRUE(F.FilterGrid->InCellEditor()->Visible());
        F.FilterGrid->InCellEditor()->Items()->SetText("Name\nCity\n");
        F.Log.clear();
    };
    const auto ShowRowButton = [](TFreeingForm& F) {
        ASSERT_TRUE(F.HoverFilterRow(F.FilterGrid->FixedCols() - 1));
        ASSERT_TRUE(F.FilterGrid->RowButton()->Visible());
        F.Log.clear();
    };
    const auto PickCity = [](TCustomComboBox& Combo) { return UserSelectItem(Combo, 1); };
    const auto ClickCityTitle = [](TFreeingForm& F) {
        return UserClickTitle(*F.Grid, *F.Grid->Columns()->FindColumn("City"));
    };
    const std::vector<TCase> Cases = {
        {.Name = "field combo box OnClick",
         .Setup = NoSetup,
         .Act = [&](TFreeingForm& F) { return PickCity(*F.FieldCombo); },
         .FreeOn = "FieldCombo.click",
         .Victim = "",
         .ExpectedLog = {"FieldCombo.click"}},
        {.Name = "field combo box OnKeyDown",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return UserKeyDown(*F.FieldCombo, VK_RETURN); },
         .FreeOn = "FieldCombo.keydown",
         .Victim = "Form",
         .ExpectedLog = {"FieldCombo.keydown"}},
        {.Name = "field combo box OnRelate",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return UserKeyDown(*F.FieldCombo, VK_RETURN); },
         .FreeOn = "FieldCombo.relate",
         .Victim = "",
         .ExpectedLog = {"FieldCombo.keydown", "FieldCombo.relate"}},
        {.Name = "locate edit OnChange",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return UserEditText(*F.LocateEdit, "Smith"); },
         .FreeOn = "LocateEdit.change",
         .Victim = "",
         .ExpectedLog = {"LocateEdit.change"}},
        {.Name = "locate edit OnKeyDown",
         .Setup = ReturnKeyLocates,
         .Act = [](TFreeingForm& F) { return UserKeyDown(*F.LocateEdit, VK_RETURN); },
         .FreeOn = "LocateEdit.keydown",
         .Victim = "Form",
         .ExpectedLog = {"LocateEdit.keydown"}},
        {.Name = "locate edit OnChange on leaving it",
         .Setup =
             [](TFreeingForm& F) {
                 ASSERT_TRUE(UserSetFocus(*F.LocateEdit));
                 F.LocateEdit->SetAutoUpdate(true);
                 F.LocateEdit->SetText("typed");
             },
         .Act = [](TFreeingForm& F) { return UserSetFocus(*F.SortCombo); },
         .FreeOn = "LocateEdit.change",
         .Victim = "",
         .ExpectedLog = {"LocateEdit.change"}},
        {.Name = "dataset AfterScroll of a locate",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return UserEditText(*F.LocateEdit, "Smith"); },
         .FreeOn = "Table.afterscroll",
         .Victim = "LocateEdit",
         .ExpectedLog = {"LocateEdit.change", "Table.afterscroll"}},
        {.Name = "filter combo box OnClick",
         .Setup = ShowFilterCombo,
         .Act = [&](TFreeingForm& F) { return PickCity(*F.FilterGrid->InCellEditor()); },
         .FreeOn = "FilterCombo.click",
         .Victim = "Form",
         .ExpectedLog = {"FilterCombo.click"}},
        {.Name = "filter combo box OnKeyDown",
         .Setup = ShowFilterCombo,
         .Act =
             [](TFreeingForm& F) { return UserKeyDown(*F.FilterGrid->InCellEditor(), VK_RETURN); },
         .FreeOn = "FilterCombo.keydown",
         .Victim = "Form",
         .ExpectedLog = {"FilterCombo.keydown"}},
        {.Name = "filter combo box OnMouseLeave",
         .Setup = ShowFilterCombo,
         .Act = [](TFreeingForm& F) { return UserMouseLeave(*F.FilterGrid->InCellEditor()); },
         .FreeOn = "FilterCombo.mouseleave",
         .Victim = "FilterGrid",
         .ExpectedLog = {"FilterCombo.mouseleave"}},
        {.Name = "filter grid OnMouseMove",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return F.HoverFilterRow(F.FilterGrid->FixedCols()); },
         .FreeOn = "FilterGrid.mousemove",
         .Victim = "",
         .ExpectedLog = {"FilterGrid.mousemove"}},
        {.Name = "filter grid OnKeyDown",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return UserKeyDown(*F.FilterGrid, VK_RETURN); },
         .FreeOn = "FilterGrid.keydown",
         .Victim = "",
         .ExpectedLog = {"FilterGrid.keydown"}},
        {.Name = "row button OnClick",
         .Setup = ShowRowButton,
         .Act = [](TFreeingForm& F) { return UserClick(*F.FilterGrid->RowButton()); },
         .FreeOn = "RowButton.click",
         .Victim = "Form",
         .ExpectedLog = {"RowButton.click"}},
        {.Name = "row button OnMouseLeave",
         .Setup = ShowRowButton,
         .Act = [](TFreeingForm& F) { return UserMouseLeave(*F.FilterGrid->RowButton()); },
         .FreeOn = "RowButton.mouseleave",
         .Victim = "",
         .ExpectedLog = {"RowButton.mouseleave"}},
        {.Name = "sort combo box OnClick",
         .Setup = NoSetup,
         .Act = [&](TFreeingForm& F) { return PickCity(*F.SortCombo); },
         .FreeOn = "SortCombo.click",
         .Victim = "",
         .ExpectedLog = {"SortCombo.click"}},
        {.Name = "sort combo box OnKeyDown",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return UserKeyDown(*F.SortCombo, VK_RETURN); },
         .FreeOn = "SortCombo.keydown",
         .Victim = "Form",
         .ExpectedLog = {"SortCombo.keydown"}},
        {.Name = "sort combo box AfterSortChange",
         .Setup = NoSetup,
         .Act = [&](TFreeingForm& F) { return PickCity(*F.SortCombo); },
         .FreeOn = "SortCombo.aftersortchange",
         .Victim = "",
         .ExpectedLog = {"SortCombo.click", "SortCombo.aftersortchange"}},
        {.Name = "title sort OnSort",
         .Setup = NoSetup,
         .Act = ClickCityTitle,
         .FreeOn = "TitleSort.sort",
         .Victim = "Form",
         .ExpectedLog = {"SortCombo.aftersortchange", "TitleSort.sort"}},
        {.Name = "a re-sort's handler frees the title sort",
         .Setup = NoSetup,
         .Act = ClickCityTitle,
         .FreeOn = "SortCombo.aftersortchange",
         .Victim = "TitleSort",
         .ExpectedLog = {"SortCombo.aftersortchange"}},
    };
    RegisterVornDataResources();
    const std::unique_ptr<TTestDatabase> Database = CreateCustomerOrders(tbSQLite);
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TFreeingForm F(*Database);
        Case.Setup(F);
        F.Arm(Case.FreeOn, Case.Victim);
        const TErrorRecorder Errors;

        Case.Act(F);

        EXPECT_EQ(F.Log, Case.ExpectedLog);
        EXPECT_TRUE(Errors.Messages().empty()) << Errors.Messages().front();
        if (Case.Victim == std::string("Form")) {
            EXPECT_EQ(F.Form, nullptr);
        }
    }
}

} // namespace
} // namespace vorn
