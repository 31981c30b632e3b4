#include "comm/serial_channel.h"
#include "comm/sport_operator.h"
#include "corlane/app_path.h"
#include "platform/clock.h"
#include "tests/support/link_events.h"
#include "tests/support/processor_simulator.h"
#include "tests/support/scoped_setting.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <boost/property_tree/ptree.hpp>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

using namespace std::chrono_literals;
using tavrix::test::ReadText;
using tavrix::test::WaitFor;
namespace fs = std::filesystem;

namespace {

std::shared_ptr<CSerialClientChannel> MakeChannel(const std::string& device, const std::string& rate = "115200")
{
    auto channel = std::make_shared<CSerialClientChannel>(nullptr, "PRO_Serial_1");
    channel->Settings().put("device", device);
    channel->Settings().put("rate", rate);
    return channel;
}

} // namespace

TEST(SerialPortOperator, MapsPortNamesToDevices)
{
    EXPECT_EQ(CSPortOperator::ParsePortNumber("COM3"), 3);
    EXPECT_EQ(CSPortOperator::ParsePortNumber("COM12"), 12);
    EXPECT_EQ(CSPortOperator::ParsePortNumber("COM0"), -1);
    EXPECT_EQ(CSPortOperator::ParsePortNumber("COM100"), -1);
    EXPECT_EQ(CSPortOperator::ParsePortNumber("COMx"), -1);
    EXPECT_EQ(CSPortOperator::OpenPortNumber("COM9"), "/dev/ttyS8");
    EXPECT_EQ(CSPortOperator::OpenPortNumber("COM10"), "/dev/ttyS9");
    EXPECT_EQ(CSPortOperator::OpenPortNumber("/dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(CSPortOperator::OpenPortNumber("COM100"), "");

    SPortSettings settings;
    for (const char* bad : {"COM0", "COM100", ""}) {
        settings.portName = bad;
        EXPECT_EQ(CSPortOperator::Open(settings), 1) << bad;
        EXPECT_FALSE(CSPortOperator::IsOpen());
    }
}

TEST(SerialPortOperator, WritesAndReadsWithinTheWait)
{
    ProcessorSimulator simulator;
    simulator.SetEchoAll(false);
    simulator.Respond("GP GIPA 1", [](const std::string&, int) {
        return std::optional<std::vector<ProcessorSimulator::Answer>>{{{"GP GIPA 192 168 0 100\r\n", 0ms}}};
    });
    simulator.Respond("GP LATE", [](const std::string&, int) {
        return std::optional<std::vector<ProcessorSimulator::Answer>>{{{"GP LATE 1\r\n", 5000ms}}};
    });
    const std::string slave = simulator.OpenPty();
    ASSERT_FALSE(slave.empty());

    // The read's 200 ms pass once the answer is there to read, or at once
    // for the late one: no busy machine can delay the first past them.
    platform::SteppedClock clock;
    platform::ScopedClock scoped(clock);
    const auto stepReadWait = [&](bool answered) {
        return std::thread([&clock, &slave, answered] {
            EXPECT_TRUE(clock.WaitForSleeper(clock.Now() + 200ms, 20s));
            if (answered) {
                EXPECT_TRUE(WaitFor([&] { return ProcessorSimulator::Unread(slave) > 0; }, 20s));
            }
            clock.Advance(200ms);
        });
    };
    SPortSettings settings;
    settings.portName = slave;
    ASSERT_EQ(CSPortOperator::Open(settings), 0);
    ASSERT_EQ(CSPortOperator::Write("GP GIPA 1\r\n", 11), 0);
    char reply[128] = {};
    unsigned count = 127;
    std::thread stepper = stepReadWait(true);
    EXPECT_EQ(CSPortOperator::Read(reply, count), 0);
    stepper.join();
    EXPECT_EQ(std::string(reply, count), "GP GIPA 192 168 0 100\r\n");
    EXPECT_EQ(simulator.TextsFrom(slave), std::vector<std::string>{"GP GIPA 1\r\n"});

    ASSERT_EQ(CSPortOperator::Write("GP LATE\r\n", 9), 0);
    count = 127;
    stepper = stepReadWait(false);
    EXPECT_EQ(CSPortOperator::Read(reply, count), 1);
    stepper.join();
    EXPECT_EQ(count, 0u);
    CSPortOperator::Close();
    EXPECT_FALSE(CSPortOperator::IsOpen());
    EXPECT_EQ(CSPortOperator::Write("GP GIPA 1\r\n", 11), 1);

    settings.baudRate = 12345; // no such speed
    EXPECT_EQ(CSPortOperator::Open(settings), 1);
}

TEST(SerialPortOperator, ListsTtyDevicesUnderTheScanRoot)
{
    const fs::path root = fs::absolute("ports");
    fs::create_directories(root);
    // Before any test the support points the lister at an empty folder.
    const ScopedSwap scanRoot(CSPortOperator::SetScanRoot, root.string());
    const std::string& previous = scanRoot.Saved();
    EXPECT_NE(fs::path(previous), fs::path("/dev"));
    EXPECT_TRUE(fs::is_directory(previous) && fs::is_empty(previous)) << previous;
    std::vector<std::string> ports{"stale"};
    EXPECT_EQ(CSPortOperator::EnumPorts(ports), 0);
    EXPECT_TRUE(ports.empty());

    for (const char* name : {"ttyACM0", "ttyUSB0", "tty1", "ttyS1", "ttyS", "console", "ttyUSBx"})
        std::ofstream(root / name).put('\n');
    EXPECT_EQ(CSPortOperator::EnumPorts(ports), 3);
    EXPECT_EQ(ports, (std::vector<std::string>{(root / "ttyS1").string(), (root / "ttyUSB0").string(),
                                               (root / "ttyACM0").string()}));

    CSPortOperator::SetScanRoot((root / "missing").string());
    EXPECT_EQ(CSPortOperator::EnumPorts(ports), 0);
}

TEST(SerialChannel, CarriesLinesBothWaysAndCapturesWhatArrives)
{
    ProcessorSimulator simulator;
    simulator.SetEchoAll(false);
    const std::string slave = simulator.OpenPty();
    ASSERT_FALSE(slave.empty());
    fs::create_directories(qz::vok::path::GetLogPath());
    const std::string capture = qz::vok::path::GetLogPath() + "/SerialPort.txt";
    fs::remove(capture);

    LinkEvents events;
    std::mutex lock;
    std::string received;
    auto channel = MakeChannel(slave);
    channel->SetId(11);
    channel->SetReceiveHandler([&](const char* data, size_t length) {
        std::lock_guard guard(lock);
        received.append(data, length);
    });
    channel->Open();
    ASSERT_TRUE(events.WaitForStates(2, 5s));
    EXPECT_EQ(events.Drain(), (std::vector<LinkEvents::State>{{11, 1}, {11, 2}}));
    EXPECT_TRUE(channel->IsConnected());

    simulator.PushTo(slave, "GP TYPE 7 1\r\n");
    ASSERT_TRUE(WaitFor(
        [&] {
            std::lock_guard guard(lock);
            return received == "GP TYPE 7 1\r\n";
        },
        5s));
    simulator.PushTo(slave, "ABCDE");
    ASSERT_TRUE(WaitFor(
        [&] {
            std::lock_guard guard(lock);
            return received.size() == 18;
        },
        5s));
    EXPECT_EQ(ReadText(capture), "GP TYPE 7 1\r\nABCDE");

    const std::string command = "GP SOT 1 1\r\n";
    EXPECT_TRUE(channel->Send(0, command));
    ASSERT_TRUE(simulator.WaitForLine(command, 5s));

    // The device goes away: closed for good.
    simulator.ClosePty(slave);
    ASSERT_TRUE(events.WaitForStates(3, 5s));
    EXPECT_EQ(events.Drain().back(), (LinkEvents::State{11, 3}));
    EXPECT_FALSE(channel->CheckConnected());
    EXPECT_EQ(channel->Client()->state(), qz::net::serial_port_client::kClosed);
    EXPECT_FALSE(channel->Send(0, command));
    channel->Close();
    EXPECT_EQ(events.Drain().size(), 3u);
    EXPECT_FALSE(channel->HasIoThread());
}

TEST(SerialChannel, IdleWatchdogClosesIt)
{
    platform::ScaledClock clock(40);
    platform::ScopedClock scoped(clock);
    ProcessorSimulator simulator;
    simulator.SetEchoAll(false);
    const std::string slave = simulator.OpenPty();
    LinkEvents events;
    auto channel = MakeChannel(slave);
    channel->SetId(12);
    const auto opened = platform::Now();
    channel->Open();
    ASSERT_TRUE(events.WaitForStates(3, 10s));
    EXPECT_GT(platform::Now() - opened, 20s);
    EXPECT_EQ(events.Drain(), (std::vector<LinkEvents::State>{{12, 1}, {12, 2}, {12, 3}}));
    EXPECT_FALSE(channel->CheckConnected());
    channel->Close();
}

TEST(SerialChannel, MissingDeviceOrUnknownRateNeverConnects)
{
    ProcessorSimulator simulator;
    const std::string slave = simulator.OpenPty();
    LinkEvents events;
    for (auto channel : {MakeChannel("/dev/no-such-tty"), MakeChannel("COM100"), MakeChannel(slave, "12345"),
                         MakeChannel(slave, "fast")}) {
        channel->Open();
        std::this_thread::sleep_for(20ms);
        EXPECT_FALSE(channel->CheckConnected());
        EXPECT_FALSE(channel->HasIoThread());
        EXPECT_FALSE(channel->Send(0, "GP TYPE\r\n"));
        channel->Close();
        channel->Close();
    }
    EXPECT_TRUE(simulator.TextsFrom(slave).empty());
}
