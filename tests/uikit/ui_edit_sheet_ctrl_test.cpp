#include "uikit/ui_edit_sheet_ctrl.h"

#include "platform/rect_math.h"
#include "tests/support/ui/screenshot.h"
#include "tests/support/ui/ui_test.h"
#include "tests/uikit/sheet_ui_support.h"

#include <QFontMetrics>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using tavrix::test::pixelAt;
using tavrix::test::pumpUntil;

// Records the cells the sheet asks to repaint.
class ProbeEditSheet : public CUiEditSheetCtrl {
public:
    std::vector<Rect> invalidated;

protected:
    void InvalidateRect(const Rect& rect) override
    {
        invalidated.push_back(rect);
        CUiEditSheetCtrl::InvalidateRect(rect);
    }
};

// The cycle list's layout: number, name and the editable seconds (x 180 to
// 260); header and rows 20 pixels, row r from y 20 (r + 1).
class EditSheetTest : public tavrix::test::UiTest {
protected:
    void SetUp() override
    {
        sheet.resize(300, 220);
        RecordNotes(sheet, notes);
        sheet.InsertColumn(0, "No", 0, 0, 40);
        sheet.InsertColumn(1, "Name", 0, 0, 140);
        sheet.InsertColumn(2, "Seconds", kColumnEditable, 0, 80);
        for (int r = 0; r < 5; ++r) {
            sheet.AddRow(-1, QString::number(r + 1));
            sheet.SetItemText(r, 1, QStringLiteral("plan %1").arg(r));
            sheet.SetItemText(r, 2, "5");
        }
        sheet.show();
        sheet.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
        notes.clear();
    }
    static QPoint Seconds(int row) { return QPoint(220, 30 + 20 * row); }
    bool Committed() { return pumpUntil([&] { return !NotesOf(notes, kSheetEditCommitted).empty(); }); }
    // Lets queued commit requests run; for checking that none commits.
    void Settle() { pumpUntil([] { return false; }, 50); }

    ProbeEditSheet sheet;
    std::vector<SheetNotify> notes;
};

TEST_F(EditSheetTest, DoubleClickEditsTheCellAndLeavingCommits)
{
    DoubleClickAt(sheet, Seconds(1));
    EXPECT_EQ(NotesOf(notes, kSheetDoubleClick).back(), (SheetNotify{kSheetDoubleClick, 1, 2, 0, 220, 50}));
    EXPECT_EQ(notes.back(), (SheetNotify{kSheetEditStarted, 1, 2, 0, 0, 0}));
    CUiSheetEdit* editor = sheet.Editor();
    ASSERT_TRUE(editor->isVisible());
    EXPECT_TRUE(editor->hasFocus());
    EXPECT_EQ(editor->geometry(), QRect(QPoint(181, 41), QPoint(258, 58)));
    EXPECT_EQ(editor->text(), "5");
    EXPECT_EQ(editor->font(), sheet.ItemFont());

    // Enter hands the focus back; the commit follows from the queue.
    QTest::keyClicks(editor, "15");
    sheet.invalidated.clear();
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(Committed());
    EXPECT_EQ(NotesOf(notes, kSheetEditCommitted), (std::vector{SheetNotify{kSheetEditCommitted, 1, 2, 0, 0, 0}}));
    EXPECT_EQ(sheet.GetItemText(1, 2), "15");
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(sheet.hasFocus());
    const Rect cell{180, 40, 260, 60};
    EXPECT_NE(std::find(sheet.invalidated.begin(), sheet.invalidated.end(), cell), sheet.invalidated.end());

    // A click elsewhere in the sheet commits too; unchanged text is still
    // reported, but its cell is not repainted.
    notes.clear();
    DoubleClickAt(sheet, Seconds(3));
    QTest::mouseClick(&sheet, Qt::LeftButton, {}, QPoint(60, 150));
    sheet.invalidated.clear(); // what the click repainted; the commit is queued
    ASSERT_TRUE(Committed());
    EXPECT_EQ(NotesOf(notes, kSheetEditCommitted).back(), (SheetNotify{kSheetEditCommitted, 3, 2, 0, 0, 0}));
    EXPECT_EQ(sheet.GetItemText(3, 2), "5");
    for (const Rect& r : sheet.invalidated)
        EXPECT_TRUE(RectEmpty(IntersectRect(r, Rect{180, 80, 260, 100})));
}

TEST_F(EditSheetTest, OnlyEditableCellsEditAndNothingIsReplayedOrCrossHaired)
{
    // Column 0, near the left edge, where the plain sheet replays clicks.
    DoubleClickAt(sheet, QPoint(20, 30));
    EXPECT_EQ(NotesOf(notes, kSheetClick).size(), 1u);
    EXPECT_EQ(notes.back(), (SheetNotify{kSheetDoubleClick, 0, 0, 0, 20, 30}));
    EXPECT_TRUE(NotesOf(notes, kSheetEditStarted).empty());
    EXPECT_FALSE(sheet.Editor()->isVisible());

    // A header edge still fits its column to the widest text.
    sheet.SetItemText(2, 1, "a name far wider than the column is");
    DoubleClickAt(sheet, QPoint(180, 10));
    EXPECT_EQ(sheet.Header().At(1)->width,
              QFontMetrics(sheet.ItemFont()).horizontalAdvance(sheet.GetItemText(2, 1)) + 8);

    SetAppType(3);
    tavrix::test::hoverAt(sheet, QPoint(150, 100));
    const QImage shot = tavrix::test::screenshot(sheet);
    EXPECT_NE(pixelAt(shot, 75, 100), ui::rgb(255, 255, 0));
    EXPECT_NE(pixelAt(shot, 150, 50), ui::rgb(255, 255, 0));
    SetAppType(1);
}

TEST_F(EditSheetTest, CommitFollowsTheEditedRowAndDropsItWhenGone)
{
    // Rows above deleted while editing: the text lands in the edited row.
    DoubleClickAt(sheet, Seconds(2));
    QTest::keyClicks(sheet.Editor(), "42");
    sheet.DeleteRow(0);
    QTest::keyClick(sheet.Editor(), Qt::Key_Return);
    ASSERT_TRUE(Committed());
    EXPECT_EQ(NotesOf(notes, kSheetEditCommitted).back(), (SheetNotify{kSheetEditCommitted, 1, 2, 0, 0, 0}));
    EXPECT_EQ(sheet.GetItemText(1, 0), "3");
    EXPECT_EQ(sheet.GetItemText(1, 2), "42");
    EXPECT_EQ(sheet.GetItemText(0, 2), "5");

    // The edited row deleted: the editor goes, nothing is stored anywhere.
    notes.clear();
    DoubleClickAt(sheet, Seconds(1));
    QTest::keyClicks(sheet.Editor(), "9");
    sheet.DeleteRow(1);
    EXPECT_FALSE(sheet.Editor()->isVisible());
    QTest::mouseClick(&sheet, Qt::LeftButton, {}, QPoint(60, 150));
    Settle();
    EXPECT_TRUE(NotesOf(notes, kSheetEditCommitted).empty());
    for (int r = 0; r < sheet.GetRowCount(); ++r)
        EXPECT_EQ(sheet.GetItemText(r, 2), "5") << r;

    // A second edit begun before the first one's queued commit has run:
    // the first is stored in its own row, the second stays open.
    notes.clear();
    DoubleClickAt(sheet, Seconds(0));
    QTest::keyClicks(sheet.Editor(), "3");
    DoubleClickAt(sheet, Seconds(1));
    Settle();
    EXPECT_EQ(NotesOf(notes, kSheetEditCommitted), (std::vector{SheetNotify{kSheetEditCommitted, 0, 2, 0, 0, 0}}));
    EXPECT_EQ(sheet.GetItemText(0, 2), "3");
    EXPECT_EQ(notes.back(), (SheetNotify{kSheetEditStarted, 1, 2, 0, 0, 0}));
    EXPECT_TRUE(sheet.Editor()->isVisible());
    EXPECT_EQ(sheet.Editor()->geometry().top(), 41);
}

TEST_F(EditSheetTest, CommitQueuedForADeletedSheetIsDropped)
{
    auto* other = new CUiEditSheetCtrl;
    other->resize(300, 100);
    other->InsertColumn(0, "Seconds", kColumnEditable, 0, 80);
    other->AddRow(-1, "5");
    other->show();
    other->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(other));
    DoubleClickAt(*other, QPoint(40, 30));
    ASSERT_TRUE(other->Editor()->hasFocus());
    other->setFocus();
    delete other;
    Settle();
}

} // namespace
