#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "apply_test_support.h"
#include "builder_records_support.h"
#include "layout_32x32_support.h"
#include "builder/pro16x16_builder.h"
#include "context/context.h"
#include "model/processor_settings.h"

namespace {

using Builder = CPro16x16Builder;

const std::vector<std::string> kOneWindowLines = Crlf({
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

} // namespace

// Per model: a window 1921 wide from x 1919 leaves a sliver under one source
// pixel on the left screen, left out while the rest is scaled; on a 4K screen
// a scaled window goes out tile by tile (the last tile's line given); where
// only output boards get window lines, one on a background is not placed.
TEST(LayoutBuilders, SliversAreLeftOutAndPlacedWindowsSent)
{
    for (const auto& [kind, scalers, cell, line] : std::vector<std::tuple<int32_t, int32_t, int32_t, std::string>>{
             {3, 4, 1920, "INPUT_FPGA AW 4 1 0 0 1920 1080 0 0 1920 1080\r\n"},
             {5, 4, 1920, "OUTPUT_FPGA ADD_WINDOWS 0 1 0 0 1920 1080 0 0 1920 1080\r\n"},
             {4, 0, 1920, "INPUT_FPGA ADD_WINDOWS 4 1 0 0 1920 1080 0 0 1920 1080\r\n"},
             {6, 0, 1920, "I_F AW 4 1 0 0 1920 1080 0 0 1920 1080\r\n"},
             {3, 4, 3840, "INPUT_FPGA AW 7 4 0 0 1920 1080 1920 1080 3840 2160\r\n"},
             {3, 0, 3840, "OUTPUT_FPGA AW 7 4 0 0 1920 1080 1920 1080 3840 2160\r\n"},
             {5, 4, 3840, "OUTPUT_FPGA ADD_WINDOWS 3 4 0 0 1920 1080 1920 1080 3840 2160\r\n"},
             {4, 4, 3840, ""},
             {6, 4, 3840, ""}}) {
        ApplyFixture f(kind);
        kind == 5 ? Standard32(f) : f.Standard(scalers);
        auto plan = MakePlan(1, 2, kPlanUniform, cell, cell * 9 / 16);
        auto w = AddWindow(*plan, cell == 1920 ? Rect{1919, 0, 3840, 1080} : Rect{0, 0, 3840, 2160});
        ASSERT_TRUE(plan->Apply(0, nullptr));
        plan->PlaceWindows();
        const auto lines = f.recorder.Lines();
        EXPECT_EQ(w->resourceOk, !line.empty()) << kind << " " << cell;
        EXPECT_EQ(std::count(lines.begin(), lines.end(), line), line.empty() ? 0 : 1) << line;
    }
}

TEST(Layout16x16, WindowTheSizeOfItsSourceGoesUnscaledThroughAnInputChannel)
{
    ApplyFixture f;
    f.Standard();
    auto plan = MakePlan(1, 2);
    auto w = AddWindow(*plan, {0, 0, 1920, 1080});

    ASSERT_TRUE(plan->Apply(0, nullptr));
    EXPECT_EQ(f.recorder.Lines(), kOneWindowLines);
    EXPECT_TRUE(f.processor->settings().IsStatusPollEnabled());

    plan->PlaceWindows();
    EXPECT_FALSE(w->resourceOk);

    Builder b(plan.get());
    b.Build();
    EXPECT_EQ(PieceOn(b, 1000, w->id)->status, Builder::kUnscaled);
    EXPECT_EQ(b.GetBoardParam(1), 4);
    EXPECT_EQ(b.GetBoardParam(10), 4);
    EXPECT_EQ(b.GetBoardParam(99), 0);
}

TEST(Layout16x16, FailedOutputPlacementRestoresTheContextAndGoesByPiece)
{
    ApplyFixture f;
    f.Standard(1, 0);
    auto plan = MakePlan(1, 2);
    auto w = AddWindow(*plan, {0, 0, 3840, 1080});

    TracingBuilder<Builder> b(plan.get());
    b.Build();
    EXPECT_EQ(b.steps, (std::vector<std::string>{"input+", "output-", "piece+"}));
    EXPECT_EQ(b.GetBoardParam(1), 1);
    EXPECT_TRUE(BoardOf(b, 1)->backgrounds.empty());
    EXPECT_TRUE(BoardOf(b, 1)->sources.empty());
    EXPECT_FALSE(b.IsWindowRealized(w->id));
    EXPECT_EQ(PieceOn(b, 1000, w->id)->status, Builder::kUnscaled);
    EXPECT_EQ(PieceOn(b, 1001, w->id)->status, Builder::kInvisible);

    ASSERT_TRUE(plan->Apply(0, nullptr));
    EXPECT_EQ(f.recorder.Lines(), kOneWindowLines);
}

TEST(Layout16x16, ScaledWindowIsComposedOnInputBoardBackgrounds)
{
    ApplyFixture f;
    f.Standard();
    auto plan = MakePlan(1, 2);
    auto w = AddWindow(*plan, {0, 0, 3840, 1080});

    ASSERT_TRUE(plan->Apply(0, nullptr));
    EXPECT_EQ(f.recorder.Lines(), Crlf({
                                      "INPUT_FPGA CSUSE 1",
                                      "INPUT_FPGA SCALER_SETUP 1 0 0 1920 1080 0 959 0 1079 1920 1080",
                                      "INPUT_FPGA SCALER_SETUP 1 1 0 1920 1080 960 1919 0 1079 1920 1080",
                                      "INPUT_FPGA COWIN 1 0",
                                      "INPUT_FPGA COWIN 1 1",
                                      "INPUT_FPGA COWIN 1 2",
                                      "INPUT_FPGA COWIN 1 3",
                                      "INPUT_FPGA SWL 1 0 1920 1080",
                                      "INPUT_FPGA AW 4 1 0 0 1920 1080 0 0 1920 1080",
                                      "INPUT_FPGA ADD_WINDOWS_END",
                                      "INPUT_FPGA SWL 1 1 1920 1080",
                                      "INPUT_FPGA AW 5 1 0 0 1920 1080 0 0 1920 1080",
                                      "INPUT_FPGA ADD_WINDOWS_END",
                                      "GP BPSW 1 4 0 4",
                                      "GP BPSW 1 5 0 5",
                                      "OUTPUT_FPGA CSUSE 0",
                                      "OUTPUT_FPGA COWIN 0 0",
                                      "OUTPUT_FPGA COWIN 0 1",
                                      "OUTPUT_FPGA COWIN 0 2",
                                      "OUTPUT_FPGA COWIN 0 3",
                                  }));
    plan->PlaceWindows();
    EXPECT_TRUE(w->resourceOk);
}

TEST(Layout16x16, MergesLeaveOneScalerForAWindowOverFourSmallOutputs)
{
    ApplyFixture f;
    f.AddBoard(1, 1, 4);
    f.AddBoard(10, 21, 4);
    f.AddSource(100, 1, 1280, 720);
    for (uint32_t id : {1000u, 1001u, 1002u, 1003u})
        f.AddOutput(id);
    f.SetWall({{{0, 0}, 1000}, {{0, 1}, 1001}, {{1, 0}, 1002}, {{1, 1}, 1003}});
    auto plan = MakePlan(2, 2, kPlanUniform, 960, 540);
    auto w = AddWindow(*plan, {0, 0, 1920, 1080});

    Builder b(plan.get());
    b.Build();
    EXPECT_TRUE(b.IsWindowRealized(w->id));
    const auto* board = BoardOf(b, 1);
    EXPECT_EQ(b.GetBoardParam(1), 3);
    EXPECT_EQ(board->backgrounds.size(), 4u);
    ASSERT_EQ(board->sources.size(), 1u);
    ASSERT_EQ(board->sources[0]->scalers.size(), 1u);
    const auto& scaler = board->sources[0]->scalers[0];
    EXPECT_EQ(scaler.number, 0);
    EXPECT_EQ(scaler.source, (Rect{0, 0, 1280, 720}));
    EXPECT_EQ(scaler.output, (Rect{0, 0, 1920, 1080}));
    // The split follows the window's scale: each quarter reads 640 x 360.
    EXPECT_EQ(PieceOn(b, 1003, w->id)->source, (Rect{640, 360, 1280, 720}));
}

TEST(Layout16x16, FifthOutputOfAWindowGoesToTheOutputBoardOrFindsNoChannel)
{
    for (bool channelsTaken : {false, true}) {
        ApplyFixture f;
        f.AddBoard(1, 1, 8);
        f.AddBoard(10, 21, 4);
        f.AddBoard(11, 21, 4);
        f.AddSource(100, 1, 1280, 720);
        std::map<std::pair<int32_t, int32_t>, int32_t> cells;
        const std::vector<uint32_t> ids{1000, 1001, 1002, 1003, 1100};
        for (size_t i = 0; i < ids.size(); ++i) {
            f.AddOutput(ids[i]);
            cells[{0, int32_t(i)}] = int32_t(ids[i]);
        }
        f.SetWall(cells);
        auto plan = MakePlan(1, 5, kPlanUniform, 960, 540);
        if (channelsTaken) {
            // Four other sources shown unscaled on output 1100 and placed
            // first; each peeks out from under the ones above it.
            for (int32_t i = 0; i < 4; ++i) {
                f.AddSource(uint32_t(101 + i), 1, 960 - 10 * i, 540);
                AddWindow(*plan, {3840, 0, 4800 - 10 * i, 540}, 101 + i);
            }
        }
        auto w = AddWindow(*plan, {0, 0, 4800, 500});

        Builder b(plan.get());
        b.Build();
        for (int32_t id : {1000, 1001, 1002, 1003})
            EXPECT_EQ(PieceOn(b, id, w->id)->status, Builder::kOnBackground);
        EXPECT_EQ(PieceOn(b, 1100, w->id)->status, channelsTaken ? Builder::kNoChannel : Builder::kOnOutputScaler);
        EXPECT_EQ(b.IsWindowRealized(w->id), !channelsTaken);
    }
}

TEST(Layout16x16, ScalerTilesCoverLargePiecesAndFailPastTheBoardsBudget)
{
    ApplyFixture f;
    f.Standard();
    auto plan = MakePlan(1, 2);
    Builder b(plan.get());

    auto tile = [&](const Rect& scaled, const Rect& source, int32_t budget) {
        Builder::_tagBoard board;
        board.scalerCount = budget;
        board.remaining = budget;
        auto use = std::make_shared<Builder::_tagSigSrc>();
        use->source = std::make_shared<Builder::SourceInfo>();
        use->board = &board;
        board.sources.push_back(use);
        Builder::_tagSigOutWin piece;
        piece.use = use;
        piece.scaled = scaled;
        piece.source = source;
        const bool ok = b.AssignScalers(board, piece);
        return std::make_pair(ok, ok ? use->scalers : std::vector<Builder::_tagScaler>{});
    };

    auto [ok2, two] = tile({0, 0, 3840, 1080}, {0, 0, 1920, 1080}, 4);
    ASSERT_TRUE(ok2);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].output, (Rect{0, 0, 1920, 1080}));
    EXPECT_EQ(two[1].output, (Rect{1920, 0, 3840, 1080}));
    EXPECT_EQ(two[0].source, (Rect{0, 0, 960, 1080}));
    EXPECT_EQ(two[1].source, (Rect{960, 0, 1920, 1080}));

    auto [ok4, four] = tile({0, 0, 1921, 1081}, {0, 0, 1921, 1081}, 4);
    ASSERT_TRUE(ok4);
    ASSERT_EQ(four.size(), 4u);
    EXPECT_EQ(four[1].output, (Rect{1920, 0, 1921, 1080}));
    EXPECT_EQ(four[2].output, (Rect{0, 1080, 1920, 1081}));
    EXPECT_EQ(four[3].number, 3);
    EXPECT_EQ(four[1].source.right % 2, 0); // odd right edges are raised

    EXPECT_FALSE(tile({0, 0, 1921, 1081}, {0, 0, 1921, 1081}, 3).first);
    // A damaged plan's huge picture fails at once instead of making tiles.
    EXPECT_FALSE(tile({0, 0, 2147483647, 2147483647}, {0, 0, 1920, 1080}, 16).first);
    // Nothing to scale to: fails rather than dividing by zero.
    EXPECT_FALSE(tile({0, 0, 0, 0}, {0, 0, 1920, 1080}, 4).first);
}

TEST(Layout16x16, ChannelsAndBackgroundsRunOutAsAllocationsSay)
{
    ApplyFixture f;
    f.Standard();
    auto plan = MakePlan(1, 2);
    Builder b(plan.get());
    Builder::SourceInfo cut;
    cut.type = 9;
    for (auto [id, key] :
         std::vector<std::pair<uint32_t, int32_t>>{{300, 300}, {305, 300}, {306, 301}, {324, 300}, {325, 301}}) {
        cut.id = id;
        EXPECT_EQ(b.SourceKey(cut), key) << id;
    }
    Builder::SourceInfo plain;
    plain.id = 307;
    EXPECT_EQ(b.SourceKey(plain), 307);

    Builder::_tagBoard board;
    board.number = 10;
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(b.AddBackground(board));
    EXPECT_FALSE(b.AddBackground(board));
    EXPECT_EQ(board.backgrounds.back()->number, 7);

    for (uint32_t id = 100; id < 104; ++id) {
        plain.id = id;
        EXPECT_EQ(b.AllocInputChannel(plain, board), int32_t(1000 + id - 100));
    }
    plain.id = 102;
    EXPECT_EQ(b.AllocInputChannel(plain, board), 1002); // already routed: reused
    plain.id = 104;
    EXPECT_EQ(b.AllocInputChannel(plain, board), -1);
    EXPECT_EQ(b.GetContext()->routes.size(), 4u);
    EXPECT_EQ(b.AllocOutputChannel(104, board), 1004);
}

TEST(Layout16x16, WindowsThatCannotBeShownAreSkippedOrGoByPiece)
{
    ApplyFixture f;
    f.Standard();
    f.AddSource(101, 1, 0, 0);
    f.AddSource(300, 3); // its board is not in the processor
    auto plan = MakePlan(1, 2);
    auto missing = AddWindow(*plan, {0, 0, 100, 100}, 999);
    auto boardless = AddWindow(*plan, {0, 0, 100, 100}, 300);
    auto noSignal = AddWindow(*plan, {1920, 0, 3840, 1080}, 101);

    Builder b(plan.get());
    b.Build();
    ASSERT_EQ(b.GetWindows().size(), 1u);
    EXPECT_EQ(b.GetWindows()[0]->window->id, noSignal->id);
    EXPECT_EQ(PieceOn(b, 1001, noSignal->id)->status, Builder::kInvisible);
    EXPECT_FALSE(b.IsWindowRealized(missing->id));
    EXPECT_FALSE(b.IsWindowRealized(boardless->id));
}

TEST(Layout16x16, EveryApplyIsLoggedUnderTheDaysLog)
{
    ApplyFixture f;
    f.Standard();
    auto plan = MakePlan(1, 2);
    AddWindow(*plan, {0, 0, 1920, 1080});
    ASSERT_TRUE(plan->Apply(0, nullptr));
    ASSERT_TRUE(plan->Apply(0, nullptr));
    std::string once = "-----------------------------------\r\n";
    for (const auto& l : kOneWindowLines)
        once += l;
    EXPECT_EQ(ReadLog("Pro16x16Builder"), once + once);
}

TEST(Layout16x16, ProcessorWithoutBoardsGetsTheSeparatorOnly)
{
    ApplyFixture f;
    auto plan = MakePlan(1, 2);
    AddWindow(*plan, {0, 0, 1920, 1080});
    f.processor->settings().SetStatusPoll(false);
    ASSERT_TRUE(plan->Apply(0, nullptr));
    EXPECT_TRUE(f.recorder.Pushes().empty());
    EXPECT_TRUE(f.processor->settings().IsStatusPollEnabled());
    EXPECT_EQ(ReadLog("Pro16x16Builder"), "-----------------------------------\r\n");
}

TEST(Layout16x16, SendWithoutProcessorDoesNothing)
{
    CQelContext::Destroy();
    ClearLogs();
    auto plan = MakePlan(1, 2);
    Builder b(plan.get());
    b.Build();
    EXPECT_FALSE(b.Send());
    EXPECT_EQ(ReadLog("Pro16x16Builder"), "");
}
