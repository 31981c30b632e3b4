// A layout and a switch plan applied to a 32x32 processor on the
// simulator's link reach it line by line, paced, exactly as built.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "apply_test_support.h"
#include "model/net_type.h"
#include "tests/support/processor_simulator.h"

using namespace std::chrono_literals;

TEST(Layout32x32Link, LayoutThenSwitchPlanReachTheSimulatorInOrder)
{
    ClearLogs();
    CQelContext::Destroy();
    g_NetType = 0;
    ProcessorSimulator simulator;
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetId(1);
    processor->SetKind(5);
    processor->SetOutputResolution(1920, 1080, 60);
    auto connection = processor->GetConnection();
    connection.tcpAddress = "127.0.0.1";
    connection.tcpPort = std::to_string(simulator.Port());
    processor->SetConnection(connection);
    CQelContext::GetProMan()->AddProcessor(processor);
    CQelContext::SetSelSigSrc(1, -1);

    for (auto [id, type] : {std::pair{1u, 1}, std::pair{101u, 21}}) {
        CQelBoard::Values v;
        v.id = id;
        v.type = type;
        v.scaler = 4;
        processor->AddBoard(std::make_shared<CQelBoard>(v));
    }
    std::vector<std::shared_ptr<CQelSigSrc>> sources;
    for (auto [id, width, height] : {std::tuple{100u, 1920, 1080}, std::tuple{101u, 1280, 720}}) {
        CQelSigSrc::Values sv;
        sv.id = id;
        sv.type = 1;
        sv.resolution = {width, height, 60};
        auto source = std::make_shared<CQelSigSrc>(sv);
        source->SetBoard(processor->GetBoard(1));
        processor->AddSigSrc(source, false, false);
        sources.push_back(source);
    }

    // Connecting empties the outputs and unjoins the sources: set them after.
    ASSERT_TRUE(processor->Connect());
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!processor->IsConnected() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    ASSERT_TRUE(processor->IsConnected());
    for (uint32_t id : {10100u, 10101u}) {
        CQelSigOut::Values ov;
        ov.id = id;
        auto output = std::make_shared<CQelSigOut>(ov);
        output->SetBoard(processor->GetBoard(101));
        processor->AddSigOut(output);
    }
    auto wall = processor->GetWall();
    wall.cells = {{{0, 0}, 10100}, {{0, 1}, 10101}};
    processor->SetWall(wall);
    for (const auto& s : sources)
        s->SetJoined(true);

    auto layout = MakePlan(1, 2);
    AddWindow(*layout, {0, 0, 3840, 1080});
    auto switchPlan = MakePlan(1, 2, kPlanSwitch);
    switchPlan->SetSwitch(10100, 101);

    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(layout->Apply(0, nullptr));
    ASSERT_TRUE(switchPlan->Apply(0, nullptr));
    const std::vector<std::string> expected = Crlf({
        "INPUT_FPGA VIDEO_OUTPUT_SETUP 1 0 0 1920 1080 0 1919 0 1079 1920 1080",
        "GP BPSW 1 0 1 0",
        "GP BPSW 1 4 1 4",
        "GP BPSW 1 4 1 5",
        "OUTPUT_FPGA SCALER_SETUP 1 0 0 1920 1080 0 959 0 1079 1920 1080",
        "OUTPUT_FPGA SCALER_SETUP 1 1 0 1920 1080 960 1919 0 1079 1920 1080",
        "OUTPUT_FPGA SET_WINDOWS_LAYOUT 1 0 1920 1080",
        "OUTPUT_FPGA ADD_WINDOWS 0 1 0 0 1920 1080 0 0 1920 1080",
        "OUTPUT_FPGA ADD_WINDOWS_END",
        "OUTPUT_FPGA SET_WINDOWS_LAYOUT 1 1 1920 1080",
        "OUTPUT_FPGA ADD_WINDOWS 1 1 0 0 1920 1080 0 0 1920 1080",
        "OUTPUT_FPGA ADD_WINDOWS_END",
        "INPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY 1",
        "OUTPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY 1",
        "K40750 UPDATA 0",
        "K40750 UPDATA 1",
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
    });
    ASSERT_TRUE(simulator.WaitForLines(expected.size(), 30s));
    EXPECT_EQ(simulator.Texts(), expected);
    // Paced at 25 ms a line: the last arrives at least 25 pauses later.
    const auto lines = simulator.Lines();
    EXPECT_GE(lines.back().at - start, 25 * 25ms);

    processor->StopSender();
    CNetManager::get_instance().CloseAndRemove(processor->GetChannelId());
    processor.reset();
    CQelContext::Destroy();
}
