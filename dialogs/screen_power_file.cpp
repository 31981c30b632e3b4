#include "dialogs/screen_power_file.h"

#include <boost/property_tree/ptree.hpp>

#include <charconv>

#include "core/xml_file.h"
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

ScreenPowerSettings ReadTree(const pt::ptree& tree)
{
    const pt::ptree& root = xml::Required(tree, "TVConfig");
    const xml::AttributeReader last(xml::Required(root, "lastinstance"));
    const pt::ptree& list = xml::Required(root, "ModelList");

    ScreenPowerSettings s;
    s.model = Number<int>(last.Text("tvmodel", std::to_string(kDefaultModel)), INT32_MIN, INT32_MAX, "tvmodel");
    const std::string port = last.Text("serialport", kDefaultPort);
    const auto baud = Number<uint32_t>(last.Text("baudrate", std::to_string(kDefaultBaud)), 0, UINT32_MAX, "baudrate");
    s.serial = DisplayLine(port, baud);
    const auto open = last.Text("OpenCmd");
    const auto close = last.Text("CloseCmd");
    if (!open || !close)
        throw xml::FileError("the attribute \"OpenCmd\" or \"CloseCmd\" is missing");
    s.openCmd = *open;
    s.closeCmd = *close;
    const std::string ip = last.Text("ip", kDefaultIp);
    if (!ParseDottedQuad(ip, s.ip))
        throw xml::FileError("\"ip\" is not an address: \"" + ip + "\"");
    s.port = Number<uint16_t>(last.Text("port", std::to_string(kDefaultNetPort)), 0, 65535, "port");
    s.commMode = Number<int>(last.Text("commmode", "0"), INT32_MIN, INT32_MAX, "commmode");

    for (const auto& [name, child] : list) {
        if (name != "Model")
            continue;
        const xml::AttributeReader attrs(child);
        TvModelEntry entry;
        entry.id = Number<uint32_t>(attrs.Text("id", std::to_string(kMissingModelId)), 0, UINT32_MAX, "id");
        entry.friendlyName = attrs.Text("friendlyname", kMissingModelName);
        s.models.emplace(entry.id, entry); // a repeated id keeps the first
    }
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
    xml::AttributeWriter(root.add_child("lastinstance", pt::ptree()))
        .Add("tvmodel", int32_t(s.model))
        .Add("serialport", s.serial.portName)
        .Add("baudrate", s.serial.baudRate)
        .Add("ip", FormatDottedQuad(s.ip))
        .Add("port", uint32_t(s.port))
        .Add("commmode", int32_t(s.commMode))
        .Add("OpenCmd", s.openCmd)
        .Add("CloseCmd", s.closeCmd);
    pt::ptree& list = root.add_child("ModelList", pt::ptree());
    for (const auto& [id, entry] : s.models)
        xml::AttributeWriter(list.add_child("Model", pt::ptree()))
            .Add("id", id)
            .Add("friendlyname", entry.friendlyName);
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
