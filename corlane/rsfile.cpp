#include "corlane/rsfile.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "corlane/le_bytes.h"

namespace qz::vok::rs {

namespace {

// Header layout.
constexpr uint32_t kHeadLengthAt = 0;
constexpr uint32_t kFlagAt = 2;
constexpr uint32_t kVersionAt = 4;
constexpr uint32_t kCountAt = 6;
constexpr uint32_t kRecSizeAt = 10;
constexpr uint32_t kFieldCountAt = 12;
constexpr uint32_t kFixedHeader = 14;
constexpr uint32_t kEntrySize = 6;
constexpr uint32_t kEntryOffsetAt = 2;
constexpr uint32_t kEntryWidthAt = 4;
constexpr uint32_t kEntryTypeAt = 5;
constexpr uint32_t kMax16 = std::numeric_limits<uint16_t>::max();
constexpr uint16_t kFieldsGrowth = 10;

int64_t file_length(std::FILE* stream)
{
    struct stat st;
    if (std::fflush(stream) != 0 || fstat(fileno(stream), &st) != 0)
        return -1;
    return st.st_size;
}

} // namespace

const fieldinfo_t* fields::get_fieldinfo(uint16_t index) const
{
    return index < count_ ? &entries_[index] : nullptr;
}

bool fields::append(const fieldinfo_t& info)
{
    if (count_ == kMax16)
        return false;
    const bool full = count_ == capacity_;
    if (full || entries_.use_count() > 1) {
        // Grow, or stop sharing before the first change.
        const uint16_t capacity =
            full ? static_cast<uint16_t>(std::min<uint32_t>(capacity_ + kFieldsGrowth, kMax16)) : capacity_;
        auto entries = std::make_shared<fieldinfo_t[]>(capacity);
        std::copy(entries_.get(), entries_.get() + count_, entries.get());
        entries_ = entries;
        capacity_ = capacity;
    }
    entries_[count_++] = info;
    return true;
}

rsfile::rsfile(bool readonly, bool deny_write, bool deny_read)
    : readonly_(readonly), deny_write_(deny_write), deny_read_(deny_read)
{
}

rsfile::rsfile(rsfile&& other) noexcept
    : readonly_(other.readonly_), deny_write_(other.deny_write_), deny_read_(other.deny_read_),
      path_(std::move(other.path_)), stream_(other.stream_), header_(std::move(other.header_)),
      table_(std::move(other.table_)), record_(std::move(other.record_)), header_changed_(other.header_changed_),
      editing_(other.editing_), appending_(other.appending_), cursor_(other.cursor_)
{
    other.stream_ = nullptr;
    other.clear_state();
}

rsfile& rsfile::operator=(rsfile&& other) noexcept
{
    if (this != &other) {
        close();
        readonly_ = other.readonly_;
        deny_write_ = other.deny_write_;
        deny_read_ = other.deny_read_;
        path_ = std::move(other.path_);
        stream_ = other.stream_;
        header_ = std::move(other.header_);
        table_ = std::move(other.table_);
        record_ = std::move(other.record_);
        header_changed_ = other.header_changed_;
        editing_ = other.editing_;
        appending_ = other.appending_;
        cursor_ = other.cursor_;
        other.stream_ = nullptr;
        other.clear_state();
    }
    return *this;
}

rsfile::~rsfile()
{
    close();
}

void rsfile::clear_state()
{
    path_.clear();
    header_.clear();
    table_.clear();
    record_.clear();
    header_changed_ = editing_ = appending_ = false;
    cursor_ = npos;
}

void rsfile::close()
{
    if (stream_)
        std::fclose(stream_); // also drops the lock
    stream_ = nullptr;
    clear_state();
}

bool rsfile::lock_stream()
{
    // The share modes bind only programs that ask: denying others anything
    // takes the lock exclusively, denying nothing shares it.
    const int mode = deny_read_ || deny_write_ ? LOCK_EX : LOCK_SH;
    return flock(fileno(stream_), mode | LOCK_NB) == 0;
}

bool rsfile::open(const std::string& path)
{
    if (stream_)
        return false;
    stream_ = std::fopen(path.c_str(), readonly_ ? "rb" : "r+b");
    if (!stream_)
        return false;
    path_ = path;

    auto fail = [this] {
        close();
        return false;
    };
    if (!lock_stream())
        return fail();

    header_.resize(kFixedHeader);
    if (std::fread(header_.data(), 1, kFixedHeader, stream_) != kFixedHeader)
        return fail();
    const uint32_t head = le::load_u16(header_.data() + kHeadLengthAt);
    const uint32_t count = le::load_u16(header_.data() + kFieldCountAt);
    if (head < kFixedHeader || kFixedHeader + kEntrySize * count > head)
        return fail();
    header_.resize(head);
    const size_t rest = head - kFixedHeader;
    if (std::fread(header_.data() + kFixedHeader, 1, rest, stream_) != rest)
        return fail();

    const uint32_t recsize = get_recsize();
    uint32_t widths = 0;
    table_.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = header_.data() + kFixedHeader + i * kEntrySize;
        fieldinfo_t& f = table_[i];
        f.itemid = le::load_u16(e);
        f.offset = le::load_u16(e + kEntryOffsetAt);
        f.width = e[kEntryWidthAt];
        f.type = e[kEntryTypeAt];
        if (uint32_t(f.offset) + f.width > recsize)
            return fail();
        widths += f.width;
    }
    if (recsize == 0 || recsize != widths)
        return fail();
    const int64_t length = file_length(stream_);
    if (length < 0 || uint64_t(length) < head + uint64_t(recsize) * get_reccount())
        return fail();

    record_.assign(recsize, 0);
    header_changed_ = editing_ = appending_ = false;
    cursor_ = npos;
    return true;
}

bool rsfile::create(const std::string& path, uint16_t field_count, const fieldinfo_t* table,
                    uint16_t extra_header_length)
{
    if (stream_ || readonly_ || field_count == 0 || !table)
        return false;
    uint32_t recsize = 0;
    for (uint16_t i = 0; i < field_count; ++i)
        recsize += table[i].width;
    const uint32_t head = kFixedHeader + kEntrySize * field_count + extra_header_length;
    if (recsize == 0 || recsize > kMax16 || head > kMax16)
        return false;

    // Truncate only once the lock is ours, not before as "w+b" would.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    stream_ = fdopen(fd, "w+b");
    if (!stream_) {
        ::close(fd);
        return false;
    }
    path_ = path;
    if (!lock_stream() || ftruncate(fd, 0) != 0) {
        close();
        return false;
    }

    header_.assign(head, 0);
    uint8_t* h = header_.data();
    le::store_u16(h + kHeadLengthAt, static_cast<uint16_t>(head));
    le::store_u16(h + kRecSizeAt, static_cast<uint16_t>(recsize));
    le::store_u16(h + kFieldCountAt, field_count);
    table_.resize(field_count);
    uint16_t offset = 0;
    for (uint16_t i = 0; i < field_count; ++i) {
        fieldinfo_t& f = table_[i];
        f.itemid = table[i].itemid;
        f.offset = offset;
        f.width = table[i].width;
        f.type = table[i].type;
        offset = static_cast<uint16_t>(offset + f.width);
        uint8_t* e = h + kFixedHeader + uint32_t(i) * kEntrySize;
        le::store_u16(e, f.itemid);
        le::store_u16(e + kEntryOffsetAt, f.offset);
        e[kEntryWidthAt] = f.width;
        e[kEntryTypeAt] = f.type;
    }
    if (!write_header() || std::fflush(stream_) != 0) {
        close();
        return false;
    }
    record_.assign(recsize, 0);
    header_changed_ = editing_ = appending_ = false;
    cursor_ = npos;
    return true;
}

void rsfile::require_header() const
{
    if (header_.empty())
        throw sx_except(kSxNotOpen);
}

void rsfile::require_open() const
{
    if (!stream_)
        throw sx_except(kSxNotOpen);
}

uint16_t rsfile::head_length() const
{
    return le::load_u16(header_.data() + kHeadLengthAt);
}

uint16_t rsfile::get_flag() const
{
    require_header();
    return le::load_u16(header_.data() + kFlagAt);
}

void rsfile::set_flag(uint16_t flag)
{
    require_header();
    le::store_u16(header_.data() + kFlagAt, flag);
    header_changed_ = true;
}

uint16_t rsfile::get_version() const
{
    require_header();
    return le::load_u16(header_.data() + kVersionAt);
}

void rsfile::set_version(uint16_t version)
{
    require_header();
    le::store_u16(header_.data() + kVersionAt, version);
    header_changed_ = true;
}

uint16_t rsfile::get_recsize() const
{
    require_header();
    return le::load_u16(header_.data() + kRecSizeAt);
}

uint32_t rsfile::get_reccount() const
{
    require_header();
    return le::load_u32(header_.data() + kCountAt);
}

void rsfile::set_reccount(uint32_t count)
{
    le::store_u32(header_.data() + kCountAt, count);
}

uint32_t rsfile::get_reccount_byfilelen() const
{
    require_header();
    const int64_t length = stream_ ? file_length(stream_) : -1;
    if (length < head_length())
        return 0;
    const uint64_t records = uint64_t(length - head_length()) / get_recsize();
    return static_cast<uint32_t>(std::min<uint64_t>(records, npos));
}

uint16_t rsfile::get_fieldcount() const
{
    require_header();
    return le::load_u16(header_.data() + kFieldCountAt);
}

int rsfile::get_fieldindex(uint16_t itemid) const
{
    require_header();
    for (size_t i = 0; i < table_.size(); ++i)
        if (table_[i].itemid == itemid)
            return static_cast<int>(i);
    return -1;
}

const fieldinfo_t* rsfile::get_fieldinfo(uint16_t index) const
{
    require_header();
    return index < table_.size() ? &table_[index] : nullptr;
}

const fieldinfo_t* rsfile::get_fieldinfobyitem(uint16_t itemid) const
{
    const int index = get_fieldindex(itemid);
    return index < 0 ? nullptr : &table_[index];
}

fields rsfile::get_fields() const
{
    require_header();
    fields out;
    uint16_t offset = 0;
    for (fieldinfo_t f : table_) {
        f.offset = offset;
        offset = static_cast<uint16_t>(offset + f.width);
        out.append(f);
    }
    return out;
}

uint16_t rsfile::get_exheadlen() const
{
    require_header();
    return static_cast<uint16_t>(head_length() - kFixedHeader - kEntrySize * get_fieldcount());
}

uint8_t* rsfile::get_exheadptr()
{
    require_header();
    return header_.data() + kFixedHeader + kEntrySize * get_fieldcount();
}

bool rsfile::on_record() const
{
    return cursor_ != npos && cursor_ < get_reccount();
}

int64_t rsfile::record_offset(uint32_t record) const
{
    return head_length() + int64_t(record) * get_recsize();
}

bool rsfile::write_at(int64_t offset, const void* data, size_t length)
{
    return fseeko(stream_, static_cast<off_t>(offset), SEEK_SET) == 0 &&
           std::fwrite(data, 1, length, stream_) == length;
}

bool rsfile::write_header()
{
    return write_at(0, header_.data(), header_.size());
}

bool rsfile::loadrecord()
{
    if (!on_record()) {
        std::fill(record_.begin(), record_.end(), 0);
        return true;
    }
    return fseeko(stream_, static_cast<off_t>(record_offset(cursor_)), SEEK_SET) == 0 &&
           std::fread(record_.data(), 1, record_.size(), stream_) == record_.size();
}

bool rsfile::first()
{
    if (!stream_)
        return false;
    editing_ = appending_ = false;
    cursor_ = 0;
    return loadrecord();
}

bool rsfile::last()
{
    if (!stream_)
        return false;
    editing_ = appending_ = false;
    cursor_ = get_reccount() - 1; // an empty file stays before the first record
    return loadrecord();
}

bool rsfile::next()
{
    if (!stream_)
        return false;
    editing_ = appending_ = false;
    if (cursor_ == npos)
        cursor_ = 0;
    else if (cursor_ >= get_reccount())
        return false;
    else
        ++cursor_;
    return loadrecord();
}

bool rsfile::prev()
{
    if (!stream_)
        return false;
    editing_ = appending_ = false;
    if (cursor_ == npos)
        return false;
    const uint32_t count = get_reccount();
    cursor_ = cursor_ < count ? cursor_ - 1 : count - 1;
    return loadrecord();
}

bool rsfile::moveto(uint32_t record)
{
    if (!stream_)
        return false;
    editing_ = appending_ = false;
    cursor_ = record == npos ? npos : std::min(record, get_reccount());
    return loadrecord();
}

bool rsfile::bof() const
{
    require_header();
    return cursor_ == npos;
}

bool rsfile::eof() const
{
    require_header();
    return cursor_ != npos && cursor_ >= get_reccount();
}

uint8_t* rsfile::get_record()
{
    require_header();
    return appending_ || on_record() ? record_.data() : nullptr;
}

void rsfile::make_blank()
{
    require_open();
    if (appending_) {
        std::fill(record_.begin(), record_.end(), 0);
    } else if (on_record()) {
        std::fill(record_.begin(), record_.end(), 0);
        editing_ = true;
    }
}

void rsfile::begin_edit()
{
    require_open();
    if (!appending_ && on_record())
        editing_ = true;
}

void rsfile::begin_append()
{
    require_open();
    if (appending_)
        return;
    std::fill(record_.begin(), record_.end(), 0);
    editing_ = false;
    appending_ = true;
}

bool rsfile::flush()
{
    if (!stream_)
        return false;
    if (appending_) {
        const uint32_t count = get_reccount();
        if (count == npos || !write_at(record_offset(count), record_.data(), record_.size()))
            return false;
        cursor_ = count;
        editing_ = appending_ = false;
        set_reccount(count + 1);
        header_changed_ = true;
    }
    if (header_changed_) {
        if (!write_header())
            return false;
        header_changed_ = false;
    }
    if (editing_) {
        if (on_record() && !write_at(record_offset(cursor_), record_.data(), record_.size()))
            return false;
        editing_ = false;
    }
    return std::fflush(stream_) == 0;
}

bool rsfile::truncate(uint32_t record_count)
{
    if (!stream_ || record_count == npos)
        return false;
    if (std::fflush(stream_) != 0 || ftruncate(fileno(stream_), static_cast<off_t>(record_offset(record_count))) != 0)
        return false;
    set_reccount(record_count);
    if (!write_header())
        return false;
    header_changed_ = editing_ = appending_ = false;
    std::fill(record_.begin(), record_.end(), 0);
    cursor_ = npos;
    return std::fflush(stream_) == 0;
}

} // namespace qz::vok::rs
