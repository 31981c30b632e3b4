// A layout and a switch plan applied to a 32x32 processor on the
// simulator's link reach it line by line, paced, exactly as built.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "comm/net_manager.h"
#include "context/context.h"
#include "layout_32x32_support.h"
#include "model/net_type.h"
#include "model/processor.h"
#include "model/processor_link.h"
#include "model/processor_manager.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "tests/model/link_fixture.h"
#include "tests/support/processor_simulator.h"
#include "tests/support/scoped_setting.h"

using namespace std::chrono_literals;

TEST(Layout32x32Link, LayoutThenSwitchPlanReachTheSimulatorInOrder)
{
    ClearLogs();
    CQelContext::Destroy();
    const ScopedSetting noEchoWaits(g_NetType, uint8_t(0));
    ProcessorSimulator simulator;
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetId(1);
    processor->SetKind(5);
    processor->SetOutputResolution(1920, 1080, 60);
    PointAtLoopback(*processor, simulator.Port());
    CQelContext::GetProMan()->AddProcessor(processor);
    CQelContext::SetSelSigSrc(1, -1);

    AddBoardTo(*processor, 1, 1, 4);
    AddBoardTo(*processor, 101, 21, 4);
    const std::vector<std::shared_ptr<CQelSigSrc>> sources{AddSourceTo(*processor, 100, 1),
                                                           AddSourceTo(*processor, 101, 1, 1280, 720)};

    // Connecting empties the outputs and unjoins the sources: set them after.
    ASSERT_TRUE(processor->Connect());
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!processor->IsConnected() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    ASSERT_TRUE(processor->IsConnected());
    AddOutputTo(*processor, 10100);
    AddOutputTo(*processor, 10101);
    SetWallOf(*processor, {{{0, 0}, 10100}, {{0, 1}, 10101}});
    for (const auto& s : sources)
        s->SetJoined(true);

    auto layout = MakePlan(1, 2);
    AddWindow(*layout, {0, 0, 3840, 1080});
    auto switchPlan = SwitchPlan({{10100, 101}});

    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(layout->Apply(0, nullptr));
    ASSERT_TRUE(switchPlan->Apply(0, nullptr));
    std::vector<std::string> expected = kStretchedLines;
    for (const auto& line : Crlf({
             "INPUT_FPGA VIDEO_OUTPUT_SETUP 1 1 1 1280 720 0 1279 0 719 1280 720",
             "GP BPSW 1 1 1 0",
             "OUTPUT_FPGA SCALER_SETUP 1 0 0 1280 720 0 1279 0 719 1920 1080",
             "OUTPUT_FPGA SET_WINDOWS_LAYOUT 1 0 1920 1080",
             "OUTPUT_FPGA ADD_WINDOWS 0 1 0 0 1920 1080 0 0 1920 1080",
             "OUTPUT_FPGA ADD_WINDOWS_END",
             "OUTPUT_FPGA CLEAR_OUTPUT_WIN 1 1",
             "INPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY 1",
             "OUTPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY 1",
             "K40750 UPDATA 0",
         }))
        expected.push_back(line);
    ASSERT_TRUE(simulator.WaitForLines(expected.size(), 30s));
    EXPECT_EQ(simulator.Texts(), expected);
    // Paced at 25 ms a line: the last arrives at least 25 pauses later.
    const auto lines = simulator.Lines();
    EXPECT_GE(lines.back().at - start, 25 * 25ms);

    processor->link().StopSender();
    CNetManager::get_instance().CloseAndRemove(processor->settings().GetChannelId());
    processor.reset();
    CQelContext::Destroy();
}
