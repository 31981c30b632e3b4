// The settings dialog's link arithmetic and the frame's apply step, the
// EDID list reader, without windows; the apply step against the processor
// simulator on loopback.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <mutex>

#include "comm/sport_operator.h"
#include "context/context.h"
#include "corlane/app_path.h"
#include "dialogs/edid_list.h"
#include "dialogs/link_settings.h"
#include "model/processor.h"
#include "model/processor_link.h"
#include "model/processor_manager.h"
#include "model/processor_settings.h"
#include "tests/model/link_fixture.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;
using tavrix::test::WaitFor;

namespace {

// The commands the processor queued, seen as the queue takes them.
struct PushedLines {
    explicit PushedLines(CQelProcessor& processor)
    {
        processor.link().SetPushObserver([this](std::string_view text, int32_t) {
            std::lock_guard<std::mutex> guard(mutex);
            lines.emplace_back(text);
        });
    }
    std::vector<std::string> Take()
    {
        std::lock_guard<std::mutex> guard(mutex);
        return std::exchange(lines, {});
    }
    std::mutex mutex;
    std::vector<std::string> lines;
};

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

TEST(LinkSettings, RateChangeSendsItsLineAndWaitsForTheDevice)
{
    platform::ScaledClock clock(20);
    platform::ScopedClock scoped(clock);
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetId(1);
    processor->SetKind(7);
    PushedLines pushed(*processor);
    struct Case {
        int baud;
        const char* line;
        int64_t waitMs;
    };
    for (const Case& c : {Case{57600, "GP SCBR 1 0 57600\r\n", 0}, Case{2400, "GP SCBR 1 0 2400\r\n", 3000},
                          Case{9600, "GP SCBR 1 0 9600\r\n", 2000}, Case{19200, "GP SCBR 1 0 19200\r\n", 1000},
                          Case{115200, "GP SCBR 1 1 49664\r\n", 500}}) {
        EXPECT_EQ(BaudChangeCommand(c.baud), c.line);
        EXPECT_EQ(BaudChangeWaitMs(c.baud), uint32_t(c.waitMs)) << c.baud;
        LinkSettings settings = LinkSettingsOf(*processor);
        settings.baudRate = c.baud;
        const auto start = platform::Now();
        ApplyLinkSettings(*processor, settings);
        EXPECT_GE(platform::MillisSince(start), c.waitMs) << c.baud;
        EXPECT_EQ(pushed.Take(), std::vector<std::string>{c.line});
        EXPECT_EQ(processor->settings().GetConnection().serialRate, c.baud);
    }
    // The same rate again sends nothing.
    ApplyLinkSettings(*processor, LinkSettingsOf(*processor));
    EXPECT_TRUE(pushed.Take().empty());
}

TEST(LinkSettings, PortRowOpensTheStoredDevice)
{
    const std::vector<std::string> ports{"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0"};
    EXPECT_EQ(PortRowOf(ports, "COM2"), 1);
    EXPECT_EQ(PortRowOf(ports, "COM1"), 0);
    EXPECT_EQ(PortRowOf(ports, "/dev/ttyUSB0"), 2);
    EXPECT_EQ(PortRowOf(ports, "COM9"), 0); // none: the first
    EXPECT_EQ(PortRowOf(ports, ""), 0);
    EXPECT_EQ(PortRowOf({}, "COM1"), -1);
    EXPECT_TRUE(CSPortOperator::SamePort("COM1", "/dev/ttyS0"));
    EXPECT_TRUE(CSPortOperator::SamePort("/dev/ttyS3", "COM4"));
    EXPECT_FALSE(CSPortOperator::SamePort("COM1", "/dev/ttyS1"));
    // Names that open nothing compare as text.
    EXPECT_TRUE(CSPortOperator::SamePort("COM0", "COM0"));
    EXPECT_FALSE(CSPortOperator::SamePort("COM0", "/dev/ttyS0"));
}

TEST(LinkSettings, AddressesAreFourNumbersTopByteFirst)
{
    EXPECT_EQ(ParseDottedAddress("127.0.0.1"), 0x7F000001u);
    EXPECT_EQ(ParseDottedAddress("255.255.255.0"), 0xFFFFFF00u);
    EXPECT_EQ(DottedAddress(0x7F000001u), "127.0.0.1");
    EXPECT_EQ(DottedAddress(0xC0A80064u), "192.168.0.100");
    for (const char* bad : {"", "256.0.0.1", "1.2.3", "1.2.3.4.5", "localhost", " 1.2.3.4", "1.2.3.4 ", "1..2.3",
                            "0001.2.3.4", "-1.2.3.4", "1.2.3.4x"})
        EXPECT_EQ(ParseDottedAddress(bad), std::nullopt) << bad;
    // Each network port has its own request codes.
    EXPECT_EQ(NetQueryCode(NetValue::Address, 0), 11);
    EXPECT_EQ(NetQueryCode(NetValue::Gateway, 0), 14);
    EXPECT_EQ(NetQueryCode(NetValue::Port, 1), 17);
    EXPECT_EQ(NetQueryCode(NetValue::Mask, 1), 18);
    EXPECT_EQ(NetSetCode(NetValue::Address, 0), 1);
    EXPECT_EQ(NetSetCode(NetValue::Address, 1), 33);
    EXPECT_EQ(NetSetCode(NetValue::Mask, 1), 34);
    EXPECT_EQ(NetSetCode(NetValue::Gateway, 0), 31);
}

TEST(EdidList, TakesTwoPartLinesInOrder)
{
    EXPECT_EQ(ParseEdidLines("3=1280 x 1024\na=b=c\n7=\nno equals\n12=x\r\n"),
              (std::vector<EdidEntry>{{3, "1280 x 1024\n"}, {7, "\n"}, {12, "x\r\n"}}));
    EXPECT_EQ(ParseEdidLines("5=last"), (std::vector<EdidEntry>{{5, "last"}}));
    EXPECT_EQ(ParseEdidLines("99999999999=big\n"), (std::vector<EdidEntry>{{INT_MAX, "big\n"}}));

    const std::vector<EdidEntry> entries{{4, "a"}, {3, "b"}};
    EXPECT_EQ(EdidRowOf(entries, 3), 1);
    EXPECT_EQ(EdidRowOf(entries, 8), 0);
    EXPECT_EQ(EdidRowOf({}, 0), -1);
}

TEST(EdidList, FileReadsAreBounded)
{
    EXPECT_EQ(LoadEdidList("missing.cfg"), DefaultEdidList());
    ASSERT_EQ(DefaultEdidList().size(), 4u);
    EXPECT_EQ(DefaultEdidList()[3], (EdidEntry{3, "1280 x 1024"}));

    WriteFile("empty.cfg", "");
    EXPECT_TRUE(LoadEdidList("empty.cfg").empty());

    // A 10,000-character line and binary bytes are skipped, the rest read.
    WriteFile("long.cfg", "1=" + std::string(10000, 'x') + "\n" + std::string("2=bin\0ary\n", 10) + "5=ok\n");
    EXPECT_EQ(LoadEdidList("long.cfg"), (std::vector<EdidEntry>{{5, "ok\n"}}));

    // Only the start of a huge file is read; a line the limit cuts is
    // dropped.
    std::string huge;
    while (huge.size() < 2 * kEdidFileLimit)
        huge += "8=" + std::string(100, 'y') + "\n";
    WriteFile("huge.cfg", huge);
    const auto read = LoadEdidList("huge.cfg");
    EXPECT_EQ(read.size(), kEdidFileLimit / 103);
    for (const EdidEntry& entry : read)
        EXPECT_EQ(entry.name.size(), 101u);
}

TEST(LinkSettings, ApplyStoresSavesAndReconnects)
{
    platform::ScaledClock clock(10);
    platform::ScopedClock scoped(clock);
    fs::create_directories(qz::vok::path::GetHardwarePath());
    ProcessorSimulator simulator;
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetId(1);
    processor->SetKind(10);
    PointAtLoopback(*processor, simulator.Port());
    auto connection = processor->settings().GetConnection();
    connection.serialRate = 9600;
    processor->settings().SetConnection(connection);
    CQelContext::GetProMan()->AddProcessor(processor);
    ASSERT_TRUE(processor->Connect());
    ASSERT_TRUE(simulator.WaitForConnection(20s));
    ASSERT_TRUE(WaitFor([&] { return processor->IsConnected(); }, 20s));

    LinkSettings settings = LinkSettingsOf(*processor);
    EXPECT_EQ(settings.tcpAddress, "127.0.0.1"); // the address it reconnects to
    EXPECT_EQ(settings.networkPort, 0);
    settings.baudRate = 115200;
    settings.networkPort = 1;
    settings.serialDevice = "/dev/ttyUSB3";
    settings.autoDetect = 0;
    const auto start = platform::Now();
    ApplyLinkSettings(*processor, settings);
    EXPECT_GE(platform::MillisSince(start), 1000);
    EXPECT_TRUE(simulator.WaitForLine("GP SCBR 1 1 49664\r\n", 20s));
    EXPECT_TRUE(WaitFor([&] { return simulator.Connections() == 2; }, 20s));

    CQelProcessor stored;
    ASSERT_TRUE(stored.LoadPro(CQelProcessor::ProFilePath()));
    const auto saved = stored.settings().GetConnection();
    EXPECT_EQ(saved.serialRate, 115200);
    EXPECT_EQ(saved.tcpType, "1");
    EXPECT_EQ(saved.serialDevice, "/dev/ttyUSB3");
    EXPECT_EQ(saved.serialAutoDetect, 0);
    EXPECT_EQ(LinkSettingsOf(stored).networkPort, 1);

    processor->Disconnect();
    CQelContext::Destroy();
}
