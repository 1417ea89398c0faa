// The widget tests paint and take events: they need a QApplication. Their clocks are the
// test's own (TestClocks.h), so nothing they check depends on the machine's speed.

#include "TestClocks.h"
#include "platform/KeptForProcess.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace orvenda::test {

namespace {
SteppedAnimations* stepped = nullptr;
}

SteppedAnimations& animations() { return *stepped; }

} // namespace orvenda::test

int main(int argc, char** argv)
{
    // Without a display the offscreen platform stands in.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    orvenda::keepPoolThreadsForProcess();
    orvenda::test::WorkClock clock;
    orvenda::test::SteppedAnimations animations;
    orvenda::test::stepped = &animations;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
