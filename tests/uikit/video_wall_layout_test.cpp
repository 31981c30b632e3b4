#include "uikit/video_wall_layout.h"

#include <gtest/gtest.h>

namespace {

using Edges = std::vector<int32_t>;

WallSource source(int32_t kind, Size output = {1920, 1080})
{
    return WallSource{kind, output, {{10100, "O1"}}};
}

// A 4 x 1 wall whose last row is seven times as high as the others.
WallGrid tallLastRow()
{
    WallGrid grid;
    grid.rows = 4;
    grid.cols = 1;
    grid.rowHeights = {100, 100, 100, 700};
    grid.colWidths = {1920};
    return grid;
}

TEST(WallLayout, SizesComeFromTheListsOnlyOnKindsWithCellSizes)
{
    const WallGrid grid = tallLastRow();
    EXPECT_EQ(WallRowHeight(grid, source(4), 3), 700);
    EXPECT_EQ(WallRowHeight(grid, source(4), 4), 1080); // past the list: the output's
    EXPECT_EQ(WallTotalHeight(grid, source(4)), 1000);
    EXPECT_EQ(WallRowHeight(grid, source(5), 3), 1080);
    EXPECT_EQ(WallTotalHeight(grid, source(5)), 4320);
}

TEST(WallLayout, SizedEdgesReadShortListsSafelyAndFallBackWithoutTotal)
{
    const Rect client{0, 0, 200, 500};
    WallGrid grid = tallLastRow();
    grid.rowHeights = {200}; // the output's height for the rows past it
    EXPECT_EQ(LayoutWall(client, grid, source(4, {1920, 100}), true).ys, (Edges{0, 200, 300, 400, 500}));

    grid.rowHeights = {0, 0, 0, 0}; // no scale: equal cells
    const WallLayout fallback = LayoutWall(client, grid, source(4, {0, 0}), true);
    EXPECT_FALSE(fallback.sized);
    EXPECT_EQ(fallback.ys, (Edges{0, 125, 250, 375, 500}));

    grid.rowHeights = {-100, 500, 0, 0}; // a negative size is drawn as nothing, never hit
    const WallLayout negative = LayoutWall(client, grid, source(4), true);
    EXPECT_EQ(negative.ys, (Edges{0, 0, 500, 500, 500}));
    EXPECT_EQ(negative.HitTest({10, 0}), (WallCell{1, 0}));
}

TEST(WallLayout, LabelsNameTheOutputOrSayUnassigned)
{
    WallGrid grid = tallLastRow();
    grid.cells = {{{0, 0}, 10100}, {{1, 0}, -1}, {{2, 0}, 999}};
    const ui::ColorRef white = ui::rgb(255, 255, 255);
    const ui::ColorRef red = ui::rgb(255, 0, 0);
    auto label = [&](bool sized, WallCell cell) {
        const WallCellLabel l = WallLabel(grid, source(4), sized, cell);
        return std::pair{l.text, l.colour};
    };
    EXPECT_EQ(label(false, {0, 0}), std::pair(QString("O1 (1920 x 1080)"), white));
    for (const WallCell& empty : {WallCell{1, 0}, WallCell{2, 0}, WallCell{3, 0}}) // -1, unknown, none
        EXPECT_EQ(label(false, empty), std::pair(QString("无信号 (1920 x 1080)"), white));
    EXPECT_EQ(label(true, {3, 0}), std::pair(QString("请选择输出口\r\n(1920 x 700)"), red));
    grid.cells[{3, 0}] = 10100;
    EXPECT_EQ(label(true, {3, 0}), std::pair(QString("O1\r\n(1920 x 700)"), white));
}

} // namespace
