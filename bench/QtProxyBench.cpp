// The sort of a Qt item view: a sort proxy over a table model that holds every customer
// row, sorted on the Name column as a click on its header does.

#include "bench/BenchRegistry.h"
#include "bench/CustomerRows.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

namespace vorn::bench {

namespace {

constexpr int LargeTable = 1'000'000;

QVariant TextValue(const std::optional<std::string>& Value) {
    return Value ? QVariant(QString::fromStdString(*Value)) : QVariant();
}

template <typename T>
QVariant NumberValue(const std::optional<T>& Value) {
    return Value ? QVariant::fromValue(*Value) : QVariant();
}

class TCustomerModel final : public QAbstractTableModel {
public:
    explicit TCustomerModel(std::vector<TCustomerRow> Rows) : FRows(std::move(Rows)) {}

    int rowCount(const QModelIndex& Parent) const override {
        return Parent.isValid() ? 0 : static_cast<int>(FRows.size());
    }
    int columnCount(const QModelIndex& Parent) const override {
        return Parent.isValid() ? 0 : CustomerColumnCount;
    }
    QVariant data(const QModelIndex& Index, int Role) const override {
        if (!Index.isValid() || Role != Qt::DisplayRole)
            return {};
        const TCustomerRow& Row = FRows[static_cast<std::size_t>(Index.row())];
        switch (Index.column()) {
        case 0:
            return QVariant::fromValue(Row.CustNo);
        case 1:
            return QString::fromStdString(Row.Company);
        case 2:
            return QString::fromStdString(Row.Name);
        case 3:
            return TextValue(Row.City);
        case 4:
            return TextValue(Row.Country);
        case 5:
            return NumberValue(Row.Balance);
        case 6:
            return NumberValue(Row.CreditLimit);
        case 7:
            return TextValue(Row.Since);
        default:
            return {};
        }
    }

private:
    std::vector<TCustomerRow> FRows;
};

void QtProxySort(benchmark::State& State, const TBenchDatabase& Database) {
    TCustomerModel Model(ReadAllCustomers(*Database.OpenBare()));
    for (auto _ : State) {
        QSortFilterProxyModel Proxy;
        Proxy.setSourceModel(&Model);
        Proxy.sort(CustomerNameColumn);
        benchmark::DoNotOptimize(Proxy.mapToSource(Proxy.index(0, 0)).row());
    }
}

} // namespace

void RegisterQtProxyBenchmark(const TBenchDatabase& Database) {
    auto* Benchmark =
        RegisterGuarded("QtProxySort/" + Database.Label, [Database](benchmark::State& State) {
            QtProxySort(State, Database);
        })->Unit(benchmark::kMillisecond);
    if (Database.Customers >= LargeTable)
        Benchmark->Iterations(1);
}

} // namespace vorn::bench
