#include "BackendFixture.h"

#include "host/data/LongOperation.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace vorn;
using vorn::test::AllBackends;
using vorn::test::BackendTest;
using vorn::test::BackendTestName;

namespace {

using TClock = std::chrono::steady_clock;

// Asks to cancel once a statement has run for CancelAfter; counts what it saw.
class TCancellingMonitor : public TLongOperationMonitor {
public:
    explicit TCancellingMonitor(std::chrono::milliseconds CancelAfter)
        : FCancelAfter(CancelAfter), FPrevious(SetLongOperationMonitor(this)) {}
    ~TCancellingMonitor() override { SetLongOperationMonitor(FPrevious); }

    void Begin() override {
        if (Depth++ == 0)
            FStarted = TClock::now();
    }
    bool Tick() override {
        ++Ticks;
        return TClock::now() - FStarted >= FCancelAfter;
    }
    void End() override { --Depth; }

    int Depth = 0;
    int Ticks = 0;

private:
    std::chrono::milliseconds FCancelAfter;
    TClock::time_point FStarted;
    TLongOperationMonitor* FPrevious;
};

// Counts to a hundred million on either database: many seconds of work in one statement.
const char* const SlowCount = "WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c "
                              "WHERE n < 100000000) SELECT count(*) FROM c";

class CancelTest : public BackendTest {};

TEST_P(CancelTest, CancelStopsTheStatementAtOnceAndTheConnectionServesTheNextOne) {
    TDriverConnection& Connection = Database->Connection();
    const auto Started = TClock::now();
    {
        TCancellingMonitor Monitor(std::chrono::milliseconds(50));
        try {
            auto Cursor = Connection.Execute(SlowCount, {});
            Cursor->Next();
            FAIL() << "the statement ran to its end";
        } catch (const EOperationCancelled& Error) {
            EXPECT_STREQ("Operation cancelled by the user", Error.what());
        }
        EXPECT_GT(Monitor.Ticks, 0);
        EXPECT_EQ(0, Monitor.Depth) << "every Begin is matched by an End";
        EXPECT_LT(TClock::now() - Started, std::chrono::seconds(3));

        // The same monitor lets a quick statement through: it is over before the cancel.
        EXPECT_EQ((std::vector<std::string>{"1"}), Database->Column("SELECT 1"));
    }
    auto Cursor = Connection.Execute("SELECT 41 + 1", {});
    ASSERT_TRUE(Cursor->Next());
    EXPECT_EQ(42, Cursor->Value(0).AsInteger());
}

TEST_P(CancelTest, CancelStopsACommandAndLeavesTheTableAsItWas) {
    Database->Execute("CREATE TABLE \"Counted\" (\"N\" INTEGER)");
    {
        TCancellingMonitor Monitor(std::chrono::milliseconds(50));
        EXPECT_THROW(Database->Connection().ExecuteCommand(
                         std::string("INSERT INTO \"Counted\" ") + SlowCount, {}),
                     EOperationCancelled);
    }
    EXPECT_EQ((std::vector<std::string>{"0"}),
              Database->Column("SELECT count(*) FROM \"Counted\""));
}

INSTANTIATE_TEST_SUITE_P(Backends, CancelTest, ::testing::ValuesIn(AllBackends), BackendTestName);

} // namespace
