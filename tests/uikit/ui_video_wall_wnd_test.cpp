#include "uikit/ui_video_wall_wnd.h"
#include "context/context.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/sig_out.h"
#include "tests/support/ui/screenshot.h"
#include "tests/support/ui/ui_test.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

using tavrix::test::countColour;
using tavrix::test::pixelAt;
using Seen = std::vector<ui::Notify>;

constexpr ui::ColorRef kBlack = ui::rgb(0, 0, 0);
constexpr ui::ColorRef kWhite = ui::rgb(255, 255, 255);
constexpr ui::ColorRef kRed = ui::rgb(255, 0, 0);

// Processor 1, model 5, selected: a 2 x 2 wall showing outputs 10100 and
// 10101 in its top row, outputs 10100 to 10103 named "O1" to "O4" and one
// whose id the menu cannot carry, output resolution 1920 x 1080.
class VideoWallWnd : public tavrix::test::UiTest {
protected:
    void SetUp() override
    {
        processor = std::make_shared<CQelProcessor>();
        processor->SetId(1);
        processor->SetKind(5);
        processor->SetOutputResolution(1920, 1080, 60);
        for (uint32_t id : {10100, 10101, 10102, 10103, 200001})
            processor->AddSigOut(
                std::make_shared<CQelSigOut>(CQelSigOut::Values{id, "O" + std::to_string(id - 10099)}));
        CQelProcessor::Wall wall;
        wall.rows = wall.cols = 2;
        wall.cells = {{{0, 0}, 10100}, {{0, 1}, 10101}};
        wall.watch = {10103, -1, 10102};
        processor->SetWall(wall);
        ASSERT_TRUE(CQelContext::GetProMan()->AddProcessor(processor));
        CQelContext::SetSelSigSrc(1, -1);
    }
    void TearDown() override
    {
        UiTest::TearDown();
        CQelContext::Destroy();
    }
    // A grid over (0, 0, width, height) of the parent, reporting into `seen`.
    CUiVideoWallWnd& grid(int width, int height, bool listMode = false)
    {
        auto* wnd = new CUiVideoWallWnd;
        EXPECT_TRUE(wnd->Init(&parent, 7, Rect{0, 0, width, height}, listMode));
        QObject::connect(wnd, &CUiVideoWallWnd::notify, [this](const ui::Notify& n) { seen.push_back(n); });
        return *wnd;
    }
    Seen take() { return std::exchange(seen, {}); }
    void rightClick(CUiVideoWallWnd& wnd, QPoint at, int answer)
    {
        modal().answerMenu(answer);
        QTest::mouseClick(&wnd, Qt::RightButton, Qt::NoModifier, at);
    }

    std::shared_ptr<CQelProcessor> processor;
    QWidget parent;
    Seen seen;
};

TEST_F(VideoWallWnd, InitCopiesTheWallAndCommitWritesItBack)
{
    CUiVideoWallWnd& wall = grid(200, 100);
    EXPECT_EQ(std::tuple(wall.GetRows(), wall.GetCols(), wall.GetCells()),
              std::tuple(2, 2, WallCellMap{{{0, 0}, 10100}, {{0, 1}, 10101}}));
    CUiVideoWallWnd& list = grid(300, 100, true);
    EXPECT_EQ(list.GetCells(), (WallCellMap{{{0, 0}, 10103}, {{0, 1}, -1}, {{0, 2}, 10102}}));

    wall.SetWall(1, 3);
    wall.SetCells({{{0, 2}, 10103}});
    wall.SetRowHeights({1000});
    wall.SetColumnWidths({100, 200, 300});
    wall.CommitToProcessor();
    CQelProcessor::Wall stored = processor->GetWall();
    const auto sizes = std::pair(stored.rowHeights, stored.colWidths);
    EXPECT_EQ(std::tuple(stored.rows, stored.cols, stored.cells), std::tuple(1, 3, wall.GetCells()));
    EXPECT_EQ(sizes, std::pair(std::vector<int32_t>{1000}, std::vector<int32_t>{100, 200, 300}));
    EXPECT_EQ(stored.watch, (std::vector<int32_t>{10103, -1, 10102}));

    list.SetCells({{{0, 4}, 10101}, {{0, 1}, 10100}});
    list.CommitToProcessor();
    EXPECT_EQ(processor->GetWall().watch, (std::vector<int32_t>{10100, 10101}));
    EXPECT_EQ(processor->GetWall().cells, stored.cells);

    // Without a selected processor: an empty grid that commits nothing,
    // answers sizes of 0, shows no menu and draws lines without text.
    CQelContext::SetSelSigSrc(-1, -1);
    stored = processor->GetWall();
    CUiVideoWallWnd& none = grid(200, 100);
    EXPECT_TRUE(none.GetCells().empty());
    none.SetWall(2, 2);
    none.CommitToProcessor();
    EXPECT_EQ(processor->GetWall(), stored);
    EXPECT_EQ(none.GetRowHeight(0), 0);
    QTest::mouseClick(&none, Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_TRUE(modal().prompts().empty());
    const QImage shot = tavrix::test::screenshot(none);
    EXPECT_EQ(pixelAt(shot, 100, 75), kBlack);
    EXPECT_EQ(countColour(shot, Rect{0, 0, 200, 100}, kWhite), 0);
}

TEST_F(VideoWallWnd, SelectionFollowsSetWallAndLeftClicks)
{
    CUiVideoWallWnd& wall = grid(302, 200);
    wall.SetWall(2, 2);
    EXPECT_TRUE(take().empty());
    wall.SetWall(3, 3);
    EXPECT_EQ(take(), (Seen{{1, 0, 0}}));
    EXPECT_EQ(wall.GetCells().size(), 2u);
    wall.SetCells({{{0, 0}, 10100}, {{2, 2}, 10101}, {{-1, 0}, 10102}});
    wall.NotifySelection(1, 1);
    wall.SetWall(1, 1);
    EXPECT_EQ(take(), (Seen{{1, 1, 1}, {1, 0, 0}}));
    EXPECT_EQ(wall.GetCells(), (WallCellMap{{{0, 0}, 10100}}));

    // The strip left over by 302 / 3 is in no cell: (0, 0).
    wall.SetWall(1, 3);
    take();
    QTest::mouseClick(&wall, Qt::LeftButton, Qt::NoModifier, QPoint(150, 10));
    QTest::mouseClick(&wall, Qt::LeftButton, Qt::NoModifier, QPoint(301, 10));
    EXPECT_EQ(take(), (Seen{{1, 0, 1}, {1, 0, 0}}));

    // A wall of no cells (a monitor count of 0) has nothing to hit.
    wall.SetWall(1, 0);
    wall.NotifySelection(0, 2);
    take();
    QTest::mouseClick(&wall, Qt::LeftButton, Qt::NoModifier, QPoint(150, 10));
    EXPECT_EQ(take(), (Seen{{1, 0, 0}}));
}

TEST_F(VideoWallWnd, RightClickMenuAssignsRemovesAndClears)
{
    CUiVideoWallWnd& wall = grid(201, 101); // cells of 100 x 50, a strip at x 200 and y 100
    rightClick(wall, QPoint(20, 70), 10103);
    std::vector<std::pair<int, QString>> offered;
    for (const ui::MenuSpec& item : modal().prompts().at(0).menu.items)
        offered.emplace_back(item.id, item.separator ? "-" : item.text);
    EXPECT_EQ(offered, (std::vector<std::pair<int, QString>>{
                           {10102, "O3"}, {10103, "O4"}, {0, "-"}, {100001, "删除信号"}, {100002, "清空所有信号"}}));
    EXPECT_EQ(wall.GetCells().at({1, 0}), 10103);
    EXPECT_EQ(take(), (Seen{{2, 1, 0}}));

    wall.SetExcludedOutputs({10102});
    rightClick(wall, QPoint(150, 70), 0); // cancelled
    EXPECT_EQ(modal().prompts().back().menu.items.size(), 2u);
    rightClick(wall, QPoint(150, 70), 100001); // no output in (1, 1)
    rightClick(wall, QPoint(200, 20), 100001); // no cell
    EXPECT_TRUE(take().empty());
    EXPECT_EQ(wall.GetCells().size(), 3u);

    rightClick(wall, QPoint(20, 70), 100001);
    EXPECT_EQ(take(), (Seen{{2, 1, 0}}));
    EXPECT_EQ(wall.GetCells().count({1, 0}), 0u);
    rightClick(wall, QPoint(200, 100), 100002);
    EXPECT_EQ(take(), (Seen{{2, -1, -1}}));
    EXPECT_TRUE(wall.GetCells().empty());
}

TEST_F(VideoWallWnd, PaintsRowsBySizeOnlyOnLedKinds)
{
    CUiVideoWallWnd& wall = grid(200, 500);
    wall.SetWall(4, 1); // selects (0, 0)
    wall.SetCells({{{3, 0}, 10100}});
    wall.SetRowHeights({100, 100, 100, 700});
    wall.SetColumnWidths({1920});
    processor->SetKind(4);
    QImage shot = tavrix::test::screenshot(wall);
    for (int y : {50, 100, 150})
        EXPECT_EQ(pixelAt(shot, 3, y), kBlack) << y;
    EXPECT_EQ(pixelAt(shot, 3, 125), ui::rgb(128, 128, 128));
    EXPECT_EQ(pixelAt(shot, 3, 25), ui::rgb(200, 200, 200));
    EXPECT_EQ(pixelAt(shot, 199, 300), kBlack);                      // the border
    EXPECT_GT(countColour(shot, Rect{1, 55, 199, 95}, kRed), 0);     // "请选择输出口"
    EXPECT_GT(countColour(shot, Rect{1, 305, 199, 345}, kWhite), 0); // "O1"

    processor->SetKind(5);
    shot = tavrix::test::screenshot(wall);
    for (int y : {125, 250, 375})
        EXPECT_EQ(pixelAt(shot, 3, y), kBlack) << y;
    EXPECT_EQ(pixelAt(shot, 3, 50), ui::rgb(144, 144, 144));
    EXPECT_GT(countColour(shot, Rect{1, 126, 199, 249}, kWhite), 0); // "无信号"
    EXPECT_EQ(countColour(shot, Rect{0, 0, 200, 500}, kRed), 0);
}

} // namespace
