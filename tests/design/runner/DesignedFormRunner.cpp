// An application that links the runtime package and runs a form designed elsewhere: it
// reads the form file named on the command line, puts a table of people under the form's
// data source, shows their names (an indexed field) in the form's grid, clicks the grid's title
// once, and prints what the title sorter made of it.

#include "Source/DBGridTitleSort.h"
#include "Source/VornData.h"
#include "host/components/forms/FormFile.h"
#include "host/data/dataset/DataSource.h"
#include "host/data/dataset/Table.h"
#include "host/data/grid/DBGrid.h"
#include "tests/support/SampleDatabaseFile.h"

#include <iostream>

namespace {

template <class C>
C* FirstOf(vorn::TComponent& Form) {
    for (int Index = 0; Index < Form.ComponentCount(); ++Index)
        if (auto* Found = dynamic_cast<C*>(Form.Components(Index)))
            return Found;
    throw vorn::Exception("The form holds no " + C::StaticClass().Name());
}

int Run(const char* FormFile) {
    using namespace vorn;
    testsupport::TSampleDatabaseFile Database(1, 1);
    Database.Execute("CREATE TABLE person (Id INTEGER PRIMARY KEY, Name TEXT)");
    Database.Execute("CREATE INDEX person_name ON person (Name)");
    Database.Execute("INSERT INTO person (Name) VALUES ('Mara'), ('Ana'), ('Zoran')");

    std::unique_ptr<TComponent> Form = ReadFormFile(FormFile);
    auto* Sorter = FirstOf<TDBGridTitleSort>(*Form);
    auto* Grid = FirstOf<TDBGrid>(*Form);
    auto* Source = FirstOf<TDataSource>(*Form);
    auto* Table = new TTable(Form.get());
    Table->SetDatabaseName(Database.Alias());
    Table->SetTableName("person");
    TColumn* NameColumn = Grid->Columns()->Add();
    NameColumn->SetFieldName("Name");
    Source->SetDataSet(Table);
    Table->Open();

    Grid->OnTitleClick = [Sorter](TColumn* Column) { Sorter->Execute(Column); };
    if (!UserClickTitle(*Grid, *NameColumn))
        throw Exception("The title click did not reach the grid");
    std::cout << "mask: " << Sorter->ClickedTitleMask() << "\n"
              << "sorted by: " << Table->IndexFieldNames() << "\n"
              << "title: " << NameColumn->Title()->Caption() << "\n";
    Table->Close();
    return 0;
}

} // namespace

int main(int ArgumentCount, char** Arguments) {
    if (ArgumentCount != 2) {
        std::cerr << "usage: DesignedFormRunner FORM.json\n";
        return 2;
    }
    Initialize();
    int Status = 1;
    try {
        Status = Run(Arguments[1]);
    } catch (const std::exception& Error) {
        std::cerr << Error.what() << "\n";
    }
    Finalize();
    return Status;
}
