// The device requests of a processor: the exact command text of each, the
// models that take it, its send path and its logging.
#include "model/kinds.h"
#include "model/processor_records.h"
#include "model/processor_requests.h"

#include "core/debug_logs.h"
#include "core/delay.h"
#include "core/progress.h"
#include "corlane/fstr.h"
#include "model/input_osd.h"
#include "model/osd_item.h"
#include "model/processor_jobs.h"
#include "model/processor_link.h"
#include "model/processor_settings.h"
#include "model/requests.h"
#include "model/sig_src.h"

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <atomic>
#include <cstdlib>

using qz::vok::fstr_format;

namespace {

constexpr char kSeparator[] = "\r\n----------------------------------------\r\n";
constexpr char kFailedMark[] = "***";
constexpr char kLeaveDisplayMode[] = "GP SDMI 0\r\n";
constexpr char kStorePoll[] = "GP CDMS 1\r\n";
constexpr char kStoreDone[] = "GP CDMS 0\r\n";
constexpr char kReadSlotsAll[] = "GP READ_SLOT_MESSAGE 0xFF\r\n";
constexpr char kBoardReadSlots[] = "BOARD READ_SLOT_MESSAGE 0x0F\r\n";
constexpr char kBoardGetResolution[] = "BOARD GET_OUTPUT_RESOLUTION\r\n";

constexpr int64_t kStoreTimeoutMs = 20000;
constexpr uint32_t kStorePollGapMs = 100;
constexpr int kStoreReportSteps = 200;
constexpr uint32_t kSotGapMs = 500;
constexpr uint32_t kLowestOutputSearchStart = 100000;

// The status poll walks the sources of every processor with one position.
std::atomic<uint32_t> g_statusPosition{0};

// Model 4 and the 7 to 10 family share the board commands.
bool IsBoardFamily(int32_t kind)
{
    return kind == kModelLed || IsEightPartModel(kind);
}

uint32_t BoardOf(uint32_t id)
{
    return id / 100;
}

uint32_t PortOf(uint32_t id)
{
    return id % 100;
}

// The number a four-way decoder source is addressed by: the routing id of
// its current child, 0 when it has none.
uint32_t DecoderChannelOf(const CQelSigSrc& source)
{
    const auto child = source.GetChild(source.GetCurChildId());
    if (!child || child->GetRoutingId() == kNoId)
        return 0;
    return child->GetRoutingId();
}

// Up to `count` "."-separated decimal fields, each kept as a byte; missing
// fields are 0.
std::vector<int> DottedFields(const std::string& text, size_t count)
{
    std::vector<int> fields(count, 0);
    size_t start = 0;
    for (size_t i = 0; i < count && start <= text.size(); ++i) {
        const size_t end = std::min(text.find('.', start), text.size());
        fields[i] = std::atoi(text.substr(start, end - start).c_str()) & 0xFF;
        start = end + 1;
    }
    return fields;
}

// The four address bytes as the standard dotted-quad parser reads them; an
// unreadable or all-zero address counts as the value 192.
std::array<int, 4> AddressBytes(const std::string& text)
{
    in_addr address{};
    if (inet_pton(AF_INET, text.c_str(), &address) != 1 || address.s_addr == 0)
        address.s_addr = 192; // in memory order: 192, 0, 0, 0
    const auto* bytes = reinterpret_cast<const uint8_t*>(&address.s_addr);
    return {bytes[0], bytes[1], bytes[2], bytes[3]};
}

std::string JoinFields(const std::vector<int>& fields)
{
    std::string out;
    for (int field : fields)
        qz::vok::fstr_appendformat(out, " %d", field);
    return out;
}

// Position of the input among the ascending ids of the sources of kind 101;
// -1 when it is not one of them.
int VgaDviPosition(const std::vector<std::shared_ptr<CQelSigSrc>>& sources, uint32_t inputId)
{
    std::vector<uint32_t> ids;
    for (const auto& source : sources)
        if (source->GetType() == CQelSigSrc::kTypeVgaDvi)
            ids.push_back(source->GetId());
    std::sort(ids.begin(), ids.end());
    const auto it = std::find(ids.begin(), ids.end(), inputId);
    return it == ids.end() ? -1 : static_cast<int>(it - ids.begin());
}

void Report(IProgress* receiver, int done, int total)
{
    if (receiver)
        receiver->OnProgress(done, total);
}

} // namespace

ProcessorRequests::ProcessorRequests(CQelProcessor& owner, ProcessorLink& link, ProcessorJobs& jobs)
    : owner_(owner), link_(link), jobs_(jobs)
{
}

// ---- Helpers shared by the senders -----------------------------------------

bool ProcessorRequests::SendLogged(const std::string& text)
{
    const bool sent = link_.SendCommand(text);
    if (!sent)
        WriteSenderLog(kFailedMark);
    WriteSenderLog(text);
    return sent;
}

std::string ProcessorRequests::OutputTimingCommand(uint32_t resolutionId) const
{
    if (!owner_.records().HasResolutionId(resolutionId))
        return {};
    const Resolution size = owner_.records().GetResolutionById(resolutionId);
    int first = 0;
    int second = 0;
    switch (owner_.GetKind()) {
    case 7:
        first = 2;
        second = 1;
        break;
    case 8:
    case 10:
        first = 9;
        second = 1;
        break;
    case 9:
        first = 0;
        second = 0;
        break;
    default: return {};
    }
    return fstr_format("GP SOT %d %d %d %d %d %d %d %d\r\n", first, second, static_cast<int>(resolutionId), size.width,
                       size.height, 0, 1, 1);
}

// ---- Simple senders --------------------------------------------------------

int ProcessorRequests::SetClock(int a, int b, int c, int d, int e, int f)
{
    return link_.QueueCommand(fstr_format("K_P TIME_SET %d %d %d %d %d %d\r\n", a, b, c, d, e, f)) ? 0 : 1;
}

int ProcessorRequests::SetFreeze(int on)
{
    return link_.QueueCommand(fstr_format("I_F SIPF 0xFF 0xFF %d\r\n", on)) ? 0 : 1;
}

int ProcessorRequests::LoadPreset(int preset)
{
    return link_.SendCommand(fstr_format("GP LDM %d\r\n", preset)) ? 1 : 0;
}

int ProcessorRequests::SetBackgroundColor(uint8_t red, uint8_t green, uint8_t blue)
{
    WriteSenderLog(kSeparator);
    const uint32_t colour = red * 65536u + green * 256u + blue;
    SendLogged(fstr_format("GP SODC %u\r\n", colour));
    return 0;
}

int ProcessorRequests::WriteBackgroundYuv(int board, uint8_t red, uint8_t green, uint8_t blue)
{
    int target;
    switch (owner_.GetKind()) {
    case 7:
    case 9: target = board + 1; break;
    case 8:
    case 10: target = board + 8; break;
    default: return 1;
    }
    WriteSenderLog(kSeparator);
    const uint32_t yuv = RgbToYuv(red, green, blue);
    for (int reg = 5152; reg <= 5155; ++reg)
        SendLogged(fstr_format("OUTPUT_FPGA WRITE %d %d %u\r\n", target, reg, yuv));
    return 0;
}

int ProcessorRequests::EnableAllTime(int on)
{
    WriteSenderLog(kSeparator);
    SendLogged(fstr_format("I_F TIME_WE 255 255 %d\r\n", on));
    return 0;
}

int ProcessorRequests::SendRawText(const std::string& text)
{
    WriteSenderLog(kSeparator);
    SendLogged(text + " \r\n");
    return 0;
}

int ProcessorRequests::LeaveDisplayMode()
{
    link_.ChannelSend(kLeaveDisplayMode);
    WriteSenderLog(kLeaveDisplayMode);
    return 0;
}

int ProcessorRequests::SendQuery(int code)
{
    static constexpr const char* kQueries[] = {
        "GP GIPA 1\r\n",  "GP GTPN 1\r\n",  "GP GSM 1\r\n",   "GP GGW 1\r\n",   "GP MAC 1\r\n",
        "GP GIP1A 1\r\n", "GP GT1PN 1\r\n", "GP GN1SM 1\r\n", "GP GN1GW 1\r\n", "GP GN1GW 1\r\n",
    };
    constexpr int kFirstQuery = 11;
    constexpr int kSecondPortAddress = 16;
    if (code < kFirstQuery || code >= kFirstQuery + static_cast<int>(std::size(kQueries)))
        return 1;
    if (code == kSecondPortAddress)
        WriteSysTimeLog("sendStart:");
    const bool queued = link_.QueueCommand(kQueries[code - kFirstQuery]);
    if (code == kSecondPortAddress)
        WriteSysTimeLog("sendEnd:");
    return queued ? 0 : 1;
}

// ---- Network settings ------------------------------------------------------

bool ProcessorRequests::SetAddressAndPort(const char* model6Address, const char* model6Port, const char* fpgaCommand,
                                          const std::string& address, const std::string& port)
{
    const int32_t kind = owner_.GetKind();
    const int portNumber = std::atoi(port.c_str());
    if (kind == 6) {
        const auto fields = DottedFields(address, 4);
        // Queued: success once both are in the queue.
        return link_.QueueCommand(fstr_format("%s%s\r\n", model6Address, JoinFields(fields).c_str())) &&
               link_.QueueCommand(fstr_format("%s %d\r\n", model6Port, portNumber));
    }
    if (!IsEightPartModel(kind))
        return false;
    const auto bytes = AddressBytes(address);
    return link_.SendCommand(
        fstr_format("%s %d %d %d %d %d\r\n", fpgaCommand, bytes[0], bytes[1], bytes[2], bytes[3], portNumber));
}

bool ProcessorRequests::SetAddressWord(const char* command, const std::string& text, size_t model6Fields,
                                       size_t fpgaFields)
{
    const int32_t kind = owner_.GetKind();
    if (kind == 6)
        return link_.QueueCommand(
            fstr_format("%s%s\r\n", command, JoinFields(DottedFields(text, model6Fields)).c_str()));
    if (!IsEightPartModel(kind))
        return false;
    std::vector<int> fields;
    if (fpgaFields == 4) {
        const auto bytes = AddressBytes(text);
        fields.assign(bytes.begin(), bytes.end());
    } else {
        fields = DottedFields(text, fpgaFields);
    }
    // The device takes the leading number of the text once more at the end.
    fields.push_back(std::atoi(text.c_str()));
    return link_.SendCommand(fstr_format("%s%s\r\n", command, JoinFields(fields).c_str()));
}

bool ProcessorRequests::SetNetwork(const std::string& address, const std::string& port)
{
    return SetAddressAndPort("GP SIPA", "GP STPN", "GP SIATP", address, port);
}

bool ProcessorRequests::SetNetwork2(const std::string& address, const std::string& port)
{
    return SetAddressAndPort("GP SIP1A", "GP ST1PN", "GP SI1ATP", address, port);
}

bool ProcessorRequests::SetSubnetMask(const std::string& mask)
{
    return SetAddressWord("GP SSM", mask, 4, 4);
}

bool ProcessorRequests::SetSubnetMask2(const std::string& mask)
{
    return SetAddressWord("GP SN1SM", mask, 4, 4);
}

bool ProcessorRequests::SetGateway(const std::string& gateway)
{
    return SetAddressWord("GP SGW", gateway, 4, 4);
}

bool ProcessorRequests::SetGateway2(const std::string& gateway)
{
    return SetAddressWord("GP SN1GW", gateway, 4, 4);
}

bool ProcessorRequests::SetSubnetMaskLong(const std::string& mask)
{
    return SetAddressWord("GP SSM", mask, 6, 6);
}

bool ProcessorRequests::SetSubnetMaskLong2(const std::string& mask)
{
    return SetAddressWord("GP SN1SM", mask, 6, 6);
}

// ---- Outputs, inputs and pictures ------------------------------------------

int ProcessorRequests::SetOutputTiming(uint32_t resolutionId)
{
    const std::string command = OutputTimingCommand(resolutionId);
    if (command.empty())
        return 1;
    return link_.SendCommand(command) ? 0 : 1;
}

int ProcessorRequests::SetTestPattern(uint32_t outputId, int pattern, uint32_t colour)
{
    const int32_t kind = owner_.GetKind();
    if (kind == 4) {
        uint32_t lowest = kLowestOutputSearchStart;
        for (const auto& output : owner_.GetSigOuts())
            lowest = std::min(lowest, output->GetId());
        const uint32_t index = (outputId - lowest) % 1000;
        return link_.QueueCommand(fstr_format("INPUT_FPGA SET_TEST_PATTERN_COLOR %d %d 0x%06X\r\n",
                                              static_cast<int>(index), pattern, colour))
                   ? 0
                   : 1;
    }
    if (IsEightPartModel(kind)) {
        return link_.QueueCommand(fstr_format("OUTPUT_FPGA SET_TEST_PATTERN_COLOR %d %d %d 0x%06X\r\n",
                                              static_cast<int>(BoardOf(outputId)) - 100,
                                              static_cast<int>(PortOf(outputId)), pattern, colour))
                   ? 0
                   : 1;
    }
    return 1;
}

int ProcessorRequests::ProgramEdid(uint32_t inputId, int choice)
{
    const int board = static_cast<int>(BoardOf(inputId));
    const int port = static_cast<int>(PortOf(inputId));
    switch (owner_.GetKind()) {
    case 1:
        return link_.QueueCommand(
                   fstr_format("ADV7604_DEV%d PROGRAM_EDID %d\r\n", static_cast<int>(inputId) - 4, choice))
                   ? 0
                   : 1;
    case 2:
    case 4: return link_.QueueCommand(fstr_format("BOARD ADV7604_PROGRAM_EDID %d %d\r\n", board, choice)) ? 0 : 1;
    case 3: {
        const int position = VgaDviPosition(owner_.GetSigSrcs(), inputId);
        if (position < 0)
            return 1;
        return link_.QueueCommand(fstr_format("GP ADV7604_PROGRAM_EDID %d %d\r\n", position, choice)) ? 0 : 1;
    }
    case 6: return link_.QueueCommand(fstr_format("I_F SIPE %d %d %d\r\n", board, port, choice)) ? 0 : 1;
    case 7:
    case 8:
    case 9:
    case 10:
        return link_.SendCommand(fstr_format("INPUT_FPGA SET_INPUT_PORT_EDID %d %d %d 1\r\n", board, port, choice)) ? 0
                                                                                                                    : 1;
    default: return 1;
    }
}

bool ProcessorRequests::SetInputRouting(uint32_t inputId, int choice)
{
    const int board = static_cast<int>(BoardOf(inputId));
    const int port = static_cast<int>(PortOf(inputId));
    const int32_t kind = owner_.GetKind();
    switch (kind) {
    case 1:
        return link_.QueueCommand(
            fstr_format("ADV7604_DEV%d SET_ROUTING %d\r\n", static_cast<int>(inputId) - 4, choice));
    case 2: return link_.QueueCommand(fstr_format("BOARD ADV7604_SELECT_INPUT_PORT %d %d\r\n", board, choice));
    case 3: {
        const int position = VgaDviPosition(owner_.GetSigSrcs(), inputId);
        return position >= 0 &&
               link_.QueueCommand(fstr_format("GP ADV7604_SELECT_INPUT_PORT %d %d\r\n", position, choice));
    }
    default: break;
    }
    if (!IsBoardFamily(kind))
        return false;
    const auto source = owner_.GetSigSrc(inputId);
    if (!source)
        return false;
    switch (source->GetType()) {
    case CQelSigSrc::kTypeVgaDvi: return link_.QueueCommand(fstr_format("I_F SIPII %d %d %d\r\n", board, port, choice));
    case CQelSigSrc::kTypeVideo4: {
        bool queued = link_.QueueCommand(fstr_format("BOARD SET_INPUT_VIDEO_SWITCH %d %d\r\n", board, choice));
        for (int control = 0; control < 4; ++control)
            queued = link_.QueueCommand(fstr_format("BOARD TVP5158_GET_CTRL %d %d %d\r\n", board, choice, control)) &&
                     queued;
        return queued;
    }
    case 6: return link_.QueueCommand(fstr_format("I_F SMII %d %d %d\r\n", board, port, choice));
    default: return false;
    }
}

bool ProcessorRequests::SetPictureControl(uint32_t inputId, int control, int value)
{
    const auto source = owner_.GetSigSrc(inputId);
    if (!source)
        return false;
    if (!IsBoardFamily(owner_.GetKind()))
        return true;
    const int board = static_cast<int>(BoardOf(inputId));
    if (source->GetType() == CQelSigSrc::kTypeVideo4)
        link_.QueueCommand(fstr_format("BOARD TVP5158_SET_CTRL %d %d %d %d\r\n", board,
                                       static_cast<int>(DecoderChannelOf(*source)), control, value));
    else
        link_.QueueCommand(fstr_format("BOARD ADV7604_SET_CTRL %d %d %d\r\n", board, control, value));
    return true;
}

int ProcessorRequests::SetTimeOsd(const tagOSD_DATA_EX2_S& item)
{
    WriteSenderLog(kSeparator);
    SendLogged(fstr_format("I_F TIME_WE %d %d %d\r\n", item.input, item.item, item.timeMode));
    SendLogged(fstr_format("I_F TIME_WS %d %d %d %d %d %d\r\n", item.input, item.item, item.timeLeft, item.timeTop,
                           item.inputWidth - item.timeLeft, item.inputHeight - item.timeTop));
    SendLogged(fstr_format("I_F TIME_F %d %d %d\r\n", item.input, item.item, item.fontSize));
    return 0;
}

// ---- Status poll and discovery ---------------------------------------------

int ProcessorRequests::QueryStatus()
{
    if (!owner_.settings().IsStatusPollEnabled())
        return 0;
    const int32_t kind = owner_.GetKind();
    if (kind == 1)
        link_.QueueCommand("SW GET_OUTPUT_TIMING\r\n");
    const auto sources = owner_.GetSigSrcs();
    if (sources.empty())
        return 0;

    uint32_t position = g_statusPosition.load();
    if (position >= sources.size())
        position = 0;
    g_statusPosition.store(position + 1);
    const CQelSigSrc& source = *sources[position];
    const uint32_t id = source.GetId();
    const int board = static_cast<int>(BoardOf(id));
    const int port = static_cast<int>(PortOf(id));

    switch (kind) {
    case 1: link_.QueueCommand(fstr_format("SW RISR %d\r\n", static_cast<int>(id))); break;
    case 2:
    case 4:
        if (source.GetType() == CQelSigSrc::kTypeVideo4) {
            for (int p = 0; p < 4; ++p)
                link_.QueueCommand(fstr_format("BOARD RISR %d %d\r\n", board, p));
            link_.QueueCommand(fstr_format("BOARD GET_INPUT_VIDEO_SWITCH %d\r\n", board));
            const int channel = static_cast<int>(DecoderChannelOf(source));
            for (int control = 0; control < 4; ++control)
                link_.QueueCommand(fstr_format("BOARD TVP5158_GET_CTRL %d %d %d\r\n", board, channel, control));
        } else {
            link_.QueueCommand(fstr_format("BOARD RISR %d %d\r\n", board, 0));
            for (int control = 0; control < 4; ++control)
                link_.QueueCommand(fstr_format("BOARD ADV7604_GET_CTRL %d %d\r\n", board, control));
        }
        break;
    case 3:
        if (port < 24)
            link_.QueueCommand(fstr_format("GP RISR %d %d\r\n", board, port));
        break;
    case 5:
    case 7:
    case 8:
    case 9:
    case 10: link_.QueueCommand(fstr_format("I_F RISR %d %d\r\n", board, port)); break;
    case 6: link_.QueueCommand(fstr_format("INPUT_FPGA READ_INPUT_SOURCE_RESOLUTION %d %d\r\n", board, port)); break;
    default: break;
    }
    return 0;
}

void ProcessorRequests::RequestSlotDiscovery()
{
    const int32_t kind = owner_.GetKind();
    const uint32_t resolutionId = owner_.records().GetOutputResolutionId();
    if (resolutionId == kNoId) {
        if (kind == 4) {
            link_.QueueCommand(kBoardReadSlots);
            link_.QueueCommand(kBoardGetResolution);
        }
        return;
    }
    if (!owner_.records().HasResolutionId(resolutionId))
        return;
    const int r = static_cast<int>(resolutionId);
    switch (kind) {
    case 1: link_.QueueCommand(fstr_format("SW SET_OUTPUT_TIMING %d\r\n", r)); break;
    case 2:
        link_.QueueCommand(kBoardReadSlots);
        link_.QueueCommand(fstr_format("BOARD SET_OUTPUT_TIMING %d\r\n", r));
        break;
    case 4:
        link_.QueueCommand(fstr_format("BOARD SET_OUTPUT_TIMING %d\r\n", r));
        link_.QueueCommand(kBoardReadSlots);
        link_.QueueCommand(kBoardGetResolution);
        break;
    case 3: {
        std::string inputs;
        std::string outputs;
        for (int slot = 0; slot < 4; ++slot) {
            qz::vok::fstr_appendformat(inputs, "GP RISMG %d\r\n", slot);
            qz::vok::fstr_appendformat(outputs, "GP ROSMG %d\r\n", slot);
        }
        link_.QueueCommand(inputs);
        link_.QueueCommand(outputs);
        break;
    }
    case 5: link_.QueueCommand(kReadSlotsAll); break;
    case 6: {
        const auto outputs = owner_.GetSigOuts();
        const auto timingOf = [&](size_t index) -> uint32_t {
            return index < outputs.size() ? owner_.records().FindResolutionId(outputs[index]->GetResolution()) : kNoId;
        };
        const uint32_t first = timingOf(0);
        if (first != kNoId) {
            link_.QueueCommand(fstr_format("GP SOT 4 0 %d\r\n", static_cast<int>(first)));
            // Give the first output time to switch before the second.
            Delay(kSotGapMs);
        }
        const uint32_t second = timingOf(1);
        if (second != kNoId)
            link_.QueueCommand(fstr_format("GP SOT 4 1 %d\r\n", static_cast<int>(second)));
        link_.QueueCommand(kReadSlotsAll);
        break;
    }
    case 7:
    case 8:
    case 9:
    case 10:
        link_.QueueCommand(OutputTimingCommand(resolutionId));
        link_.QueueCommand(kReadSlotsAll);
        break;
    default: break;
    }
}

// ---- Command lists, OSD lines and the display-mode store --------------------

int ProcessorRequests::QueueCommandList(const std::vector<std::string>& lines)
{
    WriteSenderLog(kSeparator);
    // A new list replaces whatever of the previous one is still unsent.
    link_.RemoveEchoedCommands();
    bool all = true;
    for (const auto& line : lines) {
        all = link_.QueueEchoedCommand(line) && all;
        WriteSenderLog(line);
    }
    return all ? 0 : 1;
}

int ProcessorRequests::SendOsdLines(IProgress* receiver, const std::vector<std::string>& lines, int group,
                                    uint32_t delayMs)
{
    WriteSenderLog(kSeparator);
    const int total = static_cast<int>(lines.size());
    const int perSend = std::max(group, 1);
    std::string buffer;
    const auto flush = [&]() {
        if (link_.SendCommand(buffer)) {
            WriteSenderLog(buffer);
            if (delayMs != 0)
                Delay(delayMs);
            buffer.clear();
            return true;
        }
        WriteSenderLog(kFailedMark);
        WriteSenderLog(buffer);
        Report(receiver, total + 1, total);
        return false;
    };
    int handed = 0;
    for (const auto& line : lines) {
        buffer += line;
        ++handed;
        if (handed % perSend == 0 && !flush())
            return 1;
        Report(receiver, std::min(handed, total - 1), total);
    }
    // An empty remainder would be dropped by the link and never echoed.
    if (!buffer.empty() && !flush())
        return 1;
    Report(receiver, total, total);
    return 0;
}

int ProcessorRequests::SwitchDisplayMode(int mode, IProgress* receiver, bool abortOnFailure,
                                         const std::vector<std::string>& lines)
{
    WriteSenderLog(kSeparator);
    const std::string enter = fstr_format("GP SDMI %d\r\n", mode);
    if (!link_.SendCommand(enter)) {
        link_.SendCommand(kLeaveDisplayMode);
        return 1;
    }
    WriteSenderLog(enter);
    WriteSysTimeLog(enter);

    for (int board = 9; board <= 12; ++board)
        for (int port = 0; port < 4; ++port)
            SendLogged(fstr_format("GP BPSW 0xFF 0xFF %d %d\r\n", board, port));

    for (const auto& line : lines) {
        if (!link_.SendCommand(line)) {
            WriteSenderLog(kFailedMark);
            if (abortOnFailure) {
                WriteSenderLog(line);
                link_.SendCommand(kLeaveDisplayMode);
                WriteSenderLog(kLeaveDisplayMode);
                return 1;
            }
            WriteSysTimeLog(kFailedMark);
        }
        WriteSenderLog(line);
        WriteSysTimeLog(line);
    }

    // The device stores the mode in the background and says "GP CDMS 0"
    // to a poll once it is done.
    int result = 1;
    int polls = 0;
    const platform::TimePoint start = platform::Now();
    while (platform::MillisSince(start) < kStoreTimeoutMs && (!receiver || polls < kStoreReportSteps)) {
        // Shut-down does not wait out a store of up to 20 s.
        if (!jobs_.JobPause(kStorePollGapMs))
            break;
        if (receiver)
            receiver->OnProgress(polls, kStoreReportSteps);
        std::string reply;
        WriteSysTimeLog(std::string("send: ") + kStorePoll);
        const bool answered = link_.SendAndWait(kStorePoll, reply);
        ++polls;
        WriteSysTimeLog("receive: " + reply);
        if (answered && reply == kStoreDone) {
            result = 0;
            break;
        }
    }
    Report(receiver, kStoreReportSteps - 1, kStoreReportSteps);

    if (!link_.SendCommand(kLeaveDisplayMode)) {
        WriteSenderLog(kFailedMark);
        WriteSysTimeLog("recerive : error");
    }
    WriteSenderLog(kLeaveDisplayMode);
    WriteSysTimeLog(fstr_format("bRt:%d\r\n", result));
    return result;
}

int ProcessorRequests::ClearOutputWindows(int step, IProgress* receiver)
{
    std::vector<std::string> lines;
    const auto clear = [&](int board, int port) {
        lines.push_back(fstr_format("OUTPUT_FPGA CLEAR_OUTPUT_WIN %d %d\r\n", board, port));
    };
    switch (owner_.GetKind()) {
    case 7:
        for (int board = 2; board <= 3; ++board)
            for (int port = 0; port < 4; ++port)
                clear(board, port);
        lines.push_back("O_F SUSD 2\r\n");
        lines.push_back("O_F SUSD 3\r\n");
        break;
    case 8:
    case 10:
        for (int board = 9; board <= 12; ++board)
            for (int port = 0; port < 4; ++port)
                clear(board, port);
        for (int board = 9; board <= 12; ++board)
            lines.push_back(fstr_format("O_F SUSD %d\r\n", board));
        break;
    case 9:
        // "INTPUT" is what the device takes.
        lines.emplace_back("INTPUT_FPGA CLEAR_OUTPUT_WIN 0 0\r\n");
        lines.emplace_back("I_F SUSD 0\r\n");
        break;
    default: return 1;
    }
    return SwitchDisplayMode(step, receiver, false, lines);
}
