// The small device dialogs: border fine-tune, output-board colour, date and
// time, and the reset progress window; the first two against the
// processor simulator.
#include <QCalendarWidget>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimeEdit>

#include "context/context.h"
#include "core/event_queue.h"
#include "corlane/app_path.h"
#include "dialogs/device_values.h"
#include "dialogs/fwnd_size_fine_tune_dlg.h"
#include "dialogs/obbk_color_dlg.h"
#include "dialogs/pro_datetime_dlg.h"
#include "dialogs/progress_dlg.h"
#include "model/processor_link.h"
#include "model/processor_settings.h"
#include "tests/builder/sender_test_support.h"
#include "tests/dialogs/dialog_test_support.h"
#include "tests/model/link_fixture.h"
#include "tests/support/recording_channel.h"
#include "tests/support/test_files.h"
#include "tests/support/ui/screenshot.h"

using namespace dialogtest;
using tavrix::test::countColour;
using tavrix::test::pixelAt;
using tavrix::test::ReadText;
using tavrix::test::screenshot;

namespace {

const std::string kNotConnected = "处理器未连接，请连接处理器！";

class DeviceDialogs : public tavrix::test::UiTest {
protected:
    void SetUp() override
    {
        CEvtQueue::get_instance().Clear();
        std::filesystem::create_directories(qz::vok::path::GetHardwarePath());
        AddTestSource(*link.processor, 101, 1920, 1080);
        CQelContext::SetSelSigSrc(1, 101);
        ASSERT_TRUE(tavrix::test::pumpUntil([&] { return link.processor->IsConnected(); }));
        link.SentBefore();
    }

    void Disconnect()
    {
        link.channel->Close();
        ASSERT_TRUE(tavrix::test::pumpUntil([&] { return !link.processor->IsConnected(); }));
    }

    // Runs the border command with `work` on the dialog; true when the
    // plan would have been re-sent.
    bool Border(std::function<void(CDlgFWndSizeFineTune&)> work)
    {
        modal().answerDialog([work](QDialog& dialog) {
            auto* tune = dynamic_cast<CDlgFWndSizeFineTune*>(&dialog);
            EXPECT_NE(tune, nullptr);
            if (!tune)
                return int(QDialog::Rejected);
            Open(dialog);
            work(*tune);
            return dialog.result();
        });
        bool resent = false;
        RunBorderFineTune(nullptr, [&] { resent = true; });
        return resent;
    }

    static void Fill(CDlgFWndSizeFineTune& tune, const QString& size, const QString& brightness, bool enable)
    {
        Type(tune.SizeEdit(), size);
        Type(tune.BrightnessEdit(), brightness);
        tune.EnableCheck()->setChecked(enable);
    }

    platform::SteadyClock clock;
    LinkFixture link{clock, 7, 0};
};

// The board colour dialog, opened; `work` runs on it.
void ColourDialog(std::function<void(CDlgSetOBBKColor&)> work)
{
    tavrix::test::scriptedModal().answerDialog([work](QDialog& dialog) {
        auto* colour = dynamic_cast<CDlgSetOBBKColor*>(&dialog);
        EXPECT_NE(colour, nullptr);
        if (!colour)
            return int(QDialog::Rejected);
        Open(dialog);
        work(*colour);
        QTest::mouseClick(colour->CancelButton(), Qt::LeftButton);
        return dialog.result();
    });
    CDlgSetOBBKColor dialog;
    dialog.DoModal();
}

} // namespace

TEST_F(DeviceDialogs, BorderFineTuneSendsItsLinesAndKeepsTheBrightness)
{
    // The first opening shows brightness 3; turned off, the device gets its
    // plain border whatever the edits hold, and the edited brightness is
    // what the next opening shows.
    EXPECT_TRUE(Border([](CDlgFWndSizeFineTune& tune) {
        EXPECT_EQ(tune.BrightnessEdit()->text(), "3");
        EXPECT_EQ(tune.SizeEdit()->text(), "0");
        EXPECT_FALSE(tune.EnableCheck()->isChecked());
        EXPECT_EQ(tune.EnableCheck()->text(), "启用调整");
        Fill(tune, "7", "1", false);
        QTest::mouseClick(tune.OkButton(), Qt::LeftButton);
    }));
    EXPECT_EQ(link.SentBefore(), (std::vector<std::string>{"I_F SDLW 0xFF 0\r\n", "I_F SDLT 0xFF 3\r\n"}));
    EXPECT_EQ(link.processor->settings().GetAppOptions().inflateEnable, 0);

    Border([](CDlgFWndSizeFineTune& tune) {
        EXPECT_EQ(tune.BrightnessEdit()->text(), "1");
        EXPECT_EQ(tune.SizeEdit()->text(), "7");
        Fill(tune, "5", "2", true);
        QTest::mouseClick(tune.OkButton(), Qt::LeftButton);
    });
    EXPECT_EQ(link.SentBefore(), (std::vector<std::string>{"I_F SDLW 0xFF 5\r\n", "I_F SDLT 0xFF 2\r\n"}));
    const std::string file = ReadText(CQelProcessor::ProFilePath());
    for (const char* attribute : {"inflaterectEnable=\"1\"", "inflaterectLeft=\"5\"", "inflaterectRight=\"5\"",
                                  "inflaterectTop=\"5\"", "inflaterectBottom=\"5\""})
        EXPECT_NE(file.find(attribute), std::string::npos) << attribute;

    // Out of range: told, the dialog stays, nothing is sent; Cancel keeps
    // everything as it was.
    EXPECT_FALSE(Border([](CDlgFWndSizeFineTune& tune) {
        EXPECT_TRUE(tune.EnableCheck()->isChecked());
        for (auto [size, brightness] : {std::pair{"16", "2"}, {"-1", "2"}, {"5", "4"}, {"x", "1"}}) {
            Fill(tune, size, brightness, true);
            ClickTold(tune.OkButton());
            EXPECT_TRUE(tune.isVisible()) << size << " " << brightness;
        }
        EXPECT_EQ(LastTold(), "请输入一个介于 0 和 15 之间的整数。");
        QTest::mouseClick(tune.CancelButton(), Qt::LeftButton);
    }));
    EXPECT_TRUE(link.SentBefore().empty());
    EXPECT_EQ(LastBorderTuning().brightness, 2);

    // Disconnected: the lines are still queued (the sender drops them), the
    // operator is told, and the plan is not re-sent.
    Disconnect();
    std::vector<std::string> queued;
    link.processor->link().SetPushObserver([&](std::string_view text, int32_t) { queued.emplace_back(text); });
    EXPECT_FALSE(Border([](CDlgFWndSizeFineTune& tune) {
        tavrix::test::scriptedModal().expectInform(); // after the dialog
        QTest::mouseClick(tune.OkButton(), Qt::LeftButton);
    }));
    EXPECT_EQ(queued, (std::vector<std::string>{"I_F SDLW 0xFF 5\r\n", "I_F SDLT 0xFF 2\r\n"}));
    EXPECT_EQ(LastTold(), QString::fromStdString(kNotConnected));
    link.processor->link().SetPushObserver({});

    // Without a processor the dialog does not open.
    CQelContext::SetSelSigSrc(-1, -1);
    RunBorderFineTune(nullptr, {});
}

TEST_F(DeviceDialogs, BorderFineTuneWithObmOneShowsOnlyTheSizeRow)
{
    link.processor->settings().SetObm(1);
    Border([](CDlgFWndSizeFineTune& tune) {
        EXPECT_FALSE(tune.BrightnessEdit()->isVisible());
        EXPECT_TRUE(tune.SizeEdit()->isVisible());
        EXPECT_EQ(tune.SizeEdit()->geometry(), QRect(90, 30, 160, 20));
        const QImage shot = screenshot(tune);
        // The hidden row leaves the dialog's plain background.
        EXPECT_EQ(pixelAt(shot, 170, 60), pixelAt(shot, 170, 100));
        QTest::mouseClick(tune.CancelButton(), Qt::LeftButton);
    });
}

TEST_F(DeviceDialogs, BoardColourSendsWhileOpenAndFollowsTheChooser)
{
    ColourDialog([&](CDlgSetOBBKColor& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "输出板颜色设置");
        EXPECT_EQ(dialog.UpdateButton()->text(), "更新输出板颜色");
        QTest::mouseClick(dialog.UpdateButton(), Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible());
        Type(dialog.RedEdit(), "1");
        Type(dialog.GreenEdit(), "2");
        Type(dialog.BlueEdit(), "3");
        QTest::mouseClick(dialog.UpdateButton(), Qt::LeftButton);

        // Out of range: told, nothing sent, the swatch keeps its colour.
        dialog.GreenEdit()->setText("256");
        ClickTold(dialog.UpdateButton());
        EXPECT_EQ(LastTold(), "请输入一个介于 0 和 255 之间的整数。");
        EXPECT_EQ(dialog.ColourButton()->Colour(), ui::rgb(1, 2, 3));

        // The chooser is offered the swatch's colour; its answer fills the
        // edits and paints the swatch; a cancelled chooser changes nothing.
        modal().answerColour(ui::rgb(10, 200, 30));
        QTest::mouseClick(dialog.ColourButton(), Qt::LeftButton);
        EXPECT_EQ(modal().prompts().back().colour, ui::rgb(1, 2, 3));
        EXPECT_EQ(dialog.GreenEdit()->text(), "200");
        modal().answerColour(std::nullopt);
        QTest::mouseClick(dialog.ColourButton(), Qt::LeftButton);
        EXPECT_EQ(dialog.RedEdit()->text(), "10");
        const QImage shot = screenshot(*dialog.ColourButton());
        EXPECT_EQ(pixelAt(shot, shot.width() / 2, shot.height() / 2), ui::rgb(10, 200, 30));
    });
    EXPECT_EQ(link.SentBefore(), (std::vector<std::string>{"GP SODC 16711680\r\n", "GP SODC 66051\r\n"}));

    // Disconnected: told; without a processor nothing at all.
    Disconnect();
    ColourDialog([](CDlgSetOBBKColor& dialog) {
        ClickTold(dialog.UpdateButton());
        EXPECT_EQ(LastTold(), QString::fromStdString(kNotConnected));
    });
    CQelContext::SetSelSigSrc(-1, -1);
    const size_t before = modal().prompts().size();
    ColourDialog([](CDlgSetOBBKColor& dialog) { QTest::mouseClick(dialog.UpdateButton(), Qt::LeftButton); });
    EXPECT_EQ(modal().prompts().size(), before + 1); // the dialog only
}

TEST(DateTimeDialog, GivesThePickedDateAndTime)
{
    tavrix::test::scriptedModal().answerDialog([](QDialog& dialog) {
        auto* picker = dynamic_cast<CProDatetimeSettingDlg*>(&dialog);
        EXPECT_NE(picker, nullptr);
        if (!picker)
            return int(QDialog::Rejected);
        EXPECT_EQ(picker->Calendar()->selectedDate(), QDate::currentDate());
        EXPECT_EQ(picker->windowTitle(), "更新处理器日期和时间");
        picker->Calendar()->setSelectedDate(QDate(2026, 12, 31));
        picker->TimePicker()->setTime(QTime(0, 5, 59));
        return int(QDialog::Accepted);
    });
    CProDatetimeSettingDlg dialog;
    ASSERT_EQ(dialog.DoModal(), QDialog::Accepted);
    int parts[6] = {};
    dialog.GetSelectedTime(parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]);
    EXPECT_EQ(std::vector<int>(parts, parts + 6), (std::vector<int>{2026, 12, 31, 0, 5, 59}));
}

TEST(ProgressWindow, ShowsItsCountersInRedAndIgnoresEnterAndEscape)
{
    CDlgProgress progress;
    EXPECT_TRUE(progress.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE((progress.windowFlags() & Qt::Tool) == Qt::Tool);
    EXPECT_NEAR(progress.windowOpacity(), 180 / 255.0, 0.01);
    progress.SetCounters(0, 5, 2, 10);
    EXPECT_EQ(progress.Text(), "处理器复位中，请稍等...   1 / 5, 2 / 10");
    progress.setGeometry(100, 100, 700, 50);
    progress.show();
    for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        QTest::keyClick(&progress, Qt::Key(key));
        EXPECT_TRUE(progress.isVisible()) << key;
    }
    const QImage shot = screenshot(progress);
    EXPECT_GT(countColour(shot, Rect{0, 0, 700, 50}, ui::rgb(0xFF, 0, 0)), 50);
    // Left aligned: the right part of the window holds no text.
    EXPECT_EQ(countColour(shot, Rect{600, 0, 700, 50}, ui::rgb(0xFF, 0, 0)), 0);
}
