#include <gtest/gtest.h>

#include "plan_test_support.h"

#include "context/context.h"
#include "model/processor.h"
#include "model/processor_manager.h"

namespace {

std::shared_ptr<CQelPlan> Plan(int32_t rows, int32_t cols, std::vector<int32_t> rh = {}, std::vector<int32_t> cw = {})
{
    auto plan = std::make_shared<CQelPlan>();
    plan->SetGrid(rows, cols);
    plan->SetResolution({1920, 1080, 60});
    if (!rh.empty() || !cw.empty()) {
        plan->SetType(kPlanSizedGrid);
        plan->SetRowHeights(rh);
        plan->SetColumnWidths(cw);
    }
    return plan;
}

class PlanGeometry : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestProcessor p;
        p.cells = {{{0, 0}, 10903}, {{0, 1}, 10902}, {{1, 0}, 10901}, {{1, 1}, 10900}};
        p.sources = {{1, {1920, 1080, 60}}, {2, {0, 0, 60}}};
        SelectProcessor(p);
    }
    void TearDown() override { ReleaseContext(); }
};

} // namespace

TEST_F(PlanGeometry, PixelSizeAndFullScreenWindow)
{
    auto plan = Plan(2, 3);
    plan->SetMargin({10, 20, 30, 40});
    EXPECT_EQ(plan->GetPixelSize(), (Size{5760, 2160}));
    auto w = MakeWindow({1, 2, 3, 4});
    EXPECT_EQ(plan->GetWindowRect(w), (Rect{1, 2, 3, 4}));
    w->fullscreen = true;
    EXPECT_EQ(plan->GetWindowRect(w), (Rect{10, 20, 5730, 2120}));
    EXPECT_EQ(plan->GetWindowRect(nullptr), Rect{});

    // Type 1: the sums of the lists, margins ignored.
    auto sized = Plan(2, 3, {1080, 540}, {1920, 1280, 100});
    sized->SetMargin({10, 20, 30, 40});
    EXPECT_EQ(sized->GetWindowRect(w), (Rect{0, 0, 3300, 1620}));
}

TEST_F(PlanGeometry, OutputRectComesFromTheProcessorsWall)
{
    auto plan = Plan(2, 2);
    EXPECT_EQ(plan->GetOutputRect(10900, SelectedWallPlacement()), (Rect{1920, 1080, 3840, 2160}));
    EXPECT_EQ(plan->GetOutputRect(12345, SelectedWallPlacement()), Rect{});
    EXPECT_EQ(Plan(1, 2)->GetOutputRect(10900, SelectedWallPlacement()), Rect{}); // outside the grid

    auto sized = Plan(2, 2, {1080, 720}, {1920, 1280});
    EXPECT_EQ(sized->GetOutputRect(10900, SelectedWallPlacement()), (Rect{1920, 1080, 3200, 1800}));
    sized->SetRowHeights({1080}); // shorter than the grid
    EXPECT_EQ(sized->GetOutputRect(10902, SelectedWallPlacement()), (Rect{1920, 0, 3200, 1080}));
    EXPECT_EQ(sized->GetOutputRect(10900, SelectedWallPlacement()), Rect{});

    // A wall changed in place is read again.
    const auto processor = CQelContext::GetProMan()->FindById(1);
    CQelProcessor::Wall wall = processor->GetWall();
    wall.cells = {{{0, 0}, 10900}};
    processor->SetWall(wall);
    EXPECT_EQ(plan->GetOutputRect(10900, SelectedWallPlacement()), (Rect{0, 0, 1920, 1080}));

    DeselectProcessor();
    EXPECT_EQ(plan->GetOutputRect(10900, SelectedWallPlacement()), Rect{});
}

TEST_F(PlanGeometry, WindowOutputsAreListedRowByRow)
{
    auto plan = Plan(2, 2);
    auto w = MakeWindow({960, 540, 2880, 1620});
    EXPECT_EQ(plan->GetWindowOutputs(w, SelectedWallPlacement()), (std::vector<int32_t>{10903, 10902, 10901, 10900}));
    // Right and bottom edges lie outside: touching a screen is not meeting it.
    EXPECT_EQ(plan->GetWindowOutputs(MakeWindow({0, 0, 1920, 1080}), SelectedWallPlacement()),
              (std::vector<int32_t>{10903}));
    EXPECT_EQ(plan->IntersectWindowRect(w, {0, 0, 1920, 1080}), (Rect{960, 540, 1920, 1080}));
    EXPECT_EQ(plan->IntersectWindowRect(w, {0, 0, 960, 540}), Rect{});
    EXPECT_TRUE(plan->GetWindowOutputs(MakeWindow({100, 100, 100, 900}), SelectedWallPlacement()).empty());

    auto sized = Plan(2, 2, {1080}, {1920, 1280}); // second row not listed
    EXPECT_EQ(sized->GetWindowOutputs(MakeWindow({100, 100, 2000, 1200}), SelectedWallPlacement()),
              (std::vector<int32_t>{10903, 10902}));

    // Counts from a damaged file are not walked cell by cell.
    auto vast = Plan(INT32_MAX, INT32_MAX);
    EXPECT_EQ(vast->GetWindowOutputs(MakeWindow({-5000, -5000, INT32_MAX, 2000}), SelectedWallPlacement()),
              (std::vector<int32_t>{10903, 10902, 10901, 10900}));

    TestProcessor p;
    p.cells = {{{0, 0}, 10903}, {{1, 1}, 10900}};
    SelectProcessor(p);
    EXPECT_EQ(plan->GetWindowOutputs(w, SelectedWallPlacement()), (std::vector<int32_t>{10903, 10900}));
    DeselectProcessor();
    EXPECT_TRUE(plan->GetWindowOutputs(w, SelectedWallPlacement()).empty());
}

TEST_F(PlanGeometry, SplitCellsMoveOddEdgesRight)
{
    TestProcessor p;
    p.width = 1366;
    p.height = 768;
    SelectProcessor(p);
    CQelWatchWindow ww;
    CellGrid::Reset(ww, 3, 4);
    EXPECT_EQ(ww.cells, std::vector<int32_t>(12, -1));
    EXPECT_EQ(SplitCellRect(ww, 0, 0, SelectedWallPlacement()), (Rect{0, 0, 342, 256}));
    EXPECT_EQ(SplitCellRect(ww, 0, 1, SelectedWallPlacement()), (Rect{342, 0, 684, 256}));
    EXPECT_EQ(SplitCellRect(ww, 1, 2, SelectedWallPlacement()), (Rect{684, 256, 1026, 512}));
    EXPECT_EQ(SplitCellRect(ww, 2, 3, SelectedWallPlacement()), (Rect{1026, 512, 1366, 768}));
    EXPECT_EQ(SplitCellRect(ww, 3, 0, SelectedWallPlacement()), Rect{});
    EXPECT_EQ(SplitCellRect(ww, 0, -1, SelectedWallPlacement()), Rect{});
    EXPECT_EQ(IntListAt(ww, 12), -1);
    EXPECT_EQ(IntListAt(ww, -1), -1);

    ww.maxRow = 1;
    ww.maxCol = 2;
    EXPECT_EQ(SplitCellRect(ww, 1, 2, SelectedWallPlacement()), (Rect{0, 0, 1366, 768}));
    EXPECT_EQ(SplitCellRect(ww, 0, 0, SelectedWallPlacement()), Rect{});

    CQelWatchWindow none;
    CellGrid::Reset(none, 0, 4);
    EXPECT_EQ(SplitCellRect(none, 0, 0, SelectedWallPlacement()), Rect{});
    CellGrid::Reset(none, 100000, 100000);
    EXPECT_EQ(none.row, 0);
    EXPECT_TRUE(none.cells.empty());
    none.row = 1;
    none.col = INT32_MAX;                                                                  // as a file may set it
    EXPECT_EQ(SplitCellRect(none, 0, 100, SelectedWallPlacement()), (Rect{0, 0, 0, 768})); // cells 0 wide
    DeselectProcessor();
    EXPECT_EQ(SplitCellRect(ww, 1, 2, SelectedWallPlacement()), Rect{});
}

TEST_F(PlanGeometry, SourceCheckComparesWindowWithCrop)
{
    auto plan = Plan(2, 2);
    EXPECT_EQ(plan->CheckWindowSource(MakeWindow({0, 0, 1920, 1080})), 0);
    EXPECT_EQ(plan->CheckWindowSource(MakeWindow({0, 0, 1921, 1081})), 1);
    EXPECT_EQ(plan->CheckWindowSource(MakeWindow({0, 0, 3840, 1080})), -1);
    auto cropped = MakeWindow({0, 0, 960, 540});
    cropped->rcsigsrc = {100, 100, 1060, 640};
    EXPECT_EQ(plan->CheckWindowSource(cropped), 0);
    EXPECT_EQ(plan->CheckWindowSource(MakeWindow({0, 0, 10, 10}, 99)), 0); // no source
    auto foreign = MakeWindow({0, 0, 10, 10});
    foreign->processor = 5;
    EXPECT_EQ(plan->CheckWindowSource(foreign), 0);
}

TEST_F(PlanGeometry, SourceCropRecomputedOnlyForACroppedWindow)
{
    auto plan = Plan(2, 2);
    auto w = MakeWindow({0, 0, 1366, 768});
    w->rcsigsrc = {480, 270, 1440, 810};
    plan->CheckWindowSourceCrop(w);
    // 1920 * 10000 / 1366 = 14055, * 1366 / 10000 = 1919; likewise 1079.
    EXPECT_EQ(w->szsigsrcfull, (Size{1919, 1079}));
    // The top comes from the crop's top, as the left from its left.
    EXPECT_EQ(w->rcsigsrcinner, (Rect{479, 269, 479 + 1366, 269 + 768}));

    auto unchanged = [&](const Rect& rect, int32_t source, const Rect& crop) {
        auto win = MakeWindow(rect, source);
        win->rcsigsrc = crop;
        win->szsigsrcfull = {7, 8};
        plan->CheckWindowSourceCrop(win);
        return win->szsigsrcfull == Size{7, 8} && win->rcsigsrcinner == Rect{};
    };
    EXPECT_TRUE(unchanged({0, 0, 1366, 768}, 1, {}));            // no crop
    EXPECT_TRUE(unchanged({0, 0, 1366, 768}, 99, {0, 0, 9, 9})); // no source
    EXPECT_TRUE(unchanged({0, 0, 1366, 768}, 2, {0, 0, 9, 9}));  // 0 x 0 source
    EXPECT_TRUE(unchanged({5, 5, 5, 900}, 1, {0, 0, 9, 9}));     // zero width
    EXPECT_TRUE(unchanged({900, 5, 5, 900}, 1, {0, 0, 9, 9}));   // negative width
}
