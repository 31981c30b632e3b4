#pragma once
#include <cstdint>
#include <string>

// The parsers of the processor's reply lines, one per reply family. Each
// takes the id of the channel the line came in on and the normalised line
// (CR LF included), applies it to the processor that owns the channel and
// says whether it could; ParseDeviceReply picks the parser by keyword.

// Boards and inputs.
bool ParseBoardSlotMessageReply(uint32_t channelId, const std::string& line);
bool ParseInputSlotMessageReply(uint32_t channelId, const std::string& line);
bool ParseOutputSlotMessageReply(uint32_t channelId, const std::string& line);
bool ParseSlotMessageReply(uint32_t channelId, const std::string& line);
bool ParseSlotMessageReply6(uint32_t channelId, const std::string& line);
bool ParseInputVideoSwitchReply(uint32_t channelId, const std::string& line);
// Makes the source of one port of an input board reported by slot.
void CreateInputPortSource(uint32_t channelId, int32_t slot, int32_t inputType, int32_t port);

// Resolutions, timing and picture adjustment.
bool ParseOutputTimingReply(uint32_t channelId, const std::string& line);
bool ParseSwInputResolutionReply(uint32_t channelId, const std::string& line);
bool ParseBoardInputResolutionReply(uint32_t channelId, const std::string& line);
bool ParseAdv7604CtrlReply(uint32_t channelId, const std::string& line);
bool ParseTvp5158CtrlReply(uint32_t channelId, const std::string& line);
bool ParseBoardOutputResolutionReply(uint32_t channelId, const std::string& line);
bool ParseGpInputResolutionReply(uint32_t channelId, const std::string& line);
bool ParseFpgaInputResolutionReply(uint32_t channelId, const std::string& line);
bool ParseFpgaInputResolutionReply6(uint32_t channelId, const std::string& line);
bool ParseGotReply(uint32_t channelId, const std::string& line);

// Network settings, versions and OSD status.
bool ParseOsdStatusReply(uint32_t channelId, const std::string& line);
bool ParseIpReply(uint32_t channelId, const std::string& line);
bool ParseIp1Reply(uint32_t channelId, const std::string& line);
bool ParsePortReply(uint32_t channelId, const std::string& line);
bool ParsePort1Reply(uint32_t channelId, const std::string& line);
bool ParseMaskReply(uint32_t channelId, const std::string& line);
bool ParseMask1Reply(uint32_t channelId, const std::string& line);
bool ParseGatewayReply(uint32_t channelId, const std::string& line);
bool ParseGateway1Reply(uint32_t channelId, const std::string& line);
bool ParseMacReply(uint32_t channelId, const std::string& line);
bool ParseMac1Reply(uint32_t channelId, const std::string& line);
bool ParseVersionReply(uint32_t channelId, const std::string& line);
