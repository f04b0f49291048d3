#include "host/components/controls/Grid.h"

namespace vorn {

// One row or one column of a string grid seen as a list of strings.
class TStringGrid::TLineStrings : public TStrings {
public:
    TLineStrings(TStringGrid& Grid, bool IsRow, int Line)
        : FGrid(Grid), FIsRow(IsRow), FLine(Line) {}

    int Count() const override {
        if (!LineExists())
            return 0;
        return FIsRow ? FGrid.ColCount() : FGrid.RowCount();
    }

    void Insert(int, const std::string&) override { RaiseFixedLength("Insert()"); }
    void Delete(int) override { RaiseFixedLength("Delete()"); }

    void Clear() override {
        for (int Index = 0; Index < Count(); ++Index) {
            Put(Index, std::string());
            PutObject(Index, nullptr);
        }
    }

    // Copies Source cell by cell; cells beyond Source's strings are emptied. Raises
    // EInvalidGridOperation, changing nothing, when Source has more strings than cells.
    void Assign(const TPersistent* Source) override {
        const auto* Strings = dynamic_cast<const TStrings*>(Source);
        if (Strings == nullptr || Strings == this) {
            TStrings::Assign(Source);
            return;
        }
        if (Strings->Count() > Count())
            throw EInvalidGridOperation("Assign() " + std::to_string(Strings->Count()) +
                                        " strings do not fit into " + std::to_string(Count()) +
                                        " cells");
        for (int Index = 0; Index < Count(); ++Index) {
            const bool Given = Index < Strings->Count();
            Put(Index, Given ? Strings->Strings(Index) : std::string());
            PutObject(Index, Given ? Strings->Objects(Index) : nullptr);
        }
    }

protected:
    std::string Get(int Index) const override { return FGrid.Cells(ColOf(Index), RowOf(Index)); }
    void Put(int Index, const std::string& S) override {
        FGrid.SetCells(ColOf(Index), RowOf(Index), S);
    }
    TObject* GetObject(int Index) const override {
        return FGrid.Objects(ColOf(Index), RowOf(Index));
    }
    void PutObject(int Index, TObject* Object) override {
        FGrid.SetObjects(ColOf(Index), RowOf(Index), Object);
    }

private:
    bool LineExists() const { return FLine < (FIsRow ? FGrid.RowCount() : FGrid.ColCount()); }
    int ColOf(int Index) const { return FIsRow ? Index : FLine; }
    int RowOf(int Index) const { return FIsRow ? FLine : Index; }

    [[noreturn]] void RaiseFixedLength(const char* Operation) const {
        throw EInvalidGridOperation(std::string(Operation) + " The cells of a grid " +
                                    (FIsRow ? "row" : "column") + " cannot be inserted or deleted");
    }

    TStringGrid& FGrid;
    bool FIsRow;
    int FLine;
};

const TClass& TStringGrid::StaticClass() {
    static const TClass Class("TStringGrid", &TDrawGrid::StaticClass(),
                              &CreateComponentOf<TStringGrid>);
    return Class;
}

TStringGrid::TStringGrid(TComponent* AOwner) : TDrawGrid(AOwner) {
    SizeChanged(0, 0);
}

TStringGrid::~TStringGrid() = default;

TStringGrid::TCell& TStringGrid::Cell(int ACol, int ARow) {
    return FCells[static_cast<std::size_t>(ARow)][static_cast<std::size_t>(ACol)];
}

const TStringGrid::TCell& TStringGrid::Cell(int ACol, int ARow) const {
    return FCells[static_cast<std::size_t>(ARow)][static_cast<std::size_t>(ACol)];
}

std::string TStringGrid::Cells(int ACol, int ARow) const {
    CheckCell("Cells()", ACol, ARow);
    return Cell(ACol, ARow).Text;
}

void TStringGrid::SetCells(int ACol, int ARow, const std::string& Value) {
    CheckCell("SetCells()", ACol, ARow);
    std::string& Text = Cell(ACol, ARow).Text;
    if (Text == Value)
        return;
    Text = Value;
    NotifyPeer([&](TControlPeer& Peer) { Peer.CellChanged(ACol, ARow); });
}

TObject* TStringGrid::Objects(int ACol, int ARow) const {
    CheckCell("Objects()", ACol, ARow);
    return Cell(ACol, ARow).Object;
}

void TStringGrid::SetObjects(int ACol, int ARow, TObject* Value) {
    CheckCell("SetObjects()", ACol, ARow);
    Cell(ACol, ARow).Object = Value;
}

TStrings* TStringGrid::Rows(int ARow) {
    CheckCell("Rows()", 0, ARow);
    auto& Strings = FRowStrings[ARow];
    if (!Strings)
        Strings = std::make_unique<TLineStrings>(*this, true, ARow);
    return Strings.get();
}

TStrings* TStringGrid::Cols(int ACol) {
    CheckCell("Cols()", ACol, 0);
    auto& Strings = FColStrings[ACol];
    if (!Strings)
        Strings = std::make_unique<TLineStrings>(*this, false, ACol);
    return Strings.get();
}

void TStringGrid::SizeChanged(int, int) {
    // Rows and columns beyond the new counts go with their text; new ones start empty.
    FCells.resize(static_cast<std::size_t>(RowCount()));
    for (auto& Line : FCells)
        Line.resize(static_cast<std::size_t>(ColCount()));
}

void TStringGrid::RowMoved(int FromIndex, int ToIndex) {
    MoveItem(FCells, FromIndex, ToIndex);
}

} // namespace vorn
