// The cycle-plan runner on a model-1 processor at the simulator, its time
// scaled down: plans applied in turn, skipped when gone, the countdown,
// the window's size, its buttons and its miniature.
#include <QTest>

#include "dialogs/cycle_plan_actions.h"
#include "dialogs/run_cycle_plan_dlg.h"
#include "model/processor.h"
#include "model/sig_src.h"
#include "tests/builder/sender_test_support.h"
#include "tests/dialogs/cycle_plan_test_support.h"
#include "tests/dialogs/dialog_test_support.h"
#include "tests/model/link_fixture.h"
#include "tests/support/ui/screenshot.h"
#include "uikit/res_path.h"

using namespace cycletest;
using namespace dialogtest;
using tavrix::test::pumpUntil;

namespace {

constexpr int64_t kSpeedup = 10;
const std::string kClear = "INPUT_FPGA CLEAR_OUTPUT_WIN\r\n";
// Plan B: one window of source 100 over the wall's top-left quarter.
const std::vector<std::string> kPlanB = {
    "INPUT_FPGA SET_WINDOWS_USE_SCALER 1\r\n",
    "INPUT_FPGA SET_WINDOWS_LAYOUT 1920 1080\r\n",
    "INPUT_FPGA ADD_WINDOWS 100 1 0 0 960 540\r\n",
    "INPUT_FPGA ADD_WINDOWS_END\r\n",
};

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> out;
    for (const auto& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

QPoint Centre(const Rect& r)
{
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

class CycleRunner : public tavrix::test::UiTest {
protected:
    void SetUp() override
    {
        CEvtQueue::get_instance().Clear();
        FreshPlanFolder();
        // Button pictures of 24 x 24 pixels.
        std::filesystem::create_directories(ui::resPath(""));
        QImage button(24, 24, QImage::Format_ARGB32);
        button.fill(Qt::white);
        for (const char* file : {kRunCycleCloseFile, kRunCycleMinimiseFile})
            ASSERT_TRUE(button.save(QString::fromStdString(ui::resPath(file))));
        link.processor->SetOutputResolution(1920, 1080, 60);
        AddTestSource(*link.processor, 100, 1920, 1080);
        AddTestSource(*link.processor, 101, 1920, 1080);
        link.processor->GetSigSrc(100)->SetJoined(true);
        CQelContext::SetSelSigSrc(1, 100);
        ASSERT_TRUE(pumpUntil([&] { return link.processor->IsConnected(); }));
        SavePlan("A");
        SavePlan("B", {1920, 1080, 60}, {{100, Rect{0, 0, 960, 540}}});
        link.SentBefore();
    }
    void TearDown() override
    {
        tavrix::test::UiTest::TearDown();
        CEvtQueue::get_instance().Clear();
    }

    // Runs the cycle plan at `index` with `work` on its window, which then
    // closes it by its close button.
    void Run(int index, std::function<void(CRunCyclePlanDlg&)> work)
    {
        AnswerAs<CRunCyclePlanDlg>([work](CRunCyclePlanDlg& run) {
            work(run);
            QTest::mouseClick(&run, Qt::LeftButton, {}, Centre(run.Rects().close));
            EXPECT_TRUE(pumpUntil([&] { return !run.isVisible(); }));
            EXPECT_FALSE(run.IsTimerRunning());
        });
        RunCyclePlanAt(nullptr, index);
    }

    size_t Count(const std::string& line) const
    {
        const auto texts = link.simulator.Texts();
        return size_t(std::count(texts.begin(), texts.end(), line));
    }
    // Real time that `seconds` of the tour last.
    std::chrono::steady_clock::duration Seconds(int seconds)
    {
        return clock.RealDuration(std::chrono::seconds(seconds));
    }
    // When each line that starts applying A or B arrived, from `start`.
    std::vector<std::pair<std::string, std::chrono::steady_clock::duration>>
    Applies(std::chrono::steady_clock::time_point start) const
    {
        std::vector<std::pair<std::string, std::chrono::steady_clock::duration>> out;
        for (const auto& line : link.simulator.Lines()) {
            if (line.text == kClear)
                out.emplace_back("A", line.at - start);
            else if (line.text == kPlanB.front())
                out.emplace_back("B", line.at - start);
        }
        return out;
    }

    platform::ScaledClock clock{kSpeedup};
    LinkFixture link{clock, 1, 0};
};

} // namespace

TEST_F(CycleRunner, AppliesEachCellInTurnAndCountsItsSecondsDown)
{
    ListCycle("tour", {{"A", 5}, {"B", 3}});
    std::vector<QString> titles;
    const auto start = std::chrono::steady_clock::now();
    Run(0, [&](CRunCyclePlanDlg& run) {
        EXPECT_EQ(run.size(), QSize(960, 540));
        const auto watch = [&] {
            const QString title = run.TitleText();
            if (!title.isEmpty() && (titles.empty() || titles.back() != title))
                titles.push_back(title);
        };
        ASSERT_TRUE(pumpUntil([&] { return watch(), Count(kClear) >= 1; }));
        // Minimised, the tour goes on.
        QTest::mouseClick(&run, Qt::LeftButton, {}, Centre(run.Rects().minimise));
        EXPECT_TRUE(run.isMinimized());
        ASSERT_TRUE(pumpUntil([&] { return watch(), Count(kClear) >= 2; }));
        run.showNormal();
    });
    EXPECT_EQ(link.simulator.Texts(), Concat({{kClear}, kPlanB, {kClear}}));
    const auto applies = Applies(start);
    ASSERT_EQ(applies.size(), 3u);
    EXPECT_EQ(applies[0].first, "A");
    EXPECT_GE(applies[0].second, Seconds(1));
    EXPECT_EQ(applies[1].first, "B");
    EXPECT_GE(applies[1].second, Seconds(6));
    EXPECT_EQ(applies[2].first, "A");
    EXPECT_GE(applies[2].second, Seconds(9));
    const std::vector<QString> countdown = {"A (5 sec)", "A (4 sec)", "A (3 sec)", "A (2 sec)", "A (1 sec)",
                                            "B (3 sec)", "B (2 sec)", "B (1 sec)", "A (5 sec)"};
    ASSERT_GE(titles.size(), countdown.size());
    EXPECT_EQ(std::vector<QString>(titles.begin(), titles.begin() + long(countdown.size())), countdown);

    // Closed: nothing more is applied.
    link.simulator.ClearLines();
    pumpUntil([] { return false; }, int(std::chrono::duration_cast<std::chrono::milliseconds>(Seconds(3)).count()));
    EXPECT_TRUE(link.SentBefore().empty());
}

TEST_F(CycleRunner, SkipsPlansThatAreGoneAndPlaysNothingWithoutCells)
{
    SavePlan("C");
    ListCycle("tour", {{"A", 1}, {"C", 1}, {"B", 1}});
    ASSERT_TRUE(CQelContext::GetPlanMan()->DeletePlanFile("C"));
    const auto start = std::chrono::steady_clock::now();
    Run(0, [&](CRunCyclePlanDlg&) {
        ASSERT_TRUE(pumpUntil([&] { return Count(kPlanB.back()) >= 1; }));
        // Deleted while the tour runs: skipped at its next turn.
        EXPECT_TRUE(CQelContext::GetPlanMan()->DeletePlanFile("B"));
        ASSERT_TRUE(pumpUntil([&] { return Count(kClear) >= 3; }));
    });
    EXPECT_EQ(link.simulator.Texts(), Concat({{kClear}, kPlanB, {kClear, kClear}}));
    const auto applies = Applies(start);
    ASSERT_EQ(applies.size(), 4u);
    EXPECT_GE(applies[1].second, Seconds(3));
    EXPECT_GE(applies[2].second, Seconds(4));
    EXPECT_GE(applies[3].second, Seconds(7));

    link.simulator.ClearLines();
    ListCycle("empty", {});
    Run(1, [&](CRunCyclePlanDlg& run) {
        EXPECT_EQ(run.size(), QSize(800, 600));
        pumpUntil([] { return false; }, int(std::chrono::duration_cast<std::chrono::milliseconds>(Seconds(3)).count()));
        EXPECT_EQ(run.TitleText(), QString());
        EXPECT_EQ(run.CurrentPlan(), nullptr);
    });
    EXPECT_TRUE(link.SentBefore().empty());
}

TEST_F(CycleRunner, WindowSizeFollowsTheFirstPlan)
{
    SavePlan("W", {1280, 1024, 60});
    SavePlan("gone");
    ListCycle("wide", {{"B", 5}});
    ListCycle("square", {{"W", 5}, {"B", 5}});
    ListCycle("lost", {{"gone", 5}, {"B", 5}});
    ASSERT_TRUE(CQelContext::GetPlanMan()->DeletePlanFile("gone"));
    for (const auto& [index, size] : {std::pair{0, QSize(960, 540)}, {1, QSize(800, 600)}, {2, QSize(800, 600)}}) {
        Run(index, [size = size](CRunCyclePlanDlg& run) {
            EXPECT_EQ(run.size(), size);
            EXPECT_EQ(run.Rects().title, (Rect{0, 0, size.width(), 40}));
        });
    }
    // No such row: nothing opens.
    RunCyclePlanAt(nullptr, 3);
}

TEST_F(CycleRunner, DrawsThePlansWindowsInMiniature)
{
    // In the lower half, below the title band.
    SavePlan("S", {1920, 1080, 60},
             {{100, Rect{0, 540, 960, 1080}}, {101, Rect{960, 540, 1440, 1080}}, {7, Rect{1440, 540, 1920, 1080}}});
    ListCycle("tour", {{"S", 5}});
    Run(0, [&](CRunCyclePlanDlg& run) {
        ASSERT_TRUE(pumpUntil([&] { return !run.TitleText().isEmpty(); }));
        const QImage shot = tavrix::test::screenshot(run);
        using tavrix::test::pixelAt;
        EXPECT_EQ(pixelAt(shot, 300, 150), ui::rgb(128, 128, 128));
        // The window at (0, 540, 960, 1080) lies at (0, 270, 480, 540).
        EXPECT_EQ(pixelAt(shot, 240, 400), ui::rgb(196, 240, 238));
        EXPECT_EQ(pixelAt(shot, 600, 400), ui::rgb(192, 192, 192));
        EXPECT_EQ(pixelAt(shot, 840, 400), ui::rgb(150, 0, 20));
        EXPECT_EQ(pixelAt(shot, 470, 278), ui::rgb(100, 100, 100));
        int light = 0; // the label's pixels, smoothed at their edges
        for (int y = 270; y < 286; ++y)
            for (int x = 4; x < 120; ++x)
                light += ui::redOf(pixelAt(shot, x, y)) > 200 && ui::blueOf(pixelAt(shot, x, y)) > 200;
        EXPECT_GT(light, 5);
        EXPECT_EQ(pixelAt(shot, 830, 278), ui::rgb(100, 100, 100)); // no label without a source
        EXPECT_EQ(pixelAt(shot, 240, 287), ui::rgb(196, 240, 238)); // just below the strip
        EXPECT_EQ(pixelAt(shot, 240, 269), ui::rgb(128, 128, 128)); // just above the window
        EXPECT_EQ(pixelAt(shot, 479, 400), ui::rgb(0, 0, 0));
        EXPECT_EQ(pixelAt(shot, 480, 400), ui::rgb(0, 0, 0)); // the next window's frame
        EXPECT_EQ(pixelAt(shot, 0, 100), ui::rgb(0, 0, 0));
        EXPECT_EQ(pixelAt(shot, 959, 100), ui::rgb(0, 0, 0));
        EXPECT_EQ(pixelAt(shot, 300, 539), ui::rgb(0, 0, 0));
        // The band blended over the background: 64 x 164/255 + 128 x 91/255.
        const ui::ColorRef band = pixelAt(shot, 600, 20);
        for (int channel : {ui::redOf(band), ui::greenOf(band), ui::blueOf(band)})
            EXPECT_NEAR(channel, 87, 1);
        EXPECT_EQ(pixelAt(shot, 600, 40), ui::rgb(128, 128, 128));
        // The buttons' pictures, drawn over the band.
        EXPECT_EQ(pixelAt(shot, 942, 20), ui::rgb(255, 255, 255));
        EXPECT_EQ(pixelAt(shot, 914, 20), ui::rgb(255, 255, 255));
    });
}
