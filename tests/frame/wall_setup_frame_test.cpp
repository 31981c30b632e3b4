// The frame's wall set-up (command 1302 and caption button 1) opens the
// editor of the current processor's kind.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWizard>
#include <filesystem>

#include "app/config.h"
#include "app/context.h"
#include "app/event_queue.h"
#include "corlane/app_path.h"
#include "dialogs/led_wall_wizard.h"
#include "dialogs/set_video_wall_dlg.h"
#include "frame/caption_buttons.h"
#include "frame/command_ids.h"
#include "frame/main_frame.h"
#include "frame/shipped_data.h"
#include "model/processor_manager.h"
#include "tests/frame/test_processor.h"
#include "tests/support/ui/ui_test.h"
#include "views/view_manager.h"

namespace fs = std::filesystem;
using namespace tavrix::test;

namespace {

class WallSetupCommand : public UiTest {
protected:
    void SetUp() override
    {
        for (const char* folder : {"Sys", "Hardware", "Log", "Plan"})
            fs::remove_all(qz::vok::path::GetMainPath() + "/" + folder);
        ASSERT_TRUE(InstallShippedData(qz::vok::path::GetSysPath()));
        CEvtQueue::get_instance().Clear();
        CQelConfig::get_instance().SetString("MainFrm.AppType", "1");
    }
    void TearDown() override
    {
        frame.reset();
        CViewManager::get_instance().DestroyViews();
        CQelContext::Destroy();
        CEvtQueue::get_instance().Clear();
        UiTest::TearDown();
    }

    std::shared_ptr<CQelProcessor> AddProcessor(int kind)
    {
        auto p = MakeTestProcessor(true);
        p->SetKind(kind);
        p->SetOutputResolution(1920, 1080, 60);
        CQelContext::GetProMan()->AddProcessor(p);
        CQelContext::SetSelSigSrc(1, 100);
        return p;
    }

    void MakeFrame()
    {
        frame = std::make_unique<CMainFrame>([] {}, nullptr);
        ASSERT_TRUE(frame->IsCreated());
        frame->resize(1000, 700);
        frame->show();
        QCoreApplication::processEvents();
    }

    // Answers the next dialog: `work` gets it shown, when it is a `Dialog`.
    template <class Dialog>
    void Answer(std::function<void(Dialog&)> work)
    {
        modal().answerDialog([work](QDialog& dialog) {
            auto* expected = dynamic_cast<Dialog*>(&dialog);
            EXPECT_NE(expected, nullptr);
            if (!expected)
                return int(QDialog::Rejected);
            dialog.show();
            QCoreApplication::processEvents();
            work(*expected);
            return dialog.result();
        });
    }

    std::unique_ptr<CMainFrame> frame;
};

} // namespace

TEST_F(WallSetupCommand, OpensTheEditorOfTheProcessorKind)
{
    // Without a current processor nothing opens.
    MakeFrame();
    EXPECT_TRUE(frame->OnCommand(cmd::kLedWallWizard));
    EXPECT_TRUE(modal().prompts().empty());
    frame.reset();
    CViewManager::get_instance().DestroyViews();

    // Another kind: the video wall dialog; what it changes is in the
    // processor on return.
    auto processor = AddProcessor(3);
    MakeFrame();
    Answer<CSetVideoWallDlg>([](CSetVideoWallDlg& dialog) {
        dialog.ColsEdit()->selectAll();
        QTest::keyClicks(dialog.ColsEdit(), "3");
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    });
    frame->OnCommand(cmd::kLedWallWizard);
    EXPECT_EQ(processor->GetWall().cols, 3);

    // An LED kind: the wizard, from the caption button as from the
    // command; cancelled, it leaves the wall and asks nothing more.
    processor->SetKind(7);
    const CQelProcessor::Wall before = processor->GetWall();
    for (const bool button : {true, false}) {
        Answer<CSetLEDVideoWallPropertySheet>([](CSetLEDVideoWallPropertySheet& sheet) {
            EXPECT_EQ(sheet.Caption(), QStringLiteral("LED屏幕墙设置"));
            auto* step3 = dynamic_cast<CSetLEDVideoWallStep3PageEx*>(sheet.currentPage());
            ASSERT_NE(step3, nullptr);
            step3->ColsEdit()->setText("1");
            QTest::mouseClick(sheet.button(QWizard::CancelButton), Qt::LeftButton);
        });
        if (button)
            frame->OnCtrlBarNotify(captionbtn::kWallSetup);
        else
            frame->OnCommand(cmd::kLedWallWizard);
        EXPECT_EQ(processor->GetWall(), before);
    }
    EXPECT_EQ(modal().prompts().size(), 3u);
}
