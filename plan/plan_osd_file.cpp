#include "plan/plan_osd_file.h"

#include <algorithm>

#include "model/osd_record.h"
#include "corlane/file_store.h"

namespace {

constexpr size_t kHeaderBytes = 4;
constexpr size_t kRecordHeadBytes = 28;

void PutInt(std::string& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(char((value >> (8 * i)) & 0xFF));
}

void SetInt(std::string& out, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[at + size_t(i)] = char((value >> (8 * i)) & 0xFF);
}

uint32_t GetInt(const char* p)
{
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= uint32_t(uint8_t(p[i])) << (8 * i);
    return value;
}

} // namespace

int PlanOsdFile::Create(const std::string& path)
{
    path_ = path;
    image_.clear();
    PutInt(image_, 0);
    count_ = 0;
    open_ = true;
    return 0;
}

void PlanOsdFile::AppendRecord(int32_t index, const Rect& rect, const Words& words, const std::vector<uint8_t>& bitmap)
{
    if (!open_)
        return;
    const auto width = int32_t(std::clamp<int64_t>(int64_t(rect.right) - rect.left, 0, kOsdMaxWidth));
    const auto height = int32_t(std::clamp<int64_t>(int64_t(rect.bottom) - rect.top, 0, kOsdMaxHeight));
    SetInt(image_, 0, ++count_);
    PutInt(image_, uint32_t(index));
    PutInt(image_, uint32_t(width));
    PutInt(image_, uint32_t(height));
    PutInt(image_, uint32_t(words.a));
    PutInt(image_, uint32_t(words.b));
    PutInt(image_, uint32_t(words.c));
    PutInt(image_, uint32_t(words.d));
    const size_t bytes = OsdBitmapBytes(width, height);
    const size_t have = std::min(bytes, bitmap.size());
    image_.append(reinterpret_cast<const char*>(bitmap.data()), have);
    image_.append(bytes - have, '\0');
}

int PlanOsdFile::OpenForRead(const std::string& path)
{
    Close();
    path_ = path;
    qz::vok::file_store::read_result file = qz::vok::file_store::read_file(path);
    readError_ = file.error;
    if (file.status != qz::vok::file_store::read_status::ok)
        return 1;
    image_ = std::move(file.bytes);
    open_ = true;
    return 0;
}

uint32_t PlanOsdFile::ReadCount()
{
    if (!open_)
        return 0;
    pos_ = 0;
    const char* p = nullptr;
    if (!Take(kHeaderBytes, p)) {
        damaged_ = true;
        return 0;
    }
    count_ = GetInt(p);
    return count_;
}

bool PlanOsdFile::Take(size_t n, const char*& out)
{
    if (image_.size() - pos_ < n)
        return false;
    out = image_.data() + pos_;
    pos_ += n;
    return true;
}

int32_t PlanOsdFile::TakeInt()
{
    const char* p = image_.data() + pos_;
    pos_ += 4;
    return int32_t(GetInt(p));
}

int PlanOsdFile::ReadRecord(int32_t& index, Rect& rect, Words& words, std::vector<uint8_t>& bitmap)
{
    if (!open_)
        return 1;
    const size_t start = pos_;
    const char* p = nullptr;
    if (!Take(kRecordHeadBytes, p)) {
        damaged_ = true;
        return 1;
    }
    pos_ = start;
    index = TakeInt();
    int32_t width = TakeInt();
    int32_t height = TakeInt();
    words.a = TakeInt();
    words.b = TakeInt();
    words.c = TakeInt();
    words.d = TakeInt();
    if (width < 0 || height < 0) {
        damaged_ = true;
        pos_ = start;
        return 1;
    }
    const size_t stored = OsdBitmapBytes(width, height);
    if (image_.size() - pos_ < stored) {
        damaged_ = true;
        pos_ = start;
        return 1;
    }
    const bool oversize = width > kOsdMaxWidth || height > kOsdMaxHeight;
    if (oversize) {
        // Not a record this program writes: its picture is dropped, but its
        // bytes are stepped over so the records after it still read.
        damaged_ = true;
        width = kOsdMaxWidth;
        height = kOsdMaxHeight;
        bitmap.assign(OsdBitmapBytes(width, height), 0);
    } else {
        const auto* bits = reinterpret_cast<const uint8_t*>(image_.data() + pos_);
        bitmap.assign(bits, bits + stored);
    }
    pos_ += stored;
    rect = Rect{0, 0, width, height};
    return 0;
}

void PlanOsdFile::Close()
{
    image_.clear();
    pos_ = 0;
    open_ = false;
    count_ = 0;
}
