// A filter grid on PostgreSQL whose expression becomes the WHERE clause of a query. The
// server is named by a libpq connection string, as the argument or in VORN_PG_CONNINFO;
// the program makes its own table there, prints the clause and the names the query
// returns, and drops the table again.
//   postgres-filter-query [CONNINFO]

#include "Source/DBFilterGrid.h"
#include "Source/VornData.h"
#include "host/components/forms/FormFile.h"
#include "host/data/dataset/Database.h"
#include "host/data/dataset/Query.h"
#include "host/data/drivers/postgres/PgDatabase.h"

#include <cstdlib>
#include <iostream>
#include <string>

namespace {

const char* const StationsForm = R"json({
  "class": "TForm", "name": "StationsForm", "properties": {},
  "components": [
    {"class": "TTable", "name": "Stations",
     "properties": {"DatabaseName": "Stations", "TableName": "example_station", "Active": true}},
    {"class": "TDataSource", "name": "StationsSource", "properties": {"DataSet": "Stations"}},
    {"class": "TDBFilterGrid", "name": "Filter", "parent": "StationsForm",
     "properties": {"DataSource": "StationsSource", "FilterKind": "fkSQL"}},
    {"class": "TQuery", "name": "Found", "properties": {"DatabaseName": "Stations"}}
  ]})json";

void Run(vorn::TDriverConnection& Server) {
    Server.ExecuteCommand("CREATE TABLE example_station (id serial PRIMARY KEY, name text, "
                          "line text)",
                          {});
    Server.ExecuteCommand("INSERT INTO example_station (name, line) VALUES ('Vukov spomenik', "
                          "'BG voz'), ('Karađorđev park', 'BG voz'), ('Zemun', 'Srem')",
                          {});
    std::unique_ptr<vorn::TComponent> Form = vorn::ReadForm(StationsForm);
    auto& Filter = dynamic_cast<vorn::TDBFilterGrid&>(*Form->FindComponent("Filter"));
    auto& Found = dynamic_cast<vorn::TQuery&>(*Form->FindComponent("Found"));
    Filter.SetCells(1, 1, "line");
    Filter.SetCells(2, 1, "=");
    Filter.SetCells(3, 1, "BG voz");

    const std::string Where = Filter.GetFilterExpression();
    Found.SQL()->Add("SELECT name FROM example_station WHERE " + Where + " ORDER BY name");
    Found.Open();
    std::cout << "where: " << Where << "\n";
    for (; !Found.Eof(); Found.Next())
        std::cout << Found.FieldByName("name")->AsString() << "\n";
}

} // namespace

int main(int argc, char** argv) {
    const char* FromEnvironment = std::getenv("VORN_PG_CONNINFO");
    const std::string ConnInfo = argc > 1 ? argv[1] : FromEnvironment ? FromEnvironment : "";
    if (argc > 2 || ConnInfo.empty() || ConnInfo == "--help") {
        std::cout << "usage: postgres-filter-query [CONNINFO] (or set VORN_PG_CONNINFO)\n";
        return ConnInfo == "--help" ? 0 : 2;
    }
    vorn::TVornDataPackage Package;
    int Status = 0;
    try {
        vorn::RegisterPostgresDatabase("Stations", ConnInfo);
        vorn::TConnectionLease Lease("Stations");
        Lease.Connection().ExecuteCommand("DROP TABLE IF EXISTS example_station", {});
        try {
            Run(Lease.Connection());
        } catch (const std::exception& Error) {
            std::cerr << "postgres-filter-query: " << Error.what() << "\n";
            Status = 1;
        }
        Lease.Connection().ExecuteCommand("DROP TABLE example_station", {});
    } catch (const std::exception& Error) {
        std::cerr << "postgres-filter-query: " << Error.what() << "\n";
        Status = 1;
    }
    return Status;
}
