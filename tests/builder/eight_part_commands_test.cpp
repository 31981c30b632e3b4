#include <gtest/gtest.h>

#include "builder/fpga_window.h"
#include "builder/gsys_manager.h"
#include "builder/led_fwindow.h"
#include "builder/pro8part_sender.h"
#include "builder/resource_allocer.h"
#include "builder/window_record.h"
#include "context/context.h"
#include "model/net_type.h"
#include "model/processor_settings.h"
#include "plan/plan.h"
#include "tests/builder/sender_test_support.h"
#include "tests/support/scoped_setting.h"

using namespace _8PART_NS;
using Lines = std::vector<std::string>;

namespace {

const Lines kFixedScalers = {"O_F SCALER_SETUP 9 0 0 320 240 0 319 0 239 320 240\r\n",
                             "O_F SCALER_SETUP 9 1 0 320 240 0 319 0 239 320 240\r\n"};

Lines Join(std::initializer_list<Lines> parts)
{
    Lines out;
    for (const auto& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

void AddWatch(CQelPlan& plan, int32_t output, std::vector<int32_t> cells)
{
    auto watch = std::make_shared<CQelWatchWindow>();
    watch->sigout = output;
    watch->row = watch->col = 1;
    watch->cells = std::move(cells);
    auto outputs = plan.GetWatchOutputs();
    outputs.push_back(output);
    plan.SetWatchOutputs(outputs);
    plan.AddWatchWindow(watch);
}

std::shared_ptr<tagLEDFPGAWindowDestRect> Line(int32_t board, int32_t port, int32_t layer)
{
    auto line = std::make_shared<tagLEDFPGAWindowDestRect>();
    line->board = board;
    line->port = port;
    line->layer = layer;
    return line;
}

void ExpectNothingHeld()
{
    EXPECT_EQ(C8PartResourceAllocer::Instance().OutstandingReservations(), 0u);
    EXPECT_EQ(C8PartGSysManager::Instance().OutstandingAllocations(), 0u);
}

class EightPartCommands : public ::testing::Test, protected FixtureF {
protected:
    Lines Build()
    {
        CPro8PartSender sender(plan.get(), 0);
        Lines lines;
        EXPECT_EQ(sender.BuildCommands(lines), 0);
        ExpectNothingHeld();
        return lines;
    }
};

// Model 9: source 1 on input board 0, outputs 10000 to 10003 of board 100
// on a 2 x 2 wall.
class InputOnlyCommands : public EightPartCommands {
protected:
    void SetUp() override
    {
        CQelContext::Destroy(); // in place of fixture F's processor
        processor = std::make_shared<CQelProcessor>();
        processor->SetKind(9);
        AddTestBoards(*processor, {{0, 1}, {100, 12}});
        AddTestSource(*processor, 1, 1920, 1080);
        SetTestOutputs(*processor, {10000, 10001, 10002, 10003},
                       {{{0, 0}, 10000}, {{0, 1}, 10001}, {{1, 0}, 10002}, {{1, 1}, 10003}});
        SelectTestProcessor(processor);
        plan = MakeTestPlan(2, 2);
    }

    static Lines Clears(std::initializer_list<int> ports)
    {
        Lines out;
        for (int port : ports)
            out.push_back("INPUT_FPGA CLEAR_OUTPUT_WIN 0 " + std::to_string(port) + "\r\n");
        return out;
    }
};

} // namespace

TEST_F(EightPartCommands, WindowAcrossTwoOutputsIsFedThroughOnePort)
{
    AddTestWindow(*plan, 100, {960, 0, 2880, 1080});
    EXPECT_EQ(Build(), Join({{"I_F SWL 1 0 1920 2400\r\n", "I_F AW 0 1 0 0 1920 1080 0 0 1920 1080\r\n", "I_F AWE\r\n",
                              "GP BPSW 1 0 9 0\r\n"},
                             kFixedScalers,
                             {"O_F SWL 9 0 1920 1080\r\n", "O_F AW 0 1 0 0 960 1080 960 0 1920 1080\r\n", "O_F AWE\r\n",
                              "O_F SWL 9 1 1920 1080\r\n", "O_F AW 0 1 960 0 1920 1080 0 0 960 1080\r\n", "O_F AWE\r\n",
                              "I_F SUSD 1\r\n", "K40750 UPDATA 0\r\n", "O_F SUSD 9\r\n"}}));
}

TEST_F(EightPartCommands, WideWindowIsScaledOnTheOutputBoard)
{
    AddTestWindow(*plan, 100, {0, 0, 3840, 1080});
    EXPECT_EQ(Build(), (Lines{"I_F SWL 1 0 1920 2400\r\n", "I_F AW 0 1 0 0 1920 1080 0 0 1920 1080\r\n", "I_F AWE\r\n",
                              "GP BPSW 1 0 9 0\r\n", "O_F SCALER_SETUP 9 0 0 1920 1080 0 959 0 1079 1920 1080\r\n",
                              "O_F SCALER_SETUP 9 1 0 1920 1080 960 1919 0 1079 1920 1080\r\n",
                              "O_F SWL 9 0 1920 1080\r\n", "O_F AW 4 1 0 0 1920 1080 0 0 1920 1080\r\n", "O_F AWE\r\n",
                              "O_F SWL 9 1 1920 1080\r\n", "O_F AW 5 1 0 0 1920 1080 0 0 1920 1080\r\n", "O_F AWE\r\n",
                              "I_F SUSD 1\r\n", "K40750 UPDATA 0\r\n", "O_F SUSD 9\r\n"}));
}

TEST_F(EightPartCommands, SmallWindowIsScaledOnTheInputBoard)
{
    AddTestWindow(*plan, 100, {0, 0, 960, 540});
    EXPECT_EQ(Build(), Join({{"I_F SCALER_SETUP 1 0 0 1920 1080 0 1919 0 1079 960 540\r\n", "I_F SWL 1 0 1920 2400\r\n",
                              "I_F AW 4 1 0 0 960 540 0 0 960 540\r\n", "I_F AWE\r\n", "GP BPSW 1 0 9 0\r\n"},
                             kFixedScalers,
                             {"O_F SWL 9 0 1920 1080\r\n", "O_F AW 0 1 0 0 960 540 0 0 960 540\r\n", "O_F AWE\r\n",
                              "OUTPUT_FPGA CLEAR_OUTPUT_WIN 9 1\r\n", "I_F SUSD 1\r\n", "K40750 UPDATA 0\r\n",
                              "O_F SUSD 9\r\n"}}));
}

TEST_F(EightPartCommands, EqualWindowsShareOneScalerLineAndOneAreaLine)
{
    AddTestWindow(*plan, 100, {0, 0, 960, 540});
    AddTestWindow(*plan, 100, {100, 100, 1060, 640});
    // Each of a board's frame buffers numbers its windows from 1.
    AddTestWindow(*plan, 100, {0, 600, 1000, 1080});
    const Lines lines = Build();
    const auto count = [&](const std::string& prefix) {
        return std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
    };
    EXPECT_EQ(count("I_F SCALER_SETUP 1 0 "), 1);
    EXPECT_EQ(count("I_F SCALER_SETUP 1 1 "), 1);
    EXPECT_EQ(count("I_F AW 4 1 "), 1);
    EXPECT_EQ(count("I_F AW 5 2 "), 1);
    EXPECT_EQ(count("I_F AW "), 2);
    // The second window reads the first one's area through the same port.
    EXPECT_EQ(count("GP BPSW "), 1);
    EXPECT_EQ(count("O_F AW 0 1 0 0 960 540 0 0 960 540"), 1);
    EXPECT_EQ(count("O_F AW 0 2 0 0 960 540 100 100 1060 640"), 1);
}

TEST_F(EightPartCommands, EmptyPlanClearsEveryOutput)
{
    const Lines closing = {"OUTPUT_FPGA CLEAR_OUTPUT_WIN 9 0\r\n", "OUTPUT_FPGA CLEAR_OUTPUT_WIN 9 1\r\n"};
    EXPECT_EQ(Build(), Join({kFixedScalers, closing, {"K40750 UPDATA 0\r\n", "O_F SUSD 9\r\n"}}));

    // An output off the wall is cleared after the wall's own; a wall entry
    // of 0 is no output and gets no scaler line (board 0 is an input board).
    SetTestOutputs(*processor, {10902}, {{{0, 0}, 10900}, {{0, 1}, 10901}, {{0, 2}, 0}});
    EXPECT_EQ(Build(), Join({kFixedScalers,
                             closing,
                             {"OUTPUT_FPGA CLEAR_OUTPUT_WIN 9 2\r\n", "K40750 UPDATA 0\r\n", "O_F SUSD 9\r\n"}}));
}

TEST_F(EightPartCommands, Model7HasNoBackplaneLines)
{
    processor = std::make_shared<CQelProcessor>();
    processor->SetKind(7);
    AddTestBoards(*processor, {{1, 1}, {102, 12}});
    AddTestSource(*processor, 100, 1920, 1080);
    SetTestOutputs(*processor, {10200, 10201}, {{{0, 0}, 10200}, {{0, 1}, 10201}});
    CQelContext::Destroy();
    SelectTestProcessor(processor);

    AddTestWindow(*plan, 100, {0, 0, 1920, 1080});
    EXPECT_EQ(Build(), (Lines{"I_F SWL 1 0 1920 2400\r\n", "I_F AW 0 1 0 0 1920 1080 0 0 1920 1080\r\n", "I_F AWE\r\n",
                              "O_F SCALER_SETUP 2 0 0 320 240 0 319 0 239 320 240\r\n",
                              "O_F SCALER_SETUP 2 1 0 320 240 0 319 0 239 320 240\r\n", "O_F SWL 2 0 1920 1080\r\n",
                              "O_F AW 2 1 0 0 1920 1080 0 0 1920 1080\r\n", "O_F AWE\r\n",
                              "OUTPUT_FPGA CLEAR_OUTPUT_WIN 2 1\r\n", "I_F SUSD 1\r\n", "O_F SUSD 2\r\n"}));
}

TEST_F(EightPartCommands, WatchedOutputGetsOneWindowGroup)
{
    SetTestOutputs(*processor, {10902}, processor->GetWall().cells);
    AddWatch(*plan, 10902, {100});
    EXPECT_EQ(Build(), Join({{"I_F SWL 1 0 1920 2400\r\n", "I_F AW 0 1 0 0 1920 1080 0 0 1920 1080\r\n", "I_F AWE\r\n",
                              "GP BPSW 1 0 9 0\r\n"},
                             kFixedScalers,
                             {"O_F SWL 9 2 1920 1080\r\n", "O_F AW 0 1 0 0 1920 1080 0 0 1920 1080\r\n", "O_F AWE\r\n",
                              "OUTPUT_FPGA CLEAR_OUTPUT_WIN 9 0\r\n", "OUTPUT_FPGA CLEAR_OUTPUT_WIN 9 1\r\n",
                              "I_F SUSD 1\r\n", "K40750 UPDATA 0\r\n", "O_F SUSD 9\r\n"}}));
}

TEST_F(EightPartCommands, SerialLinkIsWokenFirstUnlessEchoesAreAwaited)
{
    auto connection = processor->settings().GetConnection();
    for (auto [type, netType, woken] : {std::tuple{2, 0, true}, {2, 1, false}, {1, 0, false}}) {
        connection.type = type;
        processor->settings().SetConnection(connection);
        const ScopedSetting echoWaits(g_NetType, uint8_t(netType));
        const Lines lines = Build();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front() == "\x01", woken) << type << " " << netType;
        EXPECT_EQ(lines.back(), "O_F SUSD 9\r\n");
        EXPECT_EQ(lines.size(), woken ? 7u : 6u);
    }
}

TEST_F(EightPartCommands, SwitchPlanSendsItsRoutes)
{
    plan = MakeTestPlan(1, 2, kPlanSwitch);
    CPro8PartSender sender(plan.get(), 0);
    Lines lines;
    sender.BackplaneSwitchCommands(lines);
    EXPECT_EQ(lines, (Lines{"K40750 UPDATA 0\r\n"}));

    plan->SetSwitch(11203, 105);
    plan->SetSwitch(10902, 201);
    // Negative ids, as a plan file may hold, name no board and port.
    plan->SetSwitch(10903, -2);
    plan->SetSwitch(-5, 105);
    sender.BackplaneSwitchCommands(lines);
    EXPECT_EQ(lines, (Lines{"GP BPSW 2 1 9 2\r\n", "GP BPSW 1 5 12 3\r\n", "K40750 UPDATA 0\r\n"}));
}

TEST_F(InputOnlyCommands, EmptyPlanClearsEveryOutputOnTheInputSide)
{
    // No serial wake-up either: the input side takes only its own lines.
    auto connection = processor->settings().GetConnection();
    connection.type = 2;
    processor->settings().SetConnection(connection);
    EXPECT_EQ(Build(), Join({Clears({0, 1, 2, 3}), {"I_F SUSD 0\r\n"}}));
}

TEST_F(InputOnlyCommands, UnscaledWindowIsShownStraightFromItsSource)
{
    AddTestWindow(*plan, 1, {0, 0, 1920, 1080});
    EXPECT_EQ(Build(), Join({{"I_F SWL 0 0 1920 1080\r\n", "I_F AW 1 1 0 0 1920 1080 0 0 1920 1080\r\n", "I_F AWE\r\n"},
                             Clears({1, 2, 3}),
                             {"I_F SUSD 0\r\n"}}));
}

TEST_F(InputOnlyCommands, ScaledWindowsShareAnEqualScaler)
{
    AddTestWindow(*plan, 1, {0, 0, 960, 540});
    AddTestWindow(*plan, 1, {1920, 0, 2880, 540});
    // Across two outputs: one scaler, a line on each output.
    AddTestWindow(*plan, 1, {1440, 1080, 2400, 1620});
    EXPECT_EQ(Build(), Join({{"I_F SCALER_SETUP 0 0 1 1920 1080 0 1919 0 1079 960 540\r\n", "I_F SWL 0 0 1920 1080\r\n",
                              "I_F AW 4 1 0 0 960 540 0 0 960 540\r\n", "I_F AWE\r\n", "I_F SWL 0 1 1920 1080\r\n",
                              "I_F AW 4 1 0 0 960 540 0 0 960 540\r\n", "I_F AWE\r\n", "I_F SWL 0 2 1920 1080\r\n",
                              "I_F AW 4 1 0 0 480 540 1440 0 1920 540\r\n", "I_F AWE\r\n", "I_F SWL 0 3 1920 1080\r\n",
                              "I_F AW 4 1 480 0 960 540 0 0 480 540\r\n", "I_F AWE\r\n", "I_F SUSD 0\r\n"}}));
}

TEST_F(InputOnlyCommands, WindowsBeyondTheScalersAreShownUnscaled)
{
    // Five sizes for four scalers: the fifth is shown at its own size.
    for (int32_t i = 0; i < 5; ++i)
        AddTestWindow(*plan, 1, {0, 100 * i, 960 + 100 * i, 540 + 100 * i});
    const Lines lines = Build();
    const auto scalerLines = std::count_if(lines.begin(), lines.end(),
                                           [](const std::string& l) { return l.rfind("I_F SCALER_SETUP", 0) == 0; });
    EXPECT_EQ(scalerLines, 4);
    // The unscaled one reads the source's top-left corner at the window's size.
    EXPECT_NE(std::find(lines.begin(), lines.end(), "I_F AW 1 5 0 0 1360 540 0 400 1360 940\r\n"), lines.end());
    // A window wider than one scaler's 1920 is tiled: two scalers.
    plan = MakeTestPlan(2, 2);
    AddTestWindow(*plan, 1, {0, 0, 3000, 1000});
    const Lines tiled = Build();
    EXPECT_EQ(std::count_if(tiled.begin(), tiled.end(),
                            [](const std::string& l) { return l.rfind("I_F SCALER_SETUP", 0) == 0; }),
              2);
}

TEST_F(InputOnlyCommands, WatchCellsGoToTheirOwnOutput)
{
    SetTestOutputs(*processor, {10004}, processor->GetWall().cells);
    AddWatch(*plan, 10004, {1});
    const Lines cell = {"I_F AW 1 1 0 0 1920 1080 0 0 1920 1080\r\n", "I_F AWE\r\n"};
    EXPECT_EQ(Build(), Join({{"I_F SWL 0 4 1920 1080\r\n"}, cell, Clears({0, 1, 2, 3}), {"I_F SUSD 0\r\n"}}));

    // An output both on the wall and watched is walked as either.
    plan = MakeTestPlan(2, 2);
    AddWatch(*plan, 10003, {1});
    EXPECT_EQ(Build(), Join({{"I_F SWL 0 3 1920 1080\r\n"},
                             cell,
                             {"I_F SWL 0 3 1920 1080\r\n"},
                             cell,
                             Clears({0, 1, 2, 4}),
                             {"I_F SUSD 0\r\n"}}));
}

TEST_F(InputOnlyCommands, ScalerAreaIsAtMost1920Wide)
{
    CPro8PartSender sender(plan.get(), 0);
    RunMonitorPasses(sender);
    const auto tile = [&](const Rect& rect) {
        auto record = std::make_shared<tagWindowRecord>();
        record->window = std::make_shared<CQelWindow>();
        record->window->sigsrc = 1;
        record->rect = rect;
        return record;
    };
    // The left edge goes up to even, the right one down.
    const auto narrow = sender.LayoutPassA(tile({1, 0, 1922, 1080}));
    ASSERT_TRUE(narrow);
    EXPECT_EQ(narrow->pieces.front()->dest, (Rect{0, 0, 1920, 1080}));
    EXPECT_FALSE(sender.LayoutPassA(tile({0, 0, 1922, 1080})));
    EXPECT_FALSE(sender.LayoutPassA(tile({0, 0, 1920, 2162})));
    // Sharing only: nothing placed yet to share.
    EXPECT_FALSE(sender.LayoutPassB(tile({0, 0, 960, 540})));
}

TEST(LedWindowList, SharesOnlyAnEqualPieceAndNumbersLinesPerOutput)
{
    SenderContextGuard guard;
    auto processor = std::make_shared<CQelProcessor>();
    BuildFixtureS(*processor);
    SelectTestProcessor(processor);
    auto plan = MakeTestPlan(1, 2);
    CPro8PartSender sender(plan.get(), 0);
    RunMonitorPasses(sender);

    const auto piece = [](int32_t board, const Rect& crop, const Rect& dest) {
        auto p = std::make_shared<tagLEDScalerPiece>();
        p->board = board;
        p->input = MakeSourceCrop(board * 100, crop);
        p->dest = dest;
        return p;
    };
    CLEDFwndContainer list;
    auto placed = std::make_shared<tagLEDFPGAWindow>();
    auto first = piece(1, {0, 0, 1920, 1080}, {0, 0, 960, 540});
    first->scaler = C8PartResourceAllocer::Instance().Reserve(1, C8PartResourceAllocer::kKindScaler);
    ASSERT_TRUE(first->scaler);
    placed->pieces.push_back(first);
    placed->dests = {Line(9, 0, 5), Line(9, 1, 7)};
    list.push_back(placed);
    auto second = std::make_shared<tagLEDFPGAWindow>();
    second->dests = {Line(9, 0, 2), Line(9, 0, 5)};
    list.push_back(second);

    EXPECT_EQ(list.FindEqualScalerPiece(*piece(1, {0, 0, 1920, 1080}, {100, 100, 1060, 640})), first);
    EXPECT_FALSE(list.FindEqualScalerPiece(*piece(1, {0, 0, 1920, 1080}, {0, 0, 962, 540})));
    EXPECT_FALSE(list.FindEqualScalerPiece(*piece(1, {0, 0, 1918, 1080}, {0, 0, 960, 540})));
    EXPECT_FALSE(list.FindEqualScalerPiece(*piece(2, {0, 0, 1920, 1080}, {0, 0, 960, 540})));

    // Port 0 holds layers 5, 2, 5 in gathering order.
    RenumberLayers(sender, list);
    EXPECT_EQ(std::make_tuple(placed->dests[0]->layer, second->dests[0]->layer, second->dests[1]->layer),
              std::make_tuple(2, 1, 3));
    EXPECT_EQ(placed->dests[1]->layer, 1);

    Lines lines;
    ClearOutputWindowLines(sender, "INPUT_FPGA CLEAR_OUTPUT_WIN", list, lines);
    EXPECT_TRUE(lines.empty());
    list.pop_back();
    placed->dests.pop_back();
    ClearOutputWindowLines(sender, "INPUT_FPGA CLEAR_OUTPUT_WIN", list, lines);
    EXPECT_EQ(lines, (Lines{"INPUT_FPGA CLEAR_OUTPUT_WIN 9 1\r\n"}));
}
