#include <gtest/gtest.h>

#include "apply_test_support.h"
#include "builder/led_builder.h"
#include "corlane/app_path.h"
#include "corlane/xdatetime.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"

namespace {

// Model 4: input board 1 without scalers, output board 10 with four and
// outputs 1004 above 1005 on the wall, 1006 beside it as a watch monitor;
// source 100 on board 1.
struct LedFixture : ApplyFixture {
    LedFixture(int32_t outputScalers = 4) : ApplyFixture(4)
    {
        AddBoard(1, 2, 0);
        AddBoard(10, 21, outputScalers);
        AddSource(100, 1);
        AddOutput(1004);
        AddOutput(1005);
        AddOutput(1006);
        SetWall({{{0, 0}, 1004}, {{1, 0}, 1005}});
    }
};

// What the plan of WatchedPlan queues: the two pieces' scalers merged, the
// watch cell scaled by the next scaler.
const std::vector<std::string> kWatchedLayout = Crlf({
    "INPUT_FPGA CLEAR_SCALER_USE 0",
    "INPUT_FPGA SCALER_SETUP 0 0 1 1920 1080 0 1919 0 1079 1920 2160",
    "INPUT_FPGA SCALER_SETUP 0 1 1 1920 1080 0 1919 0 1079 960 1080",
    "INPUT_FPGA SET_WINDOWS_LAYOUT 0 0 1920 1080",
    "INPUT_FPGA ADD_WINDOWS 4 1 0 0 1920 1080 0 0 1920 1080",
    "INPUT_FPGA ADD_WINDOWS_END",
    "INPUT_FPGA SET_WINDOWS_LAYOUT 0 1 1920 1080",
    "INPUT_FPGA ADD_WINDOWS 4 1 0 1080 1920 2160 0 0 1920 1080",
    "INPUT_FPGA ADD_WINDOWS_END",
    "INPUT_FPGA SET_WINDOWS_LAYOUT 0 2 1920 1080",
    "INPUT_FPGA ADD_WINDOWS 5 1 0 0 960 1080 0 0 960 1080",
    "INPUT_FPGA ADD_WINDOWS_END",
    "INPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY",
});

std::shared_ptr<CQelWatchWindow> Watch(int32_t output, int32_t rows, int32_t cols, std::vector<int32_t> cells)
{
    auto watch = std::make_shared<CQelWatchWindow>();
    watch->processor = 1;
    watch->sigout = output;
    watch->row = rows;
    watch->col = cols;
    watch->cells = std::move(cells);
    return watch;
}

// The plan of the usual fixture: a window over both screens and a 1 x 2
// watch grid on 1006.
std::shared_ptr<CQelPlan> WatchedPlan(std::shared_ptr<CQelWindow>& window)
{
    auto plan = MakePlan(2, 1);
    plan->SetWatchOutputs({1006});
    plan->AddWatchWindow(Watch(1006, 1, 2, {100, -1}));
    window = AddWindow(*plan, {0, 0, 1920, 2160});
    return plan;
}

} // namespace

TEST(LedWall, ScaledWindowAndWatchGrid)
{
    LedFixture f;
    std::shared_ptr<CQelWindow> window;
    auto plan = WatchedPlan(window);
    {
        CProLEDBuilder builder(plan.get(), CProLEDBuilder::kMaxScalerWidth, CProLEDBuilder::kMaxScalerHeight);
        builder.Build();
        EXPECT_EQ(builder.GetBoardParam(10), 3); // the two pieces' scalers merged
        EXPECT_TRUE(builder.IsWindowRealized(window->id));
    }
    ASSERT_TRUE(plan->Apply(0, nullptr));
    EXPECT_EQ(f.recorder.Lines(), kWatchedLayout);
    plan->PlaceWindows();
    EXPECT_TRUE(window->resourceOk);
    const std::string log = ReadLog("ProLED");
    EXPECT_EQ(log.rfind("-----------------------------------\r\nINPUT_FPGA CLEAR_SCALER_USE 0\r\n", 0), 0u);
    EXPECT_TRUE(f.processor->settings().IsStatusPollEnabled());

    // A switch plan has no path on this model.
    f.recorder.Clear();
    auto switchPlan = MakePlan(2, 1, kPlanSwitch);
    switchPlan->SetSwitch(1004, 100);
    EXPECT_FALSE(switchPlan->Apply(0, nullptr));
    EXPECT_TRUE(f.recorder.Pushes().empty());
}

TEST(LedWall, UnscaledWindowGoesByPiece)
{
    LedFixture f;
    std::shared_ptr<CQelWindow> window;
    auto plan = WatchedPlan(window);
    window->scaled = false;
    ASSERT_TRUE(plan->Apply(0, nullptr));
    EXPECT_EQ(f.recorder.Lines(), Crlf({
                                      "INPUT_FPGA CLEAR_SCALER_USE 0",
                                      "INPUT_FPGA SCALER_SETUP 0 0 1 1920 1080 0 1919 0 1079 960 1080",
                                      "INPUT_FPGA SET_WINDOWS_LAYOUT 0 0 1920 1080",
                                      "INPUT_FPGA ADD_WINDOWS 1 1 0 0 1920 1080 0 0 1920 1080",
                                      "INPUT_FPGA ADD_WINDOWS_END",
                                      "INPUT_FPGA CLEAR_OUTPUT_WINDOW 0 1",
                                      "INPUT_FPGA SET_WINDOWS_LAYOUT 0 2 1920 1080",
                                      "INPUT_FPGA ADD_WINDOWS 4 1 0 0 960 1080 0 0 960 1080",
                                      "INPUT_FPGA ADD_WINDOWS_END",
                                      "INPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY",
                                  }));
    plan->PlaceWindows();
    EXPECT_FALSE(window->resourceOk);
}

TEST(LedWall, GroupedSourcesTakeTheirGroupSourcesFrame)
{
    LedFixture f;
    f.AddBoard(3, 2, 0);
    f.AddSource(302, 3, 640, 360, 8, {100, 50});
    f.AddSource(303, 3, 640, 360, 8, {0, 360});
    f.AddSource(304, 3, 1920, 1080, 1);
    auto plan = MakePlan(2, 1);
    AddWindow(*plan, {0, 0, 1920, 1080}, 302);
    AddWindow(*plan, {0, 1080, 640, 1440}, 303);
    const auto windows = Crlf({
        "INPUT_FPGA SET_WINDOWS_LAYOUT 0 0 1920 1080",
        "INPUT_FPGA ADD_WINDOWS 4 1 0 0 1920 1080 0 0 1920 1080",
        "INPUT_FPGA ADD_WINDOWS_END",
        "INPUT_FPGA SET_WINDOWS_LAYOUT 0 1 1920 1080",
        "INPUT_FPGA ADD_WINDOWS 0 1 0 360 640 720 0 0 640 360", // every type-8 source is fed from port 0
        "INPUT_FPGA ADD_WINDOWS_END",
        "INPUT_FPGA CLEAR_OUTPUT_WINDOW 0 2",
        "INPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY",
    });
    ASSERT_TRUE(plan->Apply(0, nullptr));
    auto expected =
        Crlf({"INPUT_FPGA CLEAR_SCALER_USE 0", "INPUT_FPGA SCALER_SETUP 0 0 0 1920 1080 100 739 50 409 1920 1080"});
    expected.insert(expected.end(), windows.begin(), windows.end());
    EXPECT_EQ(f.recorder.Lines(), expected);

    // Without its group source the scaler line goes; the rest stays.
    f.recorder.Clear();
    f.processor->RemoveSigSrc(304);
    ASSERT_TRUE(plan->Apply(0, nullptr));
    expected = Crlf({"INPUT_FPGA CLEAR_SCALER_USE 0"});
    expected.insert(expected.end(), windows.begin(), windows.end());
    EXPECT_EQ(f.recorder.Lines(), expected);
}

TEST(LedWall, WatchCellsTakeScalersOnlyWhenTheyMustAndCanScale)
{
    LedFixture f;
    f.AddSource(101, 1, 960, 540);
    auto plan = MakePlan(2, 1);
    // 1005 is listed without a watch window; the short cell list reads -1
    // past its end; a source that does not exist leaves its cell empty.
    plan->SetWatchOutputs({1005, 1006, 1004});
    plan->AddWatchWindow(Watch(1006, 2, 2, {100, 101, 555}));
    plan->AddWatchWindow(Watch(1004, 0, 3, {100}));
    ASSERT_TRUE(plan->Apply(0, nullptr));
    EXPECT_EQ(f.recorder.Lines(), Crlf({
                                      "INPUT_FPGA CLEAR_SCALER_USE 0",
                                      "INPUT_FPGA SCALER_SETUP 0 0 1 1920 1080 0 1919 0 1079 960 540",
                                      "INPUT_FPGA CLEAR_OUTPUT_WINDOW 0 0",
                                      "INPUT_FPGA CLEAR_OUTPUT_WINDOW 0 1",
                                      "INPUT_FPGA SET_WINDOWS_LAYOUT 0 2 1920 1080",
                                      "INPUT_FPGA ADD_WINDOWS 4 1 0 0 960 540 0 0 960 540",
                                      "INPUT_FPGA ADD_WINDOWS 1 2 0 0 960 540 960 0 1920 540",
                                      "INPUT_FPGA ADD_WINDOWS_END",
                                      "INPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY",
                                  }));
}

// Without scalers a cell shows its source unscaled, cut to its size.
TEST(LedWall, WatchCellsWithoutScalersAreCutToTheirSource)
{
    LedFixture none(0);
    none.AddSource(102, 1, 640, 480);
    auto second = MakePlan(2, 1);
    second->SetWatchOutputs({1006});
    second->AddWatchWindow(Watch(1006, 1, 2, {100, 102}));
    ASSERT_TRUE(second->Apply(0, nullptr));
    const auto lines = none.recorder.Lines();
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[3], "INPUT_FPGA SET_WINDOWS_LAYOUT 0 2 1920 1080\r\n");
    EXPECT_EQ(lines[4], "INPUT_FPGA ADD_WINDOWS 1 1 0 0 960 1080 0 0 960 1080\r\n");
    EXPECT_EQ(lines[5], "INPUT_FPGA ADD_WINDOWS 1 2 0 0 640 480 960 0 1600 480\r\n");
}

// On a plan of sized rows and columns, a piece ending at the right edge of a
// screen narrower than the output is read and shown two columns wider.
TEST(LedWall, RightEdgePiecesAreWidenedByTwo)
{
    LedFixture f;
    f.AddSource(101, 1, 1910, 1080);
    f.SetWall({{{0, 0}, 1004}, {{0, 1}, 1005}});
    auto plan = MakePlan(1, 2, kPlanSizedGrid, 1910, 1080);
    plan->SetRowHeights({1080});
    plan->SetColumnWidths({1910, 1910});
    auto window = AddWindow(*plan, {0, 0, 3820, 1080}, 101);
    ASSERT_TRUE(plan->Apply(0, nullptr));
    EXPECT_EQ(f.recorder.Lines(), Crlf({
                                      "INPUT_FPGA CLEAR_SCALER_USE 0",
                                      "INPUT_FPGA SCALER_SETUP 0 0 1 1910 1080 0 956 0 1079 1912 1080",
                                      "INPUT_FPGA SCALER_SETUP 0 1 1 1910 1080 955 1909 0 1079 1910 1080",
                                      "INPUT_FPGA SET_WINDOWS_LAYOUT 0 0 1910 1080",
                                      "INPUT_FPGA ADD_WINDOWS 4 1 0 0 1912 1080 0 0 1912 1080",
                                      "INPUT_FPGA ADD_WINDOWS_END",
                                      "INPUT_FPGA SET_WINDOWS_LAYOUT 0 1 1910 1080",
                                      "INPUT_FPGA ADD_WINDOWS 4 1 1910 0 1912 1080 0 0 2 1080",
                                      "INPUT_FPGA ADD_WINDOWS 5 2 0 0 1910 1080 0 0 1910 1080",
                                      "INPUT_FPGA ADD_WINDOWS_END",
                                      "INPUT_FPGA CLEAR_OUTPUT_WINDOW 0 2",
                                      "INPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY",
                                  }));

    // Unscaled, the marked piece is widened in the output pass alone.
    f.recorder.Clear();
    window->scaled = false;
    ASSERT_TRUE(plan->Apply(0, nullptr));
    const auto lines = f.recorder.Lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[2], "INPUT_FPGA ADD_WINDOWS 1 1 0 0 1912 1080 0 0 1912 1080\r\n");

    // The same screens on a uniform plan mark nothing.
    f.recorder.Clear();
    window->scaled = true;
    plan->SetType(kPlanUniform);
    ASSERT_TRUE(plan->Apply(0, nullptr));
    ASSERT_GE(f.recorder.Lines().size(), 2u);
    EXPECT_EQ(f.recorder.Lines()[1], "INPUT_FPGA SCALER_SETUP 0 0 1 1910 1080 0 954 0 1079 1910 1080\r\n");
}

TEST(LedWall, WithoutOutputBoardsOnlyTheSeparatorIsLogged)
{
    ApplyFixture f(4);
    f.AddBoard(1, 2, 0);
    f.AddSource(100, 1);
    auto plan = MakePlan(1, 1);
    AddWindow(*plan, {0, 0, 1920, 1080});
    ASSERT_TRUE(plan->Apply(0, nullptr));
    EXPECT_TRUE(f.recorder.Pushes().empty());
    EXPECT_EQ(ReadLog("ProLED"), "-----------------------------------\r\n");
}

TEST(LedWall, PresetStoreSelectsEachSourcesInputPort)
{
    LedFixture f;
    auto source = f.processor->GetSigSrc(100);
    source->SetType(CQelSigSrc::kTypeVgaDvi);
    source->AddChild(1, 0, "DVI", {1280, 720, 60}, 1);
    source->AddChild(2, 0, "VGA", {1920, 1080, 60}, 2);
    ASSERT_TRUE(source->SelectChild(2));
    std::shared_ptr<CQelWindow> window;
    auto plan = WatchedPlan(window);

    ASSERT_TRUE(plan->SaveToProcessor(3, nullptr));
    auto expected = Crlf({"INPUT_FPGA SET_KEY_MODE 3", "BOARD ADV7604_SELECT_INPUT_PORT 1 2"});
    expected.insert(expected.end(), kWatchedLayout.begin(), kWatchedLayout.end());
    expected.push_back("INPUT_FPGA SET_KEY_MODE 0\r\n");
    EXPECT_EQ(f.recorder.Lines(), expected);
    EXPECT_TRUE(f.processor->settings().IsStatusPollEnabled());

    // A four-way decoder names its channel; a source without its child is
    // passed over.
    f.AddBoard(2, 2, 0);
    auto video = f.AddSource(200, 2, 1920, 1080, CQelSigSrc::kTypeVideo4);
    video->AddChild(7, 0, "CH3", {720, 576, 50}, 3);
    video->SelectChild(7);
    auto orphan = f.AddSource(201, 2, 1920, 1080, CQelSigSrc::kTypeVgaDvi);
    AddWindow(*plan, {0, 0, 100, 100}, 201);
    AddWindow(*plan, {0, 100, 100, 200}, 200);
    f.recorder.Clear();
    ASSERT_TRUE(plan->SaveToProcessor(5, nullptr));
    auto more = f.recorder.Lines();
    more.resize(std::min<size_t>(more.size(), 4));
    EXPECT_EQ(more, Crlf({"INPUT_FPGA SET_KEY_MODE 5", "BOARD ADV7604_SELECT_INPUT_PORT 1 2",
                          "BOARD SET_INPUT_VIDEO_SWITCH 2 3", "INPUT_FPGA CLEAR_SCALER_USE 0"}));
    (void)orphan;

    // A refused line fails the store; the status poll comes back on.
    FillQueue(*f.processor);
    EXPECT_FALSE(plan->SaveToProcessor(3, nullptr));
    EXPECT_FALSE(plan->Apply(0, nullptr));
    EXPECT_TRUE(f.processor->settings().IsStatusPollEnabled());
}

TEST(LedWall, UnwritableLogLosesOnlyLogLines)
{
    LedFixture f;
    std::shared_ptr<CQelWindow> window;
    auto plan = WatchedPlan(window);
    // A file where today's log folder should be.
    const std::string today = qz::vok::xdatetime::get_curdatetime().get_date().tostr();
    std::filesystem::create_directories(qz::vok::path::GetLogPath());
    std::ofstream(qz::vok::path::GetLogPath() + "/" + today) << "x";
    ASSERT_TRUE(plan->Apply(0, nullptr));
    EXPECT_EQ(f.recorder.Lines(), kWatchedLayout);
    EXPECT_EQ(ReadLog("ProLED"), "");
}
