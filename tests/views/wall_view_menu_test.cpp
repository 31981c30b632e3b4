// The wall view's context menus and commands, driven by right clicks on
// its viewport with the menus and dialogs scripted.
#include <QCoreApplication>
#include <QMouseEvent>
#include <deque>
#include <gtest/gtest.h>

#include "context/context.h"
#include "core/config.h"
#include "core/event_pump.h"
#include "core/event_queue.h"
#include "model/processor.h"
#include "tests/model/link_fixture.h"
#include "tests/support/recording_channel.h"
#include "tests/views/view_clicks.h"
#include "tests/views/wall_view_test.h"
#include "views/logo_osd_values.h"
#include "views/wall_view_menus.h"

using namespace wallmenu;

namespace {

// The dialogs as the prompt dialogs fill them, from the test's script.
class ScriptedViewDialogs final : public CancellingViewDialogs {
public:
    using PositionScript = std::function<bool(WindowRectValues&, const std::optional<SourceResolution>&,
                                              const std::function<void(const WindowRectValues&)>&)>;
    using LogoScript = std::function<bool(LogoOsdValues&, const std::function<void(const LogoOsdValues&)>&)>;

    ScriptedViewDialogs() { previous_ = setViewDialogs(this); }
    ~ScriptedViewDialogs() override { setViewDialogs(previous_); }

    std::optional<QString> AskName(QWidget*, const QString& caption, const QString& prompt,
                                   const QString& name) override
    {
        asked.push_back(caption + "|" + prompt + "|" + name);
        const std::optional<QString> answer = names.empty() ? std::nullopt : names.front();
        if (!names.empty())
            names.pop_front();
        return answer;
    }
    bool EditWindowPosition(QWidget*, WindowRectValues& values, const std::optional<SourceResolution>& source,
                            const std::function<void(const WindowRectValues&)>& preview) override
    {
        return position(values, source, preview);
    }
    bool EditLogoOsd(QWidget*, LogoOsdValues& values, const std::function<void(const LogoOsdValues&)>& preview) override
    {
        return logo(values, preview);
    }

    std::deque<std::optional<QString>> names;
    std::vector<QString> asked;
    PositionScript position;
    LogoScript logo;

private:
    IViewDialogs* previous_ = nullptr;
};

// The view with its sends recorded instead of made.
class RecordingView : public CMultiScreenView {
public:
    void ExecutePlan(ExecMode mode, int withProgress) override { executed.push_back({mode, withProgress}); }
    std::vector<std::pair<int, int>> executed;
};

// Sends are recorded, the dialogs scripted.
class MenuView : public WallViewTest<RecordingView> {
protected:
    // A right click at `pos` whose menu answers `id`; `then` queues the
    // answers of the prompts that follow.
    void Choose(QPoint pos, int id, const std::function<void()>& then = {})
    {
        modal().answerMenu(id);
        if (then)
            then();
        RightClick(view, pos);
    }
    const ui::MenuSpec& LastMenu() { return modal().prompts().back().menu; }

    ScriptedViewDialogs dialogs;
};

TEST_F(MenuView, RightClickOffersTheMenuOfWhatLiesUnderThePointer)
{
    const auto window = AddTestWindow(*f.plan, 101, {0, 0, 960, 540});
    AddTestWindow(*f.plan, kLogoSigSrc, {1920, 1080, 2176, 1208});
    Show(f.plan);
    ASSERT_EQ(view.m_pActiveWnd, nullptr);

    Choose({100, 100}, 0);
    EXPECT_NE(LastMenu().find(kRename), nullptr);
    EXPECT_TRUE(LastMenu().find(kSourceBase + 101)->checked);
    EXPECT_EQ(modal().prompts().back().pos, view.viewport()->mapToGlobal(QPoint(100, 100)));
    EXPECT_EQ(view.m_pActiveWnd, window); // made active by the click

    Choose({520, 310}, 0);
    EXPECT_NE(LastMenu().find(kLogoSettings), nullptr);
    EXPECT_EQ(LastMenu().items.size(), 3u);

    Choose({700, 450}, 0); // empty wall
    EXPECT_EQ(LastMenu().find(kRename), nullptr);
    EXPECT_NE(LastMenu().find(kClearVideo), nullptr);

    // Beside the wall and its watch strip there is no menu.
    RightClick(view, {5, 5});
    EXPECT_EQ(modal().prompts().size(), 3u);
    EXPECT_EQ(f.plan->GetWindowCount(), 2);
}

TEST_F(MenuView, SelectionOperationsKeepLockedWindowsInPlace)
{
    const auto a = AddTestWindow(*f.plan, 101, {200, 0, 1160, 540});
    const auto locked = AddTestWindow(*f.plan, 102, {100, 600, 1060, 1140});
    const auto wide = AddTestWindow(*f.plan, 101, {3000, 1200, 4920, 1300});
    locked->status = 1;
    Show(f.plan);

    view.m_vecSelection = {a, locked};
    Choose({100, 100}, kAlignLeft);
    EXPECT_EQ(a->rect, (Rect{100, 0, 1060, 540}));
    EXPECT_EQ(locked->rect, (Rect{100, 600, 1060, 1140}));
    EXPECT_EQ(f.plan->GetNewestHistory()->GetKind(), kActAlign);

    // Same size past the right edge ends flush with it; a height-only
    // change keeps the window's own width there.
    view.m_vecSelection = {a, wide};
    Choose({100, 100}, kSameHeight);
    EXPECT_EQ(wide->rect, (Rect{1920, 1200, 3840, 1740}));
    wide->rect = Rect{3000, 1200, 3100, 1300};
    Choose({100, 100}, kSameSize);
    EXPECT_EQ(wide->rect, (Rect{2880, 1200, 3840, 1740}));
    EXPECT_EQ(wide->rectView, view.geometry().WallToViewRect(wide->rect));
    EXPECT_EQ(f.plan->GetNewestHistory()->GetKind(), kActSameSize);

    // Snapped left of a window at x = 50, a 100-wide window gets narrower.
    a->rect = Rect{50, 0, 250, 100};
    wide->rect = Rect{1000, 500, 1100, 600};
    Choose({100, 100}, kSnapLeft);
    EXPECT_EQ(wide->rect, (Rect{0, 0, 50, 100}));
    EXPECT_EQ(f.plan->GetNewestHistory()->GetKind(), kActSnap);
    view.m_vecSelection = {a, locked};
    Choose({100, 100}, kSnapBottom);
    EXPECT_EQ(locked->rect, (Rect{100, 600, 1060, 1140}));
}

TEST_F(MenuView, LayerMovesRenumberAndRecordWhenTheOrderChanged)
{
    const auto w1 = AddTestWindow(*f.plan, 101, {0, 0, 960, 540});
    const auto w2 = AddTestWindow(*f.plan, 101, {960, 0, 1920, 540});
    const auto w3 = AddTestWindow(*f.plan, 102, {1920, 0, 2880, 540});
    Show(f.plan);
    const auto order = [&] {
        std::vector<int> layers;
        for (const auto& w : f.plan->GetWindows())
            layers.push_back(w == w1 ? 1 : w == w2 ? 2 : 3);
        for (int i = 0; i < f.plan->GetWindowCount(); ++i)
            EXPECT_EQ(f.plan->GetWindowAt(i)->layer, i + 1);
        return layers;
    };
    view.editing().SetActiveWnd(w1);
    EXPECT_TRUE(view.commands().OnCommand(WallViewCore::kCmdLayerUp));
    EXPECT_EQ(order(), (std::vector<int>{2, 1, 3}));
    view.commands().OnCommand(WallViewCore::kCmdLayerTop);
    EXPECT_EQ(order(), (std::vector<int>{2, 3, 1}));
    view.commands().OnCommand(WallViewCore::kCmdLayerUp); // already on top
    view.commands().OnCommand(WallViewCore::kCmdLayerBottom);
    EXPECT_EQ(order(), (std::vector<int>{1, 2, 3}));
    view.commands().OnCommand(WallViewCore::kCmdLayerDown); // already at the bottom
    EXPECT_EQ(Kinds(*f.plan), (std::vector<int>{kActNewPlan, kActLayerOrder, kActLayerOrder, kActLayerOrder}));
    EXPECT_FALSE(view.commands().OnCommand(1211));
    EXPECT_TRUE(view.commands().OnCommand(WallViewCore::kCmdExecute));
    EXPECT_EQ(view.executed, (std::vector<std::pair<int, int>>{{0, 1}}));
}

TEST_F(MenuView, ResizeToSourceKeepsTheWindowOnTheWall)
{
    const auto window = AddTestWindow(*f.plan, 101, {3000, 1500, 3100, 1600});
    Show(f.plan);
    view.editing().SetActiveWnd(window);
    view.commands().OnCommand(WallViewCore::kCmdResizeToSource);
    EXPECT_EQ(window->rect, (Rect{1920, 1080, 3840, 2160}));
    EXPECT_EQ(f.plan->GetNewestHistory()->GetKind(), kActResizeWindow);

    // A full-screen window starts from the wall it covers; a crop sets the
    // size.
    window->fullscreen = true;
    window->rcsigsrc = Rect{0, 0, 640, 360};
    view.commands().OnCommand(WallViewCore::kCmdResizeToSource);
    EXPECT_EQ(window->rect, (Rect{0, 0, 640, 360}));
    EXPECT_FALSE(window->fullscreen);

    // Locked, or on a source that has gone: nothing.
    window->rcsigsrc = Rect{};
    window->status = 1;
    view.commands().ResizeToSource();
    window->status = 0;
    window->sigsrc = 999;
    view.commands().ResizeToSource();
    EXPECT_EQ(window->rect, (Rect{0, 0, 640, 360}));
}

TEST_F(MenuView, AnyGroupIdOfThePlanBinds)
{
    const auto window = AddTestWindow(*f.plan, 101, {0, 0, 960, 540});
    const std::vector<int32_t> ids{250, 199, 9, 10001, 70000};
    for (const int32_t id : ids)
        f.plan->AddGroup(std::make_shared<CQelGroup>(CQelGroup{id, "G" + std::to_string(id)}));
    Show(f.plan);
    for (const int32_t id : ids) {
        SCOPED_TRACE(id);
        // Groups left empty go, so the item's place is looked up each time.
        const auto groups = f.plan->GetGroups();
        const auto at = std::find_if(groups.begin(), groups.end(), [id](const auto& g) { return g->id == id; });
        ASSERT_NE(at, groups.end());
        Choose({100, 100}, kGroupBase + int(at - groups.begin()));
        EXPECT_EQ(window->group, id);
        EXPECT_EQ(window->sigsrc, 101);
    }
}

TEST_F(MenuView, NewSourceKeepsTheWindowsGroup)
{
    const auto kept = AddTestWindow(*f.plan, 101, {0, 0, 960, 540});
    const auto orphan = AddTestWindow(*f.plan, 101, {0, 1080, 960, 1620});
    f.plan->AddGroup(std::make_shared<CQelGroup>(CQelGroup{3, "A"}));
    f.plan->AddGroup(std::make_shared<CQelGroup>(CQelGroup{5, "B"}));
    kept->group = 3;   // its group's only window
    orphan->group = 8; // a group the plan file named without its record
    Show(f.plan);
    Choose({100, 100}, kSourceBase + 102);
    Choose({100, 350}, kSourceBase + 102);
    EXPECT_EQ(kept->sigsrc, 102);
    EXPECT_EQ(orphan->sigsrc, 102);
    EXPECT_EQ(kept->group, 3);
    EXPECT_EQ(orphan->group, 8);
    ASSERT_EQ(f.plan->GetGroupCount(), 2);
    EXPECT_EQ(f.plan->GetGroupAt(0)->id, 3); // the groups keep their order
}

TEST_F(MenuView, GroupsAreNamedBoundAndRemovedWithoutSending)
{
    const auto a = AddTestWindow(*f.plan, 101, {0, 0, 960, 540});
    const auto b = AddTestWindow(*f.plan, 102, {960, 0, 1920, 540});
    const auto c = AddTestWindow(*f.plan, 101, {0, 1080, 960, 1620});
    Show(f.plan);
    view.m_bAutoExecute = true;

    view.m_vecSelection = {a, b};
    dialogs.names = {QStringLiteral("G1"), std::nullopt};
    Choose({100, 100}, kNewGroup);
    EXPECT_EQ(dialogs.asked, (std::vector<QString>{QStringLiteral("创建新分组|分组名称:|")}));
    ASSERT_EQ(f.plan->GetGroupCount(), 1);
    EXPECT_EQ(f.plan->GetGroupAt(0)->name, "G1");
    EXPECT_EQ(a->group, 1);
    EXPECT_EQ(b->group, 1);

    Choose({100, 100}, kNewGroup, [this] { modal().expectInform(); }); // the name cancelled
    EXPECT_EQ(modal().prompts().back().text, QStringLiteral("绑定分组失败！"));
    EXPECT_EQ(f.plan->GetGroupCount(), 1);

    view.m_vecSelection.clear();
    Choose({100, 350}, kGroupBase); // c's body
    EXPECT_EQ(LastMenu().find(kGroupBase)->text, QStringLiteral("G1"));
    EXPECT_EQ(c->group, 1);

    // A grouped window switches its whole group's source.
    Choose({100, 350}, kGroupSourceBase + 102);
    EXPECT_EQ(a->sigsrc, 102);
    EXPECT_EQ(c->sigsrc, 102);
    EXPECT_EQ(c->group, 1); // and the group stays whole
    EXPECT_EQ(f.plan->GetGroupCount(), 1);

    view.m_vecSelection = {a, b};
    Choose({100, 100}, kUnbindGroups);
    EXPECT_EQ(a->group, 0);
    EXPECT_EQ(f.plan->GetGroupCount(), 1); // c still holds it
    view.m_vecSelection.clear();
    Choose({100, 350}, kUnbindGroups);
    EXPECT_EQ(f.plan->GetGroupCount(), 0);
    EXPECT_EQ(Kinds(*f.plan), (std::vector<int>{kActNewPlan, kActChangeSource}));
    EXPECT_EQ(view.executed.size(), 1u); // the source change alone
}

TEST_F(MenuView, ClearingAsksFirstAndForgetsTheClearedWindows)
{
    const auto video = AddTestWindow(*f.plan, 101, {0, 0, 960, 540});
    const auto logo = AddTestWindow(*f.plan, kLogoSigSrc, {1920, 1080, 2176, 1208});
    Show(f.plan);
    view.editing().SetActiveWnd(video);
    view.m_vecSelection = {video, logo};

    Choose({700, 450}, kClearVideo, [this] { modal().answerYesNo(false); });
    EXPECT_EQ(modal().prompts().back().text, QStringLiteral("您确定清空所有视频窗口吗？"));
    EXPECT_EQ(f.plan->GetWindowCount(), 2);

    Choose({700, 450}, kClearVideo, [this] { modal().answerYesNo(true); });
    EXPECT_EQ(f.plan->GetWindows(), (CQelPlan::WindowList{logo}));
    EXPECT_EQ(view.m_vecSelection, (std::vector<WallViewCore::WindowPtr>{logo}));
    EXPECT_EQ(view.m_pActiveWnd, nullptr);
    EXPECT_EQ(f.plan->GetNewestHistory()->GetKind(), kActClearWindows);

    Choose({700, 450}, kClearLogos, [this] { modal().answerYesNo(true); });
    EXPECT_EQ(f.plan->GetWindowCount(), 0);
    EXPECT_TRUE(view.m_vecSelection.empty());
    EXPECT_EQ(f.plan->GetHistoryCount(), 2);
    EXPECT_EQ(view.executed, (std::vector<std::pair<int, int>>{{1, 1}}));
}

TEST_F(MenuView, WindowPositionPreviewsApplyAndCancelRestores)
{
    const auto window = AddTestWindow(*f.plan, 101, {0, 0, 960, 540});
    Show(f.plan);
    dialogs.position = [&](WindowRectValues& values, const std::optional<SourceResolution>& source,
                           const auto& preview) {
        EXPECT_EQ(values, (WindowRectValues{0, 0, 960, 540, 0, 0, 1920, 1080}));
        EXPECT_EQ(source->width, 1920);
        preview({100, 100, 1060, 640, 0, 0, 1920, 1080});
        EXPECT_EQ(window->rect, (Rect{100, 100, 1060, 640}));
        EXPECT_EQ(window->rcsigsrc, Rect{});
        preview({100, 100, 105, 640, 0, 0, 1920, 1080}); // narrower than 10
        preview({0, 0, 0, 0, 0, 0, 0, 0});
        EXPECT_EQ(window->rect, (Rect{100, 100, 1060, 640}));
        return false;
    };
    Choose({100, 100}, kWindowPosition);
    EXPECT_EQ(window->rect, (Rect{0, 0, 960, 540}));
    EXPECT_EQ(Kinds(*f.plan), (std::vector<int>{kActNewPlan, kActResizeWindow, kActResizeWindow}));

    // OK on a point-to-point window: the crop is cut to the window.
    window->scaled = false;
    dialogs.position = [](WindowRectValues& values, const auto&, const auto&) {
        values = {0, 0, 960, 540, 100, 0, 1920, 1080};
        return true;
    };
    Choose({100, 100}, kWindowPosition);
    EXPECT_EQ(window->rcsigsrc, (Rect{100, 0, 1060, 540}));
    EXPECT_EQ(f.plan->GetHistoryCount(), 4);
}

TEST_F(MenuView, LogoSettingsPreviewLiveAndCancelRestores)
{
    const auto logo = AddTestWindow(*f.plan, kLogoSigSrc, {1920, 1080, 2176, 1208});
    Show(f.plan);
    view.m_bAutoExecute = true;
    const tagOSD_DATA_EX2 before = *logo->osd;
    dialogs.logo = [&](LogoOsdValues& values, const auto& preview) {
        EXPECT_EQ(values.left, 1920);
        EXPECT_TRUE(values.shown);
        LogoOsdValues changed = values;
        changed.captionColour = ui::rgb(1, 2, 3);
        changed.shown = false;
        preview(changed);
        EXPECT_EQ(logo->osd->captionColor, int32_t(ui::rgb(1, 2, 3)));
        EXPECT_EQ(logo->osd->shown, 0);
        return false;
    };
    Choose({520, 310}, kLogoSettings);
    EXPECT_EQ(logo->osd->captionColor, before.captionColor);
    EXPECT_EQ(logo->osd->shown, 1);

    dialogs.logo = [](LogoOsdValues& values, const auto&) {
        values.backgroundColour = ui::rgb(9, 9, 9);
        values.left = 100;
        values.top = 200;
        return true;
    };
    Choose({520, 310}, kLogoSettings);
    EXPECT_EQ(logo->osd->background, int32_t(ui::rgb(9, 9, 9)));
    EXPECT_EQ(logo->rect, (Rect{100, 200, 356, 328}));
    EXPECT_EQ(f.plan->GetHistoryCount(), 1);
    // The preview and each close send the logos.
    EXPECT_EQ(view.executed, (std::vector<std::pair<int, int>>{{1, 0}, {1, 0}, {1, 0}}));
}

TEST_F(MenuView, WatchSlotCommandsChangeCellsAndAlwaysSend)
{
    for (uint32_t id = 103; id <= 108; ++id)
        AddTestSource(*f.processor, id, 1920, 1080);
    auto plan = WallFixture::WatchPlan({101, 102});
    plan->SetWatchOutputs({101, 103}); // the second slot has no watch window yet
    Show(std::shared_ptr<CQelPlan>(std::move(plan)));
    const auto p = view.GetPlan();
    ASSERT_EQ(view.geometry().m_vecWatchSlotRects.size(), 2u);
    const Rect first = view.geometry().m_vecWatchSlotRects[0];
    const Rect second = view.geometry().m_vecWatchSlotRects[1];

    Choose(Centre(first), kWatchLayout1x1 + 3); // 2 x 2
    EXPECT_EQ(LastMenu().find(kWatchLayout1x1)->checked, true);
    const auto watch = p->GetWatchWindowById(101);
    EXPECT_EQ(watch->cells, (std::vector<int32_t>(4, -1)));
    Choose(QPoint(first.left + 1, first.top + 1), kWatchSourceBase + 102);
    EXPECT_EQ(watch->cells[0], 102);
    EXPECT_TRUE(LastMenu().find(kWatchSourceBase + 101) != nullptr);

    // An invalid cell or a dismissed menu changes nothing, but sends.
    watch->cells.resize(1);
    Choose(QPoint(first.right - 1, first.bottom - 1), kWatchClearCell);
    Choose(Centre(first), 0);
    EXPECT_EQ(watch->cells, (std::vector<int32_t>{102}));

    Choose(Centre(second), kWatchLayout2x4);
    const auto added = p->GetWatchWindowById(103);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->processor, 1);
    EXPECT_EQ(added->cells, (std::vector<int32_t>(8, -1)));
    EXPECT_EQ(view.executed.size(), 5u);
}

TEST_F(MenuView, CommandsActOnlyOnWindowsStillInThePlan)
{
    const auto window = AddTestWindow(*f.plan, 101, {0, 0, 960, 540});
    Show(f.plan);
    // An event delivered while the menu is open takes the window away.
    const auto removing = [&](int id) {
        return [this, window, id](const ui::MenuSpec&, ui::PopupWatcher*) {
            f.plan->RemoveWindow(window);
            return id;
        };
    };
    modal().answerMenu(removing(kLock));
    RightClick(view, {100, 100});
    EXPECT_EQ(window->status, 0);
    EXPECT_EQ(view.m_pActiveWnd, nullptr);

    f.plan->AddWindow(window, CurrentPlanSelection());
    modal().answerMenu(removing(kRename));
    RightClick(view, {100, 100});
    EXPECT_TRUE(dialogs.asked.empty());

    // ... or while the position dialog runs.
    f.plan->AddWindow(window, CurrentPlanSelection());
    dialogs.position = [&](WindowRectValues& values, const auto&, const auto&) {
        f.plan->RemoveWindow(window);
        values.wallRight = 2000;
        return true;
    };
    Choose({100, 100}, kWindowPosition);
    EXPECT_EQ(window->rect, (Rect{0, 0, 960, 540}));
    // Only the first removal was recorded, by the lock's edit tail.
    EXPECT_EQ(Kinds(*f.plan), (std::vector<int>{kActNewPlan, kActLockWindow}));
}

// A model-3 processor on the simulator whose wall cell (0, 1) shows output
// 10503 (board 5, port 3).
class LogoSaveView : public tavrix::test::UiTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WriteButtonImages());
        CEvtQueue::get_instance().Clear();
        link.processor->SetOutputResolution(1920, 1080, 60);
        SetTestOutputs(*link.processor, {10503}, {{{0, 1}, 10503}});
        auto wall = link.processor->GetWall();
        wall.rows = 2;
        wall.cols = 2;
        link.processor->SetWall(wall);
        CQelContext::SetSelSigSrc(1, -1);
        ASSERT_TRUE(tavrix::test::pumpUntil([&] { return link.processor->IsConnected(); }));
        SetConfigBool("MulSView.AutoExecute", false);
        view.resize(1000, 600);
        view.show();
        view.SetPlan(plan);
    }
    void TearDown() override
    {
        tavrix::test::UiTest::TearDown();
        CEvtQueue::get_instance().Clear();
    }

    platform::SteadyClock clock;
    LinkFixture link{clock, 3, 0};
    std::shared_ptr<CQelPlan> plan = MakeTestPlan(2, 2, kPlanUniform);
    CMultiScreenView view;
};

TEST_F(LogoSaveView, SavesTheLogoOfTheScreenUnderThePointer)
{
    link.simulator.AnswerOsdSavedFrom(1);
    ASSERT_EQ(view.geometry().ViewToWallPoint({700, 100}), (Point{2720, 280}));
    modal().answerMenu(kSaveMonitorLogo);
    RightClick(view, {700, 100});
    EXPECT_EQ(view.m_nMode, 2);
    EXPECT_TRUE(link.simulator.WaitForLine("O_F OSDSA 5 3 1\r\n", std::chrono::seconds(20)));
    EXPECT_TRUE(tavrix::test::pumpUntil(
        [&] {
            PumpEvents();
            return view.painting().LogoSaveStatusText() == QStringLiteral("台标保存完毕");
        },
        20000));

    // Not connected: told, and no saving starts.
    link.channel->Close();
    ASSERT_TRUE(tavrix::test::pumpUntil([&] { return !link.processor->IsConnected(); }));
    view.m_nMode = WallViewCore::kModeNormal;
    modal().answerMenu(kSaveMonitorLogo);
    modal().expectInform();
    RightClick(view, {700, 100});
    EXPECT_EQ(modal().prompts().back().text, QStringLiteral("处理器未连接，请连接处理器！"));
    EXPECT_EQ(view.m_nMode, 0);
    EXPECT_EQ(link.processor->GetJobState(), CQelProcessor::kJobIdle);
}

} // namespace
