// The switch matrix headless on the sheet's core, and the switch view with
// its row menu on real processors, one of them on the processor simulator.
#include <QTest>

#include "core/event_pump.h"
#include "builder/pro16x16_switch.h"
#include "model/processor.h"
#include "model/sig_src.h"
#include "tests/builder/sender_test_support.h"
#include "tests/model/link_fixture.h"
#include "tests/support/ui/screenshot.h"
#include "tests/views/view_test_support.h"
#include "uikit/sheet_core.h"
#include "views/switch_grid.h"
#include "views/switch_view.h"
#include "views/view_dialogs.h"

using tavrix::test::pixelAt;
using tavrix::test::Prompt;
using tavrix::test::screenshot;

namespace {

const QString kMark = QString::fromUtf8("√");

// Outputs, then sources in the order given, named "输入<id>", joined and
// 1920 x 1080.
void Equip(CQelProcessor& p, int kind, std::vector<uint32_t> outputs, std::vector<uint32_t> sources)
{
    p.SetKind(kind);
    p.SetOutputResolution(1920, 1080, 60);
    SetTestOutputs(p, outputs, {});
    for (uint32_t id : sources) {
        AddTestSource(p, id, 1920, 1080);
        p.GetSigSrc(id)->SetName("输入" + std::to_string(id));
        p.GetSigSrc(id)->SetJoined(true);
    }
}

std::vector<QString> Row(const SheetCore& sheet, int row)
{
    std::vector<QString> texts;
    for (int c = 0; c < sheet.GetColumnCount(); ++c)
        texts.push_back(sheet.GetItemText(row, c));
    return texts;
}

ui::ColorRef CellBk(const SheetCore& sheet, int row, int column)
{
    const auto* cell = sheet.Row(row) ? sheet.Row(row)->Cell(column) : nullptr;
    return cell ? cell->bkColour : ui::kNoColor;
}

// Saves as the main frame does, under a name fixed by the test.
class SavingAs : public CancellingViewDialogs {
public:
    bool SavePlanAs(QWidget*, const std::shared_ptr<CQelPlan>& plan, std::string& name) override
    {
        ++calls;
        auto copy = plan;
        if (!CQelContext::GetPlanMan()->SavePlanAs(copy, newName))
            return false;
        name = newName;
        return true;
    }
    std::string newName;
    int calls = 0;
};

class SwitchView : public ViewsTest {
protected:
    // A switch view of a new switch plan, on the selected processor.
    void Open()
    {
        plan = NewPlan("切换一", kPlanSwitch);
        host.resize(400, 300);
        view = new CSwitchView(&host);
        view->resize(400, 300);
        view->SetSwitchPlan(plan);
        host.show();
    }

    // Chooses the item of the row menu; `informs` when a message follows.
    void RowMenu(int item, bool informs = false)
    {
        modal().answerMenu(item);
        if (informs)
            modal().expectInform();
        emit view->Sheet().sheetNotify(SheetNotify{kSheetRightClick, 0, 1, 0, 10, 40});
    }

    void Click(int row, int column)
    {
        Rect r;
        ASSERT_TRUE(view->Sheet().GetCellRect(row, column, r));
        QTest::mouseClick(&view->Sheet(), Qt::LeftButton, {}, QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    }

    std::vector<QString> Informed() const
    {
        std::vector<QString> texts;
        for (const Prompt& p : tavrix::test::scriptedModal().prompts())
            if (p.kind == Prompt::Inform)
                texts.push_back(p.text);
        return texts;
    }

    QWidget host;
    CSwitchView* view = nullptr;
    std::shared_ptr<CQelPlan> plan;
};

} // namespace

TEST(SwitchGrid, ColumnsPerOutputAndRowsPerSourceInIdOrder)
{
    SenderContextGuard guard;
    CQelProcessor p;
    Equip(p, 1, {10503, 10504}, {102, 101});
    SheetCore sheet;
    BuildSwitchGrid(sheet, p);
    ASSERT_EQ(sheet.GetColumnCount(), 3);
    EXPECT_EQ(sheet.Header().At(0)->title, "");
    EXPECT_EQ(sheet.Header().At(1)->title, QString::fromUtf8("输出5_4"));
    EXPECT_EQ(sheet.Header().At(2)->title, QString::fromUtf8("输出5_5"));
    EXPECT_EQ(sheet.GetColumnValue(0), -1);
    EXPECT_EQ(sheet.GetColumnValue(2), 10504);
    ASSERT_EQ(sheet.GetRowCount(), 2);
    EXPECT_EQ(sheet.GetRowValue(0), 101);
    EXPECT_EQ(sheet.GetRowValue(1), 102);
    EXPECT_EQ(Row(sheet, 0), (std::vector<QString>{QString::fromUtf8("输入101"), "", ""}));
    EXPECT_EQ(CellBk(sheet, 1, 0), ui::rgb(236, 233, 216));
    EXPECT_EQ(FindRowBySource(sheet, 102), 1);
    EXPECT_EQ(FindRowBySource(sheet, 103), -1);

    // Board and port numbers by model.
    const struct {
        int model, output;
        const char* title;
    } titles[] = {{1, 10503, "输出5_4"}, {8, 11203, "输出4_4"},  {10, 11000, "输出2_1"},
                  {7, 10200, "输出1_1"}, {9, 10315, "输出2_16"}, {3, 1001, "输出-90_2"}};
    for (const auto& t : titles)
        EXPECT_EQ(OutputColumnTitle(t.output, t.model), QString::fromUtf8(t.title)) << t.model;
}

TEST(SwitchGrid, MarksOnlyRoutesTheGridCanShow)
{
    SenderContextGuard guard;
    CQelProcessor p;
    Equip(p, 1, {10503, 10504, 10505}, {101, 102});
    SheetCore sheet;
    BuildSwitchGrid(sheet, p);
    CQelPlan plan;
    plan.SetSwitch(10503, 102);
    plan.SetSwitch(10504, 777); // no such source
    plan.SetSwitch(10599, 101); // no such output
    RefreshSwitchGrid(sheet, p, &plan);
    EXPECT_EQ(Row(sheet, 0), (std::vector<QString>{QString::fromUtf8("输入101"), "", "", ""}));
    EXPECT_EQ(Row(sheet, 1), (std::vector<QString>{QString::fromUtf8("输入102"), kMark, "", ""}));
    EXPECT_EQ(CellBk(sheet, 1, 1), ui::rgb(255, 251, 195));

    // Refreshing without a plan clears every mark to white.
    RefreshSwitchGrid(sheet, p, nullptr);
    EXPECT_EQ(Row(sheet, 1)[1], "");
    EXPECT_EQ(CellBk(sheet, 1, 1), ui::rgb(255, 255, 255));
}

TEST(SwitchGrid, ClicksSetMoveAndClearOneRoutePerOutput)
{
    SenderContextGuard guard;
    CQelProcessor p;
    Equip(p, 1, {10503, 10504}, {101, 102});
    SheetCore sheet;
    BuildSwitchGrid(sheet, p);
    CQelPlan plan;

    EXPECT_TRUE(ClickSwitchCell(sheet, plan, 0, 1));
    EXPECT_EQ(plan.GetSwitch(10503), 101);
    EXPECT_TRUE(plan.IsDirty());
    EXPECT_EQ(sheet.GetItemText(0, 1), kMark);
    EXPECT_TRUE(ClickSwitchCell(sheet, plan, 1, 1)); // the mark moves
    EXPECT_EQ(plan.GetSwitch(10503), 102);
    EXPECT_EQ(sheet.GetItemText(0, 1), "");
    EXPECT_EQ(sheet.GetItemText(1, 1), kMark);
    plan.SetDirty(false);
    EXPECT_TRUE(ClickSwitchCell(sheet, plan, 1, 1)); // again: the route goes
    EXPECT_EQ(plan.GetSwitch(10503), -1);
    EXPECT_TRUE(plan.IsDirty());
    EXPECT_EQ(sheet.GetItemText(1, 1), "");
    EXPECT_EQ(CellBk(sheet, 1, 1), ui::rgb(255, 255, 255));

    // The name column, cells outside the matrix, and -1 values do nothing.
    plan.SetDirty(false);
    sheet.SetRowValue(1, -1);
    for (auto [row, column] : {std::pair{0, 0}, {-1, 1}, {0, -1}, {2, 1}, {0, 3}, {1, 2}})
        EXPECT_FALSE(ClickSwitchCell(sheet, plan, row, column)) << row << "," << column;
    EXPECT_FALSE(plan.IsDirty());
    EXPECT_TRUE(plan.GetSwitchMap().empty());

    // Clearing the table is an edit like any other.
    plan.SetSwitch(10504, 101);
    plan.SetDirty(false);
    ClearSwitchRoutes(plan);
    EXPECT_TRUE(plan.GetSwitchMap().empty());
    EXPECT_TRUE(plan.IsDirty());
}

TEST_F(SwitchView, ClicksRouteSourcesAndShowTheMarks)
{
    SenderContextGuard guard;
    auto p = std::make_shared<CQelProcessor>();
    Equip(*p, 1, {10503, 10504}, {102, 101});
    SelectTestProcessor(p);
    Open();
    Click(0, 1);
    EXPECT_EQ(plan->GetSwitchMap(), (std::map<int32_t, int32_t>{{10503, 101}}));
    EXPECT_TRUE(plan->IsDirty());

    // A renamed source shows its new name; another processor's does not.
    p->GetSigSrc(102)->SetName("摄像机");
    PostEvent(new CSigSrcRenameEvent(2, 102));
    PumpEvents();
    EXPECT_EQ(view->Sheet().GetItemText(1, 0), QString::fromUtf8("输入102"));
    PostEvent(new CSigSrcRenameEvent(1, 102));
    PumpEvents();
    EXPECT_EQ(view->Sheet().GetItemText(1, 0), QString::fromUtf8("摄像机"));

    const QImage shot = screenshot(*view);
    Rect name, routed, plain;
    ASSERT_TRUE(view->Sheet().GetCellRect(0, 0, name));
    ASSERT_TRUE(view->Sheet().GetCellRect(0, 1, routed));
    ASSERT_TRUE(view->Sheet().GetCellRect(1, 2, plain));
    EXPECT_EQ(pixelAt(shot, name.right - 4, name.top + 4), ui::rgb(236, 233, 216));
    EXPECT_EQ(pixelAt(shot, routed.left + 4, routed.top + 4), ui::rgb(255, 251, 195));
    EXPECT_EQ(pixelAt(shot, plain.left + 4, plain.top + 4), ui::rgb(255, 255, 255));
    EXPECT_EQ(pixelAt(shot, 390, 290), ui::rgb(128, 128, 128)); // below the rows
}

TEST_F(SwitchView, WithoutAProcessorTheMatrixIsEmptyAndSendingDoesNothing)
{
    Open();
    EXPECT_EQ(view->Sheet().GetColumnCount(), 0);
    EXPECT_EQ(view->Sheet().GetRowCount(), 0);
    RowMenu(CSwitchView::kMenuSend);
    EXPECT_EQ(modal().prompts().size(), 1u); // the menu alone
}

TEST_F(SwitchView, RowMenuSavesClearsAndTellsWhatFailed)
{
    SenderContextGuard guard;
    auto p = std::make_shared<CQelProcessor>();
    Equip(*p, 1, {10503}, {101});
    SelectTestProcessor(p);
    Open();
    RowMenu(0);
    const ui::MenuSpec menu = modal().prompts().back().menu;
    ASSERT_EQ(menu.items.size(), 5u);
    EXPECT_TRUE(menu.items[2].separator);
    EXPECT_EQ(menu.items[4].text, QString::fromUtf8("另存为"));

    RowMenu(CSwitchView::kMenuSend, true);
    Click(0, 1);
    RowMenu(CSwitchView::kMenuSave);
    EXPECT_TRUE(std::filesystem::exists(PlanFile("切换一")));
    EXPECT_FALSE(plan->IsDirty());

    RowMenu(CSwitchView::kMenuClear);
    EXPECT_TRUE(plan->IsDirty());
    EXPECT_TRUE(plan->GetSwitchMap().empty());
    EXPECT_EQ(view->Sheet().GetItemText(0, 1), "");

    // Save as shows the copy from then on.
    SavingAs dialogs;
    dialogs.newName = "切换二";
    IViewDialogs* previous = setViewDialogs(&dialogs);
    RowMenu(CSwitchView::kMenuSaveAs);
    setViewDialogs(previous);
    EXPECT_EQ(dialogs.calls, 1);
    ASSERT_NE(view->GetSwitchPlan(), plan);
    EXPECT_EQ(view->GetSwitchPlan()->GetName(), "切换二");
    EXPECT_TRUE(std::filesystem::exists(PlanFile("切换二")));
    plan = view->GetSwitchPlan();

    BlockPlanFolder();
    Click(0, 1);
    modal().expectInform();
    view->OnCommand(CSwitchView::kCmdSave);
    EXPECT_TRUE(plan->IsDirty());
    EXPECT_EQ(Informed(), (std::vector<QString>{QString::fromUtf8("处理器未连接，请连接处理器！"),
                                                QString::fromUtf8("方案保存失败，请重试!")}));
}

TEST_F(SwitchView, SendsOnTheSimulatorWhatTheSwitchSenderQueues)
{
    platform::ScaledClock clock(10);
    LinkFixture link(clock, 1, 0);
    SenderContextGuard guard;
    Equip(*link.processor, 1, {1000, 1001}, {101, 102});
    AddTestBoards(*link.processor, {{10, 21}});
    SelectTestProcessor(link.processor);
    ASSERT_TRUE(tavrix::test::pumpUntil([&] { return link.processor->IsConnected(); }));
    Open();
    Click(1, 1);
    Click(0, 2);

    // A model without a switch path reports the failure.
    RowMenu(CSwitchView::kMenuSend, true);
    EXPECT_EQ(Informed(), std::vector<QString>{QString::fromUtf8("发送失败!请重试!")});

    link.processor->SetKind(3);
    const auto direct = [&] {
        CPro16x16SwitchSender sender(plan.get());
        EXPECT_TRUE(sender.Send());
        return link.SentBefore();
    };
    link.SentBefore();
    RowMenu(CSwitchView::kMenuSend);
    const std::vector<std::string> sent = link.SentBefore();
    EXPECT_EQ(sent, direct());
    EXPECT_NE(std::find(sent.begin(), sent.end(), "GP BPSW 1 2 0 0\r\n"), sent.end());

    RowMenu(CSwitchView::kMenuClear);
    RowMenu(CSwitchView::kMenuSend);
    const std::vector<std::string> cleared = link.SentBefore();
    EXPECT_EQ(cleared, direct());
    EXPECT_FALSE(cleared.empty());
    EXPECT_EQ(std::count_if(cleared.begin(), cleared.end(),
                            [](const std::string& line) { return line.starts_with("GP BPSW"); }),
              0);
    EXPECT_EQ(Informed().size(), 1u);
}
