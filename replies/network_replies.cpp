// Replies for the settings dialogs: network settings of both network ports,
// OSD status and version numbers. Except for the versions they only post
// an event for the dialog that asked.
#include <array>
#include <cstdint>
#include <string>

#include "core/debug_logs.h"
#include "core/event_queue.h"
#include "corlane/fstr.h"
#include "model/processor.h"
#include "model/processor_settings.h"
#include "replies/reply_numbers.h"
#include "replies/reply_parsers.h"
#include "replies/reply_support.h"

using qz::vok::fstr_format;

namespace {

// Four numbers as one 32-bit value, the first in the top byte.
uint32_t Pack(const std::array<int32_t, 4>& n)
{
    return static_cast<uint32_t>(n[0]) << 24 | (static_cast<uint32_t>(n[1]) & 0xFF) << 16 |
           (static_cast<uint32_t>(n[2]) & 0xFF) << 8 | (static_cast<uint32_t>(n[3]) & 0xFF);
}

template <class Event>
bool PostPacked(const std::string& line, const char* prefix)
{
    PostEvent(new Event(Pack(ReadReplyNumbers<4>(line, prefix))));
    return true;
}

bool PostPort(const std::string& line, const char* prefix)
{
    const auto [port] = ReadReplyNumbers<1>(line, prefix);
    PostEvent(new CProcessorPortEvent(static_cast<uint16_t>(static_cast<uint32_t>(port))));
    return true;
}

// "输入板2:" or "输出板5:" by the boards each model has; other models none.
std::string BoardLabel(int32_t model, int32_t board)
{
    int32_t lastInput = -1;
    switch (model) {
    case 7: lastInput = 1; break;
    case 8: lastInput = 3; break;
    case 10: lastInput = 7; break;
    default: return {};
    }
    const bool input = board >= 0 && board <= lastInput;
    return fstr_format("%s%d%s", input ? "输入板" : "输出板", board, ":");
}

} // namespace

bool ParseOsdStatusReply(uint32_t channelId, const std::string& line)
{
    const bool input = line.starts_with("I_F OSDSA");
    const auto [first, second, status] = ReadReplyNumbers<3>(line, input ? "I_F OSDSA" : "O_F OSDSA");
    PostEvent(new COSDStatusEvent(status, channelId, !input, first, second));
    return true;
}

bool ParseIpReply(uint32_t, const std::string& line)
{
    return PostPacked<CProcessorIPEvent>(line, "GP GIPA");
}

bool ParseIp1Reply(uint32_t, const std::string& line)
{
    WriteSysTimeLog("receiveStart");
    return PostPacked<CProcessorIPEvent>(line, "GP GIP1A");
}

bool ParsePortReply(uint32_t, const std::string& line)
{
    return PostPort(line, "GP GTPN");
}

bool ParsePort1Reply(uint32_t, const std::string& line)
{
    return PostPort(line, "GP GT1PN");
}

bool ParseMaskReply(uint32_t, const std::string& line)
{
    return PostPacked<CProcessorSMEvent>(line, "GP GSM");
}

bool ParseMask1Reply(uint32_t, const std::string& line)
{
    return PostPacked<CProcessorSMEvent>(line, "GP GN1SM");
}

bool ParseGatewayReply(uint32_t, const std::string& line)
{
    return PostPacked<CProcessorGWEvent>(line, "GP GGW");
}

bool ParseGateway1Reply(uint32_t, const std::string& line)
{
    return PostPacked<CProcessorGWEvent>(line, "GP GN1GW");
}

bool ParseMacReply(uint32_t, const std::string& line)
{
    return PostPacked<CProcessorMACEvent>(line, "GP GMAC");
}

bool ParseMac1Reply(uint32_t, const std::string& line)
{
    return PostPacked<CProcessorMACEvent>(line, "GP GN1MAC");
}

bool ParseVersionReply(uint32_t channelId, const std::string& line)
{
    const auto processor = FindReplyProcessor(channelId);
    if (!processor)
        return false;
    const char* mainBoard = "主控板：";
    if (line.starts_with("GP GFPV")) {
        const auto [version] = ReadReplyNumbers<1>(line, "GP GFPV");
        processor->settings().AddFpgaVersion(0, fstr_format("%s%x\r\n", mainBoard, static_cast<uint32_t>(version)));
        return true;
    }
    if (line.starts_with("GP GFWV")) {
        const auto [v1, v2, v3] = ReadReplyNumbers<3>(line, "GP GFWV");
        processor->settings().AddFirmwareVersion(0, fstr_format("%s%d %d %d\r\n", mainBoard, v1, v2, v3));
        return true;
    }

    const bool fpga = line.starts_with("GP GSFPV");
    const auto numbers = ReadReplyNumbers<4>(line, fpga ? "GP GSFPV" : "GP GSFWV");
    const int32_t board = numbers[0];
    // Key 0 is the main control board's: a board number below 0 would
    // take it.
    if (board < 0 || board == INT32_MAX) {
        LogReplyError(fstr_format("version reply: board %d refused", board));
        return false;
    }
    const std::string label = BoardLabel(processor->GetKind(), board);
    if (fpga)
        processor->settings().AddFpgaVersion(board + 1,
                                             fstr_format("%s%x\r\n", label.c_str(), static_cast<uint32_t>(numbers[1])));
    else
        processor->settings().AddFirmwareVersion(
            board + 1, fstr_format("%s%d %d %d\r\n", label.c_str(), numbers[1], numbers[2], numbers[3]));
    return true;
}
