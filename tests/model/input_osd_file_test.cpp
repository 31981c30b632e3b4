#include "model/input_osd_file.h"

#include <gtest/gtest.h>

#include "model_test_support.h"

#include <sstream>
#include <string>

namespace {

std::vector<tagOSD_DATA_EX2_S> Parse(const std::string& bytes, std::string* damage = nullptr)
{
    std::istringstream in(bytes);
    return ParseInputOsdFile(in, damage);
}

} // namespace

TEST(InputOsdFile, ReadsEachVersionWithDefaultsForWordsItLacks)
{
    Image v1;
    v1.Word(1).Word(1).Word(2).Word(5).Word(6).Word(32).Word(2);
    v1.Word(0x11).Word(0x22).Word(0).Word(1).Bytes(8, 0x3C);
    auto records = Parse(v1.Text());
    ASSERT_EQ(records.size(), 1u);
    const auto& r = records[0];
    EXPECT_EQ(r.input, 1);
    EXPECT_EQ(r.item, 2);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 6);
    EXPECT_EQ(r.osd.right, 32);
    EXPECT_EQ(r.osd.bottom, 2);
    EXPECT_EQ(r.osd.bitmap, std::vector<uint8_t>(8, 0x3C));
    EXPECT_EQ(r.osd.background, 0x11);
    EXPECT_EQ(r.osd.captionColor, 0x22);
    EXPECT_EQ(r.timeShown, 0);
    EXPECT_EQ(r.timeRectRight, 255);
    EXPECT_EQ(r.timeRectBottom, 127);
    EXPECT_EQ(r.fontSize, 1);
    EXPECT_EQ(r.inputRate, 60);

    Image v2;
    v2.Word(0xFFFFFFFF).Word(2).Word(1);
    v2.Word(0).Word(3).Word(0).Word(0).Word(32).Word(1).Word(0).Word(0).Word(0).Word(0);
    v2.Word(1).Word(7).Word(8).Word(90).Word(40).Bytes(4, 0);
    records = Parse(v2.Text());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].timeShown, 1);
    EXPECT_EQ(records[0].timeLeft, 7);
    EXPECT_EQ(records[0].timeTop, 8);
    EXPECT_EQ(records[0].timeRectRight, 90);
    EXPECT_EQ(records[0].timeRectBottom, 40);
    EXPECT_EQ(records[0].fontSize, 1); // version 2 has no font size

    Image v3;
    v3.Word(0xFFFFFFFF).Word(3).Word(1).RecordV3(2, 1, 64, 3, 0x77);
    records = Parse(v3.Text());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].fontSize, 2);
    EXPECT_EQ(records[0].timeRectRight, 300);

    EXPECT_TRUE(Parse("").empty());
    EXPECT_TRUE(Parse(Image().Word(0xFFFFFFFF).Word(4).Word(1).RecordV3(0, 0, 8, 8, 0).Text()).empty());
}

TEST(InputOsdFile, CutOrDamagedFileKeepsTheRecordsBeforeTheDamage)
{
    Image three;
    three.Word(0xFFFFFFFF).Word(3).Word(3);
    three.RecordV3(0, 0, 32, 1, 1).RecordV3(0, 1, 32, 4, 2).RecordV3(0, 2, 32, 1, 3);
    const std::string whole = three.Text();
    std::string damage;
    ASSERT_EQ(Parse(whole, &damage).size(), 3u);
    EXPECT_EQ(damage, "");
    EXPECT_EQ(Parse(whole.substr(0, whole.size() - 1), &damage).size(), 2u);
    EXPECT_EQ(damage, "bitmap runs past the end (record 2)");

    const size_t secondStart = 12 + 64 + 4;
    EXPECT_EQ(Parse(whole.substr(0, secondStart + 10)).size(), 1u);      // inside the words
    EXPECT_EQ(Parse(whole.substr(0, secondStart + 64 + 15)).size(), 1u); // inside the bitmap
    EXPECT_EQ(Parse(whole.substr(0, secondStart + 64 + 16)).size(), 2u);

    // A count beyond what the file holds reads what is there.
    Image counted;
    counted.Word(0xFFFFFFFF).Word(3).Word(1000).RecordV3(0, 0, 1, 1, 0);
    EXPECT_EQ(Parse(counted.Text()).size(), 1u);

    // A negative size, or bitmap bytes running past the end, stop the read.
    Image negative;
    negative.Word(0xFFFFFFFF).Word(3).Word(2).RecordV3(0, 0, 1, 1, 0);
    negative.Word(0).Word(1).Word(0).Word(0).Word(32).Word(0xFFFFFFFF);
    negative.Bytes(40, 0).RecordV3(0, 2, 1, 1, 0);
    EXPECT_EQ(Parse(negative.Text()).size(), 1u);

    Image huge;
    huge.Word(0xFFFFFFFF).Word(3).Word(2).RecordV3(0, 0, 1, 1, 0);
    huge.Word(0).Word(1).Word(0).Word(0).Word(0x7FFFFFFF).Word(0x7FFFFFFF).Bytes(40, 0);
    EXPECT_EQ(Parse(huge.Text()).size(), 1u);
}

TEST(InputOsdFile, OversizeBitmapIsPassedOverAndBlank)
{
    Image image;
    image.Word(0xFFFFFFFF).Word(3).Word(2);
    image.RecordV3(1, 0, 300, 2, 0xEE); // stored bytes: 10 words a row
    image.RecordV3(1, 1, 32, 1, 0x5A);
    const auto records = Parse(image.Text());
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].osd.right, 256);
    EXPECT_EQ(records[0].osd.bottom, 128);
    EXPECT_EQ(records[0].osd.bitmap, std::vector<uint8_t>(4096, 0));
    // The next record is read from where it starts.
    EXPECT_EQ(records[1].item, 1);
    EXPECT_EQ(records[1].osd.bitmap, std::vector<uint8_t>(4, 0x5A));
}

TEST(InputOsdFile, ReadsAtMost256Records)
{
    Image image;
    image.Word(0xFFFFFFFF).Word(3).Word(300);
    for (int i = 0; i < 300; ++i)
        image.RecordV3(i, 0, 1, 1, 0);
    const auto records = Parse(image.Text());
    ASSERT_EQ(records.size(), 256u);
    EXPECT_EQ(records.back().input, 255);
}

TEST(InputOsdFile, WritesVersion3ThatReadsBack)
{
    auto board = std::make_shared<tagOSDBoard>();
    board->id = 4;
    for (int32_t i = 0; i < 2; ++i) {
        auto item = std::make_shared<tagOSD_DATA_EX_S>();
        item->item = i;
        item->left = 10 + i;
        item->top = 20;
        item->timeShown = 1;
        item->timeLeft = 5;
        item->timeTop = 6;
        item->timeWidth = 70;
        item->timeHeight = 30;
        item->fontSize = 2;
        item->osd.background = 0x123456;
        item->osd.transparent = 0;
        board->items.push_back(item);
    }
    ASSERT_TRUE(OsdRecordSetBitmap(board->items[1]->osd, std::vector<uint8_t>(12, 0x81), 0, 0, 40, 1));
    OsdRecordFree(board->items[0]->osd); // a released bitmap is written as zero bytes

    const auto bytes = BuildInputOsdFile({board});
    ASSERT_EQ(bytes.size(), 12u + 64 + 4096 + 64 + 8);
    const std::vector<uint8_t> header{0xFF, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0, 2, 0, 0, 0};
    EXPECT_TRUE(std::equal(header.begin(), header.end(), bytes.begin()));

    const auto records = Parse(std::string(bytes.begin(), bytes.end()));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].osd.bitmap, std::vector<uint8_t>(4096, 0));
    const auto& r = records[1];
    EXPECT_EQ(r.input, 4);
    EXPECT_EQ(r.item, 1);
    EXPECT_EQ(r.left, 11);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.osd.background, 0x123456);
    EXPECT_EQ(r.osd.captionColor, 0xFFFFFF);
    EXPECT_EQ(r.osd.transparent, 0);
    EXPECT_EQ(r.osd.right, 40);
    EXPECT_EQ(r.osd.bitmap, std::vector<uint8_t>(8, 0x81));
    EXPECT_EQ(r.timeShown, 1);
    EXPECT_EQ(r.timeLeft, 5);
    EXPECT_EQ(r.timeTop, 6);
    EXPECT_EQ(r.timeRectRight, 70);
    EXPECT_EQ(r.timeRectBottom, 30);
    EXPECT_EQ(r.fontSize, 2);
}
