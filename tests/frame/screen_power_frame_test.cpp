// The main window's screen power: the settings it loads when it is made,
// caption buttons 22 and 23 of the wall view, and its screen configuration
// command. The displays are a pseudo-terminal; the processor a simulator
// on loopback.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <fcntl.h>
#include <filesystem>
#include <pty.h>
#include <unistd.h>

#include "comm/net_manager.h"
#include "core/config.h"
#include "context/context.h"
#include "core/event_queue.h"
#include "comm/sport_operator.h"
#include "corlane/app_path.h"
#include "dialogs/screen_power_dlg.h"
#include "frame/caption_buttons.h"
#include "frame/command_ids.h"
#include "frame/main_frame.h"
#include "frame/shipped_data.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/processor_settings.h"
#include "tests/frame/frame_window_fixture.h"
#include "tests/frame/test_processor.h"
#include "tests/model/link_fixture.h"
#include "tests/support/processor_simulator.h"
#include "tests/support/test_files.h"
#include "tests/support/ui/ui_test.h"
#include "views/view_manager.h"

namespace fs = std::filesystem;
using namespace tavrix::test;
using namespace std::chrono_literals;

namespace {

constexpr char kNetNotServed[] = "网络通信功能正在开发过程中，请通过串口通信方式来对大屏进行控制!";

class ScreenPowerFrame : public FrameWindowTest {
protected:
    void SetUp() override
    {
        FrameWindowTest::SetUp();
        fs::create_directories(qz::vok::path::GetHardwarePath());
        char path[128] = {};
        ASSERT_EQ(::openpty(&master_, &slave_, path, nullptr, nullptr), 0);
        ::fcntl(master_, F_SETFL, O_NONBLOCK);
        display_ = path;
    }
    void TearDown() override
    {
        if (processor_)
            CNetManager::get_instance().CloseAndRemove(processor_->settings().GetChannelId());
        FrameWindowTest::TearDown();
        ::close(slave_);
        ::close(master_);
    }

    // The settings file the frame finds, with `attributes` on "lastinstance".
    static void WriteSettings(const std::string& attributes)
    {
        WriteText(TvConfigPath(), "<TVConfig><lastinstance " + attributes +
                                      R"( OpenCmd="D5 11 FF 10 01 AA" CloseCmd="D5 11 FF 10 00 AA"/>)"
                                      R"(<ModelList><Model id="0" friendlyname="kestavo tv"/></ModelList></TVConfig>)");
    }

    // Processor 1 with a source, selected and connected to the simulator.
    void ConnectProcessor(ProcessorSimulator& simulator)
    {
        processor_ = MakeTestProcessor(true);
        PointAtLoopback(*processor_, simulator.Port());
        CQelContext::GetProMan()->AddProcessor(processor_);
        CQelContext::SetSelSigSrc(1, 100);
        ASSERT_TRUE(processor_->Connect());
        ASSERT_TRUE(WaitFor([&] { return processor_->IsConnected(); }, 20s));
    }

    CMainFrame& MakeFrame()
    {
        frame.reset();
        CViewManager::get_instance().DestroyViews();
        return FrameWindowTest::MakeFrame();
    }

    // The message a caption button showed; empty when none.
    QString Press(int button)
    {
        const size_t before = modal().prompts().size();
        modal().expectInform();
        frame->OnCtrlBarNotify(button);
        if (modal().prompts().size() == before) {
            modal().reset(); // the expected message never came
            return QString();
        }
        return modal().prompts().back().text;
    }

    std::vector<uint8_t> DisplayRead() const
    {
        std::vector<uint8_t> bytes(512);
        const ssize_t n = ::read(master_, bytes.data(), bytes.size());
        bytes.resize(n > 0 ? size_t(n) : 0);
        return bytes;
    }

    std::shared_ptr<CQelProcessor> processor_;
    std::string display_;
    int master_ = -1;
    int slave_ = -1;
};

} // namespace

TEST_F(ScreenPowerFrame, CaptionButtonsSwitchTheDisplaysOfTheLoadedSettings)
{
    ProcessorSimulator simulator;
    ConnectProcessor(simulator);
    WriteSettings(R"(tvmodel="0" serialport=")" + display_ + R"(" commmode="0")");
    MakeFrame();
    ASSERT_NE(frame->ActiveWallView(), nullptr);
    EXPECT_EQ(frame->ScreenPower().GetPortName(), display_);

    EXPECT_EQ(Press(captionbtn::kScreenOpen), QString());
    EXPECT_EQ(DisplayRead(), (std::vector<uint8_t>{0xD5, 0x11, 0xFF, 0x10, 0x01, 0xAA}));
    EXPECT_TRUE(WaitFor([&] { return simulator.Connections() == 2; }, 20s));
    EXPECT_TRUE(WaitFor([&] { return processor_->IsConnected(); }, 20s));
    EXPECT_EQ(Press(captionbtn::kScreenClose), QString());
    EXPECT_EQ(DisplayRead(), (std::vector<uint8_t>{0xD5, 0x11, 0xFF, 0x10, 0x00, 0xAA}));
    EXPECT_TRUE(WaitFor([&] { return simulator.Connections() == 3; }, 20s));
    EXPECT_TRUE(WaitFor([&] { return processor_->IsConnected(); }, 20s));

    // What the buttons tell when the displays cannot be reached. Only the
    // model and the mode vary, so none of these opens a port.
    const struct {
        const char* attributes;
        const char* open;
        const char* close;
    } failures[] = {
        {R"(commmode="0")", "打开屏幕失败，请重试!", "关闭屏幕失败，请重试!"}, // model 1: no controller
        {R"(tvmodel="0" commmode="1")", kNetNotServed, kNetNotServed},
        {R"(tvmodel="0" commmode="2")", kNetNotServed, kNetNotServed},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.attributes);
        WriteSettings(std::string(f.attributes) + R"( serialport=")" + display_ + '"');
        MakeFrame();
        EXPECT_EQ(Press(captionbtn::kScreenOpen), QString::fromUtf8(f.open));
        EXPECT_EQ(Press(captionbtn::kScreenClose), QString::fromUtf8(f.close));
    }
    EXPECT_TRUE(DisplayRead().empty());
    EXPECT_EQ(simulator.Connections(), 3u);
}

TEST_F(ScreenPowerFrame, ScreenConfigCommandStoresTheDialogsValues)
{
    // No file: the built-in settings, with the controller of their model.
    MakeFrame();
    EXPECT_TRUE(frame->ScreenPower().HasTV());
    EXPECT_EQ(frame->ScreenPower().Settings(), BuiltInScreenPowerSettings());
    EXPECT_FALSE(fs::exists(TvConfigPath()));

    modal().answerDialog([](QDialog& dialog) {
        auto* d = dynamic_cast<CDlgScreenConfig*>(&dialog);
        if (!d)
            return int(QDialog::Rejected);
        dialog.show();
        EXPECT_EQ(d->OpenEdit()->text(), "D5 11 FF 10 01 AA");
        d->ModeList()->setCurrentIndex(1);
        d->IpEdit()->setText("127.0.0.1");
        QTest::mouseClick(d->OkButton(), Qt::LeftButton);
        return dialog.result();
    });
    EXPECT_TRUE(frame->OnCommand(cmd::kScreenConfig));
    CLargeScreenSystem saved;
    ASSERT_TRUE(saved.LoadConfig());
    EXPECT_EQ(saved.Settings().commMode, 1);
    EXPECT_EQ(saved.Settings().ip, 0x7F000001u);
    EXPECT_EQ(saved.Settings(), frame->ScreenPower().Settings());
}
