#include "apps/demo/DemoWindow.h"

#include "Source/DBFilterGrid.h"
#include "Source/DBGridTitleSort.h"
#include "Source/DBLocateEdit.h"
#include "host/components/controls/Button.h"
#include "host/components/controls/Edit.h"
#include "host/components/controls/UserHint.h"
#include "host/components/forms/FormFile.h"
#include "host/data/dataset/Query.h"
#include "host/data/dataset/Table.h"
#include "host/data/grid/DBGrid.h"

namespace vorn {

std::filesystem::path DemoFormFile() {
    return VORN_DEMO_FORM_FILE;
}

TDemoWindow::TDemoWindow(const std::filesystem::path& FormFile) {
    std::unique_ptr<TComponent> Root = ReadFormFile(FormFile);
    auto* Form = dynamic_cast<TForm*>(Root.get());
    if (Form == nullptr)
        throw Exception("The demo form file " + FormFile.string() + " does not hold a form");
    Root.release();
    FForm.reset(Form);
    FCustomerGrid = &Find<TDBGrid>("CustomerGrid");
    FTitleSort = &Find<TDBGridTitleSort>("TitleSort");
    FFilterGrid = &Find<TDBFilterGrid>("FilterGrid");
    FExpressionEdit = &Find<TEdit>("ExpressionEdit");
    FCustomerTable = &Find<TTable>("CustomerTable");
    FFilterQuery = &Find<TQuery>("FilterQuery");
    FTitleSort->RegisterGrid(FCustomerGrid);
    WireEvents();
}

TDemoWindow::~TDemoWindow() = default;

template <class TComponentClass>
TComponentClass& TDemoWindow::Find(const std::string& Name) const {
    auto* Component = dynamic_cast<TComponentClass*>(FForm->FindComponent(Name));
    if (Component == nullptr)
        throw Exception("The demo form has no " + TComponentClass::StaticClass().Name() +
                        " named " + Name);
    return *Component;
}

void TDemoWindow::WireEvents() {
    FCustomerGrid->OnTitleClick = [this](TColumn* Column) {
        FTitleSort->Execute(Column);
        if (const auto& Refused = FTitleSort->RefusedSortFields())
            ShowUserHint(*FCustomerGrid, "No index of table " + FCustomerTable->TableName() +
                                             (Refused->empty() ? " keeps its default order"
                                                               : " begins with " + *Refused) +
                                             ": this title cannot sort the table");
    };
    auto& LocateEdit = Find<TDBLocateEdit>("LocateEdit");
    LocateEdit.AfterLocate = [&LocateEdit](TObject*) {
        if (!LocateEdit.Located())
            ShowUserHint(LocateEdit,
                         "No " + LocateEdit.GetLocateField() + " begins with " + LocateEdit.Text());
    };
    // Picking from a list moves on as typing and Enter do; F4 and Alt+Down open a list.
    FFilterGrid->SetAdvanceAfterPick(true);
    FFilterGrid->SetListKeys(true);
    Find<TSpeedButton>("ApplySimpleButton").OnClick = [this](TObject*) { ApplyFilter(false); };
    Find<TSpeedButton>("ApplySQLButton").OnClick = [this](TObject*) { ApplyFilter(true); };
}

void TDemoWindow::ApplyFilter(bool AsSQL) {
    FFilterGrid->SetFilterKind(AsSQL ? fkSQL : fkSimple);
    const std::string Expression = FFilterGrid->GetFilterExpression();
    FExpressionEdit->SetText(Expression);
    if (!AsSQL) {
        FCustomerTable->SetFilter(Expression);
        FCustomerTable->SetFiltered(!Expression.empty());
        return;
    }
    // The grid's expression is built from its cells with values quoted by field type, so
    // it is a well-formed condition; the query's own parser rejects anything else.
    FFilterQuery->Close();
    FFilterQuery->SQL()->Clear();
    FFilterQuery->SQL()->Add("SELECT * FROM customer");
    if (!Expression.empty())
        FFilterQuery->SQL()->Add("WHERE " + Expression);
    FFilterQuery->Open();
}

void TDemoWindow::PlayScene() {
    TDBGridColumns& Columns = *FCustomerGrid->Columns();
    if (Columns.Count() < 4)
        throw Exception("The customers grid shows fewer than four columns");
    // City, then Name with Ctrl held: the order of the customers' ByCityName index.
    if (!UserClickTitle(*FCustomerGrid, *Columns.Items(3)) ||
        !UserClickTitle(*FCustomerGrid, *Columns.Items(2), TShiftState{ssCtrl}))
        throw Exception("The customers grid's titles could not be clicked");

    const auto Fill = [this](int Row, const std::string& Field, TFilterOperatorIndex Operator,
                             const std::string& Value) {
        FFilterGrid->SetCells(FFilterGrid->FilterColumn(fciLeftArg), Row, Field);
        FFilterGrid->SetCells(FFilterGrid->FilterColumn(fciOperator), Row, fonComputer[Operator]);
        FFilterGrid->SetCells(FFilterGrid->FilterColumn(fciRightArg), Row, Value);
        FFilterGrid->SetCells(FFilterGrid->FilterColumn(fciBoolOperator), Row,
                              fbnComputer[fbiFalse]);
    };
    if (FFilterGrid->RowCount() < 3)
        FFilterGrid->SetRowCount(3);
    Fill(1, "Balance", foiLarger, "1000");
    Fill(2, "CreditLimit", foiLargerOrEqual, "5000");
    ApplyFilter(false);
    ApplyFilter(true);
}

} // namespace vorn
