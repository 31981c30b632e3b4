// Sending the wall view's plan to a processor on the simulator, the edit
// tail, and saving plans to files and preset slots.
#include <QCoreApplication>
#include <QMouseEvent>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "context/context.h"
#include "core/config.h"
#include "core/event_pump.h"
#include "core/event_queue.h"
#include "corlane/app_path.h"
#include "model/processor.h"
#include "plan/plan_manager.h"
#include "tests/builder/sender_test_support.h"
#include "tests/model/link_fixture.h"
#include "tests/support/recording_channel.h"
#include "tests/support/ui/ui_test.h"
#include "tests/views/button_images.h"
#include "views/multi_screen_view.h"
#include "views/view_dialogs.h"

namespace fs = std::filesystem;

namespace {

// Answers the views' dialogs from the test's script and records what they
// were asked.
class ScriptedViewDialogs final : public CancellingViewDialogs {
public:
    ScriptedViewDialogs() { previous_ = setViewDialogs(this); }
    ~ScriptedViewDialogs() override { setViewDialogs(previous_); }

    bool ConfirmPassword(QWidget*, const QString& expected) override
    {
        asked.push_back("password " + expected.toStdString());
        return passwordAccepted;
    }
    std::optional<int> ChoosePresetSlot(QWidget*, const std::shared_ptr<CQelProcessor>&) override
    {
        asked.push_back("slot");
        return slot;
    }
    bool SavePlanAs(QWidget*, const std::shared_ptr<CQelPlan>&, std::string& name) override
    {
        asked.push_back("save as " + name);
        if (!saveAsName)
            return false;
        name = *saveAsName;
        return true;
    }

    bool passwordAccepted = true;
    std::optional<int> slot;
    std::optional<std::string> saveAsName;
    std::vector<std::string> asked;

private:
    IViewDialogs* previous_ = nullptr;
};

void Mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
}

void Drag(CMultiScreenView& view, QPoint from, QPoint to)
{
    Mouse(view.viewport(), QEvent::MouseButtonPress, from, Qt::LeftButton);
    Mouse(view.viewport(), QEvent::MouseMove, to, Qt::LeftButton);
    Mouse(view.viewport(), QEvent::MouseButtonRelease, to, Qt::NoButton);
}

// A model-1 processor linked to the simulator, selected with source 101;
// the view on a 2 x 2 plan of 1920 x 1080 screens.
class ExecView : public tavrix::test::UiTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WriteButtonImages());
        CEvtQueue::get_instance().Clear();
        link.processor->SetOutputResolution(1920, 1080, 60);
        AddTestSource(*link.processor, 101, 1920, 1080);
        CQelContext::SetSelSigSrc(1, 101);
        ASSERT_TRUE(tavrix::test::pumpUntil([&] { return link.processor->IsConnected(); }));
        SetConfigBool("MulSView.AutoExecute", false);
        SetConfigBool("MulSView.FitModule", true);
        view.resize(1000, 600);
        view.show();
        view.SetPlan(plan);
        plan->AddHistory(kActNewPlan);
    }
    void TearDown() override
    {
        tavrix::test::UiTest::TearDown();
        CEvtQueue::get_instance().Clear();
    }

    QString LastPrompt() { return modal().prompts().empty() ? QString() : modal().prompts().back().text; }

    platform::SteadyClock clock;
    LinkFixture link{clock, 1, 0};
    std::shared_ptr<CQelPlan> plan = MakeTestPlan(2, 2, kPlanUniform);
    ScriptedViewDialogs dialogs;
    CMultiScreenView view;
};

TEST_F(ExecView, ExecuteSendsThePlanOrSaysWhyNot)
{
    view.ExecutePlan(WallViewCore::kExecLayout, 1);
    EXPECT_EQ(link.SentBefore(), (std::vector<std::string>{"INPUT_FPGA CLEAR_OUTPUT_WIN\r\n"}));

    // The refresh rate alone differs: asked, and No sends nothing.
    link.processor->SetOutputResolution(1920, 1080, 50);
    modal().answerYesNo(false);
    view.ExecutePlan(WallViewCore::kExecLayout, 1);
    EXPECT_EQ(LastPrompt(), QStringLiteral("当前方案的输出分辨率和设备不匹配，您确定执行该方案吗？"));
    EXPECT_TRUE(link.SentBefore().empty());
    link.processor->SetOutputResolution(1920, 1080, 60);

    // The processor that receives is the one checked: the view's own id
    // names none here.
    view.m_nProcessorId = 9;
    view.ExecutePlan(WallViewCore::kExecLayout, 1);
    EXPECT_EQ(link.SentBefore(), (std::vector<std::string>{"INPUT_FPGA CLEAR_OUTPUT_WIN\r\n"}));
    view.m_nProcessorId = 1;

    // Not connected: told, nothing sent.
    link.channel->Close();
    ASSERT_TRUE(tavrix::test::pumpUntil([&] { return !link.processor->IsConnected(); }));
    modal().expectInform();
    view.ExecutePlan(WallViewCore::kExecLayout, 1);
    EXPECT_EQ(LastPrompt(), QStringLiteral("处理器未连接，请连接处理器！"));
}

TEST_F(ExecView, AutoExecuteSendsEachEditBeforeRecordingIt)
{
    view.m_bAutoExecute = true;
    Drag(view, {100, 100}, {300, 250});
    EXPECT_EQ(link.SentBefore(), (std::vector<std::string>{"INPUT_FPGA SET_WINDOWS_USE_SCALER 1\r\n",
                                                           "INPUT_FPGA SET_WINDOWS_LAYOUT 1920 1080\r\n",
                                                           "INPUT_FPGA ADD_WINDOWS 101 1 320 280 1120 880\r\n",
                                                           "INPUT_FPGA ADD_WINDOWS_END\r\n"}));
    EXPECT_EQ(plan->GetNewestHistory()->GetKind(), kActNewWindow);

    // A logo window closed alone clears the wall, without an entry.
    view.m_nMode = WallViewCore::kModePlacingLogo;
    Mouse(view.viewport(), QEvent::MouseButtonPress, {600, 400}, Qt::LeftButton);
    Mouse(view.viewport(), QEvent::MouseButtonRelease, {600, 400}, Qt::NoButton);
    ASSERT_EQ(plan->GetWindowCount(), 2);
    plan->RemoveWindow(plan->GetWindowAt(0));
    view.DropDepartedWindows();
    link.SentBefore();
    const int entries = plan->GetHistoryCount();
    const Rect close = view.geometry().GetCloseButtonRect(plan->GetWindowAt(0));
    const QPoint middle((close.left + close.right) / 2, (close.top + close.bottom) / 2);
    Mouse(view.viewport(), QEvent::MouseButtonPress, middle, Qt::LeftButton);
    Mouse(view.viewport(), QEvent::MouseButtonRelease, middle, Qt::NoButton);
    EXPECT_EQ(plan->GetWindowCount(), 0);
    EXPECT_EQ(link.SentBefore(), (std::vector<std::string>{"INPUT_FPGA CLEAR_OUTPUT_WIN\r\n"}));
    EXPECT_EQ(plan->GetHistoryCount(), entries);

    // A model without a path for the plan: told, and still recorded.
    link.processor->SetKind(99);
    modal().expectInform();
    Drag(view, {100, 100}, {300, 250});
    EXPECT_EQ(LastPrompt(), QStringLiteral("发送失败!请重试!"));
    EXPECT_EQ(plan->GetNewestHistory()->GetKind(), kActNewWindow);
    EXPECT_EQ(plan->GetHistoryCount(), entries + 1);
}

TEST_F(ExecView, ARestoredHistorySendsOnceAfterShowingAgain)
{
    view.m_bAutoExecute = true; // kept in the settings while hidden
    for (int i = 0; i < 3; ++i) {
        view.hide();
        view.show();
    }
    ASSERT_EQ(view.ConnectionCount(), WallViewCore::kSubscriptionCount);
    PostEvent(new CPlanHisRecoveredEvent(plan->GetId(), 1));
    PumpEvents();
    EXPECT_EQ(link.SentBefore(), (std::vector<std::string>{"INPUT_FPGA CLEAR_OUTPUT_WIN\r\n"}));
}

TEST_F(ExecView, SaveToProcessorAsksPasswordThenSlot)
{
    link.processor->SetKind(2);
    dialogs.slot = 3;
    modal().expectInform();
    view.SavePlanToProcessor();
    EXPECT_EQ(dialogs.asked, (std::vector<std::string>{"password 739146", "slot"}));
    EXPECT_EQ(link.SentBefore(),
              (std::vector<std::string>{"INPUT_FPGA SET_KEY_MODE 3\r\n", "INPUT_FPGA CLEAR_OUTPUT_WINDOW 0 0\r\n",
                                        "INPUT_FPGA SET_KEY_MODE 0\r\n"}));
    EXPECT_EQ(LastPrompt(), QStringLiteral("保存至处理器完毕!"));

    // A refused password or a cancelled slot: silent, nothing sent.
    dialogs.asked.clear();
    dialogs.passwordAccepted = false;
    view.SavePlanToProcessor();
    dialogs.passwordAccepted = true;
    dialogs.slot.reset();
    view.SavePlanToProcessor();
    EXPECT_EQ(dialogs.asked, (std::vector<std::string>{"password 739146", "password 739146", "slot"}));
    EXPECT_TRUE(link.SentBefore().empty());
    EXPECT_EQ(modal().prompts().size(), 1u);
}

TEST_F(ExecView, SavingWritesThePlanFileOrSaysItFailed)
{
    const auto manager = CQelContext::GetPlanMan();
    std::shared_ptr<CQelPlan> named = manager->CreatePlan("Hall");
    named->SetType(kPlanUniform);
    named->SetGrid(2, 2);
    named->SetResolution({1920, 1080, 60});
    named->SetDirty(true);
    view.SetPlan(named);
    view.SavePlan();
    EXPECT_TRUE(fs::exists(fs::path(qz::vok::path::GetPlanPath()) / "Hall.plan"));
    EXPECT_FALSE(named->IsDirty());

    // Save as to a name the manager does not hold keeps the plan shown.
    dialogs.saveAsName = "Elsewhere";
    view.SavePlanAs();
    EXPECT_EQ(view.GetPlan(), named);
    std::shared_ptr<CQelPlan> copy = manager->CreatePlan("Copy");
    dialogs.saveAsName = "Copy";
    view.SavePlanAs();
    EXPECT_EQ(view.GetPlan(), copy);
    EXPECT_EQ(dialogs.asked, (std::vector<std::string>{"save as Hall", "save as Hall"}));

    // A file where the plan folder belongs.
    view.SetPlan(named);
    named->SetDirty(true);
    const fs::path folder = qz::vok::path::GetPlanPath();
    fs::remove_all(folder);
    std::ofstream(folder) << "in the way";
    modal().expectInform();
    view.SavePlan();
    EXPECT_EQ(LastPrompt(), QStringLiteral("方案保存失败，请重试!"));
    EXPECT_TRUE(named->IsDirty());
}

} // namespace
