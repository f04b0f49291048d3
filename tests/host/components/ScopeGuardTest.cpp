#include "host/components/ScopeGuard.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using namespace vorn;

namespace {

// However the scope ends, the variable gets back the value it had on entry, including
// changes made to it inside the scope and guards nested on the same variable.
TEST(ScopeGuard, RestoresTheOldValueOnEveryExit) {
    struct TCase {
        const char* Name;
        bool Throws;
        bool Nested;
        bool AssignInside;
    };
    const TCase Cases[] = {
        {"normal exit", false, false, false},
        {"exception", true, false, false},
        {"changed again inside", false, false, true},
        {"nested guards", false, true, true},
        {"nested guards and an exception", true, true, true},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        std::string Text = "old";
        std::string SeenInside;
        try {
            const TRestoreOnExit<std::string> Guard(Text, "new");
            SeenInside = Text;
            if (Case.Nested) {
                const TRestoreOnExit<std::string> Inner(Text, "inner");
                EXPECT_EQ(Text, "inner");
            }
            EXPECT_EQ(Text, "new");
            if (Case.AssignInside)
                Text = "changed";
            if (Case.Throws)
                throw std::runtime_error("leaves the scope");
        } catch (const std::runtime_error&) {
            EXPECT_TRUE(Case.Throws);
        }
        EXPECT_EQ(SeenInside, "new");
        EXPECT_EQ(Text, "old");
    }
}

TEST(ScopeGuard, KeepsTheValueForTheScopeWhenGivenNone) {
    int Depth = 3;
    {
        const TRestoreOnExit<int> Guard(Depth);
        EXPECT_EQ(Depth, 3);
        Depth = 7;
    }
    EXPECT_EQ(Depth, 3);
}

} // namespace
