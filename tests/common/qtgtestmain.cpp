#include <QApplication>
#include <gtest/gtest.h>

// Every test program gets a QApplication so that timers, serial ports and
// widgets work; the offscreen platform keeps it usable without a display.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
