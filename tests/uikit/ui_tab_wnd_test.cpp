#include "uikit/ui_tab_wnd.h"
#include "corlane/app_path.h"
#include "platform/ui/gdi_paint.h"
#include "uikit/res_path.h"
#include "uikit/ui_resource_cache.h"
#include "uikit/ui_tip_ctrl.h"
#include "tests/support/ui/screenshot.h"
#include "tests/support/ui/ui_test.h"

#include <QDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using tavrix::test::pixelAt;
using Seen = std::vector<std::array<int, 3>>; // (code, index, kind)

// A PNG in the system folder's "res": `frames` squares of 12 pixels,
// frame 0 red, the others blue.
std::string writeStrip(const std::string& name, int frames)
{
    QDir().mkpath(QString::fromStdString(qz::vok::path::GetSysPath() + "/res"));
    QImage image(12 * frames, 12, QImage::Format_ARGB32);
    image.fill(qRgb(0, 0, 255));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    EXPECT_TRUE(image.save(QString::fromStdString(ui::resPath(name)), "PNG"));
    return ui::resPath(name);
}

QPoint centre(const Rect& r)
{
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}
int extent(const QString& text)
{
    return ui::textExtent(GetUiFont12(), text).width();
}

class TabWnd : public tavrix::test::UiTest {
protected:
    TabWnd()
    {
        strip.resize(400, 24);
        QObject::connect(&strip, &CUiTabWnd::notify, [this](const ui::Notify& n) {
            seen.push_back({n.code, n.p0, n.p1});
        });
    }
    Seen take() { return std::exchange(seen, {}); }
    void hover(QPoint pos) { tavrix::test::hoverAt(strip, pos); }
    void click(QPoint pos) { QTest::mouseClick(&strip, Qt::LeftButton, Qt::NoModifier, pos); }

    CUiTabWnd strip;
    Seen seen;
};

TEST_F(TabWnd, NotifiesAddSelectAndCloseInOrder)
{
    EXPECT_EQ(strip.AddTab(7, "a"), 0);
    EXPECT_EQ(take(), (Seen{{2, 0, 2}, {1, 0, 1}})); // added, then selected
    EXPECT_EQ(strip.AddTab(7, "again"), -1);
    EXPECT_EQ(strip.AddTab(8, "b"), 1);
    EXPECT_EQ(strip.AddTab(9, "c"), 2);
    EXPECT_EQ(take(), (Seen{{2, 1, 2}, {2, 2, 2}}));

    strip.SelectTab(2);
    take();
    EXPECT_TRUE(strip.CloseTab(2)); // the selected last tab
    EXPECT_EQ(take(), (Seen{{3, 2, 3}, {4, 2, 3}, {1, 1, 1}}));
    strip.AddTab(10, "d");
    take();
    EXPECT_TRUE(strip.CloseTab(0)); // left of the selected tab, which stays
    EXPECT_EQ(take(), (Seen{{3, 0, 3}, {4, 0, 3}, {1, 0, 1}}));
    EXPECT_EQ(strip.GetTab(0)->id, 8);
    strip.CloseTab(1);
    take();
    EXPECT_TRUE(strip.CloseTab(0)); // the only tab
    EXPECT_EQ(take(), (Seen{{3, 0, 3}, {4, 0, 3}, {1, -1, 1}}));
}

TEST_F(TabWnd, RefusesBadIndexesQuietly)
{
    strip.AddTab(1, "a");
    strip.AddTab(2, "b");
    take();
    // A selection past the tabs would have the layout read past them.
    for (int bad : {2, -2, 1000})
        strip.SelectTab(bad);
    EXPECT_FALSE(strip.CloseTab(-1));
    EXPECT_FALSE(strip.CloseTab(2));
    strip.SetTabText(5, "x");
    EXPECT_EQ(strip.GetTab(2), nullptr);
    EXPECT_TRUE(take().empty());
    EXPECT_EQ(strip.Selected(), 0);

    // Empty and very long texts and many tabs still lay out and paint.
    strip.SetTabText(0, QString());
    for (int i = 0; i < 200; ++i)
        strip.AddTab(100 + i, QString(i % 50 ? 1 : 1000, QChar(0x5904)));
    strip.SelectTab(102); // 1000 characters, wider than the strip: at the left
    EXPECT_EQ(strip.GetTab(102)->rect.left, 1);
    EXPECT_FALSE(tavrix::test::screenshot(strip).isNull());
}

TEST_F(TabWnd, TabsThatDoNotFitShrinkAndOfferTheOverflowMenu)
{
    const QString text = "文件名称很长的一个标签";
    for (int i = 0; i < 12; ++i)
        strip.AddTab(i, text + QString::number(i));
    strip.SelectTab(5);
    EXPECT_EQ(strip.Geometry().menuArea, (Rect{363, 1, 399, 23})); // (3 x 24) / 2 wide
    const Rect sel = strip.GetTab(5)->rect;
    EXPECT_EQ(sel.right - sel.left, 34 + extent(text + "5"));
    EXPECT_TRUE(sel.left >= 1 && sel.right <= 362);
    for (int i : {0, 4, 6, 11})
        EXPECT_EQ(strip.GetTab(i)->rect.right - strip.GetTab(i)->rect.left, 34 + extent("一二...")) << i;

    strip.SetMenuButtonImage(writeStrip("tab_menu.png", 2));
    const QPoint button = centre(strip.MenuRect());
    take();
    modal().answerMenu(3);
    click(button);
    ASSERT_EQ(modal().prompts().size(), 1u);
    const std::vector<ui::MenuSpec>& items = modal().prompts()[0].menu.items;
    ASSERT_EQ(items.size(), 12u);
    EXPECT_EQ(items[11].id, 12);
    EXPECT_EQ(items[11].text, text + "11");
    EXPECT_EQ(std::count_if(items.begin(), items.end(), [](auto& m) { return m.checked; }), 1);
    EXPECT_TRUE(items[5].checked);
    EXPECT_EQ(take(), (Seen{{1, 2, 1}}));

    modal().answerMenu(0); // dismissed: no tab selected
    click(button);
    EXPECT_EQ(take(), (Seen{{1, -1, 1}}));
    EXPECT_EQ(strip.Selected(), -1);
}

TEST_F(TabWnd, CloseButtonsNeedATwoFrameImage)
{
    for (int id : {1, 2, 3})
        strip.AddTab(id, "一");
    const QPoint nearEnd(strip.GetTab(1)->rect.right - 8, 12);
    const std::string good = writeStrip("tab_close.png", 2);
    for (const std::string& bad : {ui::resPath("none.png"), writeStrip("one.png", 1)}) {
        strip.SetCloseButtonImage(bad);
        EXPECT_EQ(strip.CloseRect(1), Rect{}) << bad;
    }
    take();
    click(nearEnd); // no close button: the tab itself
    EXPECT_EQ(take(), (Seen{{1, 1, 1}}));

    strip.SetCloseButtonImage(good);
    click(centre(strip.CloseRect(0)));
    EXPECT_EQ(take(), (Seen{{3, 0, 3}, {4, 0, 3}, {1, 0, 1}}));
    EXPECT_EQ(strip.TabCount(), 2);
}

TEST_F(TabWnd, TipShowsTheFullTextBelowAHoveredTab)
{
    strip.move(50, 60);
    strip.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&strip));
    strip.AddTab(1, "处理器一");
    strip.AddTab(2, "处理器二");
    strip.SetCloseButtonImage(writeStrip("tab_close.png", 2));
    const Rect tab = strip.GetTab(1)->rect;
    const CUiTipCtrl& tip = *strip.Tip();

    hover(QPoint(tab.left + 3, 12)); // on the tab, but not 4 inside
    EXPECT_FALSE(tip.isVisible());
    hover(QPoint(tab.left + 4, 12));
    ASSERT_TRUE(tip.isVisible());
    EXPECT_EQ(tip.Text(), "处理器二");
    EXPECT_EQ(tip.geometry().topLeft(), strip.mapToGlobal(QPoint(tab.left, 1 + 22 + 2)));
    hover(centre(strip.CloseRect(1)));
    EXPECT_FALSE(tip.isVisible());
    hover(QPoint(tab.left + 4, 12));
    hover(QPoint(390, 12)); // off the tabs
    EXPECT_FALSE(tip.isVisible());
}

TEST_F(TabWnd, PaintsTabsSeparatorsAndTheHoveredCloseFrame)
{
    EXPECT_EQ(pixelAt(tavrix::test::screenshot(strip), 200, 12), ui::rgb(80, 80, 80));

    for (int id : {1, 2, 3})
        strip.AddTab(id, "甲");
    strip.SetCloseButtonImage(writeStrip("tab_close.png", 2));
    const Rect first = strip.GetTab(0)->rect;
    const Rect second = strip.GetTab(1)->rect;
    hover(centre(strip.CloseRect(1)));
    const QImage shot = tavrix::test::screenshot(strip);
    // {x, y, colour}
    const std::tuple<int, int, ui::ColorRef> samples[] = {
        {first.left + 1, 2, ui::rgb(196, 196, 196)},
        {second.left + 1, 2, ui::rgb(96, 96, 96)},
        {first.right - 1, 12, ui::rgb(128, 128, 128)},
        {200, 0, ui::rgb(128, 128, 128)},
        {399, 12, ui::rgb(128, 128, 128)},
        {300, 12, ui::rgb(80, 80, 80)},
        {centre(strip.CloseRect(0)).x(), 12, ui::rgb(255, 0, 0)},
        {centre(strip.CloseRect(1)).x(), 12, ui::rgb(0, 0, 255)}, // under the mouse
    };
    for (const auto& [x, y, colour] : samples)
        EXPECT_EQ(pixelAt(shot, x, y), colour) << x << "," << y;
}

} // namespace
