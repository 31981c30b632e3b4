#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <csignal>
#include <filesystem>
#include <vector>

#include "context/context.h"
#include "core/event_pump.h"
#include "core/event_signals.h"
#include "startup/termination_signals.h"
#include "corlane/app_path.h"
#include "frame/about_dlg.h"
#include "frame/main_frame.h"
#include "frame/tavrix_app.h"
#include "model/processor.h"
#include "tests/support/child_process.h"
#include "tests/support/ui/ui_test.h"
#include "views/multi_screen_view.h"
#include "views/view_manager.h"

namespace fs = std::filesystem;
using namespace tavrix::test;

namespace {

template <class Predicate>
void ProcessEventsUntil(Predicate done)
{
    while (!done())
        QTest::qWait(20);
}

class Frame : public UiTest {
protected:
    void SetUp() override
    {
        for (const char* folder : {"Sys", "Hardware", "Log", "Plan"})
            fs::remove_all(qz::vok::path::GetMainPath() + "/" + folder);
        runtime = MakeRuntimeFolder(fs::current_path() / "rt");
        CEvtQueue::get_instance().Clear();
    }
    fs::path runtime;
};

} // namespace

TEST_F(Frame, SelectionReachesSubscribersOnlyThroughThePump)
{
    std::vector<int> seen;
    auto connection =
        CQelEvtSignals::ConnectPlanSelChanged([&](const CPlanSelChangedEvent& e) { seen.push_back(e.planId); });
    CQelContext::SetSelPlan(77);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(PumpEvents(), 1);
    EXPECT_EQ(seen, std::vector<int>{77});
    connection.disconnect();
    CQelContext::Destroy();
}

TEST_F(Frame, ShowsMaximisedAndClosesInOrderOnSigterm)
{
    CTavrixApp app(runtime.string());
    ASSERT_TRUE(app.InitInstance());
    CMainFrame* frame = app.MainFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), "Tavrix");
    EXPECT_EQ(frame->GetDocument().GetTitle(), "Quarnel");
    EXPECT_TRUE(frame->windowState() & Qt::WindowMaximized);
    EXPECT_TRUE(frame->IsPumping());
    // A view's settings reach the settings file: the views go before it is
    // written.
    auto* view = static_cast<CMultiScreenView*>(
        CViewManager::get_instance().CreateView(frame, "VMultiScreen_1", CViewManager::FactoryOf<CMultiScreenView>()));
    ASSERT_NE(view, nullptr);
    view->m_bFitModule = false;

    InstallTerminationHandlers();
    std::raise(SIGTERM);
    ProcessEventsUntil([&] { return !frame->isVisible(); });
    ClearTerminationRequest();
    EXPECT_FALSE(frame->IsPumping());
    EXPECT_TRUE(fs::exists(CQelProcessor::ProFilePath()));
    EXPECT_TRUE(fs::exists(qz::vok::path::GetSysPath() + "/Main.ini"));
    EXPECT_TRUE(fs::exists(qz::vok::path::GetSysPath() + "/MultiScreenView.ini"));
    EXPECT_EQ(CViewManager::get_instance().FindView("VMultiScreen_1"), nullptr);
    EXPECT_NE(ReadText(qz::vok::path::GetSysPath() + "/MultiScreenView.ini").find("FitModule=false"),
              std::string::npos);
    app.ExitInstance();
}

TEST_F(Frame, SecondCopyRestoresTheMinimisedWindow)
{
    CTavrixApp app(runtime.string());
    ASSERT_TRUE(app.InitInstance());
    CMainFrame* frame = app.MainFrame();
    frame->showMinimized();
    ProcessEventsUntil([&] { return frame->isMinimized(); });

    const fs::path other = MakeMainFolder(fs::current_path() / "other");
    ChildProgram second(TAVRIX_EXE, other, runtime);
    EXPECT_EQ(second.Wait(), 0);
    ProcessEventsUntil([&] { return !frame->isMinimized(); });
    EXPECT_TRUE(frame->isVisible());
    EXPECT_FALSE(fs::exists(other / "Sys" / "Main.ini"));
    app.ExitInstance();
}

TEST_F(Frame, UnreadableProcessorFileIsToldOnceAfterTheWindowShows)
{
    WriteText(CQelProcessor::ProFilePath(), "<Processor version=\"V1\"");
    modal().expectInform();
    CTavrixApp app(runtime.string());
    ASSERT_TRUE(app.InitInstance());
    EXPECT_TRUE(modal().prompts().empty()); // not before the window shows
    ProcessEventsUntil([&] { return !modal().prompts().empty(); });
    QTest::qWait(100);
    EXPECT_EQ(modal().prompts().size(), 1u);
    EXPECT_EQ(modal().prompts()[0].kind, Prompt::Inform);
    app.ExitInstance();
    EXPECT_EQ(ReadText(CQelProcessor::ProFilePath() + ".bad"), "<Processor version=\"V1\"");
}

TEST_F(Frame, AboutBoxClosesWithItsButton)
{
    QString caption;
    QString line;
    modal().answerDialog([&](QDialog& dialog) {
        caption = dialog.windowTitle();
        if (auto* label = dialog.findChild<QLabel*>())
            line = label->text();
        auto* about = dynamic_cast<CAboutDlg*>(&dialog);
        EXPECT_NE(about, nullptr);
        EXPECT_EQ(about->OkButton()->text(), "确定");
        dialog.show();
        about->OkButton()->click();
        EXPECT_FALSE(dialog.isVisible());
        return dialog.result();
    });
    CMainFrame frame({}, nullptr);
    frame.OnAppAbout();
    EXPECT_EQ(caption, "关于 Tavrix");
    EXPECT_EQ(line, "Tavrix 1.0 版");
    CQelContext::Destroy();
}
