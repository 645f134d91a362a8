// Test main: Qt's offscreen platform and a QApplication for the widget tests.
#include <cstdlib>

#include <QApplication>
#include <QLoggingCategory>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // the offscreen platform's notes about unsupported window calls are noise
    QLoggingCategory::setFilterRules("qt.qpa.*=false");
    return RUN_ALL_TESTS();
}
