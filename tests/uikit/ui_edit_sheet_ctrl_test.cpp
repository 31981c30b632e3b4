#include "uikit/ui_edit_sheet_ctrl.h"

#include "tests/support/ui/screenshot.h"
#include "tests/support/ui/ui_test.h"
#include "tests/uikit/sheet_ui_support.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

using tavrix::test::pumpUntil;

// The cycle list's layout: number, name and the editable seconds (x 180 to
// 260); header and rows 20 pixels high.
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
            sheet.AddRow(-1, QString::number(r));
            sheet.SetItemText(r, 2, "5");
        }
        sheet.show();
        sheet.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
        notes.clear();
    }
    void EditSeconds(int row, const QString& typed)
    {
        DoubleClickAt(sheet, QPoint(220, 30 + 20 * row));
        QTest::keyClicks(sheet.Editor(), typed);
    }
    std::vector<SheetNotify> Commits() const { return NotesOf(notes, kSheetEditCommitted); }
    // Runs the queued commit requests.
    void Settle()
    {
        pumpUntil([] { return false; }, 50);
    }

    CUiEditSheetCtrl sheet;
    std::vector<SheetNotify> notes;
};

TEST_F(EditSheetTest, EditableCellsAreEditedInPlaceUntilTheFocusLeaves)
{
    // Not editable, near the left edge: code 3 alone, no clicks replayed.
    DoubleClickAt(sheet, QPoint(20, 30));
    EXPECT_EQ(NotesOf(notes, kSheetClick).size(), 1u);
    EXPECT_EQ(notes.back(), (SheetNotify{kSheetDoubleClick, 0, 0, 0, 20, 30}));
    EXPECT_FALSE(sheet.Editor()->isVisible());

    notes.clear();
    EditSeconds(1, "");
    EXPECT_EQ(notes.end()[-2], (SheetNotify{kSheetDoubleClick, 1, 2, 0, 220, 50}));
    EXPECT_EQ(notes.back(), (SheetNotify{kSheetEditStarted, 1, 2, 0, 0, 0}));
    CUiSheetEdit* editor = sheet.Editor();
    EXPECT_TRUE(editor->hasFocus());
    EXPECT_EQ(editor->geometry(), QRect(QPoint(181, 41), QPoint(258, 58)));
    EXPECT_EQ(editor->text(), "5");
    QTest::keyClicks(editor, "15");
    QTest::keyClick(editor, Qt::Key_Return);
    Settle();
    EXPECT_EQ(Commits(), (std::vector{SheetNotify{kSheetEditCommitted, 1, 2, 0, 0, 0}}));
    EXPECT_EQ(sheet.GetItemText(1, 2), "15");
    EXPECT_FALSE(editor->isVisible());

    // A click elsewhere commits as well, unchanged text included.
    EditSeconds(3, "");
    QTest::mouseClick(&sheet, Qt::LeftButton, {}, QPoint(60, 150));
    Settle();
    EXPECT_EQ(Commits().back(), (SheetNotify{kSheetEditCommitted, 3, 2, 0, 0, 0}));

    SetAppType(3); // would draw the plain sheet's cross-hair
    tavrix::test::hoverAt(sheet, QPoint(150, 100));
    EXPECT_NE(tavrix::test::pixelAt(tavrix::test::screenshot(sheet), 75, 100), ui::rgb(255, 255, 0));
    SetAppType(1);
}

TEST_F(EditSheetTest, CommitGoesToTheEditedRowWhereverItIsNow)
{
    EditSeconds(2, "42");
    sheet.DeleteRow(0);
    QTest::keyClick(sheet.Editor(), Qt::Key_Return);
    Settle();
    EXPECT_EQ(Commits(), (std::vector{SheetNotify{kSheetEditCommitted, 1, 2, 0, 0, 0}}));
    EXPECT_EQ(sheet.GetItemText(1, 0), "2");
    EXPECT_EQ(sheet.GetItemText(1, 2), "42");

    // The edited row deleted: the editor goes and nothing is stored.
    EditSeconds(1, "9");
    sheet.DeleteRow(1);
    EXPECT_FALSE(sheet.Editor()->isVisible());
    QTest::mouseClick(&sheet, Qt::LeftButton, {}, QPoint(60, 150));
    Settle();
    EXPECT_EQ(Commits().size(), 1u);

    // A second edit begun before the first one's queued commit has run.
    notes.clear();
    EditSeconds(0, "3");
    EditSeconds(1, "");
    Settle();
    EXPECT_EQ(Commits(), (std::vector{SheetNotify{kSheetEditCommitted, 0, 2, 0, 0, 0}}));
    EXPECT_EQ(sheet.GetItemText(0, 2), "3");
    EXPECT_EQ(notes.back(), (SheetNotify{kSheetEditStarted, 1, 2, 0, 0, 0}));
    EXPECT_TRUE(sheet.Editor()->isVisible());
}

} // namespace
