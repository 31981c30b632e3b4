#include <gtest/gtest.h>

#include "builder/window_order.h"
#include "builder/window_record.h"
#include "tests/builder/sender_test_support.h"

using namespace _8PART_NS;

namespace {

std::shared_ptr<CQelProcessor> WatchProcessor()
{
    auto processor = std::make_shared<CQelProcessor>();
    BuildFixtureS(*processor);
    const auto input = processor->GetBoard(1);
    AddTestSource(*processor, input, 101, 3840, 2160);
    AddTestSource(*processor, input, 102, 1, 1);
    const auto output = processor->GetBoard(109);
    AddTestOutputs(*processor, output, {10903});
    return processor;
}

std::shared_ptr<CQelWatchWindow> Watch(int32_t output, int32_t rows, int32_t cols, std::vector<int32_t> cells)
{
    auto watch = std::make_shared<CQelWatchWindow>();
    watch->sigout = output;
    watch->row = rows;
    watch->col = cols;
    watch->cells = std::move(cells);
    return watch;
}

std::vector<int32_t> Layers(const std::vector<WindowRecordPtr>& records)
{
    std::vector<int32_t> layers;
    for (const auto& r : records)
        layers.push_back(r->window->layer);
    return layers;
}

} // namespace

TEST(EightPartWindowRecords, WatchCellsSplitTheirOutput)
{
    SenderContextGuard guard;
    SelectTestProcessor(WatchProcessor());
    auto plan = MakeTestPlan(1, 2);
    plan->SetWatchOutputs({10903, 10901, 10900});
    // 2 x 2 with an empty cell: the others stay consecutive.
    plan->AddWatchWindow(Watch(10903, 2, 2, {101, -1, 102, 999}));
    // Splits below one cell a side (from a file, say) give no cells.
    plan->AddWatchWindow(Watch(10901, 0, 3, {100, 100, 100}));
    // A list shorter than the grid: the missing cells are empty.
    plan->AddWatchWindow(Watch(10900, 1, 3, {100}));

    CPro8PartSender sender(plan.get(), 0);
    sender.CollectBoards();
    sender.CollectWatchCells();
    const auto& cells = sender.WatchCells();
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_EQ(Layers(cells), (std::vector<int32_t>{1, 2, 3, 1}));

    const auto& big = *cells[0];
    EXPECT_EQ(big.rect, (Rect{0, 0, 960, 540}));
    EXPECT_EQ(big.window->rcsigsrc, (Rect{0, 0, 960, 540}));
    EXPECT_FALSE(big.window->scaled);
    EXPECT_EQ(std::tie(big.fixedOutput, big.fixedBoard, big.fixedPort), std::make_tuple(1, 9, 3));
    ASSERT_TRUE(big.source);
    EXPECT_EQ(big.source->GetId(), 101u);
    EXPECT_EQ(big.source->GetResolution(), (Resolution{1920, 1080, 60}));
    EXPECT_EQ(big.window->osd.shown, 1);

    EXPECT_EQ(cells[1]->rect, (Rect{0, 540, 960, 1080}));
    EXPECT_EQ(cells[1]->window->rcsigsrc, (Rect{0, 0, 2, 2}));
    // A source the processor lacks still gets its cell.
    EXPECT_EQ(cells[2]->rect, (Rect{960, 540, 1920, 1080}));
    EXPECT_EQ(cells[2]->window->rcsigsrc, (Rect{0, 0, 960, 540}));
    EXPECT_EQ(cells[2]->source->GetId(), 999u);
    EXPECT_EQ(cells[3]->rect, (Rect{0, 0, 640, 1080}));
    EXPECT_EQ(cells[3]->fixedPort, 0);
}

TEST(EightPartWindowRecords, OsdWindowsJoinAfterTheShownSources)
{
    SenderContextGuard guard;
    SelectTestProcessor(WatchProcessor());
    auto plan = MakeTestPlan(1, 2);
    const auto video = AddTestWindow(*plan, 100, {0, 0, 1000, 1000});
    const auto hiddenOsd = AddTestWindow(*plan, kLogoSigSrc, {10, 10, 20, 20});
    const auto cover = AddTestWindow(*plan, 101, {0, 0, 500, 500});
    const auto osd = AddTestWindow(*plan, kLogoSigSrc, {2000, 100, 2200, 200});
    AddTestWindow(*plan, 555, {0, 0, 10, 10}); // source unknown to the processor
    (void)hiddenOsd;

    CPro8PartSender sender(plan.get(), 0);
    sender.CollectBoards();
    sender.CollectWindows();
    const auto& windows = sender.Windows();
    ASSERT_EQ(windows.size(), 3u);
    EXPECT_EQ(windows[0]->window, video);
    EXPECT_EQ(windows[1]->window, cover);
    EXPECT_EQ(windows[2]->window, osd);
    EXPECT_FALSE(windows[2]->source);
    EXPECT_EQ(windows[2]->rect, (Rect{2000, 100, 2200, 200}));
    EXPECT_EQ(windows[0]->outputs, (std::vector<int32_t>{10900}));
    EXPECT_EQ(windows[0]->source->GetId(), 100u);
}

TEST(EightPartWindowRecords, CopyIsAFreshRecordEveryTime)
{
    tagWindowRecord original;
    original.window = std::make_shared<CQelWindow>();
    original.window->id = 7;
    original.window->rcsigsrc = {2, 4, 6, 8};
    original.window->is4k = 3;
    original.window->osd.shown = 0;
    CQelSigSrc::Values values;
    values.id = 300;
    values.name = "cam";
    values.resolution = {1280, 720, 50};
    original.source = std::make_shared<CQelSigSrc>(values);
    original.rect = {1, 2, 3, 4};
    original.planValue = 5;
    original.outputs = {10900, 10901};
    original.pieceCount = 6;
    original.fixedOutput = 1;
    original.fixedBoard = 9;
    original.fixedPort = 2;
    original.inflate = {1, 1, 1, 1};

    const auto a = CopyFpgaWindow(original);
    const auto b = CopyFpgaWindow(original);
    ASSERT_NE(a, b);
    ASSERT_NE(a->window, original.window);
    ASSERT_NE(a->window, b->window);
    ASSERT_NE(a->source, original.source);
    EXPECT_EQ(a->window->id, 7);
    EXPECT_EQ(a->window->rcsigsrc, (Rect{2, 4, 6, 8}));
    EXPECT_EQ(a->window->is4k, 0);
    EXPECT_EQ(a->window->osd.shown, 1);
    EXPECT_EQ(a->source->GetName(), "cam");
    EXPECT_EQ(a->source->GetResolution(), (Resolution{1280, 720, 50}));
    EXPECT_EQ(a->rect, original.rect);
    EXPECT_EQ(a->outputs, original.outputs);
    EXPECT_EQ(std::tie(a->fixedOutput, a->fixedBoard, a->fixedPort), std::make_tuple(1, 9, 2));
    EXPECT_EQ(a->inflate, original.inflate);
    EXPECT_EQ(a->planValue, 0);
    EXPECT_EQ(a->pieceCount, 0);

    a->window->rcsigsrc = {0, 0, 2, 2};
    EXPECT_EQ(original.window->rcsigsrc, (Rect{2, 4, 6, 8}));
    EXPECT_EQ(b->window->rcsigsrc, (Rect{2, 4, 6, 8}));
}

TEST(EightPartWindowRecords, SubtractLeavesWhatShows)
{
    EXPECT_TRUE(SubtractRects({0, 0, 10, 10}, {{0, 0, 5, 10}, {5, 0, 10, 10}}).empty());
    EXPECT_TRUE(SubtractRects({0, 0, 0, 10}, {}).empty());
    const auto left = SubtractRects({0, 0, 10, 10}, {{2, 2, 8, 8}});
    int64_t area = 0;
    for (const auto& r : left)
        area += RectWidth(r) * RectHeight(r);
    EXPECT_EQ(area, 100 - 36);
}
