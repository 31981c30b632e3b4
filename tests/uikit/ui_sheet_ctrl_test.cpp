#include "uikit/ui_sheet_ctrl.h"
#include "uikit/ui_his_sheet_ctrl.h"

#include "tests/support/ui/screenshot.h"
#include "tests/support/ui/ui_test.h"
#include "tests/uikit/sheet_fill.h"
#include "tests/uikit/sheet_ui_support.h"
#include "uikit/ui_tip_ctrl.h"

#include <QApplication>
#include <QKeyEvent>
#include <QFontMetrics>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using tavrix::test::pixelAt;

// An offscreen sheet of 300 x 220 (header and rows 20 pixels) whose
// notifications are recorded as the owner gets them. The history pane's
// sheet must behave exactly like the plain one, so it runs every test too.
class SheetCtrlTest : public tavrix::test::UiTest, public testing::WithParamInterface<bool> {
protected:
    SheetCtrlTest()
        : owned(GetParam() ? std::make_unique<CUiHisSheetCtrl>() : std::make_unique<CUiSheetCtrl>()), sheet(*owned)
    {
    }

    void SetUp() override
    {
        sheet.move(40, 30);
        sheet.resize(300, 220);
        RecordNotes(sheet, notes);
        sheet.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
    }

    void Fill(int rows, int columns, int width)
    {
        FillSheet(sheet, rows, columns, width);
        notes.clear();
    }
    void Click(QPoint at, Qt::KeyboardModifiers mods = {}) { QTest::mouseClick(&sheet, Qt::LeftButton, mods, at); }
    void Drag(QPoint from, QPoint to)
    {
        QTest::mousePress(&sheet, Qt::LeftButton, {}, from);
        QTest::mouseMove(&sheet, to);
        QTest::mouseRelease(&sheet, Qt::LeftButton, {}, to);
    }
    void DoubleClick(QPoint at) { DoubleClickAt(sheet, at); }
    std::vector<SheetNotify> Notes(int code) const { return NotesOf(notes, code); }
    QScrollBar* Bar(Qt::Orientation o) const
    {
        for (auto* bar : sheet.findChildren<QScrollBar*>())
            if (bar->orientation() == o)
                return bar;
        return nullptr;
    }

    std::unique_ptr<CUiSheetCtrl> owned;
    CUiSheetCtrl& sheet;
    std::vector<SheetNotify> notes;
};

INSTANTIATE_TEST_SUITE_P(PlainAndHistory, SheetCtrlTest, testing::Bool(),
                         [](const auto& info) { return info.param ? "History" : "Plain"; });

TEST_P(SheetCtrlTest, ClicksSelectByModeAndReportTheRowColumnAndPoint)
{
    Fill(6, 3, 100);
    Click(QPoint(150, 70));
    EXPECT_EQ(sheet.GetSelectedRows(), std::vector<int>{2});
    EXPECT_EQ(notes.back(), (SheetNotify{kSheetClick, 2, 1, 0, 150, 70}));
    Click(QPoint(50, 110), Qt::ShiftModifier); // single selection: a plain click
    EXPECT_EQ(sheet.GetSelectedRows(), std::vector<int>{4});

    sheet.SetStyle(kSheetMultiSelect);
    Click(QPoint(50, 50));
    Click(QPoint(50, 110), Qt::ShiftModifier);
    EXPECT_EQ(sheet.GetSelectedRows(), (std::vector<int>{1, 2, 3, 4}));
    Click(QPoint(50, 70), Qt::ControlModifier);
    EXPECT_EQ(sheet.GetSelectedRows(), (std::vector<int>{1, 3, 4}));

    // Right clicks: a selected row keeps the selection, another clears it.
    QTest::mouseClick(&sheet, Qt::RightButton, {}, QPoint(50, 90));
    EXPECT_EQ(sheet.GetSelectedRows(), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(notes.back(), (SheetNotify{kSheetRightClick, 3, 0, 0, 50, 90}));
    QTest::mouseClick(&sheet, Qt::RightButton, {}, QPoint(150, 70));
    EXPECT_TRUE(sheet.GetSelectedRows().empty());
    EXPECT_EQ(notes.back(), (SheetNotify{kSheetRightClick, 2, 1, 0, 150, 70}));

    // Below the last row: cleared and reported, unless style 0x2000.
    Click(QPoint(50, 50));
    Click(QPoint(150, 200));
    EXPECT_TRUE(sheet.GetSelectedRows().empty());
    EXPECT_EQ(notes.back(), (SheetNotify{kSheetClick, -1, 1, 0, 150, 200}));
    sheet.SetStyle(kSheetKeepSelection);
    Click(QPoint(50, 50));
    const std::size_t before = notes.size();
    Click(QPoint(150, 200));
    EXPECT_EQ(sheet.GetSelectedRows(), std::vector<int>{1});
    EXPECT_EQ(notes.size(), before);
}

TEST_P(SheetCtrlTest, HeaderClicksDragsAndEdges)
{
    Fill(3, 4, 60);
    Drag(QPoint(90, 10), QPoint(93, 10)); // 3 pixels: a click
    EXPECT_EQ(notes.back(), (SheetNotify{kSheetHeaderClick, 1, 0, 93, 10, 0}));
    EXPECT_TRUE(Notes(kSheetColumnMoved).empty());

    Drag(QPoint(90, 10), QPoint(220, 10)); // the cell's left edge lands in column 3
    EXPECT_EQ(notes.back(), (SheetNotify{kSheetColumnMoved, 1, 3, 0, 0, 0}));
    EXPECT_EQ(sheet.Header().At(3)->title, "C1");
    EXPECT_EQ(sheet.GetItemText(0, 3), "0,1");

    QTest::mouseClick(&sheet, Qt::RightButton, {}, QPoint(90, 10));
    EXPECT_EQ(notes.back(), (SheetNotify{kSheetHeaderRClick, 1, 0, 90, 10, 0}));
    QTest::mouseClick(&sheet, Qt::RightButton, {}, QPoint(270, 10));
    EXPECT_EQ(notes.back(), (SheetNotify{kSheetHeaderRClick, -1, 0, 270, 10, 0}));

    // An edge dragged 30 pixels widens its column by 30; a double click on
    // it fits the widest text, at least 40.
    Drag(QPoint(60, 10), QPoint(90, 10));
    EXPECT_EQ(sheet.Header().At(0)->width, 90);
    DoubleClick(QPoint(90, 10));
    EXPECT_EQ(sheet.Header().At(0)->width, 40);
    const QString wide = "a text wider than forty pixels";
    sheet.SetItemText(1, 0, wide);
    DoubleClick(QPoint(40, 10));
    EXPECT_EQ(sheet.Header().At(0)->width, QFontMetrics(sheet.ItemFont()).horizontalAdvance(wide) + 8);
}

TEST_P(SheetCtrlTest, RowDragMovesOnlyOntoAnotherRow)
{
    Fill(6, 2, 100);
    sheet.EnableRowDrag(true);
    Drag(QPoint(50, 90), QPoint(50, 50));
    EXPECT_EQ(notes.back(), (SheetNotify{kSheetRowMoved, 3, 0, 1, 0, 0}));
    EXPECT_EQ(sheet.GetItemText(1, 0), "3,0");
    notes.clear();
    Drag(QPoint(50, 90), QPoint(50, 200));
    EXPECT_TRUE(Notes(kSheetRowMoved).empty());
    EXPECT_TRUE(sheet.Drag().feedback == Rect{});
}

TEST_P(SheetCtrlTest, DoubleClickNearTheLeftEdgeReplaysClicksAlongTheRow)
{
    Fill(3, 3, 100);
    DoubleClick(QPoint(50, 30));
    const auto clicks = Notes(kSheetClick);
    ASSERT_EQ(clicks.size(), 1u + 101u);
    EXPECT_EQ(clicks[0].p0, 0); // the press before the double click
    for (int i = 0; i < 101; ++i) {
        const SheetNotify& n = clicks[std::size_t(i) + 1];
        const int x = 6115 - 60 * i;
        EXPECT_EQ(n.p3, x);
        EXPECT_EQ(n.p4, 30);
        EXPECT_EQ(n.p0, x < 300 ? 0 : -1) << x;
    }
    EXPECT_EQ(notes.back(), (SheetNotify{kSheetDoubleClick, 0, 0, 0, 50, 30}));
}

TEST_P(SheetCtrlTest, KeysActThenReportTheirCode)
{
    Fill(30, 2, 100);
    QTest::keyClick(&sheet, Qt::Key_Delete);
    EXPECT_EQ(notes.back(), (SheetNotify{kSheetKey, 0x2E, 0x0100, 0, 0, 0}));
    // Keys without an action of their own also go on to a dialog.
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, {});
    QApplication::sendEvent(&sheet, &enter);
    EXPECT_FALSE(enter.isAccepted());
    EXPECT_EQ(notes.back().p0, 0x0D);

    notes.clear();
    QTest::keyClick(&sheet, Qt::Key_PageDown);
    EXPECT_EQ(sheet.VScroll().first, 10);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].code, kSheetVScrolled);
    EXPECT_EQ(notes[0].p3, 20);
    EXPECT_EQ(notes[1].code, kSheetKey);
    QTest::keyClick(&sheet, Qt::Key_End);
    EXPECT_EQ(sheet.VScroll().first, 20);
    QTest::keyClick(&sheet, Qt::Key_Home);
    EXPECT_EQ(sheet.VScroll().first, 0);

    QTest::keyClick(&sheet, Qt::Key_PageDown);
    QTest::keyClick(&sheet, Qt::Key_Down);
    EXPECT_EQ(sheet.GetSelectedRows(), std::vector<int>{10});
    QTest::keyClick(&sheet, Qt::Key_Up);
    EXPECT_EQ(sheet.GetSelectedRows(), std::vector<int>{9});
    EXPECT_EQ(sheet.VScroll().first, 9);
    QTest::keyClick(&sheet, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(sheet.GetSelectedRows().size(), 30u);
    EXPECT_EQ(notes.back(), (SheetNotify{kSheetKey, 0x41, 0, 0, 0, 0}));

    // Wider than the sheet: Right scrolls one column past the frozen one.
    sheet.Header().At(0)->flags = kColumnFrozen;
    sheet.CalcFrozenColumns();
    sheet.SetColumnWidth(1, 600);
    sheet.InsertColumn(2, "C2", 0, 0, 100);
    QTest::keyClick(&sheet, Qt::Key_Right);
    EXPECT_EQ(sheet.HScroll().first, 2);
    EXPECT_EQ(Notes(kSheetHScrolled).back().p0, 100);
}

class FakeBarHost : public SheetScrollBarHost {
public:
    QScrollBar bar{Qt::Vertical};
    std::vector<SheetScrollBarRequest> requests;
    QScrollBar* SheetScrollBar(const SheetScrollBarRequest& request) override
    {
        requests.push_back(request);
        return request.bar == SB_VERT ? &bar : nullptr;
    }
    int Count(int operation) const
    {
        return int(
            std::count_if(requests.begin(), requests.end(), [&](const auto& r) { return r.operation == operation; }));
    }
};

TEST_P(SheetCtrlTest, ScrollBarsFollowTheRangeAndTheStyle)
{
    const int extent = sheet.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QScrollBar* vertical = Bar(Qt::Vertical);
    QScrollBar* horizontal = Bar(Qt::Horizontal);
    Fill(30, 2, 100);
    EXPECT_TRUE(vertical->isVisible());
    EXPECT_FALSE(horizontal->isVisible());
    EXPECT_EQ(sheet.ClientArea(), (Rect{0, 0, 300 - extent, 220}));
    EXPECT_EQ(vertical->maximum(), 20);
    vertical->setSliderPosition(7); // the thumb dragged
    vertical->triggerAction(QAbstractSlider::SliderMove);
    EXPECT_EQ(sheet.VScroll().first, 7);

    auto restyle = [&](std::uint32_t style) {
        sheet.SetStyle(style);
        sheet.Refresh();
        return std::pair(horizontal->isVisible(), vertical->isVisible());
    };
    sheet.SetColumnWidth(1, 400);
    EXPECT_EQ(restyle(0), std::pair(true, true));
    EXPECT_EQ(restyle(kSheetNoBars), std::pair(false, false));
    EXPECT_EQ(restyle(kSheetNoBars | kSheetKeepBars), std::pair(false, false));
    EXPECT_EQ(restyle(kSheetNoVertBar), std::pair(true, false));
    EXPECT_EQ(restyle(kSheetNoHorzBar), std::pair(false, true));
    EXPECT_EQ(restyle(kSheetParentBars), std::pair(true, true)); // no host: its own
    sheet.SetColumnWidth(1, 100);
    while (sheet.GetRowCount() > 3)
        sheet.DeleteRow(0);
    EXPECT_EQ(restyle(kSheetKeepBars), std::pair(true, true));
    EXPECT_FALSE(vertical->isEnabled());
    EXPECT_EQ(restyle(0), std::pair(false, false));

    // With a host its bar is used and told what to do.
    FakeBarHost host;
    sheet.SetScrollBarHost(&host);
    FillSheet(sheet, 27, 0, 0);
    restyle(kSheetParentBars);
    EXPECT_FALSE(vertical->isVisible());
    EXPECT_EQ(sheet.ClientArea(), (Rect{0, 0, 300, 220}));
    EXPECT_GT(host.Count(1), 0);
    EXPECT_GT(host.Count(3), 0);
    ASSERT_GT(host.Count(2), 0);
    const auto shown = std::find_if(host.requests.rbegin(), host.requests.rend(),
                                    [](const auto& r) { return r.operation == 2 && r.bar == SB_VERT; });
    EXPECT_EQ(shown->b, 1);
    EXPECT_EQ(shown->sheet, &sheet);
    EXPECT_EQ(host.bar.maximum(), 20);
    QTest::keyClick(&sheet, Qt::Key_PageDown);
    EXPECT_EQ(host.requests.back().operation, 4);
    EXPECT_EQ(host.requests.back().b, SB_PAGEDOWN | 10 << 16);
    host.bar.setSliderPosition(15);
    host.bar.triggerAction(QAbstractSlider::SliderMove);
    EXPECT_EQ(sheet.VScroll().first, 15);
    sheet.SetScrollBarHost(nullptr);
}

TEST_P(SheetCtrlTest, CellTipSitsOnTheCellOnScreen)
{
    Fill(5, 3, 100);
    sheet.SetStyle(kSheetCellTips);
    ASSERT_NE(sheet.mapToGlobal(QPoint(0, 0)), QPoint(0, 0));
    tavrix::test::hoverAt(sheet, QPoint(150, 50));
    CUiTipCtrl* tip = sheet.TipCtrl();
    EXPECT_TRUE(tip->isVisible());
    EXPECT_EQ(tip->Text(), "1,1");
    EXPECT_EQ(tip->geometry().topLeft(), sheet.mapToGlobal(QPoint(100, 40)));
    QTest::mousePress(&sheet, Qt::LeftButton, {}, QPoint(150, 50)); // a button held
    QTest::mouseMove(&sheet, QPoint(150, 70));
    EXPECT_FALSE(tip->isVisible());
    QTest::mouseRelease(&sheet, Qt::LeftButton, {}, QPoint(150, 70));
}

TEST_P(SheetCtrlTest, PaintsHeaderRowsCellsGridAndCrossHair)
{
    Fill(5, 4, 100);
    sheet.SetColumnWidth(2, 6);
    sheet.SetColumnWidth(3, 94);
    sheet.SetStyle(kSheetHorzGrid | kSheetVertGrid);
    sheet.SetRowState(2, kRowSelected);
    sheet.SetCellBkColor(3, 1, 0x00FF0000);
    sheet.SetCellBkColor(0, 2, ui::rgb(0, 255, 0));
    sheet.SetItemText(0, 2, "WWWW");
    sheet.SetItemText(4, 3, QString(10000, QChar('W')));
    SetAppType(3);
    tavrix::test::hoverAt(sheet, QPoint(150, 100));

    const QImage shot = tavrix::test::screenshot(sheet);
    int yellowTitle = 0; // smoothed glyphs: near yellow
    for (int y = 2; y < 18; ++y)
        for (int x = 4; x < 40; ++x) {
            const ui::ColorRef c = pixelAt(shot, x, y);
            yellowTitle += ui::redOf(c) > 200 && ui::greenOf(c) > 200 && ui::blueOf(c) < 80;
        }
    EXPECT_GT(yellowTitle, 5);
    EXPECT_EQ(pixelAt(shot, 90, 10), ui::rgb(0, 0, 0));
    EXPECT_EQ(pixelAt(shot, 50, 0), ui::rgb(255, 255, 255));
    EXPECT_EQ(pixelAt(shot, 0, 10), ui::rgb(255, 255, 255));
    EXPECT_EQ(pixelAt(shot, 50, 19), ui::rgb(128, 128, 128));
    EXPECT_EQ(pixelAt(shot, 99, 10), ui::rgb(128, 128, 128));

    EXPECT_EQ(pixelAt(shot, 90, 50), ui::rgb(255, 255, 255));
    EXPECT_EQ(pixelAt(shot, 92, 65), ui::sysColor(ui::COLOR_HIGHLIGHT));
    EXPECT_EQ(pixelAt(shot, 180, 90), ui::rgb(0, 0, 255));
    EXPECT_EQ(pixelAt(shot, 202, 30), ui::rgb(0, 255, 0));
    EXPECT_EQ(pixelAt(shot, 50, 59), ui::rgb(216, 216, 216));
    EXPECT_EQ(pixelAt(shot, 99, 50), ui::rgb(216, 216, 216));
    EXPECT_EQ(pixelAt(shot, 75, 100), ui::rgb(255, 255, 0));
    EXPECT_EQ(pixelAt(shot, 150, 50), ui::rgb(255, 255, 0));

    SetAppType(1);
    tavrix::test::hoverAt(sheet, QPoint(150, 100));
    EXPECT_NE(pixelAt(tavrix::test::screenshot(sheet), 75, 100), ui::rgb(255, 255, 0));
}

} // namespace
