#include "corlane/dbf.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "tests/support/test_files.h"

using namespace qz::vok::dbf;

using tavrix::test::ReadBytes;
using tavrix::test::WriteBytes;

namespace {

dbf_fieldinfo_t field(const char* name, uint8_t width)
{
    dbf_fieldinfo_t f;
    std::strncpy(f.name, name, sizeof f.name);
    f.data_type = 'C';
    f.width = width;
    return f;
}

// NAME (10 bytes) and AGE (5 bytes): records of 16 bytes behind a 97-byte header.
dbf make_table(uint32_t reserved = 0)
{
    dbf_fieldinfo_t fields[2] = {field("NAME", 10), field("AGE", 5)};
    dbf t;
    EXPECT_TRUE(t.create(0x03, 124, 5, 17, fields, 2, reserved));
    return t;
}

} // namespace

TEST(Dbf, CreateLaysOutHeaderAndDescriptors)
{
    dbf_fieldinfo_t fields[2] = {field("NAME", 10), field("AGE", 5)};
    dbf t;
    ASSERT_TRUE(t.create(0x03, 124, 5, 17, fields, 2, 0));
    EXPECT_EQ(fields[0].offset, 1u); // assigned in the caller's array
    EXPECT_EQ(fields[1].offset, 11u);
    EXPECT_EQ(t.get_record_length(), 16);
    EXPECT_EQ(t.get_head_length(), 97);
    EXPECT_EQ(t.get_field_count(), 2);
    EXPECT_EQ(t.get_record_number(), 0u);
    EXPECT_EQ(t.get_buffer_size(), 97u);
    const uint8_t* h = t.get_header();
    EXPECT_EQ(h[96], 0x0D);
    EXPECT_EQ(h[0], 0x03);
    EXPECT_EQ(t.get_year(), 124);
    EXPECT_EQ(t.get_day(), 17);
    EXPECT_EQ(h[32 + 32 + 12], 11); // second descriptor's offset, little-endian
    EXPECT_EQ(h[32 + 32 + 16], 5);

    EXPECT_EQ(t.get_field("AGE").get_index(), 1);
    EXPECT_EQ(t.get_field("AGE").get_offset(), 11u);
    EXPECT_EQ(t.get_field(0).get_name(), "NAME");
    EXPECT_EQ(t.get_field(0).get_data_type(), 'C');
    EXPECT_TRUE(t.get_field("NOSUCH").empty());
    EXPECT_TRUE(t.get_field(2).empty());

    EXPECT_FALSE(dbf().create(0, 0, 0, 0, nullptr, 2, 0));
    EXPECT_FALSE(dbf().create(0, 0, 0, 0, fields, 0, 0));
    EXPECT_FALSE(dbf().is_valid());
}

TEST(Dbf, CreateRefusesWhatItsFieldsCannotHold)
{
    std::vector<dbf_fieldinfo_t> many(2047, field("F", 1));
    dbf t;
    EXPECT_FALSE(t.create(3, 0, 0, 0, many.data(), 2047, 0)); // header length 65537
    EXPECT_TRUE(t.create(3, 0, 0, 0, many.data(), 2046, 0));
    EXPECT_EQ(t.get_head_length(), 65505);

    std::vector<dbf_fieldinfo_t> wide(257, field("W", 255)); // record of 65536 bytes
    EXPECT_FALSE(t.create(3, 0, 0, 0, wide.data(), 257, 0));
    EXPECT_TRUE(t.create(3, 0, 0, 0, wide.data(), 256, 0));
    EXPECT_EQ(t.get_record_length(), 65281);

    EXPECT_FALSE(t.create(3, 0, 0, 0, wide.data(), 256, 70000)); // 4.5 GiB of slots
    EXPECT_EQ(t.get_record_length(), 65281);                     // the old table stays
}

TEST(Dbf, AddRecordGrowsTwentySlotsAtATime)
{
    dbf t = make_table();
    dbf_record r = t.add_record();
    EXPECT_EQ(t.get_buffer_size(), 97u + 16 * 20);
    EXPECT_FALSE(r.empty());
    EXPECT_EQ(t.get_buffer()[97], ' '); // live flag
    EXPECT_EQ(t.get_record_number(), 1u);
    for (int i = 1; i < 20; ++i)
        t.add_record();
    EXPECT_EQ(t.get_buffer_size(), 417u);
    t.add_record();
    EXPECT_EQ(t.get_buffer_size(), 97u + 16 * 40);
    EXPECT_EQ(t.get_record_number(), 21u);

    dbf reserved = make_table(5);
    for (int i = 0; i < 5; ++i)
        reserved.add_record();
    EXPECT_EQ(reserved.get_buffer_size(), 97u + 16 * 5);

    EXPECT_TRUE(dbf().add_record().empty());
}

TEST(Dbf, ValuesReadAndWriteInPlace)
{
    dbf t = make_table();
    dbf_record r = t.add_record();
    dbf_value name = r["NAME"];
    name = std::string("ABCDEFGHIJ");
    name.set_string("xyz");
    EXPECT_EQ(name.as_string(), "xyzDEFGHIJ");
    EXPECT_TRUE(name == std::string("xyzDEFGHIJ"));
    name.set_string("longer than ten bytes");
    EXPECT_EQ(name.as_string(), "longer tha");
    EXPECT_EQ(t.get_buffer()[97 + 11], 0); // never spills into AGE
    name.set_string("");
    EXPECT_EQ(name.as_string(), "");

    dbf_value age = r.get(t.get_field("AGE"));
    age.set_string(" 42 ");
    EXPECT_EQ(age.as_long(), 42);
    EXPECT_EQ(age.as_int64(), 42);
    age.set_string("3.5  ");
    EXPECT_DOUBLE_EQ(age.as_double(), 3.5);
    EXPECT_FLOAT_EQ(age.as_float(), 3.5f);
    age.set_buffer("12", 2);
    EXPECT_EQ(age.as_string(), "125  ");

    uint8_t* copy = nullptr;
    uint8_t width = 0;
    ASSERT_TRUE(age.get_buffer(copy, width));
    EXPECT_EQ(width, 5);
    EXPECT_EQ(std::memcmp(copy, "125  ", 5), 0);
    delete[] copy;
    age.clear();
    EXPECT_EQ(age.as_string(), "");

    EXPECT_TRUE(r.get("NOSUCH").empty());
    EXPECT_TRUE(r.get(uint16_t(7)).empty());
    EXPECT_TRUE(t.get_value(1, 0).empty()); // one record only
    dbf_value none = t.get_value(5, 0);
    none.set_string("x"); // quietly nothing
    EXPECT_FALSE(none.get_buffer(copy, width));
    EXPECT_EQ(width, 0);

    r["NAME"] = std::string("keep");
    r.set_delete();
    EXPECT_TRUE(r.is_delete());
    r.clear();
    EXPECT_TRUE(r.is_delete()); // the flag survives a clear
    EXPECT_EQ(r["NAME"].as_string(), "");
}

TEST(Dbf, RecordsWalkAndCompare)
{
    dbf t = make_table();
    t.add_record()["NAME"] = std::string("a");
    t.add_record()["NAME"] = std::string("b");
    t.add_record()["NAME"] = std::string("a");

    dbf_record r = t.first();
    EXPECT_EQ(r["NAME"].as_string(), "a");
    r = t.next(r);
    EXPECT_EQ(r["NAME"].as_string(), "b");
    EXPECT_EQ(r.prev()["NAME"].as_string(), "a");
    dbf_record end = t.next(t.next(r));
    EXPECT_EQ(end.get_index(), 3u);
    EXPECT_TRUE(end.empty());
    EXPECT_EQ(t.next(end).get_index(), kNoIndex);

    EXPECT_TRUE(t[0] == t[2]); // same bytes
    EXPECT_FALSE(t[0] == t[1]);
    EXPECT_FALSE(t[0] == end);
    EXPECT_TRUE(end == t[9]); // both missing
    EXPECT_TRUE(t[0]["NAME"] == t[2]["NAME"]);
    EXPECT_FALSE(t[0]["NAME"] == t[1]["NAME"]);
}

TEST(Dbf, CopiesShareTheImage)
{
    dbf a = make_table(4);
    a.add_record();
    dbf b = a;
    b[0]["NAME"] = std::string("shared");
    EXPECT_EQ(a[0]["NAME"].as_string(), "shared");

    dbf c = make_table(4);
    c.add_record();
    EXPECT_TRUE(a.compare_head(c));
    EXPECT_TRUE(a != c);
    c[0]["NAME"] = std::string("shared");
    EXPECT_TRUE(a == c); // same image, separate buffers
}

TEST(Dbf, PurgeAndSaveLeaveExactlyTheRemainingImage)
{
    dbf t = make_table();
    for (const char* n : {"one", "two", "three"})
        t.add_record()["NAME"] = std::string(n);
    ASSERT_TRUE(t.save("t.dbf"));
    EXPECT_EQ(std::filesystem::file_size("t.dbf"), 417u); // spare slots included

    t[1].set_delete();
    t.clear_all_deleted_records();
    EXPECT_EQ(t.get_record_number(), 2u);
    EXPECT_EQ(t[1]["NAME"].as_string(), "three");
    EXPECT_EQ(t.get_buffer_size(), 97u + 16 * 2);
    ASSERT_TRUE(t.save("t.dbf")); // over the longer file
    const std::vector<uint8_t> saved = ReadBytes("t.dbf");
    ASSERT_EQ(saved.size(), 97u + 16 * 2);
    EXPECT_EQ(std::memcmp(saved.data(), t.get_buffer(), saved.size()), 0);

    dbf loaded;
    ASSERT_TRUE(loaded.open("t.dbf"));
    EXPECT_TRUE(loaded == t);
    EXPECT_EQ(loaded.get_field("NAME").get_index(), 0);
    EXPECT_EQ(loaded[0]["NAME"].as_string(), "one");

    dbf untouched = make_table();
    untouched.add_record();
    untouched.clear_all_deleted_records(); // nothing deleted: nothing changes
    EXPECT_EQ(untouched.get_buffer_size(), 417u);

    EXPECT_FALSE(dbf().save("invalid.dbf"));
    EXPECT_FALSE(t.save("no-such-dir/t.dbf"));
    for (auto& e : std::filesystem::directory_iterator("."))
        EXPECT_EQ(e.path().filename().string().find("t.dbf.tmp"), std::string::npos) << "temporary file left behind";
}

TEST(Dbf, OpenRejectsLyingImages)
{
    dbf good = make_table();
    good.add_record();
    ASSERT_TRUE(good.save("good.dbf"));
    const std::vector<uint8_t> image = ReadBytes("good.dbf"); // 417 bytes, one record

    auto opens = [](const std::vector<uint8_t>& bytes) {
        WriteBytes("bad.dbf", bytes);
        dbf t;
        const bool ok = t.open("bad.dbf");
        EXPECT_EQ(ok, t.is_valid());
        return ok;
    };
    auto patched = [&image](size_t at, std::initializer_list<uint8_t> bytes) {
        std::vector<uint8_t> v = image;
        std::copy(bytes.begin(), bytes.end(), v.begin() + at);
        return v;
    };
    EXPECT_TRUE(opens(image));
    EXPECT_FALSE(opens({}));
    EXPECT_FALSE(opens(std::vector<uint8_t>(image.begin(), image.begin() + 31)));
    EXPECT_FALSE(opens(patched(4, {0xFF, 0xFF, 0xFF, 0xFF}))); // 97 + 16 × count wraps to 81
    EXPECT_FALSE(opens(patched(8, {32, 0})));                  // header length below 33
    EXPECT_FALSE(opens(patched(8, {0xA2, 0x01})));             // header length 418 > file
    EXPECT_FALSE(opens(patched(10, {0, 0})));                  // no room for the flag
    EXPECT_FALSE(opens(patched(32 + 32 + 16, {6})));           // AGE would end at 17 of 16
    EXPECT_FALSE(opens(patched(32 + 32 + 12, {0xFF, 0xFF, 0xFF, 0xFF})));

    // An 11-byte name fills its slot without a NUL: read as exactly 11 bytes.
    dbf t;
    ASSERT_TRUE(opens(patched(32, {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K'})));
    ASSERT_TRUE(t.open("bad.dbf"));
    EXPECT_EQ(t.get_field(0).get_name(), "ABCDEFGHIJK");
    EXPECT_EQ(t.get_field("ABCDEFGHIJK").get_index(), 0);

    ASSERT_FALSE(t.open("no-such.dbf"));
    EXPECT_FALSE(t.is_valid()); // the old table is gone
    EXPECT_TRUE(t.get_field(0).empty());
}
