#include "Source/VornData.h"

#include <gtest/gtest.h>

#include <QApplication>

// The scenarios run offscreen, with one application object that outlives every test, and
// with the components' package initialized as an application initializes it.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication Application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    Initialize();
    const int Result = RUN_ALL_TESTS();
    Finalize();
    return Result;
}
