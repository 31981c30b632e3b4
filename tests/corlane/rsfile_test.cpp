#include "corlane/rsfile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "tests/support/test_files.h"

using namespace qz::vok;
using namespace qz::vok::rs;

using tavrix::test::ReadBytes;
using tavrix::test::WriteBytes;

namespace {

const fieldinfo_t kTable[3] = {{1, 0, 4, 0}, {2, 0, 2, 0}, {3, 0, 8, 0}};

void put16(std::vector<uint8_t>& v, uint16_t x)
{
    v.push_back(x & 0xFF);
    v.push_back(x >> 8);
}

// A header of three fields as create writes it, with the parts a test
// wants to lie about given explicitly.
std::vector<uint8_t> header(uint16_t head, uint32_t count, uint16_t recsize, uint16_t fields, uint16_t third_offset = 6)
{
    std::vector<uint8_t> h;
    put16(h, head);
    put16(h, 0);
    put16(h, 0);
    put16(h, count & 0xFFFF);
    put16(h, count >> 16);
    put16(h, recsize);
    put16(h, fields);
    const uint16_t offsets[3] = {0, 4, third_offset};
    for (int i = 0; i < 3; ++i) {
        put16(h, kTable[i].itemid);
        put16(h, offsets[i]);
        h.push_back(kTable[i].width);
        h.push_back(0);
    }
    return h;
}

void append_record(rsfile& f, uint8_t fill)
{
    f.begin_append();
    std::memset(f.get_record(), fill, f.get_recsize());
    ASSERT_TRUE(f.flush());
}

} // namespace

TEST(RsFile, CreateWritesSelfDescribingHeader)
{
    rsfile f;
    ASSERT_TRUE(f.create("a.rs", 3, kTable, 0));
    EXPECT_EQ(f.get_recsize(), 14);
    EXPECT_EQ(f.get_fieldinfo(0)->offset, 0);
    EXPECT_EQ(f.get_fieldinfo(1)->offset, 4);
    EXPECT_EQ(f.get_fieldinfo(2)->offset, 6);
    EXPECT_EQ(f.get_fieldinfo(3), nullptr);
    EXPECT_EQ(f.get_fieldindex(3), 2);
    EXPECT_EQ(f.get_fieldindex(9), -1);
    EXPECT_EQ(f.get_fieldinfobyitem(2)->width, 2);
    EXPECT_EQ(f.get_exheadlen(), 0);
    const fields table = f.get_fields();
    ASSERT_EQ(table.get_count(), 3);
    EXPECT_EQ(table[2].offset, 6);
    fields copy = table;
    EXPECT_TRUE(copy.append(fieldinfo_t{4, 14, 1, 0}));
    EXPECT_EQ(table.get_count(), 3); // the shared entries were copied first
    EXPECT_EQ(table.get_fieldinfo(3), nullptr);
    EXPECT_EQ(copy.get_fieldinfo(3)->itemid, 4);
    f.close();

    const std::vector<uint8_t> expected = {
        0x20, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0E, 0x00, 0x03, 0x00, 0x01, 0x00,
        0x00, 0x00, 0x04, 0x00, 0x02, 0x00, 0x04, 0x00, 0x02, 0x00, 0x03, 0x00, 0x06, 0x00, 0x08, 0x00,
    };
    EXPECT_EQ(ReadBytes("a.rs"), expected);

    ASSERT_TRUE(f.create("b.rs", 3, kTable, 10));
    EXPECT_EQ(f.get_exheadlen(), 10);
    f.get_exheadptr()[9] = 0x5A;
    f.set_flag(3); // the extra header travels with the header
    ASSERT_TRUE(f.flush());
    f.close();
    const std::vector<uint8_t> b = ReadBytes("b.rs");
    ASSERT_EQ(b.size(), 42u);
    EXPECT_EQ(b[0], 42);
    EXPECT_EQ(b[41], 0x5A);

    EXPECT_FALSE(rsfile(true).create("c.rs", 3, kTable, 0)); // read-only object
    EXPECT_FALSE(f.create("c.rs", 0, kTable, 0));
    EXPECT_FALSE(f.create("c.rs", 3, nullptr, 0));
}

TEST(RsFile, CreateRefusesWhatItsSixteenBitFieldsCannotHold)
{
    rsfile f;
    EXPECT_FALSE(f.create("x.rs", 3, kTable, 65535 - 31)); // 14 + 18 + 65504 = 65536
    EXPECT_TRUE(f.create("x.rs", 3, kTable, 65535 - 32));
    f.close();

    std::vector<fieldinfo_t> wide(258, fieldinfo_t{1, 0, 255, 0}); // 65790 bytes a record
    EXPECT_FALSE(f.create("y.rs", 258, wide.data(), 0));
    std::vector<fieldinfo_t> none(2, fieldinfo_t{1, 0, 0, 0});
    EXPECT_FALSE(f.create("y.rs", 2, none.data(), 0));
    EXPECT_FALSE(f.isopened());
}

TEST(RsFile, CursorOnEmptyFile)
{
    rsfile f;
    ASSERT_TRUE(f.create("e.rs", 3, kTable, 0));
    EXPECT_TRUE(f.bof());
    EXPECT_EQ(f.recno(), rsfile::npos);
    ASSERT_TRUE(f.first());
    EXPECT_TRUE(f.eof());
    EXPECT_EQ(f.get_record(), nullptr);
    EXPECT_FALSE(f.next());
    EXPECT_TRUE(f.prev()); // from the end position of an empty file to before the first
    EXPECT_TRUE(f.bof());
    EXPECT_FALSE(f.prev());
    EXPECT_TRUE(f.last());
    EXPECT_TRUE(f.bof());
    EXPECT_EQ(f.get_reccount(), 0u);
}

TEST(RsFile, AppendsEditsAndReadsBackRecords)
{
    {
        rsfile f;
        ASSERT_TRUE(f.create("r.rs", 3, kTable, 0));
        append_record(f, 0x11);
        EXPECT_EQ(f.get_reccount(), 1u);
        EXPECT_EQ(f.recno(), 0u);
        ASSERT_NE(f.get_record(), nullptr);
        EXPECT_EQ(f.get_record()[13], 0x11);
        append_record(f, 0x22);
        append_record(f, 0x33);
        EXPECT_EQ(f.recno(), 2u);
    }
    const std::vector<uint8_t> raw = ReadBytes("r.rs");
    ASSERT_EQ(raw.size(), 32u + 3 * 14);
    EXPECT_EQ(raw[6], 3); // record count
    EXPECT_EQ(raw[32 + 1 * 14], 0x22);
    EXPECT_EQ(raw[32 + 2 * 14 + 13], 0x33);

    rsfile f;
    ASSERT_TRUE(f.open("r.rs"));
    EXPECT_EQ(f.get_reccount(), 3u);
    EXPECT_EQ(f.get_reccount_byfilelen(), 3u);
    ASSERT_TRUE(f.moveto(1));
    EXPECT_EQ(f.get_record()[0], 0x22);
    ASSERT_TRUE(f.next());
    EXPECT_EQ(f.get_record()[0], 0x33);
    ASSERT_TRUE(f.next());
    EXPECT_TRUE(f.eof());
    ASSERT_TRUE(f.prev());
    EXPECT_EQ(f.recno(), 2u);
    ASSERT_TRUE(f.moveto(99)); // clipped to the end position
    EXPECT_EQ(f.recno(), 3u);

    ASSERT_TRUE(f.moveto(1));
    f.begin_edit();
    f.get_record()[5] = 0x99;
    ASSERT_TRUE(f.flush());
    ASSERT_TRUE(f.first());
    f.get_record()[0] = 0x77; // not in edit mode: never written
    ASSERT_TRUE(f.flush());
    f.close();

    const std::vector<uint8_t> edited = ReadBytes("r.rs");
    EXPECT_EQ(edited[32 + 14 + 5], 0x99);
    EXPECT_EQ(edited[32 + 14 + 4], 0x22);
    EXPECT_EQ(edited[32], 0x11);
}

TEST(RsFile, HeaderChangesAndTruncateReachTheFile)
{
    rsfile f;
    ASSERT_TRUE(f.create("t.rs", 3, kTable, 0));
    for (uint8_t i = 1; i <= 3; ++i)
        append_record(f, i);
    f.set_version(7);
    ASSERT_TRUE(f.flush());
    EXPECT_EQ(ReadBytes("t.rs")[4], 7);

    ASSERT_TRUE(f.truncate(1));
    EXPECT_EQ(f.get_reccount(), 1u);
    EXPECT_TRUE(f.bof());
    EXPECT_EQ(std::filesystem::file_size("t.rs"), 32u + 14);
    EXPECT_FALSE(f.truncate(rsfile::npos));
    f.close();

    ASSERT_TRUE(f.open("t.rs"));
    EXPECT_EQ(f.get_version(), 7);
    EXPECT_EQ(f.get_reccount(), 1u);

    rsfile reader(true);
    f.close();
    ASSERT_TRUE(reader.open("t.rs"));
    EXPECT_FALSE(reader.truncate(0)); // read-only stream
    reader.close();
    EXPECT_EQ(std::filesystem::file_size("t.rs"), 32u + 14);
}

TEST(RsFile, ClosedObjectThrowsCodeSeven)
{
    rsfile f;
    auto code_of = [](auto&& call) {
        try {
            call();
        } catch (const sx_except& e) {
            return e.code();
        }
        return 0;
    };
    EXPECT_EQ(code_of([&] { f.get_flag(); }), 7);
    EXPECT_EQ(code_of([&] { f.set_version(1); }), 7);
    EXPECT_EQ(code_of([&] { f.get_record(); }), 7);
    EXPECT_EQ(code_of([&] { f.eof(); }), 7);
    EXPECT_EQ(code_of([&] { f.get_fields(); }), 7);
    EXPECT_EQ(code_of([&] { f.begin_append(); }), 7);
    EXPECT_FALSE(f.first());
    EXPECT_FALSE(f.flush());
    EXPECT_FALSE(f.truncate(0));
}

TEST(RsFile, OpenRejectsInconsistentOrTruncatedHeaders)
{
    auto opens = [](const std::vector<uint8_t>& bytes) {
        WriteBytes("bad.rs", bytes);
        rsfile f;
        const bool ok = f.open("bad.rs");
        EXPECT_EQ(ok, f.isopened());
        return ok;
    };
    EXPECT_TRUE(opens(header(32, 0, 14, 3)));
    EXPECT_FALSE(opens(header(32, 0, 15, 3)));     // record size is not the sum of widths
    EXPECT_FALSE(opens(header(13, 0, 14, 3)));     // header length below 14
    EXPECT_FALSE(opens(header(32, 0, 14, 4)));     // field table longer than the header
    EXPECT_FALSE(opens(header(32, 0, 14, 3, 10))); // third field ends at 18 of 14

    std::vector<uint8_t> lying = header(32, 306783379, 14, 3); // 14 × count wraps to 10
    lying.resize(100);
    EXPECT_FALSE(opens(lying));

    std::vector<uint8_t> cut = header(32, 0, 14, 3);
    cut.resize(20);
    EXPECT_FALSE(opens(cut)); // shorter than its header
    cut.resize(10);
    EXPECT_FALSE(opens(cut));

    std::vector<uint8_t> missing_record = header(32, 1, 14, 3);
    EXPECT_FALSE(opens(missing_record));
    missing_record.resize(32 + 14);
    EXPECT_TRUE(opens(missing_record));

    rsfile f;
    EXPECT_FALSE(f.open("no-such.rs"));
}

TEST(RsFile, MoveHandsOverTheOpenFile)
{
    rsfile a;
    ASSERT_TRUE(a.create("m.rs", 3, kTable, 0));
    append_record(a, 0x42);

    rsfile b(std::move(a));
    EXPECT_FALSE(a.isopened());
    EXPECT_TRUE(a.get_filepath().empty());
    ASSERT_TRUE(b.isopened());
    EXPECT_EQ(b.get_record()[0], 0x42);

    rsfile c;
    ASSERT_TRUE(c.create("n.rs", 3, kTable, 0));
    c = std::move(b); // closes n.rs, takes m.rs
    EXPECT_EQ(c.get_filepath(), "m.rs");
    append_record(c, 0x43);
    EXPECT_EQ(c.get_reccount(), 2u);
}

TEST(RsFile, ShareModesHoldAnAdvisoryLock)
{
    rsfile maker;
    ASSERT_TRUE(maker.create("s.rs", 3, kTable, 0));
    maker.close();

    rsfile plain1, plain2;
    EXPECT_TRUE(plain1.open("s.rs"));
    EXPECT_TRUE(plain2.open("s.rs")); // denying nothing, both may share
    rsfile exclusive(false, true, false);
    EXPECT_FALSE(exclusive.open("s.rs"));
    plain1.close();
    plain2.close();

    ASSERT_TRUE(exclusive.open("s.rs"));
    rsfile other(true);
    EXPECT_FALSE(other.open("s.rs"));
    rsfile creator;
    EXPECT_FALSE(creator.create("s.rs", 3, kTable, 0)); // must not truncate a locked file
    exclusive.close();
    EXPECT_EQ(std::filesystem::file_size("s.rs"), 32u);
    EXPECT_TRUE(other.open("s.rs"));
}
