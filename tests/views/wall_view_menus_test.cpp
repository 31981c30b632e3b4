// The wall view's context menus as data: what each offers, in order.
#include <gtest/gtest.h>
#include <string>

#include "views/wall_view_menus.h"

namespace {

using namespace wallmenu;

// A menu in one line: ids, "-" for a separator, a check mark after a
// checked id, "text[...]" for a popup and "text!" for a disabled item.
std::string Shape(const ui::MenuSpec& menu)
{
    std::string out;
    for (const ui::MenuSpec& item : menu.items) {
        if (!out.empty())
            out += ' ';
        if (item.separator)
            out += '-';
        else if (!item.items.empty())
            out += item.text.toStdString() + "[" + Shape(item) + "]";
        else if (!item.enabled)
            out += item.text.toStdString() + "!";
        else
            out += std::to_string(item.id) + (item.checked ? "✓" : "");
    }
    return out;
}

WindowMenuState EmptyWall(int32_t model, int32_t obm, int32_t planType)
{
    WindowMenuState s;
    s.model = model;
    s.obm = obm;
    s.planType = planType;
    s.planWindowCount = 1;
    s.sources = {{101, "A"}, {102, "B"}};
    return s;
}

WindowMenuState OnWindowBody(int32_t model)
{
    WindowMenuState s = EmptyWall(model, 0, 0);
    s.onBody = true;
    s.hasClicked = true;
    s.clickedSource = 101;
    return s;
}

TEST(WallViewMenus, EmptyWallOffersOnlyThePlanItems)
{
    EXPECT_EQ(Shape(BuildWindowMenu(EmptyWall(7, 0, 1))), "28 35 41 高级[25 26 - 32 33 34 - 36 - 29 30 31]");
    EXPECT_EQ(Shape(BuildWindowMenu(EmptyWall(7, 1, 1))), "28 35 41 高级[25 - 33 34 - 29 30 31]");
    WindowMenuState model1 = EmptyWall(1, 0, 1);
    model1.fitModule = true;
    model1.autoExecute = true;
    EXPECT_EQ(Shape(BuildWindowMenu(model1)), "25 26 28 - 32 33 34 - 36 - 29✓ 30 31✓ 高级!");
    // Saving to the processor needs a window and a model that stores plans.
    WindowMenuState bare = EmptyWall(2, 0, 0);
    EXPECT_EQ(Shape(BuildWindowMenu(bare)), "25 26 28 - 32 33 34 - 29 30 31 35 高级!");
    bare.planWindowCount = 0;
    EXPECT_EQ(Shape(BuildWindowMenu(bare)), "25 26 28 - 32 33 34 - 29 30 31 高级!");
}

TEST(WallViewMenus, WindowBodyOffersTheWindowItems)
{
    WindowMenuState s = OnWindowBody(1);
    EXPECT_EQ(Shape(BuildWindowMenu(s)), "25 26 - 1 分组[38 - 37] - 窗口选择信号源[501✓ 502] - 28 27 - 2 4 6 5 - 8 9 - "
                                         "层操作[10 11 12 13] - 32 33 34 - 29 30 31 高级!");

    // Groups to bind to, by their place in the plan; a grouped window also
    // switches its group's source. A source whose item would leave its
    // range is not offered there.
    s.groups = {{3, "G3"}, {250, "G250"}};
    s.sources.push_back({9999, "Z"});
    s.clickedGroup = 250;
    s.clickedSource = 102;
    // A locked, full-screen active window: no position dialog, no maximise.
    s.activeLocked = true;
    s.activeFullScreen = true;
    s.model = 6;
    EXPECT_EQ(Shape(BuildWindowMenu(s)),
              "25 26 - 1 分组[绑定分组[20001 20002] 38 - 37] - 窗口选择信号源[501 502✓] "
              "分组选择信号源[10102 10103✓ 20000] - 28 - 3 6 - 8 9 - 层操作[10 11 12 13] - 32 33 34 - 29 30 31 35 "
              "高级!");
}

TEST(WallViewMenus, FourAndEightPartModelsMoveItemsUnderAdvanced)
{
    WindowMenuState s = OnWindowBody(7);
    s.sources = {{102, "B"}, {101, "A"}, {102, "B again"}};
    s.clickedScaled = false;
    EXPECT_EQ(Shape(BuildWindowMenu(s)),
              "信号源切换[501✓ 502] 28 27 - 2 7✓ 35 41 "
              "高级[25 26 - 1 分组[38 - 37] - - 4 6 5 - 8 9 - 层操作[10 11 12 13] - 32 33 34 - 29 30 31]");
    s.clickedScaled = true;
    EXPECT_EQ(BuildWindowMenu(s).find(kPointToPoint)->checked, false);
    EXPECT_EQ(BuildWindowMenu(s).find(kPointToPoint)->text, QStringLiteral("点对点显示"));
}

TEST(WallViewMenus, SelectionOffersAlignSizeAndSnapToTwoOnly)
{
    WindowMenuState s = OnWindowBody(1);
    s.selectionCount = 2;
    const std::string two = Shape(BuildWindowMenu(s));
    EXPECT_EQ(two, "25 26 分组[38 - 37] - 窗口选择信号源[501 502] - 28 - 8 9 对齐方式[14 15 16 17] "
                   "尺寸调整[18 19 20] 吸附[21 22 23 24] - 32 33 34 - 29 30 31 高级!");
    s.selectionCount = 3;
    EXPECT_EQ(BuildWindowMenu(s).find(kSnapLeft), nullptr);
    EXPECT_NE(BuildWindowMenu(s).find(kAlignLeft), nullptr);
    // The logo menu has its three items whatever the state.
    EXPECT_EQ(Shape(BuildLogoMenu()), "39 40 32");
}

TEST(WallViewMenus, WatchSlotLayoutsFollowTheSourceCount)
{
    WatchMenuState s;
    s.sources = {{101, "A"}};
    EXPECT_EQ(Shape(BuildWatchSlotMenu(s)), "201");
    s.sources.push_back({102, "B"});
    EXPECT_EQ(Shape(BuildWatchSlotMenu(s)), "画面布局[2 3] - 201 202");
    for (int32_t id = 103; id <= 108; ++id)
        s.sources.push_back({id, "S"});
    s.hasWatch = true;
    s.rows = 2;
    s.cols = 4;
    s.cellSource = 104;
    EXPECT_EQ(Shape(BuildWatchSlotMenu(s)), "画面布局[2 3 4 5 6✓] - 1 - 201 202 203 204✓ 205 206 207 208");
    EXPECT_EQ(WatchLayoutShape(6).rows, 2);
    EXPECT_EQ(WatchLayoutShape(6).cols, 4);
    EXPECT_EQ(WatchLayoutShape(7).rows, 0);
}

} // namespace
