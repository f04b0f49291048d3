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
        {"field combo box OnClick",
         NoSetup,
         [&](TFreeingForm& F) { return PickCity(*F.FieldCombo); },
         "FieldCombo.click",
         "",
         {"FieldCombo.click"}},
        {"field combo box OnKeyDown",
         NoSetup,
         [](TFreeingForm& F) { return UserKeyDown(*F.FieldCombo, VK_RETURN); },
         "FieldCombo.keydown",
         "Form",
         {"FieldCombo.keydown"}},
        {"field combo box OnRelate",
         NoSetup,
         [](TFreeingForm& F) { return UserKeyDown(*F.FieldCombo, VK_RETURN); },
         "FieldCombo.relate",
         "",
         {"FieldCombo.keydown", "FieldCombo.relate"}},
        {"locate edit OnChange",
         NoSetup,
         [](TFreeingForm& F) { return UserEditText(*F.LocateEdit, "Smith"); },
         "LocateEdit.change",
         "",
         {"LocateEdit.change"}},
        {"locate edit OnKeyDown",
         ReturnKeyLocates,
         [](TFreeingForm& F) { return UserKeyDown(*F.LocateEdit, VK_RETURN); },
         "LocateEdit.keydown",
         "Form",
         {"LocateEdit.keydown"}},
        {"locate edit OnChange on leaving it",
         [](TFreeingForm& F) {
             ASSERT_TRUE(UserSetFocus(*F.LocateEdit));
             F.LocateEdit->SetAutoUpdate(true);
             F.LocateEdit->SetText("typed");
         },
         [](TFreeingForm& F) { return UserSetFocus(*F.SortCombo); },
         "LocateEdit.change",
         "",
         {"LocateEdit.change"}},
        {"dataset AfterScroll of a locate",
         NoSetup,
         [](TFreeingForm& F) { return UserEditText(*F.LocateEdit, "Smith"); },
         "Table.afterscroll",
         "LocateEdit",
         {"LocateEdit.change", "Table.afterscroll"}},
        {"filter combo box OnClick",
         ShowFilterCombo,
         [&](TFreeingForm& F) { return PickCity(*F.FilterGrid->InCellEditor()); },
         "FilterCombo.click",
         "Form",
         {"FilterCombo.click"}},
        {"filter combo box OnKeyDown",
         ShowFilterCombo,
         [](TFreeingForm& F) { return UserKeyDown(*F.FilterGrid->InCellEditor(), VK_RETURN); },
         "FilterCombo.keydown",
         "Form",
         {"FilterCombo.keydown"}},
        {"filter combo box OnMouseLeave",
         ShowFilterCombo,
         [](TFreeingForm& F) { return UserMouseLeave(*F.FilterGrid->InCellEditor()); },
         "FilterCombo.mouseleave",
         "FilterGrid",
         {"FilterCombo.mouseleave"}},
        {"filter grid OnMouseMove",
         NoSetup,
         [](TFreeingForm& F) { return F.HoverFilterRow(F.FilterGrid->FixedCols()); },
         "FilterGrid.mousemove",
         "",
         {"FilterGrid.mousemove"}},
        {"filter grid OnKeyDown",
         NoSetup,
         [](TFreeingForm& F) { return UserKeyDown(*F.FilterGrid, VK_RETURN); },
         "FilterGrid.keydown",
         "",
         {"FilterGrid.keydown"}},
        {"row button OnClick",
         ShowRowButton,
         [](TFreeingForm& F) { return UserClick(*F.FilterGrid->RowButton()); },
         "RowButton.click",
         "Form",
         {"RowButton.click"}},
        {"row button OnMouseLeave",
         ShowRowButton,
         [](TFreeingForm& F) { return UserMouseLeave(*F.FilterGrid->RowButton()); },
         "RowButton.mouseleave",
         "",
         {"RowButton.mouseleave"}},
        {"sort combo box OnClick",
         NoSetup,
         [&](TFreeingForm& F) { return PickCity(*F.SortCombo); },
         "SortCombo.click",
         "",
         {"SortCombo.click"}},
        {"sort combo box OnKeyDown",
         NoSetup,
         [](TFreeingForm& F) { return UserKeyDown(*F.SortCombo, VK_RETURN); },
         "SortCombo.keydown",
         "Form",
         {"SortCombo.keydown"}},
        {"sort combo box AfterSortChange",
         NoSetup,
         [&](TFreeingForm& F) { return PickCity(*F.SortCombo); },
         "SortCombo.aftersortchange",
         "",
         {"SortCombo.click", "SortCombo.aftersortchange"}},
        {"title sort OnSort",
         NoSetup,
         ClickCityTitle,
         "TitleSort.sort",
         "Form",
         {"SortCombo.aftersortchange", "TitleSort.sort"}},
        {"a re-sort's handler frees the title sort",
         NoSetup,
         ClickCityTitle,
         "SortCombo.aftersortchange",
         "TitleSort",
         {"SortCombo.aftersortchange"}},
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
