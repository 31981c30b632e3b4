// Processor set-up: the shortcut-key initialisation at the simulator, the
// video wall dialog and the LED wall wizard, driven as the operator does.
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>
#include <QWizard>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "context/context.h"
#include "core/event_queue.h"
#include "dialogs/init_processor_dlg.h"
#include "dialogs/led_wall_wizard.h"
#include "dialogs/set_video_wall_dlg.h"
#include "dialogs/spin_button_ctrl.h"
#include "model/processor_link.h"
#include "tests/builder/sender_test_support.h"
#include "tests/dialogs/dialog_test_support.h"
#include "tests/model/link_fixture.h"
#include "tests/support/ui/screenshot.h"
#include "uikit/ui_video_wall_wnd.h"

using namespace dialogtest;
using tavrix::test::pixelAt;
using tavrix::test::pumpUntil;
using tavrix::test::screenshot;

namespace {

// Types over the whole text of an edit, one key at a time, with no empty
// text in between.
void TypeOver(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// Sets the text at once, as a paste does; the edit's handler may tell.
void PasteTold(QLineEdit* edit, const QString& text)
{
    tavrix::test::scriptedModal().expectInform();
    edit->setText(text);
}

bool IsBlack(ui::ColorRef c)
{
    return ui::redOf(c) < 60 && ui::greenOf(c) < 60 && ui::blueOf(c) < 60;
}

// Black runs met along a row (`horizontal`) or a column of the image.
int BlackRuns(const QImage& image, int at, bool horizontal)
{
    int runs = 0;
    bool inside = false;
    const int length = horizontal ? image.width() : image.height();
    for (int i = 0; i < length; ++i) {
        const bool black = IsBlack(horizontal ? pixelAt(image, i, at) : pixelAt(image, at, i));
        runs += black && !inside;
        inside = black;
    }
    return runs;
}

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

CQelProcessor::Wall ReloadedWall()
{
    CQelProcessor reloaded;
    EXPECT_TRUE(reloaded.LoadPro(CQelProcessor::ProFilePath()));
    return reloaded.GetWall();
}

// Right-clicks a cell of a rows x cols grid and picks `answer` from its
// menu; `told` when a message is to follow.
void RightClickCell(CUiVideoWallWnd* grid, int32_t row, int32_t col, int rows, int cols, int answer, bool told)
{
    tavrix::test::scriptedModal().answerMenu(answer);
    if (told)
        tavrix::test::scriptedModal().expectInform();
    const QPoint at(grid->width() * (2 * col + 1) / (2 * cols), grid->height() * (2 * row + 1) / (2 * rows));
    QTest::mouseClick(grid, Qt::RightButton, {}, at);
}

// A kind-2 processor on the simulator: output 1920 x 1080, sources 0 to 3
// of 1920 x 1080, outputs 201 to 206 and a 2 x 2 wall. The clock runs ten
// times faster, so a 2 s step lasts 200 ms.
class ProcessorSetup : public tavrix::test::UiTest {
protected:
    void SetUp() override
    {
        CEvtQueue::get_instance().Clear();
        link.processor->SetOutputResolution(1920, 1080, 60);
        for (uint32_t id = 0; id < 4; ++id)
            AddTestSource(*link.processor, id, 1920, 1080);
        SetTestOutputs(*link.processor, {201, 202, 203, 204, 205, 206},
                       {{{0, 0}, 201}, {{0, 1}, 202}, {{1, 0}, 203}, {{1, 1}, 204}});
        auto wall = link.processor->GetWall();
        wall.rows = 2;
        wall.cols = 2;
        wall.margin = {6, 0, 0, 0};
        link.processor->SetWall(wall);
        CQelContext::SetSelSigSrc(1, 0);
        ASSERT_TRUE(pumpUntil([&] { return link.processor->IsConnected(); }));
    }

    // Runs the initialisation dialog; `work` drives it once shown.
    int RunInit(const std::shared_ptr<CQelProcessor>& processor, std::function<void(CInitProcessorDlg&)> work)
    {
        modal().answerDialog([work](QDialog& dialog) {
            auto* init = dynamic_cast<CInitProcessorDlg*>(&dialog);
            EXPECT_NE(init, nullptr);
            if (!init)
                return int(QDialog::Rejected);
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("初始化处理器"));
            Open(dialog);
            work(*init);
            return dialog.result();
        });
        return RunInitProcessorDlg(nullptr, processor);
    }

    platform::ScaledClock clock{10};
    LinkFixture link{clock, 2, 0};
};

TEST_F(ProcessorSetup, InitialisationProgramsThirteenKeysAndCloses)
{
    QString label;
    int progress = -1;
    const int result = RunInit(link.processor, [&](CInitProcessorDlg& dialog) {
        EXPECT_TRUE(dialog.IsRunning());
        EXPECT_EQ(dialog.Label()->text(), QStringLiteral("正在初始化处理器快捷键设置..."));
        QStringList seen;
        QObject::connect(dialog.Progress(), &QProgressBar::valueChanged, &dialog,
                         [&](int) { seen.push_back(dialog.Label()->text()); });
        EXPECT_TRUE(pumpUntil([&] { return !dialog.isVisible(); }, 120000));
        EXPECT_EQ(seen.size(), 13);
        if (!seen.isEmpty()) {
            EXPECT_EQ(seen.front(), QStringLiteral("1 快捷键初始化成功..."));
        }
        label = dialog.Label()->text();
        progress = dialog.Progress()->value();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(label, QStringLiteral("13 快捷键初始化成功..."));
    EXPECT_EQ(progress, 13);

    const std::vector<std::string> lines = link.SentBefore();
    ASSERT_GE(lines.size(), 6u);
    const std::vector<std::string> key1(lines.begin(), lines.begin() + 6);
    EXPECT_EQ(key1, FirstKeyResetLines());
    // One command a key, in key order, each ending in key mode 0.
    std::vector<std::string> modes;
    for (const std::string& line : lines)
        if (line.starts_with("INPUT_FPGA SET_KEY_MODE "))
            modes.push_back(line.substr(24, line.size() - 26));
    std::vector<std::string> expected;
    for (int key = 1; key <= 13; ++key) {
        expected.push_back(std::to_string(key));
        expected.push_back("0");
    }
    EXPECT_EQ(modes, expected);
    const auto has = [&](const char* line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
    EXPECT_TRUE(has("INPUT_FPGA ADD_WINDOWS 5 2 0 0 960 540 960 270 1920 810\r\n"));
    EXPECT_TRUE(has("INPUT_FPGA SCALER_SETUP 0 3 3 1920 1080 0 1919 0 1079 960 540\r\n"));
    EXPECT_TRUE(has("INPUT_FPGA ADD_WINDOWS 4 1 0 0 1080 607 0 353 1080 960\r\n"));
    EXPECT_TRUE(has("INPUT_FPGA ADD_WINDOWS 5 2 0 0 1080 607 0 960 1080 1567\r\n"));
}

TEST_F(ProcessorSetup, InitialisationCancelledAfterFiveKeysLeavesFive)
{
    QImage shot;
    const int result = RunInit(link.processor, [&](CInitProcessorDlg& dialog) {
        EXPECT_TRUE(pumpUntil([&] { return dialog.CurrentStep() == 5; }, 60000));
        shot = screenshot(*dialog.Progress());
        dialog.CancelButton()->click();
        EXPECT_FALSE(dialog.IsRunning());
    });
    EXPECT_EQ(result, QDialog::Rejected);
    const std::vector<std::string> lines = link.SentBefore();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "INPUT_FPGA SET_KEY_MODE 0\r\n"), 5);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "INPUT_FPGA SET_KEY_MODE 5\r\n"), 1);

    // The chunk, in the highlight's hue, covers about 5/13 of the bar.
    const int y = shot.height() / 2;
    int chunk = 0;
    for (int x = 0; x < shot.width(); ++x) {
        const ui::ColorRef c = pixelAt(shot, x, y);
        chunk += ui::blueOf(c) > ui::redOf(c) + 40;
    }
    EXPECT_NEAR(double(chunk) / shot.width(), 5.0 / 13, 0.06) << chunk << " of " << shot.width();
}

TEST_F(ProcessorSetup, InitialisationRefusesWithoutLinkOrForAnotherKind)
{
    // Disconnected: the run stops at its first step with the message.
    link.processor->Disconnect();
    ASSERT_TRUE(pumpUntil([&] { return !link.processor->IsConnected(); }));
    const size_t before = link.simulator.Texts().size();
    EXPECT_EQ(RunInit(link.processor,
                      [&](CInitProcessorDlg& dialog) {
                          modal().expectInform();
                          EXPECT_TRUE(pumpUntil([&] { return !dialog.IsRunning(); }, 60000));
                          EXPECT_EQ(LastTold(), QStringLiteral("处理器未连接，请连接处理器！"));
                          EXPECT_EQ(dialog.Label()->text(), LastTold());
                          EXPECT_EQ(dialog.CurrentStep(), 0);
                          EXPECT_EQ(dialog.Progress()->value(), 0);
                          QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
                      }),
              QDialog::Rejected);
    EXPECT_EQ(link.processor->link().GetQueuedCommandCount(), 0u);

    // Another kind: nothing to do, no timer.
    auto other = std::make_shared<CQelProcessor>();
    other->SetKind(3);
    EXPECT_EQ(RunInit(other,
                      [&](CInitProcessorDlg& dialog) {
                          EXPECT_EQ(dialog.Label()->text(), QStringLiteral("该处理器不需要初始化，请直接退出。"));
                          EXPECT_FALSE(dialog.IsRunning());
                          QTest::qWait(400); // two periods of the scaled step
                          EXPECT_EQ(dialog.CurrentStep(), 0);
                          QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
                      }),
              QDialog::Rejected);
    EXPECT_EQ(other->link().GetQueuedCommandCount(), 0u);
    EXPECT_EQ(link.simulator.Texts().size(), before);
}

TEST_F(ProcessorSetup, VideoWallDialogRedrawsPerKeystrokeAndWritesOnOk)
{
    modal().answerDialog([](QDialog& dialog) {
        auto* wall = dynamic_cast<CSetVideoWallDlg*>(&dialog);
        EXPECT_NE(wall, nullptr);
        if (!wall)
            return int(QDialog::Rejected);
        Open(dialog);
        CUiVideoWallWnd* grid = wall->Grid();
        EXPECT_EQ(wall->RowsEdit()->text(), "2");
        EXPECT_EQ(wall->ColsEdit()->text(), "2");
        for (auto m :
             {CSetVideoWallDlg::kLeft, CSetVideoWallDlg::kTop, CSetVideoWallDlg::kRight, CSetVideoWallDlg::kBottom}) {
            EXPECT_FALSE(wall->MarginEdit(m)->isEnabled());
            EXPECT_EQ(wall->MarginEdit(m)->text(), "0");
        }

        TypeOver(wall->ColsEdit(), "3");
        EXPECT_EQ(grid->GetCols(), 3);
        // "1" is taken as typed, "17" told at once and the grid kept.
        tavrix::test::scriptedModal().expectInform();
        TypeOver(wall->RowsEdit(), "17");
        EXPECT_EQ(LastTold(), QStringLiteral("请输入一个介于 1 和 16 之间的整数。"));
        EXPECT_EQ(grid->GetRows(), 1);
        EXPECT_TRUE(dialog.isVisible());
        // The arrows step within the range and redraw as typing does.
        wall->RowsSpin()->UpButton()->click();
        EXPECT_EQ(wall->RowsEdit()->text(), "16");
        EXPECT_EQ(grid->GetRows(), 16);
        wall->RowsSpin()->UpButton()->click();
        EXPECT_EQ(wall->RowsEdit()->text(), "16");
        TypeOver(wall->RowsEdit(), "2");
        wall->ColsSpin()->UpButton()->click();
        wall->ColsSpin()->DownButton()->click();
        EXPECT_EQ(grid->GetRows(), 2);
        EXPECT_EQ(grid->GetCols(), 3);

        // The grid area in the wall grey, with 3 columns and 2 rows drawn:
        // border, two lines, border across; border, one line, border down.
        const QImage shot = screenshot(*grid);
        EXPECT_EQ(pixelAt(shot, shot.width() / 2, 3), ui::rgb(128, 128, 128));
        EXPECT_EQ(BlackRuns(shot, 3, true), 4);
        EXPECT_EQ(BlackRuns(shot, shot.height() - 4, true), 4);
        EXPECT_EQ(BlackRuns(shot, shot.width() - 4, false), 3);

        QTest::mouseClick(wall->OkButton(), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
        return dialog.result();
    });
    EXPECT_FALSE(RunWallSetup(nullptr, link.processor));

    const CQelProcessor::Wall wall = link.processor->GetWall();
    EXPECT_EQ(wall.rows, 2);
    EXPECT_EQ(wall.cols, 3);
    // The single row typed on the way dropped the second row's outputs.
    EXPECT_EQ(wall.cells, (CQelProcessor::WallMap{{{0, 0}, 201}, {{0, 1}, 202}}));
    // A kind without margin edits keeps the margins its file holds.
    EXPECT_EQ(wall.margin, (Rect{6, 0, 0, 0}));
    ASSERT_TRUE(link.processor->SavePro());
    const CQelProcessor::Wall saved = ReloadedWall();
    EXPECT_EQ(saved.rows, 2);
    EXPECT_EQ(saved.cols, 3);
    EXPECT_EQ(saved.cells, wall.cells);
    EXPECT_TRUE(link.SentBefore().empty());
}

// A kind-7 processor with eight outputs of 1920 x 1080 and a 2 x 2 wall,
// selected; no link.
class WallEditors : public tavrix::test::UiTest {
protected:
    void SetUp() override
    {
        processor->SetKind(7);
        processor->SetOutputResolution(1920, 1080, 60);
        SetTestOutputs(*processor, {201, 202, 203, 204, 205, 206, 207, 208},
                       {{{0, 0}, 201}, {{0, 1}, 202}, {{1, 0}, 203}, {{1, 1}, 204}});
        auto wall = processor->GetWall();
        wall.rows = 2;
        wall.cols = 2;
        wall.rowHeights = {1200, 1080};
        wall.colWidths = {1920, 1920};
        wall.watch = {205};
        processor->SetWall(wall);
        SelectTestProcessor(processor);
        ASSERT_TRUE(processor->SavePro());
        savedFile = FileBytes(CQelProcessor::ProFilePath());
    }
    void TearDown() override
    {
        tavrix::test::UiTest::TearDown();
        CQelContext::Destroy();
    }

    // Runs the wizard from the wall set-up; `work` drives it once shown.
    bool RunWizard(std::function<void(CSetLEDVideoWallPropertySheet&)> work)
    {
        modal().answerDialog([work](QDialog& dialog) {
            auto* sheet = dynamic_cast<CSetLEDVideoWallPropertySheet*>(&dialog);
            EXPECT_NE(sheet, nullptr);
            if (!sheet)
                return int(QDialog::Rejected);
            Open(dialog);
            work(*sheet);
            return dialog.result();
        });
        return RunWallSetup(nullptr, processor);
    }

    std::shared_ptr<CQelProcessor> processor = std::make_shared<CQelProcessor>();
    std::string savedFile;
};

TEST_F(WallEditors, VideoWallMarginsMustBeEvenLeftAndRight)
{
    modal().answerDialog([](QDialog& dialog) {
        auto* wall = dynamic_cast<CSetVideoWallDlg*>(&dialog);
        EXPECT_NE(wall, nullptr);
        if (!wall)
            return int(QDialog::Rejected);
        Open(dialog);
        QLineEdit* left = wall->MarginEdit(CSetVideoWallDlg::kLeft);
        QLineEdit* right = wall->MarginEdit(CSetVideoWallDlg::kRight);
        EXPECT_TRUE(left->isEnabled());
        left->setText("3");
        ClickTold(wall->OkButton());
        EXPECT_EQ(LastTold(), QStringLiteral("左边距必须为偶数值！"));
        EXPECT_TRUE(dialog.isVisible());
        left->setText("4");
        right->setText("3");
        ClickTold(wall->OkButton());
        EXPECT_EQ(LastTold(), QStringLiteral("右边距必须为偶数值！"));
        EXPECT_TRUE(dialog.isVisible());
        right->setText("x");
        ClickTold(wall->OkButton());
        EXPECT_EQ(LastTold(), QStringLiteral("请输入一个介于 0 和 100000000 之间的整数。"));
        right->setText("2");
        wall->MarginEdit(CSetVideoWallDlg::kTop)->setText("3");
        QTest::mouseClick(wall->OkButton(), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
        return dialog.result();
    });
    CSetVideoWallDlg dialog;
    EXPECT_EQ(dialog.DoModal(), QDialog::Accepted);
    EXPECT_EQ(processor->GetWall().margin, (Rect{4, 3, 2, 0}));
}

TEST_F(WallEditors, WizardStepThreeKeepsSizesWithinTheOutputAndCancelKeepsAll)
{
    const CQelProcessor::Wall before = processor->GetWall();
    EXPECT_FALSE(RunWizard([](CSetLEDVideoWallPropertySheet& sheet) {
        EXPECT_EQ(sheet.Caption(), QStringLiteral("LED屏幕墙设置"));
        EXPECT_EQ(sheet.windowTitle(), QStringLiteral("设置屏幕墙向导 - 屏幕墙输出"));
        auto* step3 = dynamic_cast<CSetLEDVideoWallStep3PageEx*>(sheet.currentPage());
        ASSERT_NE(step3, nullptr);
        EXPECT_FALSE(sheet.button(QWizard::BackButton)->isEnabled());
        EXPECT_TRUE(sheet.button(QWizard::NextButton)->isEnabled());
        EXPECT_EQ(sheet.button(QWizard::NextButton)->text(), QStringLiteral("下一步"));
        const QString info = step3->InfoLabel()->text();
        for (const char* part : {"1920 * 1080", "※ 处理器输出口个数：\n    8", "8x8"})
            EXPECT_TRUE(info.contains(QString::fromUtf8(part))) << part;
        // The first row was cut to the output's height at the start.
        EXPECT_EQ(step3->RowHeightEdit()->text(), "1080");
        EXPECT_EQ(step3->WallHeightLabel()->text(), "2160");
        EXPECT_EQ(step3->Grid()->GetExcludedOutputs(), (std::set<int32_t>{205}));

        PasteTold(step3->ColumnWidthEdit(), "2000");
        EXPECT_EQ(LastTold(), QStringLiteral("单个屏幕长度不能超过1920"));
        EXPECT_EQ(step3->ColumnWidthEdit()->text(), "1920");
        PasteTold(step3->RowHeightEdit(), "12a");
        EXPECT_EQ(LastTold(), QStringLiteral("请输入一个正整数！"));
        EXPECT_EQ(step3->RowHeightEdit()->text(), "1080");

        step3->ColsEdit()->setFocus();
        TypeOver(step3->ColsEdit(), "4");
        EXPECT_EQ(step3->WallWidthLabel()->text(), QString::number(3840 + 3840));
        EXPECT_EQ(step3->Grid()->GetCols(), 4);
        // Redrawn, the grid selects its first cell; the focus stays put.
        EXPECT_EQ(step3->SelectedCell(), (std::pair<int32_t, int32_t>{0, 0}));
        EXPECT_EQ(sheet.focusWidget(), step3->ColsEdit());
        const QImage shot = screenshot(*step3->Grid());
        EXPECT_EQ(BlackRuns(shot, 3, true), 5); // border, three lines, border

        // A count out of range is told when the field is left or at Next,
        // and what was typed stays to be mended; the wall keeps its last
        // good count.
        for (const bool next : {false, true}) {
            step3->RowsEdit()->setFocus();
            TypeOver(step3->RowsEdit(), "x33");
            EXPECT_EQ(step3->RowsEdit()->text(), "x33");
            EXPECT_EQ(step3->Grid()->GetRows(), 2);
            tavrix::test::scriptedModal().expectInform();
            if (next)
                QTest::mouseClick(sheet.button(QWizard::NextButton), Qt::LeftButton);
            else
                step3->ColsEdit()->setFocus();
            EXPECT_EQ(LastTold(), QStringLiteral("请输入一个介于 1 和 32 之间的整数。"));
            EXPECT_EQ(sheet.currentPage(), step3);
            EXPECT_EQ(step3->RowsEdit()->text(), "x33");
        }
        TypeOver(step3->RowsEdit(), "1");
        EXPECT_EQ(sheet.Draft().screens, (CQelProcessor::WallMap{{{0, 0}, 201}, {{0, 1}, 202}}));
        EXPECT_EQ(step3->WallHeightLabel()->text(), "1080");
        QTest::mouseClick(sheet.button(QWizard::CancelButton), Qt::LeftButton);
        EXPECT_FALSE(sheet.isVisible());
    }));
    EXPECT_EQ(processor->GetWall(), before);
    EXPECT_EQ(FileBytes(CQelProcessor::ProFilePath()), savedFile);
}

TEST_F(WallEditors, WizardRefusesSharedOutputsAndWritesOnFinish)
{
    EXPECT_TRUE(RunWizard([](CSetLEDVideoWallPropertySheet& sheet) {
        auto* step3 = dynamic_cast<CSetLEDVideoWallStep3PageEx*>(sheet.currentPage());
        ASSERT_NE(step3, nullptr);
        // A monitor's output put on a screen is undone.
        step3->Grid()->SetExcludedOutputs({});
        RightClickCell(step3->Grid(), 0, 0, 2, 2, 205, true);
        EXPECT_EQ(LastTold(), QStringLiteral("输出口设置不能重复定义，请检查屏幕墙输出设置！"));
        EXPECT_EQ(step3->Grid()->GetCells().at({0, 0}), 201);
        EXPECT_EQ(sheet.Draft().screens.at({0, 0}), 201);

        QTest::mouseClick(sheet.button(QWizard::NextButton), Qt::LeftButton);
        auto* step4 = dynamic_cast<CSetLEDVideoWallStep4Page*>(sheet.currentPage());
        ASSERT_NE(step4, nullptr);
        EXPECT_TRUE(sheet.button(QWizard::BackButton)->isEnabled());
        EXPECT_TRUE(sheet.button(QWizard::FinishButton)->isEnabled());
        EXPECT_EQ(step4->Grid()->GetExcludedOutputs(), (std::set<int32_t>{201, 202, 203, 204}));
        EXPECT_EQ(step4->CountEdit()->text(), "1");
        PasteTold(step4->CountEdit(), "abc");
        EXPECT_EQ(LastTold(), QStringLiteral("请输入一个正整数！"));
        PasteTold(step4->CountEdit(), "99999999");
        EXPECT_EQ(LastTold(), QStringLiteral("监视输出个数不能超过8"));
        EXPECT_EQ(step4->Grid()->GetCols(), 1);
        step4->CountEdit()->setText("2");
        EXPECT_EQ(step4->Grid()->GetCols(), 2);
        EXPECT_EQ(sheet.Draft().monitors, (std::vector<int32_t>{205, -1}));
        step4->Grid()->SetExcludedOutputs({});
        RightClickCell(step4->Grid(), 0, 1, 1, 2, 201, true);
        EXPECT_EQ(LastTold(), QStringLiteral("输出口设置不能重复定义，请检查监视器设置！"));
        EXPECT_EQ(sheet.Draft().monitors, (std::vector<int32_t>{205, -1}));
        RightClickCell(step4->Grid(), 0, 1, 1, 2, 206, false);
        EXPECT_EQ(sheet.Draft().monitors, (std::vector<int32_t>{205, 206}));

        // An odd column width is refused at "完成", the wizard staying open.
        QTest::mouseClick(sheet.button(QWizard::BackButton), Qt::LeftButton);
        ASSERT_EQ(sheet.currentPage(), step3);
        step3->ColumnWidthEdit()->setText("1919");
        QTest::mouseClick(sheet.button(QWizard::NextButton), Qt::LeftButton);
        tavrix::test::scriptedModal().expectInform();
        QTest::mouseClick(sheet.button(QWizard::FinishButton), Qt::LeftButton);
        EXPECT_EQ(LastTold(), QStringLiteral("单个屏幕长度必须为偶数"));
        EXPECT_TRUE(sheet.isVisible());
        QTest::mouseClick(sheet.button(QWizard::BackButton), Qt::LeftButton);
        step3->ColumnWidthEdit()->setText("1920");
        QTest::mouseClick(sheet.button(QWizard::NextButton), Qt::LeftButton);
        QTest::mouseClick(sheet.button(QWizard::FinishButton), Qt::LeftButton);
        EXPECT_FALSE(sheet.isVisible());
    }));

    CQelProcessor::Wall expected = processor->GetWall();
    expected.rows = 2;
    expected.cols = 2;
    expected.rowHeights = {1080, 1080};
    expected.colWidths = {1920, 1920};
    expected.cells = {{{0, 0}, 201}, {{0, 1}, 202}, {{1, 0}, 203}, {{1, 1}, 204}};
    expected.watch = {205, 206};
    EXPECT_EQ(processor->GetWall(), expected);
    const CQelProcessor::Wall saved = ReloadedWall();
    EXPECT_EQ(saved.rowHeights, expected.rowHeights);
    EXPECT_EQ(saved.colWidths, expected.colWidths);
    EXPECT_EQ(saved.cells, expected.cells);
    EXPECT_EQ(saved.watch, expected.watch);
}

} // namespace
