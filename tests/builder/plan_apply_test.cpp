#include <gtest/gtest.h>

#include "apply_test_support.h"
#include "builder/pro16x16_switch.h"
#include "context/context.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"

TEST(PlanApply, RefusesWithoutAConnectedProcessorOrAPath)
{
    {
        ApplyFixture f;
        f.Standard();
        CQelContext::SetSelSigSrc(-1, -1);
        auto plan = MakePlan(1, 2);
        AddWindow(*plan, {0, 0, 1920, 1080});
        EXPECT_FALSE(plan->Apply(0, nullptr));
        EXPECT_FALSE(plan->SaveToProcessor(1, nullptr));
        EXPECT_TRUE(f.recorder.Pushes().empty());
    }
    {
        ApplyFixture f(3, false);
        f.Standard();
        auto plan = MakePlan(1, 2);
        AddWindow(*plan, {0, 0, 1920, 1080});
        EXPECT_FALSE(plan->Apply(0, nullptr));
        EXPECT_TRUE(f.recorder.Pushes().empty());
    }
    // Unknown models: false and nothing queued.
    for (int32_t kind : {0, 11}) {
        ApplyFixture f(kind);
        f.Standard();
        auto plan = MakePlan(1, 2);
        auto w = AddWindow(*plan, {0, 0, 1920, 1080});
        EXPECT_FALSE(plan->Apply(0, nullptr)) << kind;
        EXPECT_FALSE(plan->SaveToProcessor(2, nullptr)) << kind;
        EXPECT_FALSE(SwitchPlan({{1000, 100}})->Apply(0, nullptr)) << kind;
        EXPECT_TRUE(f.recorder.Pushes().empty()) << kind;
        plan->PlaceWindows();
        EXPECT_FALSE(w->resourceOk) << kind;
    }
}

TEST(PlanApply, SwitchPlanRoutesEachJoinedInputFullScreen)
{
    ApplyFixture f;
    f.Standard();
    f.AddSource(101, 1);
    ASSERT_TRUE(SwitchPlan({{1000, 100}, {1001, 101}})->Apply(0, nullptr));
    EXPECT_EQ(f.recorder.Lines(), Crlf({
                                      "GP BPSW 1 0 0 0",
                                      "GP BPSW 1 1 0 1",
                                      "OUTPUT_FPGA CSUSE 0",
                                      "OUTPUT_FPGA SCALER_SETUP 0 0 0 1920 1080 0 1919 0 1079 1920 1080",
                                      "OUTPUT_FPGA SCALER_SETUP 0 1 1 1920 1080 0 1919 0 1079 1920 1080",
                                      "OUTPUT_FPGA COWIN 0 0",
                                      "OUTPUT_FPGA COWIN 0 1",
                                      "OUTPUT_FPGA COWIN 0 2",
                                      "OUTPUT_FPGA COWIN 0 3",
                                      "OUTPUT_FPGA SWL 0 0 1920 1080",
                                      "OUTPUT_FPGA AW 4 1 0 0 1920 1080 0 0 1920 1080",
                                      "OUTPUT_FPGA ADD_WINDOWS_END",
                                      "OUTPUT_FPGA SWL 0 1 1920 1080",
                                      "OUTPUT_FPGA AW 5 1 0 0 1920 1080 0 0 1920 1080",
                                      "OUTPUT_FPGA ADD_WINDOWS_END",
                                  }));
    const std::string log = ReadLog("Pro16x16Switch");
    EXPECT_EQ(log.rfind("-----------------------------------\r\nGP BPSW 1 0 0 0\r\n", 0), 0u);
    EXPECT_TRUE(f.processor->settings().IsStatusPollEnabled());
}

TEST(PlanApply, SwitchPlanPassesOverOutputsItCannotFeed)
{
    ApplyFixture f;
    f.Standard();
    f.AddBoard(2, 1, 4);
    // A type-9 input cut out of physical input 225 at (100, 50).
    f.AddSource(207, 2, 640, 360, 9, {100, 50});
    f.AddSource(225, 2, 1920, 1080, 1);
    f.AddSource(101, 1)->SetJoined(false);
    f.AddOutput(1002);
    f.AddOutput(1003);

    ASSERT_TRUE(SwitchPlan({{1000, 207}, {1001, -1}, {1002, 101}, {1003, 555}})->Apply(0, nullptr));
    EXPECT_EQ(f.recorder.Lines(), Crlf({
                                      "GP BPSW 2 7 0 0",
                                      "OUTPUT_FPGA CSUSE 0",
                                      "OUTPUT_FPGA SCALER_SETUP 0 0 0 1920 1080 100 739 50 409 1920 1080",
                                      "OUTPUT_FPGA COWIN 0 0",
                                      "OUTPUT_FPGA COWIN 0 1",
                                      "OUTPUT_FPGA COWIN 0 2",
                                      "OUTPUT_FPGA COWIN 0 3",
                                      "OUTPUT_FPGA SWL 0 0 1920 1080",
                                      "OUTPUT_FPGA AW 4 1 0 0 1920 1080 0 0 1920 1080",
                                      "OUTPUT_FPGA ADD_WINDOWS_END",
                                  }));

    // Without its carrier the cut-out input keeps its route and nothing more.
    f.recorder.Clear();
    f.processor->RemoveSigSrc(225);
    ASSERT_TRUE(SwitchPlan({{1000, 207}})->Apply(0, nullptr));
    EXPECT_EQ(f.recorder.Lines().front(), "GP BPSW 2 7 0 0\r\n");
    EXPECT_EQ(f.recorder.Lines().size(), 6u);
}

TEST(PlanApply, ModelOneSendsOneTextWithASingleScaler)
{
    ApplyFixture f(1);
    f.Standard();
    f.AddSource(101, 1, 640, 480);
    auto plan = MakePlan(1, 2);

    ASSERT_TRUE(plan->Apply(0, nullptr));
    EXPECT_EQ(f.recorder.Pushes(), (std::vector<Pushed>{{"INPUT_FPGA CLEAR_OUTPUT_WIN\r\n", 1}}));

    f.recorder.Clear();
    auto w = AddWindow(*plan, {0, 0, 1920, 1080});
    ASSERT_TRUE(plan->Apply(0, nullptr));
    EXPECT_EQ(f.recorder.Pushes(), (std::vector<Pushed>{{"INPUT_FPGA SET_WINDOWS_USE_SCALER 1\r\n"
                                                         "INPUT_FPGA SET_WINDOWS_LAYOUT 1920 1080\r\n"
                                                         "INPUT_FPGA ADD_WINDOWS 100 1 0 0 1920 1080\r\n"
                                                         "INPUT_FPGA ADD_WINDOWS_END\r\n",
                                                         1}}));
    plan->PlaceWindows();
    EXPECT_FALSE(w->resourceOk); // shown at its own size: no scaler

    // Two windows that need scaling: only the lower one gets the scaler, the
    // upper one is cut to its source's size; a covered window is left out.
    f.recorder.Clear();
    plan->RemoveWindow(w);
    auto covered = AddWindow(*plan, {2000, 0, 2100, 100}, 101);
    auto lower = AddWindow(*plan, {0, 0, 1000, 1000}, 101);
    auto upper = AddWindow(*plan, {1900, 0, 3840, 1080}, 101);
    ASSERT_TRUE(plan->Apply(0, nullptr));
    EXPECT_EQ(f.recorder.Pushes(), (std::vector<Pushed>{{"INPUT_FPGA SET_WINDOWS_USE_SCALER 1\r\n"
                                                         "INPUT_FPGA SET_WINDOWS_LAYOUT 1920 1080\r\n"
                                                         "INPUT_FPGA ADD_WINDOWS 101 1 0 0 1000 1000\r\n"
                                                         "INPUT_FPGA ADD_WINDOWS 101 2 1900 0 2540 480\r\n"
                                                         "INPUT_FPGA ADD_WINDOWS_END\r\n",
                                                         1}}));
    plan->PlaceWindows();
    EXPECT_TRUE(lower->resourceOk);
    EXPECT_FALSE(upper->resourceOk);
    EXPECT_FALSE(covered->resourceOk);
}

TEST(PlanApply, ModelOneTextLongerThanACommandIsQueuedInPieces)
{
    ApplyFixture f(1);
    f.Standard();
    auto plan = MakePlan(1, 2);
    for (int i = 0; i < 60; ++i)
        AddWindow(*plan, {i * 60, 0, i * 60 + 50, 50});
    ASSERT_TRUE(plan->Apply(0, nullptr));
    const auto pushes = f.recorder.Pushes();
    ASSERT_GT(pushes.size(), 1u);
    std::string joined;
    for (const auto& p : pushes) {
        EXPECT_LE(p.text.size(), 1024u);
        EXPECT_EQ(p.text.substr(p.text.size() - 2), "\r\n");
        joined += p.text;
    }
    EXPECT_EQ(joined.rfind("INPUT_FPGA SET_WINDOWS_USE_SCALER 1\r\n", 0), 0u);
    EXPECT_NE(joined.find("INPUT_FPGA ADD_WINDOWS 100 60 3540 0 3590 50\r\nINPUT_FPGA ADD_WINDOWS_END\r\n"),
              std::string::npos);
}

TEST(PlanApply, ModelTwoSharesScalersAndStoresInPresets)
{
    ApplyFixture f(2);
    f.Standard();
    f.processor->settings().SetSourceScaler(1);
    auto plan = MakePlan(1, 2);

    ASSERT_TRUE(plan->Apply(0, nullptr));
    EXPECT_EQ(f.recorder.Lines(), Crlf({"INPUT_FPGA CLEAR_OUTPUT_WINDOW 0 0"}));

    f.recorder.Clear();
    auto a = AddWindow(*plan, {0, 0, 960, 540});
    auto b = AddWindow(*plan, {960, 0, 1920, 540});
    const std::string layout = "INPUT_FPGA SCALER_SETUP 0 0 1 1920 1080 0 1919 0 1079 960 540\r\n"
                               "INPUT_FPGA SET_WINDOWS_LAYOUT 0 0 1920 1080\r\n"
                               "INPUT_FPGA ADD_WINDOWS 4 1 0 0 960 540 0 0 960 540\r\n"
                               "INPUT_FPGA ADD_WINDOWS 4 2 0 0 960 540 960 0 1920 540\r\n"
                               "INPUT_FPGA ADD_WINDOWS_END\r\n";
    ASSERT_TRUE(plan->Apply(0, nullptr));
    EXPECT_EQ(f.recorder.Pushes(), (std::vector<Pushed>{{layout, 1}}));
    plan->PlaceWindows();
    EXPECT_TRUE(a->resourceOk);
    EXPECT_TRUE(b->resourceOk);

    f.recorder.Clear();
    ASSERT_TRUE(plan->SaveToProcessor(3, nullptr));
    EXPECT_EQ(
        f.recorder.Pushes(),
        (std::vector<Pushed>{{"INPUT_FPGA SET_KEY_MODE 3\r\n", 1}, {layout, 1}, {"INPUT_FPGA SET_KEY_MODE 0\r\n", 1}}));
}

TEST(PlanApply, PresetStoreRefusedWhereTheModelKeepsNoPlans)
{
    for (int32_t kind : {1, 3, 5}) {
        ApplyFixture f(kind);
        f.Standard();
        auto plan = MakePlan(1, 2);
        AddWindow(*plan, {0, 0, 1920, 1080});
        EXPECT_FALSE(plan->SaveToProcessor(2, nullptr)) << kind;
        EXPECT_TRUE(f.recorder.Pushes().empty()) << kind;
    }
}

TEST(PlanApply, RefusedCommandsMakeTheApplyFail)
{
    for (int32_t kind : {1, 2, 3}) {
        ApplyFixture f(kind);
        f.Standard();
        auto plan = MakePlan(1, 2);
        AddWindow(*plan, {0, 0, 1920, 1080});
        FillQueue(*f.processor);
        EXPECT_FALSE(plan->Apply(0, nullptr)) << kind;
        if (kind == 2) {
            EXPECT_FALSE(plan->SaveToProcessor(1, nullptr));
        }
        if (kind == 3) {
            EXPECT_FALSE(SwitchPlan({{1000, 100}})->Apply(0, nullptr));
        }
    }
}

TEST(PlanApply, VisibleWindowsLeaveOutThoseCoveredFromAbove)
{
    ApplyFixture f;
    auto plan = MakePlan(1, 2);
    auto bottom = AddWindow(*plan, {0, 0, 100, 100});
    auto partly = AddWindow(*plan, {50, 0, 250, 100});
    AddWindow(*plan, {0, 0, 60, 100});
    AddWindow(*plan, {60, 0, 200, 100});
    AddWindow(*plan, {0, 0, 0, 0});
    std::vector<int32_t> ids{99};
    plan->GetVisibleWindows(ids);
    EXPECT_EQ(ids, (std::vector<int32_t>{partly->id, plan->GetWindowAt(2)->id, plan->GetWindowAt(3)->id}));
    (void)bottom;
}
