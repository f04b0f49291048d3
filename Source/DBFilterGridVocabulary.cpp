#include "Source/DBFilterGrid.h"

namespace vorn {

// The Serbian names are Windows-1250 bytes: 0xE6 is c with acute, 0xE8 c with caron,
// 0x9E z with caron. Adjacent literals keep a hex escape from swallowing the letter
// that follows it.
//
// Programs linked against the library reach the tables through references: a reference
// is a constant address, valid in a program's own copy of the symbol before the library
// has constructed anything, while a copy of a table itself could be taken before its
// strings exist.

namespace {

const TFilterOperatorNames fonComputerTable = {
    "<",          "<=",   "=",       ">=",         ">", "<>", "STARTING WITH",
    "CONTAINING", "LIKE", "IS NULL", "IS NOT NULL"};

const TFilterOperatorNames fonEnglishTable = {
    "less",        "less or equal", "equal", "larger or equal", "larger",     "not equal",
    "begins with", "contains",      "like",  "is null",         "is not null"};

const TFilterOperatorNames fonSerbianTable = {"manje",
                                              "manje ili jednako",
                                              "jednako",
                                              "ve\xE6"
                                              "e ili jednako",
                                              "ve\xE6"
                                              "e",
                                              "nije jednako",
                                              "po\xE8"
                                              "inje sa",
                                              "sadr\x9E"
                                              "i",
                                              "sli\xE8"
                                              "no",
                                              "nema vrednost",
                                              "ima vrednost"};

const TFilterColumnNames fcnEnglishTable = {"Field", "Operator", "Value", "Bool"};
const TFilterColumnNames fcnSerbianTable = {"Polje", "Operator", "Vrednost", "Veznik"};

const TFilterBoolNames fbnComputerTable = {"AND", "OR"};
const TFilterBoolNames fbnEnglishTable = {"and", "or"};
const TFilterBoolNames fbnSerbianTable = {"i", "ili"};

const TFilterGroupNames fgnComputerTable = {"NOT", "(", ")"};
const TFilterGroupNames fgnEnglishTable = {"not", "(", ")"};
const TFilterGroupNames fgnSerbianTable = {"ne", "(", ")"};

// 0xF0 is d with stroke, 0x9A s with caron.
const TFilterMoreOperatorNames fmonComputerTable = {
    "BETWEEN", "IN", "IS BLANK", "IS NOT BLANK", "ENDING WITH", "NOT CONTAINING"};
const TFilterMoreOperatorNames fmonEnglishTable = {"between",      "in list",   "is blank",
                                                   "is not blank", "ends with", "does not contain"};
const TFilterMoreOperatorNames fmonSerbianTable = {"izme\xF0"
                                                   "u",
                                                   "u listi",
                                                   "prazno",
                                                   "nije prazno",
                                                   "zavr\x9A"
                                                   "ava se sa",
                                                   "ne sadr\x9E"
                                                   "i"};

} // namespace

bool IsExportedFilterNameTable(const void* Table) {
    for (const void* Exported :
         {static_cast<const void*>(&fonComputerTable), static_cast<const void*>(&fonEnglishTable),
          static_cast<const void*>(&fonSerbianTable), static_cast<const void*>(&fcnEnglishTable),
          static_cast<const void*>(&fcnSerbianTable), static_cast<const void*>(&fbnComputerTable),
          static_cast<const void*>(&fbnEnglishTable), static_cast<const void*>(&fbnSerbianTable),
          static_cast<const void*>(&fgnComputerTable), static_cast<const void*>(&fgnEnglishTable),
          static_cast<const void*>(&fgnSerbianTable), static_cast<const void*>(&fmonComputerTable),
          static_cast<const void*>(&fmonEnglishTable), static_cast<const void*>(&fmonSerbianTable)})
        if (Table == Exported)
            return true;
    return false;
}

const TFilterOperatorNames& fonComputer = fonComputerTable;
const TFilterOperatorNames& fonEnglish = fonEnglishTable;
const TFilterOperatorNames& fonSerbian = fonSerbianTable;
const TFilterColumnNames& fcnEnglish = fcnEnglishTable;
const TFilterColumnNames& fcnSerbian = fcnSerbianTable;
const TFilterBoolNames& fbnComputer = fbnComputerTable;
const TFilterBoolNames& fbnEnglish = fbnEnglishTable;
const TFilterBoolNames& fbnSerbian = fbnSerbianTable;
const TFilterGroupNames& fgnComputer = fgnComputerTable;
const TFilterGroupNames& fgnEnglish = fgnEnglishTable;
const TFilterGroupNames& fgnSerbian = fgnSerbianTable;
const TFilterMoreOperatorNames& fmonComputer = fmonComputerTable;
const TFilterMoreOperatorNames& fmonEnglish = fmonEnglishTable;
const TFilterMoreOperatorNames& fmonSerbian = fmonSerbianTable;

const TTypeInfo& FilterKindTypeInfo() {
    static const TTypeInfo Info{"TFilterKind", tkEnumeration, {"fkSimple", "fkSQL"}, nullptr};
    return Info;
}

const TTypeInfo& FilterOperatorIndexTypeInfo() {
    static const TTypeInfo Info{"TFilterOperatorIndex",
                                tkEnumeration,
                                {"foiLess", "foiLessOrEqual", "foiEqual", "foiLargerOrEqual",
                                 "foiLarger", "foiNotEqual", "foiStartingWith", "foiContaining",
                                 "foiLike", "foiIsNull", "foiIsNotNull"},
                                nullptr};
    return Info;
}

const TTypeInfo& FilterGridOptionsTypeInfo() {
    static const TTypeInfo Info{"TFilterGridOptions",
                                tkSet,
                                {"fgoCaseSensitive", "fgoCaseSensitiveContaining", "fgoCorrect",
                                 "fgoCorrectTranslateWildcards", "fgoExceptions",
                                 "fgoNonTableValueList", "fgoStrictOperators"},
                                nullptr};
    return Info;
}

const TTypeInfo& FilterBuilderOptionsTypeInfo() {
    static const TTypeInfo Info{
        "TFilterBuilderOptions", tkSet, {"fboGroups", "fboMoreOperators", "fboStoreRows"}, nullptr};
    return Info;
}

} // namespace vorn
