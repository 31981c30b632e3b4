#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "apply_test_support.h"
#include "builder/pro32x32_builder.h"
#include "builder_records_support.h"
#include "corlane/app_path.h"
#include "corlane/xdatetime.h"
#include "layout_32x32_support.h"
#include "model/processor_link.h"
#include "model/processor_settings.h"

namespace {

using Builder = CPro32x32Builder;

// Notes the status-poll switch as each line goes out.
class PollWatchingBuilder : public Builder {
public:
    using Builder::Builder;
    bool SendOne(const std::string& line) override
    {
        polls.push_back(GetProcessor()->settings().IsStatusPollEnabled());
        return Builder::SendOne(line);
    }
    std::vector<bool> polls;
};

// Gives every piece of board 1's four backgrounds to another window.
class FullBackgroundsBuilder : public TracingBuilder<Builder> {
public:
    using TracingBuilder<Builder>::TracingBuilder;
    void CollectBoards() override
    {
        TracingBuilder<Builder>::CollectBoards();
        _tagBoard* board = BoardOf(*this, 1);
        while (AddBackground(*board)) {
            auto foreign = std::make_shared<_tagSigOutWin>();
            foreign->windowId = 999;
            board->backgrounds.back()->pieces.push_back(foreign);
        }
    }
};

} // namespace

TEST(Layout32x32, StretchedWindowIsScaledOnTheOutputBoard)
{
    ApplyFixture f(5);
    Standard32(f);
    auto plan = MakePlan(1, 2);
    auto w = AddWindow(*plan, {0, 0, 3840, 1080});

    TracingBuilder<Builder> b(plan.get());
    b.Build();
    // The root's order would have composed both pieces on board 1.
    EXPECT_EQ(b.steps, (std::vector<std::string>{"output+", "input+"}));
    EXPECT_EQ(PieceOn(b, 10100, w->id)->status, Builder::kOnOutputScaler);
    EXPECT_EQ(PieceOn(b, 10101, w->id)->status, Builder::kOnOutputScaler);
    EXPECT_TRUE(b.IsWindowRealized(w->id));
    EXPECT_EQ(b.GetBoardParam(101), 2);
    EXPECT_EQ(b.GetBoardParam(1), 4);
    EXPECT_TRUE(BoardOf(b, 1)->backgrounds.empty());

    plan->PlaceWindows();
    EXPECT_TRUE(w->resourceOk);

    ASSERT_TRUE(plan->Apply(0, nullptr));
    EXPECT_EQ(f.recorder.Lines(), kStretchedLines);
    std::string log = "-----------------------------------\r\n";
    for (const auto& l : kStretchedLines)
        log += l;
    EXPECT_EQ(ReadLog("Pro32x32Builder"), log);

    // The status poll is off while the layout is queued, on afterwards.
    PollWatchingBuilder watched(plan.get());
    watched.Build();
    ASSERT_TRUE(watched.Send());
    EXPECT_EQ(watched.polls, std::vector<bool>(kStretchedLines.size(), false));
    EXPECT_TRUE(f.processor->settings().IsStatusPollEnabled());
}

TEST(Layout32x32, EachLineIsLoggedBeforeItIsQueued)
{
    ApplyFixture f(5);
    Standard32(f);
    auto plan = MakePlan(1, 2);
    AddWindow(*plan, {0, 0, 3840, 1080});
    std::vector<std::string> notLoggedYet;
    f.processor->link().SetPushObserver([&](std::string_view text, int32_t) {
        const std::string log = ReadLog("Pro32x32Builder");
        if (log.size() < text.size() || log.compare(log.size() - text.size(), text.size(), text) != 0)
            notLoggedYet.emplace_back(text);
    });
    ASSERT_TRUE(plan->Apply(0, nullptr));
    EXPECT_TRUE(notLoggedYet.empty()) << notLoggedYet.front();
}

TEST(Layout32x32, UnwritableLogLosesOnlyTheLogLines)
{
    ApplyFixture f(5);
    Standard32(f);
    auto plan = MakePlan(1, 2);
    AddWindow(*plan, {0, 0, 3840, 1080});
    // A file where the day's log folder should be.
    const auto today = qz::vok::xdatetime::get_curdatetime().get_date();
    std::ofstream(qz::vok::path::GetLogPath() + "/" + today.tostr()) << "x";
    ASSERT_TRUE(plan->Apply(0, nullptr));
    EXPECT_EQ(f.recorder.Lines(), kStretchedLines);
    EXPECT_EQ(ReadLog("Pro32x32Builder"), "");
}

TEST(Layout32x32, PlaceInputFailsWhenTheSourceBoardHasNoBackgroundLeft)
{
    auto plan = MakePlan(1, 2);
    auto w = AddWindow(*plan, {0, 0, 3840, 1080});
    {
        ApplyFixture f(5);
        Standard32(f);
        // On PlaceInput itself: with board 1's backgrounds all taken by
        // another window it fails. With one free, the first piece takes it
        // and the second shares it, since a background is found by the
        // window of its first piece.
        FullBackgroundsBuilder b(plan.get());
        b.CollectBoards();
        b.CollectWindows();
        auto* board = BoardOf(b, 1);
        auto& window = *b.GetWindows().front();
        ASSERT_TRUE(b.SplitSourceRect(window));
        EXPECT_FALSE(b.PlaceInput(window));
        EXPECT_EQ(PieceOn(b, 10100, w->id)->status, Builder::kNotPlaced);

        board->backgrounds.pop_back();
        ASSERT_TRUE(b.PlaceInput(window));
        ASSERT_EQ(board->backgrounds.size(), 4u);
        const auto& own = board->backgrounds.back();
        ASSERT_EQ(own->pieces.size(), 2u);
        EXPECT_EQ(own->pieces[0]->windowId, w->id);
        EXPECT_EQ(PieceOn(b, 10101, w->id)->status, Builder::kOnBackground);
        EXPECT_EQ(BoardOf(b, 101)->outputs[1]->background, own);

        // Through Build the output side places every piece first, so
        // PlaceInput finds nothing to place and full backgrounds do not matter.
        FullBackgroundsBuilder built(plan.get());
        built.Build();
        EXPECT_EQ(built.steps, (std::vector<std::string>{"output+", "input+"}));
        EXPECT_TRUE(built.IsWindowRealized(w->id));
    }
    {
        // When the output side fails, the context is restored and the window
        // goes by piece without PlaceInput being tried.
        ApplyFixture f(5);
        Standard32(f, 0);
        FullBackgroundsBuilder b(plan.get());
        b.Build();
        EXPECT_EQ(b.steps, (std::vector<std::string>{"output-", "piece+"}));
        EXPECT_EQ(PieceOn(b, 10100, w->id)->status, Builder::kUnscaled);
        EXPECT_EQ(BoardOf(b, 101)->sources.size(), 1u);
        EXPECT_FALSE(b.IsWindowRealized(w->id));
    }
}

TEST(Layout32x32, MissingBoardsStillCloseTheLayout)
{
    auto linesFor = [](const std::function<void(ApplyFixture&)>& setUp) {
        ApplyFixture f(5);
        setUp(f);
        auto plan = MakePlan(1, 2);
        AddWindow(*plan, {0, 0, 3840, 1080});
        EXPECT_TRUE(plan->Apply(0, nullptr));
        return f.recorder.Lines();
    };
    // Only the output board: no input board gives the default background.
    EXPECT_EQ(linesFor([](ApplyFixture& f) {
                  f.AddBoard(101, 21, 4);
                  f.AddOutput(10100);
                  f.AddOutput(10101);
                  f.SetWall({{{0, 0}, 10100}, {{0, 1}, 10101}});
              }),
              Crlf({"GP BPSW -1 -1 1 4", "GP BPSW -1 -1 1 5", "OUTPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY 1",
                    "K40750 UPDATA 0", "K40750 UPDATA 1"}));
    EXPECT_EQ(linesFor([](ApplyFixture&) {}), Crlf({"K40750 UPDATA 0", "K40750 UPDATA 1"}));
    EXPECT_EQ(linesFor([](ApplyFixture& f) {
                  f.AddBoard(1, 1, 4);
                  f.AddSource(100, 1);
              }),
              Crlf({"INPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY 1", "K40750 UPDATA 0", "K40750 UPDATA 1"}));
}

TEST(Layout32x32, UnscaledPieceIsNeverStretchedAndKeepsItsStartPoint)
{
    ApplyFixture f(5);
    Standard32(f, 0);
    f.processor->RemoveSigSrc(100);
    f.AddSource(100, 1, 100, 50, 1, {8, 4});
    auto plan = MakePlan(1, 2);
    auto w = AddWindow(*plan, {0, 0, 200, 200});

    ASSERT_TRUE(plan->Apply(0, nullptr));
    EXPECT_EQ(f.recorder.Lines(), Crlf({
                                      "INPUT_FPGA VIDEO_OUTPUT_SETUP 1 0 0 100 50 0 99 0 49 100 50",
                                      "GP BPSW 1 0 1 0",
                                      "GP BPSW 1 4 1 4",
                                      "GP BPSW 1 4 1 5",
                                      "OUTPUT_FPGA SET_WINDOWS_LAYOUT 1 0 1920 1080",
                                      "OUTPUT_FPGA ADD_WINDOWS 0 1 8 4 108 54 0 0 100 50",
                                      "OUTPUT_FPGA ADD_WINDOWS_END",
                                      "INPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY 1",
                                      "OUTPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY 1",
                                      "K40750 UPDATA 0",
                                      "K40750 UPDATA 1",
                                  }));
    plan->PlaceWindows();
    EXPECT_FALSE(w->resourceOk);
}

TEST(Layout32x32, CutOutSourceTakesItsSizeFromTheCarrierInput)
{
    const std::string scalerLine = "OUTPUT_FPGA SCALER_SETUP 1 0 0 1920 1080 100 739 50 409 1920 1080\r\n";
    auto linesFor = [](bool withCarrier) {
        ApplyFixture f(5);
        f.AddBoard(3, 1, 4);
        f.AddBoard(101, 21, 4);
        f.AddSource(307, 3, 640, 360, 9, {100, 50});
        if (withCarrier)
            f.AddSource(325, 3, 1920, 1080);
        f.AddOutput(10100);
        f.SetWall({{{0, 0}, 10100}});
        auto plan = MakePlan(1, 1);
        AddWindow(*plan, {0, 0, 1920, 1080}, 307);
        EXPECT_TRUE(plan->Apply(0, nullptr));
        return f.recorder.Lines();
    };
    auto with = linesFor(true);
    const auto without = linesFor(false);
    ASSERT_GE(with.size(), 3u);
    // Source 307 goes by its carrier's key, 301: port 1 of board 3.
    EXPECT_EQ(with[0], "INPUT_FPGA VIDEO_OUTPUT_SETUP 3 1 1 640 360 0 639 0 359 640 360\r\n");
    EXPECT_EQ(with[1], "GP BPSW 3 1 1 0\r\n");
    const auto scaler = std::find(with.begin(), with.end(), scalerLine);
    ASSERT_NE(scaler, with.end());
    with.erase(scaler);
    EXPECT_EQ(with, without);
}

TEST(Layout32x32, RefusedLinesFailTheSendButTheRestStillGoesOut)
{
    // A line too long for the queue stands in for any refused one.
    class OverlongDisplayUpdate : public Builder {
    public:
        using Builder::Builder;
        bool CmdInputUpdateDisplay(int32_t) override { return SendOne(std::string(2000, 'A') + "\r\n"); }
    };
    ApplyFixture f(5);
    Standard32(f);
    auto plan = MakePlan(1, 2);
    AddWindow(*plan, {0, 0, 3840, 1080});
    OverlongDisplayUpdate b(plan.get());
    b.Build();
    EXPECT_FALSE(b.Send());
    auto expected = kStretchedLines;
    expected.erase(expected.begin() + 12);
    EXPECT_EQ(f.recorder.Lines(), expected);
    EXPECT_TRUE(f.processor->settings().IsStatusPollEnabled());

    // A full queue: Apply reports the failure.
    FillQueue(*f.processor);
    EXPECT_FALSE(plan->Apply(0, nullptr));
}

TEST(Layout32x32, ScalerUseWithoutARouteLosesOnlyItsScalerSetup)
{
    ApplyFixture f(5);
    Standard32(f);
    auto plan = MakePlan(1, 2);
    AddWindow(*plan, {0, 0, 3840, 1080});
    Builder b(plan.get());
    b.Build();
    b.GetContext()->routes.clear();
    ASSERT_TRUE(b.Send());
    auto expected = kStretchedLines;
    // The route line and the two output scaler set-ups.
    expected.erase(expected.begin() + 4, expected.begin() + 6);
    expected.erase(expected.begin() + 1);
    EXPECT_EQ(f.recorder.Lines(), expected);
}
