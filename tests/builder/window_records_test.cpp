#include <gtest/gtest.h>

#include "builder/pro8part_sender.h"
#include "builder/window_record.h"
#include "model/osd_record.h"
#include "model/processor.h"
#include "model/sig_src.h"
#include "plan/plan.h"
#include "plan/window.h"
#include "tests/builder/sender_test_support.h"

using namespace _8PART_NS;

namespace {

std::shared_ptr<CQelWatchWindow> Watch(int32_t output, int32_t rows, int32_t cols, std::vector<int32_t> cells)
{
    auto watch = std::make_shared<CQelWatchWindow>();
    watch->sigout = output;
    watch->row = rows;
    watch->col = cols;
    watch->cells = std::move(cells);
    return watch;
}

class WindowRecords : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto processor = std::make_shared<CQelProcessor>();
        BuildFixtureS(*processor);
        AddTestSource(*processor, 101, 3840, 2160);
        AddTestSource(*processor, 102, 1, 1);
        SelectTestProcessor(processor);
        plan = MakeTestPlan(1, 2);
    }

    SenderContextGuard guard;
    std::unique_ptr<CQelPlan> plan;
};

} // namespace

TEST_F(WindowRecords, WatchCellsSplitTheirOutput)
{
    plan->SetWatchOutputs({10903, 10901, 10900});
    // An empty cell uses no serial; a source the processor lacks still
    // gets its cell.
    plan->AddWatchWindow(Watch(10903, 2, 2, {101, -1, 102, 999}));
    // A split below one cell a side (from a file, say) gives no cells.
    plan->AddWatchWindow(Watch(10901, 0, 3, {100, 100, 100}));
    // Cells missing from a short list are empty.
    plan->AddWatchWindow(Watch(10900, 1, 3, {100}));

    CPro8PartSender sender(plan.get(), 0);
    sender.CollectWatchCells();
    const auto& cells = sender.WatchCells();
    ASSERT_EQ(cells.size(), 4u);
    const std::vector<std::tuple<Rect, Rect, int32_t, uint32_t>> expected{
        {{0, 0, 960, 540}, {0, 0, 960, 540}, 1, 101},
        {{0, 540, 960, 1080}, {0, 0, 2, 2}, 2, 102},
        {{960, 540, 1920, 1080}, {0, 0, 960, 540}, 3, 999},
        {{0, 0, 640, 1080}, {0, 0, 640, 1080}, 1, 100}};
    for (size_t i = 0; i < cells.size(); ++i) {
        const auto& c = *cells[i];
        EXPECT_EQ(std::make_tuple(c.rect, c.window->rcsigsrc, c.window->layer, c.source->GetId()), expected[i]) << i;
        EXPECT_FALSE(c.window->scaled);
        EXPECT_EQ(c.source->GetResolution(), (Resolution{1920, 1080, 60}));
    }
    EXPECT_EQ(std::tie(cells[0]->fixedOutput, cells[0]->fixedBoard, cells[0]->fixedPort), std::make_tuple(1, 9, 3));
    EXPECT_EQ(cells[3]->fixedPort, 0);
}

TEST_F(WindowRecords, OsdWindowsFollowTheShownSources)
{
    const auto video = AddTestWindow(*plan, 100, {0, 0, 1000, 1000});
    AddTestWindow(*plan, kLogoSigSrc, {10, 10, 20, 20}); // wholly covered
    const auto cover = AddTestWindow(*plan, 101, {0, 0, 500, 500});
    const auto osd = AddTestWindow(*plan, kLogoSigSrc, {2000, 100, 2200, 200});
    AddTestWindow(*plan, 555, {0, 0, 10, 10}); // source unknown to the processor

    CPro8PartSender sender(plan.get(), 0);
    sender.CollectBoards();
    sender.CollectWindows();
    const auto& windows = sender.Windows();
    ASSERT_EQ(windows.size(), 3u);
    EXPECT_EQ(windows[0]->window, video);
    EXPECT_EQ(windows[0]->outputs, (std::vector<int32_t>{10900}));
    EXPECT_EQ(windows[1]->window, cover);
    EXPECT_EQ(windows[2]->window, osd);
    EXPECT_FALSE(windows[2]->source);
    EXPECT_EQ(windows[2]->rect, (Rect{2000, 100, 2200, 200}));
}

TEST(WindowRecordCopy, IsAFreshRecordEveryTime)
{
    tagWindowRecord original;
    original.window = std::make_shared<CQelWindow>();
    original.window->rcsigsrc = {2, 4, 6, 8};
    original.window->is4k = 3;
    original.window->osd->shown = 0;
    CQelSigSrc::Values values;
    values.id = 300;
    values.resolution = {1280, 720, 50};
    original.source = std::make_shared<CQelSigSrc>(values);
    original.rect = {1, 2, 3, 4};
    original.planValue = 5;
    original.outputs = {10900, 10901};
    original.fixedPort = 2;

    const auto a = CopyFpgaWindow(original);
    const auto b = CopyFpgaWindow(original);
    ASSERT_NE(a->window, b->window);
    ASSERT_NE(a->source, original.source);
    EXPECT_EQ(a->window->rcsigsrc, (Rect{2, 4, 6, 8}));
    EXPECT_EQ(std::tie(a->window->is4k, a->window->osd->shown), std::make_tuple(0, 1));
    EXPECT_EQ(a->source->GetResolution(), (Resolution{1280, 720, 50}));
    EXPECT_EQ(std::tie(a->rect, a->outputs, a->fixedPort, a->planValue),
              std::make_tuple(original.rect, original.outputs, 2, 0));
    a->window->rcsigsrc = {0, 0, 2, 2};
    EXPECT_EQ(original.window->rcsigsrc, (Rect{2, 4, 6, 8}));
    EXPECT_EQ(b->window->rcsigsrc, (Rect{2, 4, 6, 8}));
}

TEST(SigSrcCopy, CopiesNameAndChildrenWithoutTheOwner)
{
    auto processor = std::make_shared<CQelProcessor>();
    CQelSigSrc::Values values;
    values.id = 104;
    values.type = CQelSigSrc::kType4K;
    values.name = "Camera";
    values.resolution = {0, 0, 30};
    auto source = std::make_shared<CQelSigSrc>(values);
    ASSERT_TRUE(source->AddChild(1, 2, "DVI", {1920, 1080, 60}, 7));
    ASSERT_TRUE(processor->AddSigSrc(source, false, false));

    const auto copy = SigSrcCopy(*source);
    ASSERT_NE(copy, source);
    EXPECT_EQ(std::make_tuple(copy->GetId(), copy->GetType(), copy->GetName(), copy->GetResolution()),
              std::make_tuple(104u, CQelSigSrc::kType4K, std::string("Camera"), Resolution{0, 0, 30}));
    ASSERT_EQ(copy->GetChildCount(), 1u);
    EXPECT_EQ(copy->GetChildAt(0)->GetName(), "DVI");
    EXPECT_EQ(copy->GetOwner(), nullptr);
    // Filling the copy leaves the processor's record alone.
    copy->SetResolution(1920, 1080, 30);
    EXPECT_EQ(source->GetResolution(), (Resolution{0, 0, 30}));
}
