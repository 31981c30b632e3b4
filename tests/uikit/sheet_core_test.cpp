#include "uikit/sheet_core.h"
#include "tests/uikit/sheet_fill.h"

#include <gtest/gtest.h>
#include <climits>
#include <functional>

namespace {

// A sheet without a window that records what it tells its owner; the
// owner's handler may change the sheet, as real owners do.
class RecordingSheet : public SheetCore {
public:
    std::vector<SheetNotify> notes;
    std::function<void(const SheetNotify&)> onNotify;

    std::vector<int> Codes() const
    {
        std::vector<int> codes;
        for (const auto& n : notes)
            codes.push_back(n.code);
        return codes;
    }

protected:
    void Notify(const SheetNotify& n) override
    {
        notes.push_back(n);
        if (onNotify)
            onNotify(n);
    }
};

void Fill(SheetCore& sheet, int rows, int columns, int width)
{
    FillSheet(sheet, rows, columns, width);
    sheet.SetClientSize(300, 220);
}

void Freeze(SheetCore& sheet, int rows)
{
    for (int r = 0; r < rows; ++r)
        sheet.Row(r)->flags |= kRowFrozen;
    sheet.CalcFrozenRows();
    sheet.UpdateVScroll();
}

TEST(SheetItem, SettingACellNeverMakesAnEmptyOne)
{
    CSItem row;
    EXPECT_EQ(row.SetCellText(3, ""), 0);
    EXPECT_EQ(row.SetCell(2, "", 0, -1, 0x123, ui::kNoColor), 0);
    EXPECT_EQ(row.SetCellBkColor(4, ui::kNoColor), 0);
    EXPECT_TRUE(row.cells.empty());

    EXPECT_EQ(row.SetCellText(1, "a"), 1);
    EXPECT_EQ(row.SetCellText(1, "a"), 0);
    EXPECT_EQ(row.cells.size(), 2u);
    EXPECT_EQ(row.GetCellText(0), "");
    EXPECT_EQ(row.GetCellText(-1), "");
    EXPECT_EQ(row.GetCellText(99), "");

    // Swapping and moving grow the row to the larger index.
    row.SwapCells(1, 4);
    EXPECT_EQ(row.cells.size(), 5u);
    EXPECT_EQ(row.GetCellText(4), "a");
    row.MoveCell(4, 0);
    EXPECT_EQ(row.GetCellText(0), "a");
    EXPECT_EQ(row.CopyCell(3, row.Cell(0)), 1);
    EXPECT_EQ(row.GetCellText(3), "a");
}

TEST(SheetModel, BadIndexesGiveTheFailureValueAndNoNotification)
{
    RecordingSheet empty;
    EXPECT_EQ(empty.AddRow(0, "x"), -1); // no columns yet
    EXPECT_EQ(empty.GetRowCount(), 0);
    empty.SetClientSize(300, 220);
    EXPECT_EQ(empty.HitTest(Point{10, 30}), (SheetHit{kHitNothing, -1, -1}));
    empty.OnKeyDown(VK_DOWN, 0, false);
    empty.OnVScroll(SB_BOTTOM);
    empty.OnHScroll(SB_LINERIGHT);

    RecordingSheet sheet;
    Fill(sheet, 5, 3, 60);
    Freeze(sheet, 1);
    sheet.notes.clear();
    EXPECT_EQ(sheet.InsertColumn(1, "x", 0, 0, 10), -1);
    EXPECT_EQ(sheet.GetColumnCount(), 3);
    for (const int bad : {-1, 5, INT_MAX, INT_MIN}) {
        EXPECT_FALSE(sheet.DeleteRow(bad));
        EXPECT_FALSE(sheet.MoveRow(bad, 2));
        EXPECT_FALSE(sheet.MoveRow(2, bad));
        EXPECT_FALSE(sheet.SetItemText(bad, 0, "x"));
        EXPECT_FALSE(sheet.SetItemText(0, bad, "x")); // no cell grown to a huge index
        EXPECT_EQ(sheet.GetItemText(bad, 0), "");
        EXPECT_EQ(sheet.GetRowState(bad), 0);
        EXPECT_FALSE(sheet.SetCellBkColor(bad, 0, 0));
        EXPECT_FALSE(sheet.SetCellTextColor(1, bad, 0));
        EXPECT_EQ(sheet.GetRowValue(bad), -1);
        EXPECT_EQ(sheet.GetColumnValue(bad), -1);
        EXPECT_FALSE(sheet.DeleteColumn(bad));
        EXPECT_FALSE(sheet.MoveColumn(bad, 1));
        EXPECT_FALSE(sheet.SwapColumns(1, bad));
        sheet.SelectRow(bad);
        sheet.DeselectRow(bad);
        sheet.EnsureRowVisible(bad);
        sheet.SetColumnWidth(bad, 50);
        Rect r;
        EXPECT_FALSE(sheet.GetRowRect(bad, r));
        EXPECT_FALSE(sheet.GetColumnRect(bad, r));
    }
    EXPECT_FALSE(sheet.MoveRow(2, 0)); // onto the frozen row
    EXPECT_FALSE(sheet.MoveRow(2, 2));
    EXPECT_FALSE(sheet.SwapColumns(1, 1));
    EXPECT_TRUE(sheet.notes.empty());
    EXPECT_EQ(sheet.GetItemText(4, 2), "4,2");
}

TEST(SheetModel, RowsAndColumnsMoveWithTheirCells)
{
    RecordingSheet sheet;
    Fill(sheet, 5, 4, 60);
    EXPECT_TRUE(sheet.MoveRow(3, 1));
    ASSERT_EQ(sheet.notes.size(), 1u);
    EXPECT_EQ(sheet.notes[0].code, kSheetRowMoved);
    EXPECT_EQ(sheet.notes[0].p0, 3);
    EXPECT_EQ(sheet.notes[0].p2, 1);
    EXPECT_EQ(sheet.GetItemText(1, 0), "3,0");
    EXPECT_EQ(sheet.GetItemText(2, 0), "1,0");

    sheet.notes.clear();
    EXPECT_TRUE(sheet.MoveColumn(1, 3));
    ASSERT_EQ(sheet.notes.size(), 1u);
    EXPECT_EQ(sheet.notes[0], (SheetNotify{kSheetColumnMoved, 1, 3, 0, 0, 0}));
    EXPECT_EQ(sheet.Header().At(3)->title, "C1");
    for (int r = 0; r < 5; ++r) {
        const QString row = sheet.GetItemText(r, 0).section(',', 0, 0);
        EXPECT_EQ(sheet.GetItemText(r, 3), row + ",1");
        EXPECT_EQ(sheet.GetItemText(r, 1), row + ",2");
    }

    sheet.notes.clear();
    EXPECT_TRUE(sheet.SwapColumns(1, 2));
    EXPECT_TRUE(sheet.notes.empty());
    EXPECT_EQ(sheet.Header().At(1)->title, "C3");
    EXPECT_EQ(sheet.GetItemText(0, 1), "0,3");

    // Deleting a column takes its cells along: the later columns keep theirs.
    EXPECT_TRUE(sheet.DeleteColumn(1));
    EXPECT_EQ(sheet.Header().At(1)->title, "C2");
    EXPECT_EQ(sheet.GetItemText(0, 1), "0,2");
    EXPECT_EQ(sheet.GetItemText(0, 2), "0,1");
}

TEST(SheetModel, NullSlotsAndNarrowColumnsAreFourPixelsWide)
{
    RecordingSheet sheet;
    Fill(sheet, 3, 2, 0); // width 0 and ...
    sheet.Header().At(1)->width = -1;
    sheet.Header().columns.push_back(nullptr); // ... a null slot
    sheet.SetItemText(0, 2, "in a null column");
    sheet.UpdateLayout();
    Rect r;
    ASSERT_TRUE(sheet.GetColumnRect(2, r));
    EXPECT_EQ(r, (Rect{8, 0, 12, 20}));
    EXPECT_EQ(sheet.HitTest(Point{9, 30}), (SheetHit{kHitRow, 0, 2}));
    EXPECT_EQ(sheet.ColumnsEnd(), 12);
    EXPECT_EQ(sheet.InsertColumn(2, "taken?", 0, 0, 10), 3); // a null slot does not guard
    EXPECT_TRUE(sheet.MoveColumn(2, 3));
    EXPECT_TRUE(sheet.DeleteColumn(3));
    EXPECT_EQ(sheet.GetItemText(0, 2), "");
}

TEST(SheetSelection, SelectAndDeselectReportEveryChange)
{
    RecordingSheet sheet;
    Fill(sheet, 5, 2, 60);
    sheet.SetStyle(kSheetMultiSelect);
    sheet.SelectRow(1);
    sheet.SelectRow(3);
    sheet.SetStyle(0);
    sheet.notes.clear();
    sheet.SelectRow(3); // already selected: the others stay, code 4 still comes
    EXPECT_EQ(sheet.GetSelectedRows(), (std::vector<int>{1, 3}));
    EXPECT_EQ(sheet.Codes(), (std::vector<int>{kSheetSelChanged}));

    sheet.notes.clear();
    sheet.DeselectRow(1);
    EXPECT_EQ(sheet.Codes(), (std::vector<int>{kSheetSelChanged, kSheetSelChanged}));
    EXPECT_EQ(sheet.GetSelectedRows(), (std::vector<int>{3}));

    // A marked row not in the list keeps its mark through a clear.
    sheet.SetRowState(0, kRowMarked);
    sheet.ClearSelection();
    EXPECT_EQ(sheet.GetRowState(0), kRowMarked);
    EXPECT_TRUE(sheet.IsRowHighlighted(0));
    EXPECT_FALSE(sheet.IsRowHighlighted(3));
    sheet.SetStyle(kSheetNoHighlight);
    EXPECT_FALSE(sheet.IsRowHighlighted(0));

    sheet.SelectAll();
    EXPECT_EQ(sheet.GetSelectedRows(), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(sheet.DeleteRow(2));
    EXPECT_EQ(sheet.GetSelectedRows(), (std::vector<int>{0, 1, 2, 3}));
}

TEST(SheetScroll, VerticalRangeCountsTheRowsThatFit)
{
    RecordingSheet sheet;
    Fill(sheet, 30, 2, 100); // rows area 200 pixels: 10 rows
    EXPECT_EQ(sheet.VScroll().max, 20);
    EXPECT_FALSE(sheet.AllRowsFit());
    sheet.SetStyle(kSheetVertToLast);
    sheet.UpdateVScroll();
    EXPECT_EQ(sheet.VScroll().max, 29);
    sheet.SetStyle(0);
    sheet.UpdateVScroll();

    sheet.OnVScroll(SB_BOTTOM);
    EXPECT_EQ(sheet.VScroll().first, 20);
    EXPECT_EQ(sheet.VScroll().last, 29);
    EXPECT_EQ(sheet.GetRowIndex(sheet.Row(5)), -1);
    EXPECT_EQ(sheet.GetRowIndex(sheet.Row(25)), 25);
    sheet.EnsureRowVisible(3);
    EXPECT_TRUE(sheet.IsRowVisible(3));
    sheet.EnsureRowVisible(30); // beyond the last row: nothing
    EXPECT_TRUE(sheet.IsRowVisible(3));

    // The wheel: 120 a line, partial notches nothing.
    sheet.OnVScroll(SB_THUMBTRACK, 5);
    sheet.notes.clear();
    sheet.OnMouseWheel(240);
    EXPECT_EQ(sheet.VScroll().pos, 3);
    EXPECT_EQ(sheet.Codes(), (std::vector<int>{kSheetVScrolled, kSheetVScrolled}));
    sheet.OnMouseWheel(-119);
    EXPECT_EQ(sheet.VScroll().pos, 3);
    sheet.OnMouseWheel(-360);
    EXPECT_EQ(sheet.VScroll().pos, 6);

    // Frozen rows stay at the top of the rows area.
    Freeze(sheet, 2);
    sheet.OnVScroll(SB_BOTTOM);
    EXPECT_EQ(sheet.VScroll().max, 20); // 28 scrolled rows, 8 fit below the frozen ones
    EXPECT_EQ(sheet.VScroll().first, 22);
    Rect r;
    ASSERT_TRUE(sheet.GetRowRect(1, r));
    EXPECT_EQ(r.top, 40);
    ASSERT_TRUE(sheet.GetRowRect(22, r));
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(sheet.notes.back(), (SheetNotify{kSheetVScrolled, 0, 0, 0, 60, 300}));
    EXPECT_EQ(sheet.HitTest(Point{5, 25}).row, 0);
    EXPECT_EQ(sheet.HitTest(Point{5, 65}).row, 22);

    RecordingSheet few;
    Fill(few, 10, 1, 100);
    EXPECT_TRUE(few.AllRowsFit());
    EXPECT_EQ(few.VScroll().max, 0);

    // Rows deleted at the end pull the view back: no row stays hidden
    // above a blank area.
    RecordingSheet shrinking;
    Fill(shrinking, 30, 1, 100);
    shrinking.OnVScroll(SB_BOTTOM);
    while (shrinking.GetRowCount() > 12)
        shrinking.DeleteRow(shrinking.GetRowCount() - 1);
    EXPECT_EQ(shrinking.VScroll().max, 2);
    EXPECT_EQ(shrinking.VScroll().first, 2);
    EXPECT_EQ(shrinking.VScroll().last, 11);
}

TEST(SheetScroll, ColumnsScrollOneAtATimeUntilTheLastEndsInside)
{
    RecordingSheet sheet;
    Fill(sheet, 3, 5, 100); // the first column frozen: 200 pixels beside it
    sheet.Header().At(0)->flags = kColumnFrozen;
    sheet.CalcFrozenColumns();
    sheet.UpdateLayout();
    EXPECT_EQ(sheet.HScroll().max, 2);
    sheet.notes.clear();
    sheet.OnHScroll(SB_LINERIGHT);
    sheet.OnHScroll(SB_LINERIGHT);
    EXPECT_EQ(sheet.HScroll().first, 3);
    EXPECT_EQ(sheet.notes.back(), (SheetNotify{kSheetHScrolled, 100, 0, 300, 220, 0}));
    sheet.OnHScroll(SB_LINERIGHT); // the last column ends at the right edge
    EXPECT_EQ(sheet.HScroll().first, 3);
    EXPECT_EQ(sheet.notes.size(), 2u);
    EXPECT_EQ(sheet.HitTest(Point{150, 30}), (SheetHit{kHitRow, 0, 3}));
    EXPECT_EQ(sheet.HitTest(Point{50, 30}), (SheetHit{kHitRow, 0, 0}));

    sheet.SetStyle(kSheetHorzToLast);
    sheet.UpdateLayout();
    EXPECT_EQ(sheet.HScroll().max, 3);
}

TEST(SheetHitTest, HeaderEdgeHitsReachTwoPixelsAndWinOverTheCell)
{
    RecordingSheet sheet;
    Fill(sheet, 3, 3, 100);
    int column = -1;
    EXPECT_EQ(sheet.HitTestHeader(102, 10, column), kHitColumnEdge);
    EXPECT_EQ(column, 0);
    EXPECT_EQ(sheet.HitTestHeader(103, 10, column), kHitHeaderCell);
    EXPECT_EQ(column, 1);
    EXPECT_EQ(sheet.HitTestHeader(99, 10, column), kHitColumnEdge);
    EXPECT_EQ(column, 0);
    EXPECT_EQ(sheet.HitTestHeader(97, 10, column), kHitHeaderCell);
    EXPECT_EQ(column, 0);
    EXPECT_EQ(sheet.HitTest(Point{299, 19}), (SheetHit{kHitColumnEdge, -1, 2}));
    EXPECT_EQ(sheet.HitTest(Point{150, 90}), (SheetHit{kHitNothing, -1, 1})); // below the rows
}

TEST(SheetHoverCross, EstimatesOnlyWhereARowAndColumnExist)
{
    RecordingSheet sheet;
    Fill(sheet, 5, 3, 100);
    sheet.SetColumnWidth(0, 40);
    EXPECT_EQ(sheet.HoverCrossText(150, 50), QString("1,0 => C1")); // 50 / 20 - 1, 110 / 100
    EXPECT_EQ(sheet.HoverCrossText(150, 1000), std::nullopt);       // no row 49
    EXPECT_EQ(sheet.HoverCrossText(-500, 50), std::nullopt);        // no column -5
    sheet.SetColumnWidth(1, 0);
    EXPECT_EQ(sheet.HoverCrossText(150, 50), std::nullopt);
    sheet.SetColumnWidth(1, 100);
    sheet.SetHeaderHeight(0); // the history and layer sheets
    EXPECT_EQ(sheet.HoverCrossText(150, 50), std::nullopt);

    RecordingSheet single;
    Fill(single, 5, 1, 100);
    EXPECT_EQ(single.HoverCrossText(150, 50), std::nullopt);
}

TEST(SheetReentrancy, OwnerMayDeleteOrRefillRowsInsideANotification)
{
    RecordingSheet sheet;
    Fill(sheet, 8, 2, 100);
    sheet.SetStyle(kSheetMultiSelect);
    sheet.EnableRowDrag(true);

    // The cycle list deletes the row it was right-clicked on.
    sheet.onNotify = [&](const SheetNotify& n) {
        if (n.code == kSheetRightClick)
            sheet.DeleteRow(n.p0);
    };
    sheet.OnRButtonDown(Point{50, 70});
    EXPECT_EQ(sheet.GetRowCount(), 7);
    EXPECT_EQ(sheet.GetItemText(2, 0), "3,0");

    // Refills on every selection change.
    auto refill = [&](const SheetNotify& n) {
        if (n.code != kSheetSelChanged || sheet.GetRowCount() == 2)
            return;
        sheet.onNotify = nullptr;
        sheet.DeleteAllRows();
        sheet.AddRow(-1, "a");
        sheet.AddRow(-1, "b");
    };
    auto again = [&](auto&& action) {
        while (sheet.GetRowCount() < 6)
            sheet.AddRow(-1, "x");
        sheet.SelectRow(4);
        sheet.onNotify = refill;
        action();
        sheet.onNotify = nullptr;
        EXPECT_LE(sheet.GetRowCount(), 6);
        for (const int row : sheet.GetSelectedRows())
            EXPECT_NE(sheet.Row(row), nullptr);
    };
    again([&] { sheet.OnLButtonDown(Point{50, 110}, false, false); });
    again([&] { sheet.OnLButtonDown(Point{50, 50}, true, false); });
    again([&] { sheet.OnLButtonDown(Point{50, 110}, false, true); });
    again([&] { sheet.OnRButtonDown(Point{50, 50}); });
    again([&] {
        sheet.SetStyle(0);
        sheet.SelectRow(2);
        sheet.SetStyle(kSheetMultiSelect);
    });
    again([&] { sheet.DeleteRow(4); });
    again([&] { sheet.DeselectRow(4); });
    again([&] { sheet.SelectAll(); });
    again([&] { sheet.OnKeyDown(VK_UP, 0, false); });
    again([&] { sheet.OnLButtonDblClk(Point{50, 30}); });
    again([&] { sheet.OnLButtonDown(Point{50, 300}, false, false); });
    sheet.OnMouseMove(Point{50, 45}, true, true); // a drag that may have begun
    sheet.OnLButtonUp(Point{50, 25});
}

} // namespace
