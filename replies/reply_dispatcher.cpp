#include "replies/reply_dispatcher.h"

#include <array>
#include <string_view>

#include "core/debug_logs.h"
#include "core/event_queue.h"
#include "model/processor.h"
#include "model/processor_link.h"
#include "model/processor_settings.h"
#include "replies/reply_parsers.h"
#include "replies/reply_support.h"

namespace {

using Parser = bool (*)(uint32_t, const std::string&);

struct Row {
    std::array<std::string_view, 3> keywords; // unused places stay empty
    Parser parse;
};

// Slot and input-resolution replies differ by model; other models ignore
// them.
template <Parser Common, Parser Model6>
bool ByModel(uint32_t channelId, const std::string& line)
{
    const auto processor = FindReplyProcessor(channelId);
    if (!processor)
        return true;
    switch (processor->GetKind()) {
    case 5:
    case 7:
    case 8:
    case 9:
    case 10: return Common(channelId, line);
    case 6: return Model6(channelId, line);
    default: return true;
    }
}

// The second network port's replies also go to the debug log, whole.
template <Parser Parse>
bool Logged(uint32_t channelId, const std::string& line)
{
    WriteDebugLog(line);
    return Parse(channelId, line);
}

// In match order: the first row with a keyword the line begins with
// decides. A keyword that is a prefix of a later one shares its row.
const Row kRows[] = {
    {{"SW GET_OUTPUT_TIMING"}, ParseOutputTimingReply},
    {{"SW READ_INPUT_SOURCE_RESOLUTION"}, ParseSwInputResolutionReply},
    {{"BOARD READ_SLOT_MESSAGE"}, ParseBoardSlotMessageReply},
    {{"BOARD READ_INPUT_SOURCE_RESOLUTION"}, ParseBoardInputResolutionReply},
    {{"BOARD ADV7604_GET_CTRL"}, ParseAdv7604CtrlReply},
    {{"BOARD TVP5158_GET_CTRL"}, ParseTvp5158CtrlReply},
    {{"BOARD GET_INPUT_VIDEO_SWITCH"}, ParseInputVideoSwitchReply},
    {{"BOARD GET_OUTPUT_RESOLUTION"}, ParseBoardOutputResolutionReply},
    {{"GRAPHIC_PROCESSOR READ_INPUT_SLOT_MESSAGE", "GP READ_INPUT_SLOT_MESSAGE", "GP RISMG"},
     ParseInputSlotMessageReply},
    {{"GRAPHIC_PROCESSOR READ_OUTPUT_SLOT_MESSAGE", "GP READ_OUTPUT_SLOT_MESSAGE", "GP ROSMG"},
     ParseOutputSlotMessageReply},
    {{"GRAPHIC_PROCESSOR READ_INPUT_SOURCE_RESOLUTION", "GP READ_INPUT_SOURCE_RESOLUTION", "GP RISR"},
     ParseGpInputResolutionReply},
    {{"GP READ_SLOT_MESSAGE", "GP RSMG"}, ByModel<ParseSlotMessageReply, ParseSlotMessageReply6>},
    {{"INPUT_FPGA READ_INPUT_SOURCE_RESOLUTION", "I_F RISR"},
     ByModel<ParseFpgaInputResolutionReply, ParseFpgaInputResolutionReply6>},
    {{"GP GOT"}, ParseGotReply},
    {{"I_F OSDSA", "O_F OSDSA"}, ParseOsdStatusReply},
    {{"GP GIPA"}, ParseIpReply},
    {{"GP GTPN"}, ParsePortReply},
    {{"GP GSM"}, ParseMaskReply},
    {{"GP GGW"}, ParseGatewayReply},
    {{"GP GMAC"}, ParseMacReply},
    {{"GP GIP1A"}, Logged<ParseIp1Reply>},
    {{"GP GT1PN"}, Logged<ParsePort1Reply>},
    {{"GP GN1SM"}, Logged<ParseMask1Reply>},
    {{"GP GN1GW"}, Logged<ParseGateway1Reply>},
    {{"GP GN1MAC"}, Logged<ParseMac1Reply>},
};

// Echoes of set commands, then the type and version replies: the lines a
// waiting sender is woken by.
constexpr std::array<std::string_view, 42> kAcknowledged{
    "INPUT_FPGA SET_INPUT_PORT_EDID",
    "GP SIATP",
    "GP SOT",
    "GP SDMI",
    "GP CDMS",
    "I_F SCALER_SETUP",
    "I_F SWL",
    "I_F AW",
    "I_F AWE",
    "GP BPSW",
    "K40750 UPDATA",
    "O_F SCALER_SETUP",
    "O_F SWL",
    "O_F AW",
    "O_F AWE",
    "OUTPUT_FPGA CLEAR_OUTPUT_WIN",
    "I_F SUSD",
    "O_F SUSD",
    "I_F OSDWS",
    "I_F OSDWE",
    "I_F COSDW",
    "I_F BWRP",
    "I_F OSDBWE",
    "I_F OSDBWC",
    "I_F OSDWC",
    "O_F OSDWS",
    "O_F OSDWE",
    "O_F COSDW",
    "O_F BWRP",
    "O_F OSDBWE",
    "O_F OSDBWC",
    "O_F OSDWC",
    "OUTPUT_FPGA WRITE",
    "I_F TIME_WE",
    "I_F TIME_WS",
    "GP SODC",
    "I_F TIME_F",
    "GP TYPE",
    "GP GFPV",
    "GP GSFPV",
    "GP GFWV",
    "GP GSFWV",
};

bool BeginsWithAny(const std::string& line, const std::array<std::string_view, 3>& keywords)
{
    for (const auto keyword : keywords)
        if (!keyword.empty() && line.starts_with(keyword))
            return true;
    return false;
}

bool Acknowledge(uint32_t channelId, const std::string& line)
{
    const auto processor = FindReplyProcessor(channelId);
    if (!processor)
        return false;
    if (line.starts_with("GP TYPE")) {
        processor->settings().OnTypeReply(line);
        PostEvent(new CGetProTypeEvent(static_cast<int32_t>(processor->GetId())));
    } else if (line.starts_with("GP GFPV") || line.starts_with("GP GSFPV")) {
        ParseVersionReply(channelId, line);
        PostEvent(new CGetFPGAVerEvent());
    } else if (line.starts_with("GP GFWV") || line.starts_with("GP GSFWV")) {
        ParseVersionReply(channelId, line);
        PostEvent(new CGetSTMVerEvent());
    }
    processor->link().OnReply(line);
    return true;
}

} // namespace

ReplyRoute RouteOfReply(std::string_view line)
{
    for (const Row& row : kRows)
        for (const auto keyword : row.keywords)
            if (!keyword.empty() && line.starts_with(keyword))
                return ReplyRoute::Parsed;
    for (const auto keyword : kAcknowledged)
        if (line.starts_with(keyword))
            return ReplyRoute::Acknowledged;
    return ReplyRoute::Unmatched;
}

std::vector<std::string_view> ReplyKeywords()
{
    std::vector<std::string_view> keywords;
    for (const Row& row : kRows)
        for (const auto keyword : row.keywords)
            if (!keyword.empty())
                keywords.push_back(keyword);
    keywords.insert(keywords.end(), kAcknowledged.begin(), kAcknowledged.end());
    return keywords;
}

bool ParseDeviceReply(uint32_t channelId, const std::string& line)
{
    for (const Row& row : kRows)
        if (BeginsWithAny(line, row.keywords))
            return row.parse(channelId, line);
    if (RouteOfReply(line) == ReplyRoute::Acknowledged)
        return Acknowledge(channelId, line);
    // A line no row names may still be the echo of a confirmed command.
    if (const auto processor = FindReplyProcessor(channelId))
        processor->link().OnUnmatchedReply(line);
    return true;
}
