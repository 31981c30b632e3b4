#include "model/osd_item.h"
#include "model/osd_record.h"

#include <gtest/gtest.h>

namespace {

bool AllBytes(const std::vector<uint8_t>& bytes, uint8_t value)
{
    for (uint8_t b : bytes)
        if (b != value)
            return false;
    return true;
}

void ExpectDefaultBitmap(const tagOSD_DATA_EX2& r)
{
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 256);
    EXPECT_EQ(r.bottom, 128);
    EXPECT_EQ(r.bitmap.size(), 4096u);
    EXPECT_TRUE(AllBytes(r.bitmap, 0xFF));
}

} // namespace

TEST(OsdRecord, InitRestoresDefaultsAndFreeReleasesBitmap)
{
    tagOSD_DATA_EX2 r;
    EXPECT_EQ(r.background, 0);
    EXPECT_EQ(r.captionColor, 0xFFFFFF);
    EXPECT_EQ(r.transparent, 1);
    EXPECT_EQ(r.shown, 1);
    ExpectDefaultBitmap(r);

    r.background = 5;
    r.shown = 0;
    ASSERT_TRUE(OsdRecordSetBitmap(r, std::vector<uint8_t>(8, 0x0F), 0, 0, 32, 2));
    OsdRecordInit(r);
    EXPECT_EQ(r.background, 0);
    EXPECT_EQ(r.shown, 1);
    ExpectDefaultBitmap(r);

    OsdRecordFree(r);
    EXPECT_TRUE(r.bitmap.empty());
    OsdRecordFree(r); // a record without a bitmap is left alone
    EXPECT_TRUE(r.bitmap.empty());
}

TEST(OsdRecord, SetBitmapTakesOnlyRectanglesAtOriginWithinLimits)
{
    EXPECT_EQ(OsdBitmapBytes(100, 50), 800u);
    EXPECT_EQ(OsdBitmapBytes(33, 1), 8u);
    EXPECT_EQ(OsdBitmapBytes(-1, 5), 0u);

    const std::vector<uint8_t> big(OsdBitmapBytes(288, 129), 0x11);
    tagOSD_DATA_EX2 r;
    EXPECT_FALSE(OsdRecordSetBitmap(r, big, 0, 0, 257, 128));
    EXPECT_FALSE(OsdRecordSetBitmap(r, big, 0, 0, 256, 129));
    EXPECT_FALSE(OsdRecordSetBitmap(r, big, 1, 0, 100, 50));
    EXPECT_FALSE(OsdRecordSetBitmap(r, big, 0, 1, 100, 50));
    EXPECT_FALSE(OsdRecordSetBitmap(r, big, 0, 0, -32, 10));
    EXPECT_FALSE(OsdRecordSetBitmap(r, big, 0, 0, 10, -1));
    EXPECT_FALSE(OsdRecordSetBitmap(r, std::vector<uint8_t>(799, 0), 0, 0, 100, 50));
    ExpectDefaultBitmap(r);

    std::vector<uint8_t> bits(900);
    for (size_t i = 0; i < bits.size(); ++i)
        bits[i] = static_cast<uint8_t>(i);
    ASSERT_TRUE(OsdRecordSetBitmap(r, bits, 0, 0, 100, 50));
    EXPECT_EQ(r.right, 100);
    EXPECT_EQ(r.bottom, 50);
    ASSERT_EQ(r.bitmap.size(), 800u);
    EXPECT_EQ(r.bitmap[799], static_cast<uint8_t>(799));

    // The record's own bitmap as the source, cut to a smaller rectangle.
    ASSERT_TRUE(OsdRecordSetBitmap(r, r.bitmap, 0, 0, 32, 10));
    ASSERT_EQ(r.bitmap.size(), 40u);
    EXPECT_EQ(r.bitmap[39], 39);

    ASSERT_TRUE(OsdRecordSetBitmap(r, {}, 0, 0, 0, 0));
    EXPECT_TRUE(r.bitmap.empty());
}

TEST(OsdRecord, InitOsdDataStoresWordsInRecordOrder)
{
    const std::vector<uint8_t> bits(OsdBitmapBytes(64, 2), 0xA5);
    tagOSD_DATA_EX2_S r;
    InitOsdData(r, 3, 2, 10, 20, 0, 0, 64, 2, 0x112233, 0x445566, 7, 8, bits, 0, 0, 60, 9, 11, 12, 200, 100, 2, 1);
    EXPECT_EQ(r.osd.background, 0x112233);
    EXPECT_EQ(r.osd.captionColor, 0x445566);
    EXPECT_EQ(r.osd.transparent, 7);
    EXPECT_EQ(r.osd.shown, 8);
    EXPECT_EQ(r.osd.right, 64);
    EXPECT_EQ(r.osd.bottom, 2);
    EXPECT_EQ(r.osd.bitmap, bits);
    EXPECT_EQ(r.input, 3);
    EXPECT_EQ(r.item, 2);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.inputWidth, 0);
    EXPECT_EQ(r.inputHeight, 0);
    EXPECT_EQ(r.inputRate, 60);
    EXPECT_EQ(r.timeShown, 9);
    EXPECT_EQ(r.timeLeft, 11);
    EXPECT_EQ(r.timeTop, 12);
    EXPECT_EQ(r.timeRectLeft, 0);
    EXPECT_EQ(r.timeRectTop, 0);
    EXPECT_EQ(r.timeRectRight, 200);
    EXPECT_EQ(r.timeRectBottom, 100);
    EXPECT_EQ(r.fontSize, 2);
    EXPECT_EQ(r.timeMode, 1);

    // A refused rectangle, or too few bytes for it, leaves the default
    // bitmap and its rectangle; the other words are still stored.
    InitOsdData(r, 1, 1, 0, 0, 0, 0, 300, 10, 5, 6, 0, 0, std::vector<uint8_t>(2000), 0, 0, 60, 0, 0, 0, 1, 1, 0, 0);
    EXPECT_EQ(r.osd.background, 5);
    ExpectDefaultBitmap(r.osd);
    InitOsdData(r, 1, 1, 0, 0, 0, 0, 64, 2, 5, 6, 0, 0, std::vector<uint8_t>(15), 0, 0, 60, 0, 0, 0, 1, 1, 0, 0);
    ExpectDefaultBitmap(r.osd);
}
