#include "apps/samplegen/SampleDatabase.h"

#include "apps/samplegen/SampleRandom.h"
#include "host/components/model/Exception.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

namespace vorn::sampledata {

namespace {

// At most this many customers: keeps CustNo and the order numbers far inside 32 bits.
constexpr int MaxCustomers = 100'000'000;
constexpr int MaxOrdersLimit = 100;
constexpr std::int64_t FirstCustNo = 1001;

// Names with blanks, apostrophes and inner capitals, as real customer lists have them, and
// some in other scripts than Latin or with its diacritics.
constexpr std::array<std::string_view, 40> FirstNames = {
    "Anna",  "Ben",   "Carla",     "Dmitri",   "Eileen",    "Farid",  "Grace", "Hugo",
    "Ines",  "Jamal", "Šaban",     "Liam",     "Maria",     "Đorđe",  "Ελένη", "Pedro",
    "Quinn", "Rosa",  "Sean",      "Tamara",   "Uma",       "Viktor", "Wendy", "Xavier",
    "Yusuf", "Zoe",   "Ana Maria", "Jean-Luc", "Mary Kate", "D'Arcy", "Bo",    "Eve",
    "Ivan",  "Jo",    "Karl",      "Lena",     "Marko",     "Nina",   "Oscar", "Petra"};

constexpr std::array<std::string_view, 40> LastNames = {
    "O'Brien",   "de la Cruz", "McDonald", "van der Berg", "D'Angelo",   "MacLeod",   "DiMaggio",
    "O'Neil",    "Le Blanc",   "St. John", "Smith",        "Jones",      "Garcia",    "Novak",
    "Petrović",  "Kowalski",   "Schmidt",  "Rossi",        "Dubois",     "Andersen",  "Nakamura",
    "Kim",       "Okafor",     "Silva",    "Јовановић",    "Fitzgerald", "von Trapp", "da Costa",
    "ter Horst", "Al-Sayed",   "Baker",    "Carter",       "Evans",      "Fischer",   "Horvat",
    "Ivanova",   "Jensen",     "Larsen",   "Moreau",       "Nowak"};

constexpr std::array<std::string_view, 24> CompanyWords = {
    "Blue",  "Harbor",   "Summit", "Golden",  "Pacific", "Northern", "Atlas",   "Cedar",
    "Coral", "Delta",    "Falcon", "Granite", "Horizon", "Island",   "Juniper", "Keystone",
    "Lotus", "Meridian", "Nova",   "Orchid",  "Pioneer", "Quartz",   "River",   "Sterling"};

constexpr std::array<std::string_view, 8> CompanyKinds = {" Trading",      " & Sons", " Ltd.",
                                                          "'s Outfitters", " Diving", " Supply Co.",
                                                          " Imports",      " Marine"};

// 40 x 25 city names: 1,000 distinct ones.
constexpr std::array<std::string_view, 40> CityStarts = {
    "Ash",  "Birch", "Brook",  "Cedar", "Clear",  "Cold",  "Crow",  "Deer", "East",  "Elm",
    "Fair", "Fox",   "Glen",   "Green", "Hazel",  "High",  "Holly", "Iron", "Kings", "Lake",
    "Long", "Maple", "Mill",   "New",   "North",  "Oak",   "Old",   "Pine", "Red",   "Rock",
    "Rose", "Sandy", "Silver", "South", "Spring", "Stone", "Sun",   "West", "White", "Wolf"};

constexpr std::array<std::string_view, 25> CityEnds = {
    "bury",  "by",  "field", "ford",  "gate", "ham",   "haven", "hill",  "hurst",
    "land",  "ley", "mere",  "mont",  "moor", "mouth", "port",  "ridge", "stead",
    "stone", "ton", "vale",  "ville", "wick", "wood",  "worth"};

constexpr std::array<std::string_view, 12> Countries = {
    "Argentina", "Australia", "Brazil",      "Canada", "France",         "Germany",
    "Ireland",   "Mexico",    "New Zealand", "Spain",  "United Kingdom", "US"};

constexpr int CityCountLimit = static_cast<int>(CityStarts.size() * CityEnds.size());

// Cities of other scripts and with diacritics, among the made-up English ones.
constexpr std::array<std::string_view, 6> ForeignCities = {"Čačak", "Αθήνα",   "北京",
                                                           "Niš",   "Београд", "Šabac"};

std::string CityName(int Index) {
    // Each once, so that every city name stays distinct.
    const auto Foreign = static_cast<std::size_t>(Index / 13);
    if (Index % 13 == 6 && Foreign < ForeignCities.size())
        return std::string(ForeignCities[Foreign]);
    std::string Name(CityStarts[static_cast<std::size_t>(Index) / CityEnds.size()]);
    Name += CityEnds[static_cast<std::size_t>(Index) % CityEnds.size()];
    // Some two-word names, so that a blank inside a key value is common.
    if (Index % 7 == 3)
        Name = "Port " + Name;
    return Name;
}

template <std::size_t N>
std::string Pick(TSampleRandom& Random, const std::array<std::string_view, N>& Words) {
    return std::string(Words[Random.Below(N)]);
}

// "YYYY-MM-DD" of the day DayNumber days after 1970-01-01 (civil calendar).
std::string DateText(std::int64_t DayNumber) {
    const std::int64_t Z = DayNumber + 719468;
    const std::int64_t Era = (Z >= 0 ? Z : Z - 146096) / 146097;
    const std::int64_t DayOfEra = Z - Era * 146097;
    const std::int64_t YearOfEra =
        (DayOfEra - DayOfEra / 1460 + DayOfEra / 36524 - DayOfEra / 146096) / 365;
    const std::int64_t DayOfYear = DayOfEra - (365 * YearOfEra + YearOfEra / 4 - YearOfEra / 100);
    const std::int64_t MonthIndex = (5 * DayOfYear + 2) / 153;
    const std::int64_t Day = DayOfYear - (153 * MonthIndex + 2) / 5 + 1;
    const std::int64_t Month = MonthIndex < 10 ? MonthIndex + 3 : MonthIndex - 9;
    const std::int64_t Year = YearOfEra + Era * 400 + (Month <= 2 ? 1 : 0);
    char Text[16];
    std::snprintf(Text, sizeof Text, "%04d-%02d-%02d", static_cast<int>(Year),
                  static_cast<int>(Month), static_cast<int>(Day));
    return Text;
}

constexpr std::int64_t Day1990 = 7305;  // 1990-01-01
constexpr std::int64_t Day2025 = 20089; // 2025-01-01

// An amount with two decimals.
double Money(TSampleRandom& Random, std::int64_t LowCents, std::int64_t HighCents) {
    const auto Span = static_cast<std::uint64_t>(HighCents - LowCents + 1);
    return static_cast<double>(LowCents + static_cast<std::int64_t>(Random.Below(Span))) / 100.0;
}

void CheckOptions(const TSampleOptions& Options) {
    if (Options.Customers < 1 || Options.Customers > MaxCustomers)
        throw Exception("GenerateSampleDatabase() Customers must lie between 1 and " +
                        std::to_string(MaxCustomers) + ", not " +
                        std::to_string(Options.Customers));
    if (Options.MaxOrdersPerCustomer < 0 || Options.MaxOrdersPerCustomer > MaxOrdersLimit)
        throw Exception("GenerateSampleDatabase() MaxOrdersPerCustomer must lie between 0 and " +
                        std::to_string(MaxOrdersLimit) + ", not " +
                        std::to_string(Options.MaxOrdersPerCustomer));
}

struct TCustomerFacts {
    std::int64_t CustNo;
    TSampleValue City;
    std::int64_t Since;
};

TSampleValue NullOr(bool IsNull, TSampleValue Value) {
    return IsNull ? TSampleValue{} : std::move(Value);
}

// Calls the options' progress function at every twentieth of a table's rows.
class TProgressSteps {
public:
    TProgressSteps(const TSampleOptions& Options, const std::string& Table, std::int64_t Total)
        : FOptions(Options), FTable(Table), FTotal(Total),
          FStep(std::max<std::int64_t>(1, (Total + 19) / 20)), FNext(FStep) {}

    // After Done of the rows were written.
    void Written(std::int64_t Done) {
        if (Done < FNext || Done >= FTotal || !FOptions.Progress)
            return;
        FOptions.Progress(FTable, Done, FTotal);
        FNext += FStep;
    }

    // Once the table's rows and indexes are in.
    void Finished() const {
        if (FOptions.Progress)
            FOptions.Progress(FTable, FTotal, FTotal);
    }

private:
    const TSampleOptions& FOptions;
    std::string FTable;
    std::int64_t FTotal;
    std::int64_t FStep;
    std::int64_t FNext;
};

} // namespace

const std::vector<TSampleTable>& SampleSchema() {
    static const std::vector<TSampleTable> Schema = {
        {"customer",
         {{"CustNo", sctInteger, 0, false},
          {"Company", sctText, 40, false},
          {"Name", sctText, 40, false},
          {"City", sctText, 30, true},
          {"Country", sctText, 20, true},
          {"Balance", sctNumeric, 0, true},
          {"CreditLimit", sctInteger, 0, true},
          {"Since", sctDate, 0, true}},
         {{"ByName", {"Name"}},
          {"ByCityName", {"City", "Name"}},
          {"ByCompanyCity", {"Company", "City"}}}},
        {"orders",
         {{"OrderNo", sctInteger, 0, false},
          {"CustNo", sctInteger, 0, false},
          {"OrderDate", sctDate, 0, false},
          {"Amount", sctNumeric, 0, true},
          {"ShipCity", sctText, 30, true}},
         {{"ByCustDate", {"CustNo", "OrderDate"}}}},
        {"contact",
         {{"ContactNo", sctInteger, 0, false},
          {"CustNo", sctInteger, 0, false},
          {"Last Name", sctText, 30, false},
          {"First Name", sctText, 30, true},
          {"Phone", sctText, 20, true}},
         {{"ByLastFirst", {"Last Name", "First Name"}}}},
    };
    return Schema;
}

const TSampleTable& SampleTable(const std::string& Name) {
    for (const TSampleTable& Table : SampleSchema())
        if (Table.Name == Name)
            return Table;
    throw Exception("SampleTable() The demo database has no table " + Name);
}

TSampleCounts GenerateSampleDatabase(TSampleTarget& Target, const TSampleOptions& Options) {
    CheckOptions(Options);
    TSampleRandom Random(Options.Seed);
    TSampleCounts Counts;
    const int CityCount = std::clamp(Options.Customers / 10, 10, CityCountLimit);
    std::vector<TCustomerFacts> Customers;
    Customers.reserve(static_cast<std::size_t>(Options.Customers));

    const TSampleTable& Customer = SampleTable("customer");
    TProgressSteps CustomerSteps(Options, Customer.Name, Options.Customers);
    Target.BeginTable(Customer);
    for (int Index = 0; Index < Options.Customers; ++Index) {
        const std::int64_t CustNo = FirstCustNo + Index;
        const int City = static_cast<int>(Random.Below(static_cast<std::uint64_t>(CityCount)));
        const bool NoCity = Random.Chance(3);
        const std::int64_t Since =
            Day1990 + static_cast<std::int64_t>(Random.Below(Day2025 - Day1990));
        std::string Company = Pick(Random, CompanyWords) + " " + Pick(Random, CompanyWords) +
                              Pick(Random, CompanyKinds);
        std::string Name = Pick(Random, FirstNames) + " " + Pick(Random, LastNames);
        TSampleValue CityValue = NullOr(NoCity, CityName(City));
        const bool NoCountry = NoCity || Random.Chance(1);
        TSampleValue Country = NullOr(
            NoCountry, std::string(Countries[static_cast<std::size_t>(City) % Countries.size()]));
        TSampleValue Balance = NullOr(Random.Chance(5), Money(Random, -200000, 1799999));
        TSampleValue CreditLimit =
            NullOr(Random.Chance(2), static_cast<std::int64_t>(500 * (1 + Random.Below(40))));
        const bool NoSince = Random.Chance(4);
        Target.AddRow({CustNo, std::move(Company), std::move(Name), CityValue, std::move(Country),
                       std::move(Balance), std::move(CreditLimit),
                       NullOr(NoSince, DateText(Since))});
        Customers.push_back({CustNo, std::move(CityValue), Since});
        ++Counts.Customers;
        CustomerSteps.Written(Counts.Customers);
    }
    Target.EndTable(Customer);
    CustomerSteps.Finished();

    const TSampleTable& Orders = SampleTable("orders");
    TProgressSteps OrderSteps(Options, Orders.Name, Options.Customers);
    Target.BeginTable(Orders);
    std::int64_t OrderNo = 1;
    std::int64_t CustomersDone = 0;
    for (const TCustomerFacts& Facts : Customers) {
        const auto OrderCount =
            Random.Below(static_cast<std::uint64_t>(Options.MaxOrdersPerCustomer) + 1);
        for (std::uint64_t Order = 0; Order < OrderCount; ++Order) {
            const std::int64_t Date = Facts.Since + static_cast<std::int64_t>(Random.Below(3650));
            Target.AddRow({OrderNo++, Facts.CustNo, DateText(Date),
                           NullOr(Random.Chance(3), Money(Random, 100, 500000)), Facts.City});
            ++Counts.Orders;
        }
        OrderSteps.Written(++CustomersDone);
    }
    Target.EndTable(Orders);
    OrderSteps.Finished();

    const TSampleTable& Contact = SampleTable("contact");
    const int ContactCount = std::max(10, Options.Customers / 10);
    TProgressSteps ContactSteps(Options, Contact.Name, ContactCount);
    Target.BeginTable(Contact);
    for (int Index = 0; Index < ContactCount; ++Index) {
        const auto& Owner = Customers[Random.Below(Customers.size())];
        char Phone[24];
        std::snprintf(Phone, sizeof Phone, "+1 555 %04d", static_cast<int>(Random.Below(10000)));
        Target.AddRow({static_cast<std::int64_t>(Index + 1), Owner.CustNo, Pick(Random, LastNames),
                       NullOr(Random.Chance(5), Pick(Random, FirstNames)),
                       NullOr(Random.Chance(20), std::string(Phone))});
        ++Counts.Contacts;
        ContactSteps.Written(Counts.Contacts);
    }
    Target.EndTable(Contact);
    ContactSteps.Finished();

    Target.Commit();
    return Counts;
}

TSampleCounts CreateSQLiteSampleDatabase(const std::string& Path, const TSampleOptions& Options,
                                         bool Replace) {
    CheckOptions(Options);
    const std::unique_ptr<TSampleTarget> Target = CreateSQLiteTarget(Path, Replace);
    return GenerateSampleDatabase(*Target, Options);
}

TSampleCounts CreatePostgresSampleDatabase(const std::string& ConnInfo,
                                           const TSampleOptions& Options, bool Replace) {
    CheckOptions(Options);
    const std::unique_ptr<TSampleTarget> Target = CreatePostgresTarget(ConnInfo, Replace);
    return GenerateSampleDatabase(*Target, Options);
}

TSampleCounts CreateMariaDbSampleDatabase(const std::string& ConnInfo,
                                          const TSampleOptions& Options, bool Replace) {
    CheckOptions(Options);
    const std::unique_ptr<TSampleTarget> Target = CreateMariaDbTarget(ConnInfo, Replace);
    return GenerateSampleDatabase(*Target, Options);
}

} // namespace vorn::sampledata
