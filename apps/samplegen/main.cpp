// Writes the demo database to a SQLite file, with --postgres to the PostgreSQL database
// of a libpq connection string, or with --mariadb to the MariaDB database of a connection
// string ("unix_socket=... user=... database=..."):
//   samplegen [--customers N] [--max-orders N] [--seed N] [--force] [--postgres|--mariadb]
//             TARGET

#include "apps/samplegen/SampleDatabase.h"

#include <charconv>
#include <chrono>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

namespace {

using vorn::sampledata::TSampleOptions;

void PrintUsage(std::ostream& Out) {
    Out << "usage: samplegen [--customers N] [--max-orders N] [--seed N] [--force] "
           "[--postgres|--mariadb] TARGET\n"
           "  TARGET          a SQLite file, or with --postgres or --mariadb a connection\n"
           "                  string\n"
           "  --customers N   customer rows (default 10000)\n"
           "  --max-orders N  orders per customer, 0 to N (default 4)\n"
           "  --seed N        seed of the generated data (default 20240501)\n"
           "  --force         replace an existing file or existing tables\n"
           "  --postgres      write to PostgreSQL\n"
           "  --mariadb       write to MariaDB (\"unix_socket=... user=... database=...\")\n"
           "  --help          this text\n";
}

template <typename T>
bool ParseNumber(const char* Text, T& Value) {
    const char* End = Text + std::strlen(Text);
    const auto [Rest, Error] = std::from_chars(Text, End, Value);
    return Error == std::errc() && Rest == End;
}

} // namespace

int main(int ArgumentCount, char** Arguments) {
    TSampleOptions Options;
    bool Force = false;
    enum { toSQLite, toPostgres, toMariaDb } Server = toSQLite;
    std::string Path;
    for (int Index = 1; Index < ArgumentCount; ++Index) {
        const std::string Argument = Arguments[Index];
        if (Argument == "--help") {
            PrintUsage(std::cout);
            return 0;
        }
        const bool HasValue = Index + 1 < ArgumentCount;
        bool Valid = true;
        if ((Argument == "--postgres" || Argument == "--mariadb") && Server != toSQLite) {
            std::cerr << "samplegen: choose one of --postgres or --mariadb\n";
            return 2;
        }
        if (Argument == "--force")
            Force = true;
        else if (Argument == "--postgres")
            Server = toPostgres;
        else if (Argument == "--mariadb")
            Server = toMariaDb;
        else if (Argument == "--customers" && HasValue)
            Valid = ParseNumber(Arguments[++Index], Options.Customers);
        else if (Argument == "--max-orders" && HasValue)
            Valid = ParseNumber(Arguments[++Index], Options.MaxOrdersPerCustomer);
        else if (Argument == "--seed" && HasValue)
            Valid = ParseNumber(Arguments[++Index], Options.Seed);
        else if (Argument.rfind("--", 0) != 0 && Path.empty())
            Path = Argument;
        else
            Valid = false;
        if (!Valid) {
            std::cerr << "samplegen: bad argument " << Arguments[Index] << "\n";
            PrintUsage(std::cerr);
            return 2;
        }
    }
    if (Path.empty()) {
        PrintUsage(std::cerr);
        return 2;
    }
    try {
        const auto Start = std::chrono::steady_clock::now();
        const auto Counts =
            Server == toPostgres
                ? vorn::sampledata::CreatePostgresSampleDatabase(Path, Options, Force)
            : Server == toMariaDb
                ? vorn::sampledata::CreateMariaDbSampleDatabase(Path, Options, Force)
                : vorn::sampledata::CreateSQLiteSampleDatabase(Path, Options, Force);
        const std::chrono::duration<double> Elapsed = std::chrono::steady_clock::now() - Start;
        std::cout << "Wrote " << Counts.Customers << " customers, " << Counts.Orders
                  << " orders and " << Counts.Contacts << " contacts to " << Path << " in "
                  << Elapsed.count() << " s\n";
        return 0;
    } catch (const std::exception& Error) {
        std::cerr << "samplegen: " << Error.what() << "\n";
        return 1;
    }
}
