#include <gtest/gtest.h>

#include <QApplication>

// The widget tests run offscreen, with one application object that outlives every test
// and goes before the program's static objects do.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication Application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
