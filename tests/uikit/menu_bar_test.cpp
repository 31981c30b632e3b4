#include "uikit/menu_bar_layout.h"
#include "uikit/menu_mode.h"
#include "uikit/ui_resource_cache.h"

#include <QFont>
#include <QFontMetrics>
#include <gtest/gtest.h>

void PrintTo(const Rect& r, std::ostream* os);

namespace {

using M = MenuModeMachine;

TEST(MenuBarLayout, MeasuresItemsAndFindsTheirMnemonics)
{
    QFont font;
    CreateMenuFont(font);
    const MenuBarItem file = MeasureMenuItem("&File", font);
    EXPECT_EQ(file.width, QFontMetrics(font).horizontalAdvance("File") + 12);
    EXPECT_EQ(file.height, 20);
    EXPECT_EQ(file.mnemonic, 'F');
    EXPECT_EQ(MeasureMenuItem("", font).width, 12);

    EXPECT_EQ(MenuMnemonic("A&&B"), 0); // a doubled ampersand is a literal one
    EXPECT_EQ(MenuMnemonic("&&A&B"), 'B');
    EXPECT_EQ(MenuMnemonic("视图(&v)"), 'V');
    EXPECT_EQ(MenuMnemonic("End&"), 0);
    EXPECT_EQ(MenuMnemonic(""), 0);
}

TEST(MenuBarLayout, ChevronStepsBackOverTheItemsItNeedsRoomFrom)
{
    const std::vector<Size> items{{40, 20}, {50, 20}, {30, 20}};
    const MenuBarLayout L = LayoutMenuBar(Rect{0, 0, 100, 20}, items, Size{12, 16});
    EXPECT_EQ(L.items[0], (Rect{0, 0, 40, 20}));
    EXPECT_TRUE(L.items[1] == Rect{} && L.items[2] == Rect{});
    EXPECT_EQ(L.overflow, 1);
    EXPECT_EQ(L.chevron, (Rect{40, 2, 52, 18}));
    EXPECT_EQ(MenuBarHitTest(L, Point{39, 10}), 0);
    EXPECT_EQ(MenuBarHitTest(L, Point{45, 10}), 1); // the chevron
    EXPECT_EQ(MenuBarHitTest(L, Point{60, 10}), -1);

    // All fit: no chevron, centred in a taller bar.
    const MenuBarLayout all = LayoutMenuBar(Rect{5, 6, 705, 27}, items, Size{12, 16});
    EXPECT_EQ(all.overflow, -1);
    EXPECT_EQ(all.items[2], (Rect{95, 7, 125, 27}));
    EXPECT_TRUE(all.chevron == Rect{});
    // Narrower than the chevron, or 200 items: the chevron still shows.
    EXPECT_EQ(LayoutMenuBar(Rect{0, 0, 8, 20}, items, Size{12, 16}).overflow, 0);
    const MenuBarLayout many = LayoutMenuBar(Rect{0, 0, 700, 20}, std::vector<Size>(200, Size{30, 20}), Size{12, 16});
    EXPECT_EQ(many.overflow, 22);
    EXPECT_EQ(many.chevron.left, 660);

    // The overflow menu holds the hidden items, sub-menus included.
    const ui::MenuSpec menu = ui::MenuSpec::subMenu("", {ui::MenuSpec::item(1, "a"), ui::MenuSpec::separatorItem(),
                                                         ui::MenuSpec::subMenu("&Deep", {ui::MenuSpec::item(3, "c")})});
    const ui::MenuSpec overflow = OverflowMenu(menu, 1);
    ASSERT_EQ(overflow.items.size(), 2u);
    EXPECT_TRUE(overflow.items[0].separator);
    EXPECT_NE(overflow.find(3), nullptr);
    EXPECT_TRUE(OverflowMenu(menu, 5).items.empty());
}

// What the caption menu tests leave out: the key and click rules at the
// edges, and what ends the drop-downs.
TEST(MenuModeMachine, KeysAndClicksAtTheEdges)
{
    M m;
    m.SetItems({'F', 'E', 'V'});
    unsigned fx = 0;
    // Alt with another key between is not alone.
    m.FrameKey(true, M::VK_MENU, true, fx);
    EXPECT_TRUE(m.FrameKey(true, 'X', true, fx));
    EXPECT_EQ(fx, unsigned(M::kBeep));
    m.FrameKey(false, M::VK_MENU, false, fx);
    EXPECT_FALSE(m.InMenuMode());
    EXPECT_FALSE(m.FrameKey(true, 'E', false, fx)); // without Alt: the focus widget's

    // Entered by Alt+V, the release of that Alt does not leave; with View
    // in the overflow the chevron stands for it.
    m.SetOverflow(1);
    EXPECT_TRUE(m.FrameKey(true, 'V', true, fx));
    EXPECT_EQ(m.Pending(), 1);
    EXPECT_EQ(m.KeyUp(M::VK_MENU), M::kNothing);
    EXPECT_TRUE(m.InMenuMode());
    // The click that closed a drop-down lands on the bar: it leaves.
    m.RunDropDowns([](int, bool) { return 0; });
    EXPECT_EQ(m.ButtonDown(1), M::kNothing);
    EXPECT_FALSE(m.InMenuMode());
    EXPECT_FALSE(m.Hover(2)); // beyond the shown items: none hot

    // An item without drop-down stays hot; a command ends menu mode.
    m.Enter(0, false);
    EXPECT_EQ(m.RunDropDowns([](int, bool) { return -1; }), 0);
    EXPECT_EQ(m.Hot(), 0);
    EXPECT_EQ(m.RunDropDowns([](int, bool) { return 42; }), 0); // nothing pending
    m.KeyDown(M::VK_RETURN, false);
    EXPECT_EQ(m.RunDropDowns([](int, bool) { return 42; }), 42);
    EXPECT_FALSE(m.InMenuMode());

    // Leaving, or losing every item, while a drop-down is open and a switch
    // pending: what it returns no longer counts, none opens inside or after.
    for (const bool leave : {true, false}) {
        m.SetItems({'F', 'E', 'V'});
        m.Enter(0, false);
        int opened = 0;
        const int command = m.RunDropDowns([&](int, bool) {
            ++opened;
            m.MouseMove(-1);
            EXPECT_EQ(m.MouseMove(1), M::kCancelDropDown);
            if (leave)
                EXPECT_EQ(m.Leave(), M::kCancelDropDown);
            else
                m.SetItems({});
            EXPECT_EQ(m.RunDropDowns([](int, bool) { return 7; }), 0);
            return 9;
        });
        EXPECT_EQ(opened, 1);
        EXPECT_EQ(command, 0);
        EXPECT_FALSE(m.InMenuMode());
    }
}

} // namespace
