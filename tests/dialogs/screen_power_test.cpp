#include "corlane/app_path.h"
#include "dialogs/screen_power_system.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using tavrix::test::ReadText;
using tavrix::test::WriteText;

namespace {

std::vector<uint8_t> Bytes(const std::string& text, bool* parsed = nullptr)
{
    uint8_t bytes[kHexBufferSize];
    std::fill(std::begin(bytes), std::end(bytes), 0xEE);
    unsigned count = 99;
    const bool ok = ParseHexBytes(text, bytes, count);
    if (parsed)
        *parsed = ok;
    return std::vector<uint8_t>(bytes, bytes + count);
}

std::string ConfigPath()
{
    std::filesystem::create_directories(qz::vok::path::GetHardwarePath());
    return TvConfigPath();
}

// A file with only what reading requires.
constexpr char kRequiredOnly[] = R"(<?xml version="1.0" encoding="utf-8"?>
<TVConfig><lastinstance OpenCmd="01" CloseCmd="02"/>
<ModelList><Model id="7" friendlyname="seven"/><Other id="8"/><Model friendlyname="nameless"/>
<Model id="3"/><Model id="7" friendlyname="again"/></ModelList></TVConfig>
)";

// Records what the settings ask of their controller.
class RecordingTV : public ITV {
public:
    RecordingTV(std::vector<std::string>& calls, int result) : calls_(calls), result_(result) {}
    int SetCommMode(int mode) override { return Call("mode " + std::to_string(mode)); }
    int SetSerialParams(SerialParams p) override
    {
        return Call("serial " + p.portName + " " + std::to_string(p.baudRate) + " " + std::to_string(p.parity) +
                    std::to_string(p.byteSize) + std::to_string(p.stopBits));
    }
    int SetNetParams(uint32_t ip, int port, int spare) override
    {
        return Call("net " + FormatDottedQuad(ip) + " " + std::to_string(port) + " " + std::to_string(spare));
    }
    int SendOpen(const char* c) override
    {
        Call(std::string("open ") + c);
        return result_;
    }
    int SendClose(const char* c) override
    {
        Call(std::string("close ") + c);
        return result_;
    }
    void Release() override
    {
        Call("release");
        delete this;
    }

private:
    int Call(const std::string& what)
    {
        calls_.push_back(what);
        return kTvOk;
    }
    std::vector<std::string>& calls_;
    int result_;
};

} // namespace

TEST(ScreenPowerWire, HexTextBecomesItsBytes)
{
    EXPECT_EQ(Bytes("D5 11 FF 10 01 AA"), (std::vector<uint8_t>{0xD5, 0x11, 0xFF, 0x10, 0x01, 0xAA}));
    EXPECT_EQ(Bytes("  d5   11 "), (std::vector<uint8_t>{0xD5, 0x11}));
    EXPECT_EQ(Bytes("1FF"), (std::vector<uint8_t>{0xFF}));
    EXPECT_EQ(Bytes("123456789ABCDEF0 7"), (std::vector<uint8_t>{0xF0, 0x07}));
    bool parsed = false;
    EXPECT_TRUE(Bytes("", &parsed).empty());
    EXPECT_TRUE(parsed);
    EXPECT_TRUE(Bytes("   ", &parsed).empty());
    EXPECT_TRUE(parsed);

    // 255 characters of one-digit pieces: the most bytes a text can carry.
    std::string longest = "1";
    while (longest.size() < kMaxHexCommandLength)
        longest += " 1";
    EXPECT_EQ(Bytes(longest, &parsed), std::vector<uint8_t>(128, 0x01));
    EXPECT_TRUE(parsed);
    EXPECT_EQ(CheckHexCommand(longest), HexCommandCheck::ok);
}

TEST(ScreenPowerWire, RefusesTextTheDisplaysCannotTake)
{
    const std::vector<std::pair<std::string, HexCommandCheck>> cases = {
        {"D5 1G", HexCommandCheck::bad_piece},
        {"D5\t11", HexCommandCheck::bad_piece},
        {"0xD5", HexCommandCheck::bad_piece},
        {"D5,11", HexCommandCheck::bad_piece},
        {"-1", HexCommandCheck::bad_piece},
        {std::string(256, '1'), HexCommandCheck::too_long},
        {std::string(300, ' '), HexCommandCheck::too_long},
    };
    for (const auto& [text, check] : cases) {
        EXPECT_EQ(CheckHexCommand(text), check) << text;
        bool parsed = true;
        EXPECT_TRUE(Bytes(text, &parsed).empty()) << text;
        EXPECT_FALSE(parsed) << text;
    }
}

TEST(ScreenPowerFile, WritesEveryFieldAndReadsItBack)
{
    ScreenPowerSettings s = BuiltInScreenPowerSettings();
    s.commMode = 2;
    s.model = 0;
    s.serial.portName = "/dev/serial/by-id/usb-display-line"; // longer than 15 characters
    s.serial.baudRate = 19200;
    s.port = 65535;
    s.models = {{9, {9, "第九"}}, {0, {0, "kestavo tv"}}, {4294967295u, {4294967295u, "invalid tv"}}};
    s.openCmd = "01 02";
    s.closeCmd = "";
    EXPECT_EQ(s.ip, 0xC0A86465u);

    CLargeScreenSystem system;
    system.SetSettings(s);
    ASSERT_TRUE(system.SaveConfig());
    EXPECT_EQ(ReadText(ConfigPath()),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
              "<TVConfig>\n"
              "\t<lastinstance tvmodel=\"0\" serialport=\"/dev/serial/by-id/usb-display-line\" baudrate=\"19200\" "
              "ip=\"192.168.100.101\" port=\"65535\" commmode=\"2\" OpenCmd=\"01 02\" CloseCmd=\"\"/>\n"
              "\t<ModelList>\n"
              "\t\t<Model id=\"0\" friendlyname=\"kestavo tv\"/>\n"
              "\t\t<Model id=\"9\" friendlyname=\"第九\"/>\n"
              "\t\t<Model id=\"4294967295\" friendlyname=\"invalid tv\"/>\n"
              "\t</ModelList>\n"
              "</TVConfig>\n");

    CLargeScreenSystem reloaded;
    EXPECT_TRUE(reloaded.LoadConfig());
    EXPECT_EQ(reloaded.Settings(), s);
    EXPECT_EQ(reloaded.GetPortName(), s.serial.portName);
    EXPECT_EQ(reloaded.GetModelList().size(), 3u);
    EXPECT_EQ(reloaded.GetModelList()[1], (TvModelEntry{9, "第九"}));
}

TEST(ScreenPowerFile, AbsentAttributesTakeTheirDefaults)
{
    WriteText(ConfigPath(), kRequiredOnly);
    CLargeScreenSystem system;
    ASSERT_TRUE(system.LoadConfig());
    const ScreenPowerSettings& s = system.Settings();
    EXPECT_EQ(s.model, 1);
    EXPECT_EQ(s.serial.portName, "COM1");
    EXPECT_EQ(s.serial.baudRate, 9600u);
    EXPECT_EQ(s.serial.byteSize, 8u);
    EXPECT_EQ(s.ip, 0xC0A86465u);
    EXPECT_EQ(s.port, 6000);
    EXPECT_EQ(s.commMode, 0);
    EXPECT_EQ(s.openCmd, "01");
    EXPECT_EQ(s.closeCmd, "02");
    // Other elements skipped, a missing id and name filled in, a repeated
    // id not taken.
    EXPECT_EQ(system.GetModelList(),
              (std::vector<TvModelEntry>{{3, "invalid tv"}, {7, "seven"}, {4294967295u, "nameless"}}));

    // Model 1 has no controller: the buttons fail.
    system.SetTV(CreateTVByModel(s.model));
    EXPECT_FALSE(system.HasTV());
    EXPECT_EQ(system.OpenScreen(), 1);
    EXPECT_EQ(system.CloseScreen(), 1);
    EXPECT_STREQ(ScreenPowerFailureText(true, 1), "打开屏幕失败，请重试!");
}

TEST(ScreenPowerFile, DamagedFileGivesTheWholeBuiltInSet)
{
    const std::string full =
        R"(<TVConfig><lastinstance tvmodel="3" serialport="/dev/x" baudrate="4800" ip="10.0.0.1" port="1" commmode="1" OpenCmd="01" CloseCmd="02"/><ModelList/></TVConfig>)";
    auto without = [&full](const std::string& part) {
        std::string text = full;
        text.erase(text.find(part), part.size());
        return text;
    };
    const std::vector<std::string> damaged = {
        without(R"( OpenCmd="01")"),
        without(R"( CloseCmd="02")"),
        without("<ModelList/>"),
        full.substr(0, full.size() / 2),
        "not xml at all",
        std::string(),
        R"(<TVConfig><lastinstance baudrate="fast" OpenCmd="" CloseCmd=""/><ModelList/></TVConfig>)",
        R"(<TVConfig><lastinstance port="70000" OpenCmd="" CloseCmd=""/><ModelList/></TVConfig>)",
        R"(<TVConfig><lastinstance ip="192.168.1" OpenCmd="" CloseCmd=""/><ModelList/></TVConfig>)",
        R"(<TVConfig><lastinstance tvmodel="0x1" OpenCmd="" CloseCmd=""/><ModelList/></TVConfig>)",
        R"(<TVConfig><lastinstance OpenCmd="" CloseCmd=""/><ModelList><Model id="-1"/></ModelList></TVConfig>)",
    };
    const std::string path = ConfigPath();
    {
        WriteText(path, full);
        CLargeScreenSystem system;
        ASSERT_TRUE(system.LoadConfig()); // the intact file reads
        EXPECT_EQ(system.Settings().model, 3);
    }
    const ScreenPowerSettings builtIn = BuiltInScreenPowerSettings();
    EXPECT_EQ(builtIn.model, 0);
    EXPECT_EQ(builtIn.openCmd, "D5 11 FF 10 01 AA");
    EXPECT_EQ(builtIn.closeCmd, "D5 11 FF 10 00 AA");
    EXPECT_EQ(builtIn.models, (std::map<uint32_t, TvModelEntry>{{0, {0, "kestavo tv"}}}));
    for (const std::string& text : damaged) {
        WriteText(path, text);
        CLargeScreenSystem system;
        EXPECT_FALSE(system.LoadConfig()) << text;
        EXPECT_EQ(system.Settings(), builtIn) << text;
        // Loading never replaces what it could not read.
        EXPECT_EQ(ReadText(path), text);
        system.SetTV(CreateTVByModel(system.Settings().model));
        EXPECT_TRUE(system.HasTV());
    }
    std::filesystem::remove(path);
    CLargeScreenSystem missing;
    EXPECT_FALSE(missing.LoadConfig());
    EXPECT_EQ(missing.Settings(), builtIn);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(ScreenPowerSystem, OpenAndCloseDriveTheController)
{
    std::vector<std::string> calls;
    CLargeScreenSystem system;
    ScreenPowerSettings s = BuiltInScreenPowerSettings();
    s.serial.portName = "/dev/ttyUSB3";
    s.serial.parity = 2;
    s.serial.byteSize = 7;
    s.serial.stopBits = 2;
    system.SetSettings(s);
    system.SetTV(new RecordingTV(calls, kTvOk));
    EXPECT_EQ(system.OpenScreen(), 0);
    EXPECT_EQ(system.CloseScreen(), 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"serial /dev/ttyUSB3 9600 080", "net 192.168.100.101 6000 0", "mode 0",
                                               "open D5 11 FF 10 01 AA", "serial /dev/ttyUSB3 9600 080",
                                               "net 192.168.100.101 6000 0", "mode 0", "close D5 11 FF 10 00 AA"}));

    // A failing controller fails the button; a new one releases the old.
    calls.clear();
    system.SetTV(new RecordingTV(calls, kTvFailed));
    EXPECT_EQ(calls, (std::vector<std::string>{"release"}));
    EXPECT_EQ(system.OpenScreen(), 1);
    EXPECT_EQ(system.CloseScreen(), 1);

    // The network modes are not served: the controller is not asked.
    for (int mode : {1, 2, 5}) {
        calls.clear();
        s.commMode = mode;
        system.SetSettings(s);
        EXPECT_EQ(system.OpenScreen(), 2);
        EXPECT_EQ(system.CloseScreen(), 2);
        EXPECT_TRUE(calls.empty());
    }
    EXPECT_STREQ(ScreenPowerFailureText(false, 2), "网络通信功能正在开发过程中，请通过串口通信方式来对大屏进行控制!");
    EXPECT_STREQ(ScreenPowerFailureText(false, 1), "关闭屏幕失败，请重试!");
    EXPECT_EQ(ScreenPowerFailureText(true, 0), nullptr);
    system.SetTV(nullptr);
    EXPECT_EQ(calls.back(), "release");
    ReleaseTV(nullptr);

    // Only model 0 has a creator, and its controller refuses the network modes.
    EXPECT_EQ(MODEL_TO_CREATER_S_map().size(), 1u);
    ITV* tv = CreateTVByModel(0);
    ASSERT_NE(dynamic_cast<CKestavoTV*>(tv), nullptr);
    tv->SetCommMode(1);
    EXPECT_EQ(tv->SendOpen("D5"), kTvFailed);
    ReleaseTV(tv);
    EXPECT_EQ(CreateTVByModel(-1), nullptr);
}

TEST(ScreenPowerSystem, PortNamesMatchByDevice)
{
    EXPECT_TRUE(CSPortOperator::SamePort("COM1", "/dev/ttyS0"));
    EXPECT_TRUE(CSPortOperator::SamePort("/dev/ttyS11", "COM12"));
    EXPECT_FALSE(CSPortOperator::SamePort("COM2", "/dev/ttyS0"));
    EXPECT_TRUE(CSPortOperator::SamePort("display", "display"));
    EXPECT_FALSE(CSPortOperator::SamePort("COM0", "/dev/ttyS-1"));
}
