#include "uikit/tab_strip_layout.h"

#include <gtest/gtest.h>

namespace {

using Spans = std::vector<std::pair<int, int>>;
const Rect kClient{0, 0, 400, 24}; // tab area (1, 1, 399, 23): 22 high
const QString kTwenty(20, u'x');   // 234 wide, 84 shortened

// Ten pixels a character: the sample "一二..." measures 50.
TabStripLayout strip(const std::vector<QString>& texts, int selected)
{
    TabStripLayout s;
    s.measure = [](const QString& t) { return 10 * int(t.size()); };
    for (const QString& text : texts) {
        s.tabs.push_back(std::make_shared<CUiTab>());
        s.tabs.back()->text = text;
    }
    s.selected = selected;
    return s;
}

// Left and right of tabs [from, to).
Spans spans(const TabStripLayout& s, int from = 0, int to = -1)
{
    Spans out;
    for (int i = from; i < (to < 0 ? int(s.tabs.size()) : to); ++i)
        out.emplace_back(s.tabs[size_t(i)]->rect.left, s.tabs[size_t(i)]->rect.right);
    return out;
}

TEST(TabStripLayout, ThreePassesKeepTheSelectedTabWholeAndInView)
{
    // Pass 1: 12 + 22 + extent each. Pass 2: unselected tabs as the sample.
    TabStripLayout fits = strip({"ab", "cdef", "g"}, 1);
    fits.Layout(kClient);
    EXPECT_EQ(spans(fits), (Spans{{1, 55}, {55, 129}, {129, 173}}));
    TabStripLayout shortened = strip({QString(10, u'a'), "甲乙丙" + kTwenty, kTwenty}, 0);
    shortened.Layout(kClient);
    EXPECT_EQ(spans(shortened), (Spans{{1, 135}, {135, 219}, {219, 303}}));
    EXPECT_EQ(shortened.menuArea, Rect{});
    EXPECT_EQ(shortened.ShownText(0), QString(10, u'a'));
    EXPECT_EQ(shortened.ShownText(1), "甲乙...");
    shortened.tabs[2]->text = QString::fromUtf8("\xF0\x9F\x98\x80") + "bc" + kTwenty; // one character, two units
    EXPECT_EQ(shortened.ShownText(2), QString::fromUtf8("\xF0\x9F\x98\x80") + "b...");

    // Pass 3: the button takes (3 x 24) / 2 at the right, the area ends 1
    // before it. A tab far off to the right comes in at the right end.
    TabStripLayout s = strip(std::vector<QString>(10, kTwenty), 5);
    s.Layout(kClient);
    EXPECT_EQ(s.menuArea, (Rect{363, 1, 399, 23}));
    EXPECT_EQ(s.tabArea, (Rect{1, 1, 362, 23}));
    EXPECT_EQ(spans(s, 4, 7), (Spans{{44, 128}, {128, 362}, {362, 446}}));
    // In view in the left half it grows leftwards, held at the area's left.
    s.selected = 4;
    s.Layout(kClient);
    EXPECT_EQ(spans(s, 3, 6), (Spans{{-83, 1}, {1, 235}, {235, 319}}));
    for (const auto& t : s.tabs)
        EXPECT_TRUE(t->rect.top == 1 && t->rect.bottom == 23);

    // In the right half it grows rightwards; with little before it the row
    // starts at the area's left again.
    TabStripLayout few = strip({"a", kTwenty, kTwenty, kTwenty, kTwenty, kTwenty}, 1);
    few.tabs[1]->rect = Rect{250, 1, 300, 23};
    few.Layout(kClient);
    EXPECT_EQ(spans(few), (Spans{{1, 85}, {85, 319}, {319, 403}, {403, 487}, {487, 571}, {571, 655}}));
    // The last tab selected: the row ends at the area's right.
    TabStripLayout last = strip(std::vector<QString>(6, kTwenty), 5);
    last.tabs[5]->rect = Rect{10, 1, 60, 23};
    last.Layout(kClient);
    EXPECT_EQ(spans(last, 4), (Spans{{44, 128}, {128, 362}}));
}

TEST(TabStripLayout, ButtonsAndHitTesting)
{
    TabStripLayout s = strip(std::vector<QString>(10, kTwenty), 0);
    s.Layout(kClient);
    EXPECT_EQ(s.MenuRect(), Rect{}); // no image, no button
    s.closeImage = Size{32, 16};     // two 16-pixel frames
    s.menuImage = Size{32, 16};
    EXPECT_EQ(s.CloseRect(0), (Rect{215, 4, 231, 20}));
    EXPECT_EQ(s.MenuRect(), (Rect{379, 4, 395, 20}));
    // {x, y, code, index}
    int index = 7;
    const int cases[][4] = {{225, 12, 2, 0},  {214, 12, 1, 0},  {240, 12, 1, 1}, {299, 12, 2, 1},
                            {380, 12, 3, -1}, {365, 12, 0, -1}, {0, 12, 0, -1},  {100, 23, 0, -1}};
    for (const auto& c : cases) {
        EXPECT_EQ(s.HitTest(Point{c[0], c[1]}, index), c[2]) << c[0] << "," << c[1];
        EXPECT_EQ(index, c[3]) << c[0] << "," << c[1];
    }
}

} // namespace
