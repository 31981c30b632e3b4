// The processor link and network settings dialog on a processor of the
// simulator: what it opens with and hands back, the device's address,
// mask and gateway set behind the password, and the reads that wait on
// the UI thread. Every address typed or answered is 127.0.0.1.
#include <QCheckBox>
#include <QClipboard>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QTimer>
#include <filesystem>

#include "comm/net_manager.h"
#include "context/context.h"
#include "core/event_pump.h"
#include "core/event_queue.h"
#include "core/event_signals.h"
#include "comm/sport_operator.h"
#include "dialogs/ip_address_ctrl.h"
#include "dialogs/password_check.h"
#include "dialogs/password_dlg.h"
#include "dialogs/set_processor_dlg.h"
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
namespace fs = std::filesystem;

namespace {

void TypeAddress(CIpAddressCtrl* control, const QString& dotted)
{
    const QStringList parts = dotted.split(QLatin1Char('.'));
    for (int i = 0; i < 4; ++i)
        Type(control->Field(i), parts.value(i));
}

std::string Ended(const std::string& line)
{
    return line + "\r\n";
}

class LinkDialog : public tavrix::test::UiTest {
protected:
    void SetUp() override
    {
        CEvtQueue::get_instance().Clear();
        fs::create_directories("ports");
        previousRoot_ = CSPortOperator::SetScanRoot(fs::absolute("ports").string());
        AddTestSource(*link.processor, 203, 1920, 1080);
        // OK reconnects to whatever the connection holds: loopback only.
        PointAtLoopback(*link.processor, link.simulator.Port());
        CQelContext::SetSelSigSrc(1, 203);
        // The frame's event pump, which brings the replies to the dialog.
        QObject::connect(&pump_, &QTimer::timeout, [] { PumpEvents(); });
        pump_.start(5);
        ASSERT_TRUE(tavrix::test::pumpUntil([&] { return link.processor->IsConnected(); }));
        link.SentBefore();
    }
    void TearDown() override
    {
        pump_.stop();
        CSPortOperator::SetScanRoot(previousRoot_);
        SetPasswordAccepted(false);
        UiTest::TearDown();
    }

    // Runs the dialog on the current processor as the frame opens it and
    // `work` on it; the settings it hands back.
    LinkSettings Run(std::function<void(CSetProcessorDlg&)> work, bool ok = true)
    {
        CSetProcessorDlg dialog(link.processor);
        dialog.settings = LinkSettingsOf(*link.processor);
        modal().answerDialog([&](QDialog& d) {
            Open(d);
            work(dialog);
            QTest::mouseClick(ok ? dialog.OkButton() : dialog.CancelButton(), Qt::LeftButton);
            return d.result();
        });
        EXPECT_EQ(dialog.DoModal(), ok ? QDialog::Accepted : QDialog::Rejected);
        return dialog.settings;
    }

    void AnswerPassword(const QString& entry = QStringLiteral("739146"))
    {
        AnswerAs<CPasswordDlg>([entry](CPasswordDlg& password) {
            Type(password.PasswordEdit(), entry);
            QTest::mouseClick(password.OkButton(), Qt::LeftButton);
        });
    }

    // Answers the address dialog: checks what it opens with, enters the
    // new texts.
    void AnswerAddress(const QString& shownAddress, const QString& shownPort, const QString& address,
                       const QString& port)
    {
        AnswerAs<CSetIpAddrDlg>([=](CSetIpAddrDlg& dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("设置硬件设备Ip地址"));
            EXPECT_EQ(dialog.AddressCtrl()->Text(), shownAddress);
            EXPECT_EQ(dialog.PortEdit()->text(), shownPort);
            // Out of range first: told, and the dialog stays.
            Type(dialog.PortEdit(), QStringLiteral("65536"));
            ClickTold(dialog.OkButton());
            EXPECT_EQ(LastTold(), QStringLiteral("请输入一个介于 0 和 65535 之间的整数。"));
            EXPECT_TRUE(dialog.isVisible());
            TypeAddress(dialog.AddressCtrl(), address);
            Type(dialog.PortEdit(), port);
            QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
        });
    }

    // Clicks a button whose message comes after a wait; returns it and
    // the process-clock time it took.
    std::pair<QString, int64_t> ClickAndWaitTold(QPushButton* button)
    {
        const size_t before = modal().prompts().size();
        modal().expectInform();
        const auto start = platform::Now();
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_TRUE(tavrix::test::pumpUntil([&] { return modal().prompts().size() > before; }, 20000));
        return {LastTold(), platform::MillisSince(start)};
    }

    // Answers the query `keyword` with `reply`.
    void Answer(const std::string& keyword, const std::string& reply)
    {
        link.simulator.Respond(keyword, [reply](const std::string&, int) {
            return std::optional<std::vector<ProcessorSimulator::Answer>>({{Ended(reply)}});
        });
    }

    std::string Port() const { return std::to_string(link.simulator.Port()); }

    platform::ScaledClock clock{50};
    LinkFixture link{clock, 7, 0};
    QTimer pump_;
    std::string previousRoot_;
    int addressReplies_ = 0;
    boost::signals2::scoped_connection addressSeen_ =
        CQelEvtSignals::ConnectProcessorIP([this](const CProcessorIPEvent&) { ++addressReplies_; });
};

} // namespace

// Keys go where the focus is, as the operator's do: "\b" is Backspace,
// "^" pastes the clipboard.
TEST(AddressControl, TypedAndPastedAddressesLandWhole)
{
    const struct {
        const char* keys;
        const char* clipboard;
        const char* address;
        int told;
    } cases[] = {
        {"127.0.0.1", "", "127.0.0.1", 0},
        {"255255255.0", "", "255.255.255.0", 0}, // a third digit moves on
        {"1.2\b\b\b9", "", "9.0.0.100", 0},      // Backspace at a start moves back
        {"300.5", "", "30.5.0.100", 1},          // above 255: refused, told
        {"\b.7", "", "7.168.0.100", 0},          // a dot in an empty number stays
        {"^", " 10.20.30.40\n", "10.20.30.40", 0},
        {"1.^", "2.3.4.5", "1.168.0.100", 0}, // more numbers than fields remain
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        tavrix::test::scriptedModal().reset();
        CIpAddressCtrl control;
        control.SetText(QStringLiteral("192.168.0.100"));
        control.show();
        control.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&control));
        control.Field(0)->setFocus();
        control.Field(0)->selectAll();
        QApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));
        for (int told = 0; told < c.told; ++told)
            tavrix::test::scriptedModal().expectInform();
        for (const char* k = c.keys; *k; ++k) {
            QWidget* focus = QApplication::focusWidget();
            ASSERT_NE(focus, nullptr);
            if (*k == '^')
                QTest::keySequence(focus, QKeySequence::Paste);
            else if (*k == '\b')
                QTest::keyClick(focus, Qt::Key_Backspace);
            else
                QTest::keyClick(focus, *k);
        }
        EXPECT_EQ(control.Text(), QString::fromUtf8(c.address));
        EXPECT_EQ(tavrix::test::scriptedModal().pendingAnswers(), 0u);
        if (c.told > 0) {
            EXPECT_EQ(LastTold(), QStringLiteral("请输入一个介于 0 和 255 之间的整数。"));
        }
    }
}

TEST_F(LinkDialog, OpensWithTheStoredSettingsAndHandsThemBack)
{
    const std::string pty = link.simulator.OpenPty();
    ASSERT_FALSE(pty.empty());
    fs::create_symlink(pty, "ports/ttyS0");
    fs::create_symlink(pty, "ports/ttyUSB0");
    const std::string usb = fs::absolute("ports/ttyUSB0").string();
    auto connection = link.processor->settings().GetConnection();
    connection.serialDevice = usb;
    connection.serialRate = 57600;
    connection.serialAutoDetect = 0;
    link.processor->settings().SetConnection(connection);

    // A rate the list lacks: nothing selected, and OK hands it back as it
    // was, so no rate change goes to the device.
    LinkSettings out = Run([&](CSetProcessorDlg& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("处理器通讯设置"));
        EXPECT_EQ(dialog.TcpAddressCtrl()->Text(), QStringLiteral("127.0.0.1"));
        EXPECT_FALSE(dialog.TcpAddressCtrl()->isEnabled());
        EXPECT_FALSE(dialog.TcpPortEdit()->isEnabled());
        ASSERT_EQ(dialog.PortList()->count(), 2);
        EXPECT_EQ(dialog.PortList()->currentText().toStdString(), usb);
        ASSERT_EQ(dialog.RateList()->count(), 4);
        EXPECT_EQ(dialog.RateList()->itemText(0), QStringLiteral("2400"));
        EXPECT_EQ(dialog.RateList()->itemText(3), QStringLiteral("115200"));
        EXPECT_EQ(dialog.RateList()->currentIndex(), -1);
        EXPECT_FALSE(dialog.AutoDetectBox()->isChecked());
        EXPECT_TRUE(dialog.NetworkPortRow()->isHidden()); // kind 7
        EXPECT_TRUE(dialog.ReadAddressButton()->isEnabled());
        EXPECT_TRUE(dialog.UpdateToLocalButton()->isEnabled());
        EXPECT_EQ(dialog.ReadAddressCtrl()->Text(), QStringLiteral("0.0.0.0"));
    });
    EXPECT_EQ(out.baudRate, 57600);
    EXPECT_EQ(out.serialDevice, usb);
    EXPECT_EQ(out.tcpAddress, "127.0.0.1");
    EXPECT_EQ(out.tcpPort, Port());

    // A device the list lacks selects the first; choices come back.
    connection.serialDevice = "COM9";
    connection.serialRate = 19200;
    link.processor->settings().SetConnection(connection);
    out = Run([&](CSetProcessorDlg& dialog) {
        EXPECT_EQ(dialog.PortList()->currentIndex(), 0);
        EXPECT_EQ(dialog.RateList()->currentText(), QStringLiteral("19200"));
        dialog.RateList()->setCurrentIndex(3);
        dialog.AutoDetectBox()->setChecked(true);
    });
    EXPECT_EQ(out.baudRate, 115200);
    EXPECT_EQ(out.autoDetect, 1);
    EXPECT_EQ(fs::path(out.serialDevice).filename(), "ttyS0");
    EXPECT_EQ(link.processor->settings().GetConnection().serialRate, 19200); // the opener applies

    // No ports: an empty list and an empty device.
    fs::remove("ports/ttyS0");
    fs::remove("ports/ttyUSB0");
    out = Run([](CSetProcessorDlg& dialog) { EXPECT_EQ(dialog.PortList()->count(), 0); });
    EXPECT_EQ(out.serialDevice, "");

    // Disconnected at opening: the read and the copy stay off.
    link.channel->Close();
    ASSERT_TRUE(tavrix::test::pumpUntil([&] { return !link.processor->IsConnected(); }));
    Run(
        [](CSetProcessorDlg& dialog) {
            EXPECT_FALSE(dialog.ReadAddressButton()->isEnabled());
            EXPECT_FALSE(dialog.UpdateToLocalButton()->isEnabled());
        },
        false);
}

TEST_F(LinkDialog, SetsTheDeviceAddressBehindThePasswordEveryTime)
{
    const QString port = QString::fromStdString(Port());
    struct Case {
        int kind;
        int networkPort;
        std::vector<std::string> lines;
    };
    const std::string p = Port();
    for (const Case& c : {Case{7, 0, {"GP SIATP 127 0 0 1 " + p + "\r\n"}},
                          Case{6, 0, {"GP SIPA 127 0 0 1\r\n", "GP STPN " + p + "\r\n"}},
                          Case{10, 1, {"GP SI1ATP 127 0 0 1 " + p + "\r\n"}}}) {
        link.processor->SetKind(c.kind);
        // The accepted flag of an earlier entry does not spare the prompt.
        SetPasswordAccepted(true);
        const LinkSettings out = Run([&](CSetProcessorDlg& dialog) {
            if (c.kind == 10) {
                EXPECT_FALSE(dialog.NetworkPortRow()->isHidden());
                dialog.NetworkPortList()->setCurrentIndex(c.networkPort);
            }
            AnswerPassword();
            AnswerAddress(QStringLiteral("127.0.0.1"), port, QStringLiteral("127.0.0.1"), port);
            ClickTold(dialog.SetAddressButton());
            EXPECT_EQ(LastTold(), QStringLiteral("设置设备IP完毕!"));
            EXPECT_EQ(dialog.TcpAddressCtrl()->Text(), QStringLiteral("127.0.0.1"));
            EXPECT_EQ(dialog.TcpPortEdit()->text(), port);
        });
        EXPECT_EQ(out.networkPort, c.networkPort) << c.kind;
        EXPECT_EQ(link.SentBefore(c.kind == 6), c.lines) << c.kind;
    }

    // A wrong password or a cancelled address dialog changes nothing.
    link.processor->SetKind(7);
    Run(
        [&](CSetProcessorDlg& dialog) {
            AnswerPassword(QStringLiteral("wrong"));
            modal().expectInform(); // the password dialog's complaint
            QTest::mouseClick(dialog.SetAddressButton(), Qt::LeftButton);
            modal().answerDialog([](QDialog& d) { return dynamic_cast<CPasswordDlg*>(&d) ? 1 : 0; });
            modal().answerDialog(QDialog::Rejected);
            QTest::mouseClick(dialog.SetAddressButton(), Qt::LeftButton);
        },
        false);
    EXPECT_TRUE(link.SentBefore(false).empty());

    // Busy with a job: refused and told, nothing sent.
    ProcessorSimulator other;
    auto busy = std::make_shared<BusyProcessor>();
    busy->SetId(2);
    busy->SetKind(7);
    PointAtLoopback(*busy, other.Port());
    AddTestSource(*busy, 203, 1920, 1080);
    CQelContext::GetProMan()->AddProcessor(busy);
    ASSERT_TRUE(busy->Connect());
    ASSERT_TRUE(tavrix::test::pumpUntil([&] { return busy->IsConnected(); }));
    ASSERT_EQ(busy->jobs().StartReset(nullptr), 0);
    CQelContext::SetSelSigSrc(2, 203);
    other.ClearLines();
    Run(
        [&](CSetProcessorDlg& dialog) {
            AnswerPassword();
            AnswerAddress(QStringLiteral("127.0.0.1"), port, QStringLiteral("127.0.0.1"), port);
            ClickTold(dialog.SetAddressButton());
            EXPECT_EQ(LastTold(), QStringLiteral("设置设备IP失败，请重启程序后，再次操作!"));
            TypeAddress(dialog.MaskCtrl(), QStringLiteral("255.255.255.0"));
            ClickTold(dialog.SetMaskButton());
            EXPECT_EQ(LastTold(), QStringLiteral("设置设备子网掩码失败，请重启程序后，再次操作!"));
        },
        false);
    busy->link().ChannelSend("MARK\r\n");
    ASSERT_TRUE(other.WaitForLine("MARK\r\n", 20s));
    EXPECT_EQ(other.Texts(), std::vector<std::string>{"MARK\r\n"});
    CNetManager::get_instance().CloseAndRemove(busy->settings().GetChannelId());
    busy->StopJobs();
    busy->link().StopSender();
    CQelContext::SetSelSigSrc(1, 203);

    // Disconnected: told, and the new texts stay for OK to hand back.
    link.channel->Close();
    ASSERT_TRUE(tavrix::test::pumpUntil([&] { return !link.processor->IsConnected(); }));
    const LinkSettings out = Run([&](CSetProcessorDlg& dialog) {
        AnswerPassword();
        AnswerAddress(QStringLiteral("127.0.0.1"), port, QStringLiteral("127.0.0.1"), QStringLiteral("9"));
        ClickTold(dialog.SetAddressButton());
        EXPECT_EQ(LastTold(), QStringLiteral("请连接画面处理器后，重新设置！"));
        EXPECT_EQ(dialog.TcpPortEdit()->text(), QStringLiteral("9"));
    });
    EXPECT_EQ(out.tcpAddress, "127.0.0.1");
    EXPECT_EQ(out.tcpPort, "9");
}

TEST_F(LinkDialog, SetsMaskAndGatewayOnTheChosenNetworkPort)
{
    Run(
        [&](CSetProcessorDlg& dialog) {
            TypeAddress(dialog.MaskCtrl(), QStringLiteral("255.255.255.0"));
            ClickTold(dialog.SetMaskButton());
            EXPECT_EQ(LastTold(), QStringLiteral("设置设备子网掩码完毕!"));
            TypeAddress(dialog.GatewayCtrl(), QStringLiteral("127.0.0.1"));
            ClickTold(dialog.SetGatewayButton());
            EXPECT_EQ(LastTold(), QStringLiteral("设置设备网关完毕!"));
            // A number above 255 set from outside is refused when read.
            dialog.MaskCtrl()->Field(1)->setText(QStringLiteral("256"));
            ClickTold(dialog.SetMaskButton());
            EXPECT_EQ(LastTold(), QStringLiteral("请输入一个介于 0 和 255 之间的整数。"));
            EXPECT_TRUE(dialog.isVisible());
        },
        false);
    EXPECT_EQ(link.SentBefore(false),
              (std::vector<std::string>{"GP SSM 255 255 255 0 255\r\n", "GP SGW 127 0 0 1 127\r\n"}));

    link.processor->SetKind(10);
    auto connection = link.processor->settings().GetConnection();
    connection.tcpType = "1";
    link.processor->settings().SetConnection(connection);
    Run(
        [&](CSetProcessorDlg& dialog) {
            EXPECT_EQ(dialog.NetworkPortList()->currentText(), QStringLiteral("网口1"));
            TypeAddress(dialog.MaskCtrl(), QStringLiteral("255.255.255.0"));
            ClickTold(dialog.SetMaskButton());
            TypeAddress(dialog.GatewayCtrl(), QStringLiteral("127.0.0.1"));
            ClickTold(dialog.SetGatewayButton());
        },
        false);
    EXPECT_EQ(link.SentBefore(false),
              (std::vector<std::string>{"GP SN1SM 255 255 255 0 255\r\n", "GP SN1GW 127 0 0 1 127\r\n"}));

    // No selected processor: each operation's own failure text.
    CQelContext::SetSelSigSrc(-1, -1);
    Run(
        [&](CSetProcessorDlg& dialog) {
            TypeAddress(dialog.MaskCtrl(), QStringLiteral("255.255.255.0"));
            ClickTold(dialog.SetMaskButton());
            EXPECT_EQ(LastTold(), QStringLiteral("设置设备子网掩码失败，请重启程序后，再次操作!"));
            ClickTold(dialog.SetGatewayButton());
            EXPECT_EQ(LastTold(), QStringLiteral("设置设备网关失败，请重启程序后，再次操作!"));
            AnswerPassword();
            ClickTold(dialog.SetAddressButton());
            EXPECT_EQ(LastTold(), QStringLiteral("设置设备IP失败，请重启程序后，再次操作!"));
        },
        false);
    EXPECT_TRUE(link.SentBefore(false).empty());
}

TEST_F(LinkDialog, ReadsWaitTheFullTimeOnTheUiThread)
{
    Answer("GP GIPA", "GP GIPA 127 0 0 1");
    Answer("GP GTPN", "GP GTPN " + Port());
    Answer("GP GSM", "GP GSM 255 255 255 0");
    Answer("GP GGW", "GP GGW 127 0 0 1");
    const QString port = QString::fromStdString(Port());
    Run(
        [&](CSetProcessorDlg& dialog) {
            // Before any read there is nothing to copy.
            ClickTold(dialog.UpdateToLocalButton());
            EXPECT_EQ(LastTold(), QStringLiteral("请先读取IP信息，再更新至本地!"));

            // The device answers at once; the message still comes after
            // both whole waits.
            auto [told, ms] = ClickAndWaitTold(dialog.ReadAddressButton());
            EXPECT_EQ(told, QStringLiteral("读取IP信息完毕!"));
            EXPECT_GE(ms, 2 * CSetProcessorDlg::kReadWaitMs);
            EXPECT_EQ(dialog.ReadAddressCtrl()->Text(), QStringLiteral("127.0.0.1"));
            EXPECT_EQ(dialog.ReadPortEdit()->text(), port);

            std::tie(told, ms) = ClickAndWaitTold(dialog.ReadMaskButton());
            EXPECT_EQ(told, QStringLiteral("读取SM信息完毕!"));
            EXPECT_GE(ms, CSetProcessorDlg::kReadWaitMs);
            EXPECT_EQ(dialog.ReadMaskCtrl()->Text(), QStringLiteral("255.255.255.0"));
            std::tie(told, ms) = ClickAndWaitTold(dialog.ReadGatewayButton());
            EXPECT_EQ(told, QStringLiteral("读取GW信息完毕!"));
            EXPECT_EQ(dialog.ReadGatewayCtrl()->Text(), QStringLiteral("127.0.0.1"));

            // Two reads at once: two queries, two messages.
            const size_t before = modal().prompts().size();
            modal().expectInform();
            modal().expectInform();
            QTest::mouseClick(dialog.ReadMaskButton(), Qt::LeftButton);
            QTest::mouseClick(dialog.ReadMaskButton(), Qt::LeftButton);
            EXPECT_TRUE(tavrix::test::pumpUntil([&] { return modal().prompts().size() == before + 2; }, 20000));
            EXPECT_EQ(modal().prompts()[before].text, QStringLiteral("读取SM信息完毕!"));
            EXPECT_EQ(modal().prompts()[before + 1].text, QStringLiteral("读取SM信息完毕!"));

            // The read address and port become the link's.
            dialog.TcpPortEdit()->setText(QStringLiteral("1"));
            QTest::mouseClick(dialog.UpdateToLocalButton(), Qt::LeftButton);
            EXPECT_EQ(dialog.TcpAddressCtrl()->Text(), QStringLiteral("127.0.0.1"));
            EXPECT_EQ(dialog.TcpPortEdit()->text(), port);

            // A silent device fails the read and leaves the values; so does
            // a reply that comes after the wait.
            link.simulator.Silence("GP GIPA");
            std::tie(told, ms) = ClickAndWaitTold(dialog.ReadAddressButton());
            EXPECT_EQ(told, QStringLiteral("读取IP信息失败，请重新读取!"));
            EXPECT_GE(ms, CSetProcessorDlg::kReadWaitMs);
            const int seen = addressReplies_;
            link.simulator.Push("GP GIPA 127 0 0 2\r\n");
            EXPECT_TRUE(tavrix::test::pumpUntil([&] { return addressReplies_ > seen; }));
            EXPECT_EQ(dialog.ReadAddressCtrl()->Text(), QStringLiteral("127.0.0.1"));
        },
        false);
    const auto sent = link.SentBefore();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "GP GSM 1\r\n"), 3);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "GP GIPA 1\r\n"), 2);

    // A device that gave port 0 cannot be copied.
    Answer("GP GIPA", "GP GIPA 127 0 0 1");
    Answer("GP GTPN", "GP GTPN 0");
    Run(
        [&](CSetProcessorDlg& dialog) {
            EXPECT_EQ(ClickAndWaitTold(dialog.ReadAddressButton()).first, QStringLiteral("读取IP信息完毕!"));
            ClickTold(dialog.UpdateToLocalButton());
            EXPECT_EQ(LastTold(), QStringLiteral("请先读取IP信息，再更新至本地!"));
            EXPECT_EQ(dialog.TcpPortEdit()->text(), QString::fromStdString(Port()));
        },
        false);
}

TEST_F(LinkDialog, ClosingDuringAReadTellsNothingLater)
{
    Answer("GP GIPA", "GP GIPA 127 0 0 1");
    Run([&](CSetProcessorDlg& dialog) { QTest::mouseClick(dialog.ReadAddressButton(), Qt::LeftButton); }, false);
    const size_t before = modal().prompts().size();
    const auto start = platform::Now();
    tavrix::test::pumpUntil([&] { return platform::MillisSince(start) > 3 * CSetProcessorDlg::kReadWaitMs; });
    EXPECT_EQ(modal().prompts().size(), before);
    // A reply still on its way reaches no dialog.
    const int seen = addressReplies_;
    link.simulator.Push("GP GIPA 127 0 0 1\r\n");
    EXPECT_TRUE(tavrix::test::pumpUntil([&] { return addressReplies_ > seen; }));
    EXPECT_EQ(modal().prompts().size(), before);
}

TEST_F(LinkDialog, DrawsTheNetworkPortRowForKind10Only)
{
    for (int kind : {10, 7}) {
        link.processor->SetKind(kind);
        Run(
            [&](CSetProcessorDlg& dialog) {
                const QRect row(dialog.NetworkPortRow()->mapTo(&dialog, QPoint(0, 0)), dialog.NetworkPortRow()->size());
                ASSERT_GT(row.height(), 10);
                const QImage shot = tavrix::test::screenshot(dialog);
                int dark = 0;
                for (int y = row.top(); y <= row.bottom(); ++y)
                    for (int x = row.left(); x <= row.right(); ++x)
                        dark += qGray(shot.pixel(x, y)) < 96;
                if (kind == 10)
                    EXPECT_GT(dark, 20) << "the label and the choice are drawn";
                else
                    EXPECT_EQ(dark, 0) << "an empty band where the row would be";
            },
            false);
    }
}
