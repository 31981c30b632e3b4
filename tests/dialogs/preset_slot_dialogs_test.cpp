// The preset recall panel opened by the frame's saved-plan button: recall,
// renaming by Ctrl+click, and the processors it must not touch.
#include <QImage>

#include "comm/net_manager.h"
#include "context/context.h"
#include "core/event_queue.h"
#include "corlane/app_path.h"
#include "dialogs/preset_slot_dlg.h"
#include "model/processor_jobs.h"
#include "model/processor_link.h"
#include "model/processor_manager.h"
#include "model/processor_settings.h"
#include "tests/builder/sender_test_support.h"
#include "tests/dialogs/dialog_test_support.h"
#include "tests/model/busy_processor.h"
#include "tests/model/link_fixture.h"
#include "tests/support/recording_channel.h"
#include "tests/support/ui/screenshot.h"

using namespace dialogtest;

namespace {

class RecallPanel : public tavrix::test::UiTest {
protected:
    void SetUp() override
    {
        CEvtQueue::get_instance().Clear();
        AddTestSource(*link.processor, 101, 1920, 1080);
        auto options = link.processor->settings().GetAppOptions();
        options.planPatternCount = 8;
        link.processor->settings().SetAppOptions(options);
        CQelContext::SetSelSigSrc(1, 101);
        ASSERT_TRUE(tavrix::test::pumpUntil([&] { return link.processor->IsConnected(); }));
    }

    // Opens the panel from the wall view's button and runs `work` on it.
    void Panel(std::function<void(C4H1ShortcutKeysReadPlanDlg&)> work, int viewKind = 2)
    {
        modal().answerDialog([work](QDialog& dialog) {
            auto* panel = dynamic_cast<C4H1ShortcutKeysReadPlanDlg*>(&dialog);
            EXPECT_NE(panel, nullptr);
            if (!panel)
                return int(QDialog::Rejected);
            Open(dialog);
            work(*panel);
            QTest::mouseClick(panel->OkButton(), Qt::LeftButton);
            return dialog.result();
        });
        OnRecallPreset(nullptr, viewKind);
    }

    // Answers the name prompt with each entry in turn; empty ones are told.
    void AnswerName(std::vector<QString> entries, const QString& old, bool cancel = false)
    {
        modal().answerDialog([entries, old, cancel](QDialog& dialog) {
            auto* prompt = dynamic_cast<CDlgModifySavedPlanName*>(&dialog);
            EXPECT_NE(prompt, nullptr);
            if (!prompt)
                return int(QDialog::Rejected);
            Open(dialog);
            EXPECT_EQ(prompt->NameEdit()->text(), old);
            for (const QString& entry : entries) {
                Type(prompt->NameEdit(), entry);
                if (entry.isEmpty()) {
                    ClickTold(prompt->OkButton());
                    EXPECT_EQ(LastTold(), QStringLiteral("请输入新的方案名称!"));
                    EXPECT_TRUE(dialog.isVisible());
                } else {
                    QTest::mouseClick(prompt->OkButton(), Qt::LeftButton);
                }
            }
            if (cancel)
                QTest::mouseClick(prompt->CancelButton(), Qt::LeftButton);
            return dialog.result();
        });
    }

    platform::SteadyClock clock;
    LinkFixture link{clock, 2, 0};
};

void CtrlClick(QPushButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::ControlModifier);
}

} // namespace

TEST_F(RecallPanel, RecallsSlotsAndTheDefaultLayout)
{
    link.SentBefore();
    Panel([&](C4H1ShortcutKeysReadPlanDlg& panel) {
        EXPECT_EQ(panel.windowTitle(), QStringLiteral("显示处理器保存方案"));
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            EXPECT_EQ(panel.SlotButton(slot)->isEnabled(), slot <= 8) << slot;
            EXPECT_EQ(panel.SlotButton(slot)->objectName(), QString::number(kSlotButtonIds[size_t(slot - 1)]));
            EXPECT_EQ(panel.SlotButton(slot)->text(), QString::number(slot)); // unnamed: the number
        }
        ClickTold(panel.SlotButton(3));
        EXPECT_EQ(LastTold(), QStringLiteral("模式调用成功！"));
        EXPECT_EQ(panel.DefaultLayoutButton()->text(), QStringLiteral("显示默认方案"));
        ClickTold(panel.DefaultLayoutButton());
        EXPECT_TRUE(panel.isVisible()); // stays for the next recall
    });
    EXPECT_EQ(link.SentBefore(), (std::vector<std::string>{"GP LDM 3\r\n", "GP LDM 0\r\n"}));

    // Disconnected: told, nothing sent.
    link.channel->Close();
    ASSERT_TRUE(tavrix::test::pumpUntil([&] { return !link.processor->IsConnected(); }));
    Panel([&](C4H1ShortcutKeysReadPlanDlg& panel) {
        ClickTold(panel.SlotButton(3));
        EXPECT_EQ(LastTold(), QStringLiteral("处理器未连接，请连接处理器！"));
    });

    // Without a processor every button shows its number and does nothing;
    // other views do not open the panel.
    CQelContext::SetSelSigSrc(-1, -1);
    const size_t before = modal().prompts().size();
    Panel(
        [&](C4H1ShortcutKeysReadPlanDlg& panel) {
            EXPECT_TRUE(panel.SlotButton(20)->isEnabled());
            QTest::mouseClick(panel.SlotButton(3), Qt::LeftButton);
        },
        3);
    EXPECT_EQ(modal().prompts().size(), before + 1); // the panel only
    OnRecallPreset(nullptr, 1);
    OnRecallPreset(nullptr, 0);
    EXPECT_EQ(modal().prompts().size(), before + 1);
}

TEST_F(RecallPanel, BusyProcessorRefusesWithoutSending)
{
    ProcessorSimulator simulator;
    auto busy = std::make_shared<BusyProcessor>();
    busy->SetId(2);
    PointAtLoopback(*busy, simulator.Port());
    AddTestSource(*busy, 101, 1920, 1080);
    busy->settings().SetAppOptions(link.processor->settings().GetAppOptions());
    CQelContext::GetProMan()->AddProcessor(busy);
    ASSERT_TRUE(busy->Connect());
    ASSERT_TRUE(tavrix::test::pumpUntil([&] { return busy->IsConnected(); }));
    ASSERT_EQ(busy->jobs().StartReset(nullptr), 0);
    ASSERT_NE(busy->GetJobState(), CQelProcessor::kJobIdle);
    CQelContext::SetSelSigSrc(2, 101);
    simulator.ClearLines();
    Panel([&](C4H1ShortcutKeysReadPlanDlg& panel) {
        ClickTold(panel.SlotButton(3));
        EXPECT_EQ(LastTold(), QStringLiteral("模式调用失败！"));
    });
    busy->link().ChannelSend("MARK\r\n");
    ASSERT_TRUE(simulator.WaitForLine("MARK\r\n", 20s));
    for (const std::string& line : simulator.Texts())
        EXPECT_EQ(line.rfind("GP LDM", 0), std::string::npos) << line;
    CNetManager::get_instance().CloseAndRemove(busy->settings().GetChannelId());
    busy->StopJobs();
    busy->link().StopSender();
}

TEST_F(RecallPanel, CtrlClickRenamesTheSlotInTheProcessorFile)
{
    std::filesystem::create_directories(qz::vok::path::GetHardwarePath());
    const QString odd = QStringLiteral("A&B \"q\" <c> 名");
    const QString wrapped = QStringLiteral("A rather long name for the hall wall");
    link.SentBefore();
    Panel([&](C4H1ShortcutKeysReadPlanDlg& panel) {
        AnswerName({"", "Tiles"}, "3");
        CtrlClick(panel.SlotButton(3));
        EXPECT_EQ(panel.SlotButton(3)->text(), "Tiles");
        AnswerName({"Other"}, "4", true);
        CtrlClick(panel.SlotButton(4));
        EXPECT_EQ(panel.SlotButton(4)->text(), "4");
        AnswerName({QString(260, QLatin1Char('n'))}, "5", true);
        modal().expectInform();
        CtrlClick(panel.SlotButton(5));
        EXPECT_EQ(LastTold(), QStringLiteral("方案名称太长，请输入较短的名称!"));
        AnswerName({odd}, "5");
        CtrlClick(panel.SlotButton(5));
        EXPECT_EQ(panel.SlotButton(5)->text(), odd);
        AnswerName({wrapped}, "6");
        CtrlClick(panel.SlotButton(6));

        // A long name wraps: text in the lower half of its button.
        const QImage shot = tavrix::test::screenshot(panel);
        auto inkRows = [&](int slot) {
            const QRect r = panel.SlotButton(slot)->geometry();
            int lower = 0;
            for (int y = r.top() + r.height() * 5 / 8; y < r.bottom() - 4; ++y)
                for (int x = r.left() + 6; x < r.right() - 6; ++x)
                    if (qGray(shot.pixel(x, y)) < 96)
                        ++lower;
            return lower;
        };
        EXPECT_GT(inkRows(6), 0);
        EXPECT_EQ(inkRows(7), 0); // "7" alone sits in the middle
    });
    EXPECT_TRUE(link.SentBefore().empty()); // renaming sends nothing

    CQelProcessor reloaded;
    ASSERT_TRUE(reloaded.LoadPro(CQelProcessor::ProFilePath()));
    EXPECT_EQ(reloaded.settings().GetPlanName(3), "Tiles");
    EXPECT_EQ(reloaded.settings().GetPlanName(4), "4");
    EXPECT_EQ(QString::fromStdString(reloaded.settings().GetPlanName(5)), odd);
    reloaded.link().StopSender();
}

TEST_F(RecallPanel, SaveSlotChooserReturnsThePressedSlot)
{
    modal().answerDialog([](QDialog& dialog) {
        auto* chooser = dynamic_cast<C4H1ShortcutKeysDlg*>(&dialog);
        EXPECT_NE(chooser, nullptr);
        if (!chooser)
            return int(QDialog::Rejected);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("快捷键设置"));
        Open(dialog);
        for (int slot = 1; slot <= kSlotCount; ++slot)
            EXPECT_EQ(chooser->SlotButton(slot)->isEnabled(), slot <= 8) << slot;
        QTest::mouseClick(chooser->SlotButton(9), Qt::LeftButton); // disabled
        EXPECT_TRUE(dialog.isVisible());
        QTest::mouseClick(chooser->SlotButton(7), Qt::LeftButton);
        return dialog.result();
    });
    C4H1ShortcutKeysDlg dialog(link.processor);
    EXPECT_EQ(dialog.DoModal(), int(QDialog::Accepted));
    EXPECT_EQ(dialog.m_nSlot, 7);
}
