#include "uikit/ui_splitter.h"
#include "uikit/ui_static.h"
#include "platform/ui/rect_convert.h"
#include "tests/support/ui/screenshot.h"
#include "tests/support/ui/ui_test.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

using tavrix::test::pixelAt;

constexpr ui::ColorRef kBar = ui::rgb(200, 0, 0);
constexpr ui::ColorRef kFrame = ui::rgb(0, 0, 200);
constexpr ui::ColorRef kFirst = ui::rgb(0, 160, 0);
constexpr ui::ColorRef kHolder = ui::rgb(30, 30, 30);

QWidget* solid(QWidget* w, ui::ColorRef colour)
{
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, ui::toQColor(colour));
    w->setPalette(pal);
    return w;
}

// A 400 x 300 splitter over a dark holder, with two coloured panes.
struct Fixture {
    explicit Fixture(bool panes = true)
    {
        solid(&holder, kHolder)->resize(400, 300);
        s.SetColours(kBar, kFrame);
        if (panes)
            s.SetPanes(first = solid(new QWidget(&s), kFirst), second = new QWidget(&s));
        s.resize(400, 300);
        holder.show();
    }
    QWidget holder;
    CUiSplitter& s = *new CUiSplitter(&holder);
    QPointer<QWidget> first;
    QPointer<QWidget> second;
};

TEST(UiSplitter, PanesMoveOnceTheBarIsDropped)
{
    Fixture f;
    EXPECT_EQ(f.second->geometry(), QRect(202, 0, 198, 300));
    QTest::mousePress(&f.s, Qt::LeftButton, Qt::NoModifier, QPoint(200, 150));
    QTest::mouseMove(&f.s, QPoint(98, 150));
    EXPECT_EQ(f.s.TrackingBars(), (std::vector<Rect>{{98, 0, 102, 300}}));
    // Only the tracking bar has moved: drawn over the first pane.
    EXPECT_EQ(f.first->geometry(), QRect(0, 0, 198, 300));
    const QImage tracking = tavrix::test::screenshot(f.s);
    EXPECT_EQ(pixelAt(tracking, 97, 150), kFirst);
    EXPECT_NE(pixelAt(tracking, 98, 150) == kFirst, pixelAt(tracking, 99, 150) == kFirst);
    EXPECT_EQ(pixelAt(tracking, 200, 150), kBar);

    QTest::mouseRelease(&f.s, Qt::LeftButton, Qt::NoModifier, QPoint(98, 150));
    EXPECT_TRUE(f.s.TrackingBars().empty());
    EXPECT_DOUBLE_EQ(f.s.Settings().ratio, 0.25);
    EXPECT_EQ(f.s.Bar(), (Rect{98, 0, 102, 300}));
    EXPECT_EQ(f.second->geometry(), QRect(102, 0, 298, 300));
    f.s.resize(800, 300);
    EXPECT_EQ(f.second->geometry(), QRect(202, 0, 598, 300));

    // The tracking bar toggles: drawn twice, it is gone.
    f.s.DragBar(Rect{10, 0, 14, 300});
    f.s.DragBar(Rect{10, 0, 14, 300});
    EXPECT_TRUE(f.s.TrackingBars().empty());

    // A pane its owner deletes counts as unset: nothing moves any more.
    delete f.second;
    f.s.resize(400, 300);
    EXPECT_EQ(f.first->geometry(), QRect(0, 0, 198, 300));
}

TEST(UiSplitter, CursorShowsTheWayTheBarMoves)
{
    Fixture f;
    auto shapeAt = [&](QPoint pos) {
        tavrix::test::hoverAt(f.s, pos);
        return f.s.cursor().shape();
    };
    EXPECT_EQ(shapeAt(QPoint(199, 150)), Qt::SizeHorCursor);
    EXPECT_EQ(shapeAt(QPoint(1, 150)), Qt::ArrowCursor);
    f.s.Settings().orientation = 1;
    f.s.Layout();
    EXPECT_EQ(shapeAt(QPoint(100, 149)), Qt::SizeVerCursor);
    QTest::mouseClick(&f.s, Qt::LeftButton, Qt::NoModifier, QPoint(100, 149));
    EXPECT_EQ(f.s.cursor().shape(), Qt::ArrowCursor);
}

TEST(UiSplitter, PaintsOnlyTheBarWithoutAMargin)
{
    // Without panes nothing is laid out: no bar to paint or drag.
    Fixture bare(false);
    QTest::mousePress(&bare.s, Qt::LeftButton, Qt::NoModifier, QPoint(200, 150));
    EXPECT_FALSE(bare.s.IsDragging());
    EXPECT_EQ(pixelAt(tavrix::test::screenshot(bare.holder), 200, 150), kHolder);

    Fixture f;
    f.s.Settings().margin = 2;
    f.s.Layout();
    const QImage framed = tavrix::test::screenshot(f.holder);
    // {x, y, colour}: frames, margin bands, the bar between its frames.
    const std::tuple<int, int, ui::ColorRef> samples[] = {{0, 150, kFrame},   {1, 150, kBar},     {2, 150, kFirst},
                                                          {100, 1, kBar},     {198, 150, kFrame}, {199, 150, kBar},
                                                          {201, 150, kFrame}, {399, 150, kFrame}};
    for (const auto& [x, y, colour] : samples)
        EXPECT_EQ(pixelAt(framed, x, y), colour) << x << "," << y;
    f.s.Settings().margin = 0;
    f.s.Layout();
    const QImage plain = tavrix::test::screenshot(f.holder);
    EXPECT_EQ(pixelAt(plain, 0, 150), kFirst);
    EXPECT_EQ(pixelAt(plain, 198, 150), kBar);
}

TEST(UiStatic, PaintsItsColoursAndDeletesWhatItOwns)
{
    struct Counted {
        int& n;
        ~Counted() { ++n; }
    };
    int deletions = 0;
    {
        CUiStatic heading("计划列表计划列表");
        heading.resize(160, 24);
        heading.SetBkColor(ui::rgb(80, 80, 80));
        heading.SetTextColor(ui::rgb(255, 255, 255));
        heading.SetOwnedObject(std::make_unique<Counted>(deletions));
        heading.SetOwnedObject(std::make_unique<Counted>(deletions)); // the first goes now
        EXPECT_EQ(deletions, 1);
        const QImage shot = tavrix::test::screenshot(heading);
        EXPECT_EQ(pixelAt(shot, 159, 23), ui::rgb(80, 80, 80));
        int light = 0; // smoothed strokes are near white
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                light += qGray(shot.pixel(x, y)) > 200;
        EXPECT_GT(light, 20);
    }
    EXPECT_EQ(deletions, 2);
}

} // namespace
