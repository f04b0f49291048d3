#include "bench/BenchScene.h"

#include "Source/VornDataResources.h"
#include "host/components/controls/Keyboard.h"

#include <stdexcept>

namespace vorn::bench {

namespace {

constexpr int GridWidth = 1200;
constexpr int FilterGridTop = 1400;

// Releases the Ctrl key however the click ends.
class TCtrlHeld {
public:
    TCtrlHeld() { SetKeyDown(VK_CONTROL, true); }
    ~TCtrlHeld() { SetKeyDown(VK_CONTROL, false); }
    TCtrlHeld(const TCtrlHeld&) = delete;
    TCtrlHeld& operator=(const TCtrlHeld&) = delete;
};

} // namespace

TBenchScene::TBenchScene(const std::string& Alias, const std::string& TableName,
                         const std::string& IndexFieldNames)
    : FOwner(std::make_unique<TComponent>(nullptr)) {
    RegisterVornDataResources();
    FWindow = new TForm(FOwner.get());
    FWindow->SetBounds(0, 0, GridWidth + 16, FilterGridTop + 400);
    FTable = new TTable(FOwner.get());
    FTable->SetDatabaseName(Alias);
    FTable->SetTableName(TableName);
    FTable->SetIndexFieldNames(IndexFieldNames);
    FSource = new TDataSource(FOwner.get());
    FSource->SetDataSet(FTable);

    FGrid = new TDBGrid(FOwner.get());
    FGrid->SetParent(FWindow);
    const int RowHeight = FGrid->DefaultRowHeight() + 1;
    FGrid->SetBounds(0, 0, GridWidth, (GridRecords + 1) * RowHeight + 4);
    FGrid->SetDataSource(FSource);

    FSorter = new TDBGridTitleSort(FOwner.get());
    FSorter->SetAutoRegister(arNone);
    FSorter->RegisterGrid(FGrid);

    FLocateEdit = new TDBLocateEdit(FOwner.get());
    FLocateEdit->SetParent(FWindow);
    FLocateEdit->SetAutoLocate(alNone);
    FLocateEdit->SetDataSource(FSource);

    FFilterGrid = new TDBFilterGrid(FOwner.get());
    FFilterGrid->SetParent(FWindow);
    FFilterGrid->SetBounds(0, FilterGridTop, 600, 300);
    FFilterGrid->SetDataSource(FSource);

    FTable->Open();
    if (FGrid->RecordCapacity() < GridRecords)
        throw std::runtime_error("the grid shows only " + std::to_string(FGrid->RecordCapacity()) +
                                 " records");
}

TBenchScene::~TBenchScene() = default;

TDBSortComboBox& TBenchScene::SortComboBox() {
    if (FSortComboBox == nullptr) {
        FSortComboBox = new TDBSortComboBox(FOwner.get());
        FSortComboBox->SetParent(FWindow);
        FSortComboBox->SetDataSource(FSource);
    }
    return *FSortComboBox;
}

TColumn& TBenchScene::Column(const std::string& FieldName) const {
    TColumn* Found = FGrid->Columns()->FindColumn(FieldName);
    if (Found == nullptr)
        throw std::runtime_error("the grid has no column for " + FieldName);
    return *Found;
}

std::size_t TBenchScene::ReadShownCells() const {
    const int FirstRow = FGrid->Options().Contains(dgTitles) ? 1 : 0;
    std::size_t Characters = 0;
    for (int Row = FirstRow; Row < FirstRow + FGrid->RecordCount(); ++Row)
        for (int Col = 0; Col < FGrid->ColCount(); ++Col)
            Characters += FGrid->CellText(Col, Row).size();
    return Characters;
}

std::string TBenchScene::ClickTitle(const std::string& FieldName, bool Ctrl) {
    TColumn& Clicked = Column(FieldName);
    if (!Ctrl)
        return FSorter->Execute(&Clicked);
    const TCtrlHeld Held;
    return FSorter->Execute(&Clicked);
}

bool TBenchScene::Locate(const std::string& Text) {
    FLocateEdit->SetText(Text);
    return FLocateEdit->Locate();
}

int TBenchScene::OpenValueList(const std::string& FieldName) {
    const int FieldCol = FFilterGrid->FixedCols() + fciLeftArg;
    const int ValueCol = FFilterGrid->FixedCols() + fciRightArg;
    const int Row = FFilterGrid->FixedRows();
    FFilterGrid->SetCells(FieldCol, Row, FieldName);
    TDBFilterGridComboBox& Combo = *FFilterGrid->InCellEditor();
    if (!Combo.ShowPositioned({ValueCol, Row}))
        throw std::runtime_error("the filter grid's value cell cannot be edited");
    Combo.DropDown();
    const int Count = Combo.Items()->Count();
    Combo.SetDroppedDown(false);
    return Count;
}

} // namespace vorn::bench
