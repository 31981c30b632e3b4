#include "uikit/movable_wnd.h"
#include "uikit/move_limit.h"
#include "uikit/static_color_wnd.h"
#include "uikit/window_helpers.h"
#include "tests/support/ui/canvas.h"
#include "tests/support/ui/screenshot.h"

#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace {

using tavrix::test::pixelAt;

TEST(MoveLimitHitTest, CornersBeforeSidesAndTheInsideMoves)
{
    const Rect client{0, 0, 40, 30};
    const std::pair<Point, HitCode> cases[] = {
        {{20, 15}, HTCAPTION}, {{4, 4}, HTCAPTION},       {{3, 3}, HTTOPLEFT},   {{2, 27}, HTBOTTOMLEFT},
        {{37, 2}, HTTOPRIGHT}, {{37, 27}, HTBOTTOMRIGHT}, {{2, 15}, HTLEFT},     {{20, 2}, HTTOP},
        {{36, 15}, HTRIGHT},   {{20, 29}, HTBOTTOM},      {{40, 15}, HTNOWHERE}, {{20, 30}, HTNOWHERE},
    };
    for (const auto& [pt, hit] : cases)
        EXPECT_EQ(MoveLimitHitTest(client, 4, pt), hit) << pt.x << "," << pt.y;
    // No border: all moves. A border past half the window leaves an inside.
    EXPECT_EQ(MoveLimitHitTest(client, 0, Point{0, 0}), HTCAPTION);
    EXPECT_EQ(MoveLimitHitTest(client, 100, Point{20, 15}), HTCAPTION);
}

TEST(MoveLimit, MovesShiftInAndSizingStopsOnlyTheDraggedEdge)
{
    const Rect limit{0, 0, 200, 100};
    auto clamped = [](Rect r, const Rect& to) {
        ClampToLimit(r, to);
        return r;
    };
    EXPECT_EQ(clamped(Rect{150, 10, 250, 60}, limit), (Rect{100, 10, 200, 60}));
    EXPECT_EQ(clamped(Rect{-20, 0, 230, 50}, limit), (Rect{0, 0, 200, 50}));
    EXPECT_EQ(clamped(Rect{10, 80, 50, 130}, limit), (Rect{10, 50, 50, 100}));
    EXPECT_EQ(clamped(Rect{-20, 0, 230, 50}, Rect{50, 50, 40, 60}), (Rect{-20, 0, 230, 50})); // empty limit

    const Rect start{20, 20, 80, 60};
    EXPECT_EQ(DragRect(start, HTLEFT, -50, 0, limit, 4), (Rect{0, 20, 80, 60}));
    EXPECT_EQ(DragRect(start, HTBOTTOMRIGHT, 500, 500, limit, 4), (Rect{20, 20, 200, 100}));
    // Never below twice the border and one pixel, nor inverted; never grown.
    EXPECT_EQ(DragRect(start, HTRIGHT, -200, 0, limit, 4), (Rect{20, 20, 29, 60}));
    EXPECT_EQ(DragRect(start, HTTOP, 0, 200, limit, 0), (Rect{20, 59, 80, 60}));
    EXPECT_EQ(DragRect(Rect{20, 20, 25, 60}, HTLEFT, 10, 0, limit, 4), (Rect{20, 20, 25, 60}));
}

// Presses at `from` (the window's coordinates) and drags by `by` in steps,
// each event going to the window wherever it then is.
void drag(QWidget& wnd, QPoint from, QPoint by)
{
    QWidget& area = *wnd.parentWidget();
    const QPoint start = wnd.mapTo(&area, from);
    QTest::mousePress(&wnd, Qt::LeftButton, {}, from);
    for (int step = 1; step <= 4; ++step)
        QTest::mouseMove(&wnd, wnd.mapFrom(&area, start + by * step / 4));
    QTest::mouseRelease(&wnd, Qt::LeftButton, {}, wnd.mapFrom(&area, start + by));
}

TEST(SigSrcClipWnd, DragsReportMovesSizesAndOneEnd)
{
    Canvas area(300, 200, ui::rgb(117, 117, 117));
    CSigSrcClipWnd wnd;
    EXPECT_FALSE(wnd.Create(Rect{0, 0, 200, 100}, Rect{20, 20, 80, 60}, nullptr, 1234));
    ASSERT_TRUE(wnd.Create(Rect{0, 0, 200, 100}, Rect{20, 20, 80, 60}, &area, 1234));
    CIOSDWnd osd;
    ASSERT_TRUE(osd.Create(Rect{0, 0, 300, 200}, Rect{50, 120, 110, 150}, &area, 1));
    wnd.frameWidth = osd.frameWidth = 4;
    std::vector<ui::Notify> seen;
    QObject::connect(&wnd, &CSigSrcClipWnd::notify, [&](const ui::Notify& n) { seen.push_back(n); });
    QObject::connect(&osd, &CSigSrcClipWnd::notify, [&](const ui::Notify& n) { seen.push_back(n); });
    auto count = [&](int code) {
        return std::count_if(seen.begin(), seen.end(), [&](auto& n) { return n.code == code; });
    };
    area.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&area));
    EXPECT_TRUE(seen.empty()); // creating reports nothing

    drag(wnd, QPoint(30, 20), QPoint(200, 10)); // the right edge stops on the limit's
    EXPECT_EQ(wnd.geometry(), QRect(140, 30, 60, 40));
    EXPECT_EQ(count(CSigSrcClipWnd::kSized), 0);
    EXPECT_EQ(count(CSigSrcClipWnd::kDragEnded), 1);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen.end()[-2], (ui::Notify{CSigSrcClipWnd::kMoved, 140, 30}));
    EXPECT_EQ(seen.back(), (ui::Notify{CSigSrcClipWnd::kDragEnded}));

    seen.clear();
    drag(wnd, QPoint(30, 20), QPoint(0, 0)); // a click
    EXPECT_TRUE(seen.empty());
    drag(wnd, QPoint(58, 38), QPoint(-20, -10)); // the bottom-right corner
    EXPECT_EQ(wnd.geometry(), QRect(140, 30, 40, 30));
    EXPECT_EQ(seen.end()[-2], (ui::Notify{CSigSrcClipWnd::kSized, 40, 30}));
    EXPECT_EQ(count(CSigSrcClipWnd::kMoved), 0);
    EXPECT_EQ(count(CSigSrcClipWnd::kDragEnded), 1);

    seen.clear(); // the owner moving it reports too
    MoveWindow(wnd, Rect{10, 10, 70, 40});
    EXPECT_EQ(wnd.geometry(), QRect(10, 10, 60, 30));
    EXPECT_EQ(seen, (std::vector<ui::Notify>{{CSigSrcClipWnd::kMoved, 10, 10}, {CSigSrcClipWnd::kSized, 60, 30}}));

    seen.clear();
    wnd.notifyOn = false;
    drag(wnd, QPoint(30, 15), QPoint(5, 5));
    EXPECT_EQ(wnd.pos(), QPoint(15, 15));
    EXPECT_TRUE(seen.empty());

    // The OSD window moves from any edge and is never sized.
    for (const QPoint& edge : {QPoint(1, 1), QPoint(30, 1), QPoint(58, 15), QPoint(58, 28), QPoint(1, 28)})
        drag(osd, edge, QPoint(3, 2));
    EXPECT_EQ(osd.geometry(), QRect(65, 130, 60, 30));
    EXPECT_EQ(count(CSigSrcClipWnd::kSized), 0);
    EXPECT_EQ(count(CSigSrcClipWnd::kDragEnded), 5);
}

TEST(MovableWindows, PaintFrameSourceAreaAndSwatch)
{
    Canvas area(300, 120, ui::rgb(117, 117, 117));
    auto crop = [&](int x, int frameWidth, bool full) {
        auto* w = new CSigSrcClipWnd;
        EXPECT_TRUE(w->Create(Rect{}, Rect{x, 10, x + 60, 50}, &area, 1234));
        w->backColor = ui::rgb(200, 200, 200);
        w->frameColor = ui::rgb(255, 111, 0);
        w->frameWidth = frameWidth;
        w->full = full;
        w->sourceWidth = 20;
        w->sourceHeight = 10;
    };
    crop(10, 4, true);
    crop(80, 4, false);
    crop(150, 1, true);

    // Left half of each 16-pixel row set (white), right half clear (black).
    std::vector<std::uint8_t> bits;
    for (int row = 0; row < 8; ++row)
        bits.insert(bits.end(), {0xFF, 0x00, 0x00, 0x00});
    auto swatch = [&](int x, bool pictureOn) {
        auto* s = new CStaticColorWnd(&area);
        MoveWindow(*s, Rect{x, 60, x + 40, 100});
        s->color = ui::rgb(0, 128, 255);
        s->pictureOn = pictureOn;
        s->pictureSource = Rect{0, 0, 16, 8};
        s->picture = bits;
    };
    swatch(10, false);
    swatch(60, true);
    bits.pop_back();
    swatch(110, true);

    const QImage shot = tavrix::test::screenshot(area);
    EXPECT_EQ(pixelAt(shot, 10 + 1, 30), ui::rgb(255, 111, 0));
    EXPECT_EQ(pixelAt(shot, 10 + 58, 30), ui::rgb(255, 111, 0));
    EXPECT_EQ(pixelAt(shot, 10 + 4, 30), ui::rgb(200, 200, 200));
    EXPECT_EQ(pixelAt(shot, 80 + 10, 10 + 6), ui::rgb(200, 200, 200));
    EXPECT_EQ(pixelAt(shot, 80 + 10, 10 + 20), ui::rgb(150, 0, 20));
    EXPECT_EQ(pixelAt(shot, 150 + 59, 30), ui::rgb(255, 111, 0)); // an odd width shows on every side
    EXPECT_EQ(pixelAt(shot, 150 + 58, 30), ui::rgb(200, 200, 200));

    EXPECT_EQ(pixelAt(shot, 30, 80), ui::rgb(0, 128, 255));
    EXPECT_EQ(pixelAt(shot, 10, 80), ui::rgb(0, 0, 0));
    EXPECT_EQ(pixelAt(shot, 11, 80), ui::rgb(255, 255, 255));
    EXPECT_EQ(pixelAt(shot, 49, 80), ui::rgb(255, 255, 255));
    EXPECT_EQ(pixelAt(shot, 60 + 10, 80), ui::rgb(255, 255, 255));
    EXPECT_EQ(pixelAt(shot, 60 + 30, 80), ui::rgb(0, 0, 0));
    EXPECT_EQ(pixelAt(shot, 110 + 20, 80), ui::rgb(0, 128, 255)); // too short: not drawn
}

} // namespace
