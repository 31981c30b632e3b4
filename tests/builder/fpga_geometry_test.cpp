#include "builder/fpga_geometry.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <utility>

using namespace _8PART_NS;

namespace {
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
} // namespace

TEST(FpgaGeometry, EvenEdgeRuleGivesEvenEdgesAndTwoPixelsAtLeast)
{
    EXPECT_EQ(EvenEdges({3, -4, 9, -3}), (Rect{4, 0, 8, 2}));
    EXPECT_EQ(EvenEdges({0, 0, 1, 1}), (Rect{0, 0, 2, 2}));
    EXPECT_EQ(EvenEdges({-7, 0, -5, 10}), (Rect{0, 0, 2, 10}));
    EXPECT_EQ(EvenRectFromXYWH(1, 2, 1920, 1080), (Rect{2, 2, 1920, 1082}));
    // Extremes are clamped instead of overflowing.
    EXPECT_EQ(EvenEdges({kMax, kMax, kMax, kMax}), (Rect{kMax, kMax, kMax, kMax}));
    EXPECT_EQ(EvenEdges({kMin, kMin, kMin, kMin}), (Rect{0, 0, 2, 2}));
    EXPECT_EQ(EvenRectFromXYWH(kMax - 1, kMax, kMax, kMax), (Rect{kMax - 1, kMax, kMax, kMax}));
}

TEST(FpgaGeometry, CropFollowsScaleFlagAndSourceSize)
{
    EXPECT_EQ(SourceRect({10, 20, 30, 40}, 800, 600), (Rect{10, 20, 30, 40}));
    EXPECT_EQ(SourceRect({5, 5, 5, 9}, 800, 600), (Rect{0, 0, 800, 600}));
    EXPECT_EQ(SourceRect({}, 0, 600), (Rect{0, 0, 1920, 1080}));

    int32_t w = 0, h = 0;
    EXPECT_EQ(SourceRectFill({}, w, h), (Rect{0, 0, 1920, 1080}));
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(1920, 1080));
    w = 0, h = 700; // one side missing: counted as the default, left as it is
    EXPECT_EQ(SourceRectFill({}, w, h), (Rect{0, 0, 1920, 1080}));
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(0, 700));

    WindowGeometry win;
    win.area = {100, 50, 900, 650};
    win.scaled = false;
    EXPECT_EQ(CropRect(win), (Rect{0, 0, 800, 600}));
    win.scaled = true;
    EXPECT_EQ(CropRect(win), (Rect{0, 0, 1920, 1080}));
    EXPECT_EQ(PieceSourceRect(win), win.area);

    // Unscaled, the crop shrinks to the area and the area to the crop.
    win.scaled = false;
    win.crop = {301, 0, 501, 3000};
    EXPECT_EQ(RoundRectEven(win), (Rect{302, 0, 500, 600}));
    EXPECT_EQ(PieceSourceRect(win), (Rect{100, 50, 300, 650}));
    win.area = {101, 51, 161, 81};
    EXPECT_EQ(PieceSourceRectEven(win), (Rect{102, 51, 160, 81}));

    // Any 32-bit value gives a clamped rectangle.
    win.crop = {kMin, kMin, kMax, kMax};
    win.area = {kMax - 2, kMax - 2, kMin, kMin};
    EXPECT_EQ(CropRect(win), (Rect{kMin, kMin, kMin, kMin}));
    win.crop = {};
    win.area = {kMin, kMin, kMax, kMax};
    win.sourceWidth = kMax;
    win.sourceHeight = kMin;
    EXPECT_EQ(PieceSourceRect(win), (Rect{kMin, kMin, -1, kMin}));
}

TEST(FpgaGeometry, MapScaledRectRoundsHorizontalUpToEvenAndVerticalOnTenths)
{
    ScaleRecord s;
    EXPECT_EQ(MapScaledRect(s, {0, 0, 1920, 1080}), (Rect{0, 0, 1920, 1080}));
    EXPECT_EQ(MapScaledRect(s, {1, 1, 5, 5}), (Rect{2, 1, 6, 5}));
    s.d = 2048.0; // bottom 1919.5: a tenths digit of 5 goes down
    EXPECT_EQ(MapScaledRect(s, {0, 0, 100, 3839}).bottom, 1919);
    s.d = 1024.0; // 1919.75 goes up
    EXPECT_EQ(MapScaledRect(s, {0, 0, 100, 7679}).bottom, 1920);

    // 1.5 truncates to the odd 1, so 2.5 truncated gives 2.
    ResetScaleRecord(s);
    s.a = 768.0;
    EXPECT_EQ(MapScaledRect(s, {0, 0, 8, 8}).left, 2);

    // Degenerate base ranges or huge parts never leave the int range.
    s.bx0 = s.bx1 = s.by0 = s.by1 = 5.0;
    EXPECT_EQ(MapScaledRect(s, {kMin, kMin, kMax, kMax}), (Rect{kMin, kMin, kMin, kMin}));
    ResetScaleRecord(s);
    s.b = 1e300;
    s.d = -1e300;
    EXPECT_EQ(MapScaledRect(s, {0, 0, kMax, kMax}), (Rect{0, 0, kMax, kMin}));
}

TEST(FpgaGeometry, MapCropTo4096DescribesThePartAndMapsBack)
{
    ScaleRecord s;
    s.bx0 = 100.0; // coinciding edges take the constants whatever the base
    s.a = s.c = 7.0;
    MapCropTo4096(s, {3, 5, 17, 33}, {3, 5, 17, 33});
    EXPECT_EQ((std::array{s.a, s.b, s.c, s.d}), (std::array{0.0, 4096.0, 0.0, 4096.0}));

    ResetScaleRecord(s);
    MapCropTo4096(s, {960, 0, 1920, 1080}, {960, 0, 2880, 1080});
    EXPECT_EQ((std::array{s.a, s.b, s.c, s.d}), (std::array{0.0, 2048.0, 0.0, 4096.0}));
    EXPECT_EQ(MapScaledRectEven(s, {0, 0, 1920, 1080}), (Rect{0, 0, 960, 1080}));
    s.a = 2048.0;
    s.b = 4096.0;
    EXPECT_EQ(MapScaledRectEven(s, {0, 0, 1920, 1080}), (Rect{960, 0, 1920, 1080}));

    ResetScaleRecord(s);
    MapCropTo4096(s, {100, 200, 300, 400}, {0, 0, 400, 800});
    EXPECT_EQ((std::array{s.a, s.b, s.c, s.d}), (std::array{1024.0, 3072.0, 1024.0, 2048.0}));
    EXPECT_EQ(MapScaledRect(s, {0, 0, 1920, 1080}), (Rect{480, 270, 1440, 540}));

    // A whole without extent gives zeros, not infinities.
    MapCropTo4096(s, {1, 1, 2, 2}, {0, 0, 0, 0});
    EXPECT_EQ((std::array{s.a, s.b, s.c, s.d}), (std::array{0.0, 0.0, 0.0, 0.0}));
}

TEST(FpgaGeometry, ClipInclusiveRectKeepsInclusiveFormAndIgnoresMisses)
{
    EXPECT_EQ(ClipInclusiveRect({-10, -10, 99, 49}, {0, 0, 50, 50}), (Rect{0, 0, 49, 49}));
    EXPECT_EQ(ClipInclusiveRect({49, 0, 70, 10}, {0, 0, 50, 50}), (Rect{49, 0, 49, 10}));
    EXPECT_EQ(ClipInclusiveRect({50, 0, 70, 10}, {0, 0, 50, 50}), (Rect{50, 0, 70, 10}));
    EXPECT_EQ(ClipInclusiveRect({0, 0, kMax, kMax}, {0, 0, kMax, kMax}), (Rect{0, 0, kMax - 1, kMax - 1}));
}
