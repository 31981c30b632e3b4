// The operation password: asked through the wall view's save to the
// processor, and set anew through the frame's reset command.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "context/context.h"
#include "core/config.h"
#include "core/event_queue.h"
#include "corlane/app_path.h"
#include "dialogs/modal_view_dialogs.h"
#include "dialogs/password_check.h"
#include "dialogs/password_dlg.h"
#include "dialogs/preset_slot_dlg.h"
#include "model/processor_settings.h"
#include "tests/builder/sender_test_support.h"
#include "tests/dialogs/dialog_test_support.h"
#include "tests/model/link_fixture.h"
#include "tests/views/button_images.h"
#include "tests/views/view_clicks.h"
#include "views/multi_screen_view.h"
#include "views/wall_view_menus.h"

using namespace dialogtest;
using tavrix::test::Prompt;

namespace {

// A model-2 processor on the simulator, selected, and the wall view on a
// 2 x 2 plan with one window.
class PasswordFlow : public tavrix::test::UiTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WriteButtonImages());
        CEvtQueue::get_instance().Clear();
        SetPasswordAccepted(false);
        link.processor->SetOutputResolution(1920, 1080, 60);
        AddTestSource(*link.processor, 101, 1920, 1080);
        auto options = link.processor->settings().GetAppOptions();
        options.planPatternCount = 20;
        link.processor->settings().SetAppOptions(options);
        CQelContext::SetSelSigSrc(1, 101);
        ASSERT_TRUE(tavrix::test::pumpUntil([&] { return link.processor->IsConnected(); }));
        SetConfigBool("MulSView.AutoExecute", false);
        AddTestWindow(*plan, 101, {0, 0, 960, 540});
        view.resize(1000, 600);
        view.show();
        view.SetPlan(plan);
    }
    void TearDown() override
    {
        tavrix::test::UiTest::TearDown();
        SetPasswordAccepted(false);
        CEvtQueue::get_instance().Clear();
    }

    // Answers the password dialog with each entry in turn; the last one
    // is followed by Cancel when `cancel`. `next` scripts what follows.
    void AnswerPassword(std::vector<QString> entries, bool cancel = false, std::function<void()> next = {})
    {
        modal().answerDialog([this, entries, cancel, next](QDialog& dialog) {
            auto* password = dynamic_cast<CPasswordDlg*>(&dialog);
            EXPECT_NE(password, nullptr);
            if (!password)
                return int(QDialog::Rejected);
            Open(dialog);
            for (const QString& entry : entries) {
                Type(password->PasswordEdit(), entry);
                if (entry != QLatin1String(kDefaultPassword)) {
                    ClickTold(password->OkButton());
                    EXPECT_TRUE(dialog.isVisible());
                    EXPECT_FALSE(IsPasswordAccepted());
                } else {
                    QTest::mouseClick(password->OkButton(), Qt::LeftButton);
                }
            }
            if (cancel)
                QTest::mouseClick(password->CancelButton(), Qt::LeftButton);
            asked.push_back("password");
            if (next)
                next();
            return dialog.result();
        });
    }
    void AnswerSlot(int slot)
    {
        modal().answerDialog([this, slot](QDialog& dialog) {
            auto* chooser = dynamic_cast<C4H1ShortcutKeysDlg*>(&dialog);
            EXPECT_NE(chooser, nullptr);
            if (!chooser)
                return int(QDialog::Rejected);
            Open(dialog);
            QTest::mouseClick(chooser->SlotButton(slot), Qt::LeftButton);
            EXPECT_FALSE(dialog.isVisible());
            asked.push_back("slot");
            return dialog.result();
        });
    }

    platform::SteadyClock clock;
    LinkFixture link{clock, 2, 0};
    std::shared_ptr<CQelPlan> plan = MakeTestPlan(2, 2, kPlanUniform);
    ProgramDialogsInstalled dialogs;
    CMultiScreenView view;
    std::vector<std::string> asked;
};

} // namespace

TEST_F(PasswordFlow, SaveToProcessorAsksOnceUntilAnAttemptFails)
{
    ASSERT_TRUE(plan->Apply(0, nullptr));
    const std::vector<std::string> layout = link.SentBefore();
    ASSERT_FALSE(layout.empty());
    std::vector<std::string> expected{"INPUT_FPGA SET_KEY_MODE 3\r\n"};
    expected.insert(expected.end(), layout.begin(), layout.end());
    expected.push_back("INPUT_FPGA SET_KEY_MODE 0\r\n");

    // From the window menu, as the operator opens it. A wrong entry is
    // told and the dialog stays; the default is taken.
    modal().answerMenu(wallmenu::kSaveToProcessor);
    AnswerPassword({"123", kDefaultPassword}, false, [this] {
        AnswerSlot(3);
        modal().expectInform();
    });
    RightClick(view, Centre(view.geometry().WallToViewRect(plan->GetWindowAt(0)->rect)));
    EXPECT_EQ(asked, (std::vector<std::string>{"password", "slot"}));
    EXPECT_TRUE(IsPasswordAccepted());
    EXPECT_EQ(link.SentBefore(), expected);
    EXPECT_EQ(LastTold(), QStringLiteral("保存至处理器完毕!"));
    ASSERT_GE(modal().prompts().size(), 3u); // the menu, the dialog, the message
    EXPECT_EQ(modal().prompts()[2].text, QStringLiteral("输入密码不正确，请重新输入！"));

    // The second save asks only for the slot.
    asked.clear();
    AnswerSlot(3);
    modal().expectInform();
    view.SavePlanToProcessor();
    EXPECT_EQ(asked, (std::vector<std::string>{"slot"}));
    EXPECT_EQ(link.SentBefore(), expected);

    // A wrong entry and Cancel in another password dialog lock it again:
    // the next save asks, and a cancelled one sends nothing.
    asked.clear();
    AnswerPassword({"nope"}, true);
    CPasswordDlg other(QString::fromLatin1(kDefaultPassword));
    EXPECT_EQ(other.DoModal(), int(QDialog::Rejected));
    EXPECT_FALSE(IsPasswordAccepted());
    AnswerPassword({}, true);
    view.SavePlanToProcessor();
    AnswerPassword({"1234"}, true);
    view.SavePlanToProcessor();
    EXPECT_EQ(asked, (std::vector<std::string>{"password", "password", "password"}));
    EXPECT_TRUE(link.SentBefore().empty());
}

TEST_F(PasswordFlow, ResetPasswordRefusesWhatCannotBeKeptAndSurvivesARestart)
{
    struct Entry {
        QString password;
        QString repeat;
        const char* told; // null: accepted
    };
    const std::vector<Entry> entries = {
        {"", "", "密码不能为空，请重新输入！"},
        {"a", "b", "两次密码输入不一致，请重新输入！"},
        {" ", " ", "密码首尾不能有空格，请重新输入！"},
        {"x y", "x y", nullptr},
    };
    modal().answerDialog([&](QDialog& dialog) {
        auto* reset = dynamic_cast<CResetPasswordDlg*>(&dialog);
        EXPECT_NE(reset, nullptr);
        if (!reset)
            return int(QDialog::Rejected);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("修改密码"));
        Open(dialog);
        for (const Entry& e : entries) {
            Type(reset->PasswordEdit(), e.password);
            Type(reset->RepeatEdit(), e.repeat);
            if (!e.told) {
                QTest::mouseClick(reset->OkButton(), Qt::LeftButton);
                continue;
            }
            ClickTold(reset->OkButton());
            EXPECT_EQ(LastTold(), QString::fromUtf8(e.told));
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(OperationPassword(), kDefaultPassword);
        }
        return dialog.result();
    });
    OnResetPassword(nullptr);
    EXPECT_EQ(OperationPassword(), "x y");
    EXPECT_FALSE(IsPasswordAccepted()); // setting one unlocks nothing

    std::filesystem::create_directories(qz::vok::path::GetSysPath());
    ASSERT_TRUE(CQelConfig::get_instance().SaveMain());
    std::ifstream in(std::filesystem::path(qz::vok::path::GetSysPath()) / "Main.ini");
    std::stringstream text;
    text << in.rdbuf();
    const std::string ini = text.str();
    const size_t at = ini.find("Pwd=x y");
    ASSERT_NE(at, std::string::npos) << ini;
    EXPECT_TRUE(ini[at + 7] == '\r' || ini[at + 7] == '\n') << ini;
    CQelConfig restarted;
    ASSERT_TRUE(restarted.LoadMain());
    EXPECT_TRUE(TryPassword("x y", restarted.GetString(kPasswordKey, kDefaultPassword)));
    SetConfigString(kPasswordKey, kDefaultPassword);
}
