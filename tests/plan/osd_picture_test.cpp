#include <gtest/gtest.h>

#include <QColor>
#include <QFile>
#include <QImage>
#include <QString>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "plan/osd_picture.h"

namespace {

QImage Picture(int w, int h, const QColor& fill)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

bool Save(const QImage& img, const std::string& path, const char* format)
{
    return img.save(QString::fromStdString(path), format);
}

std::vector<uint8_t> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

uint32_t Crc32(const uint8_t* p, size_t n)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBe32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    b[at] = uint8_t(v >> 24);
    b[at + 1] = uint8_t(v >> 16);
    b[at + 2] = uint8_t(v >> 8);
    b[at + 3] = uint8_t(v);
}

// A record whose bitmap no import produces, to see that failures keep it.
tagOSD_DATA_EX2 Marked()
{
    tagOSD_DATA_EX2 r;
    std::vector<uint8_t> bits(800, 0xA5);
    EXPECT_TRUE(OsdRecordSetBitmap(r, bits, 0, 0, 100, 50));
    return r;
}

bool Unchanged(const tagOSD_DATA_EX2& r)
{
    return r.right == 100 && r.bottom == 50 && r.bitmap == std::vector<uint8_t>(800, 0xA5);
}

} // namespace

TEST(OsdPicture, StretchesToLogoSizeTopRowFirstMsbLeftmost)
{
    // Top half: black left half, white right half. Bottom half: white.
    QImage img = Picture(640, 480, Qt::white);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            img.setPixel(x, y, qRgb(0, 0, 0));
    for (const char* format : {"BMP", "PNG"}) {
        const std::string path = std::string("pic.") + format;
        ASSERT_TRUE(Save(img, path, format));
        tagOSD_DATA_EX2 r = Marked();
        ASSERT_EQ(OsdRecordFromPicture(r, path), 0) << format;
        EXPECT_EQ(r.left, 0);
        EXPECT_EQ(r.top, 0);
        EXPECT_EQ(r.right, 256);
        EXPECT_EQ(r.bottom, 128);
        ASSERT_EQ(r.bitmap.size(), 4096u);
        // 32-byte rows; away from the blurred edges the halves are exact.
        EXPECT_EQ(r.bitmap[0], 0x00) << format;
        EXPECT_EQ(r.bitmap[31], 0xFF) << format;
        EXPECT_EQ(r.bitmap[60 * 32 + 14], 0x00) << format;
        EXPECT_EQ(r.bitmap[60 * 32 + 17], 0xFF) << format;
        EXPECT_EQ(r.bitmap[127 * 32], 0xFF) << format;
        EXPECT_EQ(r.bitmap[70 * 32 + 3], 0xFF) << format;
    }

    // Unscaled, a single light pixel at the left of row 1 is the top bit of
    // that row's first byte.
    QImage dot = Picture(256, 128, Qt::black);
    dot.setPixel(0, 1, qRgb(255, 255, 255));
    dot.setPixel(255, 127, qRgb(255, 255, 255));
    ASSERT_TRUE(Save(dot, "dot.png", "PNG"));
    tagOSD_DATA_EX2 r;
    ASSERT_EQ(OsdRecordFromPicture(r, "dot.png"), 0);
    EXPECT_EQ(r.bitmap[0], 0x00);
    EXPECT_EQ(r.bitmap[32], 0x80);
    EXPECT_EQ(r.bitmap[4095], 0x01);
}

TEST(OsdPicture, WhiteSetsEveryBitAndBlackClearsIt)
{
    ASSERT_TRUE(Save(Picture(300, 200, Qt::white), "white.bmp", "BMP"));
    ASSERT_TRUE(Save(Picture(300, 200, Qt::black), "black.png", "PNG"));
    tagOSD_DATA_EX2 white = Marked();
    ASSERT_EQ(OsdRecordFromPicture(white, "white.bmp"), 0);
    EXPECT_EQ(white.bitmap, std::vector<uint8_t>(4096, 0xFF));
    tagOSD_DATA_EX2 black = Marked();
    ASSERT_EQ(OsdRecordFromPicture(black, "black.png"), 0);
    EXPECT_EQ(black.bitmap, std::vector<uint8_t>(4096, 0x00));

    // A JPEG goes through the same path.
    ASSERT_TRUE(Save(Picture(64, 32, Qt::white), "white.jpg", "JPEG"));
    tagOSD_DATA_EX2 jpeg = Marked();
    ASSERT_EQ(OsdRecordFromPicture(jpeg, "white.jpg"), 0);
    EXPECT_EQ(jpeg.bitmap, std::vector<uint8_t>(4096, 0xFF));
}

TEST(OsdPicture, LoadsPictureWithChineseName)
{
    ASSERT_TRUE(Save(Picture(100, 100, Qt::black), "台标.bmp", "BMP"));
    ASSERT_TRUE(std::filesystem::exists(std::filesystem::u8path("台标.bmp")));
    tagOSD_DATA_EX2 r = Marked();
    EXPECT_EQ(OsdRecordFromPicture(r, "台标.bmp"), 0);
    EXPECT_EQ(r.bitmap, std::vector<uint8_t>(4096, 0x00));
}

TEST(OsdPicture, BadFilesFailAndKeepTheRecord)
{
    ASSERT_TRUE(Save(Picture(640, 480, Qt::white), "good.bmp", "BMP"));
    ASSERT_TRUE(Save(Picture(640, 480, Qt::white), "good.png", "PNG"));
    QImage noisy = Picture(640, 480, Qt::white);
    for (int y = 0; y < 480; y += 3)
        for (int x = 0; x < 640; x += 7)
            noisy.setPixel(x, y, qRgb(x % 256, y % 256, 0));
    ASSERT_TRUE(Save(noisy, "good.jpg", "JPEG"));
    for (const char* name : {"good.bmp", "good.png", "good.jpg"}) {
        std::vector<uint8_t> bytes = ReadAll(name);
        bytes.resize(bytes.size() / 2);
        WriteAll(std::string("cut_") + name, bytes);
    }
    WriteAll("empty.png", {});
    WriteAll("text.bmp", {'h', 'e', 'l', 'l', 'o', '\n'});
    std::filesystem::create_directory("folder.png");

    // A PNG whose header claims 50000 x 50000 pixels, with a valid checksum.
    std::vector<uint8_t> huge = ReadAll("good.png");
    PutBe32(huge, 16, 50000);
    PutBe32(huge, 20, 50000);
    PutBe32(huge, 29, Crc32(huge.data() + 12, 17));
    WriteAll("huge.png", huge);

    for (const char* path : {"missing.png", "cut_good.bmp", "cut_good.png", "cut_good.jpg",
                             "empty.png", "text.bmp", "folder.png", "huge.png"}) {
        tagOSD_DATA_EX2 r = Marked();
        EXPECT_EQ(OsdRecordFromPicture(r, path), 1) << path;
        EXPECT_TRUE(Unchanged(r)) << path;
    }
    // The intact originals still load.
    for (const char* path : {"good.bmp", "good.png", "good.jpg"}) {
        tagOSD_DATA_EX2 r = Marked();
        EXPECT_EQ(OsdRecordFromPicture(r, path), 0) << path;
    }
}

TEST(OsdPicture, ScaledBitmapHasPaddedRowsAndKeepsOutputOnFailure)
{
    ASSERT_TRUE(Save(Picture(50, 50, Qt::white), "w.png", "PNG"));
    std::vector<uint8_t> bits{1, 2, 3};
    ASSERT_EQ(LoadScaledBitmap("w.png", 100, 50, bits), 0);
    ASSERT_EQ(bits.size(), 800u);
    // Each 16-byte row: 12 full bytes, a half byte, then padding bits clear.
    EXPECT_EQ(bits[11], 0xFF);
    EXPECT_EQ(bits[12], 0xF0);
    EXPECT_EQ(bits[13], 0x00);
    EXPECT_EQ(bits[16 * 49 + 12], 0xF0);

    std::vector<uint8_t> kept{1, 2, 3};
    EXPECT_EQ(LoadScaledBitmap("w.png", 0, 50, kept), 1);
    EXPECT_EQ(LoadScaledBitmap("w.png", 100, -1, kept), 1);
    EXPECT_EQ(LoadScaledBitmap("nothing.png", 10, 10, kept), 1);
    EXPECT_EQ(kept, (std::vector<uint8_t>{1, 2, 3}));
}
