#include <gtest/gtest.h>
#include <QApplication>
#include <cstdlib>

// Ui tests run without a display unless one was asked for explicitly.
int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
