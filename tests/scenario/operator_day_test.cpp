// The operator's day on the real program, in process: the real start, main
// window, context, managers, event queue and builders, offscreen with the
// modal seam scripted, against the processor simulator on loopback. Each
// step checks what the operator sees, what reached the processor and what
// is on disk.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWizard>
#include <chrono>
#include <filesystem>

#include "core/config.h"
#include "context/context.h"
#include "core/event_queue.h"
#include "builder/pro8part_sender.h"
#include "comm/sport_operator.h"
#include "comm/tcp_client.h"
#include "corlane/app_path.h"
#include "dialogs/about_text.h"
#include "dialogs/ip_address_ctrl.h"
#include "dialogs/led_wall_wizard.h"
#include "dialogs/new_win_plan_dlg.h"
#include "dialogs/password_check.h"
#include "dialogs/password_dlg.h"
#include "dialogs/preset_slot_dlg.h"
#include "dialogs/run_cycle_plan_dlg.h"
#include "dialogs/set_cycle_plan_dlg.h"
#include "dialogs/set_processor_dlg.h"
#include "frame/caption_buttons.h"
#include "frame/command_ids.h"
#include "frame/main_ctrl_bar.h"
#include "frame/main_frame.h"
#include "frame/plan_his_wnd.h"
#include "frame/plan_man_wnd.h"
#include "frame/plan_sub_wnd.h"
#include "frame/shipped_data.h"
#include "frame/sig_src_sub_wnd.h"
#include "frame/sig_src_tree_core.h"
#include "frame/tavrix_app.h"
#include "frame/win_sub_wnd.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/processor_records.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "plan/cycle_plan.h"
#include "plan/plan.h"
#include "plan/plan_manager.h"
#include "tests/frame/plan_frame_fixture.h"
#include "tests/frame/sig_src_sources.h"
#include "tests/frame/test_processor.h"
#include "tests/model/link_fixture.h"
#include "tests/dialogs/cycle_plan_test_support.h"
#include "tests/dialogs/dialog_test_support.h"
#include "tests/support/child_process.h"
#include "tests/support/test_files.h"
#include "tests/support/ui/screenshot.h"
#include "tests/support/ui/ui_test.h"
#include "tests/uikit/sheet_ui_support.h"
#include "uikit/ui_button.h"
#include "uikit/ui_edit_sheet_ctrl.h"
#include "tests/views/view_clicks.h"
#include "views/multi_screen_view.h"
#include "views/view_manager.h"
#include "views/view_tab_container.h"
#include "views/wall_view_core.h"

namespace fs = std::filesystem;
using namespace tavrix::test;
using namespace std::chrono_literals;
using plantest::Column;
using plantest::RowCentre;
using plantest::ShowBarPage;

namespace {

constexpr const char* kProcessorName = "8x8Pro处理器";

// What the processor received, without the status polls.
std::vector<std::string> WithoutPolls(const std::vector<std::string>& lines)
{
    std::vector<std::string> kept;
    for (const std::string& line : lines)
        if (line.rfind("I_F RISR", 0) != 0 && line != "GP TYPE\r\n")
            kept.push_back(line);
    return kept;
}

std::vector<std::string> ChildTexts(QTreeWidgetItem* item)
{
    std::vector<std::string> texts;
    for (int i = 0; item && i < item->childCount(); ++i)
        texts.push_back(item->child(i)->text(0).toStdString());
    return texts;
}

// The id of the menu's item with that text, in any sub-menu; 0 (nothing
// chosen) when there is none.
int MenuItemId(const ui::MenuSpec& menu, const QString& text)
{
    for (const ui::MenuSpec& item : menu.items) {
        if (item.text == text && item.enabled)
            return item.id;
        if (const int id = MenuItemId(item, text))
            return id;
    }
    return 0;
}

// The left button pressed at `from` on the wall view's canvas, moved to
// `to` and released there.
void DragOnCanvas(CMultiScreenView& view, QPoint from, QPoint to)
{
    QWidget* canvas = view.viewport();
    const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(at), QPointF(canvas->mapToGlobal(at)), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(canvas, &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

class OperatorDay : public plantest::PlanFrame {
protected:
    void SetUp() override
    {
        PlanFrame::SetUp();
        runtime = MakeRuntimeFolder(fs::current_path() / "rt");
        // Type 0 names model 8: the processor keeps its kind, name and the
        // inputs its file gave it.
        simulator.AnswerType(0, 1);
        // Every input has a 1920 x 1080 signal.
        simulator.AnswerInputSignal(1920, 1080);
    }

    static std::shared_ptr<CQelProcessor> Processor() { return CQelContext::GetProMan()->FindById(1); }

    // The lines the processor received from now until `last`, polls left
    // out.
    std::vector<std::string> LinesUntil(const std::string& last)
    {
        EXPECT_TRUE(pumpUntil(
            [&] {
                const auto texts = simulator.Texts();
                return std::find(texts.begin(), texts.end(), last) != texts.end();
            },
            20000))
            << last;
        return WithoutPolls(simulator.Texts());
    }

    // Presses on the source's node in the tree, drags onto the wall view's
    // canvas at `target` and releases there.
    void DragSource(CMainFrame& frame, uint32_t source, QPoint target)
    {
        CUiSigSrcSubWnd& page = *frame.CtrlBar()->SigSrcPage();
        CSigSrcTreeCtrl& tree = *page.Tree();
        QTreeWidgetItem* node = page.FindInputNode(1, int32_t(source));
        ASSERT_NE(node, nullptr);
        tree.scrollToItem(node);
        QTest::mousePress(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(node).center());
        ASSERT_EQ(CQelContext::GetSelSigSrcId(), int32_t(source));
        QWidget* canvas = frame.ActiveWallView()->viewport();
        const QPoint at = frame.mapFromGlobal(canvas->mapToGlobal(target));
        QTest::mouseMove(&frame, at);
        ASSERT_EQ(frame.DragState(), 2);
        QTest::mouseRelease(&frame, Qt::LeftButton, {}, at);
        ASSERT_EQ(frame.DragState(), 0);
    }

    ProcessorSimulator simulator;
    fs::path runtime;
};

struct SavedSettings {
    CQelProcessor::Connection connection;
    CQelProcessor::AppOptions options;
    CQelProcessor::Wall wall;
    Resolution output;
};

struct WindowFields {
    int32_t sigsrc;
    Rect rect;
    int32_t status;
    bool operator==(const WindowFields&) const = default;
};

std::vector<WindowFields> Fields(const CQelPlan& plan)
{
    std::vector<WindowFields> fields;
    for (const auto& w : plan.GetWindows())
        fields.push_back({w->sigsrc, w->rect, w->status});
    return fields;
}

} // namespace

TEST_F(OperatorDay, StartConnectPlanApplyCloseAndFindItAllAgain)
{
    const auto started = std::chrono::steady_clock::now();
    // The views ask through the program's own dialogs, as its start installs
    // them.
    dialogtest::ProgramDialogsInstalled dialogs;
    // 1. An empty main folder whose processor file points at the simulator.
    {
        fs::create_directories(qz::vok::path::GetHardwarePath());
        ASSERT_TRUE(MakeModelEightProcessor(simulator.Port())->SavePro());
        CQelContext::Destroy();
    }
    std::vector<WindowFields> applied;
    std::string proBefore;
    SavedSettings settings;
    {
        CTavrixApp app(runtime.string());
        ASSERT_TRUE(app.InitInstance());
        CMainFrame& frame = *app.MainFrame();
        QCoreApplication::processEvents();
        ASSERT_TRUE(frame.isVisible());
        ASSERT_NE(frame.CtrlBar(), nullptr);
        EXPECT_TRUE(frame.CtrlBar()->isVisible());
        EXPECT_EQ(frame.ViewCounter(), 1);
        ASSERT_NE(frame.ActiveWallView(), nullptr);
        screenshot(frame);

        // 2. Connect: the tree shows the processor connected with its four
        // sources, and the status poll runs.
        CUiSigSrcSubWnd& page = *frame.CtrlBar()->SigSrcPage();
        ASSERT_TRUE(frame.OnCommand(cmd::kConnectTcp));
        ASSERT_TRUE(pumpUntil([&] { return Processor() && Processor()->IsConnected(); }, 20000));
        QTreeWidgetItem* processorNode = page.FindProcessorNode(1);
        ASSERT_NE(processorNode, nullptr);
        EXPECT_TRUE(pumpUntil([&] { return processorNode->text(0) == QString(kProcessorName) + "(已经连接)"; }, 20000))
            << processorNode->text(0).toStdString();
        EXPECT_EQ(ChildTexts(processorNode), (std::vector<std::string>{"IN100(1920x1080)", "IN101(1920x1080)",
                                                                       "IN200(1920x1080)", "IN201(1920x1080)"}));
        simulator.ClearLines();
        EXPECT_TRUE(pumpUntil(
            [&] {
                const auto texts = simulator.Texts();
                return std::count_if(texts.begin(), texts.end(),
                                     [](const std::string& l) { return l.rfind("I_F RISR", 0) == 0; }) >= 2;
            },
            20000));

        // 3. A new, empty plan of the 2 x 2 screens: its own tab and view.
        const int views = frame.ViewCounter();
        AnswerNewPlan("Day", "空布局方案");
        ASSERT_TRUE(frame.OnCommand(cmd::kNewPlan));
        QCoreApplication::processEvents();
        EXPECT_EQ(frame.ViewCounter(), views + 1);
        CUiTabWnd& tabs = frame.ViewContainer()->Tabs();
        EXPECT_EQ(tabs.GetTab(tabs.TabCount() - 1)->text, "Day");
        CMultiScreenView* view = frame.ActiveWallView();
        ASSERT_NE(view, nullptr);
        const std::shared_ptr<CQelPlan> plan = view->GetPlan();
        ASSERT_NE(plan, nullptr);
        EXPECT_EQ(plan->GetName(), "Day");
        EXPECT_EQ(plan->GetRows(), 2);
        EXPECT_EQ(plan->GetCols(), 2);
        EXPECT_EQ(plan->GetWindowCount(), 0);
        // The operator sends only when he says so.
        view->m_bAutoExecute = false;

        // 4. A source dragged onto the wall, resized by its corner and moved
        // by its title, locked from its menu; a second source beside it;
        // the history goes back one edit and forward again.
        QWidget* canvas = view->viewport();
        // The wall shows centred on the canvas: a quarter of it above left
        // and below right of the centre.
        const QPoint centre = canvas->rect().center();
        const QPoint first = centre - QPoint(120, 70);
        const QPoint second = centre + QPoint(120, 70);
        const auto sampleAt = [&](const QImage& image, QPoint p) {
            const QPoint at = frame.mapFromGlobal(canvas->mapToGlobal(p));
            return pixelAt(image, at.x(), at.y());
        };
        const auto grabNow = [&] {
            QCoreApplication::processEvents();
            return frame.grab().toImage().convertToFormat(QImage::Format_RGB32);
        };
        const QImage empty = grabNow();
        DragSource(frame, 100, first);
        ASSERT_EQ(plan->GetWindowCount(), 1);
        const auto a = plan->GetWindowAt(0);
        const Rect dropped = a->rect;

        const QPoint corner(a->rectView.right, a->rectView.bottom);
        DragOnCanvas(*view, corner, corner + QPoint(60, 40));
        EXPECT_EQ(a->rect.left, dropped.left);
        EXPECT_EQ(a->rect.top, dropped.top);
        EXPECT_GT(a->rect.right, dropped.right);
        EXPECT_GT(a->rect.bottom, dropped.bottom);
        const QPoint grown(a->rectView.right - 6, a->rectView.bottom - 6);
        EXPECT_NE(sampleAt(grabNow(), grown), sampleAt(empty, grown)) << "the grown corner is not drawn";

        const Rect sized = a->rect;
        const QPoint title(a->rectView.left + 30, a->rectView.top + 8);
        DragOnCanvas(*view, title, title - QPoint(50, 30));
        EXPECT_EQ(RectWidth(a->rect), RectWidth(sized));
        EXPECT_EQ(RectHeight(a->rect), RectHeight(sized));
        EXPECT_LT(a->rect.left, sized.left);
        EXPECT_LT(a->rect.top, sized.top);
        EXPECT_EQ(sampleAt(grabNow(), grown), sampleAt(empty, grown)) << "the window is still drawn where it was";

        modal().answerMenu([](const ui::MenuSpec& menu, ui::PopupWatcher*) { return MenuItemId(menu, "锁定窗口"); });
        RightClick(*view, QPoint(a->rectView.left + 40, a->rectView.top + 40));
        EXPECT_EQ(a->status, 1);
        DragSource(frame, 201, second);
        ASSERT_EQ(plan->GetWindowCount(), 2);
        EXPECT_EQ(plan->GetWindowAt(1)->sigsrc, 201);
        const QImage windows = screenshot(frame);
        for (const QPoint& p : {first, second})
            EXPECT_NE(sampleAt(windows, p), sampleAt(empty, p)) << "no window drawn at " << p.x() << "," << p.y();
        const std::vector<WindowFields> edited = Fields(*plan);
        // Where only the second window shows.
        const Rect secondView = plan->GetWindowAt(1)->rectView;
        const QRect shown = QRect(QPoint(secondView.left, secondView.top), QPoint(secondView.right, secondView.bottom))
                                .adjusted(4, 24, -4, -4)
                                .intersected(canvas->rect().adjusted(4, 4, -4, -4));
        QPoint secondOnly(-1, -1);
        for (int y = shown.top(); y <= shown.bottom() && secondOnly.x() < 0; y += 4)
            for (int x = shown.left(); x <= shown.right() && secondOnly.x() < 0; x += 4)
                if (x < a->rectView.left - 4 || x > a->rectView.right + 4 || y < a->rectView.top - 4 ||
                    y > a->rectView.bottom + 4)
                    secondOnly = QPoint(x, y);
        ASSERT_GE(secondOnly.x(), 0);

        CUiPlanHisWnd& history = *frame.CtrlBar()->WinPage()->HistoryPane();
        CUiSheetCtrl& entries = history.Sheet();
        ShowBarPage(frame, 2);
        Deliver();
        EXPECT_EQ(Column(entries, 0),
                  (std::vector<QString>{"新建方案", "新建窗口", "改变窗口大小", "移动窗口", "锁定窗口", "新建窗口"}));
        QTest::mouseDClick(&entries, Qt::LeftButton, {}, RowCentre(entries, entries.GetRowCount() - 2));
        Deliver();
        ASSERT_EQ(plan->GetWindowCount(), 1);
        EXPECT_EQ(plan->GetWindowAt(0)->status, 1);
        EXPECT_EQ(sampleAt(grabNow(), secondOnly), sampleAt(empty, secondOnly)) << "the second window is still drawn";
        QTest::mouseDClick(&entries, Qt::LeftButton, {}, RowCentre(entries, entries.GetRowCount() - 1));
        Deliver();
        EXPECT_EQ(Fields(*plan), edited);
        EXPECT_NE(sampleAt(grabNow(), secondOnly), sampleAt(empty, secondOnly))
            << "the second window is not drawn again";

        // 5. Apply sends exactly what the builder gives for the plan as the
        // view holds it.
        // The link keeps a pause after each line: what it owes the line
        // before the Apply delays the first one.
        const auto before = simulator.Lines();
        simulator.ClearLines();
        const size_t prompts = modal().prompts().size();
        const auto applyAt = ProcessorSimulator::Clock::now();
        const auto owed = before.empty() ? ProcessorSimulator::Clock::duration::zero()
                                         : std::max(ProcessorSimulator::Clock::duration::zero(),
                                                    before.back().at + qz::net::tcp_client::kWritePause - applyAt);
        ASSERT_TRUE(frame.OnCommand(WallViewCore::kCmdExecute));
        std::vector<std::string> expected;
        {
            _8PART_NS::CPro8PartSender sender(plan.get(), Processor()->settings().GetAppOptions().algorithmId);
            ASSERT_EQ(sender.BuildCommands(expected), 0);
        }
        ASSERT_FALSE(expected.empty());
        const std::vector<std::string> received = LinesUntil(expected.back());
        EXPECT_EQ(received, expected);
        // The first window, IN100 on input board 1 port 0, covers (576,
        // 281)-(2940, 1650) of the 2 x 2 wall of 1920 x 1080 outputs on board
        // 9: 1344 + 1020 wide across the column edge at 1920, 799 + 570 high
        // across the row edge at 1080. Its lines, in the order sent:
        const std::vector<std::string> firstWindow = {
            // The input board passes the whole source on.
            "I_F SWL 1 0 1920 2400\r\n", "I_F AW 0 1 0 0 1920 1080 0 0 1920 1080\r\n", "I_F AWE\r\n",
            "GP BPSW 1 0 9 0\r\n",
            // One scaler per column: 1344 of the 2364 wide window take source
            // columns 0-1091, the other 1020 take 1092-1919; all 1080 rows
            // become 1369.
            "O_F SCALER_SETUP 9 0 0 1920 1080 0 1091 0 1079 1344 1369\r\n",
            "O_F SCALER_SETUP 9 1 0 1920 1080 1092 1919 0 1079 1020 1369\r\n",
            // Each output shows its quarter: scaler 0 is channel 4, scaler 1
            // channel 5; the part of the scaled picture, then where it lands.
            "O_F SWL 9 0 1920 1080\r\n", "O_F AW 4 1 0 0 1344 799 576 281 1920 1080\r\n", "O_F AWE\r\n",
            "O_F SWL 9 1 1920 1080\r\n", "O_F AW 5 1 0 0 1020 799 0 281 1020 1080\r\n", "O_F AWE\r\n",
            "O_F SWL 9 2 1920 1080\r\n", "O_F AW 4 1 0 799 1344 1369 576 0 1920 570\r\n", "O_F AWE\r\n",
            "O_F SWL 9 3 1920 1080\r\n", "O_F AW 5 1 0 799 1020 1369 0 0 1020 570\r\n", "O_F AWE\r\n", "I_F SUSD 1\r\n",
            "K40750 UPDATA 0\r\n", "O_F SUSD 9\r\n"};
        EXPECT_EQ(Fields(*plan)[0].rect, (Rect{576, 281, 2940, 1650})) << "the drags moved elsewhere";
        {
            // In the order written, among the second window's lines.
            auto at = received.begin();
            for (const std::string& line : firstWindow) {
                at = std::find(at, received.end(), line);
                ASSERT_NE(at, received.end()) << "missing or out of order: " << line;
                ++at;
            }
        }
        {
            // How much of the send is the program's own, beside the pause
            // the link keeps after each line it writes (polls included).
            size_t count = 0;
            ProcessorSimulator::Clock::time_point last = applyAt;
            for (const auto& line : simulator.Lines()) {
                ++count;
                last = line.at;
                if (line.text == expected.back())
                    break;
            }
            const double total = std::chrono::duration<double, std::milli>(last - applyAt).count();
            const double pauses =
                double(count - 1) *
                    std::chrono::duration<double, std::milli>(qz::net::tcp_client::kWritePause).count() +
                std::chrono::duration<double, std::milli>(owed).count();
            std::printf("apply: %zu lines in %.0f ms, %.0f ms of pauses: the program's own share %.1f %%\n", count,
                        total, pauses, total > 0 ? 100.0 * (total - pauses) / total : 0.0);
        }
        EXPECT_EQ(modal().prompts().size(), prompts); // no failure told
        applied = Fields(*plan);
        screenshot(frame);

        // 6. Stored in preset slot 1, the password and the slot asked: the
        // processor gets the layout in that slot. The first time it never
        // says the store is done: after its 20 s the operator is told, and
        // the plan is as it was.
        // The password is asked once a run.
        const auto storeInSlotOne = [&](bool passwordAsked) {
            modal().answerMenu(
                [](const ui::MenuSpec& menu, ui::PopupWatcher*) { return MenuItemId(menu, "保存至处理器"); });
            if (passwordAsked)
                dialogtest::AnswerPassword(kDefaultPassword);
            modal().answerDialog([](QDialog& dialog) {
                auto* presets = dynamic_cast<C4H1ShortcutKeysDlg*>(&dialog);
                EXPECT_NE(presets, nullptr);
                if (!presets)
                    return int(QDialog::Rejected);
                dialog.show();
                QCoreApplication::processEvents();
                EXPECT_TRUE(presets->SlotButton(1)->isEnabled());
                QTest::mouseClick(presets->SlotButton(1), Qt::LeftButton);
                return dialog.result();
            });
            modal().expectInform();
            RightClick(*view, first);
            EXPECT_EQ(modal().pendingAnswers(), 0u);
        };
        simulator.ClearLines();
        storeInSlotOne(true);
        EXPECT_EQ(LastPrompt(), QStringLiteral("方案保存至处理器失败，请重试!"));
        EXPECT_EQ(Fields(*plan), applied);
        {
            // Left the store mode all the same.
            const auto lines = WithoutPolls(simulator.Texts());
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(lines.front(), "GP SDMI 1\r\n");
            EXPECT_GT(std::count(lines.begin(), lines.end(), "GP CDMS 1\r\n"), 1);
            EXPECT_EQ(LinesUntil("GP SDMI 0\r\n").back(), "GP SDMI 0\r\n");
        }
        simulator.AnswerDisplayModeStoredFrom(1);
        simulator.ClearLines();
        storeInSlotOne(false);
        {
            std::vector<std::string> store = {"GP SDMI 1\r\n"};
            for (int board = 9; board <= 12; ++board)
                for (int port = 0; port < 4; ++port)
                    store.push_back("GP BPSW 0xFF 0xFF " + std::to_string(board) + " " + std::to_string(port) + "\r\n");
            store.insert(store.end(), expected.begin(), expected.end());
            store.push_back("GP CDMS 1\r\n");
            store.push_back("GP SDMI 0\r\n");
            EXPECT_EQ(LinesUntil(store.back()), store);
        }
        EXPECT_EQ(LastPrompt(), QStringLiteral("保存至处理器完毕!"));
        EXPECT_EQ(Fields(*plan), applied);

        // 7. The plan saved from the wall's menu beside a second one; a tour
        // of the two, a second each, made in the cycle-plan editor and run
        // from the cycle pane: the processor gets one layout, then the
        // other, until the run window is closed after two rounds.
        ASSERT_TRUE(plan->IsDirty());
        modal().answerMenu([](const ui::MenuSpec& menu, ui::PopupWatcher*) { return MenuItemId(menu, "保存"); });
        RightClick(*view, first);
        EXPECT_FALSE(plan->IsDirty());
        EXPECT_TRUE(fs::exists(qz::vok::path::GetPlanPath() + "/Day.plan"));
        const std::shared_ptr<CQelPlan> night = SavedPlan("Night", 1);
        std::vector<std::string> nightLayout;
        {
            _8PART_NS::CPro8PartSender sender(night.get(), Processor()->settings().GetAppOptions().algorithmId);
            ASSERT_EQ(sender.BuildCommands(nightLayout), 0);
        }
        ASSERT_NE(nightLayout, expected);
        ShowBarPage(frame, 1);
        CUiCyclePlanManWnd& cyclePane = *frame.CtrlBar()->PlanPage()->CyclePane();
        dialogtest::AnswerAs<CSetCyclePlanDlg>([](CSetCyclePlanDlg& editor) {
            editor.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&editor));
            CUiSheetCtrl& plans = *editor.PlanList();
            ASSERT_EQ(Column(plans, 1), (std::vector<QString>{"Day", "Night"}));
            CUiEditSheetCtrl& cells = *editor.CycleList();
            for (int row : {0, 1}) {
                DoubleClickAt(plans, cycletest::CellCentre(plans, row, 1));
                // The seconds typed in place over the default.
                DoubleClickAt(cells, cycletest::CellCentre(cells, row, 2));
                ASSERT_TRUE(cells.IsEditing());
                dialogtest::Type(cells.Editor(), "1");
                QTest::keyClick(cells.Editor(), Qt::Key_Return);
                pumpUntil([&] { return !cells.IsEditing(); });
                pumpUntil([] { return false; }, 30); // the queued commit
            }
            editor.NameEdit()->setText("Tour");
            QTest::mouseClick(editor.SaveButton(), Qt::LeftButton);
        });
        cyclePane.Button(CUiCyclePlanManWnd::kNewCycle)->click();
        Deliver();
        const auto tour = CQelContext::GetCyclePlanMan()->Find("Tour");
        ASSERT_NE(tour, nullptr);
        EXPECT_EQ(cycletest::CellsOf(*tour), (std::vector<std::pair<std::string, int32_t>>{{"Day", 1}, {"Night", 1}}));
        EXPECT_TRUE(fs::exists(CQelCyclePlan::FilePath("Tour")));
        ASSERT_EQ(Column(cyclePane.Sheet(), 1), (std::vector<QString>{"Tour"}));
        // The layouts the processor received whole, in turn: D for the
        // day's, N for the night's.
        const auto layouts = [&] {
            const auto lines = WithoutPolls(simulator.Texts());
            const auto at = [&](size_t i, const std::vector<std::string>& layout) {
                return i + layout.size() <= lines.size() &&
                       std::equal(layout.begin(), layout.end(), lines.begin() + std::ptrdiff_t(i));
            };
            std::string seen;
            for (size_t i = 0; i < lines.size();) {
                if (at(i, expected)) {
                    seen += 'D';
                    i += expected.size();
                } else if (at(i, nightLayout)) {
                    seen += 'N';
                    i += nightLayout.size();
                } else {
                    ++i;
                }
            }
            return seen;
        };
        simulator.ClearLines();
        modal().answerDialog([&](QDialog& dialog) {
            auto* run = dynamic_cast<CRunCyclePlanDlg*>(&dialog);
            EXPECT_NE(run, nullptr);
            if (!run)
                return int(QDialog::Rejected);
            dialog.show();
            EXPECT_TRUE(pumpUntil([&] { return layouts().size() >= 4; }, 30000)) << layouts();
            dialog.reject();
            EXPECT_FALSE(run->IsTimerRunning());
            return dialog.result();
        });
        QTest::mouseClick(&cyclePane.Sheet(), Qt::LeftButton, {}, RowCentre(cyclePane.Sheet(), 0));
        cyclePane.Button(CUiCyclePlanManWnd::kRunCycle)->click();
        // What was handed to the link before the close arrives before the
        // mark; nothing comes after it.
        Processor()->QueueCommand("MARK\r\n");
        ASSERT_TRUE(simulator.WaitForLine("MARK\r\n", 20s));
        const std::string played = layouts();
        EXPECT_EQ(played.substr(0, 4), "DNDN");
        pumpUntil([] { return false; }, 2500);
        EXPECT_EQ(layouts(), played);
        EXPECT_EQ(WithoutPolls(simulator.Texts()).back(), "MARK\r\n");

        // 9. The link drops in the middle of an Apply: the tree shows it
        // down, the link comes back by itself, and a second Apply sends the
        // whole layout again.
        const QString connected = QString(kProcessorName) + "(已经连接)";
        const size_t connections = simulator.Connections();
        simulator.ClearLines();
        ASSERT_TRUE(frame.OnCommand(WallViewCore::kCmdExecute));
        ASSERT_TRUE(simulator.WaitForLine(expected[expected.size() / 2], 20s));
        simulator.DropConnections();
        EXPECT_TRUE(pumpUntil([&] { return processorNode->text(0) == QString(kProcessorName) + "(正在连接)"; }, 20000))
            << processorNode->text(0).toStdString();
        ASSERT_TRUE(pumpUntil(
            [&] {
                return simulator.Connections() > connections && Processor()->IsConnected() &&
                       processorNode->text(0) == connected;
            },
            20000));
        simulator.ClearLines();
        ASSERT_TRUE(frame.OnCommand(WallViewCore::kCmdExecute));
        // Whatever the link still held comes first; the layout ends it.
        const auto endsWithLayout = [&] {
            const auto lines = WithoutPolls(simulator.Texts());
            return lines.size() >= expected.size() &&
                   std::equal(expected.begin(), expected.end(), lines.end() - std::ptrdiff_t(expected.size()));
        };
        EXPECT_TRUE(pumpUntil(endsWithLayout, 20000));
        EXPECT_EQ(Fields(*plan), applied);

        // 8. Disconnect and close, saving the plan: every file is written.
        ASSERT_TRUE(frame.OnCommand(cmd::kDisconnect));
        ASSERT_TRUE(pumpUntil([&] { return !Processor()->IsConnected(); }, 20000));
        settings = {Processor()->settings().GetConnection(), Processor()->settings().GetAppOptions(),
                    Processor()->GetWall(), Processor()->GetOutputResolution()};
        modal().answerYesNo(true);
        frame.OnCommand(cmd::kExit);
        pumpUntil([&] { return !frame.isVisible(); });
        EXPECT_FALSE(frame.isVisible());
        app.ExitInstance();
    }
    for (const std::string& file :
         {qz::vok::path::GetPlanPath() + "/PlanList.txt", qz::vok::path::GetPlanPath() + "/CyclePlanList.clt",
          qz::vok::path::GetPlanPath() + "/Day.plan", qz::vok::path::GetPlanPath() + "/Night.plan",
          CQelCyclePlan::FilePath("Tour"), CQelProcessor::ProFilePath(), qz::vok::path::GetSysPath() + "/Main.ini"})
        EXPECT_TRUE(fs::exists(file)) << file;
    const std::string planBytes = ReadText(qz::vok::path::GetPlanPath() + "/Day.plan");
    const std::string tourBytes = ReadText(CQelCyclePlan::FilePath("Tour"));
    proBefore = ReadText(CQelProcessor::ProFilePath());
    // The night plan's file is damaged while the program is closed.
    const std::string nightPath = qz::vok::path::GetPlanPath() + "/Night.plan";
    const std::string damaged = ReadText(nightPath).substr(0, ReadText(nightPath).size() / 2);
    WriteText(nightPath, damaged);
    modal().reset();

    // A second start on the same folder finds the processor, the plan with
    // its windows and the lock, and the tour again; the damaged plan does
    // not open, is set aside, and nothing else suffers.
    {
        CTavrixApp app(runtime.string());
        ASSERT_TRUE(app.InitInstance());
        CMainFrame& frame = *app.MainFrame();
        QCoreApplication::processEvents();
        Deliver();
        const auto processor = Processor();
        ASSERT_NE(processor, nullptr);
        EXPECT_EQ(processor->GetKind(), 8);
        EXPECT_EQ(processor->GetName(), kProcessorName);
        std::vector<std::pair<uint32_t, Resolution>> sources;
        for (const auto& source : processor->GetSigSrcs())
            sources.emplace_back(source->GetValues().id, source->GetValues().resolution);
        EXPECT_EQ(sources.size(), 4u);
        for (const auto& [id, resolution] : sources)
            EXPECT_TRUE(resolution.width == 1920 && resolution.height == 1080) << id;
        EXPECT_EQ(processor->settings().GetConnection(), settings.connection);
        EXPECT_EQ(processor->settings().GetConnection().tcpPort, std::to_string(simulator.Port()));
        EXPECT_EQ(processor->settings().GetAppOptions(), settings.options);
        EXPECT_EQ(processor->GetWall(), settings.wall);
        const Resolution output = processor->GetOutputResolution();
        EXPECT_TRUE(output.width == settings.output.width && output.height == settings.output.height &&
                    output.rate == settings.output.rate);

        // The plan pane lists both; a click opens the day's plan in a tab.
        ShowBarPage(frame, 1);
        CUiSheetCtrl& plans = frame.CtrlBar()->PlanPage()->PlanPane()->Sheet();
        ASSERT_EQ(Column(plans, 1), (std::vector<QString>{"Day", "Night"}));
        QTest::mouseClick(&plans, Qt::LeftButton, {}, RowCentre(plans, 0));
        CMultiScreenView* view = frame.ActiveWallView();
        ASSERT_NE(view, nullptr);
        const std::shared_ptr<CQelPlan> plan = view->GetPlan();
        ASSERT_NE(plan, nullptr);
        EXPECT_EQ(plan->GetName(), "Day");
        EXPECT_EQ(Fields(*plan), applied);
        const int tabs = frame.ViewContainer()->Tabs().TabCount();
        screenshot(frame);

        // The night's does not open: the operator is told, the file is kept
        // as it was and beside it as .bad.
        modal().expectInform();
        QTest::mouseClick(&plans, Qt::LeftButton, {}, RowCentre(plans, 1));
        EXPECT_EQ(LastPrompt(), QStringLiteral("方案文件已损坏或无法读取，未能打开"));
        EXPECT_EQ(frame.ViewContainer()->Tabs().TabCount(), tabs);
        EXPECT_EQ(frame.ActiveWallView()->GetPlan(), plan);
        EXPECT_EQ(ReadText(nightPath + ".bad"), damaged);
        EXPECT_EQ(ReadText(nightPath), damaged);

        const auto tour = CQelContext::GetCyclePlanMan()->Find("Tour");
        ASSERT_NE(tour, nullptr);
        EXPECT_EQ(cycletest::CellsOf(*tour), (std::vector<std::pair<std::string, int32_t>>{{"Day", 1}, {"Night", 1}}));
        // Saved again unchanged, the files keep their bytes.
        ASSERT_TRUE(CQelContext::GetPlanMan()->SavePlanFile(plan));
        EXPECT_EQ(ReadText(qz::vok::path::GetPlanPath() + "/Day.plan"), planBytes);
        ASSERT_TRUE(tour->Save());
        EXPECT_EQ(ReadText(CQelCyclePlan::FilePath("Tour")), tourBytes);
        ASSERT_TRUE(processor->SavePro());
        EXPECT_EQ(ReadText(CQelProcessor::ProFilePath()), proBefore);
        frame.OnCommand(cmd::kExit);
        pumpUntil([&] { return !frame.isVisible(); });
        app.ExitInstance();
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("the whole scenario took %.1f s\n", seconds);
}

// The first day from nothing: the run folder as the set-up script leaves
// it (the installer's menus and pictures, no processor file), and every
// step through the operator's own dialogs: the link set to the simulator,
// connect, the wall set up and a new plan of a standard layout, a window
// dropped and applied, a preset stored and recalled; the second start
// finds it all again.
TEST_F(OperatorDay, FromAnEmptyFolderThroughTheOperatorsOwnDialogs)
{
    const auto started = std::chrono::steady_clock::now();
    dialogtest::ProgramDialogsInstalled dialogs;
    fs::remove_all(qz::vok::path::GetPlanPath());
    ASSERT_FALSE(fs::exists(CQelProcessor::ProFilePath()));
    // The 8x8 Pro with two input boards of two ports and an output board of
    // four.
    simulator.AnswerType(3, 1);
    simulator.Respond("GP READ_SLOT_MESSAGE", [](const std::string&, int) {
        return std::optional<std::vector<ProcessorSimulator::Answer>>{{{"GP READ_SLOT_MESSAGE 1 2 2 0\r\n"},
                                                                       {"GP READ_SLOT_MESSAGE 2 2 2 0\r\n"},
                                                                       {"GP READ_SLOT_MESSAGE 9 15 4 4\r\n"}}};
    });
    std::vector<WindowFields> applied;
    {
        CTavrixApp app(runtime.string());
        ASSERT_TRUE(app.InitInstance());
        CMainFrame& frame = *app.MainFrame();
        QCoreApplication::processEvents();
        screenshot(frame);
        EXPECT_TRUE(fs::exists(CQelProcessor::ProFilePath()));
        EXPECT_TRUE(ReadAboutText(AboutFilePath()).startsWith("Tavrix"));

        // The link: the simulator's address and port typed in, behind the
        // password (asked once a run).
        dialogtest::AnswerAs<CSetProcessorDlg>([&](CSetProcessorDlg& settings) {
            dialogtest::AnswerPassword(kDefaultPassword);
            dialogtest::AnswerAs<CSetIpAddrDlg>([&](CSetIpAddrDlg& dialog) {
                const QStringList parts = QStringLiteral("127.0.0.1").split('.');
                for (int i = 0; i < 4; ++i)
                    dialogtest::Type(dialog.AddressCtrl()->Field(i), parts[i]);
                dialogtest::Type(dialog.PortEdit(), QString::number(simulator.Port()));
                QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
            });
            // Not connected yet: the address is kept and the operator told
            // to connect.
            dialogtest::ClickTold(settings.SetAddressButton());
            QTest::mouseClick(settings.OkButton(), Qt::LeftButton);
        });
        ASSERT_TRUE(frame.OnCommand(cmd::kSetProcessor));
        ASSERT_EQ(Processor()->settings().GetConnection().tcpPort, std::to_string(simulator.Port()));

        // Connect: the processor is found with its four inputs.
        CUiSigSrcSubWnd& page = *frame.CtrlBar()->SigSrcPage();
        ASSERT_TRUE(frame.OnCommand(cmd::kConnectTcp));
        QTreeWidgetItem* processorNode = page.FindProcessorNode(1);
        ASSERT_NE(processorNode, nullptr);
        EXPECT_TRUE(pumpUntil(
            [&] {
                return processorNode->childCount() == 4 &&
                       processorNode->text(0) == QString(kProcessorName) + "(已经连接)";
            },
            20000))
            << processorNode->text(0).toStdString() << " " << processorNode->childCount();
        EXPECT_TRUE(pumpUntil(
            [&] {
                const auto texts = ChildTexts(processorNode);
                return std::all_of(texts.begin(), texts.end(),
                                   [](const std::string& t) { return t.find("(1920x1080)") != std::string::npos; });
            },
            20000))
            << ::testing::PrintToString(ChildTexts(processorNode));

        // The wall set up 2 x 2 from the caption's button; the new plan of a
        // standard layout follows.
        dialogtest::AnswerAs<CSetLEDVideoWallPropertySheet>([](CSetLEDVideoWallPropertySheet& sheet) {
            auto* step3 = dynamic_cast<CSetLEDVideoWallStep3PageEx*>(sheet.currentPage());
            ASSERT_NE(step3, nullptr);
            step3->RowsEdit()->setText("2");
            step3->ColsEdit()->setText("2");
            QTest::mouseClick(sheet.button(QWizard::NextButton), Qt::LeftButton);
            QTest::mouseClick(sheet.button(QWizard::FinishButton), Qt::LeftButton);
        });
        AnswerNewPlan("Day", "1 x 2 布局");
        frame.OnCtrlBarNotify(captionbtn::kWallSetup);
        QCoreApplication::processEvents();
        CMultiScreenView* view = frame.ActiveWallView();
        ASSERT_NE(view, nullptr);
        const std::shared_ptr<CQelPlan> plan = view->GetPlan();
        ASSERT_NE(plan, nullptr);
        EXPECT_EQ(plan->GetName(), "Day");
        EXPECT_EQ(plan->GetRows(), 2);
        EXPECT_EQ(plan->GetCols(), 2);
        EXPECT_EQ(plan->GetWindowCount(), 2);
        view->m_bAutoExecute = false;

        // A window dropped, and the plan applied.
        const QPoint below = view->viewport()->rect().center() + QPoint(60, 60);
        DragSource(frame, 201, below);
        ASSERT_EQ(plan->GetWindowCount(), 3);
        simulator.ClearLines();
        ASSERT_TRUE(frame.OnCommand(WallViewCore::kCmdExecute));
        std::vector<std::string> expected;
        {
            _8PART_NS::CPro8PartSender sender(plan.get(), Processor()->settings().GetAppOptions().algorithmId);
            ASSERT_EQ(sender.BuildCommands(expected), 0);
        }
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(LinesUntil(expected.back()), expected);
        applied = Fields(*plan);
        screenshot(frame);

        // Stored in preset slot 1, then recalled from the processor's menu.
        simulator.AnswerDisplayModeStoredFrom(1);
        simulator.ClearLines();
        modal().answerMenu(
            [](const ui::MenuSpec& menu, ui::PopupWatcher*) { return MenuItemId(menu, "保存至处理器"); });
        modal().answerDialog([](QDialog& dialog) {
            auto* presets = dynamic_cast<C4H1ShortcutKeysDlg*>(&dialog);
            EXPECT_NE(presets, nullptr) << typeid(dialog).name();
            if (!presets)
                return int(QDialog::Rejected);
            dialog.show();
            QCoreApplication::processEvents();
            EXPECT_TRUE(presets->SlotButton(1)->isEnabled());
            QTest::mouseClick(presets->SlotButton(1), Qt::LeftButton);
            return dialog.result();
        });
        modal().expectInform();
        RightClick(*view, below);
        ASSERT_EQ(LinesUntil("GP SDMI 0\r\n").back(), "GP SDMI 0\r\n");
        EXPECT_EQ(LastPrompt(), QStringLiteral("保存至处理器完毕!"));

        simulator.ClearLines();
        ASSERT_EQ(modal().pendingAnswers(), 0u);
        modal().answerMenu(sigsrcmenu::kSavedPlans);
        dialogtest::AnswerAs<C4H1ShortcutKeysReadPlanDlg>([](C4H1ShortcutKeysReadPlanDlg& presets) {
            EXPECT_TRUE(presets.SlotButton(1)->isEnabled());
            dialogtest::ClickTold(presets.SlotButton(1));
            QTest::mouseClick(presets.CancelButton(), Qt::LeftButton);
        });
        CSigSrcTreeCtrl& tree = *page.Tree();
        QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, tree.visualItemRect(processorNode).center());
        EXPECT_TRUE(simulator.WaitForLine("GP LDM 1\r\n", 20s));

        // Closed, saving the plan.
        ASSERT_TRUE(frame.OnCommand(cmd::kDisconnect));
        ASSERT_TRUE(pumpUntil([&] { return !Processor()->IsConnected(); }, 20000));
        modal().answerYesNo(true);
        frame.OnCommand(cmd::kExit);
        pumpUntil([&] { return !frame.isVisible(); });
        app.ExitInstance();
    }
    modal().reset();

    // The second start: the processor as found, the wall and the plan.
    {
        CTavrixApp app(runtime.string());
        ASSERT_TRUE(app.InitInstance());
        CMainFrame& frame = *app.MainFrame();
        QCoreApplication::processEvents();
        Deliver();
        const auto processor = Processor();
        ASSERT_NE(processor, nullptr);
        EXPECT_EQ(processor->GetKind(), 8);
        EXPECT_EQ(processor->GetName(), kProcessorName);
        EXPECT_EQ(processor->records().GetSigSrcCount(), 4u);
        EXPECT_EQ(processor->GetWall().rows, 2);
        EXPECT_EQ(processor->GetWall().cols, 2);
        EXPECT_EQ(processor->settings().GetConnection().tcpPort, std::to_string(simulator.Port()));
        ShowBarPage(frame, 1);
        CUiSheetCtrl& plans = frame.CtrlBar()->PlanPage()->PlanPane()->Sheet();
        ASSERT_EQ(Column(plans, 1), (std::vector<QString>{"Day"}));
        QTest::mouseClick(&plans, Qt::LeftButton, {}, RowCentre(plans, 0));
        ASSERT_NE(frame.ActiveWallView(), nullptr);
        EXPECT_EQ(Fields(*frame.ActiveWallView()->GetPlan()), applied);
        frame.OnCommand(cmd::kExit);
        pumpUntil([&] { return !frame.isVisible(); });
        app.ExitInstance();
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("the first day from nothing took %.1f s\n", seconds);
}
