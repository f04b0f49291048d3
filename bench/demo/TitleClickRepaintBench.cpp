// The demo window on 10,000 and 1,000,000 customers, under a real mouse:
//  - opening: the form read and shown until the customers grid has painted its first rows;
//  - a title click: the mouse pressed and released on a title of the customers grid, the
//    table re-sorted, and the event loop run until the grid has repainted; the clock stops
//    once a paint has drawn the records in the new order.
// Each click alternates between two indexed columns, so that every click really re-sorts.
// After the runs one summary line per figure states the mean in milliseconds; a click
// should take under 100 ms. A run whose check fails gives no figure, and the program
// then exits with 1.

#include "apps/demo/DemoDatabase.h"
#include "apps/demo/DemoWindow.h"

#include "Source/VornData.h"
#include "host/data/grid/DBGrid.h"
#include "host/qt/QtGridPeers.h"
#include "host/qt/QtWidgetSet.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QPointer>
#include <QTableView>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace vorn;
using TClock = std::chrono::steady_clock;

constexpr int SmallSize = 10'000;
constexpr int LargeSize = 1'000'000;
constexpr double ClickBudgetMilliseconds = 100.0;
// A paint that has not come by then is not coming: the run fails rather than hangs.
constexpr auto PaintTimeout = std::chrono::seconds(10);

// Columns of the customers grid: the record's key and the two sorted ones (both indexed,
// so that the title sort accepts them).
constexpr int KeyColumn = 0;
constexpr int NameColumn = 2;
constexpr int CityColumn = 3;

// One row as painted: the sorted column's text and the record's key.
struct TPaintedRow {
    QString SortText;
    qlonglong Key = 0;
};

// Watches the paints of a grid's cells and keeps what the last one drew in two columns.
// It reads the model as the paint is about to: the same texts the view draws.
class TPaintProbe : public QObject {
public:
    explicit TPaintProbe(QTableView& View) : FView(&View) {
        View.viewport()->installEventFilter(this);
    }
    ~TPaintProbe() override {
        if (FView)
            FView->viewport()->removeEventFilter(this);
    }
    TPaintProbe(const TPaintProbe&) = delete;
    TPaintProbe& operator=(const TPaintProbe&) = delete;

    // Forgets the paints so far and records SortSection and KeySection from the next one.
    void Watch(int SortSection, int KeySection) {
        FSortSection = SortSection;
        FKeySection = KeySection;
        FPaints = 0;
        FRows.clear();
    }
    int Paints() const { return FPaints; }
    const std::vector<TPaintedRow>& Rows() const { return FRows; }

protected:
    bool eventFilter(QObject* /*Watched*/, QEvent* Event) override {
        if (Event->type() == QEvent::Paint && FView) {
            ++FPaints;
            RecordRows();
        }
        return false;
    }

private:
    void RecordRows() {
        const QAbstractItemModel& Model = *FView->model();
        FRows.clear();
        for (int Row = 0; Row < Model.rowCount(); ++Row)
            FRows.push_back({Model.index(Row, FSortSection).data().toString(),
                             Model.index(Row, FKeySection).data().toLongLong()});
    }

    QPointer<QTableView> FView;
    int FSortSection = 0;
    int FKeySection = 0;
    int FPaints = 0;
    std::vector<TPaintedRow> FRows;
};

// Whether Rows are in the order of their sorted text, each record once. Empty texts
// (nulls among them) come first, as nulls do. Records that tie on the text follow the
// further fields of the index that serves the order (City ties by Name), so their keys
// need not ascend.
bool InSortedOrder(const std::vector<TPaintedRow>& Rows) {
    std::set<qlonglong> Keys;
    for (std::size_t Index = 0; Index < Rows.size(); ++Index) {
        if (!Keys.insert(Rows[Index].Key).second)
            return false;
        if (Index > 0 && Rows[Index - 1].SortText.compare(Rows[Index].SortText) > 0)
            return false;
    }
    return true;
}

// Runs the event loop until Probe has seen a paint; false when none came in time.
bool ProcessEventsUntilPainted(const TPaintProbe& Probe) {
    const TClock::time_point Deadline = TClock::now() + PaintTimeout;
    QApplication::processEvents();
    while (Probe.Paints() == 0 && TClock::now() < Deadline)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return Probe.Paints() > 0;
}

// The demo window with its peers, shown.
class TDemoScene {
public:
    explicit TDemoScene(TQtWidgetSet& WidgetSet) : FWindow(DemoFormFile()) {
        auto* Grid = dynamic_cast<TDBGrid*>(FWindow.Form().FindComponent("CustomerGrid"));
        if (Grid == nullptr)
            throw Exception("The demo form has no customers grid");
        FGrid = Grid;
        WidgetSet.CreatePeers(FWindow.Form());
        auto* Peer = dynamic_cast<TQtDBGridPeer*>(TQtPeer::Of(*FGrid));
        if (Peer == nullptr)
            throw Exception("The customers grid has no Qt peer");
        FView = &Peer->TableView();
        FProbe = std::make_unique<TPaintProbe>(*FView);
    }
    ~TDemoScene() { FProbe.reset(); }
    TDemoScene(const TDemoScene&) = delete;
    TDemoScene& operator=(const TDemoScene&) = delete;

    // Shows the window; true once the grid has painted rows.
    bool ShowFirstRows() {
        FProbe->Watch(Section(KeyColumn), Section(KeyColumn));
        FWindow.Form().Show();
        return ProcessEventsUntilPainted(*FProbe) && !FProbe->Rows().empty();
    }

    // Presses and releases the mouse on the title of Column; the click's handlers (the
    // re-sort among them) have run when this returns, the repaint is still to come.
    void ClickTitle(int Column) {
        const int SortSection = Section(Column);
        FProbe->Watch(SortSection, Section(KeyColumn));
        QHeaderView& Header = *FView->horizontalHeader();
        const QPoint Centre(Header.sectionViewportPosition(SortSection) +
                                Header.sectionSize(SortSection) / 2,
                            Header.height() / 2);
        QTest::mouseClick(Header.viewport(), Qt::LeftButton, Qt::NoModifier, Centre);
    }

    // Runs the event loop until the grid has repainted; true when that paint drew the rows
    // sorted by the column last clicked.
    bool RepaintedInClickedOrder() {
        return ProcessEventsUntilPainted(*FProbe) && FProbe->Rows().size() > 1 &&
               InSortedOrder(FProbe->Rows());
    }

private:
    // The header section that shows the grid's column number Column.
    int Section(int Column) const {
        const TColumn* Wanted = FGrid->Columns()->Items(Column);
        for (int Section = 0; Section < FView->horizontalHeader()->count(); ++Section)
            if (FGrid->ColumnAt(Section + FGrid->FixedCols()) == Wanted)
                return Section;
        throw Exception("The customers grid shows no column " + Wanted->FieldName());
    }

    TDemoWindow FWindow;
    TDBGrid* FGrid = nullptr;
    QTableView* FView = nullptr;
    std::unique_ptr<TPaintProbe> FProbe;
};

// The one widget set of the process, and the database the demo alias stands for.
struct TBenchContext {
    std::unique_ptr<TQtWidgetSet> WidgetSet;
    int RegisteredCustomers = 0;

    void UseDatabaseOf(int Customers) {
        if (RegisteredCustomers == Customers)
            return;
        RegisterSQLiteDemoDatabase(VORN_BENCH_DATA_DIR, Customers);
        RegisteredCustomers = Customers;
    }
};

TBenchContext& Context() {
    static TBenchContext Instance;
    return Instance;
}

// Mean milliseconds per figure, for the summary.
std::map<std::string, double>& Means() {
    static std::map<std::string, double> Figures;
    return Figures;
}

int& Failures() {
    static int Count = 0;
    return Count;
}

double Milliseconds(TClock::duration Duration) {
    return std::chrono::duration<double, std::milli>(Duration).count();
}

// A run that stopped with an error measured something else than the figure: it is
// counted as failed and gives none.
void RecordMean(const std::string& Figure, double TotalMilliseconds, benchmark::State& State) {
    if (State.error_occurred())
        ++Failures();
    else if (State.iterations() > 0)
        Means()[Figure] = TotalMilliseconds / static_cast<double>(State.iterations());
}

// Widgets of a closed window may wait for the event loop to be deleted.
void DeleteClosedWidgets() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BM_OpenDemo(benchmark::State& State) {
    const int Customers = static_cast<int>(State.range(0));
    double Total = 0;
    try {
        Context().UseDatabaseOf(Customers);
        for (auto _ : State) {
            const TClock::time_point Start = TClock::now();
            TDemoScene Scene(*Context().WidgetSet);
            const bool Shown = Scene.ShowFirstRows();
            const TClock::duration Elapsed = TClock::now() - Start;
            if (!Shown) {
                State.SkipWithError("The customers grid painted no rows");
                break;
            }
            State.SetIterationTime(std::chrono::duration<double>(Elapsed).count());
            Total += Milliseconds(Elapsed);
        }
        DeleteClosedWidgets();
    } catch (const std::exception& Error) {
        State.SkipWithError(Error.what());
    }
    RecordMean("open (first rows painted), " + std::to_string(Customers) + " customers", Total,
               State);
}

void BM_TitleClickRepaint(benchmark::State& State) {
    const int Customers = static_cast<int>(State.range(0));
    double Total = 0;
    try {
        Context().UseDatabaseOf(Customers);
        TDemoScene Scene(*Context().WidgetSet);
        if (!Scene.ShowFirstRows())
            throw Exception("The customers grid painted no rows");
        int Column = NameColumn;
        double SortTotal = 0;
        for (auto _ : State) {
            const TClock::time_point Start = TClock::now();
            Scene.ClickTitle(Column);
            const TClock::time_point Clicked = TClock::now();
            const bool Repainted = Scene.RepaintedInClickedOrder();
            const TClock::time_point Painted = TClock::now();
            if (!Repainted) {
                State.SkipWithError("The grid did not repaint its rows in the clicked order");
                break;
            }
            State.SetIterationTime(std::chrono::duration<double>(Painted - Start).count());
            Total += Milliseconds(Painted - Start);
            SortTotal += Milliseconds(Clicked - Start);
            Column = Column == NameColumn ? CityColumn : NameColumn;
        }
        // How the time splits: the click's handlers (the re-sort) and the repaint after.
        State.counters["click_ms"] =
            benchmark::Counter(SortTotal, benchmark::Counter::kAvgIterations);
        State.counters["repaint_ms"] =
            benchmark::Counter(Total - SortTotal, benchmark::Counter::kAvgIterations);
    } catch (const std::exception& Error) {
        State.SkipWithError(Error.what());
    }
    DeleteClosedWidgets();
    RecordMean("title click to repaint, " + std::to_string(Customers) + " customers", Total, State);
}

BENCHMARK(BM_OpenDemo)
    ->Arg(SmallSize)
    ->Arg(LargeSize)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TitleClickRepaint)
    ->Arg(SmallSize)
    ->Arg(LargeSize)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void PrintSummary() {
    std::printf("\n");
    for (const auto& [Figure, Mean] : Means())
        std::printf("%s: %.2f ms\n", Figure.c_str(), Mean);
    const auto Click =
        Means().find("title click to repaint, " + std::to_string(LargeSize) + " customers");
    if (Click != Means().end())
        std::printf("title click to repaint at %d customers is %s %.0f ms\n", LargeSize,
                    Click->second < ClickBudgetMilliseconds ? "within" : "OVER",
                    ClickBudgetMilliseconds);
}

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication Application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Initialize();
    Context().WidgetSet = std::make_unique<TQtWidgetSet>();
    benchmark::RunSpecifiedBenchmarks();
    Context().WidgetSet.reset();
    Finalize();
    benchmark::Shutdown();
    PrintSummary();
    if (Failures() > 0) {
        std::fprintf(stderr, "%d title-click benchmark run(s) failed their check\n", Failures());
        return 1;
    }
    return 0;
}
