#include <climits>
#include <gtest/gtest.h>

#include "model/processor.h"
#include "platform/rect_math.h"
#include "tests/views/wall_fixture.h"

namespace {

using GridCell = WallViewCore::GridCell;

TEST(WallGeometry, DirectionsAndAnchorsCoverEveryCode)
{
    const struct {
        int x2, y2, dir;
    } moves[] = {{5, 5, 0}, {5, 1, 1}, {5, 9, 2}, {1, 5, 3}, {9, 5, 4}, {1, 1, 5}, {1, 9, 6}, {9, 9, 7}, {9, 1, 8}};
    for (const auto& m : moves)
        EXPECT_EQ(WallGeometry::MoveDirection(5, 5, m.x2, m.y2), m.dir) << m.x2 << "," << m.y2;

    auto window = std::make_shared<CQelWindow>();
    window->rect = Rect{-5, 10, 100, 41};
    const Point anchors[] = {{-1, -1}, {47, 10}, {47, 41},  {-5, 25},  {100, 25},
                             {-5, 10}, {-5, 41}, {100, 41}, {100, 10}, {-1, -1}};
    for (int code = 0; code <= 9; ++code)
        EXPECT_EQ(WallGeometry::GetAnchorPoint(WallViewCore::Direction(code), window), anchors[code])
            << "code " << code;
    EXPECT_EQ(WallGeometry::GetAnchorPoint(WallViewCore::kDirRight, nullptr), (Point{-1, -1}));
}

TEST(WallGeometry, SnapsNearACellEdgeOnlyWhenMovingTowardsIt)
{
    WallFixture f;
    CoreProbe core;
    core.SetPlan(f.plan);
    auto window = AddTestWindow(*f.plan, 100, {500, 100, 940, 400});
    core.m_pActiveWnd = window;

    const Point anchor = WallGeometry::GetAnchorPoint(WallViewCore::kDirRight, window);
    core.editing().m_nSnapCode = core.geometry().SnapToCell(WallViewCore::kDirRight, anchor, core.editing().m_rcSnap);
    EXPECT_EQ(core.editing().m_nSnapCode, 9);
    EXPECT_EQ(core.editing().m_rcSnap, (Rect{0, 0, 960, 540}));
    core.geometry().SnapMovedWindow();
    EXPECT_EQ(window->rect, (Rect{520, 100, 960, 400}));
    EXPECT_EQ(window->rectView, core.geometry().WallToViewRect(window->rect));
    window->rect = Rect{500, 100, 940, 400};
    core.geometry().SnapResizedWindow();
    EXPECT_EQ(window->rect, (Rect{500, 100, 960, 400}));

    const struct {
        int dir;
        Point p;
        int code;
    } cases[] = {
        {3, anchor, 0},                             // moving away from the edge
        {4, {480, 270}, 0},                         // the middle of the sub-cell
        {4, {-1, 270}, 0},                          // left of the wall
        {7, {1900, 1070}, 13},                      // the bottom-right corner
        {5, {1925, 1085}, 10},                      // the next screen's top-left corner
        {2, {2500, 2150}, 7},                       // a bottom edge
        {1, {2500, 2150}, 0},  {4, {3840, 100}, 0}, // right of the wall
    };
    for (const auto& c : cases) {
        Rect cell;
        EXPECT_EQ(core.geometry().SnapToCell(WallViewCore::Direction(c.dir), c.p, cell), c.code)
            << c.p.x << "," << c.p.y;
        EXPECT_EQ(RectEmpty(cell), c.code == 0);
    }
}

TEST(WallGeometry, UniformSnapBandFollowsTheWallAreaWidth)
{
    WallFixture f;
    CoreProbe core;
    core.geometry().SetReferenceLineStyleProvider([] { return 0; });
    core.SetPlan(MakeTestPlan(1, 2, kPlanSizedGrid));
    for (auto [width, band] : {std::pair{1920, 19}, {400, 5}, {4000, 30}}) {
        core.geometry().m_rcWallArea = Rect{0, 0, width, 100};
        Rect cell;
        EXPECT_EQ(core.geometry().SnapToUniformGrid(WallViewCore::kDirRight, {1920 - band, 540}, cell), 9) << width;
        EXPECT_EQ(cell, (Rect{0, 0, 1920, 1080}));
        EXPECT_EQ(core.geometry().SnapToCell(WallViewCore::kDirRight, {1920 - band - 1, 540}, cell), 0) << width;
    }
}

TEST(WallGeometry, PlansWithoutCellsSnapAndMaximiseNothing)
{
    WallFixture f;
    AddTestSource(*f.processor, 100, 1920, 1080);
    const auto undivided = [](CQelPlan& p) { p.SetCellSplit(0, -1); };
    const auto noRows = [](CQelPlan& p) { p.SetGrid(0, 2); };
    const auto noPixels = [](CQelPlan& p) { p.SetResolution({0, 0, 60}); };
    const auto noModules = [](CQelPlan& p) {
        p.SetType(kPlanSizedGrid);
        p.SetGrid(0, 0);
        p.SetRowHeights({1080, 1080});
        p.SetColumnWidths({1920});
    };
    for (auto damage : {+undivided, +noRows, +noPixels, +noModules}) {
        auto plan = std::shared_ptr<CQelPlan>(MakeTestPlan(2, 2, kPlanUniform));
        plan->SetCellSplit(2, 2);
        damage(*plan);
        CoreProbe core;
        core.SetPlan(plan);
        core.geometry().m_rcWallArea = Rect{0, 0, 1000, 600};
        auto window = AddTestWindow(*plan, 100, {100, 100, 1900, 1060});
        core.m_pActiveWnd = window;
        Rect cell;
        const int code = core.geometry().SnapToCell(WallViewCore::kDirRight, {1900, 500}, cell);
        core.geometry().MaximizeInCell();
        core.geometry().SplitWindow(window);
        if (plan->GetCellRows() == 0) {
            // Undivided screens are whole cells.
            EXPECT_EQ(code, 9);
            EXPECT_EQ(cell, (Rect{0, 0, 1920, 1080}));
            EXPECT_EQ(window->rect, (Rect{0, 0, 1920, 1080}));
            continue;
        }
        EXPECT_EQ(code, 0);
        EXPECT_EQ(cell, Rect{});
        EXPECT_EQ(window->rect, (Rect{100, 100, 1900, 1060}));
        EXPECT_EQ(plan->GetWindowCount(), 1);
    }
    // The row heights alone still bound the cells of a plan without modules.
    CoreProbe core;
    auto plan = std::shared_ptr<CQelPlan>(MakeTestPlan(1, 1, kPlanSizedGrid));
    noModules(*plan);
    core.SetPlan(plan);
    EXPECT_EQ(core.geometry().GetRowBoundaries(), (std::vector<int>{1080, 2160}));
    // An empty wall area snaps nothing.
    core.SetPlan(f.plan);
    core.geometry().m_rcWallArea = Rect{};
    Rect cell;
    EXPECT_EQ(core.geometry().SnapToCell(WallViewCore::kDirRight, {940, 250}, cell), 0);
}

TEST(WallGeometry, MaximiseFillsTheCellsAWindowOverlaps)
{
    WallFixture f;
    CoreProbe core;
    core.SetPlan(f.plan);
    const struct {
        Rect rect;
        Rect expected;
        bool fullscreen;
        int32_t status;
    } cases[] = {
        {{960, 540, 1000, 600}, {960, 540, 1920, 1080}, false, 0},
        {{960, 540, 1920, 1080}, {960, 540, 1920, 1080}, false, 0}, // touching counts for nothing
        {{1000, 10, 2000, 20}, {960, 0, 2880, 540}, false, 0},
        {{900, 500, 2940, 1660}, {900, 500, 2940, 1660}, true, 0},
        {{960, 540, 1000, 600}, {960, 540, 1000, 600}, false, 1}, // locked
    };
    for (const auto& c : cases) {
        auto window = AddTestWindow(*f.plan, 100, c.rect);
        window->status = c.status;
        core.m_pActiveWnd = window;
        core.geometry().MaximizeInCell();
        EXPECT_EQ(window->rect, c.expected) << c.rect.left << "," << c.rect.top;
        EXPECT_EQ(window->fullscreen, c.fullscreen);
        core.geometry().SetWindowFullScreen(true, window);
        EXPECT_EQ(window->fullscreen, c.status == 0);
    }
}

TEST(WallGeometry, GridBoundariesJoinModulesAndSizes)
{
    WallFixture f;
    CoreProbe core;
    auto plan = std::shared_ptr<CQelPlan>(MakeTestPlan(2, 1, kPlanSizedGrid));
    plan->SetRowHeights({1000, 1160});
    int style = 0;
    core.geometry().SetReferenceLineStyleProvider([&] { return style; });
    core.SetPlan(plan);
    EXPECT_EQ(core.geometry().GetRowBoundaries(), (std::vector<int>{0, 1000, 1080, 2160}));
    EXPECT_EQ(core.geometry().GetColumnBoundaries(), (std::vector<int>{0, 1920}));
    auto window = AddTestWindow(*plan, 100, {10, 10, 20, 20});
    core.m_pActiveWnd = window;
    core.geometry().MaximizeInCell();
    EXPECT_EQ(window->rect, (Rect{0, 0, 1920, 1000}));
    // The style is read at each use.
    style = 3;
    EXPECT_EQ(core.geometry().GetColumnBoundaries(), (std::vector<int>{0, 640, 1280, 1920}));

    CoreProbe unstyled;
    unstyled.SetPlan(MakeTestPlan(1, 2, kPlanSizedGrid));
    EXPECT_EQ(unstyled.geometry().GetColumnBoundaries(), (std::vector<int>{0, 960, 1920, 2880, 3840}));
    // Lists shorter than the grid: what they hold.
    auto shortLists = std::shared_ptr<CQelPlan>(MakeTestPlan(1, 3, kPlanSizedGrid));
    shortLists->SetColumnWidths({1000});
    unstyled.SetPlan(shortLists);
    EXPECT_EQ(unstyled.geometry().GetColumnBoundaries(), (std::vector<int>{0, 166, 332, 498, 664, 830, 996, 1000}));
}

TEST(WallGeometry, FullScreenOnModelOneMovesTheOnlyFullScreenWindowToTheBottom)
{
    for (int32_t model : {1, 3}) {
        WallFixture f;
        f.processor->SetKind(model);
        CoreProbe core;
        core.SetPlan(f.plan);
        auto first = AddTestWindow(*f.plan, 100, {0, 0, 960, 540});
        auto second = AddTestWindow(*f.plan, 100, {0, 0, 960, 540});
        auto third = AddTestWindow(*f.plan, 100, {0, 0, 960, 540});
        first->fullscreen = true;
        const int invalidations = core.invalidations;
        core.geometry().SetWindowFullScreen(true, third);
        EXPECT_TRUE(third->fullscreen);
        EXPECT_EQ(first->fullscreen, model != 1);
        const auto expected =
            model == 1 ? CQelPlan::WindowList{third, first, second} : CQelPlan::WindowList{first, second, third};
        EXPECT_EQ(f.plan->GetWindows(), expected) << "model " << model;
        for (int32_t i = 0; i < 3; ++i)
            EXPECT_EQ(f.plan->GetWindowAt(i)->layer, i + 1);
        EXPECT_EQ(third->rect, (Rect{0, 0, 960, 540}));
        EXPECT_GT(core.invalidations, invalidations);
    }
}

TEST(WallGeometry, SplitSharesTheCropAmongTheOutputs)
{
    WallFixture f;
    AddTestSource(*f.processor, 100, 1920, 1080);
    CoreProbe core;
    core.m_bAutoExecute = true;
    core.SetPlan(f.plan);
    auto window = AddTestWindow(*f.plan, 100, {960, 540, 2880, 1620});
    core.m_pActiveWnd = window;
    core.m_vecSelection = {window};
    f.plan->AddHistory(kActNewWindow);
    core.geometry().SplitWindow(window);

    const Rect crops[] = {{0, 0, 960, 540}, {960, 0, 1920, 540}, {0, 540, 960, 1080}, {960, 540, 1920, 1080}};
    ASSERT_EQ(f.plan->GetWindowCount(), 4);
    for (int32_t i = 0; i < 4; ++i) {
        const auto piece = f.plan->GetWindowAt(i);
        EXPECT_EQ(piece->rcsigsrc, crops[i]) << i;
        EXPECT_EQ(piece->rcsigsrcinner, crops[i]) << i;
        EXPECT_EQ(piece->szsigsrcfull, (Size{1920, 1080}));
        EXPECT_EQ(piece->sigsrc, 100);
    }
    std::vector<int32_t> kinds;
    for (int32_t i = 0; i < f.plan->GetHistoryCount(); ++i)
        kinds.push_back(f.plan->GetHistoryAt(i)->GetKind());
    EXPECT_EQ(kinds, (std::vector<int32_t>{kActNewWindow, 5, 3, 3, 3, 3}));
    EXPECT_EQ(core.m_pActiveWnd, f.plan->GetWindowAt(0));
    EXPECT_EQ(f.plan->GetSelectedWindow(), f.plan->GetWindowAt(0));
    EXPECT_TRUE(core.m_vecSelection.empty());
    EXPECT_EQ(core.executed, (std::vector<std::pair<int, int>>{{0, 1}}));

    // Windows over one output, or without their source, stay whole.
    for (auto [source, rect] : {std::pair{100, Rect{0, 0, 1920, 1080}}, {300, Rect{960, 540, 2880, 1620}}}) {
        auto whole = AddTestWindow(*f.plan, source, rect);
        core.geometry().SplitWindow(whole);
        EXPECT_EQ(f.plan->GetWindows().back(), whole);
        EXPECT_EQ(f.plan->GetWindowCount(), 5);
        f.plan->RemoveWindow(whole);
    }
}

TEST(WallGeometry, SplitLowersOddCropEdgesButEndsOnTheCropsEdge)
{
    WallFixture f;
    auto wall = f.processor->GetWall();
    wall.cells = {{{0, 0}, 101}, {{0, 1}, 102}};
    f.processor->SetWall(wall);
    AddTestSource(*f.processor, 100, 1360, 768);
    auto plan = std::shared_ptr<CQelPlan>(MakeTestPlan(1, 2, kPlanUniform));
    CoreProbe core;
    core.SetPlan(plan);
    core.geometry().SplitWindow(AddTestWindow(*plan, 100, {960, 0, 2880, 1080}));
    ASSERT_EQ(plan->GetWindowCount(), 2);
    EXPECT_EQ(plan->GetWindowAt(0)->rcsigsrc, (Rect{0, 0, 678, 768}));
    EXPECT_EQ(plan->GetWindowAt(1)->rcsigsrc, (Rect{678, 0, 1360, 768}));
    EXPECT_EQ(plan->GetWindowAt(1)->rect, (Rect{1920, 0, 2880, 1080}));

    // An odd crop and edges near the int limits stay in range.
    auto far = AddTestWindow(*plan, 100, {INT_MIN, 0, INT_MAX, 1080});
    far->rcsigsrc = Rect{1, 0, INT_MAX, 767};
    core.geometry().SplitWindow(far);
    ASSERT_EQ(plan->GetWindowCount(), 4);
    EXPECT_EQ(plan->GetWindowAt(2)->rcsigsrc.left, 1);
    EXPECT_EQ(plan->GetWindowAt(3)->rcsigsrc, (Rect{960, 0, INT_MAX, 767}));
}

TEST(WallGeometry, GridCellAtFindsTheCellUnderAPoint)
{
    const Rect rect{0, 0, 100, 50};
    EXPECT_EQ(WallGeometry::GridCellAt(2, 4, rect, {99, 49}), (GridCell{1, 3}));
    EXPECT_EQ(WallGeometry::GridCellAt(2, 4, rect, {0, 0}), (GridCell{0, 0}));
    EXPECT_EQ(WallGeometry::GridCellAt(3, 3, rect, {99, 49}), (GridCell{2, 2})); // last row reaches the edge
    EXPECT_EQ(WallGeometry::GridCellAt(2, 4, rect, {100, 10}), GridCell{});
    EXPECT_EQ(WallGeometry::GridCellAt(0, 4, rect, {10, 10}), GridCell{});
    EXPECT_EQ(WallGeometry::GridCellAt(2, -1, rect, {10, 10}), GridCell{});
    EXPECT_EQ(WallGeometry::GridCellAt(200, 1, rect, {10, 49}), (GridCell{199, 0})); // steps of 0
}

} // namespace
