// The widget tests paint and take events: they need a QApplication.

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Without a display the offscreen platform stands in.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
