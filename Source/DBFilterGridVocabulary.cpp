#include "Source/DBFilterGrid.h"

namespace vorn {

// The Serbian names are Windows-1250 bytes: 0xE6 is c with acute, 0xE8 c with caron,
// 0x9E z with caron. Adjacent literals keep a hex escape from swallowing the letter
// that follows it.

const TFilterOperatorNames fonComputer = {
    "<",          "<=",   "=",       ">=",         ">", "<>", "STARTING WITH",
    "CONTAINING", "LIKE", "IS NULL", "IS NOT NULL"};

const TFilterOperatorNames fonEnglish = {
    "less",        "less or equal", "equal", "larger or equal", "larger",     "not equal",
    "begins with", "contains",      "like",  "is null",         "is not null"};

const TFilterOperatorNames fonSerbian = {"manje",
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

const TFilterColumnNames fcnEnglish = {"Field", "Operator", "Value", "Bool"};
const TFilterColumnNames fcnSerbian = {"Polje", "Operator", "Vrednost", "Veznik"};

const TFilterBoolNames fbnComputer = {"AND", "OR"};
const TFilterBoolNames fbnEnglish = {"and", "or"};
const TFilterBoolNames fbnSerbian = {"i", "ili"};

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

} // namespace vorn
