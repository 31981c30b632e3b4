#include "app/context.h"
#include "dialogs/screen_power_system.h"
#include "model/processor_manager.h"
#include "tests/model/link_fixture.h"
#include "tests/support/processor_simulator.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

using tavrix::test::WaitFor;

namespace {

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

private:
    static std::shared_ptr<CQelProcessor> Current()
    {
        return CQelContext::GetProMan()->FindById(uint32_t(CQelContext::GetSelProcessorId()));
    }
    void ConnectOver(int type)
    {
        auto connection = Current()->GetConnection();
        connection.type = type;
        Current()->SetConnection(connection);
        Current()->Connect();
    }
    IScreenPowerFrame* previous_;
};

std::vector<uint8_t> ReadMaster(int master)
{
    std::vector<uint8_t> bytes(512);
    const ssize_t n = ::read(master, bytes.data(), bytes.size());
    bytes.resize(n > 0 ? size_t(n) : 0);
    return bytes;
}

} // namespace

TEST(ScreenPowerLink, TcpProcessorLetsTheDisplayLineGoAndReconnects)
{
    ProcessorSimulator simulator;
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetId(1);
    PointAtLoopback(*processor, simulator.Port());
    processor->AddSigSrc(std::make_shared<CQelSigSrc>(1), false, false);
    CQelContext::GetProMan()->AddProcessor(processor);
    CQelContext::SetSelSigSrc(1, 1);
    FrameCommands frame;
    ASSERT_TRUE(processor->Connect());
    ASSERT_TRUE(WaitFor([&] { return processor->IsConnected(); }, std::chrono::seconds(20)));

    int master = -1, slave = -1;
    char name[128] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    ::fcntl(master, F_SETFL, O_NONBLOCK);

    CLargeScreenSystem system;
    ScreenPowerSettings s = BuiltInScreenPowerSettings();
    s.serial.portName = name;
    system.SetSettings(s);
    system.SetTV(CreateTVByModel(0));
    EXPECT_EQ(system.OpenScreen(), 0);
    EXPECT_FALSE(CSPortOperator::IsOpen());
    EXPECT_TRUE(WaitFor([&] { return simulator.Connections() == 2; }, std::chrono::seconds(20)));
    EXPECT_EQ(ReadMaster(master), (std::vector<uint8_t>{0xD5, 0x11, 0xFF, 0x10, 0x01, 0xAA}));
    EXPECT_TRUE(frame.messages.empty());

    // A bad stored command never touches the link.
    s.closeCmd = "D5 ZZ";
    system.SetSettings(s);
    EXPECT_EQ(system.CloseScreen(), 1);
    EXPECT_TRUE(ReadMaster(master).empty());

    // A display port that cannot be opened leaves the processor off the line.
    s.serial.portName = std::filesystem::absolute("missing-port").string();
    system.SetSettings(s);
    EXPECT_EQ(system.OpenScreen(), 1);
    EXPECT_FALSE(processor->IsConnected());

    ::close(slave);
    ::close(master);
    CNetManager::get_instance().CloseAndRemove(processor->GetChannelId());
    processor.reset();
    CQelContext::Destroy();
}

TEST(ScreenPowerLink, SerialLinkThatKeepsTheLineIsNotWrittenOver)
{
    platform::ScaledClock clock(10);
    platform::ScopedClock scoped(clock);
    ProcessorSimulator simulator;
    const std::string link = simulator.OpenPty();
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetId(1);
    auto connection = processor->GetConnection();
    connection.type = 2;
    connection.serialAutoDetect = 0;
    connection.serialDevice = link;
    processor->SetConnection(connection);
    processor->AddSigSrc(std::make_shared<CQelSigSrc>(1), false, false);
    CQelContext::GetProMan()->AddProcessor(processor);
    CQelContext::SetSelSigSrc(1, 1);
    ASSERT_TRUE(processor->Connect());
    ASSERT_TRUE(WaitFor([&] { return processor->IsConnected(); }, std::chrono::seconds(20)));

    // A frame whose disconnect does not take the link down.
    struct StuckFrame : FrameCommands {
        void OnDisconnectProcessor() override {}
    } frame;
    int master = -1, slave = -1;
    char name[128] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    ::fcntl(master, F_SETFL, O_NONBLOCK);
    SerialParams params;
    params.portName = name;
    params.baudRate = 9600;
    const uint8_t bytes[] = {0xD5};
    CKestavoTV tv;
    EXPECT_EQ(tv.WriteSerial(params, bytes, 1), 3);
    tv.SetSerialParams(params);
    EXPECT_EQ(tv.SendOpen("D5"), kTvFailed);
    CLargeScreenSystem system;
    ScreenPowerSettings s = BuiltInScreenPowerSettings();
    s.serial = params;
    system.SetSettings(s);
    system.SetTV(CreateTVByModel(0));
    EXPECT_EQ(system.OpenScreen(), 1);
    EXPECT_EQ(frame.messages, std::vector<std::string>(3, "串口正被占用，请重试！"));
    EXPECT_TRUE(ReadMaster(master).empty());
    EXPECT_TRUE(processor->IsConnected());

    ::close(slave);
    ::close(master);
    CNetManager::get_instance().CloseAndRemove(processor->GetChannelId());
    processor.reset();
    CQelContext::Destroy();
}
