// The cycle-plan editor as the pane opens it: new and edited cycle plans,
// plans added by double click and by dragging, the context menu, seconds
// typed in place, rows reordered, and the name checks of saving.
#include <QTest>

#include "dialogs/cycle_plan_actions.h"
#include "dialogs/cycle_plan_edit.h"
#include "dialogs/set_cycle_plan_dlg.h"
#include "tests/dialogs/cycle_plan_test_support.h"
#include "tests/dialogs/dialog_test_support.h"
#include "tests/support/test_files.h"
#include "tests/support/ui/screenshot.h"
#include "tests/uikit/sheet_ui_support.h"
#include "uikit/ui_edit_sheet_ctrl.h"

using namespace cycletest;
using namespace dialogtest;
using tavrix::test::ReadText;
namespace fs = std::filesystem;

namespace {

using Cells = std::vector<std::pair<std::string, int32_t>>;
using TextRows = std::vector<std::pair<QString, QString>>;

class CycleEditor : public tavrix::test::UiTest {
protected:
    void SetUp() override
    {
        CQelContext::Destroy();
        FreshPlanFolder();
        for (const char* name : {"A", "B", "C", "D"})
            SavePlan(name);
        cycles = CQelContext::GetCyclePlanMan();
    }
    void TearDown() override
    {
        tavrix::test::UiTest::TearDown();
        cycles.reset();
        CQelContext::Destroy();
    }

    // Runs `work` on the editor the next action opens, shown and active.
    void Script(std::function<void(CSetCyclePlanDlg&)> work)
    {
        AnswerAs<CSetCyclePlanDlg>([work](CSetCyclePlanDlg& editor) {
            editor.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&editor));
            work(editor);
        });
    }

    static void Save(CSetCyclePlanDlg& editor) { QTest::mouseClick(editor.SaveButton(), Qt::LeftButton); }
    static void RightClickRow(CSetCyclePlanDlg& editor, int row)
    {
        QTest::mouseClick(editor.CycleList(), Qt::RightButton, {}, CellCentre(*editor.CycleList(), row, 1));
    }
    // Types into the seconds cell of the row and commits by Enter.
    static void TypeSeconds(CSetCyclePlanDlg& editor, int row, const QString& text)
    {
        CUiEditSheetCtrl& list = *editor.CycleList();
        DoubleClickAt(list, CellCentre(list, row, 2));
        EXPECT_TRUE(list.IsEditing());
        Type(list.Editor(), text);
        QTest::keyClick(list.Editor(), Qt::Key_Return);
        tavrix::test::pumpUntil([&] { return !list.IsEditing(); });
        tavrix::test::pumpUntil([] { return false; }, 30); // the queued commit
    }

    std::shared_ptr<CQelCyclePlanMan> cycles;
};

} // namespace

TEST_F(CycleEditor, NewCyclePlanTakesPlansByDoubleClickAndDrag)
{
    ListCycle("新建轮巡方案_1", {{"A", 5}});
    ListCycle("新建轮巡方案_2", {});
    Script([&](CSetCyclePlanDlg& editor) {
        EXPECT_EQ(editor.windowTitle(), QStringLiteral("创建新轮巡方案"));
        EXPECT_EQ(editor.NameEdit()->text(), QStringLiteral("新建轮巡方案_3"));
        CUiSheetCtrl& plans = *editor.PlanList();
        EXPECT_EQ(Rows(plans), (TextRows{{"1", "A"}, {"2", "B"}, {"3", "C"}, {"4", "D"}}));

        DoubleClickAt(plans, CellCentre(plans, 1, 1));
        QTest::mousePress(&plans, Qt::LeftButton, {}, CellCentre(plans, 3, 0));
        EXPECT_EQ(editor.DragName(), "D");
        EXPECT_EQ(QWidget::mouseGrabber(), &editor);
        EXPECT_EQ(editor.cursor().shape(), Qt::DragCopyCursor);
        QTest::mouseRelease(editor.CycleList(), Qt::LeftButton, {}, QPoint(150, 200));
        EXPECT_EQ(editor.DragName(), "");
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
        EXPECT_EQ(Rows(*editor.CycleList()), (TextRows{{"1", "B"}, {"2", "D"}}));
        EXPECT_EQ(Rows(*editor.CycleList(), 2), (TextRows{{"1", "5"}, {"2", "5"}}));

        // Released anywhere else: nothing added, the arrow back.
        for (QWidget* elsewhere : {static_cast<QWidget*>(&plans), static_cast<QWidget*>(editor.NameEdit())}) {
            QTest::mousePress(&plans, Qt::LeftButton, {}, CellCentre(plans, 0, 1));
            EXPECT_EQ(editor.DragName(), "A");
            QTest::mouseRelease(elsewhere, Qt::LeftButton, {}, QPoint(5, 5));
            EXPECT_EQ(editor.DragName(), "");
            EXPECT_EQ(editor.cursor().shape(), Qt::ArrowCursor);
            EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
        }
        // A press off the rows starts nothing.
        QTest::mousePress(&plans, Qt::LeftButton, {}, QPoint(60, 240));
        QTest::mouseRelease(editor.CycleList(), Qt::LeftButton, {}, QPoint(150, 200));
        EXPECT_EQ(editor.CycleList()->GetRowCount(), 2);

        // Headings on dark grey, list headers in their light colour, black
        // frames one pixel about the lists.
        const QImage shot = tavrix::test::screenshot(editor);
        EXPECT_EQ(tavrix::test::pixelAt(shot, 228, 50), ui::rgb(80, 80, 80));
        EXPECT_EQ(tavrix::test::pixelAt(shot, 540, 64), ui::rgb(80, 80, 80));
        EXPECT_LT(tavrix::test::countColour(shot, Rect{14, 48, 60, 66}, ui::rgb(80, 80, 80)), 46 * 18 - 20);
        EXPECT_EQ(tavrix::test::pixelAt(shot, 150, 72), ui::rgb(236, 233, 216));
        EXPECT_EQ(tavrix::test::pixelAt(shot, 380, 72), ui::rgb(236, 233, 216));
        EXPECT_EQ(tavrix::test::pixelAt(shot, 12, 200), ui::rgb(0, 0, 0));
        EXPECT_EQ(tavrix::test::pixelAt(shot, 544, 200), ui::rgb(0, 0, 0));
        EXPECT_EQ(tavrix::test::pixelAt(shot, 300, 329), ui::rgb(0, 0, 0));
        Save(editor);
    });
    EXPECT_TRUE(NewCyclePlan(nullptr));
    const auto made = cycles->Find("新建轮巡方案_3");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(CellsOf(*made), (Cells{{"B", 5}, {"D", 5}}));

    // The list and the files give the same back.
    CQelCyclePlanMan reread;
    ASSERT_TRUE(reread.LoadList());
    std::vector<std::string> names;
    for (const auto& cycle : reread.GetPlans())
        names.push_back(cycle->GetName());
    EXPECT_EQ(names, (std::vector<std::string>{"新建轮巡方案_1", "新建轮巡方案_2", "新建轮巡方案_3"}));
    EXPECT_EQ(CellsOf(*reread.Find("新建轮巡方案_3")), (Cells{{"B", 5}, {"D", 5}}));
    EXPECT_EQ(CellsOf(*reread.Find("新建轮巡方案_1")), (Cells{{"A", 5}}));
}

TEST_F(CycleEditor, EditWorksOnACopyUntilSaved)
{
    const auto tour = ListCycle("tour", {{"A", 5}, {"B", 7}});
    const std::string before = ReadText(CQelCyclePlan::FilePath("tour"));
    Script([&](CSetCyclePlanDlg& editor) {
        EXPECT_EQ(editor.windowTitle(), QStringLiteral("编辑轮巡方案"));
        EXPECT_EQ(editor.NameEdit()->text(), QStringLiteral("tour"));
        EXPECT_EQ(Rows(*editor.CycleList()), (TextRows{{"1", "A"}, {"2", "B"}}));
        EXPECT_EQ(Rows(*editor.CycleList(), 2), (TextRows{{"1", "5"}, {"2", "7"}}));
        Type(editor.NameEdit(), "renamed");
        DoubleClickAt(*editor.PlanList(), CellCentre(*editor.PlanList(), 2, 1));
        TypeSeconds(editor, 0, "9");
        QTest::mouseClick(editor.CancelButton(), Qt::LeftButton);
    });
    EXPECT_FALSE(EditCyclePlanAt(nullptr, 0));
    EXPECT_EQ(tour->GetName(), "tour");
    EXPECT_EQ(CellsOf(*tour), (Cells{{"A", 5}, {"B", 7}}));
    EXPECT_EQ(ReadText(CQelCyclePlan::FilePath("tour")), before);
    EXPECT_FALSE(fs::exists(CQelCyclePlan::FilePath("renamed")));

    // Saved under a new name: the file moves and takes the cells.
    Script([&](CSetCyclePlanDlg& editor) {
        Type(editor.NameEdit(), "renamed");
        DoubleClickAt(*editor.PlanList(), CellCentre(*editor.PlanList(), 2, 1));
        Save(editor);
    });
    EXPECT_TRUE(EditCyclePlanAt(nullptr, 0));
    EXPECT_EQ(tour->GetName(), "renamed");
    EXPECT_EQ(CellsOf(*tour), (Cells{{"A", 5}, {"B", 7}, {"C", 5}}));
    EXPECT_FALSE(fs::exists(CQelCyclePlan::FilePath("tour")));
    CQelCyclePlanMan reread;
    ASSERT_TRUE(reread.LoadList());
    ASSERT_EQ(reread.GetPlans().size(), 1u);
    EXPECT_EQ(CellsOf(*reread.Find("renamed")), (Cells{{"A", 5}, {"B", 7}, {"C", 5}}));

    // Its own name: saved and closed without a word.
    const size_t prompts = modal().prompts().size();
    Script([&](CSetCyclePlanDlg& editor) { Save(editor); });
    EXPECT_TRUE(EditCyclePlanAt(nullptr, 0));
    EXPECT_EQ(modal().prompts().size(), prompts + 1); // the editor alone
    EXPECT_FALSE(EditCyclePlanAt(nullptr, 1));
    EXPECT_FALSE(EditCyclePlanAt(nullptr, -1));
    EXPECT_EQ(modal().prompts().size(), prompts + 1);
}

TEST_F(CycleEditor, ContextMenuDeletesARowOrClearsAll)
{
    const auto tour = ListCycle("tour", {{"A", 1}, {"B", 2}, {"C", 3}, {"D", 4}});
    Script([&](CSetCyclePlanDlg& editor) {
        modal().answerMenu(CSetCyclePlanDlg::kCmdDelete);
        RightClickRow(editor, 1);
        const auto& menu = modal().prompts().back().menu;
        ASSERT_EQ(menu.items.size(), 2u);
        EXPECT_EQ(menu.items[0].text, QStringLiteral("删除"));
        EXPECT_EQ(menu.items[1].text, QStringLiteral("清空"));
        // The numbers below the deleted row stay.
        EXPECT_EQ(Rows(*editor.CycleList()), (TextRows{{"1", "A"}, {"3", "C"}, {"4", "D"}}));
        Save(editor);
    });
    EXPECT_TRUE(EditCyclePlanAt(nullptr, 0));
    EXPECT_EQ(CellsOf(*tour), (Cells{{"A", 1}, {"C", 3}, {"D", 4}}));

    Script([&](CSetCyclePlanDlg& editor) {
        modal().answerMenu(CSetCyclePlanDlg::kCmdClear);
        RightClickRow(editor, 0);
        EXPECT_EQ(editor.CycleList()->GetRowCount(), 0);
        // No rows, no menu: an unexpected one would fail here.
        QTest::mouseClick(editor.CycleList(), Qt::RightButton, {}, QPoint(100, 40));
        Save(editor);
    });
    EXPECT_TRUE(EditCyclePlanAt(nullptr, 0));
    EXPECT_TRUE(tour->GetCells().empty());
}

TEST_F(CycleEditor, SecondsTakeOnlyCountsAndRowsMoveTheirCells)
{
    const auto tour = ListCycle("tour", {{"A", 5}, {"B", 6}, {"C", 7}});
    Script([&](CSetCyclePlanDlg& editor) {
        CUiEditSheetCtrl& list = *editor.CycleList();
        TypeSeconds(editor, 0, "12");
        EXPECT_EQ(list.GetItemText(0, 2), "12");
        TypeSeconds(editor, 0, "abc");
        EXPECT_EQ(list.GetItemText(0, 2), "12");
        // 0 and nothing stay as typed, the cell keeps 12: the refused
        // entries after them show the 12 again.
        TypeSeconds(editor, 0, "0");
        EXPECT_EQ(list.GetItemText(0, 2), "0");
        TypeSeconds(editor, 0, "");
        EXPECT_EQ(list.GetItemText(0, 2), "");
        TypeSeconds(editor, 0, "99999999999");
        EXPECT_EQ(list.GetItemText(0, 2), "12");
        TypeSeconds(editor, 0, "0");
        TypeSeconds(editor, 0, "-5");
        EXPECT_EQ(list.GetItemText(0, 2), "12");

        // Row 0 dragged onto row 2.
        QTest::mousePress(&list, Qt::LeftButton, {}, CellCentre(list, 0, 1));
        QTest::mouseMove(&list, CellCentre(list, 1, 1));
        QTest::mouseMove(&list, CellCentre(list, 2, 1));
        QTest::mouseRelease(&list, Qt::LeftButton, {}, CellCentre(list, 2, 1));
        EXPECT_EQ(Rows(list), (TextRows{{"2", "B"}, {"3", "C"}, {"1", "A"}}));
        Save(editor);
    });
    EXPECT_TRUE(EditCyclePlanAt(nullptr, 0));
    EXPECT_EQ(CellsOf(*tour), (Cells{{"B", 6}, {"C", 7}, {"A", 12}}));
}

TEST_F(CycleEditor, SaveRefusesMissingTakenAndUnsafeNames)
{
    ListCycle("other", {{"A", 5}});
    Script([&](CSetCyclePlanDlg& editor) {
        DoubleClickAt(*editor.PlanList(), CellCentre(*editor.PlanList(), 0, 1));
        const std::pair<QString, QString> refusals[] = {
            {"", QStringLiteral("轮巡方案名称不能为空")},
            {"other", QStringLiteral("该轮巡方案名称已经存在")},
            {"a/b", QString::fromUtf8(cycletext::kNameUnsafe)},
        };
        for (const auto& [name, told] : refusals) {
            Type(editor.NameEdit(), name);
            ClickTold(editor.SaveButton());
            EXPECT_EQ(LastTold(), told);
            EXPECT_TRUE(editor.isVisible());
            EXPECT_EQ(editor.NameEdit()->text(), name);
            EXPECT_EQ(editor.CycleList()->GetRowCount(), 1);
        }
        QTest::mouseClick(editor.CancelButton(), Qt::LeftButton);
    });
    EXPECT_FALSE(NewCyclePlan(nullptr));
    ASSERT_EQ(cycles->GetPlans().size(), 1u);
    EXPECT_FALSE(fs::exists(CQelCyclePlan::FilePath("")));
    EXPECT_EQ(CellsOf(*cycles->Find("other")), (Cells{{"A", 5}}));
}
