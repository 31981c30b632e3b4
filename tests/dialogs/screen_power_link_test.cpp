// The display commands on a pseudo-terminal's slave, read raw at its master,
// while the selected processor is a link to the simulator (TCP on loopback
// or a second pseudo-terminal) that has to let go of the line meanwhile.
#include "comm/net_manager.h"
#include "context/context.h"
#include "dialogs/screen_power_system.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "platform/clock.h"
#include "tests/model/link_fixture.h"
#include "tests/support/processor_simulator.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>

using tavrix::test::WaitFor;
using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

namespace {

const Bytes kOpenBytes = {0xD5, 0x11, 0xFF, 0x10, 0x01, 0xAA};
const Bytes kCloseBytes = {0xD5, 0x11, 0xFF, 0x10, 0x00, 0xAA};

// What the frame's commands 1101, 1102 and 1104 do to the current processor.
class FrameCommands : public IScreenPowerFrame {
public:
    FrameCommands() : previous_(SetScreenPowerFrame(this)) {}
    ~FrameCommands() override { SetScreenPowerFrame(previous_); }
    void OnConnectProcessor() override { ConnectOver(1); }
    void OnConnectProcessorMode2() override { ConnectOver(2); }
    void OnDisconnectProcessor() override { Current()->Disconnect(); }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;

protected:
    static std::shared_ptr<CQelProcessor> Current()
    {
        return CQelContext::GetProMan()->FindById(uint32_t(CQelContext::GetSelProcessorId()));
    }

private:
    void ConnectOver(int type)
    {
        auto connection = Current()->settings().GetConnection();
        connection.type = type;
        Current()->settings().SetConnection(connection);
        Current()->Connect();
    }
    IScreenPowerFrame* previous_;
};

// The display port: the controller opens the slave by its path.
struct Pty {
    Pty()
    {
        char path[128] = {};
        EXPECT_EQ(::openpty(&master, &slave, path, nullptr, nullptr), 0);
        ::fcntl(master, F_SETFL, O_NONBLOCK);
        name = path;
    }
    ~Pty()
    {
        ::close(slave);
        ::close(master);
    }
    // What reached the master so far.
    Bytes Read() const
    {
        Bytes bytes(512);
        const ssize_t n = ::read(master, bytes.data(), bytes.size());
        bytes.resize(n > 0 ? size_t(n) : 0);
        return bytes;
    }
    // Descriptors of this process open on the slave besides the pair's own.
    int OthersOpen() const
    {
        int open = 0;
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
            std::error_code error;
            open += std::filesystem::read_symlink(entry.path(), error) == name;
        }
        return open - 1;
    }
    int master = -1;
    int slave = -1;
    std::string name;
};

// Processor 1 with a source (so the heartbeat asks for no slot discovery),
// selected.
std::shared_ptr<CQelProcessor> AddSelected(const std::function<void(CQelProcessor::Connection&)>& link)
{
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetId(1);
    auto connection = processor->settings().GetConnection();
    link(connection);
    processor->settings().SetConnection(connection);
    processor->AddSigSrc(std::make_shared<CQelSigSrc>(1), false, false);
    CQelContext::GetProMan()->AddProcessor(processor);
    CQelContext::SetSelSigSrc(1, 1);
    return processor;
}

std::shared_ptr<CQelProcessor> SerialProcessor(const std::string& device)
{
    return AddSelected([&](CQelProcessor::Connection& c) {
        c.type = 2;
        c.serialAutoDetect = 0;
        c.serialDevice = device;
    });
}

void Drop(std::shared_ptr<CQelProcessor>& processor)
{
    CNetManager::get_instance().CloseAndRemove(processor->settings().GetChannelId());
    processor.reset();
    CQelContext::Destroy();
}

CLargeScreenSystem DisplaysOn(const std::string& port)
{
    CLargeScreenSystem system;
    ScreenPowerSettings s = BuiltInScreenPowerSettings();
    s.serial.portName = port;
    system.SetSettings(s);
    system.SetTV(CreateTVByModel(s.model));
    return system;
}

} // namespace

TEST(ScreenPowerLink, TcpProcessorLetsTheDisplayLineGoAndReconnects)
{
    ProcessorSimulator simulator;
    auto processor = AddSelected([](CQelProcessor::Connection& c) { c.type = 1; });
    PointAtLoopback(*processor, simulator.Port());
    FrameCommands frame;
    ASSERT_TRUE(processor->Connect());
    ASSERT_TRUE(WaitFor([&] { return processor->IsConnected(); }, 20s));

    Pty display;
    CLargeScreenSystem system = DisplaysOn(display.name);
    ScreenPowerSettings s = system.Settings();
    s.openCmd = "";
    CLargeScreenSystem silent;
    silent.SetSettings(s);
    silent.SetTV(CreateTVByModel(0));
    const struct {
        const char* what;
        std::function<int()> press;
        Bytes written;
    } buttons[] = {
        {"open", [&] { return system.OpenScreen(); }, kOpenBytes},
        {"close", [&] { return system.CloseScreen(); }, kCloseBytes},
        // Nothing to send: the processor still lets go and comes back.
        {"empty", [&] { return silent.OpenScreen(); }, {}},
    };
    // The processor may see its link up before the simulator counts it.
    ASSERT_TRUE(simulator.WaitForConnection(20s));
    size_t connections = simulator.Connections();
    for (const auto& button : buttons) {
        SCOPED_TRACE(button.what);
        EXPECT_EQ(button.press(), 0);
        EXPECT_EQ(display.Read(), button.written);
        EXPECT_FALSE(CSPortOperator::IsOpen());
        EXPECT_EQ(display.OthersOpen(), 0);
        ++connections;
        EXPECT_TRUE(WaitFor([&] { return simulator.Connections() == connections; }, 20s));
        EXPECT_TRUE(WaitFor([&] { return processor->IsConnected(); }, 20s));
        EXPECT_EQ(processor->settings().GetConnection().type, 1);
    }
    EXPECT_TRUE(frame.messages.empty());

    // A display line that takes nothing: the failed write is reported, and
    // the processor still comes back.
    ASSERT_EQ(::tcflow(display.slave, TCOOFF), 0);
    EXPECT_EQ(system.OpenScreen(), 1);
    ::tcflow(display.slave, TCOON);
    EXPECT_FALSE(CSPortOperator::IsOpen());
    EXPECT_EQ(display.OthersOpen(), 0);
    EXPECT_TRUE(WaitFor([&] { return simulator.Connections() == connections + 1; }, 20s));
    EXPECT_TRUE(WaitFor([&] { return processor->IsConnected(); }, 20s));
    ++connections;
    display.Read();

    // A bad stored command never touches the link.
    s.closeCmd = "D5 ZZ";
    system.SetSettings(s);
    EXPECT_EQ(system.CloseScreen(), 1);
    EXPECT_TRUE(display.Read().empty());
    EXPECT_TRUE(processor->IsConnected());

    // A display port that cannot be opened leaves the processor off the line.
    s.serial.portName = std::filesystem::absolute("missing-port").string();
    system.SetSettings(s);
    EXPECT_EQ(system.OpenScreen(), 1);
    EXPECT_FALSE(processor->IsConnected());
    EXPECT_FALSE(CSPortOperator::IsOpen());
    EXPECT_EQ(simulator.Connections(), connections);

    Drop(processor);
}

TEST(ScreenPowerLink, SerialLinkLetsGoOfTheLineHalfASecondEachWay)
{
    platform::ScaledClock clock(10);
    platform::ScopedClock scoped(clock);
    ProcessorSimulator simulator;
    const std::string link = simulator.OpenPty();
    auto processor = SerialProcessor(link);
    ASSERT_TRUE(processor->Connect());
    ASSERT_TRUE(WaitFor([&] { return processor->IsConnected(); }, 20s));

    Pty display;
    // Notes when each frame command came and what the display had by then.
    struct Step {
        std::string command;
        platform::TimePoint at;
        Bytes displayHad;
        bool processorConnected;
    };
    struct TimedFrame : FrameCommands {
        explicit TimedFrame(const Pty& pty) : display(pty) {}
        void Note(const char* command)
        {
            steps.push_back({command, platform::Now(), display.Read(), Current()->IsConnected()});
        }
        void OnDisconnectProcessor() override
        {
            Note("disconnect");
            FrameCommands::OnDisconnectProcessor();
        }
        void OnConnectProcessor() override
        {
            Note("connect over TCP");
            FrameCommands::OnConnectProcessor();
        }
        void OnConnectProcessorMode2() override
        {
            Note("connect over the serial line");
            FrameCommands::OnConnectProcessorMode2();
        }
        const Pty& display;
        std::vector<Step> steps;
    } frame(display);

    CLargeScreenSystem system = DisplaysOn(display.name);
    EXPECT_EQ(system.OpenScreen(), 0);
    ASSERT_EQ(frame.steps.size(), 3u);
    EXPECT_EQ(frame.steps[0].command, "disconnect");
    EXPECT_TRUE(frame.steps[0].processorConnected);
    EXPECT_TRUE(frame.steps[0].displayHad.empty());
    // The bytes went out on the released line, at least 500 ms after the
    // processor was asked to let go of it.
    EXPECT_EQ(frame.steps[1].command, "disconnect");
    EXPECT_FALSE(frame.steps[1].processorConnected);
    EXPECT_EQ(frame.steps[1].displayHad, kOpenBytes);
    EXPECT_GE(frame.steps[1].at - frame.steps[0].at, 500ms);
    // And the processor took its line back at least 500 ms after that.
    EXPECT_EQ(frame.steps[2].command, "connect over the serial line");
    EXPECT_GE(frame.steps[2].at - frame.steps[1].at, 500ms);
    EXPECT_TRUE(WaitFor([&] { return processor->IsConnected(); }, 20s));
    EXPECT_EQ(processor->settings().GetConnection().type, 2);
    EXPECT_EQ(processor->settings().GetConnection().serialDevice, link);
    EXPECT_FALSE(CSPortOperator::IsOpen());
    EXPECT_EQ(display.OthersOpen(), 0);
    EXPECT_TRUE(frame.messages.empty());

    Drop(processor);
}

TEST(ScreenPowerLink, SerialLinkThatKeepsTheLineIsNotWrittenOver)
{
    platform::ScaledClock clock(10);
    platform::ScopedClock scoped(clock);
    ProcessorSimulator simulator;
    auto processor = SerialProcessor(simulator.OpenPty());
    ASSERT_TRUE(processor->Connect());
    ASSERT_TRUE(WaitFor([&] { return processor->IsConnected(); }, 20s));

    // A frame whose disconnect does not take the link down.
    struct StuckFrame : FrameCommands {
        void OnDisconnectProcessor() override {}
    } frame;
    Pty display;
    SerialParams params;
    params.portName = display.name;
    params.baudRate = 9600;
    const uint8_t bytes[] = {0xD5};
    CKestavoTV tv;
    EXPECT_EQ(tv.WriteSerial(params, bytes, 1), 3);
    tv.SetSerialParams(params);
    EXPECT_EQ(tv.SendOpen("D5"), kTvFailed);
    CLargeScreenSystem system = DisplaysOn(display.name);
    EXPECT_EQ(system.OpenScreen(), 1);
    EXPECT_EQ(frame.messages, std::vector<std::string>(3, "串口正被占用，请重试！"));
    EXPECT_TRUE(display.Read().empty());
    EXPECT_TRUE(processor->IsConnected());
    EXPECT_EQ(display.OthersOpen(), 0);

    Drop(processor);
}

TEST(ScreenPowerLink, NothingIsSentWithoutAProcessor)
{
    struct Recording : FrameCommands {
        void OnConnectProcessor() override { calls.push_back("connect"); }
        void OnConnectProcessorMode2() override { calls.push_back("connect"); }
        void OnDisconnectProcessor() override { calls.push_back("disconnect"); }
        std::vector<std::string> calls;
    } frame;
    Pty display;
    CLargeScreenSystem system = DisplaysOn(display.name);
    EXPECT_EQ(system.OpenScreen(), 1);
    EXPECT_EQ(system.CloseScreen(), 1);
    EXPECT_TRUE(frame.calls.empty());
    EXPECT_TRUE(display.Read().empty());
    EXPECT_EQ(display.OthersOpen(), 0);
    CQelContext::Destroy();
}
