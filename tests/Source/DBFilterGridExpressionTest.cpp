#include "tests/Source/DBFilterGridTest.h"

#include "host/data/drivers/DatabaseError.h"
#include "host/data/sql/SqlDialect.h"
#include "tests/support/CodePageGuard.h"

#include <algorithm>

namespace vorn::test {
namespace {

const TFilterGridOptions DefaultOptions{fgoCorrect, fgoNonTableValueList, fgoStrictOperators};

// The names of the People rows that a condition selects, run on the database itself
// after translation to SQLite, so that an expression is shown to be valid and to mean
// what it should.
std::vector<std::string> MatchingNames(const std::string& Alias, const std::string& Condition,
                                       TSqlConditionForm Form) {
    const TTranslatedSql Sql = TranslateCondition(Condition, sbSQLite, Form);
    std::vector<TVariant> Parameters(Sql.Parameters.begin(), Sql.Parameters.end());
    const TConnectionLease Lease(Alias);
    Lease.Connection().ExecuteCommand("PRAGMA case_sensitive_like=ON", {});
    auto Cursor = Lease.Connection().Execute(
        "SELECT Name FROM People WHERE " + Sql.Text + " ORDER BY Name", Parameters);
    std::vector<std::string> Names;
    while (Cursor->Next())
        Names.push_back(Cursor->Value(0).AsString());
    return Names;
}

struct TWorkedExample {
    const char* Title;
    std::vector<TFilterRow> Rows;
    std::string Expected; // the expression, or the message when Raises
    std::vector<TFilterRow> After;
    std::vector<std::string> Matches;
    TFilterGridOptions Options = DefaultOptions;
    TFilterKind Kind = fkSQL;
    const TFilterOperatorNames* OperatorNames = &fonComputer;
    bool Raises = false;
};

std::ostream& operator<<(std::ostream& Stream, const TWorkedExample& Example) {
    return Stream << Example.Title;
}

const TWorkedExample WorkedExamples[] = {
    {.Title = "DefaultOperatorAndOr",
     .Rows = {{"Name", "", "Smith", "OR"}, {"Age", ">", "30", ""}},
     .Expected = "UPPER(Name) = 'SMITH' OR Age > 30",
     .After = {{"Name", "=", "Smith", "OR"}, {"Age", ">", "30", ""}},
     .Matches = {"Jane", "Smith"}},
    {.Title = "NullTestAndStartingWith",
     .Rows = {{"City", "", "", "and"}, {"Name", "=", "Sm*", ""}},
     .Expected = "City IS NULL AND UPPER(Name) STARTING WITH 'SM'",
     .After = {{"City", "IS NULL", "", "AND"}, {"Name", "STARTING WITH", "Sm", ""}},
     .Matches = {"Smithers"}},
    {.Title = "CorrectionWritesTranslatedValue",
     .Rows = {{"City", "", "", "and"}, {"Name", "=", "Sm*", ""}},
     .Expected = "City IS NULL AND UPPER(Name) STARTING WITH 'SM'",
     .After = {{"City", "IS NULL", "", "AND"}, {"Name", "STARTING WITH", "SM", ""}},
     .Matches = {"Smithers"},
     .Options = DefaultOptions + TFilterGridOptions{fgoCorrectTranslateWildcards}},
    {.Title = "LikeKeepsTypedValue",
     .Rows = {{"Name", "=", "J?n*", ""}},
     .Expected = "UPPER(Name) LIKE 'J_N%'",
     .After = {{"Name", "LIKE", "J?n*", ""}},
     .Matches = {"Jane", "Jones"}},
    {.Title = "EmptyRowsConnectorJoinsNextRow",
     .Rows = {{"Name", "=", "Smith", "OR"}, {"", "", "", "AND"}, {"Age", ">=", "30", ""}},
     .Expected = "UPPER(Name) = 'SMITH' AND Age >= 30",
     .After = {{"Name", "=", "Smith", "OR"}, {"", "", "", "AND"}, {"Age", ">=", "30", ""}},
     .Matches = {"Smith"}},
    {.Title = "SimpleKindCaseSensitive",
     .Rows = {{"Name", "", "Smith", ""}, {"City", "", "", ""}},
     .Expected = "Name = 'Smith' AND City = ''",
     .After = {{"Name", "=", "Smith", "AND"}, {"City", "=", "", ""}},
     .Matches = {},
     .Options = DefaultOptions + TFilterGridOptions{fgoCaseSensitive},
     .Kind = fkSimple},
    {.Title = "CorrectedNullTest",
     .Rows = {{"Phone", "is n", "", ""}},
     .Expected = "Phone IS NULL",
     .After = {{"Phone", "IS NULL", "", ""}},
     .Matches = {"Jane", "Smithers"}},
    {.Title = "UnknownOperatorTakesDefault",
     .Rows = {{"Age", "!=", "5", ""}},
     .Expected = "Age = 5",
     .After = {{"Age", "=", "5", ""}},
     .Matches = {"John"}},
    {.Title = "UnknownOperatorRaises",
     .Rows = {{"Age", "!=", "5", ""}},
     .Expected = "GetOpCell() Bad operator.",
     .After = {{"Age", "!=", "5", ""}},
     .Matches = {},
     .Options = DefaultOptions + TFilterGridOptions{fgoExceptions},
     .Kind = fkSQL,
     .OperatorNames = &fonComputer,
     .Raises = true},
    {.Title = "StrictOperatorMustFitField",
     .Rows = {{"Age", "LIKE", "3", ""}},
     .Expected =
         "TDBFilterGrid.OperatorNameToIndexStrict() Operator \"LIKE\" not applicable to field "
         "\"Age\".",
     .After = {{"Age", "LIKE", "3", ""}},
     .Matches = {},
     .Options = TFilterGridOptions{fgoStrictOperators},
     .Kind = fkSQL,
     .OperatorNames = &fonComputer,
     .Raises = true},
    {.Title = "EnglishNameWithoutStrictOperators",
     .Rows = {{"Age", "less", "5", ""}},
     .Expected = "Age < 5",
     .After = {{"Age", "<", "5", ""}},
     .Matches = {},
     .Options = TFilterGridOptions{fgoCorrect, fgoNonTableValueList},
     .Kind = fkSQL,
     .OperatorNames = &fonEnglish},
    {.Title = "UnknownNameWithoutStrictOperatorsRaises",
     .Rows = {{"Age", "less", "5", ""}},
     .Expected = "GetOpCell() Bad operator.",
     .After = {{"Age", "less", "5", ""}},
     .Matches = {},
     .Options = TFilterGridOptions{fgoCorrect, fgoNonTableValueList},
     .Kind = fkSQL,
     .OperatorNames = &fonComputer,
     .Raises = true},
};

class FilterGridWorkedExampleTest : public FilterGridTest,
                                    public ::testing::WithParamInterface<TWorkedExample> {};

TEST_P(FilterGridWorkedExampleTest, ComposesRewritesAndSelects) {
    const TWorkedExample& Example = GetParam();
    Grid->SetFilterGridOptions(Example.Options);
    Grid->SetFilterKind(Example.Kind);
    Grid->OperatorNames = *Example.OperatorNames;
    SetRows(Example.Rows);

    if (Example.Raises) {
        EXPECT_EQ(ExpressionError(), Example.Expected);
        EXPECT_EQ(Rows(), Example.After);
        return;
    }
    const std::string Expression = Grid->GetFilterExpression();
    EXPECT_EQ(Expression, Example.Expected);
    EXPECT_EQ(Rows(), Example.After);
    EXPECT_EQ(MatchingNames(Database.Alias(), Expression,
                            Example.Kind == fkSQL ? scfWhereClause : scfSimpleFilter),
              Example.Matches);
}

// A builder option that adds no columns reads the rows as the default path does: the same
// expression, the same message, the same cells written back.
TEST_P(FilterGridWorkedExampleTest, BuilderWithoutGroupsComposesAsTheDefault) {
    const TWorkedExample& Example = GetParam();
    Grid->SetFilterBuilderOptions({fboMoreOperators});
    Grid->SetFilterGridOptions(Example.Options);
    Grid->SetFilterKind(Example.Kind);
    Grid->OperatorNames = *Example.OperatorNames;
    SetRows(Example.Rows);
    if (Example.Raises)
        EXPECT_EQ(ExpressionError(), Example.Expected);
    else
        EXPECT_EQ(Grid->GetFilterExpression(), Example.Expected);
    EXPECT_EQ(Rows(), Example.After);
}

INSTANTIATE_TEST_SUITE_P(FilterGrid, FilterGridWorkedExampleTest,
                         ::testing::ValuesIn(WorkedExamples),
                         [](const auto& Info) { return std::string(Info.param.Title); });

TEST_F(FilterGridTest, ClosedDataSetGivesEmptyExpressionAndClearsOnlyWhenCorrecting) {
    SetRows({{"Name", "=", "Smith", "OR"}, {"Age", ">", "30", ""}});
    Table->Close();
    Grid->SetFilterGridOptions(TFilterGridOptions{fgoStrictOperators});
    EXPECT_EQ(Grid->GetFilterExpression(), "");
    EXPECT_EQ(Grid->RowCount(), 3);

    Grid->SetFilterGridOptions(DefaultOptions);
    EXPECT_EQ(Grid->GetFilterExpression(), "");
    EXPECT_EQ(Rows(), (std::vector<TFilterRow>{{"", "", "", ""}}));

    SetRows({{"Name", "=", "Smith", ""}});
    Grid->SetDataSource(nullptr);
    EXPECT_EQ(Grid->GetFilterExpression(), "");
    EXPECT_EQ(Rows(), (std::vector<TFilterRow>{{"", "", "", ""}}));
}

TEST_F(FilterGridTest, ExpressionPutsTheInCellEditorAway) {
    Grid->InCellEditor()->Show();
    SetRows({{"Age", "=", "1", ""}});
    EXPECT_EQ(Grid->GetFilterExpression(), "Age = 1");
    EXPECT_FALSE(Grid->InCellEditor()->Visible());
}

TEST_F(FilterGridTest, SecondCallWithDefaultOptionsGivesTheSameExpression) {
    SetRows({{" Name ", "", " Sm* ", "or"},
             {"City", "", "", ""},
             {"Name", "start", "*ith*", "and"},
             {"Phone", "is not", "x", "OR"},
             {"Name", "<>", "J?n_", ""}});
    const std::string First = Grid->GetFilterExpression();
    const std::vector<TFilterRow> RowsAfterFirst = Rows();
    EXPECT_EQ(First, "UPPER(Name) STARTING WITH 'SM' OR City IS NULL AND Name CONTAINING 'ith' "
                     "AND Phone IS NOT NULL OR UPPER(Name) LIKE 'J_N\\_'");
    EXPECT_EQ(Grid->GetFilterExpression(), First);
    EXPECT_EQ(Rows(), RowsAfterFirst);
}

// A value whose wildcard leaves blanks at an end would read back trimmed, as another value:
// its cell keeps the text typed, and the next call gives the same expression.
TEST_F(FilterGridTest, SecondCallKeepsBlanksThatAWildcardLeftAtAnEnd) {
    for (const TFilterGridOptions Options :
         {DefaultOptions, DefaultOptions + TFilterGridOptions{fgoCorrectTranslateWildcards}}) {
        Grid->SetFilterGridOptions(Options);
        SetRows({{"Name", "=", "New *", "or"}, {"Name", "=", "*  x*", ""}});
        const std::string First = Grid->GetFilterExpression();
        EXPECT_EQ(First, "UPPER(Name) STARTING WITH 'NEW ' OR Name CONTAINING '  x'");
        EXPECT_EQ(Rows(), (std::vector<TFilterRow>{{"Name", "STARTING WITH", "New *", "OR"},
                                                   {"Name", "CONTAINING", "*  x*", ""}}));
        EXPECT_EQ(Grid->GetFilterExpression(), First);
    }
}

// Correction picks the longest common prefix, then the shorter name, then the lower index.
TEST_F(FilterGridTest, CorrectionFindsTheClosestOperatorName) {
    const std::vector<std::pair<std::string, std::string>> Cases = {
        {"<", "<"},
        {">", ">"},
        {"=>", "="},
        {"is n", "IS NULL"},
        {"is not", "IS NOT NULL"},
        {"contains", "CONTAINING"},
        {"starting", "STARTING WITH"},
        {"lt", "LIKE"},
        {"!=", "="},
        {"<>", "<>"},
        {"<=", "<="},
        {"Like", "LIKE"},
    };
    for (const auto& [Typed, Corrected] : Cases) {
        SetRows({{"Name", Typed, "x", ""}});
        Grid->GetFilterExpression();
        EXPECT_EQ(Grid->Cells(2, 1), Corrected) << "typed " << Typed;
    }
    // Names of equal length sharing as much: the lower index wins.
    Grid->OperatorNames = fonEnglish;
    const std::vector<std::pair<std::string, std::string>> EnglishCases = {
        {"l", "less"}, {"i", "is null"}, {"larger o", "larger or equal"}, {"co", "contains"}};
    for (const auto& [Typed, Corrected] : EnglishCases) {
        SetRows({{"Name", Typed, "x", ""}});
        Grid->GetFilterExpression();
        EXPECT_EQ(Grid->Cells(2, 1), Corrected) << "typed " << Typed;
    }
}

TEST_F(FilterGridTest, RowRules) {
    struct TCase {
        const char* Title;
        std::vector<TFilterRow> Rows;
        std::string Expected;
        TFilterKind Kind = fkSQL;
        TFilterOperatorIndex DefaultOperator = foiEqual;
        TFilterGridOptions Options = DefaultOptions;
    };
    const TCase Cases[] = {
        {.Title = "no row names a field",
         .Rows = {{" ", "=", "x", "OR"}, {"", "", "", ""}},
         .Expected = ""},
        {.Title = "blank field cells are empty",
         .Rows = {{"  ", "", "", "OR"}, {"Age", "=", " 7 ", ""}},
         .Expected = "Age = 7"},
        {.Title = "first and last connectors have no effect",
         .Rows = {{"Age", "=", "1", "OR"}, {"Age", "=", "2", "AND"}},
         .Expected = "Age = 1 OR Age = 2"},
        {.Title = "connector comes from the row directly above",
         .Rows = {{"Age", "=", "1", "AND"}, {"", "", "", "OR"}, {"Age", "=", "2", ""}},
         .Expected = "Age = 1 OR Age = 2"},
        {.Title = "field and nothing else in SQL",
         .Rows = {{"Phone", "", "", ""}},
         .Expected = "Phone IS NULL"},
        {.Title = "field and nothing else in a simple filter",
         .Rows = {{"Phone", "", "", ""}},
         .Expected = "UPPER(Phone) = ''",
         .Kind = fkSimple},
        {.Title = "default null test in a simple filter",
         .Rows = {{"Phone", "", "", ""}},
         .Expected = "Phone IS NULL",
         .Kind = fkSimple,
         .DefaultOperator = foiIsNull},
        {.Title = "misfit operator is not rejected while correcting",
         .Rows = {{"Age", "LIKE", "5", ""}},
         .Expected = "Age LIKE 5"},
        {.Title = "unquoted field without value adds nothing",
         .Rows = {{"Age", ">", "", "OR"}, {"Name", "=", "x", ""}},
         .Expected = "UPPER(Name) = 'X'"},
        {.Title = "default operator",
         .Rows = {{"Age", "", "3", ""}},
         .Expected = "Age <= 3",
         .Kind = fkSQL,
         .DefaultOperator = foiLessOrEqual},
        {.Title = "strict without correction converts a fitting operator",
         .Rows = {{"Age", " <> ", "3", ""}},
         .Expected = "Age <> 3",
         .Kind = fkSQL,
         .DefaultOperator = foiEqual,
         .Options = TFilterGridOptions{fgoStrictOperators}},
    };
    for (const TCase& Case : Cases) {
        Grid->SetFilterKind(Case.Kind);
        Grid->SetDefaultOperator(Case.DefaultOperator);
        Grid->SetFilterGridOptions(Case.Options);
        SetRows(Case.Rows);
        EXPECT_EQ(Grid->GetFilterExpression(), Case.Expected) << Case.Title;
    }
}

TEST_F(FilterGridTest, NoUsedRowLeavesEveryCellAsItWas) {
    const std::vector<TFilterRow> Unused = {{" ", "=", "x", "or"}, {"", "<", " y", "and"}};
    SetRows(Unused);
    EXPECT_EQ(Grid->GetFilterExpression(), "");
    EXPECT_EQ(Rows(), Unused);
}

TEST_F(FilterGridTest, BracketedAndBlankHoldingFieldNames) {
    Table->Close();
    Table->SetTableName("Members");
    Table->Open();
    SetRows({{"[First Name]", "=", "ann", "and"}, {"First Name", "", "b*", ""}});
    EXPECT_EQ(Grid->GetFilterExpression(),
              "UPPER([First Name]) = 'ANN' AND UPPER([First Name]) STARTING WITH 'B'");
    EXPECT_EQ(Grid->Cells(1, 2), "[First Name]");
}

// ---- Errors ---------------------------------------------------------------

std::string MessageOf(const std::function<void()>& Call) {
    try {
        Call();
    } catch (const Exception& Error) {
        return Error.Message();
    }
    return "(no exception)";
}

TEST_F(FilterGridTest, OperationErrorsInTheOrderOfTheirConditions) {
    const std::string NotAssigned = "TDBFilterGrid.QuotedType() DataSet is not assigned.";
    const std::string NotActive = "TDBFilterGrid.QuotedType() DataSet is not active.";
    TDBFilterGrid* Unlinked = new TDBFilterGrid(Form.get());
    EXPECT_EQ(MessageOf([&] { Unlinked->QuotedType("Name"); }), NotAssigned);
    EXPECT_EQ(MessageOf([&] { Unlinked->OperatorNameToIndexStrict("bogus", "Nope"); }),
              NotAssigned);

    EXPECT_EQ(MessageOf([&] { Grid->OperatorNameToIndex(" bogus\t"); }),
              "TDBFilterGrid.OperatorNameToIndex() Unknown operator name: ' bogus\t'.");
    EXPECT_EQ(
        MessageOf([&] { Grid->OperatorIndexTOSQLOperator(static_cast<TFilterOperatorIndex>(11)); }),
        "TDBFilterGrid.OperatorIndexTOSQLOperator() Unknown operator index.");
    // The field is looked up before the name, and the fit is tested last.
    EXPECT_THROW(Grid->OperatorNameToIndexStrict("bogus", "Nope"), EDatabaseError);
    EXPECT_EQ(MessageOf([&] { Grid->OperatorNameToIndexStrict("bogus", "Age"); }),
              "TDBFilterGrid.OperatorNameToIndex() Unknown operator name: 'bogus'.");
    EXPECT_EQ(MessageOf([&] { Grid->OperatorNameToIndexStrict("starting with", "Age"); }),
              "TDBFilterGrid.OperatorNameToIndexStrict() Operator \"starting with\" not "
              "applicable to field \"Age\".");
    Grid->SetFilterKind(fkSimple);
    EXPECT_EQ(MessageOf([&] { Grid->OperatorNameToIndexStrict("LIKE", "[Name]"); }),
              "TDBFilterGrid.OperatorNameToIndexStrict() Operator \"LIKE\" not applicable to "
              "field \"[Name]\".");
    EXPECT_EQ(MessageOf([&] { Grid->OperatorNameToIndexStrict("is null", "Age"); }),
              "TDBFilterGrid.OperatorNameToIndexStrict() Operator \"is null\" not applicable to "
              "field \"Age\".");

    Table->Close();
    EXPECT_EQ(MessageOf([&] { Grid->QuotedType("Name"); }), NotActive);
    EXPECT_EQ(MessageOf([&] { Grid->OperatorNameToIndexStrict("bogus", "Nope"); }), NotActive);
}

TEST_F(FilterGridTest, ExpressionErrorsReachTheCaller) {
    struct TCase {
        const char* Title;
        TFilterRow Row;
        TFilterGridOptions Options;
        std::string Message;
    };
    const TCase Cases[] = {
        {.Title = "unknown name on the strict path",
         .Row = {"Name", "equals", "x", ""},
         .Options = {fgoStrictOperators},
         .Message = "TDBFilterGrid.OperatorNameToIndex() Unknown operator name: 'equals'."},
        {.Title = "no correction found",
         .Row = {"Name", "?", "x", ""},
         .Options = DefaultOptions + TFilterGridOptions{fgoExceptions},
         .Message = "GetOpCell() Bad operator."},
        {.Title = "composer: missing value",
         .Row = {"Age", ">", "", ""},
         .Options = DefaultOptions + TFilterGridOptions{fgoExceptions},
         .Message = "AppendFilter() Value must be set."},
    };
    for (const TCase& Case : Cases) {
        Grid->SetFilterGridOptions(Case.Options);
        SetRows({Case.Row});
        EXPECT_EQ(ExpressionError(), Case.Message) << Case.Title;
    }

    Grid->SetFilterGridOptions(DefaultOptions);
    Grid->SetWildcards("*");
    SetRows({{"Name", "=", "x", ""}});
    EXPECT_EQ(ExpressionError(), "AppendFilter() Wrong 'Wildcards' length: 1. Must be 0, 2 or 3.");

    // Without correction even an unused row's operator is converted for its empty field.
    Grid->SetWildcards("*?");
    Grid->SetFilterGridOptions({fgoStrictOperators});
    SetRows({{"", "=", "", ""}});
    EXPECT_THROW(Grid->GetFilterExpression(), EDatabaseError);
}

TEST_F(FilterGridTest, RowsAboveAFailingRowStayRewritten) {
    Grid->SetFilterGridOptions(DefaultOptions + TFilterGridOptions{fgoExceptions});
    SetRows({{"Name", "", "a*", "or"}, {"Age", "!=", "1", ""}});
    EXPECT_EQ(ExpressionError(), "GetOpCell() Bad operator.");
    EXPECT_EQ(Rows(), (std::vector<TFilterRow>{{"Name", "STARTING WITH", "a", "or"},
                                               {"Age", "!=", "1", ""}}));
}

// ---- End-user text that must not reach the expression as typed -------------

TEST_F(FilterGridTest, UnquotedValuesMustBeNumbers) {
    const std::vector<std::pair<std::string, std::string>> Accepted = {
        {"5", "Age = 5"},     {"-5", "Age = -5"},         {"2.5", "Age = 2.5"}, {".5", "Age = .5"},
        {"1e3", "Age = 1e3"}, {"1.5E-2", "Age = 1.5E-2"}, {" 42 ", "Age = 42"},
    };
    for (const auto& [Value, Expected] : Accepted) {
        SetRows({{"Age", "=", Value, ""}});
        EXPECT_EQ(Grid->GetFilterExpression(), Expected) << Value;
    }
    const std::vector<std::string> Rejected = {
        "5 OR 1=1", "5;", "0x10", "5 5", "--5", "+5", "1e", ".", "5.", "abc", "Age", "1)",
    };
    for (const std::string& Value : Rejected) {
        SetRows({{"Age", "=", Value, ""}});
        EXPECT_EQ(ExpressionError(), "TDBFilterGrid.GetFilterExpression() Value '" + Value +
                                         "' of field \"Age\" is not a number.");
    }
    // A null test ignores the value, and an empty value is left to the composer.
    SetRows({{"Age", "is null", "junk", "OR"}, {"Age", ">", "", ""}});
    EXPECT_EQ(Grid->GetFilterExpression(), "Age IS NULL");
}

TEST_F(FilterGridTest, BooleanValuesMustBeTrueOrFalse) {
    Table->Close();
    Table->SetTableName("Members");
    Table->Open();
    SetRows(
        {{"Active", "=", "true", "or"}, {"Active", "<>", "FALSE", "and"}, {"Fee", ">", "1.5", ""}});
    EXPECT_EQ(Grid->GetFilterExpression(), "Active = true OR Active <> FALSE AND Fee > 1.5");
    for (const std::string Value : {"1", "yes", "true or 1=1"}) {
        SetRows({{"Active", "=", Value, ""}});
        EXPECT_EQ(ExpressionError(), "TDBFilterGrid.GetFilterExpression() Value '" + Value +
                                         "' of field \"Active\" is neither true nor false.");
    }
    // A date is quoted: its value becomes one literal whatever it holds.
    SetRows({{"Joined", "=", "2020' OR '1'='1", ""}});
    EXPECT_EQ(Grid->GetFilterExpression(), "UPPER(Joined) = '2020\\' OR \\'1\\'=\\'1'");
}

TEST_F(FilterGridTest, OperatorTextWithoutStrictOperatorsMustBeAnOperator) {
    Grid->SetFilterGridOptions({fgoCorrect});
    const std::vector<std::pair<std::string, std::string>> Accepted = {
        {"like", "UPPER(Name) LIKE 'X'"},
        {" is not null ", "Name IS NOT NULL"},
        {"Starting With", "UPPER(Name) STARTING WITH 'X'"},
        {"<>", "UPPER(Name) <> 'X'"},
    };
    for (const auto& [Operator, Expected] : Accepted) {
        SetRows({{"Name", Operator, "x", ""}});
        EXPECT_EQ(Grid->GetFilterExpression(), Expected) << Operator;
    }
    for (const std::string Operator : {"less", "= 1 OR 1", "is  null", "!=", "=="}) {
        SetRows({{"Name", Operator, "x", ""}});
        EXPECT_EQ(ExpressionError(), "GetOpCell() Bad operator.") << Operator;
        // A row without a field adds no condition: its operator reaches nothing.
        SetRows({{"", Operator, "", ""}, {"Name", "like", "x", ""}});
        EXPECT_EQ(Grid->GetFilterExpression(), "UPPER(Name) LIKE 'X'") << Operator;
    }
}

TEST_F(FilterGridTest, ConnectorsMustBeKnown) {
    SetRows({{"Age", "=", "1", " Or "}, {"Age", "=", "2", "and"}, {"Age", "=", "3", "junk"}});
    EXPECT_EQ(Grid->GetFilterExpression(), "Age = 1 OR Age = 2 AND Age = 3");
    EXPECT_EQ(Grid->Cells(4, 1), "OR");
    EXPECT_EQ(Grid->Cells(4, 2), "AND");

    for (const std::string Connector : {"xor", "AND Age = 1 OR", "||"}) {
        SetRows({{"Age", "=", "1", ""}, {"", "", "", Connector}, {"Age", "=", "2", ""}});
        EXPECT_EQ(ExpressionError(), "TDBFilterGrid.GetFilterExpression() Unknown connector in "
                                     "row 2: '" +
                                         Connector + "'.");
        // Above the first condition a connector joins nothing and stays as it was typed.
        SetRows({{"", "", "", Connector}, {"Age", "=", "1", ""}});
        EXPECT_EQ(Grid->GetFilterExpression(), "Age = 1") << Connector;
        EXPECT_EQ(Grid->Cells(4, 1), Connector);
    }
    SetRows({{"", "", "", "or"}, {"Age", "=", "1", ""}});
    EXPECT_EQ(Grid->GetFilterExpression(), "Age = 1");
    EXPECT_EQ(Grid->Cells(4, 1), "or");
}

// ---- Vocabularies -----------------------------------------------------------

// The grid's copy of the Windows-1250 table is host text: under UTF-8 the names are typed,
// matched and shown as UTF-8.
TEST_F(FilterGridTest, SerbianNamesAreRecognizedAndShownWhileCorrecting) {
    for (const TCodePage CodePage : {cpWindows1250, cpUtf8}) {
        SCOPED_TRACE(CodePageName(CodePage));
        const TCodePageGuard Guard(CodePage);
        Grid->OperatorNames = fonSerbian;
        Grid->BoolNames = fbnSerbian;
        const std::string StartingWith = Windows1250ToHost("po\xE8"
                                                           "inje sa");
        const std::string Larger = Windows1250ToHost("ve\xE6"
                                                     "e");
        SetRows({{"Name", StartingWith, "Sm", "ili"},
                 {"Age", "ve", "40", " I "},
                 {"City", "", "", ""},
                 {"Phone", "ima", "", ""}});
        const std::string Expected =
            "UPPER(Name) STARTING WITH 'SM' OR Age > 40 AND City IS NULL AND Phone IS NOT NULL";
        EXPECT_EQ(Grid->GetFilterExpression(), Expected);
        EXPECT_EQ(Rows(), (std::vector<TFilterRow>{{"Name", StartingWith, "Sm", "ili"},
                                                   {"Age", Larger, "40", "i"},
                                                   {"City", "nema vrednost", "", "i"},
                                                   {"Phone", "ima vrednost", "", ""}}));
        EXPECT_EQ(Grid->GetFilterExpression(), Expected);
        // The title row keeps the captions it was given at construction.
        EXPECT_EQ(Grid->Cells(1, 0), "Field");
    }
}

TEST_F(FilterGridTest, VocabularyNamesWithoutStrictOperatorsBecomeSQL) {
    const TCodePageGuard Guard(cpWindows1250);
    Grid->SetFilterGridOptions({fgoCorrect});
    Grid->OperatorNames = fonSerbian;
    Grid->BoolNames = fbnSerbian;
    SetRows({{"Name", "sadr\x9Ei", "mit", "ili"}, {"Age", "manje", "9", ""}});
    EXPECT_EQ(Grid->GetFilterExpression(), "Name CONTAINING 'mit' OR Age < 9");
    EXPECT_EQ(Rows(), (std::vector<TFilterRow>{{"Name", "CONTAINING", "mit", "OR"},
                                               {"Age", "<", "9", ""}}));
    EXPECT_EQ(Grid->GetFilterExpression(), "Name CONTAINING 'mit' OR Age < 9");

    Grid->OperatorNames = fonEnglish;
    Grid->BoolNames = fbnEnglish;
    SetRows({{"Name", "begins with", "J", "or"}, {"Age", "larger or equal", "40", ""}});
    EXPECT_EQ(Grid->GetFilterExpression(), "UPPER(Name) STARTING WITH 'J' OR Age >= 40");
}

TEST_F(FilterGridTest, OperatorNamesMatchOnlyTheLettersAToZWithoutCase) {
    const TCodePageGuard Guard(cpWindows1250);
    EXPECT_EQ(Grid->OperatorNameToIndex(" starting with "), foiStartingWith);
    EXPECT_EQ(Grid->OperatorNameToIndex("Starting With"), foiStartingWith);
    EXPECT_EQ(Grid->OperatorNameToIndex("\tis NOT null\n"), foiIsNotNull);
    Grid->OperatorNames = fonSerbian;
    EXPECT_EQ(Grid->OperatorNameToIndex("Sli\xE8"
                                        "no"),
              foiLike);
    // An upper-case c with caron is another byte: no match.
    EXPECT_THROW(Grid->OperatorNameToIndex("SLI\xC8"
                                           "NO"),
                 Exception);
    EXPECT_EQ(Grid->OperatorNameToIndexStrict("VE\xE6"
                                              "E ILI JEDNAKO",
                                              "Age"),
              foiLargerOrEqual);
}

} // namespace
} // namespace vorn::test
