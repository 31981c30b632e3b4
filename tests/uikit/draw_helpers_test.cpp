#include "uikit/draw_helpers.h"
#include "tests/support/ui/screenshot.h"
#include "tests/support/ui/canvas.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <vector>

namespace {

using tavrix::test::pixelAt;

constexpr ui::ColorRef kBackground = ui::rgb(1, 2, 3);

ui::ColorRef bgr(QRgb c)
{
    return ui::rgb(qRed(c), qGreen(c), qBlue(c));
}

bool allBackground(const QImage& shot)
{
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (pixelAt(shot, x, y) != kBackground)
                return false;
    return true;
}

TEST(DrawBitmapCell, ReadsTheCellAtColumnAndRowTimesItsSizeKeyedOnPixelZero)
{
    QImage strip = patternImage(64, 48, [](int x, int y) { return qRgb(x * 2 + 1, y * 3 + 1, 77); });
    const QRgb key = strip.pixel(0, 0);
    strip.setPixel(35, 20, key); // inside cell (2, 1)

    Canvas canvas(40, 40, kBackground);
    const QImage shot = canvas.shoot([&](QPainter& p) { DrawBitmapCell(Rect{10, 10, 26, 26}, p, strip, 2, 1); });
    EXPECT_EQ(pixelAt(shot, 10, 10), bgr(strip.pixel(32, 16)));
    EXPECT_EQ(pixelAt(shot, 12, 13), bgr(strip.pixel(34, 19)));
    EXPECT_EQ(pixelAt(shot, 13, 14), kBackground); // the key colour is left out
    EXPECT_EQ(pixelAt(shot, 26, 10), kBackground);

    // An empty destination, a cell outside the strip and a null strip draw nothing.
    EXPECT_TRUE(allBackground(canvas.shoot([&](QPainter& p) {
        DrawBitmapCell(Rect{10, 10, 10, 26}, p, strip, 0, 0);
        DrawBitmapCell(Rect{10, 10, 26, 26}, p, strip, 4, 0);
        DrawBitmapCell(Rect{10, 10, 26, 26}, p, strip, -1, 0);
        DrawBitmapCell(Rect{10, 10, 26, 26}, p, QImage(), 0, 0);
    })));
}

TEST(DrawBitmapTransparent, LeavesKeyPixelsOutAndReadsOnlyInsideTheBitmap)
{
    // Key RGB(0, 128, 255) is 0x00FF8000; its byte-swapped twin is drawn.
    QImage bitmap = patternImage(4, 4, [](int, int) { return qRgb(0, 128, 255); });
    bitmap.setPixel(1, 1, qRgb(255, 128, 0));
    bitmap.setPixel(2, 2, qRgb(9, 9, 9));
    bitmap.setPixel(3, 3, qRgb(7, 7, 7));

    Canvas canvas(40, 30, kBackground);
    const QImage shot = canvas.shoot([&](QPainter& p) {
        DrawBitmapTransparent(0x00FF8000u, Rect{0, 0, 8, 8}, bitmap, Rect{0, 0, 4, 4}, p);   // 2x
        DrawBitmapTransparent(0x00FF8000u, Rect{20, 20, 23, 23}, bitmap, Rect{}, p);         // all zeros
        DrawBitmapTransparent(0x00FF8000u, Rect{30, 0, 34, 4}, bitmap, Rect{2, 2, 6, 6}, p); // beyond
    });
    EXPECT_EQ(pixelAt(shot, 0, 0), kBackground);
    EXPECT_EQ(pixelAt(shot, 2, 2), ui::rgb(255, 128, 0));
    EXPECT_EQ(pixelAt(shot, 4, 4), ui::rgb(9, 9, 9));

    EXPECT_EQ(pixelAt(shot, 21, 21), ui::rgb(255, 128, 0));
    EXPECT_EQ(pixelAt(shot, 22, 22), ui::rgb(9, 9, 9));

    EXPECT_EQ(pixelAt(shot, 30, 0), ui::rgb(9, 9, 9));
    EXPECT_EQ(pixelAt(shot, 31, 1), ui::rgb(7, 7, 7));
    EXPECT_EQ(pixelAt(shot, 32, 0), kBackground);
}

TEST(TileBitmap, RepeatsTheTileAndCutsTheLastColumnAndRow)
{
    const QImage bitmap = patternImage(32, 32, [](int x, int y) { return qRgb(x * 5, y * 5, 200); });
    Canvas canvas(60, 30, kBackground);
    const QImage shot = canvas.shoot([&](QPainter& p) {
        TileBitmap(p, Rect{0, 0, 50, 20}, bitmap, 16, 0, 16, 16);
        TileBitmap(p, Rect{0, 22, 50, 30}, bitmap, 0, 0, 0, 16); // no tile width
    });
    EXPECT_EQ(pixelAt(shot, 0, 0), bgr(bitmap.pixel(16, 0)));
    EXPECT_EQ(pixelAt(shot, 47, 5), bgr(bitmap.pixel(31, 5)));
    EXPECT_EQ(pixelAt(shot, 48, 0), bgr(bitmap.pixel(16, 0))); // the fourth column, 2 wide
    EXPECT_EQ(pixelAt(shot, 49, 0), bgr(bitmap.pixel(17, 0)));
    EXPECT_EQ(pixelAt(shot, 50, 0), kBackground);
    EXPECT_EQ(pixelAt(shot, 49, 19), bgr(bitmap.pixel(17, 3))); // second row cut to 4
    EXPECT_EQ(pixelAt(shot, 10, 20), kBackground);
    EXPECT_EQ(pixelAt(shot, 10, 25), kBackground);
}

TEST(DrawBitmapInRect, FillsTheRectangleByMode)
{
    // Column i of the 10 x 1 bitmap has colour i.
    const QImage bitmap = patternImage(10, 1, [](int x, int) { return qRgb(x * 20 + 5, 50, 60); });
    auto colour = [](int i) { return ui::rgb(i * 20 + 5, 50, 60); };
    Canvas canvas(60, 20, kBackground);
    const QImage shot = canvas.shoot([&](QPainter& p) {
        DrawBitmapInRect(Rect{0, 0, 14, 3}, p, bitmap, 10, 1, 3);
        DrawBitmapInRect(Rect{0, 4, 14, 7}, p, bitmap, 10, 1, 4);
        DrawBitmapInRect(Rect{0, 8, 14, 11}, p, bitmap, 10, 1, 5);
        DrawBitmapInRect(Rect{20, 0, 26, 3}, p, bitmap, 10, 1, 3);
        DrawBitmapInRect(Rect{20, 4, 40, 6}, p, bitmap, 10, 1, 2);
        DrawBitmapInRect(Rect{3, 12, 30, 14}, p, bitmap, 10, 1, 1);
        DrawBitmapInRect(Rect{40, 8, 60, 11}, p, bitmap, 10, 1, 9);
        DrawBitmapInRect(Rect{40, 0, 60, 3}, p, bitmap, 0, 1, 2); // size below 1
    });
    auto row = [&](int left, int y, int count) {
        std::vector<ui::ColorRef> got;
        for (int x = left; x < left + count; ++x)
            got.push_back(pixelAt(shot, x, y));
        return got;
    };
    auto expected = [&](std::vector<int> columns) {
        std::vector<ui::ColorRef> want;
        for (int c : columns)
            want.push_back(colour(c));
        return want;
    };
    for (int dy = 0; dy < 3; ++dy) { // every row alike
        EXPECT_EQ(row(0, dy, 14), expected({0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
        EXPECT_EQ(row(0, 4 + dy, 14), expected({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 9, 9, 9}));
        EXPECT_EQ(row(0, 8 + dy, 14), expected({0, 1, 2, 3, 4, 5, 5, 5, 5, 5, 6, 7, 8, 9}));
        EXPECT_EQ(row(20, dy, 6), expected({4, 5, 6, 7, 8, 9}));
    }
    EXPECT_EQ(pixelAt(shot, 14, 0), kBackground);
    EXPECT_EQ(pixelAt(shot, 20, 4), colour(0)); // stretched 2x
    EXPECT_EQ(pixelAt(shot, 39, 5), colour(9));
    // The pattern starts at the rectangle's top-left and repeats every 10.
    EXPECT_EQ(row(3, 12, 12), expected({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1}));
    // Other modes copy unscaled.
    EXPECT_EQ(row(40, 8, 10), expected({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(pixelAt(shot, 50, 8), kBackground);
    EXPECT_EQ(pixelAt(shot, 40, 9), kBackground);
    EXPECT_EQ(pixelAt(shot, 45, 1), kBackground);
}

TEST(DrawImageCentered, PutsThePieceAtIntegerHalvesOfTheRectangle)
{
    const QImage image = patternImage(40, 20, [](int x, int y) { return qRgb(x * 6, y * 12, 33); });
    Canvas canvas(40, 30, kBackground);
    const QImage shot = canvas.shoot([&](QPainter& p) {
        DrawImageCentered(Rect{0, 0, 31, 21}, p, image, 5, 3, 10, 6);
        DrawImageCentered(Rect{0, 22, 31, 30}, p, QImage(), 0, 0, 10, 6);
    });
    EXPECT_EQ(pixelAt(shot, 10, 7), bgr(image.pixel(5, 3)));
    EXPECT_EQ(pixelAt(shot, 19, 12), bgr(image.pixel(14, 8)));
    EXPECT_EQ(pixelAt(shot, 9, 7), kBackground);
    EXPECT_EQ(pixelAt(shot, 20, 7), kBackground);
    EXPECT_EQ(pixelAt(shot, 15, 26), kBackground);
}

TEST(DrawDib, ShowsTheFirstRowOnTopInsideTheDestination)
{
    // 8 x 2 pixels, rows padded to 4 bytes: a set bit top-left, one bottom-right.
    const std::vector<std::uint8_t> bits = {0x80, 0, 0, 0, 0x01, 0, 0, 0};
    Canvas canvas(60, 40, kBackground);
    const QImage shot = canvas.shoot([&](QPainter& p) {
        DrawDib(p, bits.data(), bits.size(), Rect{20, 30, 28, 32}, Rect{0, 0, 8, 2});
        DrawDib(p, bits.data(), bits.size(), Rect{0, 0, 16, 4}, Rect{0, 0, 8, 2}); // 2x
        DrawDib(p, bits.data(), bits.size() - 1, Rect{40, 30, 48, 32}, Rect{0, 0, 8, 2});
        DrawDib(p, nullptr, 8, Rect{40, 0, 48, 2}, Rect{0, 0, 8, 2});
    });
    const ui::ColorRef white = ui::rgb(255, 255, 255);
    const ui::ColorRef black = ui::rgb(0, 0, 0);
    EXPECT_EQ(pixelAt(shot, 20, 30), white);
    EXPECT_EQ(pixelAt(shot, 21, 30), black);
    EXPECT_EQ(pixelAt(shot, 27, 31), white);
    EXPECT_EQ(pixelAt(shot, 19, 30), kBackground);
    EXPECT_EQ(pixelAt(shot, 20, 32), kBackground);

    EXPECT_EQ(pixelAt(shot, 1, 1), white); // stretched 2x
    EXPECT_EQ(pixelAt(shot, 2, 0), black);
    EXPECT_EQ(pixelAt(shot, 14, 2), white);

    EXPECT_EQ(pixelAt(shot, 40, 30), kBackground); // buffer one byte short
    EXPECT_EQ(pixelAt(shot, 41, 0), kBackground);
}

TEST(FillGlassRoundRect, BlendsWhiteOverUpperAndLowerParts)
{
    Canvas canvas(80, 50, ui::rgb(0, 0, 0));
    const QImage shot = canvas.shoot([&](QPainter& p) {
        FillGlassRoundRect(Rect{0, 0, 30, 40}, p, 0, 0, 255, 0);
        FillGlassRoundRect(Rect{30, 0, 60, 40}, p, 20, 20, 255, 255);
        FillGlassRoundRect(Rect{60, 0, 70, 10}, p, 0, 0, 128, 128);
        FillGlassRoundRect(Rect{70, 0, 80, 10}, p, 500, 500, 255, 255); // oversized corners
        FillGlassRoundRect(Rect{75, 20, 65, 30}, p, 0, 0, 255, 255);    // inverted
    });
    const ui::ColorRef white = ui::rgb(255, 255, 255);
    const ui::ColorRef black = ui::rgb(0, 0, 0);
    EXPECT_EQ(pixelAt(shot, 5, 19), white); // the upper half is H / 2 rows
    EXPECT_EQ(pixelAt(shot, 5, 20), black);
    EXPECT_EQ(pixelAt(shot, 30, 0), black); // outside the shape's corner
    EXPECT_EQ(pixelAt(shot, 45, 20), white);
    EXPECT_NEAR(ui::redOf(pixelAt(shot, 65, 5)), 128, 2);
    EXPECT_EQ(pixelAt(shot, 75, 5), white);
    EXPECT_EQ(pixelAt(shot, 75, 10), black);
    EXPECT_EQ(pixelAt(shot, 70, 25), black);
}

TEST(PremultiplyAlpha, TruncatesOnceAndMarksTheImage)
{
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(201, 10, 255, 128));
    image.setPixel(1, 0, qRgba(200, 100, 50, 255));
    auto raw = [&](int x) { return reinterpret_cast<const QRgb*>(image.constScanLine(0))[x]; };

    PremultiplyAlpha(image);
    EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
    // 201 * 128 / 255 truncated is 100; Qt's own rounding gives 101.
    EXPECT_EQ(raw(0), qRgba(100, 5, 128, 128));
    EXPECT_EQ(raw(1), qRgba(200, 100, 50, 255));

    PremultiplyAlpha(image);
    EXPECT_EQ(qRed(raw(0)), 100);

    QImage opaque(1, 1, QImage::Format_RGB32);
    opaque.fill(qRgb(201, 10, 255));
    PremultiplyAlpha(opaque);
    EXPECT_EQ(opaque.pixel(0, 0), qRgb(201, 10, 255));
}

} // namespace
