#include "uikit/custom_nc.h"
#include "tests/support/ui/screenshot.h"
#include "tests/support/ui/ui_test.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using tavrix::test::countColour;
using tavrix::test::pixelAt;
using tavrix::test::Prompt;
using M = MenuModeMachine;
using ui::MenuSpec;

MenuSpec mainMenu()
{
    return MenuSpec::subMenu(
        "", {
                MenuSpec::subMenu("&File",
                                  {MenuSpec::item(101, "New"),
                                   MenuSpec::subMenu("Recent", {MenuSpec::item(111, "a"), MenuSpec::item(112, "b")})}),
                MenuSpec::subMenu("&Edit", {MenuSpec::item(201, "Copy")}),
                MenuSpec::subMenu("&View", {MenuSpec::item(301, "Zoom")}),
            });
}

QPoint centre(const Rect& r)
{
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// The custom frame with the menu above, 800 x 600, active.
class CaptionMenu : public tavrix::test::UiTest {
protected:
    void SetUp() override
    {
        frame.setCentralWidget(new QWidget);
        ASSERT_TRUE(title->Attach(&frame));
        title->SetMenu(mainMenu());
        frame.setGeometry(100, 100, 800, 600);
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        frame.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
        QTest::mouseMove(window(), QPoint(401, 301)); // see CaptionFrame
        QTest::mouseMove(window(), QPoint(400, 300));
    }

    QWindow* window() { return frame.windowHandle(); }
    CNCustomMenuBar& bar() { return title->MenuBar(); }
    Rect item(int i) { return bar().Layout().items[std::size_t(i)]; }
    QPoint below(const Rect& r) { return frame.mapToGlobal(QPoint(r.left, r.bottom - 1)); }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = {})
    {
        QTest::keyClick(window(), k, mods);
        settle();
    }
    void click(QPoint pos)
    {
        QTest::mouseClick(window(), Qt::LeftButton, {}, pos);
        settle();
    }
    // Runs the queued drop-downs and commands.
    void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    const std::vector<Prompt>& prompts() { return modal().prompts(); }

    QMainWindow frame;
    CCustomTitle title;
};

TEST_F(CaptionMenu, KeyboardEntersOpensWalksAndChooses)
{
    std::vector<bool> menuModeAtCommand;
    QObject::connect(&*title, &MXCustomNC::menuCommand, [&] { menuModeAtCommand.push_back(bar().InMenuMode()); });

    key(Qt::Key_Alt); // alone: the first item hot, nothing open
    EXPECT_TRUE(bar().InMenuMode());
    EXPECT_EQ(bar().StateOf(0), M::kHot);
    EXPECT_TRUE(prompts().empty());
    modal().answerMenu(0); // closed without a choice
    key(Qt::Key_Down);
    ASSERT_EQ(prompts().size(), 1u);
    EXPECT_EQ(prompts()[0].pos, below(item(0)));
    EXPECT_TRUE(prompts()[0].popup.selectFirst);
    EXPECT_NE(prompts()[0].popup.watcher, nullptr);
    EXPECT_NE(prompts()[0].menu.find(112), nullptr);
    EXPECT_TRUE(bar().InMenuMode());
    EXPECT_EQ(bar().HotItem(), 0);

    // Right wraps from the last item to the first; Enter opens the hot one.
    for (const int next : {1, 2, 0, 1}) {
        key(Qt::Key_Right);
        EXPECT_EQ(bar().HotItem(), next);
    }
    modal().answerMenu(0);
    key(Qt::Key_Return);
    ASSERT_EQ(prompts().size(), 2u);
    EXPECT_EQ(prompts()[1].pos, below(item(1)));
    key(Qt::Key_Escape);
    EXPECT_FALSE(bar().InMenuMode());
    key(Qt::Key_F10);
    EXPECT_TRUE(bar().InMenuMode());
    key(Qt::Key_F10);
    EXPECT_FALSE(bar().InMenuMode());

    // Alt with a mnemonic opens that item; the command reaches the frame
    // once, after menu mode has ended. An unknown letter opens nothing.
    modal().answerMenu(301);
    key(Qt::Key_V, Qt::AltModifier);
    ASSERT_EQ(prompts().size(), 3u);
    EXPECT_TRUE(prompts()[2].popup.selectFirst);
    EXPECT_EQ(menuModeAtCommand, std::vector<bool>{false});
    key(Qt::Key_Q, Qt::AltModifier);
    EXPECT_FALSE(bar().InMenuMode());
    EXPECT_EQ(prompts().size(), 3u);
}

TEST_F(CaptionMenu, MouseOpensSwitchesAndLeaves)
{
    QSignalSpy commands(&*title, &MXCustomNC::menuCommand);
    QTest::mouseMove(window(), centre(item(1)));
    EXPECT_EQ(bar().HotItem(), 1);
    QTest::mouseMove(window(), QPoint(400, 300));
    EXPECT_EQ(bar().HotItem(), -1);

    // Over the open drop-down, then onto Edit: File's closes, Edit's opens.
    // There Left with a sub-menu open and Right onto one stay in it; Right
    // moves on to View.
    modal().answerMenu([&](const MenuSpec&, ui::PopupWatcher* watcher) {
        watcher->popupMouseMove(below(item(0)) + QPoint(10, 20));
        watcher->popupMouseMove(frame.mapToGlobal(centre(item(1))));
        return 101; // cancelled meanwhile: not chosen
    });
    modal().answerMenu([&](const MenuSpec&, ui::PopupWatcher* watcher) {
        EXPECT_FALSE(watcher->popupKey(M::VK_LEFT, 2, false));
        EXPECT_FALSE(watcher->popupKey(M::VK_RIGHT, 1, true));
        EXPECT_TRUE(watcher->popupKey(M::VK_RIGHT, 1, false));
        return 0;
    });
    modal().answerMenu(0);
    click(centre(item(0)));
    ASSERT_EQ(prompts().size(), 3u);
    EXPECT_EQ(prompts()[0].pos, below(item(0)));
    EXPECT_FALSE(prompts()[0].popup.selectFirst);
    EXPECT_TRUE(prompts()[0].cancelled);
    EXPECT_EQ(prompts()[1].pos, below(item(1)));
    EXPECT_FALSE(prompts()[1].popup.selectFirst);
    EXPECT_TRUE(prompts()[1].cancelled);
    EXPECT_TRUE(prompts()[2].popup.selectFirst);
    EXPECT_FALSE(prompts()[2].cancelled);
    EXPECT_EQ(commands.count(), 0);
    EXPECT_EQ(bar().HotItem(), 2);

    // In menu mode the bar has the mouse: the hot item follows it, a click
    // off the items leaves.
    QTest::mouseMove(window(), centre(item(1)));
    QTest::mouseMove(window(), centre(item(0)));
    EXPECT_EQ(bar().HotItem(), 0);
    click(QPoint(400, 300));
    EXPECT_FALSE(bar().InMenuMode());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(CaptionMenu, OwnerUpdatesDropDownsAndMayReplaceTheMenuMeanwhile)
{
    title->SetMenuUpdate([](MenuSpec& menu) {
        for (MenuSpec& item : menu.items) {
            item.checked = item.id == 101;
            for (MenuSpec& sub : item.items)
                sub.enabled = sub.id != 112;
        }
    });
    MenuSpec other = MenuSpec::subMenu("", {MenuSpec::subMenu("&Tools", {MenuSpec::item(501, "Options")})});
    modal().answerMenu([&](const MenuSpec& shown, ui::PopupWatcher*) {
        EXPECT_TRUE(shown.find(101)->checked);
        EXPECT_FALSE(shown.find(112)->enabled);
        title->SetMenu(other); // closes the drop-down first
        return 101;
    });
    click(centre(item(0)));
    ASSERT_EQ(prompts().size(), 1u);
    EXPECT_TRUE(prompts()[0].cancelled);
    EXPECT_TRUE(bar().Menu().items[0].text == "&Tools");
    EXPECT_EQ(bar().HotItem(), 0);

    // No items: Alt enters nothing. 200 items with deep sub-menus: the
    // chevron's drop-down holds those left out.
    key(Qt::Key_Escape);
    title->SetMenu(MenuSpec());
    key(Qt::Key_Alt);
    EXPECT_FALSE(bar().InMenuMode());
    MenuSpec deep = MenuSpec::item(7, "");
    for (int level = 0; level < 50; ++level)
        deep = MenuSpec::subMenu("", {deep});
    title->SetMenu(MenuSpec::subMenu("", std::vector<MenuSpec>(200, MenuSpec::subMenu("Item", {deep}))));
    modal().answerMenu(0);
    click(centre(bar().Layout().chevron));
    ASSERT_EQ(prompts().size(), 2u);
    EXPECT_EQ(prompts()[1].menu.items.size(), std::size_t(200 - bar().Layout().overflow));
}

TEST_F(CaptionMenu, ClosingTheFrameFromAnOpenDropDownEndsMenuMode)
{
    QSignalSpy commands(&*title, &MXCustomNC::menuCommand);
    modal().answerMenu([&](const MenuSpec&, ui::PopupWatcher* watcher) {
        watcher->popupKey(M::VK_RIGHT, 1, false); // a switch on its way
        frame.close();
        return 101;
    });
    click(centre(item(0)));
    ASSERT_EQ(prompts().size(), 1u);
    EXPECT_TRUE(prompts()[0].cancelled);
    EXPECT_FALSE(bar().InMenuMode());
    EXPECT_EQ(commands.count(), 0);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    bar().EnterMenu(0, false); // hidden: nothing opens
    settle();
    EXPECT_EQ(prompts().size(), 1u);
}

TEST_F(CaptionMenu, ScreenshotShowsItemsTheOpenItemAndTheChevron)
{
    MenuSpec menu = mainMenu();
    for (int i = 0; i < 30; ++i)
        menu.items.push_back(MenuSpec::subMenu(QString("Item%1").arg(i), {MenuSpec::item(400 + i, "x")}));
    title->SetMenu(menu);
    QImage shot;
    modal().answerMenu([&](const MenuSpec&, ui::PopupWatcher*) {
        shot = tavrix::test::screenshot(frame);
        return 0;
    });
    click(centre(item(0)));
    ASSERT_FALSE(shot.isNull());
    EXPECT_GT(countColour(shot, item(0), ui::rgb(0, 0, 0)), 5);
    EXPECT_EQ(countColour(shot, item(0), ui::rgb(232, 232, 255)), 0);
    EXPECT_GT(countColour(shot, item(1), ui::rgb(232, 232, 255)), 5);
    const Rect& chevron = bar().Layout().chevron;
    EXPECT_EQ(pixelAt(shot, chevron.left + 2, chevron.top + 4), ui::rgb(232, 232, 255));
    EXPECT_EQ(pixelAt(shot, chevron.left, chevron.top), ui::sysColor(ui::COLOR_ACTIVECAPTION));
}

// The Qt host: a real popup menu, closed by timers.
TEST_F(CaptionMenu, QtDropDownClosesOnCancelAndOnQuit)
{
    ui::ModalHost* scripted = ui::setModalHost(nullptr);
    auto openMenu = [] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); };
    bool cancelled = false;
    bool activeMeanwhile = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (openMenu() && !cancelled) {
            activeMeanwhile = title->IsActive();
            ui::modalHost().cancelPopup();
            cancelled = true;
        }
    });
    poll.start(5);
    ui::modalHost().cancelPopup(); // nothing open: nothing happens
    QSignalSpy commands(&*title, &MXCustomNC::menuCommand);
    click(centre(item(0)));
    ASSERT_TRUE(tavrix::test::pumpUntil([&] { return cancelled && !bar().DropDownOpen(); }));
    EXPECT_TRUE(activeMeanwhile);
    EXPECT_EQ(commands.count(), 0);
    EXPECT_EQ(openMenu(), nullptr);
    EXPECT_TRUE(bar().InMenuMode());
    poll.stop();

    // A click off the drop-down closes it and ends menu mode.
    bool clicked = false;
    QTimer clicker;
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        if (openMenu() && !clicked) {
            clicked = true;
            QTest::mousePress(window(), Qt::LeftButton, {}, QPoint(400, 300));
        }
    });
    clicker.start(5);
    key(Qt::Key_Down);
    ASSERT_TRUE(tavrix::test::pumpUntil([&] { return clicked && !bar().DropDownOpen(); }));
    QTest::mouseRelease(window(), Qt::LeftButton, {}, QPoint(400, 300));
    EXPECT_FALSE(bar().InMenuMode());
    clicker.stop();

    // A quit while a drop-down is open ends the application's loop.
    QTimer quit;
    QObject::connect(&quit, &QTimer::timeout, [&] {
        if (openMenu())
            QCoreApplication::quit();
    });
    quit.start(5);
    bool stuck = false;
    QTimer::singleShot(0, &frame, [&] { bar().EnterMenu(1, true); });
    QTimer::singleShot(10000, [&] {
        stuck = true;
        QCoreApplication::exit(1);
    }); // safety net only
    QApplication::exec();
    EXPECT_FALSE(stuck);
    EXPECT_FALSE(bar().InMenuMode());
    EXPECT_EQ(openMenu(), nullptr);
    ui::setModalHost(scripted);
}

} // namespace
