// The EDID, input picture and test-output dialogs on a processor of the
// simulator, opened through the entry points the source tree calls.
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <filesystem>
#include <fstream>

#include "context/context.h"
#include "core/event_queue.h"
#include "corlane/app_path.h"
#include "dialogs/edid_dlg.h"
#include "dialogs/password_check.h"
#include "dialogs/password_dlg.h"
#include "dialogs/sig_src_dlg.h"
#include "dialogs/test_output_dlg.h"
#include "model/net_type.h"
#include "model/processor.h"
#include "model/sig_src.h"
#include "tests/builder/sender_test_support.h"
#include "tests/dialogs/dialog_test_support.h"
#include "tests/model/link_fixture.h"
#include "tests/support/ui/screenshot.h"
#include "uikit/ui_button.h"
#include "uikit/ui_sheet_ctrl.h"

using namespace dialogtest;
namespace fs = std::filesystem;

namespace {

class InputOutputDialogs : public tavrix::test::UiTest {
protected:
    void SetUp() override
    {
        CEvtQueue::get_instance().Clear();
        AddTestBoards(*link.processor, {{2, 1}, {101, 12}});
        AddTestSource(*link.processor, 203, 1920, 1080);
        SetTestOutputs(*link.processor, {10100, 10101}, {{{0, 0}, 10100}, {{0, 1}, 10101}});
        PointAtLoopback(*link.processor, link.simulator.Port());
        CQelContext::SetSelSigSrc(1, 203);
        SetPasswordAccepted(false);
        ASSERT_TRUE(tavrix::test::pumpUntil([&] { return link.processor->IsConnected(); }));
        link.SentBefore();
    }
    void TearDown() override
    {
        SetPasswordAccepted(false);
        UiTest::TearDown();
    }

    // Answers the dialog with `work`, then OK or closing it.
    template <class Dialog>
    void Answer(std::function<void(Dialog&)> work, bool ok = false)
    {
        AnswerAs<Dialog>([work, ok](Dialog& dialog) {
            work(dialog);
            if (ok)
                QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
            else
                dialog.reject();
        });
    }

    void AnswerPassword()
    {
        Answer<CPasswordDlg>([](CPasswordDlg& password) { Type(password.PasswordEdit(), QStringLiteral("739146")); },
                             true);
    }

    platform::SteadyClock clock;
    LinkFixture link{clock, 7, 0};
};

// The slider's handle centre, where a drag starts.
QPoint Handle(QSlider& slider)
{
    const double at = double(slider.value() - slider.minimum()) / (slider.maximum() - slider.minimum());
    return QPoint(int(8 + at * (slider.width() - 16)), slider.height() / 2);
}

} // namespace

TEST_F(InputOutputDialogs, EdidChoiceIsStoredAndSent)
{
    fs::create_directories(qz::vok::path::GetHardwarePath());
    std::ofstream(EdidFilePath(), std::ios::binary) << "3=1280 x 1024\na=b=c\n7=\n";
    const auto source = link.processor->GetSigSrc(203);
    source->SetEdid(7);
    AnswerPassword();
    Answer<CSetEDIDDlg>(
        [](CSetEDIDDlg& dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("设置EDID"));
            EXPECT_EQ(dialog.OkButton()->text(), QStringLiteral("设置"));
            ASSERT_EQ(dialog.EdidList()->count(), 2);
            EXPECT_EQ(dialog.EdidList()->itemText(0), QStringLiteral("1280 x 1024"));
            EXPECT_EQ(dialog.EdidList()->currentIndex(), 1); // id 7, named only by its line end
            dialog.EdidList()->setCurrentIndex(0);
        },
        true);
    RunSetEdid(nullptr, link.processor, 203);
    EXPECT_EQ(source->GetEdid(), 3u);
    EXPECT_EQ(link.SentBefore(false), std::vector<std::string>{"INPUT_FPGA SET_INPUT_PORT_EDID 2 3 3 1\r\n"});

    // The password once accepted is not asked again; without the file the
    // built-in list, the first entry for an id it lacks. A device that
    // does not echo the line is reported.
    fs::remove(EdidFilePath());
    source->SetEdid(9);
    ScopedSetting<std::atomic<uint8_t>> echoed(g_NetType, 1);
    link.simulator.Silence("INPUT_FPGA");
    Answer<CSetEDIDDlg>(
        [](CSetEDIDDlg& dialog) {
            ASSERT_EQ(dialog.EdidList()->count(), 4);
            EXPECT_EQ(dialog.EdidList()->currentIndex(), 0);
            EXPECT_EQ(dialog.EdidList()->itemText(3), QStringLiteral("1280 x 1024"));
        },
        true);
    modal().expectInform();
    RunSetEdid(nullptr, link.processor, 203);
    EXPECT_EQ(LastTold(), QStringLiteral("设置EDID失败，请重试!"));
    EXPECT_EQ(source->GetEdid(), 0u);

    // Cancelled: nothing stored or sent.
    Answer<CSetEDIDDlg>([](CSetEDIDDlg& dialog) { dialog.EdidList()->setCurrentIndex(2); });
    RunSetEdid(nullptr, link.processor, 203);
    EXPECT_EQ(source->GetEdid(), 0u);
}

TEST_F(InputOutputDialogs, PictureIsSentWhenTheSliderIsLetGo)
{
    const auto source = link.processor->GetSigSrc(203);
    source->SetName("DVI");
    Answer<CSetSigSrcDlg>([&](CSetSigSrcDlg& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("设置输入信号源参数DVI"));
        QSlider& brightness = *dialog.Slider(0);
        EXPECT_EQ(brightness.value(), 0);
        EXPECT_EQ(dialog.Slider(1)->value(), 128);
        EXPECT_EQ(dialog.ValueText(1)->text(), QStringLiteral("128"));
        // Dragged: the text follows, nothing is sent until let go.
        QTest::mousePress(&brightness, Qt::LeftButton, {}, Handle(brightness));
        ASSERT_TRUE(brightness.isSliderDown());
        brightness.setSliderPosition(40);
        brightness.setSliderPosition(77);
        EXPECT_EQ(dialog.ValueText(0)->text(), QStringLiteral("77"));
        EXPECT_TRUE(link.SentBefore().empty());
        EXPECT_EQ(source->GetAdjust()[0], 0);
        QTest::mouseRelease(&brightness, Qt::LeftButton, {}, Handle(brightness));
        EXPECT_EQ(source->GetAdjust()[0], 77);
        EXPECT_EQ(link.SentBefore(), std::vector<std::string>{"BOARD ADV7604_SET_CTRL 2 0 77\r\n"});

        const QImage shot = tavrix::test::screenshot(dialog);
        const QRect text(dialog.ValueText(0)->mapTo(&dialog, QPoint(0, 0)), dialog.ValueText(0)->size());
        int dark = 0;
        for (int y = text.top(); y <= text.bottom(); ++y)
            for (int x = text.left(); x <= text.right(); ++x)
                dark += qGray(shot.pixel(x, y)) < 96;
        EXPECT_GT(dark, 5) << "the value text is drawn";
    });
    RunSetSigSrc(nullptr, source);

    // Defaults of a composite-video input go to its decoder.
    source->SetType(CQelSigSrc::kTypeVideo4);
    source->SetAdjust(0, 5);
    Answer<CSetSigSrcDlg>([&](CSetSigSrcDlg& dialog) {
        QTest::mouseClick(dialog.DefaultsButton(), Qt::LeftButton);
        EXPECT_EQ(dialog.Slider(0)->value(), 128);
        EXPECT_EQ(dialog.ValueText(3)->text(), QStringLiteral("0"));
    });
    RunSetSigSrc(nullptr, source);
    const auto lines = link.SentBefore();
    ASSERT_EQ(lines.size(), 4u);
    const std::array<std::string, 4> ends{" 0 128\r\n", " 1 128\r\n", " 2 128\r\n", " 3 0\r\n"};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_TRUE(lines[i].starts_with("BOARD TVP5158_SET_CTRL 2 ")) << lines[i];
        EXPECT_TRUE(lines[i].ends_with(ends[i])) << lines[i];
    }
    EXPECT_EQ(source->GetAdjust(), (CQelSigSrc::Adjust{128, 128, 128, 0}));
}

TEST_F(InputOutputDialogs, TestOutputShowsColoursAndRestoresEveryOutput)
{
    Answer<CTestOutputDlg>([&](CTestOutputDlg& dialog) {
        CUiSheetCtrl& sheet = *dialog.OutputSheet();
        ASSERT_EQ(sheet.GetRowCount(), 2);
        EXPECT_EQ(dialog.ColourEdit(0)->text(), QStringLiteral("255"));

        ClickTold(dialog.TestButton());
        EXPECT_EQ(LastTold(), QStringLiteral("请选择输出端口！"));
        EXPECT_TRUE(link.SentBefore().empty());

        sheet.SelectRow(1);
        QTest::mouseClick(dialog.TestButton(), Qt::LeftButton);
        QTest::mouseClick(dialog.PictureButton(), Qt::LeftButton);
        EXPECT_EQ(link.SentBefore(),
                  (std::vector<std::string>{"OUTPUT_FPGA SET_TEST_PATTERN_COLOR 1 1 1 0xFF0000\r\n",
                                            "OUTPUT_FPGA SET_TEST_PATTERN_COLOR 1 1 0 0x000000\r\n"}));
        const QImage shot = tavrix::test::screenshot(dialog);
        const QPoint centre = dialog.Swatch()->mapTo(&dialog, dialog.Swatch()->rect().center());
        EXPECT_EQ(tavrix::test::pixelAt(shot, centre.x(), centre.y()), ui::rgb(255, 0, 0));

        // A value out of range is refused as typed: told, and the edit
        // keeps the number the swatch shows.
        modal().expectInform();
        Type(dialog.ColourEdit(1), QStringLiteral("999"));
        EXPECT_EQ(LastTold(), QStringLiteral("请输入一个介于 0 和 255 之间的整数。"));
        EXPECT_EQ(dialog.ColourEdit(1)->text(), QStringLiteral("99"));
        EXPECT_EQ(dialog.Swatch()->colours.back[0], ui::rgb(255, 99, 0));
        // A blank edit is refused when read.
        dialog.ColourEdit(1)->clear();
        ClickTold(dialog.TestButton());
        EXPECT_EQ(LastTold(), QStringLiteral("请输入一个介于 0 和 255 之间的整数。"));
        EXPECT_TRUE(link.SentBefore().empty());
        Type(dialog.ColourEdit(1), QStringLiteral("16"));
        EXPECT_EQ(dialog.Swatch()->colours.back[0], ui::rgb(255, 16, 0));

        // The chooser starts from black; its colour fills the edits.
        modal().answerColour(ui::rgb(0, 128, 255));
        QTest::mouseClick(dialog.Swatch(), Qt::LeftButton);
        EXPECT_EQ(modal().prompts().back().colour, ui::rgb(0, 0, 0));
        EXPECT_EQ(dialog.ColourEdit(2)->text(), QStringLiteral("255"));
        sheet.ClearSelection();
        sheet.SelectRow(0);
        QTest::mouseClick(dialog.TestButton(), Qt::LeftButton);
        EXPECT_EQ(link.SentBefore(), std::vector<std::string>{"OUTPUT_FPGA SET_TEST_PATTERN_COLOR 1 0 1 0x0080FF\r\n"});
    });
    RunTestOutput(nullptr);
    // Closing puts the picture back on both outputs, the untested too.
    EXPECT_EQ(link.SentBefore(), (std::vector<std::string>{"OUTPUT_FPGA SET_TEST_PATTERN_COLOR 1 0 0 0x000000\r\n",
                                                           "OUTPUT_FPGA SET_TEST_PATTERN_COLOR 1 1 0 0x000000\r\n"}));
}
