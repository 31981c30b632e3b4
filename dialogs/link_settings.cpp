#include "dialogs/link_settings.h"

#include "core/delay.h"
#include "comm/sport_operator.h"
#include "corlane/fstr.h"
#include "model/processor.h"
#include "model/processor_settings.h"

#include <charconv>
#include <cstdlib>

using qz::vok::fstr_format;

namespace {
// Between taking the link down and bringing it back.
constexpr uint32_t kReconnectPauseMs = 500;
} // namespace

void ReopenLink(CQelProcessor& processor)
{
    processor.Disconnect();
    Delay(kReconnectPauseMs);
    processor.Connect();
}

LinkSettings LinkSettingsOf(const CQelProcessor& processor)
{
    const auto connection = processor.settings().GetConnection();
    LinkSettings settings;
    settings.tcpAddress = connection.tcpAddress;
    settings.tcpPort = connection.tcpPort;
    settings.serialDevice = connection.serialDevice;
    settings.baudRate = connection.serialRate;
    settings.autoDetect = connection.serialAutoDetect;
    if (processor.GetKind() == kTwoNetworkPortKind)
        settings.networkPort = std::atoi(connection.tcpType.c_str()) == 1 ? 1 : 0;
    return settings;
}

std::string BaudChangeCommand(int baud)
{
    const bool wide = baud > 65535;
    return fstr_format("GP SCBR 1 %d %d\r\n", wide ? baud / 65536 : 0, wide ? baud % 65536 : baud);
}

uint32_t BaudChangeWaitMs(int baud)
{
    switch (baud) {
    case 2400: return 3000;
    case 9600: return 2000;
    case 19200: return 1000;
    case 115200: return 500;
    default: return 0;
    }
}

void ApplyLinkSettings(CQelProcessor& processor, const LinkSettings& settings)
{
    auto connection = processor.settings().GetConnection();
    connection.tcpAddress = settings.tcpAddress;
    connection.tcpPort = settings.tcpPort;
    connection.serialDevice = settings.serialDevice;
    if (processor.GetKind() == kTwoNetworkPortKind)
        connection.tcpType = fstr_format("%d", settings.networkPort);
    const bool rateChanged = connection.serialRate != settings.baudRate;
    connection.serialRate = settings.baudRate;
    connection.serialAutoDetect = settings.autoDetect;
    processor.settings().SetConnection(connection);
    if (rateChanged) {
        processor.QueueCommand(BaudChangeCommand(settings.baudRate));
        Delay(BaudChangeWaitMs(settings.baudRate));
    }
    processor.SavePro();
    if (processor.IsConnected())
        ReopenLink(processor);
}

int PortRowOf(const std::vector<std::string>& ports, const std::string& device)
{
    for (size_t row = 0; row < ports.size(); ++row)
        if (CSPortOperator::SamePort(ports[row], device))
            return static_cast<int>(row);
    return ports.empty() ? -1 : 0;
}

int NetQueryCode(NetValue value, int networkPort)
{
    // Codes 11 to 14 read port 0, 16 to 19 port 1, in the enum's order.
    return (networkPort == 1 ? 16 : 11) + static_cast<int>(value);
}

int NetSetCode(NetValue value, int networkPort)
{
    const bool second = networkPort == 1;
    switch (value) {
    case NetValue::Mask: return second ? 34 : 30;
    case NetValue::Gateway: return second ? 35 : 31;
    default: return second ? 33 : 1;
    }
}

std::string DottedAddress(uint32_t address)
{
    return fstr_format("%u.%u.%u.%u", address >> 24, (address >> 16) & 0xFF, (address >> 8) & 0xFF, address & 0xFF);
}

std::optional<uint32_t> ParseDottedAddress(const std::string& text)
{
    uint32_t address = 0;
    const char* p = text.data();
    const char* end = p + text.size();
    for (int field = 0; field < 4; ++field) {
        if (field > 0) {
            if (p == end || *p != '.')
                return std::nullopt;
            ++p;
        }
        unsigned value = 0;
        const auto [next, ec] = std::from_chars(p, end, value);
        if (ec != std::errc() || next == p || next - p > 3 || value > 255)
            return std::nullopt;
        address = address << 8 | value;
        p = next;
    }
    if (p != end)
        return std::nullopt;
    return address;
}
