#include "SampleTableDump.h"
#include "TestDatabase.h"

#include "host/data/dataset/Table.h"

namespace vorn::test {

std::vector<std::string> DumpTable(const std::string& Alias, const std::string& TableName) {
    TTable Table(nullptr);
    Table.SetDatabaseName(Alias);
    Table.SetTableName(TableName);
    Table.SetPageSize(200);
    Table.Open();
    std::vector<std::string> Lines;
    std::string Header;
    for (int Index = 0; Index < Table.FieldCount(); ++Index)
        Header += Table.Fields(Index)->FieldName() + ":" +
                  std::to_string(Table.Fields(Index)->DataType()) + " ";
    Lines.push_back(Header);
    for (; !Table.Eof(); Table.Next()) {
        std::string Line;
        for (int Index = 0; Index < Table.FieldCount(); ++Index)
            Line += Show(Table.Fields(Index)->Value()) + "|";
        Lines.push_back(Line);
    }
    return Lines;
}

sampledata::TSampleOptions SmallSampleOptions() {
    sampledata::TSampleOptions Options;
    Options.Customers = 150;
    Options.MaxOrdersPerCustomer = 3;
    Options.Seed = 77;
    return Options;
}

} // namespace vorn::test
