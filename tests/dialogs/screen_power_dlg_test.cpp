// The screen power settings dialog, run as the frame runs it: over the
// current settings, through the modal seam, with its port list read from a
// scan root of the test's own.
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>

#include <filesystem>

#include "comm/sport_operator.h"
#include "corlane/app_path.h"
#include "dialogs/field_check.h"
#include "dialogs/screen_power_dlg.h"
#include "dialogs/screen_power_system.h"
#include "tests/dialogs/dialog_test_support.h"
#include "tests/support/test_files.h"
#include "tests/support/ui/screenshot.h"

namespace fs = std::filesystem;
using namespace dialogtest;
using tavrix::test::ReadText;
using tavrix::test::WriteText;

namespace {

class ScreenConfig : public tavrix::test::UiTest {
protected:
    void SetUp() override
    {
        fs::remove_all("ports");
        fs::create_directories("ports");
        previousRoot_ = CSPortOperator::SetScanRoot(fs::absolute("ports").string());
        fs::create_directories(qz::vok::path::GetHardwarePath());
        fs::remove(TvConfigPath());
    }
    void TearDown() override
    {
        CSPortOperator::SetScanRoot(previousRoot_);
        tavrix::test::UiTest::TearDown();
    }

    // A listed port: the lister only reads names.
    static std::string AddPort(const std::string& name)
    {
        WriteText("ports/" + name, "");
        return fs::absolute("ports/" + name).string();
    }

    static CDlgScreenConfig* Dialog(QDialog& dialog)
    {
        auto* d = dynamic_cast<CDlgScreenConfig*>(&dialog);
        EXPECT_NE(d, nullptr);
        if (d)
            Open(*d);
        return d;
    }

    static ScreenPowerSettings Stored(const std::string& port)
    {
        ScreenPowerSettings s = BuiltInScreenPowerSettings();
        s.serial.portName = port;
        s.serial.baudRate = 115200;
        s.port = 6001;
        s.openCmd = "01 02";
        s.closeCmd = "03";
        return s;
    }

    std::string previousRoot_;
};

QStringList Items(const QComboBox* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

// How many pixels of the dialog's rectangle are dark enough to be text.
int Ink(const QImage& shot, const QRect& r)
{
    int ink = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            ink += qGray(shot.pixel(x, y)) < 96;
    return ink;
}

} // namespace

TEST_F(ScreenConfig, ShowsTheStoredSettingsAndStoresWhatOkTakes)
{
    AddPort("ttyUSB0");
    const std::string port = AddPort("ttyUSB1");
    CLargeScreenSystem system;
    system.SetSettings(Stored(port));
    system.SetTV(nullptr);

    modal().answerDialog([&](QDialog& dialog) {
        CDlgScreenConfig* d = Dialog(dialog);
        if (!d)
            return int(QDialog::Rejected);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("屏幕设置"));
        EXPECT_EQ(Items(d->ModeList()), (QStringList{"串口连接", "TCP连接", "UDP连接"}));
        EXPECT_EQ(d->ModeList()->currentIndex(), 0);
        EXPECT_EQ(d->DetailGroup()->title(), QStringLiteral("串口连接详细参数"));
        EXPECT_EQ(d->PortList()->count(), 2);
        EXPECT_EQ(d->PortList()->currentText().toStdString(), port);
        EXPECT_EQ(d->BaudEdit()->text(), "115200");
        // The stored commands, not empty edits that OK would store.
        EXPECT_EQ(d->OpenEdit()->text(), "01 02");
        EXPECT_EQ(d->CloseEdit()->text(), "03");
        EXPECT_FALSE(d->AdvancedGroup()->isVisible());
        EXPECT_TRUE(d->PortList()->isVisible());
        EXPECT_FALSE(d->IpEdit()->isVisible());

        // Serial mode: the port list is drawn where the address would be,
        // and the command hint below the commands.
        const QImage shot = tavrix::test::screenshot(dialog);
        const QRect list(d->PortList()->mapTo(&dialog, QPoint(0, 0)), d->PortList()->size());
        const QRect baud(d->BaudEdit()->mapTo(&dialog, QPoint(0, 0)), d->BaudEdit()->size());
        // Above the arrow: the list's button face, where an edit is white.
        constexpr ui::ColorRef kWhite = 0xFFFFFF;
        EXPECT_EQ(tavrix::test::pixelAt(shot, baud.right() - 8, baud.top() + 4), kWhite);
        EXPECT_NE(tavrix::test::pixelAt(shot, list.right() - 8, list.top() + 4), kWhite)
            << "an address edit instead of the port list";
        EXPECT_GT(Ink(shot, list.adjusted(4, 4, -24, -4)), 0);
        QRect hintRect;
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            if (label->text() == QStringLiteral("命令格式示例：XX XX XX XX XX"))
                hintRect = QRect(label->mapTo(&dialog, QPoint(0, 0)), label->size());
        EXPECT_FALSE(hintRect.isEmpty());
        EXPECT_GT(Ink(shot, hintRect), 20);

        // A rate no line runs at: refused while it shows, not stored when
        // it is hidden.
        for (const char* bad : {"0", "-9600", "x"}) {
            Type(d->BaudEdit(), bad);
            ClickTold(d->OkButton());
            EXPECT_EQ(LastTold(), RangeMessage(1, INT32_MAX));
            EXPECT_TRUE(dialog.isVisible());
        }

        d->ModeList()->setCurrentIndex(1);
        EXPECT_EQ(d->DetailGroup()->title(), QStringLiteral("TCP连接详细参数"));
        EXPECT_TRUE(d->IpEdit()->isVisible());
        EXPECT_TRUE(d->PortEdit()->isVisible());
        EXPECT_FALSE(d->PortList()->isVisible());
        EXPECT_FALSE(d->BaudEdit()->isVisible());
        EXPECT_EQ(d->PortEdit()->text(), "6001");
        EXPECT_EQ(d->IpEdit()->text(), "192.168.100.101");

        Type(d->PortEdit(), "70000");
        ClickTold(d->OkButton());
        EXPECT_EQ(LastTold(), RangeMessage(0, 65535));
        EXPECT_TRUE(dialog.isVisible());

        Type(d->PortEdit(), "7000");
        Type(d->IpEdit(), "127.0.0.1");
        QTest::mouseClick(d->OkButton(), Qt::LeftButton);
        return dialog.result();
    });
    ASSERT_TRUE(RunScreenConfig(system));

    ScreenPowerSettings expected = Stored(port);
    expected.commMode = 1;
    expected.ip = 0x7F000001;
    expected.port = 7000;
    EXPECT_EQ(system.Settings(), expected);
    EXPECT_TRUE(system.HasTV()); // the controller of the unchanged model 0
    CLargeScreenSystem reloaded;
    ASSERT_TRUE(reloaded.LoadConfig());
    EXPECT_EQ(reloaded.Settings(), expected);
    // Only the serial line is served: the controller is not asked.
    EXPECT_EQ(system.OpenScreen(), 2);
    EXPECT_EQ(system.CloseScreen(), 2);
}

TEST_F(ScreenConfig, PortListFallsBackAndCancelKeepsEverything)
{
    struct Case {
        std::vector<std::string> ports;
        std::string stored;
        std::string taken; // what OK stores
    };
    const std::string first = fs::absolute("ports/ttyUSB3").string(); // listed before ttyACM
    const Case cases[] = {
        {{"ttyACM0", "ttyUSB3"}, "/dev/ttyUSB9", first}, // unknown: the first port
        {{"ttyUSB3"}, "COM7", first},
        {{}, "/dev/ttyUSB0", "COM1"}, // none listed
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        fs::remove_all("ports");
        fs::create_directories("ports");
        for (const std::string& name : c.ports)
            AddPort(name);
        CLargeScreenSystem system;
        ScreenPowerSettings s = Stored(c.stored);
        s.model = 1; // no controller for it: OK makes none either
        system.SetSettings(s);

        modal().answerDialog([](QDialog& dialog) {
            if (CDlgScreenConfig* d = Dialog(dialog))
                QTest::mouseClick(d->CancelButton(), Qt::LeftButton);
            return dialog.result();
        });
        EXPECT_FALSE(RunScreenConfig(system));
        EXPECT_EQ(system.Settings(), s);
        EXPECT_FALSE(fs::exists(TvConfigPath()));

        modal().answerDialog([&](QDialog& dialog) {
            CDlgScreenConfig* d = Dialog(dialog);
            if (!d)
                return int(QDialog::Rejected);
            EXPECT_EQ(d->PortList()->currentIndex(), c.ports.empty() ? -1 : 0);
            QTest::mouseClick(d->OkButton(), Qt::LeftButton);
            return dialog.result();
        });
        ASSERT_TRUE(RunScreenConfig(system));
        s.serial.portName = c.taken;
        EXPECT_EQ(system.Settings(), s);
        EXPECT_FALSE(system.HasTV());
        EXPECT_EQ(system.OpenScreen(), 1);
        fs::remove(TvConfigPath());
    }
}

TEST_F(ScreenConfig, RefusesCommandsTheDisplaysCannotTake)
{
    // A file that could not be read stays until the operator confirms.
    WriteText(TvConfigPath(), "<TVConfig><lastinstance");
    CLargeScreenSystem system;
    ASSERT_FALSE(system.LoadConfig());
    EXPECT_EQ(ReadText(TvConfigPath() + ".bad"), "<TVConfig><lastinstance");

    modal().expectInform();
    modal().answerDialog([](QDialog& dialog) {
        CDlgScreenConfig* d = Dialog(dialog);
        if (!d)
            return int(QDialog::Rejected);
        EXPECT_EQ(d->OpenEdit()->text(), "D5 11 FF 10 01 AA");
        const struct {
            QLineEdit* edit;
            QString text;
            QString told;
        } refused[] = {
            {d->OpenEdit(), "D5 1G", "命令格式错误，请输入以空格分隔的十六进制字节，如：D5 11 FF 10 01 AA"},
            {d->CloseEdit(), "0xD5", "命令格式错误，请输入以空格分隔的十六进制字节，如：D5 11 FF 10 01 AA"},
            {d->OpenEdit(), QString(256, '1'), "命令过长，最多255个字符！"},
        };
        for (const auto& r : refused) {
            const QString kept = r.edit->text();
            Type(r.edit, r.text);
            ClickTold(d->OkButton());
            EXPECT_EQ(LastTold(), r.told) << r.text.toStdString();
            EXPECT_TRUE(dialog.isVisible());
            Type(r.edit, kept);
        }
        QTest::mouseClick(d->CancelButton(), Qt::LeftButton);
        return dialog.result();
    });
    EXPECT_FALSE(RunScreenConfig(system));
    EXPECT_EQ(ReadText(TvConfigPath()), "<TVConfig><lastinstance");
    EXPECT_TRUE(modal().prompts().at(0).text.contains("TVConfig.pro.bad"));

    modal().expectInform();
    modal().answerDialog([](QDialog& dialog) {
        CDlgScreenConfig* d = Dialog(dialog);
        if (!d)
            return int(QDialog::Rejected);
        Type(d->OpenEdit(), QString(255, 'a'));
        Type(d->CloseEdit(), "  d5   11 ");
        QTest::mouseClick(d->OkButton(), Qt::LeftButton);
        return dialog.result();
    });
    ASSERT_TRUE(RunScreenConfig(system));
    CLargeScreenSystem reloaded;
    ASSERT_TRUE(reloaded.LoadConfig());
    EXPECT_EQ(reloaded.Settings().openCmd, std::string(255, 'a'));
    EXPECT_EQ(reloaded.Settings().closeCmd, "  d5   11 ");
    EXPECT_TRUE(system.FileNotice().empty());
}
