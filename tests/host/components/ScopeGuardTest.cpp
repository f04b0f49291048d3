#include "host/components/model/ScopeGuard.h"
#include "host/components/model/AliveGuard.h"
#include "host/components/model/Component.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

using namespace vorn;

namespace {

struct TExit {
    const char* Name;
    bool Raise;
};

const TExit Exits[] = {{"at the end of the scope", false}, {"while an exception passes", true}};

// Runs Body in a scope, leaving it normally or by an exception as Exit says.
template <typename F>
void LeaveScope(const TExit& Exit, F Body) {
    try {
        Body();
        if (Exit.Raise)
            throw std::runtime_error("leaving");
    } catch (const std::runtime_error&) {
    }
}

TEST(ScopeGuard, RestoresTheValueItSaved) {
    for (const TExit& Exit : Exits) {
        std::string Setting = "old";
        LeaveScope(Exit, [&] {
            const TRestoreOnExit<std::string> Guard(Setting, "new");
            EXPECT_EQ(Setting, "new");
            // A change made meanwhile is undone too.
            Setting = "changed";
        });
        EXPECT_EQ(Setting, "old") << Exit.Name;

        bool Flag = true;
        LeaveScope(Exit, [&] {
            const TRestoreOnExit<bool> Guard(Flag);
            EXPECT_TRUE(Flag) << "saving alone leaves the value";
            Flag = false;
        });
        EXPECT_TRUE(Flag) << Exit.Name;
    }
}

TEST(ScopeGuard, NestedGuardsRestoreInTurn) {
    bool Sorting = false;
    {
        const TRestoreOnExit<bool> Outer(Sorting, true);
        {
            // An inner call that sets the flag again must not clear the outer one's.
            const TRestoreOnExit<bool> Inner(Sorting, true);
        }
        EXPECT_TRUE(Sorting);
    }
    EXPECT_FALSE(Sorting);
}

TEST(ScopeGuard, DismissedGuardLeavesTheVariable) {
    int Value = 1;
    {
        TRestoreOnExit<int> Guard(Value, 2);
        Guard.Dismiss();
    }
    EXPECT_EQ(Value, 2);
}

TEST(ScopeGuard, CountsForAsLongAsItLives) {
    for (const TExit& Exit : Exits) {
        int Depth = 0;
        LeaveScope(Exit, [&] {
            const TCountInScope<int> First(Depth);
            EXPECT_EQ(Depth, 1);
            {
                const TCountInScope<int> Second(Depth);
                EXPECT_EQ(Depth, 2);
            }
            EXPECT_EQ(Depth, 1);
        });
        EXPECT_EQ(Depth, 0) << Exit.Name;
    }
}

class TFlagged : public TComponent {
public:
    using TComponent::TComponent;
    bool Busy = false;
};

TEST(ScopeGuard, RestoresAComponentsMemberOnlyWhileTheComponentLives) {
    for (const TExit& Exit : Exits) {
        TFlagged Kept(nullptr);
        LeaveScope(Exit, [&] {
            const TRestoreWhileAlive<bool> Guard(Kept, Kept.Busy, true);
            EXPECT_TRUE(Kept.Busy);
        });
        EXPECT_FALSE(Kept.Busy) << Exit.Name;

        // Freed inside the scope (a handler closing the form): the guard writes nothing
        // back. The flag lives outside the component here, so that the test sees that.
        auto Freed = std::make_unique<TFlagged>(nullptr);
        bool Outside = false;
        LeaveScope(Exit, [&] {
            const TRestoreWhileAlive<bool> Guard(*Freed, Outside, true);
            Freed.reset();
        });
        EXPECT_TRUE(Outside) << Exit.Name;
    }
}

} // namespace
