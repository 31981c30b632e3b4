// Editing the wall view with the mouse and keys, driven through its
// viewport as the operator would.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <gtest/gtest.h>
#include <limits>

#include "context/context.h"
#include "model/processor.h"
#include "model/sig_src.h"
#include "platform/rect_math.h"
#include "tests/views/wall_view_test.h"
#include "views/multi_screen_view.h"

namespace {

void Mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons,
           Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, mods);
    QCoreApplication::sendEvent(w, &event);
}

void Press(CMultiScreenView& view, QPoint pos, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    Mouse(view.viewport(), QEvent::MouseButtonPress, pos, Qt::LeftButton, mods);
}

void MoveTo(CMultiScreenView& view, QPoint pos)
{
    Mouse(view.viewport(), QEvent::MouseMove, pos, Qt::LeftButton);
}

void Release(CMultiScreenView& view, QPoint pos)
{
    Mouse(view.viewport(), QEvent::MouseButtonRelease, pos, Qt::NoButton);
}

void Drag(CMultiScreenView& view, QPoint from, QPoint to)
{
    Press(view, from);
    MoveTo(view, to);
    Release(view, to);
}

void Click(CMultiScreenView& view, QPoint pos, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    Press(view, pos, mods);
    Release(view, pos);
}

void DoubleClick(CMultiScreenView& view, QPoint pos)
{
    Click(view, pos);
    Mouse(view.viewport(), QEvent::MouseButtonDblClick, pos, Qt::LeftButton);
    Release(view, pos);
}

void Key(CMultiScreenView& view, QEvent::Type type, int key, Qt::KeyboardModifiers mods = Qt::NoModifier,
         bool autoRepeat = false)
{
    QKeyEvent event(type, key, mods, QString(), autoRepeat);
    QCoreApplication::sendEvent(&view, &event);
}

void Tap(CMultiScreenView& view, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    Key(view, QEvent::KeyPress, key, mods);
    Key(view, QEvent::KeyRelease, key, mods);
}

QString LastPrompt(tavrix::test::ScriptedModal& modal)
{
    return modal.prompts().empty() ? QString() : modal.prompts().back().text;
}

using EditView = WallViewTest<CMultiScreenView>;

TEST_F(EditView, BandCreatesAWindowOfTheSelectedSource)
{
    Show(f.plan);
    ASSERT_EQ(view.geometry().m_rcWallView, (Rect{20, 30, 980, 570}));
    Drag(view, {100, 100}, {300, 250});
    ASSERT_EQ(f.plan->GetWindowCount(), 1);
    const auto window = f.plan->GetWindowAt(0);
    EXPECT_EQ(window->name, "Win_1");
    EXPECT_EQ(window->sigsrc, 101);
    EXPECT_EQ(window->rect, (Rect{320, 280, 1120, 880}));
    EXPECT_EQ(view.m_pActiveWnd, window);
    EXPECT_EQ(Kinds(*f.plan), (std::vector<int>{kActNewPlan, kActNewWindow}));

    // Drawn up or left, or not larger than 10 x 10: nothing.
    Drag(view, {700, 450}, {500, 300});
    Drag(view, {500, 300}, {400, 450});
    Drag(view, {500, 300}, {510, 400});
    Drag(view, {500, 300}, {600, 310});
    EXPECT_EQ(f.plan->GetWindowCount(), 1);

    // A peer of the same mutual group is refused without a word.
    f.processor->GetSigSrc(101)->SetMutualGroupId(5);
    f.processor->GetSigSrc(102)->SetMutualGroupId(5);
    CQelContext::SetSelSigSrc(1, 102);
    Drag(view, {500, 300}, {700, 450});
    EXPECT_EQ(f.plan->GetWindowCount(), 1);
    EXPECT_TRUE(modal().prompts().empty());

    // No source selected: the operator is told, nothing is made or recorded.
    CQelContext::SetSelSigSrc(1, -1);
    modal().expectInform();
    Drag(view, {500, 300}, {700, 450});
    EXPECT_EQ(LastPrompt(modal()), QStringLiteral("请选择信号源"));
    EXPECT_EQ(f.plan->GetWindowCount(), 1);
    EXPECT_EQ(f.plan->GetHistoryCount(), 2);
}

TEST_F(EditView, HitTestFindsHandlesButtonsAndBodies)
{
    const auto window = AddTestWindow(*f.plan, 101, {320, 280, 1520, 1080});
    Show(f.plan);
    view.editing().SetActiveWnd(window);
    ASSERT_EQ(window->rectView, (Rect{100, 100, 400, 300}));
    struct Case {
        Point pt;
        int code;
    };
    for (const Case& c : {Case{{99, 150}, kHitLeft}, Case{{100, 100}, kHitTopLeft}, Case{{250, 99}, kHitTop},
                          Case{{401, 301}, kHitBottomRight}, Case{{402, 200}, kHitNone}, Case{{250, 110}, kHitTitle},
                          Case{{250, 200}, kHitBody}, Case{{390, 110}, kHitClose}}) {
        int index = -2;
        EXPECT_EQ(view.editing().HitTest(c.pt, index), c.code) << c.pt.x << "," << c.pt.y;
    }
    // Locked: no handles, and a press on its title draws a band.
    window->status = 1;
    int index = -1;
    EXPECT_EQ(view.editing().HitTest({99, 150}, index), kHitNone);
    EXPECT_EQ(view.editing().HitTest({100, 100}, index), kHitTitle);
    EXPECT_EQ(index, 0);
    Press(view, {200, 105});
    EXPECT_EQ(view.editing().m_nDragMode, 1);
    Release(view, {200, 105});
}

TEST_F(EditView, TitleMovesAndHandlesResize)
{
    const auto window = AddTestWindow(*f.plan, 101, {0, 0, 960, 540});
    Show(f.plan);
    ASSERT_EQ(window->rectView, (Rect{20, 30, 260, 165}));
    Drag(view, {100, 35}, {140, 95});
    EXPECT_EQ(window->rect, (Rect{160, 240, 1120, 780}));
    EXPECT_EQ(Kinds(*f.plan), (std::vector<int>{kActNewPlan, kActMoveWindow}));

    Click(view, {150, 95}); // a press without moving records nothing
    EXPECT_EQ(f.plan->GetHistoryCount(), 2);

    Press(view, {59, 150});
    EXPECT_EQ(view.editing().m_nDragMode, 5);
    MoveTo(view, {295, 150});
    Release(view, {295, 150});
    EXPECT_EQ(window->rectView, (Rect{290, 90, 300, 225}));
    EXPECT_EQ(window->rect, (Rect{1080, 240, 1120, 780}));
    EXPECT_EQ(Kinds(*f.plan), (std::vector<int>{kActNewPlan, kActMoveWindow, kActResizeWindow}));
}

TEST_F(EditView, SelectedWindowsMoveTogetherInsideTheWall)
{
    const auto a = AddTestWindow(*f.plan, 101, {0, 540, 960, 1080});
    const auto b = AddTestWindow(*f.plan, 101, {960, 540, 1920, 1080});
    const auto c = AddTestWindow(*f.plan, 102, {1920, 540, 2880, 1080});
    c->status = 1;
    Show(f.plan);
    for (QPoint title : {QPoint{100, 170}, QPoint{340, 170}, QPoint{580, 170}})
        Click(view, title, Qt::ControlModifier);
    ASSERT_EQ(view.m_vecSelection.size(), 3u);

    Drag(view, {100, 170}, {140, 190});
    EXPECT_EQ(a->rect, (Rect{160, 620, 1120, 1160}));
    EXPECT_EQ(b->rect, (Rect{1120, 620, 2080, 1160}));
    EXPECT_EQ(c->rect, (Rect{1920, 540, 2880, 1080}));
    EXPECT_EQ(f.plan->GetNewestHistory()->GetKind(), kActMoveWindow);

    // Their box would leave the wall: none moves.
    Drag(view, {100, 190}, {20, 190});
    EXPECT_EQ(a->rect, (Rect{160, 620, 1120, 1160}));
    EXPECT_EQ(b->rect, (Rect{1120, 620, 2080, 1160}));

    // Alone, a window stops at the edge with its size kept.
    Click(view, {900, 500});
    ASSERT_TRUE(view.m_vecSelection.empty());
    Drag(view, {400, 190}, {990, 190});
    EXPECT_EQ(b->rect.right, 3840);
    EXPECT_EQ(RectWidth(b->rect), 960);
}

TEST_F(EditView, LogoPlacementAndCloseButtons)
{
    Show(f.plan);
    view.m_nMode = WallViewCore::kModePlacingLogo;
    Click(view, {100, 100});
    ASSERT_EQ(f.plan->GetWindowCount(), 1);
    const auto logo = f.plan->GetWindowAt(0);
    EXPECT_EQ(logo->sigsrc, kLogoSigSrc);
    EXPECT_EQ(logo->rect, (Rect{320, 280, 576, 408}));
    EXPECT_EQ(view.m_nMode, 0);
    EXPECT_EQ(f.plan->GetHistoryCount(), 1);

    Click(view, {150, 110}); // its close button
    EXPECT_EQ(f.plan->GetWindowCount(), 0);
    EXPECT_EQ(f.plan->GetHistoryCount(), 1);
    EXPECT_EQ(view.m_pActiveWnd, nullptr);

    // Closing the active window makes the first one active.
    const auto first = AddTestWindow(*f.plan, 101, {0, 0, 960, 540});
    const auto second = AddTestWindow(*f.plan, 102, {1920, 0, 2880, 540});
    view.geometry().LayoutWindowRects();
    view.editing().SetActiveWnd(second);
    Click(view, {726, 40}); // its close button
    EXPECT_EQ(f.plan->GetWindows(), (CQelPlan::WindowList{first}));
    EXPECT_EQ(view.m_pActiveWnd, first);
    EXPECT_EQ(f.plan->GetNewestHistory()->GetKind(), kActDeleteWindow);
}

TEST_F(EditView, ClosedWindowsLeaveTheSelectionAndNewSourcesKeepNames)
{
    const auto first = AddTestWindow(*f.plan, 101, {0, 0, 960, 540});
    const auto second = AddTestWindow(*f.plan, 101, {1920, 0, 2880, 540});
    Show(f.plan);
    Click(view, {100, 40}, Qt::ControlModifier);
    Click(view, {580, 40}, Qt::ControlModifier);
    ASSERT_EQ(view.m_vecSelection.size(), 2u);
    Click(view, {726, 40}); // the second's close button
    EXPECT_EQ(view.m_vecSelection, (std::vector<WallViewCore::WindowPtr>{first}));

    first->name = "Lobby";
    view.editing().SetWindowsSource({first, second}, 102);
    EXPECT_EQ(f.plan->GetWindows(), (CQelPlan::WindowList{first}));
    EXPECT_EQ(first->sigsrc, 102);
    EXPECT_EQ(first->name, "Lobby");
    EXPECT_EQ(f.plan->GetNewestHistory()->GetKind(), kActChangeSource);
}

TEST_F(EditView, DoubleClicksFillTheWallOrSwapAWatchCell)
{
    const auto lower = AddTestWindow(*f.plan, 101, {0, 0, 960, 540});
    const auto upper = AddTestWindow(*f.plan, 102, {1920, 0, 2880, 540});
    Show(f.plan);
    DoubleClick(view, {100, 100});
    EXPECT_TRUE(lower->fullscreen);
    EXPECT_EQ(f.plan->GetWindows(), (CQelPlan::WindowList{upper, lower}));
    EXPECT_EQ(Kinds(*f.plan), (std::vector<int>{kActNewPlan, kActFullScreen, kActLayerOrder}));

    // A watch cell holding 102 swaps with the active window's 101 and the
    // plan is sent whatever auto-execute says; nothing is recorded.
    const auto watched = WallFixture::WatchPlan({101});
    watched->GetWatchWindows()[0]->cells = {102};
    const auto window = AddTestWindow(*watched, 101, {0, 0, 960, 540});
    Show(watched);
    view.editing().SetActiveWnd(window);
    modal().expectInform();
    DoubleClick(view, {200, 530});
    EXPECT_EQ(window->sigsrc, 102);
    EXPECT_EQ(watched->GetWatchWindows()[0]->cells, (std::vector<int32_t>{101}));
    ASSERT_EQ(modal().prompts().size(), 1u);
    EXPECT_EQ(LastPrompt(modal()), QStringLiteral("处理器未连接，请连接处理器！"));
    EXPECT_EQ(watched->GetHistoryCount(), 1);
}

TEST_F(EditView, DropsLandWhereTheSourceWasReleased)
{
    Show(f.plan);
    const auto drop = [&](QPoint client) { view.DropSignalSource(view.viewport()->mapToGlobal(client)); };
    drop({10, 10}); // outside the wall
    CQelContext::SetSelSigSrc(1, -1);
    drop({700, 300}); // no source
    EXPECT_EQ(f.plan->GetWindowCount(), 0);

    CQelContext::SetSelSigSrc(1, 101);
    drop({700, 300});
    ASSERT_EQ(f.plan->GetWindowCount(), 1);
    const auto window = f.plan->GetWindowAt(0);
    EXPECT_EQ(window->rect, (Rect{2720, 1080, 4640, 2160}));
    EXPECT_EQ(window->rectView, (Rect{700, 300, 1180, 570}));
    EXPECT_EQ(f.plan->GetNewestHistory()->GetKind(), kActNewWindow);

    // On a zoomed, scrolled canvas the drop lands under the pointer.
    view.SetCanvasScale(2);
    view.horizontalScrollBar()->setValue(200);
    view.verticalScrollBar()->setValue(100);
    ASSERT_EQ(view.geometry().DeviceToCanvasPoint({300, 200}), (Point{500, 300}));
    drop({300, 200});
    ASSERT_EQ(f.plan->GetWindowCount(), 2);
    const Point at = view.geometry().ViewToWallPoint({500, 300});
    EXPECT_EQ(f.plan->GetWindowAt(1)->rect.left, at.x & ~1);
    EXPECT_EQ(f.plan->GetWindowAt(1)->rect.top, at.y);
}

TEST_F(EditView, TipsNameTheTitleButtons)
{
    const auto window = AddTestWindow(*f.plan, 101, {0, 0, 960, 540});
    Show(f.plan);
    const auto tipAt = [&](QPoint pos) {
        tavrix::test::hoverAt(*view.viewport(), pos);
        return view.m_tip.StoredText();
    };
    EXPECT_EQ(tipAt({250, 40}), QStringLiteral("关闭"));
    EXPECT_EQ(tipAt({218, 40}), QStringLiteral("单元格内最大化"));
    EXPECT_EQ(tipAt({232, 40}), QStringLiteral("最大化"));
    EXPECT_EQ(tipAt({100, 100}), QStringLiteral("    "));
    window->fullscreen = true;
    const Rect max = view.geometry().GetMaxButtonRect(window);
    EXPECT_EQ(tipAt({max.left + 1, max.top + 1}), QStringLiteral("还原"));
}

TEST_F(EditView, ArrowKeysMoveAndResizeTheActiveWindow)
{
    const auto window = AddTestWindow(*f.plan, 101, {160, 240, 1120, 780});
    Show(f.plan);
    view.editing().SetActiveWnd(window);
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        Rect expected;
        int kind;
    };
    for (const Case& c : {Case{Qt::Key_Up, Qt::NoModifier, {160, 239, 1120, 779}, kActMoveWindow},
                          Case{Qt::Key_Left, Qt::NoModifier, {158, 240, 1118, 780}, kActMoveWindow},
                          Case{Qt::Key_Up, Qt::ShiftModifier, {160, 240, 1120, 779}, kActResizeWindow},
                          Case{Qt::Key_Left, Qt::ShiftModifier, {160, 240, 1118, 780}, kActResizeWindow}}) {
        window->rect = {160, 240, 1120, 780};
        const int before = f.plan->GetHistoryCount();
        Tap(view, c.key, c.mods);
        EXPECT_EQ(window->rect, c.expected) << c.key;
        EXPECT_EQ(f.plan->GetHistoryCount(), before + 1);
        EXPECT_EQ(f.plan->GetNewestHistory()->GetKind(), c.kind);
    }

    // Held through two repeats: 3 pixels, one entry, also when the last
    // repeat is refused at the wall's top.
    for (int top : {240, 2}) {
        window->rect = {160, top, 1120, top + 540};
        const int before = f.plan->GetHistoryCount();
        Key(view, QEvent::KeyPress, Qt::Key_Up);
        for (int i = 0; i < 2; ++i) {
            Key(view, QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, true);
            Key(view, QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, true);
        }
        Key(view, QEvent::KeyRelease, Qt::Key_Up);
        EXPECT_EQ(window->rect.top, std::max(top - 3, 0));
        EXPECT_EQ(f.plan->GetHistoryCount(), before + 1);
        EXPECT_EQ(f.plan->GetNewestHistory()->GetKind(), kActMoveWindow);
    }

    // Edges from a damaged file: steps saturate instead of overflowing.
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    window->rect = {kMin, 0, kMax, 540};
    Tap(view, Qt::Key_Right, Qt::ShiftModifier);
    Tap(view, Qt::Key_Down);
    EXPECT_LE(window->rect.left, window->rect.right);
}

TEST_F(EditView, RightKeyIsBoundedByTheSizedGridsWidth)
{
    // Two columns of 1920 and 2920: wider than two cells of 1920.
    std::shared_ptr<CQelPlan> plan = MakeTestPlan(1, 2, kPlanSizedGrid);
    plan->SetColumnWidths({1920, 2920});
    const auto window = AddTestWindow(*plan, 101, {2880, 0, 3840, 540});
    Show(plan);
    view.editing().SetActiveWnd(window);
    Tap(view, Qt::Key_Right);
    EXPECT_EQ(window->rect, (Rect{2882, 0, 3842, 540}));
    window->rect = {3880, 0, 4840, 540};
    Tap(view, Qt::Key_Right);
    EXPECT_EQ(window->rect, (Rect{3880, 0, 4840, 540}));
}

TEST_F(EditView, NothingHappensWithoutAPlan)
{
    Press(view, {100, 100});
    MoveTo(view, {300, 300});
    Release(view, {300, 300});
    Tap(view, Qt::Key_Up);
    view.DropSignalSource(view.viewport()->mapToGlobal(QPoint{700, 300}));
    EXPECT_EQ(view.editing().m_nDragMode, 0);
    EXPECT_TRUE(modal().prompts().empty());
}

} // namespace
