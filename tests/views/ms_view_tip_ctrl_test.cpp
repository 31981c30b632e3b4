#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "tests/support/ui/screenshot.h"
#include "tests/support/ui/ui_test.h"
#include "views/ms_view_tip_ctrl.h"

namespace {

using tavrix::test::pixelAt;
using tavrix::test::pumpUntil;

TEST(MSViewTip, ShowsBlueTextAfterTheRestAndGoesAfterTheDisplayTime)
{
    platform::ScaledClock clock(20);
    platform::ScopedClock scoped(clock);
    QWidget owner;
    owner.resize(200, 100);
    CMSViewTipCtrl tip(&owner);
    tip.AddTool(&owner, 1, QStringLiteral("    "));
    tip.SetTipTextColor(ui::rgb(0, 0, 255));
    const auto relay = [&](QEvent::Type type, QPoint at) {
        QMouseEvent event(type, at, owner.mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoButton, Qt::NoModifier);
        tip.RelayEvent(event);
    };

    // Blanks show nothing, however long the pointer rests.
    relay(QEvent::MouseMove, QPoint(10, 10));
    QTest::qWait(60); // 1200 ms of the clock
    EXPECT_FALSE(tip.isVisible());

    tip.UpdateText(&owner, 1, QStringLiteral("窗口"));
    tip.UpdateText(&owner, 2, QStringLiteral("另一个")); // not the tool
    EXPECT_EQ(tip.ToolText(), QStringLiteral("窗口"));
    const auto start = platform::Now();
    relay(QEvent::MouseMove, QPoint(12, 12));
    ASSERT_TRUE(pumpUntil([&] { return tip.isVisible(); }));
    EXPECT_GE(platform::MillisSince(start), CMSViewTipCtrl::kInitialDelayMs);
    const QImage shot = tavrix::test::screenshot(tip);
    bool blue = false;
    for (int y = 0; y < shot.height() && !blue; ++y)
        for (int x = 0; x < shot.width() && !blue; ++x)
            blue = ui::blueOf(pixelAt(shot, x, y)) > 180 && ui::redOf(pixelAt(shot, x, y)) < 80;
    EXPECT_TRUE(blue);
    ASSERT_TRUE(pumpUntil([&] { return !tip.isVisible(); }));
    EXPECT_GE(platform::MillisSince(start), CMSViewTipCtrl::kInitialDelayMs + CMSViewTipCtrl::kAutoPopMs);

    // A button hides it at once; so does leaving the tool's rectangle.
    relay(QEvent::MouseMove, QPoint(14, 14));
    ASSERT_TRUE(pumpUntil([&] { return tip.isVisible(); }));
    relay(QEvent::MouseButtonPress, QPoint(14, 14));
    EXPECT_FALSE(tip.isVisible());
    tip.SetToolRect(&owner, 1, Rect{0, 0, 50, 50});
    relay(QEvent::MouseMove, QPoint(60, 60));
    QTest::qWait(60);
    EXPECT_FALSE(tip.isVisible());
}

} // namespace
