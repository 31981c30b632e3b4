// The signal-source page in the main window offscreen, with the real
// context, processor manager, event pump and reset job; links go to the
// processor simulator on loopback or a pseudo-terminal.
#include <gtest/gtest.h>

#include <QCalendarWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QTimeEdit>
#include <filesystem>
#include <thread>

#include "core/config.h"
#include "context/context.h"
#include "core/event_queue.h"
#include "core/event_signals.h"
#include "core/events.h"
#include "comm/sport_operator.h"
#include "corlane/app_path.h"
#include "dialogs/edid_dlg.h"
#include "dialogs/name_dlg.h"
#include "dialogs/obbk_color_dlg.h"
#include "dialogs/password_check.h"
#include "dialogs/password_dlg.h"
#include "dialogs/preset_slot_dlg.h"
#include "dialogs/pro_datetime_dlg.h"
#include "dialogs/progress_dlg.h"
#include "dialogs/sig_src_dlg.h"
#include "dialogs/test_output_dlg.h"
#include "dialogs/fwnd_size_fine_tune_dlg.h"
#include "frame/command_ids.h"
#include "frame/main_ctrl_bar.h"
#include "frame/main_frame.h"
#include "frame/shipped_data.h"
#include "frame/sig_src_sub_wnd.h"
#include "model/processor_jobs.h"
#include "model/processor_link.h"
#include "model/processor_manager.h"
#include "model/processor_records.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "replies/reply_receiver.h"
#include "tests/frame/frame_lines.h"
#include "tests/frame/frame_window_fixture.h"
#include "tests/frame/sig_src_sources.h"
#include "tests/frame/test_processor.h"
#include "tests/model/link_fixture.h"
#include "tests/support/test_files.h"
#include "tests/support/ui/screenshot.h"
#include "tests/support/ui/ui_test.h"
#include "views/multi_screen_view.h"
#include "views/view_manager.h"
#include "model/requests.h"

namespace fs = std::filesystem;
using namespace tavrix::test;

namespace {

const QString kNotConnected = QStringLiteral("处理器未连接，请连接处理器！");

// Holds the jobs it is told to, so its processor stays busy.
class HoldingProcessor : public CQelProcessor {
public:
    std::atomic<bool> hold{false};

protected:
    std::thread LaunchJob(std::function<void()> body) override
    {
        if (hold)
            return std::thread([] {});
        return CQelProcessor::LaunchJob(std::move(body));
    }
};

// Where a window stood each time it showed.
class ShowSpy : public QObject {
public:
    explicit ShowSpy(QWidget& watched) : watched_(watched) { watched.installEventFilter(this); }
    std::vector<QRect> shown;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            shown.push_back(watched_.geometry());
        return false;
    }

private:
    QWidget& watched_;
};

class SigSrcTree : public FrameWindowTest {
protected:
    void SetUp() override
    {
        FrameWindowTest::SetUp();
        fs::create_directories(qz::vok::path::GetHardwarePath());
        SetPasswordAccepted(false);
        InstallReplyPath();
        // The model-7 processor the tests mostly use keeps its kind.
        simulator.AnswerType(2, 1);
    }
    void TearDown() override
    {
        frame.reset();
        CViewManager::get_instance().DestroyViews();
        if (processor) {
            processor->StopJobs();
            processor->Disconnect();
        }
        processor.reset();
        FrameWindowTest::TearDown();
    }

    // Processor 1 of `kind` with sources 100, 101 (DVI and VGA) and 103,
    // its link on the simulator's loopback port.
    void AddProcessor(int32_t kind)
    {
        processor = std::make_shared<HoldingProcessor>();
        processor->SetId(1);
        processor->SetKind(kind);
        processor->SetName("8x8处理器");
        processor->records().SetResolutionList({{3, "1080p", {1920, 1080, 60}}});
        processor->records().SetOutputResolutionId(3);
        AddPlainSource(*processor, 100);
        AddDviVgaSource(*processor, 101);
        AddPlainSource(*processor, 103);
        PointAtLoopback(*processor, simulator.Port());
        auto connection = processor->settings().GetConnection();
        connection.serialAutoDetect = 0;
        processor->settings().SetConnection(connection);
        CQelContext::GetProMan()->AddProcessor(processor);
    }

    // Points the processor at a new pseudo-terminal of the simulator.
    std::string UsePty()
    {
        const std::string slave = simulator.OpenPty();
        EXPECT_FALSE(slave.empty());
        auto connection = processor->settings().GetConnection();
        connection.serialDevice = slave;
        processor->settings().SetConnection(connection);
        return slave;
    }

    CUiSigSrcSubWnd& MakeFrame()
    {
        FrameWindowTest::MakeFrame(QPoint(40, 30));
        return Page();
    }

    CUiSigSrcSubWnd& Page() const { return *frame->CtrlBar()->SigSrcPage(); }
    QTreeWidgetItem* ProcessorNode() const { return Page().FindProcessorNode(1); }
    QTreeWidgetItem* Input(int32_t id) const { return Page().FindInputNode(1, id); }

    std::vector<std::string> ChildTexts(QTreeWidgetItem* item) const
    {
        std::vector<std::string> texts;
        for (int i = 0; i < item->childCount(); ++i)
            texts.push_back(item->child(i)->text(0).toStdString());
        return texts;
    }

    // Answers the next menu with `id`, keeping the menu in `offered`.
    void AnswerMenu(int id)
    {
        modal().answerMenu([this, id](const ui::MenuSpec& menu, ui::PopupWatcher*) {
            offered = menu;
            return id;
        });
    }
    void ChooseFromMenu(QTreeWidgetItem* item, int id)
    {
        AnswerMenu(id);
        RightClick(item);
    }
    void RightClick(QTreeWidgetItem* item)
    {
        CSigSrcTreeCtrl& tree = *Page().Tree();
        tree.scrollToItem(item);
        QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, tree.visualItemRect(item).center());
    }

    void ConnectOverTcp()
    {
        ChooseFromMenu(ProcessorNode(), sigsrcmenu::kTcpConnect);
        ASSERT_TRUE(pumpUntil([&] { return ProcessorNode()->text(0) == "8x8处理器(已经连接)"; }, 20000));
    }

    // The next lines at the simulator from `source`, polls left out, until
    // `last` arrived.
    std::vector<std::string> LinesUntil(const std::string& last, const std::string& source = "tcp")
    {
        EXPECT_TRUE(pumpUntil(
            [&] {
                const auto texts = simulator.TextsFrom(source);
                return std::find(texts.begin(), texts.end(), last) != texts.end();
            },
            20000))
            << last;
        const auto lines = WithoutPolls(simulator.TextsFrom(source));
        simulator.ClearLines();
        return lines;
    }

    ProcessorSimulator simulator;
    std::shared_ptr<HoldingProcessor> processor;
    ui::MenuSpec offered;
};

} // namespace

TEST_F(SigSrcTree, BuildsFromTheModelAndFollowsItsEvents)
{
    // No processors: an empty tree.
    MakeFrame();
    EXPECT_EQ(Page().Tree()->topLevelItemCount(), 0);
    frame.reset();
    CViewManager::get_instance().DestroyViews();

    AddProcessor(7);
    CQelContext::SetSelSigSrc(-1, -1);
    MakeFrame();
    ASSERT_EQ(Page().Tree()->topLevelItemCount(), 1);
    EXPECT_EQ(ProcessorNode()->text(0), "8x8处理器(未连接)");
    EXPECT_EQ(ChildTexts(ProcessorNode()),
              (std::vector<std::string>{"IN100(1920x1080)", "IN101(1920x1080)", "IN103(1920x1080)"}));
    EXPECT_EQ(ChildTexts(Input(101)), (std::vector<std::string>{"DVI", "VGA"}));
    EXPECT_EQ(Page().Tree()->currentItem(), Input(100));
    EXPECT_EQ(CQelContext::GetSelSigSrcId(), 100);
    EXPECT_EQ(CQelContext::GetSelProcessorId(), 1);

    // Added sources keep the ids ascending; removed ones go.
    AddPlainSource(*processor, 102, true);
    AddPlainSource(*processor, 50, true);
    processor->RemoveSigSrc(103);
    ASSERT_TRUE(pumpUntil([&] { return ProcessorNode()->childCount() == 4; }));
    EXPECT_EQ(ChildTexts(ProcessorNode()), (std::vector<std::string>{"IN50(1920x1080)", "IN100(1920x1080)",
                                                                     "IN101(1920x1080)", "IN102(1920x1080)"}));

    // A new resolution and a new child show; events naming what is gone
    // change nothing.
    processor->GetSigSrc(100)->SetResolution(1280, 720, 60);
    processor->GetSigSrc(101)->SelectChild(2);
    for (CEventBase* gone : std::initializer_list<CEventBase*>{
             new CSigSrcAddedEvent(9, 100), new CSigSrcAddedEvent(1, 777), new CSigSrcRemovedEvent(9, 100),
             new CSigSrcUpdateEvent(1, 777), new CSigSrcChildChangedEvent(1, 777, 1), new CNetConnectEvent(4242, 2),
             new CGetProTypeEvent(9)})
        PostEvent(gone);
    ASSERT_TRUE(pumpUntil([&] { return Input(101)->text(0) == "IN101(VGA)(1920x1080)"; }));
    EXPECT_EQ(Input(100)->text(0), "IN100(1280x720)");
    EXPECT_EQ(ProcessorNode()->childCount(), 4);
    EXPECT_EQ(ProcessorNode()->text(0), "8x8处理器(未连接)");

    // A processor without sources: no selection.
    frame.reset();
    CViewManager::get_instance().DestroyViews();
    for (uint32_t id : {50, 100, 101, 102})
        processor->RemoveSigSrc(id);
    CEvtQueue::get_instance().Clear();
    CQelContext::SetSelSigSrc(1, -1);
    MakeFrame();
    EXPECT_EQ(ProcessorNode()->childCount(), 0);
    EXPECT_TRUE(Page().Tree()->selectedItems().empty());
    EXPECT_EQ(CQelContext::GetSelSigSrcId(), -1);
}

TEST_F(SigSrcTree, DrawsSelectionJoinColoursAndExpandBoxes)
{
    AddProcessor(7);
    processor->GetSigSrc(100)->SetJoined(true);
    MakeFrame();
    CSigSrcTreeCtrl& tree = *Page().Tree();
    const auto rowOf = [&](QTreeWidgetItem* item) {
        const QRect r = tree.visualItemRect(item);
        return Rect{0, r.top(), tree.viewport()->width(), r.bottom() + 1};
    };
    const auto boxPixel = [&](const QImage& shot, QTreeWidgetItem* item, int level, int dx, int dy) {
        return pixelAt(shot, 19 * level + 10 + dx, rowOf(item).top + 6 + dy);
    };
    Input(101)->setExpanded(false);
    tree.setCurrentItem(Input(103));
    const QImage shot = screenshot(tree);
    const Rect selected = rowOf(Input(103));
    EXPECT_EQ(pixelAt(shot, selected.right - 3, selected.top + 2), ui::rgb(0x33, 0x99, 0xFF));
    EXPECT_EQ(pixelAt(shot, selected.right - 3, rowOf(Input(100)).top + 2), ui::rgb(255, 255, 255));
    EXPECT_GT(countColour(shot, rowOf(Input(100)), ui::rgb(0, 0xFF, 0)), 5); // joined
    EXPECT_GT(countColour(shot, rowOf(Input(101)), ui::rgb(0xFF, 0, 0)), 5); // not joined
    EXPECT_EQ(countColour(shot, rowOf(Input(101)), ui::rgb(0, 0xFF, 0)), 0);
    int dark = 0; // the processor's text, smoothed at its edges
    const Rect top = rowOf(ProcessorNode());
    for (int y = top.top; y < top.bottom; ++y)
        for (int x = 24; x < top.right; ++x)
            dark += ui::redOf(pixelAt(shot, x, y)) < 0x40 && ui::greenOf(pixelAt(shot, x, y)) < 0x40;
    EXPECT_GT(dark, 20);
    EXPECT_EQ(countColour(shot, rowOf(ProcessorNode()), ui::rgb(0xFF, 0, 0)), 0);
    // Expanded: a minus; collapsed: a plus; no box without children.
    EXPECT_EQ(boxPixel(shot, ProcessorNode(), 0, 2, 5), ui::rgb(0, 0, 0));
    EXPECT_EQ(boxPixel(shot, ProcessorNode(), 0, 5, 2), ui::rgb(255, 255, 255));
    EXPECT_EQ(boxPixel(shot, Input(101), 1, 2, 5), ui::rgb(0, 0, 0));
    EXPECT_EQ(boxPixel(shot, Input(101), 1, 5, 2), ui::rgb(0, 0, 0));
    EXPECT_EQ(boxPixel(shot, Input(100), 1, 2, 5), ui::rgb(255, 255, 255));
}

TEST_F(SigSrcTree, RowsRepaintWhenTheirSignalChanges)
{
    AddProcessor(7);
    MakeFrame();
    CSigSrcTreeCtrl& tree = *Page().Tree();
    const auto source = processor->GetSigSrc(100);
    const auto shows = [&](ui::ColorRef colour) {
        const QRect r = tree.visualItemRect(Input(100));
        return countColour(shownOnScreen(*tree.viewport()), Rect{0, r.top(), r.right(), r.bottom() + 1}, colour) > 5;
    };
    ASSERT_TRUE(pumpUntil([&] { return shows(ui::rgb(0xFF, 0, 0)); }));
    // The row's text stays the same each time; only its colour changes.
    for (const bool joined : {true, false, true}) {
        SCOPED_TRACE(joined);
        source->SetJoined(joined);
        EXPECT_TRUE(pumpUntil([&] { return shows(joined ? ui::rgb(0, 0xFF, 0) : ui::rgb(0xFF, 0, 0)); }, 3000));
        EXPECT_FALSE(shows(joined ? ui::rgb(0xFF, 0, 0) : ui::rgb(0, 0xFF, 0)));
    }
}

TEST_F(SigSrcTree, ConnectAsksTheTypeAndTheReplySetsUpTheOutputs)
{
    AddProcessor(7);
    MakeFrame();
    std::vector<QString> shown;
    const auto watch = QObject::connect(Page().Tree()->model(), &QAbstractItemModel::dataChanged, [&] {
        if (const QString text = ProcessorNode()->text(0); shown.empty() || shown.back() != text)
            shown.push_back(text);
    });

    // A right click selects the node before its menu shows.
    ChooseFromMenu(ProcessorNode(), sigsrcmenu::kTcpConnect);
    EXPECT_EQ(Page().Tree()->currentItem(), ProcessorNode());
    EXPECT_EQ(CQelContext::GetSelSigSrcId(), -1);
    EXPECT_EQ(offered.items.front().text, "Tcp连接");
    EXPECT_EQ(LinesUntil("GP READ_SLOT_MESSAGE 0xFF\r\n"),
              (std::vector<std::string>{"GP TYPE 0\r\n", "GP SOT 2 1 3 1920 1080 0 1 1\r\n",
                                        "GP READ_SLOT_MESSAGE 0xFF\r\n"}));
    ASSERT_TRUE(pumpUntil([&] { return shown.size() >= 2; }));
    EXPECT_EQ(shown[0], "8x8处理器(正在连接)");
    EXPECT_EQ(shown.back(), "8x8处理器(已经连接)");
    EXPECT_EQ(ProcessorNode()->childCount(), 3); // the kind was right
    EXPECT_FALSE(processor->settings().IsModified());

    // A processor of another kind loses the inputs the file gave it.
    processor->SetKind(8);
    simulator.Push("GP TYPE 2 1\r\n");
    ASSERT_TRUE(pumpUntil([&] { return ProcessorNode()->childCount() == 0; }, 20000));
    EXPECT_EQ(processor->GetKind(), 7);
    EXPECT_EQ(processor->records().GetSigSrcCount(), 0u);
    EXPECT_FALSE(processor->settings().IsModified());
    LinesUntil("GP READ_SLOT_MESSAGE 0xFF\r\n");

    // A stored reply that is no type reply queues nothing. (With a source
    // again, the heartbeat asks for no slots of its own.)
    AddPlainSource(*processor, 100);
    std::vector<std::string> queued;
    processor->link().SetPushObserver([&](std::string_view text, int32_t) { queued.emplace_back(text); });
    processor->settings().OnTypeReply("GP TYPO 2 1");
    bool delivered = false; // after the page's slot, which connected first
    const boost::signals2::scoped_connection seen =
        CQelEvtSignals::ConnectGetProType([&](const CGetProTypeEvent&) { delivered = true; });
    PostEvent(new CGetProTypeEvent(1));
    ASSERT_TRUE(pumpUntil([&] { return delivered; }));
    EXPECT_TRUE(WithoutPolls(queued).empty());
    processor->link().SetPushObserver({});
    QObject::disconnect(watch);

    // Disconnecting from the menu.
    ChooseFromMenu(ProcessorNode(), sigsrcmenu::kDisconnect);
    EXPECT_EQ(offered.items.front().text, "断开连接");
    EXPECT_TRUE(pumpUntil([&] { return ProcessorNode()->text(0) == "8x8处理器(未连接)"; }, 20000));
}

TEST_F(SigSrcTree, ChildSwitchRenameClockAndColourActOnTheirNodes)
{
    AddProcessor(7);
    AddPlainSource(*processor, 203);
    ASSERT_TRUE(processor->SavePro());
    MakeFrame();
    ConnectOverTcp();
    LinesUntil("GP READ_SLOT_MESSAGE 0xFF\r\n");

    // "切换" on DVI selects the child and routes the input to it.
    ChooseFromMenu(Input(101)->child(0), sigsrcmenu::kSwitchChild);
    EXPECT_EQ(Input(101)->text(0), "IN101(DVI)(1920x1080)");
    EXPECT_EQ(processor->GetSigSrc(101)->GetCurChildId(), 1u);
    EXPECT_TRUE(simulator.WaitForLine("I_F SIPII 1 1 2\r\n", 20s));
    const auto lines = simulator.Texts();
    const auto routed = std::find(lines.begin(), lines.end(), "I_F SIPII 1 1 2\r\n");
    EXPECT_TRUE(pumpUntil([&] {
        const auto now = simulator.Texts();
        return std::any_of(now.begin() + (routed - lines.begin()), now.end(),
                           [](const std::string& l) { return l.rfind("I_F RISR", 0) == 0; });
    }));
    simulator.ClearLines();

    // Renaming shows the ordinal, rewrites the processor file and the node.
    for (const QString& name : {QStringLiteral("Cam 1"), QStringLiteral("摄像机一号")}) {
        AnswerMenu(sigsrcmenu::kRename);
        modal().answerDialog([&](QDialog& dialog) {
            auto* prompt = dynamic_cast<CNameDlg*>(&dialog);
            EXPECT_NE(prompt, nullptr);
            if (!prompt)
                return int(QDialog::Rejected);
            EXPECT_EQ(prompt->MarkLabel()->text(), "12");
            EXPECT_EQ(prompt->windowTitle(), "重新命名信号源");
            prompt->NameEdit()->setText(name);
            QTest::mouseClick(prompt->OkButton(), Qt::LeftButton);
            return dialog.result();
        });
        RightClick(Input(203));
        EXPECT_EQ(Input(203)->text(0), name + "(1920x1080)");
        CQelProcessor reread;
        ASSERT_TRUE(reread.LoadPro(CQelProcessor::ProFilePath()));
        ASSERT_NE(reread.GetSigSrc(203), nullptr);
        EXPECT_EQ(QString::fromStdString(reread.GetSigSrc(203)->GetName()), name);
        reread.link().StopSender();
    }

    // The clock goes as picked; disconnected, only the message.
    const auto pick = [&] {
        modal().answerDialog([](QDialog& dialog) {
            auto* clock = dynamic_cast<CProDatetimeSettingDlg*>(&dialog);
            EXPECT_NE(clock, nullptr);
            if (!clock)
                return int(QDialog::Rejected);
            clock->Calendar()->setSelectedDate(QDate(2026, 3, 14));
            clock->TimePicker()->setTime(QTime(9, 26, 53));
            return int(QDialog::Accepted);
        });
    };
    AnswerMenu(sigsrcmenu::kClock);
    pick();
    RightClick(ProcessorNode());
    EXPECT_EQ(LinesUntil("K_P TIME_SET 2026 3 14 9 26 53\r\n"),
              (std::vector<std::string>{"K_P TIME_SET 2026 3 14 9 26 53\r\n"}));

    // The saved plans and the board colour open their dialogs.
    std::vector<std::string> opened;
    for (int item : {sigsrcmenu::kSavedPlans, sigsrcmenu::kBoardColour}) {
        AnswerMenu(item);
        modal().answerDialog([&](QDialog& dialog) {
            if (dynamic_cast<C4H1ShortcutKeysReadPlanDlg*>(&dialog))
                opened.push_back("saved plans");
            else if (dynamic_cast<CDlgSetOBBKColor*>(&dialog))
                opened.push_back("board colour");
            return int(QDialog::Rejected);
        });
        RightClick(ProcessorNode());
    }
    EXPECT_EQ(opened, (std::vector<std::string>{"saved plans", "board colour"}));

    processor->Disconnect();
    ASSERT_TRUE(pumpUntil([&] { return !processor->IsConnected(); }, 20000));
    AnswerMenu(sigsrcmenu::kClock);
    pick();
    modal().expectInform();
    RightClick(ProcessorNode());
    EXPECT_EQ(modal().prompts().back().text, kNotConnected);
}

TEST_F(SigSrcTree, ResetOnASerialLinkReportsAndReconnects)
{
    platform::ScaledClock clock(10);
    platform::ScopedClock scoped(clock);
    AddProcessor(4);
    processor->SetName("LED处理器");
    simulator.Silence("GP TYPE"); // no type reply names model 4
    auto connection = processor->settings().GetConnection();
    connection.type = 2;
    processor->settings().SetConnection(connection);
    const std::string slave = UsePty();
    ASSERT_TRUE(processor->SavePro());
    MakeFrame();

    // The password is asked first; disconnected, only the message follows.
    AnswerMenu(sigsrcmenu::kReset);
    modal().answerDialog([](QDialog& dialog) {
        auto* password = dynamic_cast<CPasswordDlg*>(&dialog);
        EXPECT_NE(password, nullptr);
        if (!password)
            return int(QDialog::Rejected);
        password->PasswordEdit()->setText("739146");
        QTest::mouseClick(password->OkButton(), Qt::LeftButton);
        return dialog.result();
    });
    modal().expectInform();
    RightClick(ProcessorNode());
    ASSERT_FALSE(modal().prompts().empty());
    EXPECT_EQ(modal().prompts().back().text, kNotConnected);
    EXPECT_TRUE(IsPasswordAccepted());

    ChooseFromMenu(ProcessorNode(), sigsrcmenu::kSerialConnect);
    ASSERT_TRUE(pumpUntil(
        [&] { return ProcessorNode()->text(0) == QString::fromStdString("LED处理器(已经连接" + slave + ")"); }, 20000))
        << ProcessorNode()->text(0).toStdString();
    LinesUntil("GP TYPE 0\r\n", slave);

    // Accepted once: Yes shows the window and starts the job, whose final
    // report reconnects on the same line.
    CDlgProgress& progress = *Page().ProgressDialog();
    ShowSpy spy(progress);
    AnswerMenu(sigsrcmenu::kReset);
    modal().answerYesNo(true);
    modal().expectInform();
    RightClick(ProcessorNode());
    const QPoint origin = frame->frameGeometry().topLeft();
    ASSERT_EQ(spy.shown.size(), 1u);
    EXPECT_EQ(spy.shown[0], QRect(origin + QPoint(277, 98), QSize(700, 50)));
    EXPECT_TRUE(progress.windowFlags() & Qt::WindowStaysOnTopHint);
    const auto& prompts = modal().prompts();
    EXPECT_TRUE(std::any_of(prompts.begin(), prompts.end(),
                            [](const Prompt& p) { return p.text == "您确定要对处理器进行复位操作吗？"; }));
    ASSERT_TRUE(pumpUntil([&] { return modal().prompts().back().kind == Prompt::Inform; }, 20000));
    EXPECT_EQ(modal().prompts().back().text, "处理器复位完毕！");
    EXPECT_FALSE(progress.isVisible());
    EXPECT_EQ(LinesUntil("GP TYPE 0\r\n", slave).back(), "GP TYPE 0\r\n");
    EXPECT_NE(ReadText(CQelProcessor::ProFilePath()).find("192.168.1.100"), std::string::npos);
    EXPECT_EQ(processor->settings().GetConnection().type, 2);

    // Reports from another thread travel with their values.
    std::thread([&] { Page().OnProgress(0, 5, 2, 10); }).join();
    ASSERT_TRUE(pumpUntil([&] { return progress.Steps() == 5; }));
    EXPECT_EQ(progress.Text(), "处理器复位中，请稍等...   1 / 5, 2 / 10");
    // One past the total is a failure, reconnected all the same.
    modal().expectInform();
    std::thread([&] { Page().OnProgress(6, 5, 0, 0); }).join();
    ASSERT_TRUE(pumpUntil([&] { return modal().prompts().back().text == "处理器复位失败，请重试!"; }));
    EXPECT_EQ(LinesUntil("GP TYPE 0\r\n", slave).back(), "GP TYPE 0\r\n");

    // A busy processor refuses the job: the window goes again, the failure
    // is told.
    ASSERT_TRUE(pumpUntil([&] { return processor->IsConnected(); }, 20000));
    processor->hold = true;
    ASSERT_EQ(processor->jobs().StartReset(nullptr), 0);
    AnswerMenu(sigsrcmenu::kReset);
    modal().answerYesNo(true);
    modal().expectInform();
    RightClick(ProcessorNode());
    EXPECT_FALSE(progress.isVisible());
    EXPECT_EQ(modal().prompts().back().text, "处理器复位失败，请重试!");
    processor->jobs().Dispatch(request::kResetDone, request::Completion{0});
    processor->hold = false;

    // A wrong entry anywhere clears the flag: the next reset asks again, and
    // a cancelled password abandons it.
    TryPassword("wrong", OperationPassword());
    AnswerMenu(sigsrcmenu::kReset);
    modal().answerDialog(int(QDialog::Rejected));
    RightClick(ProcessorNode());
    EXPECT_EQ(modal().prompts().back().kind, Prompt::Dialog);
    EXPECT_FALSE(progress.isVisible());
    // The reset item is offered to the LED kinds only.
    EXPECT_NE(offered.find(sigsrcmenu::kReset), nullptr);
    processor->SetKind(3);
    ChooseFromMenu(ProcessorNode(), 0);
    EXPECT_EQ(offered.find(sigsrcmenu::kReset), nullptr);
}

TEST_F(SigSrcTree, BorderFineTuneResendsTheAutoExecutedPlan)
{
    AddProcessor(7);
    CQelContext::SetSelSigSrc(1, 100);
    MakeFrame();
    ConnectOverTcp();
    CMultiScreenView* view = frame->ActiveWallView();
    ASSERT_NE(view, nullptr);
    // The device's resolution differs from the plan's, so a re-send asks.
    processor->records().SetOutputResolutionQuietly({1024, 768, 60});
    const auto runBorder = [&](bool asked) {
        modal().answerDialog([](QDialog& dialog) {
            auto* tune = dynamic_cast<CDlgFWndSizeFineTune*>(&dialog);
            EXPECT_NE(tune, nullptr);
            if (!tune)
                return int(QDialog::Rejected);
            dialog.show();
            QTest::mouseClick(tune->OkButton(), Qt::LeftButton);
            return dialog.result();
        });
        if (asked)
            modal().answerYesNo(false);
        frame->OnCommand(cmd::kBorderFineTune);
    };
    view->m_bAutoExecute = false;
    runBorder(false);
    EXPECT_EQ(modal().prompts().back().kind, Prompt::Dialog);
    view->m_bAutoExecute = true;
    runBorder(true);
    EXPECT_EQ(modal().prompts().back().kind, Prompt::YesNo);
    const auto count = [&](const std::string& line) {
        const auto lines = simulator.Texts();
        return std::count(lines.begin(), lines.end(), line);
    };
    EXPECT_TRUE(pumpUntil([&] { return count("I_F SDLT 0xFF 3\r\n") == 2; }, 20000));
    EXPECT_EQ(count("I_F SDLW 0xFF 0\r\n"), 2);
}

TEST_F(SigSrcTree, DeviceDialogsOpenFromTheirItems)
{
    AddProcessor(7);
    MakeFrame();
    ConnectOverTcp();
    simulator.ClearLines();

    // EDID: the password first, then the choice stored and sent.
    AnswerMenu(sigsrcmenu::kEdid);
    modal().answerDialog([](QDialog& dialog) {
        auto* password = dynamic_cast<CPasswordDlg*>(&dialog);
        EXPECT_NE(password, nullptr);
        if (!password)
            return int(QDialog::Rejected);
        password->PasswordEdit()->setText(QStringLiteral("739146"));
        QTest::mouseClick(password->OkButton(), Qt::LeftButton);
        return dialog.result();
    });
    modal().answerDialog([](QDialog& dialog) {
        auto* edid = dynamic_cast<CSetEDIDDlg*>(&dialog);
        EXPECT_NE(edid, nullptr);
        if (!edid)
            return int(QDialog::Rejected);
        edid->EdidList()->setCurrentIndex(3);
        QTest::mouseClick(edid->OkButton(), Qt::LeftButton);
        return dialog.result();
    });
    RightClick(Input(100));
    // The connect's own queries may still be on their way.
    const std::string edidLine = "INPUT_FPGA SET_INPUT_PORT_EDID 1 0 3 1\r\n";
    const auto lines = LinesUntil(edidLine);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), edidLine), 1);
    EXPECT_EQ(processor->GetSigSrc(100)->GetEdid(), 3u);

    // The input's picture and the processor's test output.
    std::vector<std::string> opened;
    AnswerMenu(sigsrcmenu::kInputParameters);
    modal().answerDialog([&](QDialog& dialog) {
        auto* picture = dynamic_cast<CSetSigSrcDlg*>(&dialog);
        if (picture && picture->Slider(1)->value() == 128)
            opened.push_back("picture");
        return int(QDialog::Rejected);
    });
    RightClick(Input(100));
    AnswerMenu(sigsrcmenu::kTestOutput);
    modal().answerDialog([&](QDialog& dialog) {
        if (dynamic_cast<CTestOutputDlg*>(&dialog))
            opened.push_back("test output");
        return int(QDialog::Rejected);
    });
    RightClick(ProcessorNode());
    EXPECT_EQ(opened, (std::vector<std::string>{"picture", "test output"}));
}
