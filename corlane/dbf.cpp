#include "corlane/dbf.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale>
#include <memory>
#include <string_view>

#include "corlane/file_store.h"
#include "corlane/le_bytes.h"
#include "corlane/safe_file.h"

namespace qz::vok::dbf {

namespace {

// Image layout.
constexpr uint32_t kHeaderSize = 32;
constexpr uint32_t kCountAt = 4;
constexpr uint32_t kHeadLengthAt = 8;
constexpr uint32_t kRecordLengthAt = 10;
constexpr uint32_t kDescriptorSize = 32;
constexpr uint32_t kNameSize = 11;
constexpr uint32_t kTypeAt = 11;
constexpr uint32_t kOffsetAt = 12;
constexpr uint32_t kWidthAt = 16;
constexpr uint32_t kDecimalAt = 17;
constexpr uint32_t kReservedAt = 18;
constexpr uint8_t kHeaderEnd = 0x0D;
constexpr uint32_t kMinHeadLength = kHeaderSize + 1;
// 33 + 32 × 2046 is the last header length that fits its 16-bit field.
constexpr uint16_t kMaxFields = 2046;
constexpr uint32_t kMaxLength = std::numeric_limits<uint16_t>::max();
constexpr uint64_t kMaxImage = std::numeric_limits<uint32_t>::max();
constexpr uint32_t kGrowRecords = 20;

constexpr uint8_t kLive = ' ';
constexpr uint8_t kDeleted = '1';

std::string read_name(const uint8_t* p)
{
    const void* nul = std::memchr(p, 0, kNameSize);
    const size_t n = nul ? static_cast<const uint8_t*>(nul) - p : kNameSize;
    return std::string(reinterpret_cast<const char*>(p), n);
}

std::string trimmed(const std::string& s)
{
    const std::locale loc;
    auto is_blank = [&loc](char c) { return std::isspace(c, loc); };
    auto begin = std::find_if_not(s.begin(), s.end(), is_blank);
    auto end = std::find_if_not(s.rbegin(), std::string::const_reverse_iterator(begin), is_blank).base();
    return std::string(begin, end);
}

} // namespace

bool dbf::open(const std::string& path)
{
    image_ = binblock();
    names_.clear();
    uint8_t* data = nullptr;
    const uint32_t size = fs_safe_read_binary(data, path.c_str());
    const std::unique_ptr<uint8_t[]> owned(data);
    if (size == 0 || !is_valid(data, size))
        return false;
    image_ = binblock(data, size);
    make_name_index_map();
    return true;
}

bool dbf::save(const std::string& path) const
{
    if (!is_valid())
        return false;
    // Written in place, a shorter image would leave the old tail behind and a
    // failed write would damage the old file.
    std::string error;
    return file_store::replace_file(
        path, std::string_view(reinterpret_cast<const char*>(image_.data()), image_.length()), error);
}

bool dbf::is_valid(const uint8_t* image, uint32_t length)
{
    if (!image || length < kHeaderSize)
        return false;
    const uint32_t head = le::load_u16(image + kHeadLengthAt);
    const uint32_t record = le::load_u16(image + kRecordLengthAt);
    const uint64_t count = le::load_u32(image + kCountAt);
    if (head < kMinHeadLength || head > length || record < 1)
        return false;
    if (head + record * count > length)
        return false;
    const uint32_t fields = head / kDescriptorSize - 1;
    for (uint32_t i = 0; i < fields; ++i) {
        const uint8_t* d = image + kHeaderSize + i * kDescriptorSize;
        if (uint64_t(le::load_u32(d + kOffsetAt)) + d[kWidthAt] > record)
            return false;
    }
    return true;
}

bool dbf::is_valid() const
{
    // The descriptors are checked when an image comes in; each value access
    // checks its own field again.
    const uint8_t* image = image_.data();
    const uint32_t length = image_.length();
    if (!image || length < kHeaderSize)
        return false;
    const uint32_t head = le::load_u16(image + kHeadLengthAt);
    const uint32_t record = le::load_u16(image + kRecordLengthAt);
    const uint64_t count = le::load_u32(image + kCountAt);
    return head >= kMinHeadLength && record >= 1 && head + record * count <= length;
}

uint8_t dbf::get_signature() const
{
    return is_valid() ? image_.data()[0] : 0;
}
uint8_t dbf::get_year() const
{
    return is_valid() ? image_.data()[1] : 0;
}
uint8_t dbf::get_month() const
{
    return is_valid() ? image_.data()[2] : 0;
}
uint8_t dbf::get_day() const
{
    return is_valid() ? image_.data()[3] : 0;
}

uint32_t dbf::get_record_number() const
{
    return is_valid() ? le::load_u32(image_.data() + kCountAt) : 0;
}

uint16_t dbf::get_head_length() const
{
    return is_valid() ? le::load_u16(image_.data() + kHeadLengthAt) : 0;
}

uint16_t dbf::get_record_length() const
{
    return is_valid() ? le::load_u16(image_.data() + kRecordLengthAt) : 0;
}

uint16_t dbf::get_field_count() const
{
    return is_valid() ? static_cast<uint16_t>(get_head_length() / kDescriptorSize - 1) : 0;
}

uint32_t dbf::get_total_length() const
{
    if (!is_valid())
        return 0;
    return static_cast<uint32_t>(get_head_length() + uint64_t(get_record_length()) * get_record_number());
}

bool dbf::get_fieldinfo(uint16_t index, dbf_fieldinfo_t& info) const
{
    if (index >= get_field_count())
        return false;
    const uint8_t* d = image_.data() + kHeaderSize + uint32_t(index) * kDescriptorSize;
    std::memcpy(info.name, d, kNameSize);
    info.data_type = d[kTypeAt];
    info.offset = le::load_u32(d + kOffsetAt);
    info.width = d[kWidthAt];
    info.decimal = d[kDecimalAt];
    std::memcpy(info.reserved, d + kReservedAt, sizeof info.reserved);
    return true;
}

uint8_t* dbf::get_record_buffer(uint32_t index) const
{
    if (index >= get_record_number())
        return nullptr;
    return image_.data() + get_head_length() + uint64_t(get_record_length()) * index;
}

uint8_t* dbf::get_value_buffer(uint32_t record, uint16_t field) const
{
    dbf_fieldinfo_t info;
    uint8_t* r = get_record_buffer(record);
    if (!r || !get_fieldinfo(field, info) || info.name[0] == 0)
        return nullptr;
    if (uint64_t(info.offset) + info.width > get_record_length())
        return nullptr;
    return r + info.offset;
}

void dbf::make_name_index_map()
{
    names_.clear();
    const uint16_t fields = get_field_count();
    for (uint16_t i = 0; i < fields; ++i)
        names_[read_name(image_.data() + kHeaderSize + uint32_t(i) * kDescriptorSize)] = i;
}

uint16_t dbf::field_index(const std::string& name) const
{
    auto it = names_.find(name);
    return it == names_.end() ? kNoField : it->second;
}

dbf_field dbf::get_field(uint16_t index)
{
    return dbf_field(this, index < get_field_count() ? index : kNoField);
}

dbf_field dbf::get_field(const std::string& name)
{
    return dbf_field(this, field_index(name));
}

dbf_record dbf::next(const dbf_record& record)
{
    const uint32_t i = record.get_index();
    return dbf_record(this, is_valid() && i < get_record_number() ? i + 1 : kNoIndex);
}

dbf_value dbf::get_value(uint32_t record, const dbf_field& field)
{
    return dbf_value(this, record, field.get_index());
}

bool dbf::create(uint8_t signature, uint8_t year, uint8_t month, uint8_t day, dbf_fieldinfo_t* fields,
                 uint16_t field_count, uint32_t reserved_records)
{
    if (!fields || field_count == 0 || field_count > kMaxFields)
        return false;
    uint64_t record = 1;
    for (uint16_t i = 0; i < field_count; ++i)
        record += fields[i].width;
    const uint32_t head = kMinHeadLength + kDescriptorSize * field_count;
    if (record > kMaxLength || head + record * reserved_records > kMaxImage)
        return false;

    binblock image(static_cast<uint32_t>(head + record * reserved_records));
    uint8_t* p = image.data();
    p[0] = signature;
    p[1] = year;
    p[2] = month;
    p[3] = day;
    le::store_u32(p + kCountAt, 0);
    le::store_u16(p + kHeadLengthAt, static_cast<uint16_t>(head));
    le::store_u16(p + kRecordLengthAt, static_cast<uint16_t>(record));

    uint32_t offset = 1;
    for (uint16_t i = 0; i < field_count; ++i) {
        dbf_fieldinfo_t& f = fields[i];
        f.offset = offset;
        offset += f.width;
        uint8_t* d = p + kHeaderSize + uint32_t(i) * kDescriptorSize;
        std::memcpy(d, f.name, kNameSize);
        d[kTypeAt] = f.data_type;
        le::store_u32(d + kOffsetAt, f.offset);
        d[kWidthAt] = f.width;
        d[kDecimalAt] = f.decimal;
        std::memcpy(d + kReservedAt, f.reserved, sizeof f.reserved);
    }
    p[head - 1] = kHeaderEnd;

    image_ = image;
    make_name_index_map();
    return true;
}

dbf_record dbf::add_record()
{
    const uint32_t count = get_record_number();
    if (!is_valid() || count == kNoIndex)
        return dbf_record(this, kNoIndex);
    const uint64_t head = get_head_length();
    const uint64_t record = get_record_length();
    const uint64_t need = head + record * (count + uint64_t(1));
    if (need > image_.length()) {
        if (need > kMaxImage)
            return dbf_record(this, kNoIndex);
        const uint64_t room = std::min(head + record * (count + uint64_t(kGrowRecords)), kMaxImage);
        binblock grown(static_cast<uint32_t>(room));
        std::memcpy(grown.data(), image_.data(), image_.length());
        image_ = grown;
    }
    le::store_u32(image_.data() + kCountAt, count + 1);
    uint8_t* r = get_record_buffer(count);
    std::memset(r, 0, record);
    r[0] = kLive;
    return dbf_record(this, count);
}

void dbf::clear_all_deleted_records()
{
    if (!is_valid())
        return;
    const uint32_t count = get_record_number();
    const uint32_t head = get_head_length();
    const uint32_t record = get_record_length();
    uint32_t kept = 0;
    for (uint32_t i = 0; i < count; ++i)
        kept += get_record_buffer(i)[0] != kDeleted;
    if (kept == count)
        return;

    binblock image(head + record * kept);
    std::memcpy(image.data(), image_.data(), head);
    uint8_t* out = image.data() + head;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* r = get_record_buffer(i);
        if (r[0] != kDeleted) {
            std::memcpy(out, r, record);
            out += record;
        }
    }
    le::store_u32(image.data() + kCountAt, kept);
    image_ = image;
}

bool dbf::compare_head(const dbf& other) const
{
    if (image_.data() == other.image_.data())
        return true;
    const uint16_t head = get_head_length();
    return head == other.get_head_length() && (head == 0 || std::memcmp(image_.data(), other.image_.data(), head) == 0);
}

bool dbf::operator==(const dbf& other) const
{
    if (image_.data() == other.image_.data())
        return true;
    const uint32_t total = get_total_length();
    return total == other.get_total_length() &&
           (total == 0 || std::memcmp(image_.data(), other.image_.data(), total) == 0);
}

bool dbf_field::get_fieldinfo(dbf_fieldinfo_t& info) const
{
    return table_ && table_->get_fieldinfo(index_, info);
}

bool dbf_field::empty() const
{
    dbf_fieldinfo_t info;
    return !get_fieldinfo(info);
}

std::string dbf_field::get_name() const
{
    dbf_fieldinfo_t info;
    if (!get_fieldinfo(info))
        return std::string();
    return read_name(reinterpret_cast<const uint8_t*>(info.name));
}

uint8_t dbf_field::get_data_type() const
{
    dbf_fieldinfo_t info;
    return get_fieldinfo(info) ? info.data_type : 0;
}

uint32_t dbf_field::get_offset() const
{
    dbf_fieldinfo_t info;
    return get_fieldinfo(info) ? info.offset : 0;
}

uint8_t dbf_field::get_width() const
{
    dbf_fieldinfo_t info;
    return get_fieldinfo(info) ? info.width : 0;
}

uint8_t dbf_field::get_decimal() const
{
    dbf_fieldinfo_t info;
    return get_fieldinfo(info) ? info.decimal : 0;
}

uint8_t* dbf_value::get_buffer() const
{
    return table_ ? table_->get_value_buffer(record_, field_) : nullptr;
}

bool dbf_value::get_fieldinfo(dbf_fieldinfo_t& info) const
{
    return table_ && table_->get_fieldinfo(field_, info);
}

bool dbf_value::empty() const
{
    return get_buffer() == nullptr;
}

std::string dbf_value::as_string() const
{
    dbf_fieldinfo_t info;
    const uint8_t* p = get_buffer();
    if (!p || !get_fieldinfo(info))
        return std::string();
    const void* nul = std::memchr(p, 0, info.width);
    const size_t n = nul ? static_cast<const uint8_t*>(nul) - p : info.width;
    return std::string(reinterpret_cast<const char*>(p), n);
}

long dbf_value::as_long() const
{
    return std::strtol(trimmed(as_string()).c_str(), nullptr, 10);
}

int64_t dbf_value::as_int64() const
{
    return std::strtoll(trimmed(as_string()).c_str(), nullptr, 10);
}

double dbf_value::as_double() const
{
    return std::strtod(trimmed(as_string()).c_str(), nullptr);
}

float dbf_value::as_float() const
{
    return static_cast<float>(as_double());
}

bool dbf_value::get_buffer(uint8_t*& out, uint8_t& width) const
{
    dbf_fieldinfo_t info;
    const uint8_t* p = get_buffer();
    if (!p || !get_fieldinfo(info)) {
        width = 0;
        return false;
    }
    out = new uint8_t[info.width];
    std::memcpy(out, p, info.width);
    width = info.width;
    return true;
}

void dbf_value::set_buffer(const void* bytes, uint32_t length)
{
    dbf_fieldinfo_t info;
    uint8_t* p = get_buffer();
    if (!p || !bytes || length == 0 || !get_fieldinfo(info))
        return;
    std::memcpy(p, bytes, std::min<uint32_t>(length, info.width));
}

void dbf_value::set_string(const std::string& text)
{
    if (text.empty())
        clear();
    else
        set_buffer(text.data(), static_cast<uint32_t>(std::min<size_t>(text.size(), 255)));
}

dbf_value& dbf_value::operator=(const std::string& text)
{
    set_string(text);
    return *this;
}

void dbf_value::clear()
{
    dbf_fieldinfo_t info;
    uint8_t* p = get_buffer();
    if (p && get_fieldinfo(info))
        std::memset(p, 0, info.width);
}

bool dbf_value::operator==(const dbf_value& other) const
{
    const uint8_t* p = get_buffer();
    return (p && p == other.get_buffer()) || as_string() == other.as_string();
}

bool dbf_value::operator==(const std::string& text) const
{
    return as_string() == text;
}

uint8_t* dbf_record::get_buffer() const
{
    return table_ ? table_->get_record_buffer(index_) : nullptr;
}

bool dbf_record::empty() const
{
    return get_buffer() == nullptr;
}

bool dbf_record::is_delete() const
{
    const uint8_t* p = get_buffer();
    return p && p[0] == kDeleted;
}

void dbf_record::set_delete()
{
    if (uint8_t* p = get_buffer())
        p[0] = kDeleted;
}

void dbf_record::clear()
{
    if (uint8_t* p = get_buffer())
        std::memset(p + 1, 0, table_->get_record_length() - 1);
}

dbf_value dbf_record::get(uint16_t field) const
{
    return dbf_value(table_, index_, field);
}

dbf_value dbf_record::get(const std::string& name) const
{
    return dbf_value(table_, index_, table_ ? table_->field_index(name) : kNoField);
}

dbf_value dbf_record::get(const dbf_field& field) const
{
    return dbf_value(table_, index_, field.get_index());
}

bool dbf_record::operator==(const dbf_record& other) const
{
    const uint8_t* a = get_buffer();
    const uint8_t* b = other.get_buffer();
    if (!a || !b)
        return a == b;
    if (a == b)
        return true;
    const uint16_t length = table_->get_record_length();
    return length == other.table_->get_record_length() && std::memcmp(a, b, length) == 0;
}

} // namespace qz::vok::dbf
