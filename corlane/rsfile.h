#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "corlane/sx_except.h"

namespace qz::vok::rs {

// One entry of a record file's field table; 6 bytes on disk.
struct fieldinfo_t {
    uint16_t itemid = 0;
    uint16_t offset = 0; // inside the record
    uint8_t width = 0;
    uint8_t type = 0;
};

// A value copy of a field table. Copies share the entries until one of
// them changes.
class fields {
public:
    fields() = default;

    uint16_t get_count() const { return count_; }
    uint16_t get_capacity() const { return capacity_; }
    const fieldinfo_t* get_fieldinfo(uint16_t index) const;
    const fieldinfo_t& operator[](uint16_t index) const { return entries_[index]; }
    bool append(const fieldinfo_t& info);

private:
    std::shared_ptr<fieldinfo_t[]> entries_;
    uint16_t capacity_ = 0;
    uint16_t count_ = 0;
};

// A binary file of fixed-size records behind a self-describing header
// (field table plus free extra header), read and written one record at a
// time through a cursor. Objects own their open stream, so they move but
// never copy.
class rsfile {
public:
    static constexpr uint32_t npos = 0xFFFFFFFFu; // cursor before the first record

    explicit rsfile(bool readonly = false, bool deny_write = false, bool deny_read = false);
    rsfile(const rsfile&) = delete;
    rsfile& operator=(const rsfile&) = delete;
    rsfile(rsfile&& other) noexcept;
    rsfile& operator=(rsfile&& other) noexcept;
    ~rsfile();

    bool open(const std::string& path);
    bool create(const std::string& path, uint16_t field_count, const fieldinfo_t* table, uint16_t extra_header_length);
    void close();
    bool isopened() const { return stream_ != nullptr; }
    std::string get_filepath() const { return path_; }

    uint16_t get_flag() const;
    void set_flag(uint16_t flag);
    uint16_t get_version() const;
    void set_version(uint16_t version);
    uint16_t get_recsize() const;
    uint32_t get_reccount() const;
    uint32_t get_reccount_byfilelen() const;
    uint16_t get_fieldcount() const;
    int get_fieldindex(uint16_t itemid) const;
    const fieldinfo_t* get_fieldinfo(uint16_t index) const;
    const fieldinfo_t* get_fieldinfobyitem(uint16_t itemid) const;
    fields get_fields() const;
    uint16_t get_exheadlen() const;
    uint8_t* get_exheadptr();

    bool first();
    bool last();
    bool next();
    bool prev();
    bool moveto(uint32_t record);
    bool bof() const;
    bool eof() const;
    uint32_t recno() const { return cursor_; }

    uint8_t* get_record();
    void make_blank();
    void begin_edit();
    void begin_append();
    bool flush();
    bool truncate(uint32_t record_count);

protected:
    bool loadrecord();

private:
    void require_header() const;
    void require_open() const;
    uint16_t head_length() const;
    void set_reccount(uint32_t count);
    bool on_record() const;
    int64_t record_offset(uint32_t record) const;
    bool write_at(int64_t offset, const void* data, size_t length);
    bool write_header();
    bool lock_stream();
    void clear_state();

    bool readonly_;
    bool deny_write_;
    bool deny_read_;
    std::string path_;
    std::FILE* stream_ = nullptr;
    std::vector<uint8_t> header_;    // the whole header as on disk
    std::vector<fieldinfo_t> table_; // the field table, decoded
    std::vector<uint8_t> record_;
    bool header_changed_ = false;
    bool editing_ = false;
    bool appending_ = false;
    uint32_t cursor_ = npos;
};

} // namespace qz::vok::rs
