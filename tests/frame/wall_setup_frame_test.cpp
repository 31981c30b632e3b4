// Processor set-up opened from the running program: the frame's wall
// set-up (command 1302 and caption button 1) and the processor node's
// "初始化处理器" and "设置屏幕墙" items.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWizard>
#include <filesystem>

#include "core/config.h"
#include "context/context.h"
#include "core/event_queue.h"
#include "corlane/app_path.h"
#include "dialogs/init_processor_dlg.h"
#include "dialogs/led_wall_wizard.h"
#include "dialogs/new_win_plan_dlg.h"
#include "dialogs/password_check.h"
#include "dialogs/password_dlg.h"
#include "dialogs/set_video_wall_dlg.h"
#include "frame/caption_buttons.h"
#include "frame/command_ids.h"
#include "frame/main_ctrl_bar.h"
#include "frame/main_frame.h"
#include "frame/shipped_data.h"
#include "frame/sig_src_sub_wnd.h"
#include "frame/sig_src_tree_core.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "tests/builder/sender_test_support.h"
#include "tests/dialogs/dialog_test_support.h"
#include "tests/frame/frame_lines.h"
#include "tests/frame/frame_window_fixture.h"
#include "tests/frame/test_processor.h"
#include "tests/model/link_fixture.h"
#include "tests/support/ui/ui_test.h"
#include "views/view_manager.h"

namespace fs = std::filesystem;
using namespace tavrix::test;

namespace {

class WallSetupCommand : public FrameWindowTest {
protected:
    void SetUp() override
    {
        FrameWindowTest::SetUp();
        fs::create_directories(qz::vok::path::GetHardwarePath());
        SetPasswordAccepted(false);
    }
    void TearDown() override
    {
        frame.reset();
        CViewManager::get_instance().DestroyViews();
        if (processor)
            processor->Disconnect();
        processor.reset();
        SetPasswordAccepted(false);
        FrameWindowTest::TearDown();
    }

    // Processor 1 of `kind`: output 1920 x 1080, a 2 x 2 wall of outputs
    // 201 to 204 and source 100; selected.
    void AddProcessor(int kind)
    {
        processor = MakeTestProcessor(true);
        processor->SetKind(kind);
        processor->SetOutputResolution(1920, 1080, 60);
        CQelContext::GetProMan()->AddProcessor(processor);
        CQelContext::SetSelSigSrc(1, 100);
    }

    // The wizard, with three columns, ended by "完成" or "取消".
    void AnswerWizard(bool finish)
    {
        dialogtest::AnswerAs<CSetLEDVideoWallPropertySheet>([finish](CSetLEDVideoWallPropertySheet& sheet) {
            EXPECT_EQ(sheet.Caption(), QStringLiteral("LED屏幕墙设置"));
            auto* step3 = dynamic_cast<CSetLEDVideoWallStep3PageEx*>(sheet.currentPage());
            ASSERT_NE(step3, nullptr);
            step3->ColsEdit()->setText("3");
            if (finish) {
                QTest::mouseClick(sheet.button(QWizard::NextButton), Qt::LeftButton);
                QTest::mouseClick(sheet.button(QWizard::FinishButton), Qt::LeftButton);
            } else {
                QTest::mouseClick(sheet.button(QWizard::CancelButton), Qt::LeftButton);
            }
        });
    }

    // Right-clicks the processor node; its menu is to be answered first.
    void RightClickProcessor()
    {
        CUiSigSrcSubWnd& page = *frame->CtrlBar()->SigSrcPage();
        QTreeWidgetItem* node = page.FindProcessorNode(1);
        ASSERT_NE(node, nullptr);
        CSigSrcTreeCtrl& tree = *page.Tree();
        tree.scrollToItem(node);
        QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, tree.visualItemRect(node).center());
    }

    std::vector<Prompt::Kind> PromptKinds() const
    {
        std::vector<Prompt::Kind> kinds;
        for (const Prompt& prompt : scriptedModal().prompts())
            kinds.push_back(prompt.kind);
        return kinds;
    }

    std::shared_ptr<CQelProcessor> processor;
};

} // namespace

TEST_F(WallSetupCommand, OpensTheEditorOfTheProcessorKindAndANewPlanAfterTheWizard)
{
    // Without a current processor nothing opens.
    MakeFrame();
    EXPECT_TRUE(frame->OnCommand(cmd::kLedWallWizard));
    EXPECT_TRUE(modal().prompts().empty());
    frame.reset();
    CViewManager::get_instance().DestroyViews();

    // Another kind: the video wall dialog; what it changes is in the
    // processor on return.
    AddProcessor(3);
    MakeFrame();
    dialogtest::AnswerAs<CSetVideoWallDlg>([](CSetVideoWallDlg& dialog) {
        dialog.ColsEdit()->selectAll();
        QTest::keyClicks(dialog.ColsEdit(), "3");
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    });
    frame->OnCommand(cmd::kLedWallWizard);
    EXPECT_EQ(processor->GetWall().cols, 3);
    EXPECT_EQ(modal().prompts().size(), 1u);

    // An LED kind: the wizard, from the caption button as from the
    // command; cancelled, it leaves the wall and asks nothing more.
    processor->SetKind(7);
    CQelProcessor::Wall before = processor->GetWall();
    for (const bool button : {true, false}) {
        AnswerWizard(false);
        if (button)
            frame->OnCtrlBarNotify(captionbtn::kWallSetup);
        else
            frame->OnCommand(cmd::kLedWallWizard);
        EXPECT_EQ(processor->GetWall(), before);
    }
    EXPECT_EQ(modal().prompts().size(), 3u);

    // Its "完成" writes the wall and the new-plan dialog follows.
    AnswerWizard(true);
    modal().answerDialog([](QDialog& dialog) {
        EXPECT_NE(dynamic_cast<CNewWinPlanDlg*>(&dialog), nullptr);
        return int(QDialog::Rejected);
    });
    frame->OnCommand(cmd::kLedWallWizard);
    EXPECT_EQ(processor->GetWall().cols, 3);
    EXPECT_EQ(modal().prompts().size(), 5u);
}

TEST_F(WallSetupCommand, TreeItemSixOpensTheWizardWithoutANewPlan)
{
    AddProcessor(7);
    MakeFrame();
    modal().answerMenu(sigsrcmenu::kWallSetup);
    AnswerWizard(true);
    RightClickProcessor();
    EXPECT_EQ(PromptKinds(), (std::vector<Prompt::Kind>{Prompt::Menu, Prompt::Dialog}));
    EXPECT_EQ(processor->GetWall().cols, 3);
    CQelProcessor reloaded;
    ASSERT_TRUE(reloaded.LoadPro(CQelProcessor::ProFilePath()));
    EXPECT_EQ(reloaded.GetWall().cols, 3);
    EXPECT_EQ(reloaded.GetWall().colWidths, (std::vector<int32_t>{1920, 1920, 1920}));
}

TEST_F(WallSetupCommand, TreeItemFiveAsksThePasswordAndProgramsTheKeys)
{
    platform::ScaledClock clock(10);
    platform::ScopedClock scoped(clock);
    ProcessorSimulator simulator;
    // No type reply: it would name another model.
    simulator.Silence("GP TYPE");
    AddProcessor(2);
    for (uint32_t id = 0; id < 4; ++id)
        AddTestSource(*processor, id, 1920, 1080);
    PointAtLoopback(*processor, simulator.Port());
    MakeFrame();
    ASSERT_TRUE(processor->Connect());
    ASSERT_TRUE(pumpUntil([&] { return processor->IsConnected(); }, 20000));
    // The tree asks the type once the pump brings it the connection.
    ASSERT_TRUE(pumpUntil(
        [&] {
            const auto texts = simulator.Texts();
            return std::find(texts.begin(), texts.end(), "GP TYPE 0\r\n") != texts.end();
        },
        20000));
    simulator.ClearLines();

    modal().answerMenu(sigsrcmenu::kInitialise);
    dialogtest::AnswerPassword(kDefaultPassword);
    int result = -1;
    dialogtest::AnswerAs<CInitProcessorDlg>([&](CInitProcessorDlg& dialog) {
        EXPECT_TRUE(pumpUntil([&] { return !dialog.isVisible(); }, 120000));
        result = dialog.result();
    });
    RightClickProcessor();
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(IsPasswordAccepted());

    processor->QueueCommand("MARK\r\n");
    ASSERT_TRUE(simulator.WaitForLine("MARK\r\n", 20s));
    const std::vector<std::string> lines = WithoutPolls(simulator.Texts());
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 6), dialogtest::FirstKeyResetLines());
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "INPUT_FPGA SET_KEY_MODE 0\r\n"), 13);
    EXPECT_EQ(lines.back(), "MARK\r\n");
}
