// The main window offscreen with the real context, managers and event
// queue, the shipped data in a temporary main folder and the scripted
// modal seam; links go to the processor simulator on loopback or a
// pseudo-terminal.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <filesystem>

#include "core/config.h"
#include "context/context.h"
#include "core/event_queue.h"
#include "model/processor_link.h"
#include "model/processor_settings.h"
#include "startup/termination_signals.h"
#include "comm/sport_operator.h"
#include "corlane/app_path.h"
#include "dialogs/password_dlg.h"
#include "dialogs/preset_slot_dlg.h"
#include "dialogs/ip_address_ctrl.h"
#include "dialogs/set_processor_dlg.h"
#include "frame/caption_buttons.h"
#include "frame/command_ids.h"
#include "frame/main_ctrl_bar.h"
#include "frame/main_frame.h"
#include "frame/shipped_data.h"
#include "frame/monitor_sub_wnd.h"
#include "frame/plan_sub_wnd.h"
#include "frame/sig_src_sub_wnd.h"
#include "frame/tavrix_app.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "plan/plan.h"
#include "plan/plan_manager.h"
#include "tests/frame/frame_window_fixture.h"
#include "tests/frame/test_processor.h"
#include "tests/model/link_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/ui/screenshot.h"
#include "tests/support/ui/ui_test.h"
#include "uikit/caption_toolbar.h"
#include "views/multi_screen_view.h"
#include "views/switch_view.h"
#include "views/view_dialogs.h"
#include "views/view_manager.h"

namespace fs = std::filesystem;
using namespace tavrix::test;
using namespace std::chrono_literals;

namespace {

std::vector<int> ButtonIds(CMainFrame& frame)
{
    std::vector<int> ids;
    CNToolBar& bar = frame.CustomNC().ToolBar();
    for (int i = 0; i < bar.Count(); ++i)
        ids.push_back(bar.Button(i)->Id());
    return ids;
}

class MainWindow : public FrameWindowTest {
protected:
    // Processor 1, selected, of a 2 x 2 wall; with a source it is the
    // context's selected source.
    std::shared_ptr<CQelProcessor> AddProcessor(int kind, bool withSource)
    {
        auto p = MakeTestProcessor(withSource);
        p->SetKind(kind);
        CQelContext::GetProMan()->AddProcessor(p);
        CQelContext::SetSelSigSrc(1, withSource ? 100 : -1);
        return p;
    }

    CMultiScreenView* WallView() const { return frame->ActiveWallView(); }
};

} // namespace

TEST_F(MainWindow, FirstViewsFollowTheProcessorAndTheApplicationType)
{
    struct Case {
        bool processor;
        int appType;
        const char* view; // the first plan's view; null: none
        int planType;
    };
    const Case cases[] = {
        {false, 1, nullptr, 0},    {true, 1, "VMultiScreen_1", 0}, {true, 3, "VMultiScreen_1", 0},
        {true, 0, "VSwtich_1", 2}, {true, 2, "VSwtich_1", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.appType);
        SetAppType(c.appType);
        if (c.processor)
            AddProcessor(3, true);
        MakeFrame();
        CViewManager& views = CViewManager::get_instance();
        EXPECT_NE(views.FindView("VNavigation"), nullptr);
        if (!c.view) {
            EXPECT_EQ(views.FindView("VMultiScreen_1"), nullptr);
            EXPECT_EQ(views.FindView("VSwtich_1"), nullptr);
            EXPECT_EQ(CViewManager::GetViewKind(frame->ActiveView()), kViewNavigation);
        } else {
            QWidget* view = views.FindView(c.view);
            ASSERT_NE(view, nullptr);
            EXPECT_EQ(frame->ActiveView(), view);
            const auto plan = CViewTabContainer::PlanOfView(view);
            ASSERT_NE(plan, nullptr);
            EXPECT_EQ(plan->GetName(), "新建方案_1");
            EXPECT_EQ(plan->GetType(), c.planType);
            EXPECT_EQ(plan->GetRows(), 2);
            EXPECT_EQ(CQelContext::GetSelPlanId(), plan->GetId());
            EXPECT_EQ(frame->ViewCounter(), 1);
        }
        frame.reset();
        CViewManager::get_instance().DestroyViews();
        CQelContext::Destroy();
    }

    // Once 新建方案_1 is saved the next start proposes 新建方案_2.
    AddProcessor(3, true);
    MakeFrame();
    ASSERT_TRUE(CQelContext::GetPlanMan()->SavePlanFile(CViewTabContainer::PlanOfView(frame->ActiveView())));
    frame.reset();
    CViewManager::get_instance().DestroyViews();
    CQelContext::Destroy();
    CQelContext::GetPlanMan()->LoadPlanList();
    AddProcessor(3, true);
    MakeFrame();
    EXPECT_EQ(CViewTabContainer::PlanOfView(frame->ActiveView())->GetName(), "新建方案_2");
}

TEST_F(MainWindow, ControlBarShowsItsTabsCollapsesAndPopsPagesOut)
{
    SetAppType(2);
    MakeFrame();
    EXPECT_EQ(frame->CtrlBar()->Items().size(), 2u);
    frame.reset();
    CViewManager::get_instance().DestroyViews();

    SetAppType(1);
    MakeFrame();
    CUiMainCtrlBar& bar = *frame->CtrlBar();
    ASSERT_EQ(bar.Items().size(), 3u);
    EXPECT_EQ(bar.Items()[2]->id, CUiMainCtrlBar::kWinItem);
    EXPECT_FALSE(bar.MonitorPage()->isVisible());
    EXPECT_EQ(bar.AddItem(2, "again", {}, {}, nullptr), 0);
    EXPECT_EQ(bar.Items().size(), 3u);
    EXPECT_EQ(bar.width(), 268);
    EXPECT_EQ(bar.Title(), "功能管理器");

    const QImage shot = screenshot(bar);
    EXPECT_EQ(pixelAt(shot, 100, 3), ui::rgb(0x50, 0x50, 0x50));
    int light = 0; // the active tab's title, white on the caption
    for (int y = 2; y < 22; ++y)
        for (int x = 8; x < 120; ++x)
            light += ui::redOf(pixelAt(shot, x, y)) > 0xC0;
    EXPECT_GT(light, 10);
    const Rect tab = bar.Items()[0]->rect;
    EXPECT_EQ(pixelAt(shot, tab.left + 3, tab.bottom - 2), ui::rgb(255, 255, 255));
    EXPECT_EQ(pixelAt(shot, 10, bar.height() - 20), ui::rgb(0x3D, 0x3D, 0x3D));
    EXPECT_EQ(pixelAt(shot, 150, 300), ui::rgb(255, 255, 255)); // the empty page

    // The float button collapses the bar; a tab click then pops its page
    // out beside the bar.
    const Rect button = bar.Layout().floatButton;
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(button.left + 5, button.top + 5));
    EXPECT_FALSE(bar.IsExpanded());
    pumpUntil([&] { return bar.width() == 48; });
    EXPECT_EQ(bar.width(), 48);
    const Rect plans = bar.Items()[1]->rect;
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(10, plans.top + 10));
    CUiCtrlBarFloatWnd* floating = bar.FloatWnd();
    ASSERT_NE(floating, nullptr);
    EXPECT_TRUE(floating->isVisible());
    const QPoint barOrigin = bar.mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(floating->geometry(), QRect(barOrigin.x() + 48, barOrigin.y(), 220, bar.height()));
    EXPECT_EQ(floating->Title(), "方案管理");
    EXPECT_EQ(floating->GetPage(), static_cast<QWidget*>(bar.PlanPage()));

    // The pointer within left + 270 keeps it; further right hides it.
    hoverAt(*frame, frame->mapFromGlobal(barOrigin + QPoint(269, 100)));
    QCoreApplication::processEvents();
    EXPECT_TRUE(floating->isVisible());
    hoverAt(*frame, frame->mapFromGlobal(barOrigin + QPoint(271, 100)));
    pumpUntil([&] { return !floating->isVisible(); }, 2000);
    EXPECT_FALSE(floating->isVisible());
    EXPECT_EQ(bar.ActiveItem()->id, 2u);

    const Rect collapsedButton = bar.Layout().floatButton;
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(collapsedButton.left + 5, collapsedButton.top + 5));
    EXPECT_TRUE(bar.IsExpanded());
    EXPECT_TRUE(bar.PlanPage()->isVisible());
}

TEST_F(MainWindow, CaptionButtonsFollowTheSwitchAndLoseAMissingPicture)
{
    auto processor = AddProcessor(3, true);
    MakeFrame();
    const std::vector<int> off = {1, 2, 4, 5, 15, 19, 22, 23, 27};
    EXPECT_EQ(ButtonIds(*frame), off);

    frame->OnCtrlBarNotify(captionbtn::kMoreSwitch);
    EXPECT_EQ(processor->settings().GetAppOptions().moreButtonSwitch, 1);
    EXPECT_EQ(ButtonIds(*frame).size(), 20u);
    frame->OnCtrlBarNotify(captionbtn::kMoreSwitch);
    EXPECT_EQ(processor->settings().GetAppOptions().moreButtonSwitch, 0);
    EXPECT_EQ(ButtonIds(*frame), off) << testing::PrintToString(ButtonIds(*frame));
    const QImage closed = QImage(QString::fromStdString(qz::vok::path::GetSysPath() + "/res/ctl_pro_select_close.png"))
                              .convertToFormat(QImage::Format_ARGB32);
    const QImage shown = frame->CustomNC().ToolBar().ButtonById(27)->Image().convertToFormat(QImage::Format_ARGB32);
    const QImage open = QImage(QString::fromStdString(qz::vok::path::GetSysPath() + "/res/ctl_pro_select_open.png"))
                            .convertToFormat(QImage::Format_ARGB32);
    // Compare where the two pictures differ.
    QPoint at(-1, -1);
    for (int y = 0; y < closed.height() && at.x() < 0; ++y)
        for (int x = 0; x < closed.width() && at.x() < 0; ++x)
            if (closed.pixel(x, y) != open.pixel(x, y))
                at = QPoint(x, y);
    ASSERT_GE(at.x(), 0);
    EXPECT_EQ(shown.pixel(at), closed.pixel(at));
    EXPECT_NE(shown.pixel(at), open.pixel(at));

    // A picture that is missing or not an image loses its button only.
    fs::remove(qz::vok::path::GetSysPath() + "/res/ctl_run.png");
    WriteText(qz::vok::path::GetSysPath() + "/res/ctl_save_all.png", "not a picture");
    frame->CreateCtrlBarButtons();
    EXPECT_EQ(ButtonIds(*frame), (std::vector<int>{1, 2, 15, 19, 22, 23, 27}));
}

TEST_F(MainWindow, MenuCommandsConnectToggleAndSave)
{
    ProcessorSimulator simulator;
    auto processor = AddProcessor(3, true);
    PointAtLoopback(*processor, simulator.Port());
    MakeFrame();
    ASSERT_FALSE(frame->GetMenu().items.empty()); // MainMenu.xml

    ui::MenuSpec menu = frame->GetMenu();
    frame->UpdateMenu(menu);
    EXPECT_TRUE(menu.find(cmd::kConnectTcp)->enabled);
    EXPECT_FALSE(menu.find(cmd::kDisconnect)->enabled);

    auto connection = processor->settings().GetConnection();
    connection.type = 2;
    processor->settings().SetConnection(connection);
    EXPECT_TRUE(frame->OnCommand(cmd::kConnectTcp));
    EXPECT_EQ(processor->settings().GetConnection().type, 1);
    EXPECT_TRUE(simulator.WaitForConnection(20s));
    ASSERT_TRUE(WaitFor([&] { return processor->IsConnected(); }, 20s));
    menu = frame->GetMenu();
    frame->UpdateMenu(menu);
    EXPECT_FALSE(menu.find(cmd::kConnectTcp)->enabled);
    EXPECT_FALSE(menu.find(cmd::kConnectSerial)->enabled);
    EXPECT_TRUE(menu.find(cmd::kDisconnect)->enabled);
    // Freeze and unfreeze go to the connected processor.
    frame->OnCtrlBarNotify(captionbtn::kFreeze);
    frame->OnCtrlBarNotify(captionbtn::kUnfreeze);
    EXPECT_TRUE(simulator.WaitForLine("I_F SIPF 0xFF 0xFF 1\r\n", 20s));
    EXPECT_TRUE(simulator.WaitForLine("I_F SIPF 0xFF 0xFF 0\r\n", 20s));
    frame->OnCommand(cmd::kDisconnect);
    EXPECT_TRUE(WaitFor([&] { return !processor->IsConnected(); }, 20s));

    const std::string slave = simulator.OpenPty();
    ASSERT_FALSE(slave.empty());
    connection = processor->settings().GetConnection();
    connection.serialDevice = slave;
    processor->settings().SetConnection(connection);
    frame->OnCommand(cmd::kConnectSerial);
    EXPECT_EQ(processor->settings().GetConnection().type, 2);
    EXPECT_TRUE(WaitFor([&] { return processor->IsConnected(); }, 20s));
    frame->OnCommand(cmd::kDisconnect);

    // The three tip switches invert, and their check marks follow.
    for (int round = 1; round >= 0; --round) {
        for (int id : {cmd::kSegWindowTip, cmd::kInvalidRectTip, cmd::kResourceTip})
            EXPECT_TRUE(frame->OnCommand(id));
        const auto options = processor->settings().GetAppOptions();
        EXPECT_EQ(options.segWindowPoorTip, round);
        EXPECT_EQ(options.videoWindowInvalidRectTip, round);
        EXPECT_EQ(options.disableResourcePoorTip, round);
        menu = frame->GetMenu();
        frame->UpdateMenu(menu);
        for (int id : {cmd::kSegWindowTip, cmd::kInvalidRectTip, cmd::kResourceTip})
            EXPECT_EQ(menu.find(id)->checked, round == 1) << id;
    }

    // Save all writes the modified plan of every tab.
    const auto plan = WallView()->GetPlan();
    plan->SetDirty(true);
    frame->OnCommand(cmd::kSaveAll);
    EXPECT_FALSE(plan->IsDirty());
    EXPECT_TRUE(fs::exists(qz::vok::path::GetPlanPath() + "/新建方案_1.plan"));

    // Unknown ids do nothing; exit closes the window.
    EXPECT_FALSE(frame->OnCommand(4242));
    frame->OnCommand(cmd::kExit);
    EXPECT_TRUE(pumpUntil([&] { return !frame->isVisible(); }));
    EXPECT_FALSE(frame->IsPumping());
}

TEST_F(MainWindow, ExternalToolsStartInTheirFolders)
{
    AddProcessor(3, true);
    MakeFrame();
    const fs::path record = fs::current_path() / "started.txt";
    const auto writeScript = [&](const fs::path& path) {
        fs::create_directories(path.parent_path());
        WriteText(path, "#!/bin/sh\npwd > \"" + record.string() + ".tmp\"\nmv \"" + record.string() + ".tmp\" \"" +
                            record.string() + "\"\n");
        fs::permissions(path, fs::perms::owner_all);
    };

    // Missing: no message, nothing started.
    frame->OnCommand(cmd::kRunWallTool);
    QTest::qWait(100);
    EXPECT_TRUE(modal().prompts().empty());
    EXPECT_FALSE(fs::exists(record));

    const fs::path folder = fs::path(qz::vok::path::GetHardwarePath()) / "Skorvel";
    writeScript(folder / "Skorvel V6.014L.exe");
    frame->OnCommand(cmd::kRunWallTool);
    ASSERT_TRUE(WaitFor([&] { return fs::exists(record); }, 20s));
    EXPECT_EQ(ReadText(record), folder.string() + "\n");
    fs::remove(record);

    writeScript(fs::path(qz::vok::path::GetMainPath()) / "Tarvolm_VT" / "Pobrin_tarvolm_v.exe");
    frame->OnCtrlBarNotify(captionbtn::kVideoManager);
    EXPECT_TRUE(WaitFor([&] { return fs::exists(record); }, 20s));
}

TEST_F(MainWindow, WallViewButtonsActOnTheActiveWallViewOnly)
{
    auto processor = AddProcessor(3, true);
    MakeFrame();
    CMultiScreenView* view = WallView();
    ASSERT_NE(view, nullptr);

    for (int id = 14; id <= 19; ++id) {
        frame->OnCtrlBarNotify(id);
        EXPECT_EQ(frame->ReferenceLineStyle(), id - 14);
    }

    // The zoom popup checks the current scale; a choice sets it, a
    // dismissal changes nothing.
    modal().answerMenu([](const ui::MenuSpec& menu, ui::PopupWatcher*) {
        EXPECT_EQ(menu.items.size(), 5u);
        EXPECT_TRUE(menu.items[0].checked);
        EXPECT_FALSE(menu.items[2].checked);
        EXPECT_EQ(menu.items[2].text, "3倍");
        return 3;
    });
    frame->OnCtrlBarNotify(captionbtn::kZoomCanvas);
    EXPECT_EQ(view->geometry().m_nCanvasScale, 3);
    modal().answerMenu([](const ui::MenuSpec& menu, ui::PopupWatcher*) {
        EXPECT_TRUE(menu.items[2].checked);
        return 0;
    });
    frame->OnCtrlBarNotify(captionbtn::kZoomCanvas);
    EXPECT_EQ(view->geometry().m_nCanvasScale, 3);

    // Freezing a processor that is not connected only tells so.
    std::vector<std::string> queued;
    processor->link().SetPushObserver([&](std::string_view text, int32_t) { queued.emplace_back(text); });
    modal().expectInform();
    frame->OnCtrlBarNotify(captionbtn::kFreeze);
    ASSERT_EQ(modal().prompts().size(), 3u);
    EXPECT_EQ(modal().prompts().back().text, "处理器未连接，请连接处理器！");
    EXPECT_TRUE(queued.empty());

    // Ctrl+A selects every window of the wall view.
    const auto plan = view->GetPlan();
    view->editing().CreateWindowFromRect(Rect{10, 10, 60, 60});
    view->editing().CreateWindowFromRect(Rect{100, 10, 160, 60});
    ASSERT_EQ(plan->GetWindowCount(), 2);
    view->editing().ClearSelection();
    frame->activateWindow();
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(view->m_vecSelection.size(), 2u);

    // The guide lines go off through the views' dialogs.
    viewDialogs().ClearGuideLines();
    EXPECT_EQ(frame->ReferenceLineStyle(), 0);

    // With the navigation view current, nothing acts on a view.
    frame->ViewContainer()->Tabs().CloseTab(0);
    QCoreApplication::processEvents();
    ASSERT_EQ(frame->ActiveWallView(), nullptr);
    frame->OnCtrlBarNotify(15);
    EXPECT_EQ(frame->ReferenceLineStyle(), 0);
    processor->link().SetPushObserver({});
}

TEST_F(MainWindow, PasswordAndPresetCommandsOpenTheirDialogs)
{
    AddProcessor(3, true);
    MakeFrame();
    ASSERT_NE(WallView(), nullptr);
    std::vector<std::string> opened;
    const auto record = [&opened](QDialog& dialog) {
        if (dynamic_cast<CResetPasswordDlg*>(&dialog))
            opened.push_back("reset password");
        else if (dynamic_cast<C4H1ShortcutKeysReadPlanDlg*>(&dialog))
            opened.push_back("preset recall");
        return int(QDialog::Rejected);
    };
    modal().answerDialog(record);
    EXPECT_TRUE(frame->OnCommand(cmd::kResetPassword));
    modal().answerDialog(record);
    frame->OnCtrlBarNotify(captionbtn::kPlanBar);
    EXPECT_EQ(opened, (std::vector<std::string>{"reset password", "preset recall"}));

    // Without a wall or switch view the recall panel stays shut.
    frame->ViewContainer()->Tabs().CloseTab(0);
    QCoreApplication::processEvents();
    ASSERT_EQ(frame->ActiveWallView(), nullptr);
    frame->OnCtrlBarNotify(captionbtn::kPlanBar);
    EXPECT_EQ(opened.size(), 2u);
}

TEST_F(MainWindow, ProcessorSettingsCommandAppliesTheLinkAndReconnects)
{
    ProcessorSimulator simulator;
    auto processor = AddProcessor(7, true);
    PointAtLoopback(*processor, simulator.Port());
    auto connection = processor->settings().GetConnection();
    connection.serialRate = 9600;
    processor->settings().SetConnection(connection);
    fs::create_directories(qz::vok::path::GetHardwarePath());
    MakeFrame();
    ASSERT_TRUE(processor->Connect());
    ASSERT_TRUE(WaitFor([&] { return processor->IsConnected(); }, 20s));

    // 9600 to 115200: the rate line, its pause and the reconnect's, then
    // a second connection to the same loopback address.
    modal().answerDialog([](QDialog& d) {
        auto* dialog = dynamic_cast<CSetProcessorDlg*>(&d);
        EXPECT_NE(dialog, nullptr);
        if (!dialog)
            return int(QDialog::Rejected);
        d.show();
        EXPECT_EQ(dialog->TcpAddressCtrl()->Text(), QStringLiteral("127.0.0.1"));
        if (dialog->TcpAddressCtrl()->Text() != QStringLiteral("127.0.0.1"))
            return int(QDialog::Rejected);
        dialog->RateList()->setCurrentIndex(3);
        QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
        return d.result();
    });
    const auto start = platform::Now();
    EXPECT_TRUE(frame->OnCommand(cmd::kSetProcessor));
    EXPECT_GE(platform::MillisSince(start), 1000);
    EXPECT_TRUE(simulator.WaitForLine("GP SCBR 1 1 49664\r\n", 20s));
    EXPECT_TRUE(WaitFor([&] { return simulator.Connections() == 2; }, 20s));
    CQelProcessor stored;
    ASSERT_TRUE(stored.LoadPro(CQelProcessor::ProFilePath()));
    EXPECT_EQ(stored.settings().GetConnection().serialRate, 115200);

    // Cancel changes nothing; without a processor nothing opens.
    modal().answerDialog(QDialog::Rejected);
    frame->OnCommand(cmd::kSetProcessor);
    EXPECT_EQ(processor->settings().GetConnection().serialRate, 115200);
    CQelContext::SetSelSigSrc(-1, -1);
    const size_t prompts = modal().prompts().size();
    frame->OnCommand(cmd::kSetProcessor);
    EXPECT_EQ(modal().prompts().size(), prompts);
    processor->Disconnect();
}

TEST_F(MainWindow, SourceDraggedFromTheSourcePageBecomesAWindow)
{
    AddProcessor(3, true);
    MakeFrame();
    CMultiScreenView* view = WallView();
    ASSERT_NE(view, nullptr);
    const auto plan = view->GetPlan();
    QWidget* page = frame->CtrlBar()->SigSrcPage();
    ASSERT_TRUE(page->isVisible());
    QWidget* canvas = view->viewport();

    QTest::mousePress(page, Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(frame->DragState(), 1);
    const QPoint target = canvas->rect().center();
    QTest::mouseMove(frame.get(), frame->mapFromGlobal(canvas->mapToGlobal(target)));
    EXPECT_EQ(frame->DragState(), 2);
    modal().expectInform(); // the processor is not connected
    QTest::mouseRelease(frame.get(), Qt::LeftButton, {}, frame->mapFromGlobal(canvas->mapToGlobal(target)));
    EXPECT_EQ(frame->DragState(), 0);
    ASSERT_EQ(plan->GetWindowCount(), 1);
    EXPECT_EQ(plan->GetWindowAt(0)->sigsrc, 100);
}

TEST_F(MainWindow, ClosingAsksSavesTheListsAndEndsOnTermination)
{
    // The real start with processor 1 and its source from the file.
    {
        auto p = AddProcessor(3, true);
        fs::create_directories(qz::vok::path::GetHardwarePath());
        ASSERT_TRUE(p->SavePro());
        CQelContext::Destroy();
    }
    const fs::path runtime = MakeRuntimeFolder(fs::current_path() / "rt");
    {
        CTavrixApp app(runtime.string());
        ASSERT_TRUE(app.InitInstance());
        CMainFrame* main = app.MainFrame();
        CMultiScreenView* view = main->ActiveWallView();
        ASSERT_NE(view, nullptr);
        view->GetPlan()->SetDirty(true);
        // The switches the frame flips reach the processor file at close.
        main->OnCtrlBarNotify(captionbtn::kMoreSwitch);
        main->OnCommand(cmd::kSegWindowTip);
        // Answered No: the plan is not written, every list and file is.
        modal().answerYesNo(false);
        main->OnCommand(cmd::kExit);
        pumpUntil([&] { return !main->isVisible(); });
        EXPECT_EQ(modal().prompts().size(), 1u);
        EXPECT_FALSE(main->IsPumping());
        EXPECT_FALSE(fs::exists(qz::vok::path::GetPlanPath() + "/新建方案_1.plan"));
        for (const std::string& file :
             {qz::vok::path::GetPlanPath() + "/PlanList.txt", qz::vok::path::GetPlanPath() + "/CyclePlanList.clt",
              CQelProcessor::ProFilePath(), qz::vok::path::GetSysPath() + "/Main.ini"})
            EXPECT_TRUE(fs::exists(file)) << file;
        const std::string pro = ReadText(CQelProcessor::ProFilePath());
        EXPECT_NE(pro.find("morebuttonswitch=\"1\""), std::string::npos);
        EXPECT_NE(pro.find("segwindowpoortipenable=\"1\""), std::string::npos);
        app.ExitInstance();
    }
    modal().reset();

    // A termination signal while the zoom popup runs its own loop: the
    // popup is cancelled, then the window closes in order.
    {
        CTavrixApp app(runtime.string());
        ASSERT_TRUE(app.InitInstance());
        CMainFrame* main = app.MainFrame();
        ASSERT_NE(main->ActiveWallView(), nullptr);
        InstallTerminationHandlers();
        modal().answerMenu([&](const ui::MenuSpec&, ui::PopupWatcher*) {
            std::raise(SIGTERM);
            // The popup's own loop, until the frame cancels it.
            pumpUntil([&] { return modal().prompts().back().cancelled; });
            EXPECT_TRUE(main->isVisible());
            return 0;
        });
        main->OnCtrlBarNotify(captionbtn::kZoomCanvas);
        ASSERT_EQ(modal().prompts().size(), 1u);
        EXPECT_TRUE(modal().prompts()[0].cancelled);
        pumpUntil([&] { return !main->isVisible(); });
        EXPECT_FALSE(main->isVisible());
        ClearTerminationRequest();
        app.ExitInstance();
    }
    modal().reset();

    // The same while a dialog is open: the dialog is rejected first.
    {
        CTavrixApp app(runtime.string());
        ASSERT_TRUE(app.InitInstance());
        CMainFrame* main = app.MainFrame();
        int result = -1;
        modal().answerDialog([&](QDialog& dialog) {
            std::raise(SIGTERM);
            result = dialog.exec();
            return result;
        });
        main->OnCommand(cmd::kAbout);
        EXPECT_EQ(result, QDialog::Rejected);
        pumpUntil([&] { return !main->isVisible(); });
        EXPECT_FALSE(main->isVisible());
        ClearTerminationRequest();
        app.ExitInstance();
    }
    EXPECT_TRUE(fs::exists(CQelProcessor::ProFilePath()));
}
