#include "host/qt/QtLongOperationMonitor.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QProgressDialog>
#include <QPushButton>

#include <chrono>
#include <thread>

namespace vorn::qttest {

namespace {

using namespace std::chrono_literals;

// A statement watched tick by tick: nothing shows while it is short, the busy cursor after
// the first threshold, the modal progress dialog after the second; its Cancel is the
// answer of the next tick, and the end of the statement takes both away.
TEST(QtLongOperationMonitorTest, BusyCursorThenProgressWithCancelThenNothing) {
    TQtLongOperationMonitor Monitor({300ms, 600ms, 0ms});
    ASSERT_EQ(LongOperationMonitor(), &Monitor);
    QProgressDialog* Shown = nullptr;
    Monitor.OnProgressShown = [&](QProgressDialog& Dialog) { Shown = &Dialog; };

    Monitor.Begin();
    EXPECT_FALSE(Monitor.Tick());
    EXPECT_FALSE(Monitor.BusyCursorShown());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    std::this_thread::sleep_for(320ms);
    EXPECT_FALSE(Monitor.Tick());
    EXPECT_TRUE(Monitor.BusyCursorShown());
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
    EXPECT_EQ(Shown, nullptr);

    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(Monitor.Tick());
    ASSERT_NE(Shown, nullptr);
    EXPECT_TRUE(Shown->isVisible());
    EXPECT_EQ(Shown->windowModality(), Qt::ApplicationModal);
    Shown->findChild<QPushButton*>()->click();
    EXPECT_TRUE(Monitor.Tick());

    Monitor.End();
    EXPECT_FALSE(Monitor.BusyCursorShown());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // The next statement starts afresh.
    Monitor.Begin();
    EXPECT_FALSE(Monitor.Tick());
    EXPECT_FALSE(Monitor.BusyCursorShown());
    Monitor.End();
}

} // namespace

} // namespace vorn::qttest
