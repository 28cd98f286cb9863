// Entry of the window tests: GoogleTest runs them inside a QGuiApplication, so they talk to the
// real X server of the test command through Qt's own platform plugin.

#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
    testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
