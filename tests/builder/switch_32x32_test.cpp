#include <gtest/gtest.h>

#include "apply_test_support.h"
#include "builder/pro32x32_switch.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"

TEST(Switch32x32, MappedOutputShowsItsSourceFullScreen)
{
    ApplyFixture f(5);
    f.AddBoard(3, 1, 4);
    f.AddBoard(101, 21, 4);
    f.AddSource(305, 3);
    f.AddOutput(10102);
    f.processor->settings().SetStatusPoll(false);
    auto plan = SwitchPlan({{10102, 305}});
    // Windows of a switch plan are never built.
    AddWindow(*plan, {0, 0, 1920, 1080}, 305);

    ASSERT_TRUE(plan->Apply(0, nullptr));
    const auto expected = Crlf({
        "INPUT_FPGA VIDEO_OUTPUT_SETUP 3 5 5 1920 1080 0 1919 0 1079 1920 1080",
        "GP BPSW 3 5 1 2",
        "OUTPUT_FPGA SCALER_SETUP 1 2 2 1920 1080 0 1919 0 1079 1920 1080",
        "OUTPUT_FPGA SET_WINDOWS_LAYOUT 1 2 1920 1080",
        "OUTPUT_FPGA ADD_WINDOWS 2 1 0 0 1920 1080 0 0 1920 1080",
        "OUTPUT_FPGA ADD_WINDOWS_END",
        "INPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY 3",
        "OUTPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY 1",
        "K40750 UPDATA 0",
    });
    EXPECT_EQ(f.recorder.Lines(), expected);
    std::string log = "-----------------------------------\r\n";
    for (const auto& l : expected)
        log += l;
    EXPECT_EQ(ReadLog("Pro32x32Switch"), log);
    EXPECT_EQ(ReadLog("Pro32x32Builder"), "");
    EXPECT_FALSE(f.processor->settings().IsStatusPollEnabled()); // left alone
}

TEST(Switch32x32, OutputsWithoutAShowableSourceAreCleared)
{
    ApplyFixture f(5);
    f.AddBoard(1, 1, 4);
    f.AddBoard(101, 21, 4);
    f.AddBoard(200, 30, 0); // not an output board type: still updated as one
    f.AddSource(100, 1)->SetJoined(false);
    for (uint32_t id : {10100u, 10101u, 10102u, 10103u})
        f.AddOutput(id);

    // No entry, a negative source, an unjoined one, a missing one; 10199 is
    // not on the processor.
    ASSERT_TRUE(SwitchPlan({{10101, -7}, {10102, 100}, {10103, 555}, {10199, 100}})->Apply(0, nullptr));
    EXPECT_EQ(f.recorder.Lines(), Crlf({
                                      "OUTPUT_FPGA CLEAR_OUTPUT_WIN 1 0",
                                      "OUTPUT_FPGA CLEAR_OUTPUT_WIN 1 1",
                                      "OUTPUT_FPGA CLEAR_OUTPUT_WIN 1 2",
                                      "OUTPUT_FPGA CLEAR_OUTPUT_WIN 1 3",
                                      "INPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY 1",
                                      "OUTPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY 1",
                                      "OUTPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY 100",
                                      "K40750 UPDATA 0",
                                  }));
}

TEST(Switch32x32, ProcessorWithoutOutputsStillGetsTheUpdates)
{
    ApplyFixture f(5);
    ASSERT_TRUE(SwitchPlan({{10100, 100}})->Apply(0, nullptr));
    EXPECT_EQ(f.recorder.Lines(), Crlf({"K40750 UPDATA 0"}));

    f.recorder.Clear();
    f.AddBoard(1, 1, 4);
    f.AddBoard(101, 21, 4);
    f.AddSource(100, 1);
    ASSERT_TRUE(SwitchPlan({{10100, 100}})->Apply(0, nullptr));
    EXPECT_EQ(f.recorder.Lines(), Crlf({"INPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY 1",
                                        "OUTPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY 1", "K40750 UPDATA 0"}));
}

TEST(Switch32x32, RefusedLinesFailTheSendButTheRestStillGoesOut)
{
    class OverlongClear : public CPro32x32SwitchSender {
    public:
        using CPro32x32SwitchSender::CPro32x32SwitchSender;
        bool CmdOutputClearWindow(int32_t, int32_t) override { return SendOne(std::string(2000, 'C').append("\r\n")); }
    };
    ApplyFixture f(5);
    f.AddBoard(101, 21, 4);
    f.AddOutput(10100);
    auto plan = SwitchPlan({});
    OverlongClear sender(plan.get());
    EXPECT_FALSE(sender.Send());
    EXPECT_EQ(f.recorder.Lines(), Crlf({"OUTPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY 1", "K40750 UPDATA 0"}));

    FillQueue(*f.processor);
    EXPECT_FALSE(plan->Apply(0, nullptr));
}
