#pragma once
#include <cstdint>
#include <map>
#include <string>

#include "corlane/binblock.h"

namespace qz::vok::dbf {

// Field descriptor as the caller hands it to dbf::create. In the image it is
// 32 bytes: name (11, NUL-padded), type, offset (u32), width, decimals,
// 14 reserved.
struct dbf_fieldinfo_t {
    char name[11] = {};
    uint8_t data_type = 0;
    uint32_t offset = 0; // inside a record; byte 0 is the delete flag
    uint8_t width = 0;
    uint8_t decimal = 0;
    uint8_t reserved[14] = {};
};

class dbf;
class dbf_field;
class dbf_record;

constexpr uint32_t kNoIndex = 0xFFFFFFFFu;
constexpr uint16_t kNoField = 0xFFFFu;

// A field of one table: the table and the field index.
class dbf_field {
public:
    dbf_field() = default;
    dbf_field(dbf* table, uint16_t index) : table_(table), index_(index) {}

    bool empty() const;
    uint16_t get_index() const { return index_; }
    std::string get_name() const;
    uint8_t get_data_type() const;
    uint32_t get_offset() const;
    uint8_t get_width() const;
    uint8_t get_decimal() const;

protected:
    bool get_fieldinfo(dbf_fieldinfo_t& info) const;

private:
    dbf* table_ = nullptr;
    uint16_t index_ = kNoField;
};

// One field of one record, read and written in place in the table's image.
class dbf_value {
public:
    dbf_value() = default;
    dbf_value(dbf* table, uint32_t record, uint16_t field) : table_(table), record_(record), field_(field) {}

    bool empty() const;
    std::string as_string() const;
    long as_long() const;
    int64_t as_int64() const;
    float as_float() const;
    double as_double() const;
    // A new[] copy of the field's bytes, which the caller deletes.
    bool get_buffer(uint8_t*& out, uint8_t& width) const;
    // Both overwrite the start of the field and leave the rest as it was.
    void set_buffer(const void* bytes, uint32_t length);
    void set_string(const std::string& text);
    dbf_value& operator=(const std::string& text);
    void clear();

    bool operator==(const dbf_value& other) const;
    bool operator==(const std::string& text) const;

protected:
    uint8_t* get_buffer() const;
    bool get_fieldinfo(dbf_fieldinfo_t& info) const;

private:
    dbf* table_ = nullptr;
    uint32_t record_ = kNoIndex;
    uint16_t field_ = kNoField;
};

// One record of one table: the table and the record index.
class dbf_record {
public:
    dbf_record() = default;
    dbf_record(dbf* table, uint32_t index) : table_(table), index_(index) {}

    bool empty() const;
    uint32_t get_index() const { return index_; }
    bool is_delete() const;
    void set_delete();
    void clear(); // every byte but the delete flag
    dbf_record next() const { return dbf_record(table_, index_ + 1); }
    dbf_record prev() const { return dbf_record(table_, index_ - 1); }

    dbf_value get(uint16_t field) const;
    dbf_value get(const std::string& name) const;
    dbf_value get(const dbf_field& field) const;
    dbf_value operator[](uint16_t field) const { return get(field); }
    dbf_value operator[](const std::string& name) const { return get(name); }
    dbf_value operator[](const dbf_field& field) const { return get(field); }

    bool operator==(const dbf_record& other) const;

protected:
    uint8_t* get_buffer() const;

private:
    dbf* table_ = nullptr;
    uint32_t index_ = kNoIndex;
};

// An in-memory table in the dBASE layout: 32-byte header, 32-byte field
// descriptors, 0x0D, then fixed-length records led by a delete flag.
// Copies share the image.
class dbf {
public:
    dbf() = default;

    bool open(const std::string& path);
    // Replaces the file as a whole, so it holds exactly this image.
    bool save(const std::string& path) const;
    // Assigns the descriptors' offsets in place.
    bool create(uint8_t signature, uint8_t year, uint8_t month, uint8_t day, dbf_fieldinfo_t* fields,
                uint16_t field_count, uint32_t reserved_records);

    bool is_valid() const;

    uint8_t get_signature() const;
    uint8_t get_year() const;
    uint8_t get_month() const;
    uint8_t get_day() const;
    uint32_t get_record_number() const;
    uint16_t get_head_length() const;
    uint16_t get_record_length() const;
    uint16_t get_field_count() const;
    uint32_t get_total_length() const;

    uint8_t* buffer() const { return image_.data(); }
    uint8_t* get_buffer() const { return image_.data(); }
    const uint8_t* get_header() const { return image_.data(); }
    uint32_t get_buffer_size() const { return image_.length(); }

    dbf_field get_field(uint16_t index);
    dbf_field get_field(const std::string& name);
    dbf_record first() { return dbf_record(this, 0); }
    dbf_record next(const dbf_record& record);
    dbf_record get_record(uint32_t index) { return dbf_record(this, index); }
    dbf_record operator[](uint32_t index) { return get_record(index); }
    dbf_value get_value(uint32_t record, uint16_t field) { return dbf_value(this, record, field); }
    dbf_value get_value(uint32_t record, const dbf_field& field);

    dbf_record add_record();
    void clear_all_deleted_records();

    bool compare_head(const dbf& other) const;
    bool operator==(const dbf& other) const;
    bool operator!=(const dbf& other) const { return !(*this == other); }

protected:
    friend class dbf_field;
    friend class dbf_value;
    friend class dbf_record;

    // Whether an image's header, descriptors and records lie within length.
    static bool is_valid(const uint8_t* image, uint32_t length);
    bool get_fieldinfo(uint16_t index, dbf_fieldinfo_t& info) const;
    uint8_t* get_record_buffer(uint32_t index) const;
    uint8_t* get_reocord_buffer(uint32_t index) const { return get_record_buffer(index); }
    uint8_t* get_value_buffer(uint32_t record, uint16_t field) const;
    uint16_t field_index(const std::string& name) const;
    void make_name_index_map();

private:
    binblock image_;
    std::map<std::string, uint16_t> names_;
};

} // namespace qz::vok::dbf
