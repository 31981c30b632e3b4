#include "platform/ui/ui_timer.h"
#include "platform/clock.h"
#include "tests/support/ui/ui_test.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {

TEST(UiTimer, RunsProductionPeriodsAtTheClocksScale)
{
    platform::ScaledClock fast(1000);
    platform::ScopedClock scoped(fast);

    ui::UiTimer timer;
    int ticks = 0;
    QObject::connect(&timer, &ui::UiTimer::timeout, [&] { ++ticks; });
    QElapsedTimer real;
    real.start();
    timer.start(60000); // a minute in production: 60 ms here
    EXPECT_EQ(timer.period(), 60000);

    // Unscaled, two ticks would take two minutes, far past this deadline.
    tavrix::test::pumpUntil([&] { return ticks >= 2; }, 20000);
    EXPECT_EQ(ticks, 2);
    EXPECT_GE(real.elapsed(), 2 * 60);

    timer.stop();
    EXPECT_FALSE(timer.isActive());
}

} // namespace
