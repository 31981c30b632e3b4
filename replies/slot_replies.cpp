// Slot replies: which board sits in which slot, of which kind and with how
// many ports, turned into the processor's boards, sources and outputs.
#include <cstdint>
#include <memory>
#include <string>

#include "corlane/fstr.h"
#include "model/board.h"
#include "model/kinds.h"
#include "model/processor.h"
#include "model/processor_records.h"
#include "model/sig_src.h"
#include "replies/port_descriptor_map.h"
#include "replies/port_names.h"
#include "replies/reply_numbers.h"
#include "replies/reply_parsers.h"
#include "replies/reply_support.h"

using qz::vok::fstr_format;

namespace {

// Board kinds.
constexpr int32_t kBoardOther = 1;
constexpr int32_t kBoardVideo = 2;
constexpr int32_t kBoardVgaDvi = 3;
constexpr int32_t kBoardSdi = 4;
constexpr int32_t kBoardCvbs = 7;
constexpr int32_t kBoardOutput = 21;
constexpr int32_t kOutputScalers = 4;

// The board id every output board of the slot-message reply shares.
constexpr uint32_t kSharedOutputBoardId = 10;
// A multi-view board's 24 tiles are followed by four composites.
constexpr int32_t kTileCount = 24;
constexpr int32_t kCompositeCount = 4;
constexpr int32_t kTileWidth = 640;
constexpr int32_t kTileHeight = 540;
// A port index lives in the two low decimal digits of an id.
constexpr int64_t kMaxPortIndex = 99;
// "GP RSMG" removes the board in the slot when the descriptor is this.
constexpr int32_t kNoDescriptor = 255;

const Resolution kFullHd{1920, 1080, 60};

int64_t SourceId(int64_t boardId, int64_t port)
{
    return boardId * 100 + port;
}

std::shared_ptr<CQelSigSrc> NewSource(int64_t id, int32_t kind, const std::string& name,
                                      const Resolution& resolution = kFullHd)
{
    CQelSigSrc::Values values;
    values.id = static_cast<uint32_t>(id);
    values.type = kind;
    values.name = name;
    values.resolution = resolution;
    values.adjust = CQelSigSrc::DefaultAdjust(kind);
    return std::make_shared<CQelSigSrc>(values);
}

// The three pictures a VGA/DVI input delivers.
void AddVgaDviChildren(CQelSigSrc& source)
{
    source.AddChild(1, 3, "DVI", kFullHd, 2);
    source.AddChild(2, 4, "VGA", kFullHd, 1);
    source.AddChild(3, 5, "YPbPr", kFullHd, 0);
}

// Keeps the board with the id when it has the kind; else replaces it.
// Empty when the model refuses the new board.
std::shared_ptr<CQelBoard> KeepOrReplaceBoard(CQelProcessor& processor, uint32_t id, const CQelBoard::Values& wanted,
                                              bool& kept)
{
    kept = false;
    if (auto board = processor.GetBoard(id)) {
        if (board->GetType() == wanted.type) {
            kept = true;
            return board;
        }
        processor.records().RemoveBoard(id);
    }
    auto board = std::make_shared<CQelBoard>(wanted);
    return processor.records().AddBoard(board) ? board : nullptr;
}

// One board per slot: models 4, 7, 8, 9 and 10.
bool ApplySlotBoard(CQelProcessor& processor, int32_t slot, int32_t boardType)
{
    int32_t boardKind = kBoardOther;
    int32_t sourceKind = kSrcNone;
    bool output = false;
    switch (boardType) {
    case 0:
        boardKind = kBoardVideo;
        sourceKind = kSrcVideo;
        break;
    case 1:
        boardKind = kBoardVgaDvi;
        sourceKind = kSrcVgaDvi;
        break;
    case 2:
        boardKind = kBoardSdi;
        sourceKind = kSrcSdi;
        break;
    case 3:
        boardKind = kBoardOutput;
        output = true;
        break;
    case 6:
        boardKind = kBoardVideo;
        sourceKind = kSrcVideo4;
        break;
    default: break;
    }
    const int64_t boardId = output ? kSharedOutputBoardId : slot;
    const int64_t itemId = output ? SourceId(kSharedOutputBoardId, slot) : SourceId(slot, 0);
    if (!IsValidModelId(boardId) || !IsValidModelId(itemId)) {
        LogReplyError(fstr_format("slot message: slot %d out of range", slot));
        return false;
    }

    CQelBoard::Values wanted;
    wanted.id = static_cast<uint32_t>(boardId);
    wanted.type = boardKind;
    wanted.scaler = output ? kOutputScalers : 0;
    bool kept = false;
    const auto board = KeepOrReplaceBoard(processor, wanted.id, wanted, kept);
    if (!board)
        return false;

    const auto id = static_cast<uint32_t>(itemId);
    if (output) {
        if (!processor.GetSigOut(id)) {
            CQelSigOut::Values values;
            values.id = id;
            values.name = fstr_format("Output_%zu", processor.GetSigOutCount() + 1);
            auto out = std::make_shared<CQelSigOut>(values);
            out->SetBoard(board);
            processor.AddSigOut(out);
        }
        return true;
    }

    if (auto existing = processor.GetSigSrc(id)) {
        if (existing->GetType() == sourceKind)
            return true;
        processor.RemoveSigSrc(id);
    }
    if (sourceKind == kSrcNone)
        return true;
    const bool fourWay = sourceKind == kSrcVideo4;
    const Resolution fourWaySize{704, 474, 60};
    auto source = NewSource(id, sourceKind, fstr_format("输入%d_%d", slot, 1), fourWay ? fourWaySize : kFullHd);
    source->SetBoard(board);
    if (sourceKind == kSrcVgaDvi)
        AddVgaDviChildren(*source);
    if (fourWay)
        for (uint32_t c = 0; c < 4; ++c)
            source->AddChild(c, 1, fstr_format("Video%u", c + 1), fourWaySize, c);
    processor.AddSigSrc(source, true, false);
    return true;
}

// Sources only, no boards: the other models.
bool ApplySlotSources(CQelProcessor& processor, int32_t slot, int32_t boardType)
{
    const char* word = "";
    int32_t kind = kSrcNone;
    int32_t ports = 1;
    switch (boardType) {
    case 0:
        word = "Video";
        kind = kSrcVideo;
        break;
    case 1:
        word = "VGADVI";
        kind = kSrcVgaDvi;
        break;
    case 2:
        word = "SDI";
        kind = kSrcSdi;
        break;
    case 6:
        word = "Video";
        kind = kSrcVideo5;
        ports = 5;
        break;
    default: break;
    }
    if (!IsValidModelId(SourceId(slot, 0)) || !IsValidModelId(SourceId(slot, ports - 1))) {
        LogReplyError(fstr_format("slot message: slot %d out of range", slot));
        return false;
    }
    for (int32_t i = 0; i < ports; ++i) {
        const auto id = static_cast<uint32_t>(SourceId(slot, i));
        if (auto existing = processor.GetSigSrc(id)) {
            if (existing->GetType() == kind)
                return true;
            processor.RemoveSigSrc(id);
        }
        if (kind == kSrcNone)
            continue;
        const std::string name =
            kind == kSrcVideo5 && i == 4 ? fstr_format("4Video%d", slot) : fstr_format("%s%d_%d", word, slot, i + 1);
        auto source = NewSource(id, kind, name);
        if (kind == kSrcVgaDvi)
            AddVgaDviChildren(*source);
        processor.AddSigSrc(source, true, false);
    }
    return true;
}

struct InputBoardKind {
    const char* nameFormat;
    int32_t kind;
    int32_t ports;
};

// Input types 0 to 4 of the input-slot reply.
constexpr InputBoardKind kInputBoards[] = {
    {"HDMI_%d", 1, 4}, {"Video_%d", 2, 24}, {"VGADVI_%d", 3, 4}, {"SDI_%d", 4, 4}, {"IPNet_%d", 5, 2},
};

// A port count whose ports would spill into the next board's ids.
bool PortCountFits(int64_t lastIndex, const char* reply, int32_t count)
{
    if (lastIndex <= kMaxPortIndex)
        return true;
    LogReplyError(fstr_format("%s: port count %d refused", reply, count));
    return false;
}

// The output names of model 6 count the outputs already there.
std::string Model6OutputName(size_t outputs)
{
    return fstr_format("DVI%zu/SDI%zu", outputs + 1, outputs + 1);
}

} // namespace

bool ParseBoardSlotMessageReply(uint32_t channelId, const std::string& line)
{
    const auto processor = FindReplyProcessor(channelId);
    if (!processor)
        return false;
    const auto [slot, boardType] = ReadReplyNumbers<2>(line, "BOARD READ_SLOT_MESSAGE");
    switch (processor->GetKind()) {
    case 4:
    case 7:
    case 8:
    case 9:
    case 10: return ApplySlotBoard(*processor, slot, boardType);
    default: return ApplySlotSources(*processor, slot, boardType);
    }
}

void CreateInputPortSource(uint32_t channelId, int32_t slot, int32_t inputType, int32_t port)
{
    const auto processor = FindReplyProcessor(channelId);
    if (!processor || !IsValidModelId(slot))
        return;
    const auto board = processor->GetBoard(static_cast<uint32_t>(slot));
    const int64_t wideId = SourceId(slot, port);
    if (!board || !IsValidModelId(wideId))
        return;
    const auto id = static_cast<uint32_t>(wideId);

    int32_t kind = kSrcNone;
    switch (inputType) {
    case 0: kind = kSrcHdmi; break;
    case 1: kind = kSrcMultiView; break;
    case 2: kind = kSrcVgaDvi; break;
    case 3: kind = kSrcSdi; break;
    case 4: kind = kSrcIp; break;
    default: break;
    }
    if (auto existing = processor->GetSigSrc(id)) {
        if (existing->GetType() == kind) {
            existing->SetBoard(board);
            return;
        }
        processor->RemoveSigSrc(id);
    }
    if (kind == kSrcNone)
        return;

    const int32_t boardId = slot;
    std::shared_ptr<CQelSigSrc> source;
    if (kind == kSrcMultiView && port >= 0 && port < kTileCount) {
        source =
            NewSource(id, kind, fstr_format("Video%d_%d", boardId, port + 1), Resolution{kTileWidth, kTileHeight, 60});
        const int32_t cell = port % 6;
        source->SetStartPoint(Point{cell % 3 * kTileWidth, cell / 3 * kTileHeight});
    } else if (kind == kSrcMultiView && port >= kTileCount && port < kTileCount + kCompositeCount) {
        source = NewSource(id, kind, fstr_format("6Videos%d_%d", boardId, port - 23));
    } else {
        const char* prefix = "Signal";
        switch (kind) {
        case kSrcSdi: prefix = "SDI"; break;
        case kSrcHdmi: prefix = "HDMI"; break;
        case kSrcIp: prefix = "IpNet"; break;
        case kSrcVgaDvi: prefix = "VGADVI"; break;
        default: break;
        }
        source = NewSource(id, kind, fstr_format("%s%d_%d", prefix, boardId, port + 1));
    }
    source->SetBoard(board);
    if (kind == kSrcVgaDvi)
        AddVgaDviChildren(*source);
    processor->AddSigSrc(source, true, false);
}

bool ParseInputSlotMessageReply(uint32_t channelId, const std::string& line)
{
    const auto processor = FindReplyProcessor(channelId);
    if (!processor)
        return false;
    const char* prefix = line.starts_with("GRAPHIC_PROCESSOR READ_INPUT_SLOT_MESSAGE")
                             ? "GRAPHIC_PROCESSOR READ_INPUT_SLOT_MESSAGE"
                         : line.starts_with("GP READ_INPUT_SLOT_MESSAGE") ? "GP READ_INPUT_SLOT_MESSAGE"
                                                                          : "GP RISMG";
    const auto [slot, inputType] = ReadReplyNumbers<2>(line, prefix);
    if (inputType < 0 || inputType > 4) {
        if (IsValidModelId(slot))
            processor->records().RemoveBoard(static_cast<uint32_t>(slot));
        return true;
    }
    const InputBoardKind& kind = kInputBoards[inputType];
    const int32_t lastPort = inputType == 1 ? kTileCount + kCompositeCount - 1 : kind.ports - 1;
    if (!IsValidModelId(slot) || !IsValidModelId(SourceId(slot, lastPort))) {
        LogReplyError(fstr_format("input slot message: slot %d out of range", slot));
        return false;
    }

    CQelBoard::Values wanted;
    wanted.id = static_cast<uint32_t>(slot);
    wanted.name = fstr_format(kind.nameFormat, slot);
    wanted.type = kind.kind;
    bool kept = false;
    if (!KeepOrReplaceBoard(*processor, wanted.id, wanted, kept))
        return false;
    if (kept)
        return true;
    for (int32_t port = 0; port < kind.ports; ++port)
        CreateInputPortSource(channelId, slot, inputType, port);
    if (inputType == 1)
        for (int32_t port = kTileCount; port < kTileCount + kCompositeCount; ++port)
            CreateInputPortSource(channelId, slot, inputType, port);
    return true;
}

bool ParseOutputSlotMessageReply(uint32_t channelId, const std::string& line)
{
    const auto processor = FindReplyProcessor(channelId);
    if (!processor)
        return false;
    const char* prefix = line.starts_with("GRAPHIC_PROCESSOR READ_OUTPUT_SLOT_MESSAGE")
                             ? "GRAPHIC_PROCESSOR READ_OUTPUT_SLOT_MESSAGE"
                         : line.starts_with("GP READ_OUTPUT_SLOT_MESSAGE") ? "GP READ_OUTPUT_SLOT_MESSAGE"
                                                                           : "GP ROSMG";
    const auto [slot, absent] = ReadReplyNumbers<2>(line, prefix);
    const int64_t boardId = int64_t{slot} + 10;
    if (!IsValidModelId(boardId) || !IsValidModelId(SourceId(boardId, 3))) {
        LogReplyError(fstr_format("output slot message: slot %d out of range", slot));
        return false;
    }
    const auto id = static_cast<uint32_t>(boardId);
    if (absent != 0) {
        processor->records().RemoveBoard(id);
        return true;
    }
    CQelBoard::Values wanted;
    wanted.id = id;
    wanted.type = kBoardOutput;
    wanted.scaler = kOutputScalers;
    bool kept = false;
    const auto board = KeepOrReplaceBoard(*processor, id, wanted, kept);
    if (!board)
        return false;
    if (kept)
        return true;
    const std::string word = TranslatedWord("输出");
    for (int32_t k = 0; k < 4; ++k) {
        CQelSigOut::Values values;
        values.id = static_cast<uint32_t>(SourceId(boardId, k));
        values.name = fstr_format("%s%d%d", word.c_str(), slot, k + 1);
        auto out = std::make_shared<CQelSigOut>(values);
        out->SetBoard(board);
        processor->AddSigOut(out);
    }
    return true;
}

bool ParseSlotMessageReply(uint32_t channelId, const std::string& line)
{
    const auto processor = FindReplyProcessor(channelId);
    if (!processor)
        return false;
    const char* prefix = line.starts_with("GP READ_SLOT_MESSAGE") ? "GP READ_SLOT_MESSAGE" : "GP RSMG";
    const auto [slot, descriptorId, portCount, scalerCount] = ReadReplyNumbers<4>(line, prefix);
    if (descriptorId == kNoDescriptor) {
        if (const auto board = processor->records().GetBoardBySlot(static_cast<uint32_t>(slot)))
            processor->records().RemoveBoard(board->GetId());
        return true;
    }
    const CQel_PORT_DSCP_S* descriptor = CQel_PORT_DSCP_S_map::get_instance().Find(descriptorId);
    if (!descriptor)
        return false;
    int64_t boardId = -1;
    if (descriptor->boardClass == 0)
        boardId = slot;
    else if (descriptor->boardClass == 1)
        boardId = int64_t{slot} + 100;
    if (!IsValidModelId(boardId))
        return false;

    const bool outputBoard = CQelBoard::IsOutputType(descriptor->boardType);
    const bool inputBoard = CQelBoard::IsInputType(descriptor->boardType);
    // Ports 4 and above of a CVBS board skip four ids.
    const auto portIndex = [&](int64_t k) { return descriptor->boardType == kBoardCvbs && k >= 4 ? k + 4 : k; };
    if (portCount > 0 && (outputBoard || inputBoard)) {
        if (!PortCountFits(portIndex(int64_t{portCount} - 1), "slot message", portCount))
            return false;
        if (!IsValidModelId(SourceId(boardId, portIndex(int64_t{portCount} - 1))))
            return false;
    }

    const auto id = static_cast<uint32_t>(boardId);
    const auto existing = processor->GetBoard(id);
    std::shared_ptr<CQelBoard> board;
    if (existing && existing->GetType() == descriptor->boardType && existing->GetPortCount() == portCount &&
        existing->GetScaler() == scalerCount) {
        board = existing;
    } else {
        if (existing)
            processor->records().RemoveBoard(id);
        CQelBoard::Values values;
        values.id = id;
        values.name = descriptor->name;
        values.type = descriptor->boardType;
        values.scaler = scalerCount;
        values.portCount = portCount;
        board = std::make_shared<CQelBoard>(values);
        if (!processor->records().AddBoard(board))
            return false;
    }

    const int32_t model = processor->GetKind();
    if (outputBoard) {
        for (int32_t k = 0; k < portCount; ++k) {
            const auto outId = static_cast<uint32_t>(SourceId(boardId, k));
            const std::string name = LoadProcessorPortNames(outId, model, 0);
            if (const auto old = processor->GetSigOut(outId)) {
                const auto values = old->GetValues();
                if (values.name == name && old->GetBoard() == board && values.ownerId == processor->GetId() &&
                    values.resolution == CQelSigOut::Values{}.resolution)
                    return true;
                processor->records().RemoveSigOut(outId);
            }
            CQelSigOut::Values values;
            values.id = outId;
            values.name = name;
            auto out = std::make_shared<CQelSigOut>(values);
            out->SetBoard(board);
            processor->AddSigOut(out);
        }
    } else if (inputBoard) {
        processor->records().RemoveBoardItems(id);
        for (int32_t k = 0; k < portCount; ++k) {
            const auto srcId = static_cast<uint32_t>(SourceId(boardId, portIndex(k)));
            const std::string name = LoadProcessorPortNames(srcId, model, 0);
            if (const auto old = processor->GetSigSrc(srcId)) {
                if (old->GetType() == descriptor->boardType && old->GetName() == name &&
                    old->GetResolution() == kFullHd)
                    continue;
                processor->RemoveSigSrc(srcId);
            }
            auto source = NewSource(srcId, kSrcNone, name);
            source->SetBoard(board);
            processor->AddSigSrc(source, true, false);
        }
        for (const auto& source : processor->GetSigSrcs()) {
            if (source->GetBoard() != board)
                continue;
            source->SetStartPoint(Point{0, 0});
            source->SetJoined(false);
        }
    }
    return true;
}

bool ParseSlotMessageReply6(uint32_t channelId, const std::string& line)
{
    const auto processor = FindReplyProcessor(channelId);
    if (!processor)
        return false;
    const char* prefix = line.starts_with("GP READ_SLOT_MESSAGE") ? "GP READ_SLOT_MESSAGE" : "GP RSMG";
    const auto [slot, type, portCount, unused] = ReadReplyNumbers<4>(line, prefix);
    (void)unused;

    CQelBoard::Values wanted;
    switch (type) {
    case 0:
        wanted.name = "HDMI";
        wanted.type = 1;
        break;
    case 1:
    case 2:
        wanted.name = "DVI";
        wanted.type = 6;
        break;
    case 3:
        wanted.name = "SDI";
        wanted.type = 4;
        break;
    case 6:
        wanted.name = "SDI";
        wanted.type = kBoardOutput;
        wanted.scaler = kOutputScalers;
        break;
    default: return false; // 255 (no board), 4, 5 and unknown types
    }
    const bool output = wanted.type == kBoardOutput;
    const int64_t boardId = output ? int64_t{slot} + 10 : slot;
    const int64_t lastPort = output ? 1 : int64_t{portCount} - 1;
    if (!IsValidModelId(boardId) || (lastPort >= 0 && !IsValidModelId(SourceId(boardId, lastPort))))
        return false;
    if (!output && !PortCountFits(lastPort, "slot message", portCount))
        return false;

    wanted.id = static_cast<uint32_t>(boardId);
    bool kept = false;
    const auto board = KeepOrReplaceBoard(*processor, wanted.id, wanted, kept);
    if (!board)
        return false;

    if (output) {
        const auto first = static_cast<uint32_t>(SourceId(boardId, 0));
        for (int32_t k = 0; k < 2; ++k) {
            const uint32_t outId = first + static_cast<uint32_t>(k);
            if (!processor->GetSigOut(outId)) {
                CQelSigOut::Values values;
                values.id = outId;
                values.name = Model6OutputName(processor->GetSigOutCount());
                auto out = std::make_shared<CQelSigOut>(values);
                out->SetBoard(board);
                processor->AddSigOut(out);
            }
            processor->QueueCommand(fstr_format("GP GOT %d %d\r\n", slot, k));
        }
        auto wall = processor->GetWall();
        wall.rows = 1;
        wall.cols = 2;
        wall.cells.clear();
        wall.cells[{0, 0}] = static_cast<int32_t>(first);
        wall.cells[{0, 1}] = static_cast<int32_t>(first + 1);
        processor->SetWall(wall);
        processor->records().SetOutputResolutionQuietly(kFullHd);
    } else {
        for (int32_t j = 0; j < portCount; ++j)
            processor->QueueCommand(fstr_format("INPUT_FPGA READ_INPUT_SOURCE_RESOLUTION %d %d\r\n", slot, j));
    }
    return true;
}

bool ParseInputVideoSwitchReply(uint32_t channelId, const std::string& line)
{
    const auto [slot, childId] = ReadReplyNumbers<2>(line, "BOARD GET_INPUT_VIDEO_SWITCH");
    const auto processor = FindReplyProcessor(channelId);
    if (!processor || !IsValidModelId(SourceId(slot, 0)))
        return true;
    if (const auto source = processor->GetSigSrc(static_cast<uint32_t>(SourceId(slot, 0))))
        source->SelectChild(static_cast<uint32_t>(childId));
    return true;
}
