#include "builder/fpga_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

using namespace _8PART_NS;

namespace {
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
} // namespace

TEST(FpgaGeometry, EvenEdgeRuleGivesEvenEdgesAndTwoPixelsAtLeast)
{
    EXPECT_EQ(EvenEdges({3, -4, 9, -3}), (Rect{4, 0, 8, 2}));
    EXPECT_EQ(EvenEdges({0, 0, 1, 1}), (Rect{0, 0, 2, 2}));
    EXPECT_EQ(EvenEdges({1, 5, 7, 9}), (Rect{2, 5, 6, 9}));
    EXPECT_EQ(EvenEdges({-7, 0, -5, 10}), (Rect{0, 0, 2, 10}));
    EXPECT_EQ(EvenRectFromXYWH(1, 2, 1920, 1080), (Rect{2, 2, 1920, 1082}));

    // Extremes are clamped instead of overflowing.
    EXPECT_EQ(EvenEdges({kMax, kMax, kMax, kMax}), (Rect{kMax, kMax, kMax, kMax}));
    EXPECT_EQ(EvenEdges({kMin, kMin, kMin, kMin}), (Rect{0, 0, 2, 2}));
    EXPECT_EQ(EvenRectFromXYWH(kMax - 1, kMax, kMax, kMax), (Rect{kMax - 1, kMax, kMax, kMax}));
}

TEST(FpgaGeometry, SourceAndCropRectanglesFollowCropScaleAndSourceSize)
{
    EXPECT_EQ(SourceRect({10, 20, 30, 40}, 800, 600), (Rect{10, 20, 30, 40}));
    EXPECT_EQ(SourceRect({}, 800, 600), (Rect{0, 0, 800, 600}));
    EXPECT_EQ(SourceRect({}, 0, 600), (Rect{0, 0, 1920, 1080}));
    EXPECT_EQ(SourceRect({5, 5, 5, 9}, 0, 0), (Rect{0, 0, 1920, 1080})); // empty crop

    int32_t w = 0, h = 0;
    EXPECT_EQ(SourceRectFill({}, w, h), (Rect{0, 0, 1920, 1080}));
    EXPECT_EQ(w, 1920);
    EXPECT_EQ(h, 1080);
    w = 0, h = 700; // only one side missing: counted as default, kept as it is
    EXPECT_EQ(SourceRectFill({}, w, h), (Rect{0, 0, 1920, 1080}));
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 700);
    w = 0, h = 0; // a crop leaves the source alone
    EXPECT_EQ(SourceRectFill({0, 0, 4, 4}, w, h), (Rect{0, 0, 4, 4}));
    EXPECT_EQ(w, 0);

    WindowGeometry win;
    win.area = {100, 50, 900, 650};
    win.scaled = false;
    EXPECT_EQ(CropRect(win), (Rect{0, 0, 800, 600}));
    EXPECT_EQ(PieceSourceRect(win), (Rect{100, 50, 900, 650}));
    win.scaled = true;
    EXPECT_EQ(CropRect(win), (Rect{0, 0, 1920, 1080}));
    EXPECT_EQ(PieceSourceRect(win), win.area);

    // Unscaled: the crop keeps its corner and shrinks to the area; the area
    // shrinks to the crop.
    win.scaled = false;
    win.crop = {301, 0, 501, 3000};
    EXPECT_EQ(CropRect(win), (Rect{301, 0, 501, 600}));
    EXPECT_EQ(RoundRectEven(win), (Rect{302, 0, 500, 600}));
    EXPECT_EQ(PieceSourceRect(win), (Rect{100, 50, 300, 650}));
    win.area = {101, 51, 161, 81};
    EXPECT_EQ(PieceSourceRectEven(win), (Rect{102, 51, 160, 81}));

    // Any 32-bit value: no overflow, a clamped rectangle.
    win.crop = {kMin, kMin, kMax, kMax};
    win.area = {kMax - 2, kMax - 2, kMin, kMin};
    EXPECT_EQ(CropRect(win), (Rect{kMin, kMin, kMin, kMin}));
    win.area = {kMin, kMin, kMax, kMax};
    EXPECT_EQ(PieceSourceRect(win), (Rect{kMin, kMin, kMax, kMax}));
    win.crop = {};
    win.sourceWidth = kMax;
    win.sourceHeight = kMin;
    EXPECT_EQ(PieceSourceRect(win), (Rect{kMin, kMin, -1, kMin}));
}

TEST(FpgaGeometry, MapScaledRectRoundsHorizontalUpToEvenAndVerticalOnTenths)
{
    ScaleRecord s;
    EXPECT_EQ(MapScaledRect(s, {0, 0, 1920, 1080}), (Rect{0, 0, 1920, 1080}));
    EXPECT_EQ(MapScaledRect(s, {1, 1, 5, 5}), (Rect{2, 1, 6, 5}));

    // Bottom at 1919.5 (tenths digit 5) goes down, at 1919.75 up.
    s.d = 2048.0;
    EXPECT_EQ(MapScaledRect(s, {0, 0, 100, 3839}).bottom, 1919);
    s.d = 1024.0;
    EXPECT_EQ(MapScaledRect(s, {0, 0, 100, 7679}).bottom, 1920);
    // Over 4096 lines the part's top is c itself: 0.75 goes up, 0.5 and
    // 0.45 down.
    ResetScaleRecord(s);
    s.c = 0.75;
    EXPECT_EQ(MapScaledRect(s, {0, 0, 4, 4096}).top, 1);
    s.c = 0.5;
    EXPECT_EQ(MapScaledRect(s, {0, 0, 4, 4096}).top, 0);
    s.c = 0.45;
    EXPECT_EQ(MapScaledRect(s, {0, 0, 4, 4096}).top, 0);

    // Horizontal: 1.5 truncates to odd 1, so 2.5 truncated gives 2; 3 goes up to 4.
    ResetScaleRecord(s);
    s.a = 1.5 * 4096.0 / 8.0;
    s.b = 3.0 * 4096.0 / 8.0;
    const Rect r = MapScaledRect(s, {0, 0, 8, 8});
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.right, 4);

    // Degenerate base ranges or huge coordinates never leave the int range.
    s.bx0 = s.bx1 = 5.0;
    s.by0 = s.by1 = 5.0;
    EXPECT_EQ(MapScaledRect(s, {kMin, kMin, kMax, kMax}), (Rect{kMin, kMin, kMin, kMin}));
    ResetScaleRecord(s);
    s.b = 1e300;
    s.d = -1e300;
    EXPECT_EQ(MapScaledRect(s, {0, 0, kMax, kMax}), (Rect{0, 0, kMax, kMin}));
}

TEST(FpgaGeometry, MapCropTo4096DescribesThePartAndMapsBack)
{
    ScaleRecord s;
    s.a = s.c = 7.0;
    MapCropTo4096(s, {3, 5, 17, 33}, {3, 5, 17, 33});
    EXPECT_EQ(s, ScaleRecord{});
    s.bx0 = 100.0; // coinciding edges take the constants whatever the base
    s.bx1 = 101.0;
    MapCropTo4096(s, {0, 0, 7, 9}, {0, 0, 7, 9});
    EXPECT_EQ(s.a, 0.0);
    EXPECT_EQ(s.b, 4096.0);

    ResetScaleRecord(s);
    MapCropTo4096(s, {960, 0, 1920, 1080}, {960, 0, 2880, 1080});
    EXPECT_EQ(s.a, 0.0);
    EXPECT_EQ(s.b, 2048.0);
    EXPECT_EQ(s.c, 0.0);
    EXPECT_EQ(s.d, 4096.0);
    EXPECT_EQ(MapScaledRectEven(s, {0, 0, 1920, 1080}), (Rect{0, 0, 960, 1080}));
    s.a = 2048.0;
    s.b = 4096.0;
    EXPECT_EQ(MapScaledRectEven(s, {0, 0, 1920, 1080}), (Rect{960, 0, 1920, 1080}));

    // A quarter in both directions, mapped onto another size.
    ResetScaleRecord(s);
    MapCropTo4096(s, {100, 200, 300, 400}, {0, 0, 400, 800});
    EXPECT_EQ(s.a, 1024.0);
    EXPECT_EQ(s.b, 3072.0);
    EXPECT_EQ(s.c, 1024.0);
    EXPECT_EQ(s.d, 2048.0);
    EXPECT_EQ(MapScaledRect(s, {0, 0, 1920, 1080}), (Rect{480, 270, 1440, 540}));

    // A whole without extent gives zeros instead of infinities.
    ResetScaleRecord(s);
    MapCropTo4096(s, {1, 1, 2, 2}, {0, 0, 0, 0});
    EXPECT_EQ(s.a, 0.0);
    EXPECT_EQ(s.b, 0.0);
    MapCropTo4096(s, {kMin, kMin, kMax, kMax}, {kMax, kMax, kMin, kMin});
    EXPECT_EQ(s.a, 4096.0);
    EXPECT_EQ(s.b, 0.0);
    EXPECT_EQ(MapScaledRect(s, {0, 0, 100, 100}), (Rect{100, 100, 0, 0}));
}

TEST(FpgaGeometry, ClipInclusiveRectKeepsInclusiveFormAndIgnoresMisses)
{
    EXPECT_EQ(ClipInclusiveRect({-10, -10, 99, 49}, {0, 0, 50, 50}), (Rect{0, 0, 49, 49}));
    EXPECT_EQ(ClipInclusiveRect({10, 10, 19, 19}, {0, 0, 50, 50}), (Rect{10, 10, 19, 19}));
    EXPECT_EQ(ClipInclusiveRect({60, 0, 70, 10}, {0, 0, 50, 50}), (Rect{60, 0, 70, 10}));
    EXPECT_EQ(ClipInclusiveRect({50, 0, 70, 10}, {0, 0, 50, 50}), (Rect{50, 0, 70, 10}));
    EXPECT_EQ(ClipInclusiveRect({49, 0, 70, 10}, {0, 0, 50, 50}), (Rect{49, 0, 49, 10}));
    EXPECT_EQ(ClipInclusiveRect({0, 0, kMax, kMax}, {0, 0, kMax, kMax}),
              (Rect{0, 0, kMax - 1, kMax - 1}));
}

TEST(FpgaGeometry, ComparatorsSortByXThenByY)
{
    std::vector<std::shared_ptr<Rect>> v{std::make_shared<Rect>(Rect{5, -1, 0, 0}),
                                         std::make_shared<Rect>(Rect{-3, 7, 0, 0}),
                                         std::make_shared<Rect>(Rect{2, 3, 0, 0})};
    std::sort(v.begin(), v.end(), LessByFirst<std::shared_ptr<Rect>>);
    EXPECT_EQ(v[0]->left, -3);
    EXPECT_EQ(v[2]->left, 5);
    std::sort(v.begin(), v.end(), LessBySecond<std::shared_ptr<Rect>>);
    EXPECT_EQ(v[0]->top, -1);
    EXPECT_EQ(v[2]->top, 7);
}
