// The output resolution, matrix switch and about dialogs driven as the
// operator drives them, against a processor of the simulator.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include "context/context.h"
#include "core/event_pump.h"
#include "core/event_queue.h"
#include "corlane/app_path.h"
#include "corlane/fstr.h"
#include "dialogs/about_text.h"
#include "dialogs/matrix_switch.h"
#include "dialogs/matrix_switch_dlg.h"
#include "dialogs/set_out_resolution_dlg.h"
#include "dialogs/zem_about_dlg.h"
#include "model/processor_link.h"
#include "model/processor_records.h"
#include "model/processor_settings.h"
#include "tests/builder/sender_test_support.h"
#include "tests/dialogs/dialog_test_support.h"
#include "tests/model/link_fixture.h"
#include "tests/support/recording_channel.h"
#include "tests/support/test_files.h"
#include "tests/support/ui/screenshot.h"
#include "uikit/ui_edit_sheet_ctrl.h"

using namespace dialogtest;
using tavrix::test::countColour;
using tavrix::test::pixelAt;
using tavrix::test::pumpUntil;
using tavrix::test::screenshot;

namespace {

using Entry = CQelProcessor::ResolutionEntry;

// How many pixels of the rectangle differ from `colour`.
int CountOther(const QImage& image, const Rect& r, ui::ColorRef colour)
{
    return (r.right - r.left) * (r.bottom - r.top) - countColour(image, r, colour);
}

Rect ToRect(const QRect& r)
{
    return Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

// A connected processor of the simulator, selected in the context.
class DeviceDialog : public tavrix::test::UiTest {
protected:
    void SetUp() override
    {
        CEvtQueue::get_instance().Clear();
        CQelContext::SetSelSigSrc(1, -1);
        ASSERT_TRUE(pumpUntil([&] { return link.processor->IsConnected(); }));
    }
    void TearDown() override
    {
        CEvtQueue::get_instance().Clear();
        tavrix::test::UiTest::TearDown();
    }

    // Runs `dialog` through the seam, `work` acting as the operator.
    template <class Dialog>
    int Run(Dialog& dialog, std::function<void(Dialog&)> work)
    {
        modal().answerDialog([&dialog, work](QDialog& shown) {
            EXPECT_EQ(&shown, &dialog);
            Open(shown);
            work(dialog);
            return shown.result();
        });
        return dialog.DoModal();
    }

    void Disconnect()
    {
        link.channel->Close();
        ASSERT_TRUE(pumpUntil([&] { return !link.processor->IsConnected(); }));
    }

    platform::ScaledClock clock{10};
    LinkFixture link{clock, 7, 0};
};

// ---------------------------------------------------------------------------
// Output resolution

class OutputResolutionDialog : public DeviceDialog {
protected:
    void SetUp() override
    {
        DeviceDialog::SetUp();
        link.processor->records().SetResolutionList({{3, "1080p60", {1920, 1080, 60}},
                                                     {5, "1080i50", {1920, 1080, 50000}},
                                                     {255, "800x600 60Hz", {800, 600, 60}},
                                                     {7, "720p60", {1280, 720, 60}}});
        link.processor->records().SetCustomizeResolutionSwitch(0);
    }

    // A picture splitter whose outputs show the given resolutions.
    void MakeSplitter(Resolution first, Resolution second)
    {
        link.processor->SetKind(outres::kSplitterKind);
        AddTestBoards(*link.processor, {{14, 2}});
        SetTestOutputs(*link.processor, {outres::kFirstOutputId, outres::kSecondOutputId}, {});
        link.processor->GetSigOut(outres::kFirstOutputId)->SetName("输出一");
        link.processor->GetSigOut(outres::kSecondOutputId)->SetName("输出二");
        link.processor->GetSigOut(outres::kFirstOutputId)->SetResolution(first);
        link.processor->GetSigOut(outres::kSecondOutputId)->SetResolution(second);
    }

    static QStringList Texts(const QComboBox& list)
    {
        QStringList texts;
        for (int i = 0; i < list.count(); ++i)
            texts << list.itemText(i);
        return texts;
    }
    static std::vector<uint32_t> Ids(const QComboBox& list)
    {
        std::vector<uint32_t> ids;
        for (int i = 0; i < list.count(); ++i)
            ids.push_back(list.itemData(i).toUInt());
        return ids;
    }
};

TEST_F(OutputResolutionDialog, ListsTheEntriesAndSelectsTheProcessorsId)
{
    link.processor->records().SetCustomizeResolutionSwitch(1);
    CSetOutResolutionDlg dialog;
    dialog.m_nResolutionId = 5;
    QImage shot;
    Run<CSetOutResolutionDlg>(dialog, [&](CSetOutResolutionDlg& d) {
        EXPECT_EQ(Texts(*d.FirstList()), (QStringList{"1080p60", "1080i50", "800x600 60Hz", "720p60"}));
        EXPECT_EQ(Ids(*d.FirstList()), (std::vector<uint32_t>{3, 5, 255, 7}));
        EXPECT_EQ(d.FirstList()->currentIndex(), 1);
        EXPECT_FALSE(d.SecondList()->isVisible());
        EXPECT_FALSE(d.SecondLabel()->isVisible());
        EXPECT_EQ(d.FirstLabel()->text(), QStringLiteral("分辨率:"));
        EXPECT_EQ(d.CustomCheck()->text(), QStringLiteral("自定义分辨率"));
        // The custom entry fills the edits; the switch comes from the processor.
        EXPECT_EQ(d.WidthEdit()->text(), QStringLiteral("800"));
        EXPECT_EQ(d.HeightEdit()->text(), QStringLiteral("600"));
        EXPECT_TRUE(d.CustomCheck()->isChecked());
        EXPECT_FALSE(d.FirstList()->isEnabled());
        EXPECT_TRUE(d.WidthEdit()->isEnabled());
        shot = screenshot(d);
        QTest::mouseClick(d.CancelButton(), Qt::LeftButton);
    });
    // One list: where the second would be, the group's face only.
    const ui::ColorRef face = pixelAt(shot, dialog.SecondList()->x() - 1, dialog.SecondList()->y() + 12);
    EXPECT_EQ(CountOther(shot, ToRect(dialog.SecondList()->geometry()), face), 0);
    EXPECT_GT(CountOther(shot, ToRect(dialog.FirstList()->geometry()), face), 100);

    // An id the list lacks selects the first entry.
    CSetOutResolutionDlg other;
    other.m_nResolutionId = 42;
    Run<CSetOutResolutionDlg>(other, [&](CSetOutResolutionDlg& d) {
        EXPECT_EQ(d.FirstList()->currentIndex(), 0);
        QTest::mouseClick(d.CancelButton(), Qt::LeftButton);
    });
}

TEST_F(OutputResolutionDialog, SplitterChoosesOneResolutionForEachOutput)
{
    MakeSplitter({1280, 720, 60}, {1920, 1080, 50000});
    CSetOutResolutionDlg dialog;
    dialog.m_nResolutionId = 3;
    QImage shot;
    const int result = Run<CSetOutResolutionDlg>(dialog, [&](CSetOutResolutionDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("画面分割器设置"));
        EXPECT_EQ(d.FirstLabel()->text(), QStringLiteral("输出一"));
        EXPECT_EQ(d.SecondLabel()->text(), QStringLiteral("输出二"));
        EXPECT_EQ(Texts(*d.SecondList()),
                  (QStringList{"1920 x 1080 p60", "1920 x 1080 i50", "800 x 600 p60", "1280 x 720 p60"}));
        EXPECT_EQ(Ids(*d.SecondList()), (std::vector<uint32_t>{3, 5, 255, 7}));
        EXPECT_EQ(d.FirstList()->currentIndex(), 3);
        EXPECT_EQ(d.SecondList()->currentIndex(), 1);
        EXPECT_TRUE(d.SecondList()->isVisible());
        shot = screenshot(d);
        d.SecondList()->setCurrentIndex(2);
        QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(dialog.m_nResolutionId, 7u);
    EXPECT_EQ(dialog.m_firstResolution, (Resolution{1280, 720, 60}));
    EXPECT_EQ(dialog.m_secondResolution, (Resolution{800, 600, 60}));
    const ui::ColorRef face = pixelAt(shot, 2, 2);
    EXPECT_GT(CountOther(shot, ToRect(dialog.SecondList()->geometry()), face), 100);

    // Outputs that match no entry select the first of each list.
    link.processor->GetSigOut(outres::kFirstOutputId)->SetResolution({1, 1, 1});
    link.processor->GetSigOut(outres::kSecondOutputId)->SetResolution({2, 2, 2});
    CSetOutResolutionDlg unmatched;
    Run<CSetOutResolutionDlg>(unmatched, [&](CSetOutResolutionDlg& d) {
        EXPECT_EQ(d.FirstList()->currentIndex(), 0);
        EXPECT_EQ(d.SecondList()->currentIndex(), 0);
        QTest::mouseClick(d.CancelButton(), Qt::LeftButton);
    });
}

TEST_F(OutputResolutionDialog, CustomSizeReplacesTheCustomEntry)
{
    CSetOutResolutionDlg dialog;
    dialog.m_nResolutionId = 3;
    const int result = Run<CSetOutResolutionDlg>(dialog, [&](CSetOutResolutionDlg& d) {
        QTest::mouseClick(d.CustomCheck(), Qt::LeftButton);
        EXPECT_EQ(link.processor->records().GetCustomizeResolutionSwitch(), 1);
        EXPECT_FALSE(d.FirstList()->isEnabled());
        // Empty, zero, letters and sizes past 16 bits are refused; the
        // dialog stays open and the list unchanged.
        for (const char* width : {"", "0", "12a", "65536", "-1280"}) {
            Type(d.WidthEdit(), QString::fromUtf8(width));
            Type(d.HeightEdit(), QStringLiteral("720"));
            ClickTold(d.OkButton());
            EXPECT_EQ(LastTold(), QStringLiteral("自定义分辨率设置格式错误！")) << width;
            EXPECT_TRUE(d.isVisible()) << width;
        }
        EXPECT_EQ(link.processor->records().GetResolutionList().size(), 4u);
        Type(d.WidthEdit(), QStringLiteral("1280"));
        QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(dialog.m_nResolutionId, 255u);
    EXPECT_EQ(dialog.m_firstResolution, (Resolution{1280, 720, 60}));
    EXPECT_EQ(dialog.m_secondResolution, (Resolution{0, 0, 60}));
    EXPECT_EQ(link.processor->records().GetResolutionList(),
              (std::vector<Entry>{{3, "1080p60", {1920, 1080, 60}},
                                  {5, "1080i50", {1920, 1080, 50000}},
                                  {7, "720p60", {1280, 720, 60}},
                                  {255, "1280x720 60Hz", {1280, 720, 60}}}));

    // Toggled back and cancelled: the switch stays off.
    CSetOutResolutionDlg again;
    const int cancelled = Run<CSetOutResolutionDlg>(again, [&](CSetOutResolutionDlg& d) {
        EXPECT_TRUE(d.CustomCheck()->isChecked());
        EXPECT_EQ(d.WidthEdit()->text(), QStringLiteral("1280"));
        QTest::mouseClick(d.CustomCheck(), Qt::LeftButton);
        EXPECT_TRUE(d.FirstList()->isEnabled());
        EXPECT_FALSE(d.HeightEdit()->isEnabled());
        QTest::mouseClick(d.CancelButton(), Qt::LeftButton);
    });
    EXPECT_EQ(cancelled, QDialog::Rejected);
    EXPECT_EQ(link.processor->records().GetCustomizeResolutionSwitch(), 0);
}

TEST_F(OutputResolutionDialog, WithoutAProcessorListsStayEmptyAndOkDoesNothing)
{
    CQelContext::SetSelSigSrc(-1, -1);
    CSetOutResolutionDlg dialog;
    const int result = Run<CSetOutResolutionDlg>(dialog, [&](CSetOutResolutionDlg& d) {
        EXPECT_EQ(d.FirstList()->count(), 0);
        EXPECT_EQ(d.SecondList()->count(), 0);
        QTest::mouseClick(d.OkButton(), Qt::LeftButton);
        EXPECT_TRUE(d.isVisible());
        QTest::mouseClick(d.CancelButton(), Qt::LeftButton);
    });
    EXPECT_EQ(result, QDialog::Rejected);
}

// ---------------------------------------------------------------------------
// Matrix switch

class MatrixSwitchDialog : public DeviceDialog {
protected:
    static void Add(CDlgMatrixSwitch& d, int input, int output)
    {
        d.InputList()->setCurrentIndex(input - 1);
        d.OutputList()->setCurrentIndex(output - 1);
        QTest::mouseClick(d.AddButton(), Qt::LeftButton);
    }
    static void RightClickRow(CDlgMatrixSwitch& d, int row)
    {
        Rect cell;
        ASSERT_TRUE(d.List()->GetCellRect(row, 1, cell));
        QTest::mouseClick(d.List(), Qt::RightButton, Qt::NoModifier,
                          QPoint((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
    }
};

TEST_F(MatrixSwitchDialog, AddsPairsAndSendsThemAsOneLine)
{
    link.SentBefore();
    CDlgMatrixSwitch dialog;
    QImage shot;
    Run<CDlgMatrixSwitch>(dialog, [&](CDlgMatrixSwitch& d) {
        const QStringList numbers{"1", "2", "3", "4", "5"};
        for (QComboBox* list : {d.InputList(), d.OutputList()}) {
            QStringList texts;
            for (int i = 0; i < list->count(); ++i)
                texts << list->itemText(i);
            EXPECT_EQ(texts, numbers);
        }
        EXPECT_EQ(d.AddButton()->text(), QStringLiteral("添加"));
        EXPECT_EQ(d.SendButton()->text(), QStringLiteral("发送"));

        // Nothing added: nothing sent, nothing told.
        const size_t before = modal().prompts().size();
        QTest::mouseClick(d.SendButton(), Qt::LeftButton);
        EXPECT_EQ(modal().prompts().size(), before);

        Add(d, 3, 1);
        EXPECT_EQ(d.List()->GetItemText(0, 0), QStringLiteral("1"));
        EXPECT_EQ(d.List()->GetItemText(0, 1), QStringLiteral("输入3至输出1"));
        EXPECT_EQ(d.Tokens(), (std::vector<std::string>{"3D1"}));
        shot = screenshot(d);
    });
    // The arrow between the lists, and nothing black just left of it.
    const QPoint at = CDlgMatrixSwitch::kArrowAt;
    EXPECT_GT(countColour(shot, Rect{at.x(), at.y(), at.x() + 24, at.y() + 16}, ui::rgb(0, 0, 0)), 0);
    EXPECT_EQ(countColour(shot, Rect{at.x() - 10, at.y(), at.x(), at.y() + 16}, ui::rgb(0, 0, 0)), 0);
    EXPECT_TRUE(link.SentBefore().empty());
}

TEST_F(MatrixSwitchDialog, SendsTheTokensSixteenToALine)
{
    link.SentBefore();
    struct Case {
        std::vector<std::pair<int, int>> pairs;
        std::vector<std::string> lines;
    };
    std::vector<std::pair<int, int>> sixteen;
    std::string line16 = "*";
    for (int i = 0; i < 16; ++i) {
        sixteen.emplace_back(i % 5 + 1, i / 5 + 1);
        line16 += (i ? ";" : "") + SwitchToken(i % 5 + 1, i / 5 + 1);
    }
    line16 += "#\r\n";
    auto seventeen = sixteen;
    seventeen.emplace_back(2, 2);
    const Case cases[] = {
        {{{1, 1}, {2, 3}}, {"*1D1;2D3#\r\n"}},
        {{{4, 4}, {4, 4}}, {"*4D4;4D4#\r\n"}}, // a pair added twice is sent twice
        {sixteen, {line16}},
        {seventeen, {line16, "*2D2#\r\n"}},
    };
    // The pauses after full lines are the core's; here the lines as sent.
    for (const Case& c : cases) {
        CDlgMatrixSwitch dialog;
        Run<CDlgMatrixSwitch>(dialog, [&](CDlgMatrixSwitch& d) {
            for (auto [input, output] : c.pairs)
                Add(d, input, output);
            ClickTold(d.SendButton());
            EXPECT_EQ(LastTold(), QStringLiteral("发送完成！"));
            QTest::mouseClick(d.OkButton(), Qt::LeftButton);
        });
        EXPECT_EQ(link.SentBefore(), c.lines) << c.pairs.size();
    }

    // Disconnected: told, nothing sent.
    Disconnect();
    std::vector<std::string> queued;
    link.processor->link().SetPushObserver([&](std::string_view text, int32_t) { queued.emplace_back(text); });
    CDlgMatrixSwitch dialog;
    Run<CDlgMatrixSwitch>(dialog, [&](CDlgMatrixSwitch& d) {
        Add(d, 1, 1);
        ClickTold(d.SendButton());
        EXPECT_EQ(LastTold(), QStringLiteral("请连接画面处理器！"));
        QTest::mouseClick(d.CancelButton(), Qt::LeftButton);
    });
    link.processor->link().SetPushObserver({});
    EXPECT_TRUE(queued.empty());
}

TEST_F(MatrixSwitchDialog, RowMenuDeletesOneRowOrClearsAll)
{
    CDlgMatrixSwitch dialog;
    Run<CDlgMatrixSwitch>(dialog, [&](CDlgMatrixSwitch& d) {
        // No rows: no menu.
        const size_t before = modal().prompts().size();
        QTest::mouseClick(d.List(), Qt::RightButton, Qt::NoModifier, QPoint(50, 60));
        d.OnListRClick(SheetNotify{kSheetRightClick, -1, 0, 0, 0, 0});
        EXPECT_EQ(modal().prompts().size(), before);

        Add(d, 1, 1);
        Add(d, 2, 2);
        Add(d, 3, 3);
        modal().answerMenu([](const ui::MenuSpec& menu, ui::PopupWatcher*) {
            EXPECT_EQ(menu.items.size(), 2u);
            EXPECT_EQ(menu.find(1)->text, QStringLiteral("删除"));
            EXPECT_EQ(menu.find(2)->text, QStringLiteral("清空"));
            return 1;
        });
        RightClickRow(d, 1);
        EXPECT_EQ(d.Tokens(), (std::vector<std::string>{"1D1", "3D3"}));
        EXPECT_EQ(d.List()->GetRowCount(), 2);
        EXPECT_EQ(d.List()->GetItemText(1, 1), QStringLiteral("输入3至输出3"));

        modal().answerMenu(0); // dismissed: nothing changes
        RightClickRow(d, 0);
        EXPECT_EQ(d.Tokens().size(), 2u);
        modal().answerMenu(2);
        RightClickRow(d, 0);
        EXPECT_TRUE(d.Tokens().empty());
        EXPECT_EQ(d.List()->GetRowCount(), 0);
        QTest::mouseClick(d.CancelButton(), Qt::LeftButton);
    });
}

// ---------------------------------------------------------------------------
// About

class AboutDialog : public DeviceDialog {
protected:
    void SetUp() override
    {
        DeviceDialog::SetUp();
        std::filesystem::create_directories(qz::vok::path::GetSysPath());
        std::filesystem::remove(AboutFilePath());
    }
    void TearDown() override
    {
        std::filesystem::remove(AboutFilePath());
        DeviceDialog::TearDown();
    }

    // Delivers posted events until the label shows `text`.
    static bool Shows(QLabel* label, const QString& text)
    {
        return pumpUntil([&] {
            PumpEvents();
            return label->text() == text;
        });
    }
};

TEST_F(AboutDialog, ShowsTheAboutFileInItsCodePage)
{
    std::string ansi;
    ASSERT_TRUE(qz::vok::fstr_utf8toansi("视频墙控制软件\r\n版本 3.2", ansi));
    tavrix::test::WriteText(AboutFilePath(), ansi);
    CZemAboutDlg dialog;
    QImage shot;
    Run<CZemAboutDlg>(dialog, [&](CZemAboutDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("关于"));
        EXPECT_EQ(d.CloseButton()->text(), QStringLiteral("关闭"));
        EXPECT_EQ(d.FpgaButton()->text(), QStringLiteral("获取FPGA版本"));
        EXPECT_EQ(d.McuButton()->text(), QStringLiteral("获取单片机版本"));
        EXPECT_EQ(d.AboutText()->text(), QStringLiteral("视频墙控制软件\n版本 3.2"));
        shot = screenshot(d);
        QTest::mouseClick(d.CloseButton(), Qt::LeftButton);
        EXPECT_FALSE(d.isVisible());
    });
    const ui::ColorRef face = pixelAt(shot, 2, 2);
    EXPECT_GT(CountOther(shot, ToRect(dialog.AboutText()->geometry()), face), 50);
}

TEST_F(AboutDialog, QueriesVersionsAndShowsTheReplies)
{
    link.processor->SetKind(8);
    link.SentBefore();
    link.simulator.Respond("GP GFPV", [](const std::string&, int nth) {
        std::vector<ProcessorSimulator::Answer> answers{{"GP GFPV 171\r\n"}, {"GP GSFPV 2 171\r\n"}};
        if (nth > 1)
            answers = {{"GP GFPV 16\r\n"}};
        return std::optional(answers);
    });
    link.simulator.Respond("GP GFWV", [](const std::string&, int) {
        return std::optional(std::vector<ProcessorSimulator::Answer>{{"GP GFWV 1 2 3\r\n"}});
    });
    CZemAboutDlg dialog;
    Run<CZemAboutDlg>(dialog, [&](CZemAboutDlg& d) {
        // A board keeps its first text until the list is emptied.
        link.processor->settings().AddFpgaVersion(0, "主控板：old\r\n");
        QTest::mouseClick(d.FpgaButton(), Qt::LeftButton);
        EXPECT_TRUE(Shows(d.FpgaText(), QStringLiteral("主控板：ab\n输入板2:ab\n")));
        EXPECT_EQ(link.SentBefore(), (std::vector<std::string>{"GP GFPV 0xff\r\n"}));

        // A second press starts from an empty list.
        QTest::mouseClick(d.FpgaButton(), Qt::LeftButton);
        EXPECT_TRUE(Shows(d.FpgaText(), QStringLiteral("主控板：10\n")));

        QTest::mouseClick(d.McuButton(), Qt::LeftButton);
        EXPECT_TRUE(Shows(d.McuText(), QStringLiteral("主控板：1 2 3\n")));
        EXPECT_EQ(link.SentBefore(), (std::vector<std::string>{"GP GFPV 0xff\r\n", "GP GFWV 0xff\r\n"}));

        // Disconnected: told, nothing sent, the texts kept.
        Disconnect();
        std::vector<std::string> queued;
        link.processor->link().SetPushObserver([&](std::string_view text, int32_t) { queued.emplace_back(text); });
        ClickTold(d.FpgaButton());
        EXPECT_EQ(LastTold(), QStringLiteral("处理器未连接，请连接处理器！"));
        ClickTold(d.McuButton());
        EXPECT_EQ(LastTold(), QStringLiteral("处理器未连接，请连接处理器！"));
        link.processor->link().SetPushObserver({});
        EXPECT_TRUE(queued.empty());
        EXPECT_EQ(d.FpgaText()->text(), QStringLiteral("主控板：10\n"));
        QTest::mouseClick(d.CloseButton(), Qt::LeftButton);
    });
}

} // namespace
