// A data grid on SQLite in a Qt main window whose column titles sort the table. The form
// comes from JSON text; the program clicks the Name title once, prints the order and the
// first name, and with --screenshot writes a picture of the window and ends.
//   title-sort [--screenshot FILE]

#include "Source/DBGridTitleSort.h"
#include "Source/VornData.h"
#include "host/components/controls/Form.h"
#include "host/components/forms/FormFile.h"
#include "host/data/dataset/Database.h"
#include "host/data/dataset/Table.h"
#include "host/data/grid/DBGrid.h"
#include "host/qt/QtWidgetSet.h"

#include <QApplication>
#include <QMainWindow>

#include <filesystem>
#include <iostream>
#include <string>

namespace {

const char* const PeopleForm = R"json({
  "class": "TForm", "name": "PeopleForm", "properties": {"Width": 440, "Height": 160},
  "components": [
    {"class": "TTable", "name": "People",
     "properties": {"DatabaseName": "People", "TableName": "person", "Active": true}},
    {"class": "TDataSource", "name": "PeopleSource", "properties": {"DataSet": "People"}},
    {"class": "TDBGridTitleSort", "name": "TitleSort", "properties": {}},
    {"class": "TDBGrid", "name": "Grid", "parent": "PeopleForm", "properties": {
      "Left": 8, "Top": 8, "Width": 424, "Height": 144, "DataSource": "PeopleSource"}}
  ]})json";

// A small SQLite database, made afresh, registered under the alias the form names.
void CreatePeopleDatabase(const std::filesystem::path& Path) {
    std::filesystem::remove(Path);
    vorn::CreateSQLiteDatabase(Path.string());
    vorn::RegisterSQLiteDatabase("People", Path.string());
    vorn::TConnectionLease Lease("People");
    for (const char* Sql : {"CREATE TABLE person (Id INTEGER PRIMARY KEY, Name TEXT, City TEXT)",
                            "CREATE INDEX person_name ON person (Name)",
                            "INSERT INTO person (Name, City) VALUES ('Mara', 'Niš'), "
                            "('Ana', 'Beograd'), ('Zoran', 'Novi Sad')"})
        Lease.Connection().ExecuteCommand(Sql, {});
}

template <class T>
T& Find(vorn::TComponent& Form, const std::string& Name) {
    return dynamic_cast<T&>(*Form.FindComponent(Name));
}

} // namespace

int main(int argc, char** argv) {
    const std::string Option = argc > 1 ? argv[1] : "";
    if (Option == "--help" || (argc != 1 && (Option != "--screenshot" || argc != 3))) {
        std::cout << "usage: title-sort [--screenshot FILE]\n";
        return Option == "--help" ? 0 : 2;
    }
    QApplication Application(argc, argv);
    vorn::TVornDataPackage Package; // registers every class a form file may name
    try {
        CreatePeopleDatabase(std::filesystem::temp_directory_path() / "vorn-title-sort.db");
        std::unique_ptr<vorn::TComponent> Form = vorn::ReadForm(PeopleForm);
        auto& Grid = Find<vorn::TDBGrid>(*Form, "Grid");
        auto& TitleSort = Find<vorn::TDBGridTitleSort>(*Form, "TitleSort");
        // The title sorter attaches nothing to the grid: the application routes the clicks.
        Grid.OnTitleClick = [&](vorn::TColumn* Column) { TitleSort.Execute(Column); };

        // The form's widget becomes the main window's central widget.
        auto& FormControl = dynamic_cast<vorn::TForm&>(*Form);
        vorn::TQtWidgetSet WidgetSet;
        WidgetSet.CreatePeers(FormControl);
        QMainWindow Window;
        Window.setWindowTitle("Vorn title sort");
        Window.setCentralWidget(vorn::TQtWidgetSet::WidgetOf(FormControl));
        FormControl.Show();
        Window.resize(440, 160);
        Window.show();

        vorn::UserClickTitle(Grid, *Grid.Columns()->FindColumn("Name"));
        auto& People = Find<vorn::TTable>(*Form, "People");
        People.First(); // the sort keeps the current record; show the top of the new order
        std::cout << "sorted by: " << People.IndexFieldNames()
                  << ", first: " << People.FieldByName("Name")->AsString() << "\n";
        QApplication::processEvents();
        int Status = 0;
        if (argc == 1)
            Status = QApplication::exec();
        else if (!Window.grab().save(argv[2], "PNG"))
            Status = 1;
        Window.takeCentralWidget(); // the form's widget belongs to the form's peer
        return Status;
    } catch (const std::exception& Error) {
        std::cerr << "title-sort: " << Error.what() << "\n";
        return 1;
    }
}
