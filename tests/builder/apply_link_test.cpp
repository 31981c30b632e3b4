// A plan applied to a processor on the simulator's link reaches it line by
// line, exactly as built.
#include <gtest/gtest.h>

#include <boost/property_tree/ptree.hpp>
#include <chrono>
#include <thread>

#include "apply_test_support.h"
#include "comm/net_manager.h"
#include "context/context.h"
#include "model/board.h"
#include "model/net_type.h"
#include "model/processor_link.h"
#include "model/processor_manager.h"
#include "model/processor_records.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "tests/model/link_fixture.h"
#include "tests/support/processor_simulator.h"
#include "tests/support/recording_channel.h"
#include "tests/support/scoped_setting.h"
#include "model/pro_delay_sender.h"

using namespace std::chrono_literals;

TEST(PlanApplyLink, LayoutReachesTheSimulatorInOrder)
{
    ClearLogs();
    CQelContext::Destroy();
    const ScopedSetting noEchoWaits(g_NetType, uint8_t(0));
    ProcessorSimulator simulator;
    auto channel = std::make_shared<CRecordingChannel>(&CNetManager::get_instance(), "PRO_Tcp_1");
    channel->Settings().put("server_addr", std::string("127.0.0.1")); // GCC 12 warns wrongly on a char array
    channel->Settings().put("server_port", std::to_string(simulator.Port()));
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetId(1);
    processor->SetKind(3);
    processor->SetOutputResolution(1920, 1080, 60);
    processor->link().SetSenderPause(CQelProDelaySender::kTcpPauseMs);
    processor->settings().SetChannelId(CNetManager::get_instance().Register(channel));
    CQelContext::GetProMan()->AddProcessor(processor);
    CQelContext::SetSelSigSrc(1, -1);

    auto plan = MakePlan(1, 2);
    auto window = std::make_shared<CQelWindow>();
    window->processor = 1;
    window->sigsrc = 100;
    window->rect = {0, 0, 1920, 1080};
    plan->AddWindow(window, CurrentPlanSelection());
    EXPECT_FALSE(plan->Apply(0, nullptr)); // not connected yet

    channel->Open();
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!processor->IsConnected() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    ASSERT_TRUE(processor->IsConnected());

    for (auto [id, type] : {std::pair{1u, 1}, std::pair{10u, 21}}) {
        CQelBoard::Values v;
        v.id = id;
        v.type = type;
        v.scaler = 4;
        processor->records().AddBoard(std::make_shared<CQelBoard>(v));
    }
    CQelSigSrc::Values sv;
    sv.id = 100;
    sv.type = 1;
    auto source = std::make_shared<CQelSigSrc>(sv);
    source->SetBoard(processor->GetBoard(1));
    processor->AddSigSrc(source, false, false);
    source->SetJoined(true);
    for (uint32_t id : {1000u, 1001u}) {
        CQelSigOut::Values ov;
        ov.id = id;
        auto output = std::make_shared<CQelSigOut>(ov);
        output->SetBoard(processor->GetBoard(10));
        processor->AddSigOut(output);
    }
    auto wall = processor->GetWall();
    wall.cells = {{{0, 0}, 1000}, {{0, 1}, 1001}};
    processor->SetWall(wall);

    ASSERT_TRUE(plan->Apply(0, nullptr));
    const std::vector<std::string> expected = Crlf({
        "INPUT_FPGA CSUSE 1",
        "INPUT_FPGA COWIN 1 0",
        "INPUT_FPGA COWIN 1 1",
        "INPUT_FPGA COWIN 1 2",
        "INPUT_FPGA COWIN 1 3",
        "GP BPSW 1 0 0 0",
        "GP BPSW 1 4 0 4",
        "GP BPSW 1 4 0 5",
        "OUTPUT_FPGA CSUSE 0",
        "OUTPUT_FPGA COWIN 0 0",
        "OUTPUT_FPGA COWIN 0 1",
        "OUTPUT_FPGA COWIN 0 2",
        "OUTPUT_FPGA COWIN 0 3",
        "OUTPUT_FPGA SWL 0 0 1920 1080",
        "OUTPUT_FPGA AW 0 1 0 0 1920 1080 0 0 1920 1080",
        "OUTPUT_FPGA ADD_WINDOWS_END",
    });
    ASSERT_TRUE(simulator.WaitForLines(expected.size(), 20s));
    EXPECT_EQ(simulator.Texts(), expected);

    processor->link().StopSender();
    CNetManager::get_instance().CloseAndRemove(channel->GetId());
    processor.reset();
    CQelContext::Destroy();
}

namespace {

// Processor 1 of the given model on the simulator's link, selected and
// connected. Connect empties the outputs, so they are added afterwards.
struct SimulatedProcessor {
    platform::SteadyClock clock;
    LinkFixture link;

    explicit SimulatedProcessor(int32_t kind) : link(clock, kind, 0)
    {
        link.processor->SetOutputResolution(1920, 1080, 60);
        CQelContext::SetSelSigSrc(1, -1);
    }
    bool Connected()
    {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!link.processor->IsConnected() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(5ms);
        return link.processor->IsConnected();
    }
    void AddBoard(uint32_t id, int32_t type, int32_t scalers)
    {
        CQelBoard::Values v;
        v.id = id;
        v.type = type;
        v.scaler = scalers;
        link.processor->records().AddBoard(std::make_shared<CQelBoard>(v));
    }
    void AddSource(uint32_t id, uint32_t board)
    {
        CQelSigSrc::Values v;
        v.id = id;
        v.type = 1;
        auto source = std::make_shared<CQelSigSrc>(v);
        source->SetBoard(link.processor->GetBoard(board));
        link.processor->AddSigSrc(source, false, false);
        source->SetJoined(true);
    }
    void AddOutput(uint32_t id, int32_t width, int32_t height)
    {
        CQelSigOut::Values v;
        v.id = id;
        v.resolution = {width, height, 60};
        auto output = std::make_shared<CQelSigOut>(v);
        output->SetBoard(link.processor->GetBoard(id / 100));
        link.processor->AddSigOut(output);
    }
};

} // namespace

TEST(PlanApplyLink, SixteenPartLayoutReachesTheSimulatorInOrder)
{
    SimulatedProcessor sim(6);
    ASSERT_TRUE(sim.Connected());
    sim.AddBoard(1, 1, 0);
    sim.AddBoard(2, 1, 0);
    sim.AddBoard(10, 21, 4);
    sim.AddSource(200, 2);
    sim.AddOutput(1000, 1920, 1080);
    sim.AddOutput(1001, 1920, 1080);
    auto wall = sim.link.processor->GetWall();
    wall.cells = {{{0, 0}, 1000}, {{0, 1}, 1001}};
    sim.link.processor->SetWall(wall);

    auto plan = MakePlan(1, 2);
    auto window = AddWindow(*plan, {0, 0, 3840, 1080}, 200);
    ASSERT_TRUE(plan->Apply(0, nullptr));
    const std::vector<std::string> expected = Crlf({
        "GP SDMI 0",
        "I_F SCALER_SETUP 2 0 0 1920 1080 0 959 0 1079 1920 1080",
        "I_F SCALER_SETUP 2 1 0 1920 1080 960 1919 0 1079 1920 1080",
        "I_F SWL 2 0 1920 1200",
        "I_F AW 4 1 0 0 1920 1080 0 0 1920 1080",
        "I_F AWE",
        "I_F SWL 2 1 1920 1200",
        "I_F AW 5 1 0 0 1920 1080 0 0 1920 1080",
        "I_F AWE",
        "O_F SWL 0 0 1920 1080",
        "O_F AW 2 1 0 0 1920 1080 0 0 1920 1080",
        "O_F AWE",
        "O_F SWL 0 1 1920 1080",
        "O_F AW 6 1 0 0 1920 1080 0 0 1920 1080",
        "O_F AWE",
        "I_F SUSD 1",
        "I_F SUSD 2",
        "O_F SUSD 0",
    });
    ASSERT_TRUE(sim.link.simulator.WaitForLines(expected.size(), 30s));
    EXPECT_EQ(sim.link.simulator.Texts(), expected);

    plan->PlaceWindows();
    EXPECT_TRUE(window->resourceOk);
    // Both part builders log a separator, then every line but the first.
    std::string log = "-----------------------------------\r\n-----------------------------------\r\n";
    for (size_t i = 1; i < expected.size(); ++i)
        log += expected[i];
    EXPECT_EQ(ReadLog("Pro16PartBuilder"), log);
}
