#include "host/components/model/CheckedArithmetic.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

using namespace vorn;

TEST(CheckedArithmetic, RaisesInsteadOfWrapping) {
    EXPECT_EQ(CheckedAdd(2, 3), 5);
    EXPECT_EQ(CheckedSub(-2, 3), -5);
    EXPECT_EQ(CheckedMul(-4, 5), -20);
    EXPECT_THROW(CheckedAdd(INT_MAX, 1), EIntOverflow);
    EXPECT_THROW(CheckedSub(INT_MIN, 1), EIntOverflow);
    EXPECT_THROW(CheckedMul(INT_MAX / 2 + 1, 2), EIntOverflow);
    EXPECT_EQ(CheckedCast<std::int8_t>(127), 127);
    EXPECT_THROW(CheckedCast<std::int8_t>(128), EIntOverflow);
    EXPECT_THROW(CheckedCast<std::uint32_t>(-1), EIntOverflow);
}

TEST(Assertion, NamesTheUnitAndLine) {
    try {
        VORN_ASSERT(1 + 1 == 3);
        FAIL() << "the assertion did not raise";
    } catch (const EAssertionFailed& Error) {
        const int Line = __LINE__ - 3;
        EXPECT_EQ(Error.Message(),
                  "Assertion failed: 1 + 1 == 3 (CheckedArithmeticTest.cpp, line " +
                      std::to_string(Line) + ")");
    }
}

TEST(Assertion, KeepsOnlyTheFileNameOfAnyPath) {
    struct TPathCase {
        const char* File;
        const char* Expected;
    };
    for (const TPathCase& Case :
         {TPathCase{.File = "/src/vorn/Source/DBLocateEdit.cpp", .Expected = "DBLocateEdit.cpp"},
          TPathCase{.File = "C:\\vorn\\host\\Grid.cpp", .Expected = "Grid.cpp"},
          TPathCase{.File = "../host/data/Table.cpp", .Expected = "Table.cpp"},
          TPathCase{.File = "Query.cpp", .Expected = "Query.cpp"}}) {
        try {
            AssertionFailed("Ready", Case.File, 7);
        } catch (const EAssertionFailed& Error) {
            EXPECT_EQ(Error.Message(),
                      std::string("Assertion failed: Ready (") + Case.Expected + ", line 7)")
                << Case.File;
        }
    }
}
