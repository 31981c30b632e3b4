#include "uikit/splitter_rules.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

const Rect kClient{0, 0, 400, 300};

SplitterSettings settings(double ratio, int orientation = 0, int margin = 0)
{
    SplitterSettings s;
    s.ratio = ratio;
    s.orientation = orientation;
    s.margin = margin;
    return s;
}

TEST(SplitterRules, BarFollowsTheRatioAndPanesFillEitherSide)
{
    const struct {
        Rect client;
        SplitterSettings s;
        Rect bar, first, second;
    } cases[] = {
        {kClient, settings(0.5), {198, 0, 202, 300}, {0, 0, 198, 300}, {202, 0, 400, 300}},
        {{0, 0, 800, 300}, settings(0.25), {198, 0, 202, 300}, {0, 0, 198, 300}, {202, 0, 800, 300}},
        // A bar reaching 5000 down is centred, whatever the ratio.
        {{0, 0, 400, 5000}, settings(0.25), {198, 0, 202, 5000}, {0, 0, 198, 5000}, {202, 0, 400, 5000}},
        {kClient, settings(0.25, 1, 3), {0, 73, 400, 77}, {3, 3, 397, 73}, {3, 77, 397, 297}},
        {{0, 0, 400, 5000}, settings(0.9999, 1), {0, 2498, 400, 2502}, {0, 0, 400, 2498}, {0, 2502, 400, 5000}},
        // Ratios outside 0..1 push the bar out of the client: centred.
        {kClient, settings(-1), {198, 0, 202, 300}, {0, 0, 198, 300}, {202, 0, 400, 300}},
        {kClient, settings(2), {198, 0, 202, 300}, {0, 0, 198, 300}, {202, 0, 400, 300}},
        // Too small for the margin: the panes are empty, never inverted.
        {{0, 0, 6, 6}, settings(0.5, 0, 10), {1, 0, 5, 6}, {10, 10, 10, 10}, {5, 10, 5, 10}},
    };
    for (const auto& c : cases) {
        const Rect bar = SplitterBar(c.client, c.s);
        const SplitterPanes panes = SplitterPaneRects(c.client, bar, c.s);
        EXPECT_EQ(bar, c.bar) << c.client.bottom << " " << c.s.ratio;
        EXPECT_EQ(panes.first, c.first) << c.client.bottom << " " << c.s.ratio;
        EXPECT_EQ(panes.second, c.second) << c.client.bottom << " " << c.s.ratio;
    }

    for (double ratio :
         {-1e300, 1e300, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        const Rect bar = SplitterBar(kClient, settings(ratio, 1));
        EXPECT_TRUE(bar.top >= 0 && bar.bottom <= 300 && bar.top < bar.bottom) << ratio;
    }
}

TEST(SplitterRules, DragKeepsBothPanesAboveTheirMinimums)
{
    const Rect bar{198, 0, 202, 300};
    SplitterSettings s = settings(0.5);
    // {mouse x, new left or -1 when the move is ignored}
    const int cases[][2] = {{20, -1}, {21, 21}, {98, 98}, {198, -1}, {375, 375}, {376, -1}, {-50, -1}};
    for (const auto& c : cases) {
        const auto moved = SplitterDragTo(kClient, bar, Point{c[0], 150}, s);
        EXPECT_EQ(moved.value_or(Rect{-1}), (c[1] < 0 ? Rect{-1} : Rect{c[1], 0, c[1] + 4, 300})) << c[0];
    }
    s.firstMin = 0; // not kept; the point stays in the client
    EXPECT_EQ(SplitterDragTo(kClient, bar, Point{-50, 150}, s), (Rect{0, 0, 4, 300}));
    s.firstMin = 20;
    s.margin = 10; // counts against the first pane
    EXPECT_FALSE(SplitterDragTo(kClient, bar, Point{30, 150}, s));
    EXPECT_TRUE(SplitterDragTo(kClient, bar, Point{31, 150}, s));
    EXPECT_EQ(SplitterDragTo(kClient, Rect{0, 148, 400, 152}, Point{5, 100}, settings(0.5, 1)),
              (Rect{0, 100, 400, 104}));

    // Dropped at 98: its centre is 100 of 400.
    EXPECT_DOUBLE_EQ(SplitterRatioAt(kClient, Rect{98, 0, 102, 300}, s), 0.25);
    EXPECT_DOUBLE_EQ(SplitterRatioAt(kClient, Rect{98, 0, 103, 300}, s), 0.25);
    EXPECT_DOUBLE_EQ(SplitterRatioAt(Rect{}, Rect{98, 0, 102, 300}, s), 0.5);
}

} // namespace
