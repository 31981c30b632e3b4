#include "dialogs/screen_power_file.h"

#include <boost/property_tree/ptree.hpp>

#include <charconv>

#include "core/xml_file.h"
#include "core/xml_keys.h"
#include "corlane/app_path.h"

namespace {

namespace pt = boost::property_tree;

constexpr char kFileName[] = "TVConfig.pro";
constexpr char kDefaultPort[] = "COM1";
constexpr uint32_t kDefaultBaud = 9600;
constexpr int kDefaultModel = 1; // the absent "tvmodel": a model with no controller
constexpr char kDefaultIp[] = "192.168.100.101";
constexpr uint16_t kDefaultNetPort = 6000;
constexpr uint32_t kMissingModelId = 0xFFFFFFFFu;
constexpr char kMissingModelName[] = "invalid tv";
constexpr char kBuiltInModelName[] = "kestavo tv";
constexpr char kOpenCommand[] = "D5 11 FF 10 01 AA";
constexpr char kCloseCommand[] = "D5 11 FF 10 00 AA";

// A whole decimal number within lo to hi, blanks not allowed.
template <class T>
T Number(const std::string& text, long long lo, long long hi, const char* what)
{
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < lo || value > hi)
        throw xml::FileError(std::string("\"") + what + "\" is not a number in range: \"" + text + "\"");
    return static_cast<T>(value);
}

SerialParams DisplayLine(std::string port, uint32_t baud)
{
    SerialParams serial;
    serial.portName = std::move(port);
    serial.baudRate = baud;
    serial.parity = 0;
    serial.byteSize = 8;
    serial.stopBits = 0;
    return serial;
}

// A number of the file; missing reads as the default.
template <class T>
struct Ranged {
    long long lo;
    long long hi;
    T fallback;
    T Read(const xml::Element& e, const char* attr) const
    {
        const auto text = e.Text(attr);
        return text ? Number<T>(*text, lo, hi, attr) : fallback;
    }
    std::string Write(T value) const { return std::to_string(value); }
};

struct Address {
    uint32_t Read(const xml::Element& e, const char* attr) const
    {
        const std::string text = e.Text(attr, kDefaultIp);
        uint32_t address = 0;
        if (!ParseDottedQuad(text, address))
            throw xml::FileError(std::string("\"") + attr + "\" is not an address: \"" + text + "\"");
        return address;
    }
    std::string Write(uint32_t address) const { return FormatDottedQuad(address); }
};

// The switching commands have no default.
struct Command {
    std::string Read(const xml::Element& e, const char* attr) const
    {
        const auto text = e.Text(attr);
        if (!text)
            throw xml::FileError("the attribute \"OpenCmd\" or \"CloseCmd\" is missing");
        return *text;
    }
    const std::string& Write(const std::string& text) const { return text; }
};

using Settings = ScreenPowerSettings;
using xml::Field;
const xml::Key<Settings> kLastInstanceKeys[] = {
    Field("tvmodel", &Settings::model, Ranged<int>{INT32_MIN, INT32_MAX, kDefaultModel}),
    Field("serialport", &Settings::serial, &SerialParams::portName, xml::Text{kDefaultPort}),
    Field("baudrate", &Settings::serial, &SerialParams::baudRate, Ranged<uint32_t>{0, UINT32_MAX, kDefaultBaud}),
    Field("ip", &Settings::ip, Address{}),
    Field("port", &Settings::port, Ranged<uint16_t>{0, 65535, kDefaultNetPort}),
    Field("commmode", &Settings::commMode, Ranged<int>{INT32_MIN, INT32_MAX, 0}),
    Field("OpenCmd", &Settings::openCmd, Command{}),
    Field("CloseCmd", &Settings::closeCmd, Command{}),
};

const xml::Key<TvModelEntry> kModelKeys[] = {
    Field("id", &TvModelEntry::id, Ranged<uint32_t>{0, UINT32_MAX, kMissingModelId}),
    Field("friendlyname", &TvModelEntry::friendlyName, xml::Text{kMissingModelName}),
};

ScreenPowerSettings ReadTree(const pt::ptree& tree)
{
    const pt::ptree& root = xml::Required(tree, "TVConfig");
    const xml::Element last(xml::Required(root, "lastinstance"), "lastinstance");
    const pt::ptree& list = xml::Required(root, "ModelList");

    ScreenPowerSettings s;
    xml::ReadKeys(last, kLastInstanceKeys, s);
    s.serial = DisplayLine(s.serial.portName, s.serial.baudRate);
    xml::ReadEach(list, "Model", kModelKeys, [&](TvModelEntry entry) {
        s.models.emplace(entry.id, entry); // a repeated id keeps the first
    });
    return s;
}

} // namespace

ScreenPowerSettings BuiltInScreenPowerSettings()
{
    ScreenPowerSettings s;
    s.commMode = 0;
    s.serial = DisplayLine(kDefaultPort, kDefaultBaud);
    s.model = 0;
    ParseDottedQuad(kDefaultIp, s.ip);
    s.port = kDefaultNetPort;
    s.models = {{0, {0, kBuiltInModelName}}};
    s.openCmd = kOpenCommand;
    s.closeCmd = kCloseCommand;
    return s;
}

bool ParseTvConfig(const std::string& text, ScreenPowerSettings& settings, std::string& reason)
{
    try {
        pt::ptree tree;
        xml::ReadTree(text, tree);
        settings = ReadTree(tree);
        return true;
    } catch (const std::exception& e) {
        reason = e.what();
        return false;
    }
}

std::string WriteTvConfig(const ScreenPowerSettings& s)
{
    pt::ptree tree;
    pt::ptree& root = tree.add_child("TVConfig", pt::ptree());
    xml::AddElement(root, "lastinstance", kLastInstanceKeys, s);
    pt::ptree& list = root.add_child("ModelList", pt::ptree());
    for (const auto& [id, entry] : s.models)
        xml::AddElement(list, "Model", kModelKeys, TvModelEntry{id, entry.friendlyName});
    return xml::WriteTree(tree);
}

bool ParseDottedQuad(const std::string& text, uint32_t& address)
{
    uint32_t value = 0;
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (at == end || *at != '.')
                return false;
            ++at;
        }
        unsigned part = 0;
        const auto [next, error] = std::from_chars(at, end, part);
        if (error != std::errc() || part > 255)
            return false;
        value = value << 8 | part;
        at = next;
    }
    if (at != end)
        return false;
    address = value;
    return true;
}

std::string FormatDottedQuad(uint32_t a)
{
    return std::to_string(a >> 24) + "." + std::to_string(a >> 16 & 0xFF) + "." + std::to_string(a >> 8 & 0xFF) + "." +
           std::to_string(a & 0xFF);
}

std::string TvConfigPath()
{
    return qz::vok::path::GetHardwarePath() + "/" + kFileName;
}
