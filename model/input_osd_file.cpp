#include "model/input_osd_file.h"

#include <algorithm>
#include <array>
#include <istream>

namespace {

// Words of one record in each version, bitmap excluded.
constexpr size_t kRecordWordsV1 = 10;
constexpr size_t kRecordWordsV2 = 15;
constexpr size_t kRecordWordsV3 = 16;

// Bounded reader over a seekable stream: nothing is read or skipped past
// the end that was measured at the start.
class WordReader {
public:
    explicit WordReader(std::istream& in) : in_(in)
    {
        in_.seekg(0, std::ios::end);
        const std::streamoff end = in_.tellg();
        size_ = end > 0 ? static_cast<uint64_t>(end) : 0;
        in_.seekg(0, std::ios::beg);
    }

    uint64_t Remaining() const { return size_ - pos_; }

    bool Read(void* out, uint64_t n)
    {
        if (n > Remaining())
            return false;
        in_.read(static_cast<char*>(out), static_cast<std::streamsize>(n));
        if (!in_)
            return false;
        pos_ += n;
        return true;
    }

    bool Word(uint32_t& out)
    {
        uint8_t b[4];
        if (!Read(b, 4))
            return false;
        out = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
        return true;
    }

    bool Skip(uint64_t n)
    {
        if (n > Remaining())
            return false;
        in_.seekg(static_cast<std::streamoff>(n), std::ios::cur);
        if (!in_)
            return false;
        pos_ += n;
        return true;
    }

private:
    std::istream& in_;
    uint64_t size_ = 0;
    uint64_t pos_ = 0;
};

void PutWord(std::vector<uint8_t>& out, uint32_t w)
{
    out.push_back(static_cast<uint8_t>(w));
    out.push_back(static_cast<uint8_t>(w >> 8));
    out.push_back(static_cast<uint8_t>(w >> 16));
    out.push_back(static_cast<uint8_t>(w >> 24));
}

void PutInt(std::vector<uint8_t>& out, int32_t v)
{
    PutWord(out, static_cast<uint32_t>(v));
}

} // namespace

std::vector<tagOSD_DATA_EX2_S> ParseInputOsdFile(std::istream& in, std::string* damage)
{
    std::vector<tagOSD_DATA_EX2_S> records;
    WordReader reader(in);
    auto stop = [&](const std::string& why) {
        if (damage)
            *damage = why + " (record " + std::to_string(records.size()) + ")";
        return records;
    };

    uint32_t first = 0;
    if (!reader.Word(first))
        return stop("no header");
    uint32_t version = 1;
    uint32_t count = first;
    if (first == kInputOsdFileMark) {
        if (!reader.Word(version))
            return stop("no version");
        if (version != 2 && version != 3)
            return stop("unknown version " + std::to_string(version));
        if (!reader.Word(count))
            return stop("no record count");
    }
    const size_t words = version == 1 ? kRecordWordsV1 : version == 2 ? kRecordWordsV2 : kRecordWordsV3;

    for (uint32_t index = 0; index < count && index < kInputOsdMaxRecords; ++index) {
        std::array<int32_t, kRecordWordsV3> w{};
        bool complete = true;
        for (size_t i = 0; i < words && complete; ++i) {
            uint32_t word = 0;
            complete = reader.Word(word);
            w[i] = static_cast<int32_t>(word);
        }
        if (!complete)
            return stop("cut short");

        int32_t bitmapWidth = w[4];
        int32_t bitmapHeight = w[5];
        if (bitmapWidth < 0 || bitmapHeight < 0)
            return stop("negative bitmap size");
        const uint64_t stored = OsdBitmapBytes(bitmapWidth, bitmapHeight);
        std::vector<uint8_t> bits;
        if (bitmapWidth > kOsdMaxWidth || bitmapHeight > kOsdMaxHeight) {
            // Too large to hold: its bytes are passed over and the item gets
            // a blank bitmap of the largest size.
            if (!reader.Skip(stored))
                return stop("bitmap runs past the end");
            bitmapWidth = kOsdMaxWidth;
            bitmapHeight = kOsdMaxHeight;
            bits.assign(OsdBitmapBytes(bitmapWidth, bitmapHeight), 0);
        } else {
            bits.resize(stored);
            if (!reader.Read(bits.data(), stored))
                return stop("bitmap runs past the end");
        }

        const bool hasTime = version >= 2;
        const int32_t timeShown = hasTime ? w[10] : 0;
        const int32_t timeLeft = hasTime ? w[11] : 0;
        const int32_t timeTop = hasTime ? w[12] : 0;
        const int32_t timeWidth = hasTime ? w[13] : 255;
        const int32_t timeHeight = hasTime ? w[14] : 127;
        const int32_t fontSize = version >= 3 ? w[15] : 1;

        tagOSD_DATA_EX2_S record;
        InitOsdData(record, w[0], w[1], w[2], w[3], 0, 0, bitmapWidth, bitmapHeight, w[6], w[7], w[8], w[9], bits, 0, 0,
                    60, timeShown, timeLeft, timeTop, timeWidth, timeHeight, fontSize, 0);
        records.push_back(std::move(record));
    }
    return records;
}

std::vector<uint8_t> BuildInputOsdFile(const std::vector<std::shared_ptr<tagOSDBoard>>& boards)
{
    std::vector<uint8_t> out;
    PutWord(out, kInputOsdFileMark);
    PutWord(out, kInputOsdFileVersion);
    PutWord(out, 0); // count, patched below

    uint32_t count = 0;
    for (const auto& board : boards) {
        for (const auto& item : board->items) {
            if (count >= kInputOsdMaxRecords)
                break;
            const tagOSD_DATA_EX2& osd = item->osd;
            PutInt(out, board->id);
            PutInt(out, item->item);
            PutInt(out, item->left);
            PutInt(out, item->top);
            PutInt(out, osd.Width());
            PutInt(out, osd.Height());
            PutInt(out, osd.background);
            PutInt(out, osd.captionColor);
            PutInt(out, osd.transparent);
            PutInt(out, osd.shown);
            PutInt(out, item->timeShown);
            PutInt(out, item->timeLeft);
            PutInt(out, item->timeTop);
            PutInt(out, item->timeWidth);
            PutInt(out, item->timeHeight);
            PutInt(out, item->fontSize);
            // The stored size follows the rectangle; a released bitmap
            // writes zero bytes in its place.
            const size_t bytes = OsdBitmapBytes(osd.Width(), osd.Height());
            const size_t have = std::min(bytes, osd.bitmap.size());
            out.insert(out.end(), osd.bitmap.begin(), osd.bitmap.begin() + static_cast<std::ptrdiff_t>(have));
            out.insert(out.end(), bytes - have, 0);
            ++count;
        }
    }
    out[8] = static_cast<uint8_t>(count);
    out[9] = static_cast<uint8_t>(count >> 8);
    out[10] = static_cast<uint8_t>(count >> 16);
    out[11] = static_cast<uint8_t>(count >> 24);
    return out;
}
