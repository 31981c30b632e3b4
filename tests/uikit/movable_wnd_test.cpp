#include "uikit/movable_wnd.h"
#include "uikit/move_limit.h"
#include "uikit/static_color_wnd.h"
#include "uikit/window_helpers.h"
#include "tests/support/ui/canvas.h"
#include "tests/support/ui/screenshot.h"

#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace {

using tavrix::test::pixelAt;

TEST(MoveLimitHitTest, CornersBeforeSidesAndTheInsideMoves)
{
    const Rect client{0, 0, 40, 30};
    struct Case {
        Point pt;
        ui::HitTest hit;
    };
    const Case cases[] = {
        {{20, 15}, ui::HTCAPTION},     {{4, 4}, ui::HTCAPTION},         {{35, 25}, ui::HTCAPTION},
        {{2, 2}, ui::HTTOPLEFT},       {{3, 3}, ui::HTTOPLEFT},         {{2, 27}, ui::HTBOTTOMLEFT},
        {{37, 2}, ui::HTTOPRIGHT},     {{37, 27}, ui::HTBOTTOMRIGHT},   {{2, 15}, ui::HTLEFT},
        {{20, 2}, ui::HTTOP},          {{36, 15}, ui::HTRIGHT},         {{20, 29}, ui::HTBOTTOM},
        {{40, 15}, ui::HTNOWHERE},     {{20, 30}, ui::HTNOWHERE},       {{-1, 15}, ui::HTNOWHERE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MoveLimitHitTest(client, 4, c.pt), c.hit) << c.pt.x << "," << c.pt.y;

    // No border: all moves. A border past half the window is narrowed so
    // that an inside remains.
    EXPECT_EQ(MoveLimitHitTest(client, 0, Point{0, 0}), ui::HTCAPTION);
    EXPECT_EQ(MoveLimitHitTest(client, -3, Point{39, 29}), ui::HTCAPTION);
    EXPECT_EQ(MoveLimitHitTest(client, 100, Point{20, 15}), ui::HTCAPTION);
    EXPECT_EQ(MoveLimitHitTest(client, 100, Point{0, 0}), ui::HTTOPLEFT);
    EXPECT_EQ(MoveLimitHitTest(Rect{0, 0, 1, 1}, 4, Point{0, 0}), ui::HTCAPTION);
}

TEST(MoveLimit, MovesAreCutToTheLimitThenShiftedIn)
{
    const Rect limit{0, 0, 200, 100};
    struct Case {
        Rect proposed, expected;
    };
    const Case cases[] = {
        {{150, 10, 250, 60}, {100, 10, 200, 60}},
        {{-20, 0, 230, 50}, {0, 0, 200, 50}},
        {{10, -5, 50, 40}, {10, 0, 50, 45}},
        {{10, 80, 50, 130}, {10, 50, 50, 100}},
        {{-50, -50, 400, 300}, {0, 0, 200, 100}}, // larger than the limit
        {{20, 20, 40, 40}, {20, 20, 40, 40}},
    };
    for (const Case& c : cases) {
        Rect r = c.proposed;
        ClampToLimit(r, limit);
        EXPECT_EQ(r, c.expected) << c.proposed.left << "," << c.proposed.top;
    }
    Rect free{-20, 0, 230, 50};
    ClampToLimit(free, Rect{});
    EXPECT_EQ(free, (Rect{-20, 0, 230, 50})); // an empty limit limits nothing
    ClampToLimit(free, Rect{50, 50, 40, 60});
    EXPECT_EQ(free, (Rect{-20, 0, 230, 50}));
}

TEST(MoveLimit, SizingStopsTheDraggedEdgeOnly)
{
    const Rect limit{0, 0, 200, 100};
    const Rect start{20, 20, 80, 60};
    // Past the left edge of the limit: the right edge stays where it was.
    EXPECT_EQ(DragRect(start, ui::HTLEFT, -50, 0, limit, 4), (Rect{0, 20, 80, 60}));
    EXPECT_EQ(DragRect(start, ui::HTBOTTOMRIGHT, 500, 500, limit, 4), (Rect{20, 20, 200, 100}));
    EXPECT_EQ(DragRect(start, ui::HTTOPRIGHT, 10, -5, limit, 4), (Rect{20, 15, 90, 60}));
    // Never below twice the border and one pixel, nor inverted.
    EXPECT_EQ(DragRect(start, ui::HTRIGHT, -200, 0, limit, 4), (Rect{20, 20, 29, 60}));
    EXPECT_EQ(DragRect(start, ui::HTTOP, 0, 200, limit, 0), (Rect{20, 59, 80, 60}));
    EXPECT_EQ(DragRect(Rect{20, 20, 25, 60}, ui::HTLEFT, 10, 0, limit, 4), (Rect{20, 20, 25, 60}));
    // Moves go through the limit clamp.
    EXPECT_EQ(DragRect(start, ui::HTCAPTION, 300, 0, limit, 4), (Rect{140, 20, 200, 60}));
    EXPECT_EQ(DragRect(start, ui::HTNOWHERE, 30, 30, limit, 4), start);
}

class Recorder {
public:
    explicit Recorder(CSigSrcClipWnd& wnd)
    {
        QObject::connect(&wnd, &CSigSrcClipWnd::notify, [this](const ui::Notify& n) { seen.push_back(n); });
    }
    int count(int code) const
    {
        int n = 0;
        for (const ui::Notify& x : seen)
            n += x.code == code;
        return n;
    }
    std::vector<ui::Notify> seen;
};

// A preview area with one window in it, shown so the mouse reaches it.
struct Preview {
    Canvas area{300, 200, ui::rgb(117, 117, 117)};
    void show()
    {
        area.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&area));
    }
    // Presses at `from` (the window's coordinates) and drags by `by` in
    // steps; each event goes to the window where the mouse then is over it.
    void drag(QWidget& wnd, QPoint from, QPoint by)
    {
        const QPoint start = wnd.mapTo(&area, from);
        QTest::mousePress(&wnd, Qt::LeftButton, {}, from);
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(&wnd, wnd.mapFrom(&area, start + by * step / 4));
        QTest::mouseRelease(&wnd, Qt::LeftButton, {}, wnd.mapFrom(&area, start + by));
    }
};

TEST(SigSrcClipWnd, DragsReportMovesSizesAndOneEnd)
{
    Preview preview;
    CSigSrcClipWnd wnd;
    EXPECT_FALSE(wnd.Create(Rect{0, 0, 200, 100}, Rect{20, 20, 80, 60}, nullptr, 1234));
    EXPECT_FALSE(wnd.isVisible());
    Recorder rec(wnd);
    ASSERT_TRUE(wnd.Create(Rect{0, 0, 200, 100}, Rect{20, 20, 80, 60}, &preview.area, 1234));
    wnd.frameWidth = 4;
    preview.show();
    EXPECT_TRUE(rec.seen.empty()); // creating reports nothing

    preview.drag(wnd, QPoint(30, 20), QPoint(200, 10)); // the right edge stops on the limit's
    EXPECT_EQ(wnd.geometry(), QRect(140, 30, 60, 40));
    ASSERT_GE(rec.count(CSigSrcClipWnd::kMoved), 1);
    EXPECT_EQ(rec.count(CSigSrcClipWnd::kSized), 0);
    EXPECT_EQ(rec.seen.back(), (ui::Notify{CSigSrcClipWnd::kDragEnded}));
    EXPECT_EQ(rec.seen.end()[-2], (ui::Notify{CSigSrcClipWnd::kMoved, 140, 30}));
    EXPECT_EQ(rec.count(CSigSrcClipWnd::kDragEnded), 1);
    EXPECT_FALSE(wnd.InMove());

    rec.seen.clear(); // a click without movement
    preview.drag(wnd, QPoint(30, 20), QPoint(0, 0));
    EXPECT_TRUE(rec.seen.empty());

    preview.drag(wnd, QPoint(58, 38), QPoint(-20, -10)); // the bottom-right corner
    EXPECT_EQ(wnd.geometry(), QRect(140, 30, 40, 30));
    EXPECT_EQ(rec.seen.end()[-2], (ui::Notify{CSigSrcClipWnd::kSized, 40, 30}));
    EXPECT_EQ(rec.count(CSigSrcClipWnd::kMoved), 0);
    EXPECT_EQ(rec.count(CSigSrcClipWnd::kDragEnded), 1);

    rec.seen.clear(); // the owner moving it reports too
    MoveWindow(wnd, Rect{10, 10, 70, 40});
    EXPECT_EQ(rec.seen, (std::vector<ui::Notify>{{CSigSrcClipWnd::kMoved, 10, 10}, {CSigSrcClipWnd::kSized, 60, 30}}));

    rec.seen.clear();
    wnd.notifyOn = false;
    preview.drag(wnd, QPoint(30, 15), QPoint(5, 5));
    EXPECT_EQ(wnd.pos(), QPoint(15, 15));
    EXPECT_TRUE(rec.seen.empty());
}

TEST(IOSDWnd, EveryEdgeMovesItWithoutSizing)
{
    Preview preview;
    CIOSDWnd wnd;
    ASSERT_TRUE(wnd.Create(Rect{0, 0, 300, 200}, Rect{50, 50, 110, 80}, &preview.area, 1));
    wnd.frameWidth = 4;
    Recorder rec(wnd);
    preview.show();
    const QPoint edges[] = {{1, 1}, {30, 1}, {58, 15}, {58, 28}, {1, 28}};
    for (const QPoint& edge : edges)
        preview.drag(wnd, edge, QPoint(3, 2));
    EXPECT_EQ(wnd.geometry(), QRect(65, 60, 60, 30));
    EXPECT_EQ(rec.count(CSigSrcClipWnd::kSized), 0);
    EXPECT_EQ(rec.count(CSigSrcClipWnd::kDragEnded), 5);
}

TEST(MovableWindows, PaintFrameSourceAreaAndSwatch)
{
    Canvas area(300, 120, ui::rgb(117, 117, 117));
    auto crop = [&](const Rect& r) {
        auto* w = new CSigSrcClipWnd;
        EXPECT_TRUE(w->Create(Rect{}, r, &area, 1234));
        w->backColor = ui::rgb(200, 200, 200);
        w->frameColor = ui::rgb(255, 111, 0);
        w->frameWidth = 4;
        return w;
    };
    crop(Rect{10, 10, 70, 50});
    CSigSrcClipWnd* partial = crop(Rect{80, 10, 140, 50});
    partial->full = false;
    partial->sourceWidth = 20;
    partial->sourceHeight = 10;
    CSigSrcClipWnd* thin = crop(Rect{150, 10, 210, 50});
    thin->frameWidth = 1;

    auto swatch = [&](const Rect& r) {
        auto* s = new CStaticColorWnd(&area);
        MoveWindow(*s, r);
        s->color = ui::rgb(0, 128, 255);
        return s;
    };
    swatch(Rect{10, 60, 50, 100});
    // Left half of each 16-pixel row set (white), right half clear (black).
    std::vector<std::uint8_t> bits;
    for (int row = 0; row < 8; ++row)
        bits.insert(bits.end(), {0xFF, 0x00, 0x00, 0x00});
    CStaticColorWnd* picture = swatch(Rect{60, 60, 100, 100});
    picture->pictureOn = true;
    picture->pictureSource = Rect{0, 0, 16, 8};
    picture->picture = bits;
    CStaticColorWnd* shortPicture = swatch(Rect{110, 60, 150, 100});
    shortPicture->pictureOn = true;
    shortPicture->pictureSource = Rect{0, 0, 16, 8};
    shortPicture->picture.assign(bits.begin(), bits.end() - 1);

    const QImage shot = tavrix::test::screenshot(area);
    EXPECT_EQ(pixelAt(shot, 10 + 1, 30), ui::rgb(255, 111, 0));
    EXPECT_EQ(pixelAt(shot, 10 + 58, 30), ui::rgb(255, 111, 0));
    EXPECT_EQ(pixelAt(shot, 10 + 4, 30), ui::rgb(200, 200, 200));
    EXPECT_EQ(pixelAt(shot, 40, 30), ui::rgb(200, 200, 200));
    EXPECT_EQ(pixelAt(shot, 80 + 10, 10 + 6), ui::rgb(200, 200, 200));
    EXPECT_EQ(pixelAt(shot, 80 + 10, 10 + 20), ui::rgb(150, 0, 20));
    EXPECT_EQ(pixelAt(shot, 80 + 40, 10 + 6), ui::rgb(150, 0, 20));
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

TEST(WindowHelpers, PointTestExcludesRightAndBottomAndMoveSetsGeometry)
{
    const Rect r{10, 10, 20, 20};
    EXPECT_TRUE(PtInRectHelper(r, 10, 10));
    EXPECT_TRUE(PtInRectHelper(r, 19, 19));
    EXPECT_FALSE(PtInRectHelper(r, 20, 15));
    EXPECT_FALSE(PtInRectHelper(r, 15, 20));
    EXPECT_FALSE(PtInRectHelper(r, 9, 15));

    QWidget parent;
    QWidget child(&parent);
    EXPECT_EQ(GetParent(child), &parent);
    EXPECT_EQ(GetParent(parent), nullptr);
    MoveWindow(child, Rect{5, 6, 45, 26});
    EXPECT_EQ(child.geometry(), QRect(5, 6, 40, 20));
}

} // namespace
