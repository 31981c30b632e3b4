#include "uikit/ui_tip_ctrl.h"
#include "platform/clock.h"
#include "platform/ui/gdi_paint.h"
#include "uikit/ui_resource_cache.h"
#include "tests/support/ui/screenshot.h"
#include "tests/support/ui/ui_test.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using tavrix::test::pixelAt;
using tavrix::test::pumpUntil;

TEST(TipFade, FadeInTakes26TicksAndFadeOutHidesOnTick26)
{
    TipFade fade;
    EXPECT_EQ(fade.fadeInPeriod(), 20);
    EXPECT_EQ(fade.fadeOutPeriod(), 8);

    std::vector<int> alphas;
    bool more = true;
    while (more) {
        more = fade.fadeInTick();
        alphas.push_back(fade.alpha());
    }
    ASSERT_EQ(alphas.size(), 26u); // 10, 20 ... 250, then 255
    EXPECT_EQ(alphas[24], 250);
    EXPECT_EQ(alphas[25], 255);
    EXPECT_FALSE(fade.fadeInTick()); // already full: stays 255 and stops
    EXPECT_EQ(fade.alpha(), 255);

    int ticks = 0;
    while (fade.fadeOutTick())
        ++ticks;
    EXPECT_EQ(ticks + 1, 26);
    EXPECT_EQ(fade.alpha(), 0);
}

TEST(TipFade, StepStaysWithinOneTo255)
{
    TipFade fade;
    fade.setStep(300); // would make 255 / step zero
    EXPECT_EQ(fade.step(), 255);
    EXPECT_EQ(fade.fadeInPeriod(), 500);
    EXPECT_FALSE(fade.fadeInTick());
    EXPECT_EQ(fade.alpha(), 255);
    fade.setStep(0);
    EXPECT_EQ(fade.step(), 1);
    EXPECT_EQ(fade.fadeOutPeriod(), 0);
}

TEST(UiTipCtrl, SitsAtTheAnchorAndFitsItsText)
{
    CUiTipCtrl tip;
    EXPECT_FALSE(tip.IsLayered()); // offscreen has no window opacity
    EXPECT_TRUE(tip.ShowAt(Rect{100, 200, 150, 220}, QPoint(3, 4), "处理器"));
    const QSize text = ui::textExtent(GetUiFont12(), "处理器");
    EXPECT_EQ(tip.geometry(), QRect(103, 204, text.width() + 10, text.height() + 6));
    EXPECT_TRUE(tip.isVisible());

    // Empty and very long texts.
    EXPECT_TRUE(tip.ShowAt(Rect{0, 0, 1, 1}, QPoint(), QString()));
    EXPECT_EQ(tip.width(), 10);
    EXPECT_TRUE(tip.ShowAt(Rect{0, 0, 2, 2}, QPoint(), QString(10000, QChar(0x5904))));
    EXPECT_GT(tip.width(), 1000);
    EXPECT_LE(tip.width(), 32767);
    EXPECT_FALSE(tavrix::test::screenshot(tip).isNull());
}

TEST(UiTipCtrl, SameAnchorChangesNothingUntilHidden)
{
    CUiTipCtrl tip;
    const Rect anchor{10, 10, 60, 30};
    EXPECT_TRUE(tip.ShowAt(anchor, QPoint(0, 20), "a"));
    const QRect placed = tip.geometry();
    EXPECT_TRUE(tip.ShowAt(anchor, QPoint(5, 5), "another text"));
    EXPECT_EQ(tip.Text(), "a");
    EXPECT_EQ(tip.geometry(), placed);

    tip.Hide(); // without fading: at once
    EXPECT_FALSE(tip.isVisible());
    EXPECT_EQ(tip.Anchor(), Rect{});
    EXPECT_TRUE(tip.ShowAt(anchor, QPoint(0, 20), "b"));
    EXPECT_TRUE(tip.isVisible());
    EXPECT_EQ(tip.Text(), "b");

    // Hiding a hidden tip only clears its anchor; the same anchor then
    // shows it again.
    tip.Hide();
    tip.ShowAt(Rect{1, 1, 2, 2}, QPoint(), "c");
    tip.hide();
    tip.Hide();
    EXPECT_FALSE(tip.isVisible());
    EXPECT_FALSE(tip.ShowAt(Rect{}, QPoint(), "d")); // the cleared anchor itself: nothing done
    EXPECT_TRUE(tip.ShowAt(Rect{1, 1, 2, 2}, QPoint(), "c"));
}

TEST(UiTipCtrl, FadesInAndOutWhenLayered)
{
    platform::ScaledClock fast(10); // 20 ms ticks take 2 ms
    platform::ScopedClock scoped(fast);
    CUiTipCtrl tip;
    tip.SetLayered(true);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(tip.ShowAt(Rect{0, 0, 10, 10}, QPoint(), "处理器"));
    EXPECT_TRUE(tip.isVisible());
    EXPECT_LT(tip.Alpha(), 255);
    ASSERT_TRUE(pumpUntil([&] { return tip.Alpha() == 255; }));
    EXPECT_GE(clock.elapsed(), 26 * 2);
    EXPECT_DOUBLE_EQ(tip.windowOpacity(), 1.0);

    tip.Hide();
    EXPECT_TRUE(tip.isVisible()); // fading out
    ASSERT_TRUE(pumpUntil([&] { return tip.Alpha() < 200; }));
    EXPECT_TRUE(tip.isVisible());

    // Showing during the fade-out fades in again from where it was.
    const int from = tip.Alpha();
    ASSERT_TRUE(tip.ShowAt(Rect{0, 0, 10, 10}, QPoint(), "处理器"));
    EXPECT_EQ(tip.Alpha(), from);
    ASSERT_TRUE(pumpUntil([&] { return tip.Alpha() != from; }));
    // A loaded machine may run two fade steps before the check.
    EXPECT_GT(tip.Alpha(), from);
    EXPECT_TRUE(tip.Alpha() == 255 || (tip.Alpha() - from) % 10 == 0) << tip.Alpha();
    ASSERT_TRUE(pumpUntil([&] { return tip.Alpha() == 255; }));

    tip.Hide();
    ASSERT_TRUE(pumpUntil([&] { return !tip.isVisible(); }));
    EXPECT_EQ(tip.Alpha(), 0);
}

TEST(UiTipCtrl, PaintsLightYellowWithDarkText)
{
    CUiTipCtrl tip;
    tip.ShowAt(Rect{0, 0, 10, 10}, QPoint(), "处理器");
    const QImage shot = tavrix::test::screenshot(tip);
    ASSERT_EQ(shot.size(), tip.size());
    const QSize text = ui::textExtent(GetUiFont12(), "处理器");
    // Client pixels right of the text (border 1, text from x = 2).
    EXPECT_EQ(pixelAt(shot, 1 + 2 + text.width() + 2, shot.height() / 2), ui::rgb(255, 255, 240));
    EXPECT_EQ(pixelAt(shot, shot.width() - 2, 1), ui::rgb(255, 255, 240));
    int dark = 0;
    for (int y = 1; y < shot.height() - 1; ++y)
        for (int x = 3; x < 3 + text.width(); ++x)
            dark += qGray(shot.pixel(x, y)) < 128;
    EXPECT_GT(dark, 20);
}

TEST(UiTipCtrl, NeverBecomesTheActiveWindow)
{
    QWidget main;
    main.resize(200, 100);
    main.show();
    QApplication::setActiveWindow(&main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));

    CUiTipCtrl tip(&main);
    tip.ShowAt(Rect{20, 20, 40, 40}, QPoint(), "tip");
    QTest::mouseClick(&tip, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), &main);
    EXPECT_FALSE(tip.hasFocus());
}

} // namespace
