#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <string>
#include <vector>

#include "plan/osd_picture.h"
#include "tests/support/test_files.h"

using tavrix::test::ReadBytes;
using tavrix::test::WriteBytes;

namespace {

void Save(int w, int h, Qt::GlobalColor fill, const std::string& path, const char* format)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    ASSERT_TRUE(img.save(QString::fromStdString(path), format)) << path;
}

// A record no import produces, to see that a failure keeps it.
tagOSD_DATA_EX2 Marked()
{
    tagOSD_DATA_EX2 r;
    EXPECT_TRUE(OsdRecordSetBitmap(r, std::vector<uint8_t>(800, 0xA5), 0, 0, 100, 50));
    return r;
}

} // namespace

TEST(OsdPicture, StretchesToLogoSizeTopRowFirstMsbLeftmost)
{
    // Top half: black left, white right. Bottom half: white.
    QImage img(640, 480, QImage::Format_RGB32);
    img.fill(Qt::white);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            img.setPixel(x, y, qRgb(0, 0, 0));
    for (const char* format : {"BMP", "PNG"}) {
        const std::string path = std::string("pic.") + format;
        ASSERT_TRUE(img.save(QString::fromStdString(path), format));
        tagOSD_DATA_EX2 r = Marked();
        ASSERT_EQ(OsdRecordFromPicture(r, path), 0) << format;
        EXPECT_EQ(r.right, 256);
        EXPECT_EQ(r.bottom, 128);
        ASSERT_EQ(r.bitmap.size(), 4096u);
        // 32-byte rows; away from the blurred edges the halves are exact.
        EXPECT_EQ(r.bitmap[0], 0x00) << format;
        EXPECT_EQ(r.bitmap[31], 0xFF) << format;
        EXPECT_EQ(r.bitmap[60 * 32 + 14], 0x00) << format;
        EXPECT_EQ(r.bitmap[70 * 32 + 3], 0xFF) << format;
    }

    QImage dot(256, 128, QImage::Format_RGB32);
    dot.fill(Qt::black);
    dot.setPixel(0, 1, qRgb(255, 255, 255));
    dot.setPixel(255, 127, qRgb(255, 255, 255));
    ASSERT_TRUE(dot.save("dot.png", "PNG"));
    tagOSD_DATA_EX2 r;
    ASSERT_EQ(OsdRecordFromPicture(r, "dot.png"), 0);
    EXPECT_EQ(r.bitmap[0], 0x00);
    EXPECT_EQ(r.bitmap[32], 0x80);
    EXPECT_EQ(r.bitmap[4095], 0x01);
}

TEST(OsdPicture, WhiteSetsEveryBitAndBlackClearsIt)
{
    Save(300, 200, Qt::white, "white.bmp", "BMP");
    Save(64, 32, Qt::white, "white.jpg", "JPEG");
    Save(100, 100, Qt::black, "台标.png", "PNG");
    ASSERT_TRUE(std::filesystem::exists(std::filesystem::u8path("台标.png")));
    for (const char* path : {"white.bmp", "white.jpg", "台标.png"}) {
        tagOSD_DATA_EX2 r = Marked();
        ASSERT_EQ(OsdRecordFromPicture(r, path), 0) << path;
        const uint8_t expected = std::string(path) == "台标.png" ? 0x00 : 0xFF;
        EXPECT_EQ(r.bitmap, std::vector<uint8_t>(4096, expected)) << path;
    }
}

TEST(OsdPicture, BadFilesFailAndKeepTheRecord)
{
    Save(640, 480, Qt::white, "good.bmp", "BMP");
    Save(640, 480, Qt::white, "good.png", "PNG");
    QImage noisy(640, 480, QImage::Format_RGB32);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            noisy.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    ASSERT_TRUE(noisy.save("good.jpg", "JPEG"));
    for (const char* name : {"good.bmp", "good.png", "good.jpg"}) {
        std::vector<uint8_t> bytes = ReadBytes(name);
        bytes.resize(bytes.size() / 2);
        WriteBytes(std::string("cut_") + name, bytes);
    }
    WriteBytes("empty.png", {});
    WriteBytes("text.bmp", {'h', 'e', 'l', 'l', 'o'});
    std::filesystem::create_directory("folder.png");
    // A PNG header claiming 50000 x 50000 pixels, its checksum fixed up.
    std::vector<uint8_t> huge = ReadBytes("good.png");
    for (size_t at : {16, 20}) {
        huge[at] = 0, huge[at + 1] = 0, huge[at + 2] = 0xC3, huge[at + 3] = 0x50;
    }
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 12; i < 29; ++i) {
        crc ^= huge[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    crc = ~crc;
    for (int i = 0; i < 4; ++i)
        huge[29 + size_t(i)] = uint8_t(crc >> (24 - 8 * i));
    WriteBytes("huge.png", huge);

    for (const char* path : {"missing.png", "cut_good.bmp", "cut_good.png", "cut_good.jpg", "empty.png", "text.bmp",
                             "folder.png", "huge.png"}) {
        tagOSD_DATA_EX2 r = Marked();
        EXPECT_EQ(OsdRecordFromPicture(r, path), 1) << path;
        EXPECT_EQ(r.right, 100) << path;
        EXPECT_EQ(r.bitmap, std::vector<uint8_t>(800, 0xA5)) << path;
    }
    for (const char* path : {"good.bmp", "good.png", "good.jpg"}) {
        tagOSD_DATA_EX2 r = Marked();
        EXPECT_EQ(OsdRecordFromPicture(r, path), 0) << path;
    }
}

TEST(OsdPicture, ScaledBitmapPadsRowsAndKeepsOutputOnFailure)
{
    Save(50, 50, Qt::white, "w.png", "PNG");
    std::vector<uint8_t> bits{1, 2, 3};
    ASSERT_EQ(LoadScaledBitmap("w.png", 100, 50, bits), 0);
    ASSERT_EQ(bits.size(), 800u);
    // 16-byte rows: 12 full bytes, half a byte, then clear padding.
    EXPECT_EQ(bits[16 * 49 + 11], 0xFF);
    EXPECT_EQ(bits[16 * 49 + 12], 0xF0);
    EXPECT_EQ(bits[16 * 49 + 13], 0x00);

    std::vector<uint8_t> kept{1, 2, 3};
    EXPECT_EQ(LoadScaledBitmap("w.png", 0, 50, kept), 1);
    EXPECT_EQ(LoadScaledBitmap("w.png", 100, -1, kept), 1);
    EXPECT_EQ(kept, (std::vector<uint8_t>{1, 2, 3}));
}
