#include <gtest/gtest.h>

#include "apply_test_support.h"
#include "builder/pro16part_builder.h"
#include "core/event_queue.h"
#include "model/processor_records.h"
#include "model/processor_settings.h"

namespace {

const std::vector<std::string> kSusd = Crlf({"I_F SUSD 1", "I_F SUSD 2", "O_F SUSD 0"});

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Model 6: input boards 1 and 2 without scalers, output board 10 with four,
// outputs 1000 and 1001 of 1920 x 1080 side by side, source 200 on board 2.
struct PartFixture : ApplyFixture {
    PartFixture() : ApplyFixture(6)
    {
        AddBoard(1, 1, 0);
        AddBoard(2, 1, 0);
        AddBoard(10, 21, 4);
        AddSource(200, 2);
        AddSizedOutput(1000);
        AddSizedOutput(1001);
        SetWall({{{0, 0}, 1000}, {{0, 1}, 1001}});
    }
    void AddSizedOutput(uint32_t id, int32_t width = 1920, int32_t height = 1080)
    {
        AddOutput(id);
        processor->GetSigOut(id)->SetResolution({width, height, 60});
    }
};

size_t Count(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++n;
    return n;
}

} // namespace

TEST(SixteenPart, SplitsThePlanByInputBoard)
{
    PartFixture f;
    f.AddBoard(3, 1, 0);
    f.AddBoard(4, 1, 0);
    auto plan = MakePlan(1, 2);
    plan->SetName("wall");
    auto covered = AddWindow(*plan, {0, 0, 100, 100}, 200);
    auto a = AddWindow(*plan, {0, 0, 1920, 1080}, 200);
    auto b = AddWindow(*plan, {1920, 0, 3840, 1080}, 200);
    auto missing = AddWindow(*plan, {100, 100, 200, 200}, 777);

    EventPtr event;
    while (CEvtQueue::get_instance().TryPop(event)) {
    }
    CPro16PartBuilder builder(plan.get());
    builder.Build();
    // Part plans stay inside the builder: no event announces them.
    EXPECT_FALSE(CEvtQueue::get_instance().TryPop(event));
    ASSERT_EQ(builder.PartPlans().size(), 4u);
    ASSERT_EQ(builder.PartBuilders().size(), 4u);
    for (const auto& [number, part] : builder.PartPlans()) {
        EXPECT_EQ(part->GetId(), 10000);
        EXPECT_EQ(part->GetName(), "wall");
        EXPECT_EQ(part->GetType(), kPlanUniform);
        EXPECT_EQ(part->GetWindowCount(), number == 2 ? 2 : 0) << number;
    }
    const auto& part = *builder.PartPlans().at(2);
    EXPECT_EQ(part.GetWindowAt(0)->id, a->id);
    EXPECT_EQ(part.GetWindowAt(0)->layer, 1);
    EXPECT_EQ(part.GetWindowAt(1)->id, b->id);
    EXPECT_EQ(part.GetWindowAt(1)->layer, 2);
    EXPECT_FALSE(builder.IsWindowRealized(a->id)); // as large as its source: by piece
    EXPECT_FALSE(builder.IsWindowRealized(covered->id));
    EXPECT_FALSE(builder.IsWindowRealized(missing->id));

    ASSERT_TRUE(builder.Send());
    EXPECT_EQ(f.recorder.Lines(), Crlf({
                                      "I_F SWL 2 0 1920 1200",
                                      "I_F AW 0 1 0 0 1920 1080 0 0 1920 1080",
                                      "I_F AWE",
                                      "I_F SWL 2 1 1920 1200",
                                      "I_F AW 0 1 0 0 1920 1080 0 0 1920 1080",
                                      "I_F AWE",
                                      "O_F SWL 0 0 1920 1080",
                                      "O_F AW 2 1 0 0 1920 1080 0 0 1920 1080",
                                      "O_F AWE",
                                      "O_F SWL 0 1 1920 1080",
                                      "O_F AW 6 1 0 0 1920 1080 0 0 1920 1080",
                                      "O_F AWE",
                                      "I_F SUSD 1",
                                      "I_F SUSD 2",
                                      "I_F SUSD 3",
                                      "I_F SUSD 4",
                                      "O_F SUSD 0",
                                  }));
    EXPECT_TRUE(f.processor->settings().IsStatusPollEnabled());
    // Four part builders, four separators; the parent logs no separator.
    const std::string log = ReadLog("Pro16PartBuilder");
    EXPECT_EQ(Count(log, "-----------------------------------\r\n"), 4u);
    EXPECT_NE(log.find("O_F SUSD 0\r\n"), std::string::npos);
}

TEST(SixteenPart, UnscaledWindowsGoByPieceCutToTheirSource)
{
    PartFixture f;
    f.AddSource(201, 2, 640, 480, 1, {8, 4});
    auto plan = MakePlan(1, 2);
    // Wider than its source but not to be scaled: piece by piece, its right
    // half showing nothing.
    auto wide = AddWindow(*plan, {0, 0, 3840, 1080}, 200);
    wide->scaled = false;
    CPro16PartBuilder builder(plan.get());
    builder.Build();
    EXPECT_FALSE(builder.IsWindowRealized(wide->id));
    ASSERT_TRUE(builder.Send());
    EXPECT_EQ(f.recorder.Lines(), Join(Crlf({
                                           "I_F SWL 2 0 1920 1200",
                                           "I_F AW 0 1 0 0 1920 1080 0 0 1920 1080",
                                           "I_F AWE",
                                           "O_F SWL 0 0 1920 1080",
                                           "O_F AW 2 1 0 0 1920 1080 0 0 1920 1080",
                                           "O_F AWE",
                                           "OUTPUT_FPGA CLEAR_OUTPUT_WIN 0 1",
                                       }),
                                       kSusd));

    // A small source in a large unscaled window: the area is cut to the
    // source's size, the source read at its start point.
    f.recorder.Clear();
    plan->RemoveWindow(wide);
    auto small = AddWindow(*plan, {0, 0, 1920, 1080}, 201);
    small->scaled = false;
    CPro16PartBuilder second(plan.get());
    second.Build();
    ASSERT_TRUE(second.Send());
    EXPECT_EQ(f.recorder.Lines(), Join(Crlf({
                                           "I_F SWL 2 0 1920 1200",
                                           "I_F AW 1 1 8 4 648 484 0 0 640 480",
                                           "I_F AWE",
                                           "O_F SWL 0 0 1920 1080",
                                           "O_F AW 2 1 0 0 640 480 0 0 640 480",
                                           "O_F AWE",
                                           "OUTPUT_FPGA CLEAR_OUTPUT_WIN 0 1",
                                       }),
                                       kSusd));
}

TEST(SixteenPart, ScalerTilesMergeIntoOneAreaPerPort)
{
    PartFixture f;
    f.processor->GetSigOut(1000)->SetResolution({3840, 1080, 60});
    auto plan = MakePlan(1, 1, kPlanUniform, 3840, 1080);
    f.SetWall({{{0, 0}, 1000}});
    auto w = AddWindow(*plan, {0, 0, 3000, 1080}, 200);
    CPro16PartBuilder builder(plan.get());
    builder.Build();
    EXPECT_TRUE(builder.IsWindowRealized(w->id));
    ASSERT_TRUE(builder.Send());
    EXPECT_EQ(f.recorder.Lines(), Join(Crlf({
                                           "I_F SCALER_SETUP 2 0 0 1920 1080 0 1227 0 1079 1920 1080",
                                           "I_F SCALER_SETUP 2 1 0 1920 1080 1228 1919 0 1079 1080 1080",
                                           "I_F SWL 2 0 1920 1200",
                                           "I_F AW 4 1 0 0 1920 1080 0 0 1920 1080",
                                           "I_F AW 5 2 0 0 1080 1080 1920 0 3000 1080",
                                           "I_F AWE",
                                           "O_F SWL 0 0 3840 1080",
                                           "O_F AW 2 1 0 0 3000 1080 0 0 3000 1080",
                                           "O_F AWE",
                                           "OUTPUT_FPGA CLEAR_OUTPUT_WIN 0 1",
                                       }),
                                       kSusd));
    const auto& part = *builder.PartBuilders().at(2);
    ASSERT_EQ(part.Collected().size(), 1u);
    EXPECT_EQ(part.Collected()[0].right, 3000);
}

TEST(SixteenPart, CollectedKeepsOnePortRecordOfTheServedBoard)
{
    PartFixture f;
    f.AddSource(201, 2, 960, 540);
    auto plan = MakePlan(1, 2);
    auto a = AddWindow(*plan, {0, 0, 960, 540}, 201);
    auto b = AddWindow(*plan, {960, 0, 1920, 540}, 201);
    auto c = AddWindow(*plan, {1920, 0, 2880, 540}, 201);
    CPro16PartBuilder builder(plan.get());
    builder.Build();
    ASSERT_TRUE(builder.Send());
    const auto& collected = builder.PartBuilders().at(2)->Collected();
    ASSERT_EQ(collected.size(), 2u);
    EXPECT_EQ(collected[0].window, a->id);
    EXPECT_EQ(collected[0].port, 0);
    EXPECT_EQ((Rect{collected[0].left, collected[0].top, collected[0].right, collected[0].bottom}),
              (Rect{0, 0, 1920, 540}));
    EXPECT_EQ(collected[1].window, c->id);
    EXPECT_EQ(collected[1].port, 1);
    (void)b;
}

// With two output boards the first is the one laid out; the second's areas
// must not land on its ports.
TEST(SixteenPart, SecondOutputBoardGetsOnlyItsSusdLine)
{
    PartFixture f;
    f.AddBoard(11, 21, 4);
    f.AddSizedOutput(1100);
    f.AddSizedOutput(1101);
    f.SetWall({{{0, 0}, 1000}, {{0, 1}, 1001}, {{1, 0}, 1100}, {{1, 1}, 1101}});
    auto plan = MakePlan(2, 2);
    AddWindow(*plan, {0, 0, 1920, 1080}, 200);
    AddWindow(*plan, {0, 1080, 960, 1620}, 200);
    CPro16PartBuilder builder(plan.get());
    builder.Build();
    ASSERT_TRUE(builder.Send());
    EXPECT_EQ(f.recorder.Lines(), Crlf({
                                      "I_F SWL 2 0 1920 1200",
                                      "I_F AW 0 1 0 0 1920 1080 0 0 1920 1080",
                                      "I_F AWE",
                                      "I_F SCALER_SETUP 2 0 0 1920 1080 0 1919 0 1079 960 540",
                                      "I_F SWL 2 0 1920 1200",
                                      "I_F AW 4 1 0 0 960 540 0 0 960 540",
                                      "I_F AWE",
                                      "O_F SWL 0 0 1920 1080",
                                      "O_F AW 2 1 0 0 1920 1080 0 0 1920 1080",
                                      "O_F AWE",
                                      "OUTPUT_FPGA CLEAR_OUTPUT_WIN 0 1",
                                      "I_F SUSD 1",
                                      "I_F SUSD 2",
                                      "O_F SUSD 0",
                                      "O_F SUSD 1",
                                  }));
}

TEST(SixteenPart, OutputPassSkipsAreasItCannotShow)
{
    PartFixture f;
    auto plan = MakePlan(1, 2);
    auto w = AddWindow(*plan, {0, 0, 100, 100}, 200);
    CPro16PartBuilder builder(plan.get());
    // Outside the output, then inside: the index counts written areas only.
    builder.OutputWindowPass(0, {{w->id, 2, 0, 1920, 0, 2000, 100},
                                 {w->id, 2, 0, 1900, 10, 2000, 20},
                                 {w->id, 2, 1, 0, 0, 10, 10},
                                 {w->id + 1, 2, 0, 0, 0, 10, 10}});
    EXPECT_EQ(f.recorder.Lines(),
              Crlf({"O_F SWL 0 0 1920 1080", "O_F AW 2 1 1900 10 1920 20 1900 10 1920 20", "O_F AWE"}));

    // A 0 x 0 output clips everything away; without the output, or without
    // an output board, the port gets no line at all.
    f.recorder.Clear();
    f.processor->GetSigOut(1001)->SetResolution({0, 0, 60});
    builder.OutputWindowPass(1, {{w->id, 2, 1, 0, 0, 10, 10}});
    f.processor->records().RemoveSigOut(1001);
    builder.OutputWindowPass(1, {{w->id, 2, 1, 0, 0, 10, 10}});
    EXPECT_EQ(f.recorder.Lines(), Crlf({"OUTPUT_FPGA CLEAR_OUTPUT_WIN 0 1"}));

    f.recorder.Clear();
    f.processor->records().RemoveBoard(10);
    CPro16PartBuilder noOutputBoard(plan.get());
    noOutputBoard.Build();
    ASSERT_TRUE(noOutputBoard.Send());
    EXPECT_EQ(f.recorder.Lines(), Crlf({"I_F SUSD 1", "I_F SUSD 2"}));
}

TEST(SixteenPart, ApplyCheckAndPresetStore)
{
    PartFixture f;
    auto plan = MakePlan(1, 2);
    ASSERT_TRUE(plan->Apply(0, nullptr));
    EXPECT_EQ(f.recorder.Lines(),
              Join(Crlf({"GP SDMI 0", "OUTPUT_FPGA CLEAR_OUTPUT_WIN 0 0", "OUTPUT_FPGA CLEAR_OUTPUT_WIN 0 1"}), kSusd));

    auto scaled = AddWindow(*plan, {0, 0, 3840, 1080}, 200);
    auto pieces = AddWindow(*plan, {0, 0, 960, 540}, 200);
    pieces->scaled = false;
    plan->PlaceWindows();
    EXPECT_TRUE(scaled->resourceOk);
    EXPECT_FALSE(pieces->resourceOk);
    EXPECT_EQ(f.recorder.Lines().size(), 6u); // the check queues nothing

    plan->RemoveWindow(pieces);
    f.recorder.Clear();
    ASSERT_TRUE(plan->SaveToProcessor(3, nullptr));
    const auto lines = f.recorder.Lines();
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines.front(), "GP SDMI 2\r\n");
    EXPECT_EQ(lines[1], "I_F SCALER_SETUP 2 0 0 1920 1080 0 959 0 1079 1920 1080\r\n");
    EXPECT_EQ(lines[17], "O_F SUSD 0\r\n");
    EXPECT_EQ(lines.back(), "GP SDMI 0\r\n");

    // A switch plan has no path on this model.
    auto switchPlan = MakePlan(1, 2, kPlanSwitch);
    switchPlan->SetSwitch(1000, 200);
    EXPECT_FALSE(switchPlan->Apply(0, nullptr));

    FillQueue(*f.processor);
    EXPECT_FALSE(plan->Apply(0, nullptr));
    EXPECT_FALSE(plan->SaveToProcessor(3, nullptr));
    EXPECT_TRUE(f.processor->settings().IsStatusPollEnabled());
}
