// A filter grid on SQLite whose expression filters a table: the rows the end user would
// fill in are set in code, and the program prints the expression and the names it lets
// through.
//   filter-grid

#include "Source/DBFilterGrid.h"
#include "Source/VornData.h"
#include "host/components/forms/FormFile.h"
#include "host/data/dataset/Database.h"
#include "host/data/dataset/Table.h"

#include <filesystem>
#include <iostream>
#include <string>

namespace {

const char* const CitiesForm = R"json({
  "class": "TForm", "name": "CitiesForm", "properties": {},
  "components": [
    {"class": "TTable", "name": "Cities",
     "properties": {"DatabaseName": "Cities", "TableName": "city", "Active": true}},
    {"class": "TDataSource", "name": "CitiesSource", "properties": {"DataSet": "Cities"}},
    {"class": "TDBFilterGrid", "name": "Filter", "parent": "CitiesForm",
     "properties": {"DataSource": "CitiesSource", "FilterKind": "fkSimple"}}
  ]})json";

void CreateCitiesDatabase(const std::filesystem::path& Path) {
    std::filesystem::remove(Path);
    vorn::CreateSQLiteDatabase(Path.string());
    vorn::RegisterSQLiteDatabase("Cities", Path.string());
    vorn::TConnectionLease Lease("Cities");
    Lease.Connection().ExecuteCommand(
        "CREATE TABLE city (Id INTEGER PRIMARY KEY, Name TEXT, People INTEGER)", {});
    Lease.Connection().ExecuteCommand(
        "INSERT INTO city (Name, People) VALUES ('Beograd', 1200000), ('Bor', 34000), "
        "('Novi Sad', 300000), ('Niš', 260000), ('Senta', 18000)",
        {});
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        std::cout << "usage: filter-grid\n";
        return std::string(argv[1]) == "--help" ? 0 : 2;
    }
    vorn::TVornDataPackage Package;
    const auto Path = std::filesystem::temp_directory_path() / "vorn-filter-grid.db";
    try {
        CreateCitiesDatabase(Path);
        std::unique_ptr<vorn::TComponent> Form = vorn::ReadForm(CitiesForm);
        auto& Filter = dynamic_cast<vorn::TDBFilterGrid&>(*Form->FindComponent("Filter"));
        auto& Cities = dynamic_cast<vorn::TTable&>(*Form->FindComponent("Cities"));
        // Row 1: field, operator, value, connector; the grid's columns start at 1.
        Filter.SetCells(1, 1, "People");
        Filter.SetCells(2, 1, ">");
        Filter.SetCells(3, 1, "100000");

        const std::string Expression = Filter.GetFilterExpression();
        Cities.SetFilter(Expression);
        Cities.SetFiltered(true);
        std::cout << "filter: " << Expression << "\n";
        for (Cities.First(); !Cities.Eof(); Cities.Next())
            std::cout << Cities.FieldByName("Name")->AsString() << "\n";
    } catch (const std::exception& Error) {
        std::cerr << "filter-grid: " << Error.what() << "\n";
        return 1;
    }
    vorn::UnregisterDatabase("Cities");
    std::filesystem::remove(Path);
    return 0;
}
