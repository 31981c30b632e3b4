// Replies that report resolutions, timings and picture-adjust values.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "corlane/fstr.h"
#include "model/kinds.h"
#include "model/processor.h"
#include "model/processor_records.h"
#include "model/sig_src.h"
#include "replies/port_names.h"
#include "replies/reply_numbers.h"
#include "replies/reply_parsers.h"
#include "replies/reply_support.h"

using qz::vok::fstr_format;

namespace {

// A multi-view board's composites follow its 24 tiles, one per six.
constexpr int64_t kFirstComposite = 24;

const Resolution kFullHd{1920, 1080, 60};

bool FitsInt32(int64_t value)
{
    return value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
}

std::shared_ptr<CQelSigSrc> SourceById(const CQelProcessor& processor, int64_t id)
{
    return IsValidModelId(id) ? processor.GetSigSrc(static_cast<uint32_t>(id)) : nullptr;
}

const char* FirstPrefix(const std::string& line, std::initializer_list<const char*> prefixes)
{
    for (const char* prefix : prefixes)
        if (line.starts_with(prefix))
            return prefix;
    return *(prefixes.end() - 1);
}

} // namespace

bool ParseOutputTimingReply(uint32_t channelId, const std::string& line)
{
    const auto [id] = ReadReplyNumbers<1>(line, "SW GET_OUTPUT_TIMING");
    if (const auto processor = FindReplyProcessor(channelId)) {
        const Resolution r = processor->records().GetResolutionByIdOrZero(static_cast<uint32_t>(id));
        processor->SetOutputResolution(r.width, r.height, r.rate);
    }
    return true;
}

bool ParseSwInputResolutionReply(uint32_t channelId, const std::string& line)
{
    const auto [id, unused1, unused2, width, height] = ReadReplyNumbers<5>(line, "SW READ_INPUT_SOURCE_RESOLUTION");
    (void)unused1;
    (void)unused2;
    if (const auto processor = FindReplyProcessor(channelId))
        if (const auto source = processor->GetSigSrc(static_cast<uint32_t>(id)))
            source->SetResolution(width, height, 60);
    return true;
}

bool ParseBoardInputResolutionReply(uint32_t channelId, const std::string& line)
{
    const auto [slot, childId, x, y, width, height] = ReadReplyNumbers<6>(line, "BOARD READ_INPUT_SOURCE_RESOLUTION");
    const auto processor = FindReplyProcessor(channelId);
    if (!processor)
        return true;
    const auto source = SourceById(*processor, int64_t{slot} * 100);
    if (!source)
        return true;
    if (source->GetType() == kSrcVideo4) {
        // A four-way input reports each picture; the source shows only the
        // one selected.
        if (const auto child = source->GetChild(static_cast<uint32_t>(childId)))
            child->SetResolution(Resolution{width, height, 60});
        if (static_cast<uint32_t>(childId) != source->GetCurChildId())
            return true;
    }
    source->SetStartPoint(Point{x, y});
    source->SetResolution(width, height, 60);
    return true;
}

bool ParseAdv7604CtrlReply(uint32_t channelId, const std::string& line)
{
    const auto [slot, index, value, unused] = ReadReplyNumbers<4>(line, "BOARD ADV7604_GET_CTRL");
    (void)unused;
    if (const auto processor = FindReplyProcessor(channelId))
        if (const auto source = SourceById(*processor, int64_t{slot} * 100); source && index >= 0)
            source->SetAdjust(static_cast<size_t>(index), value);
    return true;
}

bool ParseTvp5158CtrlReply(uint32_t channelId, const std::string& line)
{
    const auto [slot, channel, index, value] = ReadReplyNumbers<4>(line, "BOARD TVP5158_GET_CTRL");
    (void)channel;
    if (const auto processor = FindReplyProcessor(channelId))
        if (const auto source = SourceById(*processor, int64_t{slot} * 100); source && index >= 0)
            source->SetAdjust(static_cast<size_t>(index), value);
    return true;
}

bool ParseBoardOutputResolutionReply(uint32_t channelId, const std::string& line)
{
    const auto [width, height, rate100] = ReadReplyNumbers<3>(line, "BOARD GET_OUTPUT_RESOLUTION");
    // Hundredths of a hertz, rounded half up: 5994 is 60 Hz, 2949 is 29.
    const auto hundredths = static_cast<uint32_t>(rate100);
    const uint32_t rate = hundredths / 100 + (hundredths % 100 >= 50 ? 1 : 0);
    if (const auto processor = FindReplyProcessor(channelId))
        processor->SetOutputResolution(width, height, static_cast<int32_t>(rate));
    return true;
}

bool ParseGpInputResolutionReply(uint32_t channelId, const std::string& line)
{
    const char* prefix = FirstPrefix(
        line, {"GRAPHIC_PROCESSOR READ_INPUT_SOURCE_RESOLUTION", "GP READ_INPUT_SOURCE_RESOLUTION", "GP RISR"});
    const auto [slot, port, x, y, width, height] = ReadReplyNumbers<6>(line, prefix);
    const auto processor = FindReplyProcessor(channelId);
    if (!processor)
        return true;
    const int64_t base = int64_t{slot} * 100;
    const auto source = SourceById(*processor, base + port);
    if (!source)
        return true;
    source->SetStartPoint(Point{x, y});
    source->SetResolution(width, height, 60);
    if (source->GetType() != kSrcMultiView || width <= 0 || height <= 0)
        return true;

    // The composite of a group of six tiles spans its top row and its left
    // column.
    const int64_t first = base + port / 6 * 6;
    const auto size = [&](int64_t id) {
        const auto tile = SourceById(*processor, id);
        return tile ? tile->GetResolution() : Resolution{0, 0, 60};
    };
    const int64_t sumWidth = int64_t{size(first).width} + size(first + 1).width + size(first + 2).width;
    const int64_t sumHeight = int64_t{size(first).height} + size(first + 3).height;
    const auto composite = SourceById(*processor, base + kFirstComposite + port / 6);
    if (!composite || !FitsInt32(sumWidth) || !FitsInt32(sumHeight))
        return true;
    composite->SetStartPoint(Point{0, 0});
    composite->SetResolution(static_cast<int32_t>(sumWidth), static_cast<int32_t>(sumHeight), 60);
    return true;
}

bool ParseFpgaInputResolutionReply(uint32_t channelId, const std::string& line)
{
    const char* prefix = FirstPrefix(line, {"INPUT_FPGA READ_INPUT_SOURCE_RESOLUTION", "I_F RISR"});
    std::array<int32_t, 8> numbers{};
    if (ReadReplyNumbers(line, prefix, numbers) < numbers.size()) {
        // A cut reply, or the poll's own echo: read as zeros it would turn
        // the source into a 0 x 0 VGA one.
        LogReplyError(fstr_format("input resolution: reply too short: %s", WithoutLineEnd(line).c_str()));
        return false;
    }
    const auto [slot, port, a, b, c, d, portType, rateValue] = numbers;
    const auto processor = FindReplyProcessor(channelId);
    if (!processor || !IsValidModelId(slot))
        return true;
    const auto board = processor->GetBoard(static_cast<uint32_t>(slot));
    if (!board)
        return true;

    int32_t kind = 0;
    int32_t rate = 0;
    switch (portType) {
    case 0:
        kind = kSrcVgaDvi;
        rate = rateValue / 100;
        break;
    case 1:
    case 5:
        kind = 6;
        rate = rateValue / 10000;
        break;
    case 2:
    case 6:
        kind = 6;
        rate = rateValue / 100;
        break;
    case 3:
        kind = 2;
        rate = rateValue / 100;
        break;
    case 4:
        kind = 11;
        rate = rateValue / 100;
        break;
    case 7:
        kind = kSrc4K;
        rate = rateValue / 100;
        break;
    case 15:
        kind = 100;
        rate = rateValue;
        break;
    default: return true;
    }

    // (a, b) is where the picture starts and (c, d) where it ends.
    const int64_t width = int64_t{c} - a;
    const int64_t height = int64_t{d} - b;
    const int64_t wideId = int64_t{slot} * 100 + port;
    const int64_t lastId = kind == kSrc4K ? wideId + 3 : wideId;
    if (!FitsInt32(width) || !FitsInt32(height) || !IsValidModelId(wideId) || !IsValidModelId(lastId)) {
        LogReplyError(fstr_format("input resolution: reply out of range: %s", WithoutLineEnd(line).c_str()));
        return false;
    }
    const auto id = static_cast<uint32_t>(wideId);
    const Resolution size{static_cast<int32_t>(width), static_cast<int32_t>(height), rate};
    const std::string name = LoadProcessorPortNames(id, processor->GetKind(), kind);

    auto source = processor->GetSigSrc(id);
    if (source && (source->GetType() != kind || source->GetName() != name || source->GetResolution() != size)) {
        processor->RemoveSigSrc(id);
        source.reset();
    }
    if (!source) {
        CQelSigSrc::Values values;
        values.id = id;
        values.type = kind;
        values.name = name;
        values.resolution = size;
        values.edid = 0;
        values.adjust = CQelSigSrc::DefaultAdjust(kind);
        source = std::make_shared<CQelSigSrc>(values);
        source->SetBoard(board);
        if (kind == kSrcVgaDvi) {
            source->AddChild(1, 3, "DVI", kFullHd, 9);
            source->AddChild(2, 4, "VGA", kFullHd, 2);
            source->AddChild(3, 5, "YPbPr", kFullHd, 5);
        } else if (kind == 6) {
            source->AddChild(1, 3, "DVI", kFullHd, 9);
            source->AddChild(2, 4, "VGA", kFullHd, 2);
            source->AddChild(3, 4, "YPbPr", kFullHd, 5);
            source->AddChild(4, 4, "CVBS", kFullHd, 3);
        } else if (kind == kSrc4K) {
            // The quarters go in first: the main list refuses a second id.
            for (uint32_t q = 0; q < 4; ++q) {
                CQelSigSrc::Values quarter;
                quarter.id = id + q;
                quarter.type = kSrc4K;
                quarter.resolution = Resolution{size.width / 2, size.height / 2, rate};
                quarter.adjust = CQelSigSrc::DefaultAdjust(kSrc4K);
                auto part = std::make_shared<CQelSigSrc>(quarter);
                part->SetBoard(board);
                processor->AddSigSrc(part, false, true);
            }
        }
        processor->AddSigSrc(source, true, false);
    }
    source->SetStartPoint(Point{a, b});
    source->SetJoined(width > 0 && height > 0);
    return true;
}

bool ParseFpgaInputResolutionReply6(uint32_t channelId, const std::string& line)
{
    LogReplyEvent("read_input_source_resolution : " + WithoutLineEnd(line));
    const auto [slot, port, unused1, unused2, width, height, portType, unused3] =
        ReadReplyNumbers<8>(line, "INPUT_FPGA READ_INPUT_SOURCE_RESOLUTION");
    (void)unused1;
    (void)unused2;
    (void)unused3;
    const auto processor = FindReplyProcessor(channelId);
    if (!processor)
        return false;

    const std::string word = TranslatedWord("输入板");
    int32_t kind = 0;
    const char* format = nullptr;
    switch (portType) {
    case 0:
        kind = 3;
        format = "%s%d_HDMI%d";
        break;
    case 3:
        kind = 2;
        format = "%s%d_SDI%d";
        break;
    case 4:
        kind = 11;
        format = "%s%d_CVBS%d";
        break;
    case 5:
        kind = 7;
        format = "%s%d_IP%d";
        break;
    default:
        if (portType >= 1) {
            kind = 6;
            format = "%s%d_DVI%d";
        }
        break;
    }
    const int64_t portNumber = portType == 0 ? port : int64_t{port} + 1;

    const auto board = IsValidModelId(slot) ? processor->GetBoard(static_cast<uint32_t>(slot)) : nullptr;
    if (!board) {
        LogReplyError(fstr_format("read_input_source_resolution : board %d not found", slot));
        return false;
    }
    const int64_t wideId = int64_t{slot} * 100 + port;
    if (!IsValidModelId(wideId) || !FitsInt32(portNumber))
        return false;
    const auto id = static_cast<uint32_t>(wideId);
    const bool joined = width > 0 && height > 0;
    const Resolution size = joined ? Resolution{width, height, 60} : Resolution{0, 0, 60};

    if (const auto existing = processor->GetSigSrc(id); existing && existing->GetType() == kind) {
        existing->SetBoard(board);
        existing->SetJoined(joined);
        if (joined)
            existing->SetResolution(size.width, size.height, existing->GetResolution().rate);
        processor->records().NotifySigSrcUpdate(id);
        LogReplyError(fstr_format("read_input_source_resolution : sigsrc %u existed", id));
        return true;
    }
    if (kind != 0) {
        CQelSigSrc::Values values;
        values.id = id;
        values.type = kind;
        values.name = fstr_format(format, word.c_str(), slot, static_cast<int32_t>(portNumber));
        values.joined = joined;
        values.resolution = size;
        values.edid = 0;
        values.adjust = CQelSigSrc::DefaultAdjust(kind);
        auto source = std::make_shared<CQelSigSrc>(values);
        source->SetBoard(board);
        if (processor->AddSigSrc(source, true, false)) {
            processor->records().NotifySigSrcUpdate(id);
            LogReplyError(fstr_format("read_input_source_resolution : sigsrc %u created", id));
        }
    }
    LogReplyEvent("read_input_source_resolution ok");
    return true;
}

bool ParseGotReply(uint32_t channelId, const std::string& line)
{
    const auto processor = FindReplyProcessor(channelId);
    if (!processor)
        return false;
    const auto [boardNumber, port, timing, unused1, unused2, width, height] = ReadReplyNumbers<7>(line, "GP GOT");
    (void)unused1;
    (void)unused2;
    int32_t rate = 60;
    switch (timing) {
    case 8: rate = 30; break;
    case 14:
    case 16: rate = 50000; break; // interlaced timings
    case 15: rate = 60000; break;
    default: break;
    }
    const int64_t base = (int64_t{boardNumber} + 10) * 100;
    const auto output = [&](int64_t id) {
        return IsValidModelId(id) ? processor->GetSigOut(static_cast<uint32_t>(id)) : nullptr;
    };
    if (const auto out = output(base + port))
        out->SetResolution(Resolution{width, height, rate});

    std::optional<Resolution> largest;
    for (int64_t k = 0; k < 2; ++k) {
        if (const auto out = output(base + k)) {
            const Resolution r = out->GetResolution();
            if (!largest)
                largest = r;
            largest->width = std::max(largest->width, r.width);
            largest->height = std::max(largest->height, r.height);
        }
    }
    const Resolution whole = largest.value_or(Resolution{0, 0, 0});
    processor->records().SetOutputResolutionQuietly(Resolution{whole.width, whole.height, rate});
    return true;
}
