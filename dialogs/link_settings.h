#pragma once
// The processor link settings the settings dialog edits, and what the
// frame does with them on OK: the rate change sent to the device, the
// pause it needs, the processor file and the reconnect. Also the request
// codes of the device's network operations by network port.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CQelProcessor;

inline constexpr std::array<int, 4> kBaudRates{2400, 9600, 19200, 115200};
// The processor kind with two network ports to choose from.
inline constexpr int32_t kTwoNetworkPortKind = 10;

struct LinkSettings {
    std::string tcpAddress;
    std::string tcpPort;
    std::string serialDevice; // empty when no port was chosen
    int baudRate = 115200;
    int networkPort = 0; // 0 or 1, kind 10 only
    int autoDetect = 0;
    friend bool operator==(const LinkSettings&, const LinkSettings&) = default;
};

// Takes the processor's link down and, after the pause the device needs,
// up again.
void ReopenLink(CQelProcessor& processor);

// What the dialog opens with: the processor's connection settings.
LinkSettings LinkSettingsOf(const CQelProcessor& processor);

// The device's new serial rate: "GP SCBR 1 high low" with the rate split
// at 65536 when it does not fit in 16 bits.
std::string BaudChangeCommand(int baud);
// How long the device needs to take a new rate; 0 for a rate it has no
// pause for.
uint32_t BaudChangeWaitMs(int baud);

// The frame's OK: stores the settings in the processor, sends a changed
// rate and waits for the device to take it, saves the processor file and
// reconnects a connected processor. Blocks for the waits.
void ApplyLinkSettings(CQelProcessor& processor, const LinkSettings& settings);

// The port list's row for the stored device: the first that opens the
// same device, else the first row; -1 for an empty list.
int PortRowOf(const std::vector<std::string>& ports, const std::string& device);

// The device's network values the dialog reads and sets.
enum class NetValue { Address, Port, Mask, Gateway };
// The request code that reads `value` on network port 0 or 1.
int NetQueryCode(NetValue value, int networkPort);
// The request code that sets the address and port, the mask or the
// gateway (Address, Mask, Gateway) on network port 0 or 1.
int NetSetCode(NetValue value, int networkPort);

// Dotted IPv4 text of an address whose first number is the top byte.
std::string DottedAddress(uint32_t address);
// The four numbers of dotted text, the first in the top byte; nothing
// unless the text is exactly four numbers 0 to 255.
std::optional<uint32_t> ParseDottedAddress(const std::string& text);
