#include "uikit/caption_layout.h"
#include "uikit/caption_title.h"
#include "uikit/nc_codes.h"
#include "uikit/system_menu.h"

#include <gtest/gtest.h>
#include <ostream>

void PrintTo(const Rect& r, std::ostream* os)
{
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

constexpr unsigned kFullStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME;
constexpr Size kGlyph{26, 18};

// The frame the caption is drawn for: 800 x 600, a coloured tool row (40
// high) with three 32 x 32 buttons.
CaptionInput frame800(unsigned style = kFullStyle)
{
    CaptionInput in;
    in.window = Rect{100, 100, 900, 700};
    in.style = style;
    in.glyph = kGlyph;
    in.toolBarShown = true;
    in.toolRowHeight = 40;
    in.toolImages = {{32, 32}, {32, 32}, {32, 32}};
    return in;
}

TEST(CaptionLayout, PlacesCaptionTitleToolRowAndClientOfAFrame)
{
    const CaptionLayout L = LayoutCaption(frame800());
    EXPECT_EQ(L.window, (Rect{0, 0, 800, 600}));
    EXPECT_EQ(L.captionRow, (Rect{3, 3, 797, 27}));
    EXPECT_EQ(L.caption, (Rect{3, 3, 797, 67}));
    EXPECT_EQ(L.client, (Rect{3, 67, 797, 597}));
    EXPECT_EQ(L.text, (Rect{350, 6, 450, 27}));
    EXPECT_EQ(L.toolRow, (Rect{11, 27, 797, 69}));
    EXPECT_EQ(L.toolFill, (Rect{3, 27, 797, 67}));
    EXPECT_EQ(L.toolMargin, 3);
    ASSERT_EQ(L.tools.size(), 3u);
    EXPECT_EQ(L.tools[0].button, (Rect{11, 29, 49, 67}));
    EXPECT_EQ(L.tools[1].button, (Rect{74, 29, 112, 67}));
    EXPECT_EQ(L.tools[2].button, (Rect{137, 29, 175, 67}));
    EXPECT_EQ(L.tools[0].label, (Rect{-7, 69, 63, 84}));
    EXPECT_EQ(L.tools[1].label, (Rect{59, 69, 132, 84}));
    EXPECT_EQ(L.tools[2].label, (Rect{132, 69, 180, 84}));

    // Close rightmost, each button 2 pixels from its right neighbour or the
    // row's edge, vertically centred in the row.
    EXPECT_EQ(L.buttons[kCloseButton], (Rect{769, 6, 795, 24}));
    EXPECT_EQ(L.buttons[kMaxButton], (Rect{741, 6, 767, 24}));
    EXPECT_EQ(L.buttons[kMinButton], (Rect{713, 6, 739, 24}));
    EXPECT_EQ(L.buttonStates, (std::array<int, 3>{kStateNormal, kStateNormal, kStateNormal}));
    EXPECT_EQ(L.menuBar, (Rect{5, 6, 705, 27}));

    // A first image of 48 x 48 gives a 4-pixel inner margin; a left margin
    // moves the menu bar and the tool row.
    CaptionInput big = frame800();
    big.toolImages = {{48, 48}, {32, 32}};
    big.leftMargin = 20;
    const CaptionLayout B = LayoutCaption(big);
    EXPECT_EQ(B.toolMargin, 4);
    EXPECT_EQ(B.tools[0].button, (Rect{31, 21, 87, 77})); // a half of -13 truncates to -6
    EXPECT_EQ(B.tools[1].button, (Rect{112, 28, 152, 68}));
    EXPECT_EQ(B.menuBar.left, 25);
}

TEST(CaptionLayout, FollowsTheFrameStyleStateAndToolRow)
{
    // No caption: the border only.
    CaptionInput none = frame800();
    none.noCaption = true;
    const CaptionLayout N = LayoutCaption(none);
    EXPECT_TRUE(N.caption == Rect{});
    EXPECT_EQ(N.client, (Rect{3, 3, 797, 597}));
    EXPECT_TRUE(N.tools[0].button == Rect{});

    // A maximise box without a minimise box: a disabled minimise button.
    const CaptionLayout M = LayoutCaption(frame800(WS_CAPTION | WS_SYSMENU | WS_MAXIMIZEBOX));
    EXPECT_EQ(M.buttons[kMinButton], (Rect{713, 6, 739, 24}));
    EXPECT_EQ(M.buttonStates[kMinButton], kStateDisabled);
    EXPECT_EQ(M.buttonStates[kMaxButton], kStateNormal);

    // Close alone without boxes; no control buttons without a system menu.
    const CaptionLayout C = LayoutCaption(frame800(WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(C.buttons[kCloseButton], (Rect{769, 6, 795, 24}));
    EXPECT_TRUE(C.buttons[kMaxButton] == Rect{});
    EXPECT_EQ(C.menuBar.right, 769 - 8);
    const CaptionLayout S = LayoutCaption(frame800(WS_CAPTION | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    for (const Rect& r : S.buttons)
        EXPECT_TRUE(r == Rect{});

    // Maximised: no border; the caption row starts at the top-left corner.
    const CaptionLayout X = LayoutCaption(frame800(kFullStyle | WS_MAXIMIZE));
    EXPECT_EQ(X.border, 0);
    EXPECT_EQ(X.captionRow, (Rect{0, 0, 800, 24}));
    EXPECT_EQ(X.client, (Rect{0, 64, 800, 600}));
    EXPECT_EQ(X.buttons[kCloseButton], (Rect{772, 3, 798, 21}));

    // A tool row whose background failed: no row, no room.
    CaptionInput failed = frame800();
    failed.toolRowHeight = 0;
    const CaptionLayout F = LayoutCaption(failed);
    EXPECT_EQ(F.caption, (Rect{3, 3, 797, 27}));
    EXPECT_EQ(F.client.top, 27);
    EXPECT_TRUE(F.toolRow == Rect{});
    EXPECT_TRUE(F.tools[2].button == Rect{});

    // Nothing in the tool row: it takes no room at all.
    CaptionInput empty = frame800();
    empty.toolBarShown = false;
    empty.toolImages.clear();
    EXPECT_EQ(LayoutCaption(empty).client, (Rect{3, 27, 797, 597}));
}

TEST(CaptionHitTest, AnswersTheCodeOfEachArea)
{
    CaptionInput in = frame800();
    in.menuItems = {{40, 20}}; // in the menu bar at (5, 7, 45, 27)
    const CaptionLayout L = LayoutCaption(in);
    struct Case {
        Point pt;
        int code;
    };
    const Case cases[] = {
        {{20, 40}, HTBORDER},     {{400, 15}, HTCAPTION},   {{200, 60}, HTCAPTION}, {{780, 15}, HTCLOSE},
        {{750, 15}, HTMAXBUTTON}, {{720, 15}, HTMINBUTTON}, {{768, 15}, HTCAPTION}, {{1, 300}, HTLEFT},
        {{1, 1}, HTTOPLEFT},      {{400, 1}, HTTOP},        {{798, 300}, HTRIGHT},  {{790, 599}, HTBOTTOMRIGHT},
        {{1, 590}, HTBOTTOMLEFT}, {{400, 598}, HTBOTTOM},   {{400, 300}, HTCLIENT}, {{-1, 5}, HTNOWHERE},
        {{800, 5}, HTNOWHERE},    {{10, 15}, HTMENU},       {{50, 15}, HTCAPTION},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CaptionHitTest(L, kFullStyle, c.pt), c.code) << c.pt.x << "," << c.pt.y;

    // A border that cannot resize, and none at all while maximised.
    EXPECT_EQ(CaptionHitTest(L, kFullStyle & ~WS_THICKFRAME, Point{1, 300}), HTBORDER);
    const CaptionLayout X = LayoutCaption(frame800(kFullStyle | WS_MAXIMIZE));
    EXPECT_EQ(CaptionHitTest(X, kFullStyle | WS_MAXIMIZE, Point{1, 300}), HTCLIENT);
    EXPECT_EQ(CaptionHitTest(X, kFullStyle | WS_MAXIMIZE, Point{1, 1}), HTCAPTION);
}

TEST(CaptionHitTest, DragMovesOrResizesNeverBelowTheMinimum)
{
    const Rect start{100, 100, 900, 700};
    EXPECT_EQ(DragRect(start, HTCAPTION, 30, 20, kFrameMinSize), (Rect{130, 120, 930, 720}));
    EXPECT_EQ(DragRect(start, HTBOTTOMRIGHT, 50, 40, kFrameMinSize), (Rect{100, 100, 950, 740}));
    EXPECT_EQ(DragRect(start, HTTOPLEFT, -10, 5, kFrameMinSize), (Rect{90, 105, 900, 700}));
    EXPECT_EQ(DragRect(start, HTLEFT, 700, 700, kFrameMinSize), (Rect{500, 100, 900, 700}));
    EXPECT_EQ(DragRect(start, HTBOTTOM, 0, -500, kFrameMinSize), (Rect{100, 100, 900, 400}));
    EXPECT_EQ(DragRect(start, HTCLIENT, 30, 20, kFrameMinSize), start);
}

TEST(CaptionTitle, SplitsAtHyphenRunsAndDrawsTheLeadingPartsThatFit)
{
    EXPECT_EQ(SplitTitle("A - B-C"), (std::vector<QString>{"A", "B", "C"}));
    EXPECT_EQ(SplitTitle("-Tavrix-"), (std::vector<QString>{"Tavrix"}));
    EXPECT_EQ(SplitTitle("Tavrix"), (std::vector<QString>{"Tavrix"}));
    EXPECT_EQ(SplitTitle(" 方案1 --- 处理器 "), (std::vector<QString>{"方案1", "处理器"}));
    EXPECT_TRUE(SplitTitle("").empty());
    EXPECT_TRUE(SplitTitle("- - -").empty());
    EXPECT_EQ(SplitTitle(QString(10000, 'x')).size(), 1u);

    EXPECT_EQ(FitTitle({60, 30, 30}, 10, 100).count, 2); // 60 + 10 + 30 = 100
    EXPECT_EQ(FitTitle({60, 30, 30}, 10, 100).width, 100);
    EXPECT_EQ(FitTitle({50, 41}, 10, 100).count, 1);
    EXPECT_EQ(FitTitle({101, 10}, 10, 100).count, 0); // a too wide first part: nothing
    EXPECT_EQ(FitTitle({}, 10, 100).count, 0);
}

TEST(SystemMenu, EnablesItemsByStyleAndStateAndDefaultsToClose)
{
    struct Case {
        unsigned style;
        bool restore, move, size, minimise, maximise;
        int defaultId;
    };
    const Case cases[] = {
        {kFullStyle, false, true, true, true, true, SC_CLOSE},
        {kFullStyle | WS_MAXIMIZE, true, false, false, true, false, SC_CLOSE},
        {kFullStyle | WS_MINIMIZE, true, false, false, false, true, SC_RESTORE},
        {kFullStyle & ~(WS_THICKFRAME | WS_MINIMIZEBOX), false, true, false, false, true, SC_CLOSE},
    };
    for (const Case& c : cases) {
        const ui::MenuSpec menu = SystemMenuSpec(c.style);
        const bool expected[] = {c.restore, c.move, c.size, c.minimise, c.maximise, true};
        const int ids[] = {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE};
        for (int i = 0; i < 6; ++i) {
            ASSERT_NE(menu.find(ids[i]), nullptr);
            EXPECT_EQ(menu.find(ids[i])->enabled, expected[i]) << std::hex << c.style << " " << ids[i];
            EXPECT_EQ(menu.find(ids[i])->isDefault, ids[i] == c.defaultId);
        }
    }
    // Without a translation table the texts stay as written.
    EXPECT_EQ(SystemMenuSpec(kFullStyle).find(SC_CLOSE)->text, "关闭");

    EXPECT_EQ(ControlButtonCommand(kMinButton, kFullStyle), SC_MINIMIZE);
    EXPECT_EQ(ControlButtonCommand(kMinButton, kFullStyle | WS_MINIMIZE), SC_RESTORE);
    EXPECT_EQ(ControlButtonCommand(kMaxButton, kFullStyle | WS_MAXIMIZE), SC_RESTORE);
    EXPECT_EQ(ControlButtonCommand(kMaxButton, kFullStyle), SC_MAXIMIZE);
    EXPECT_EQ(ControlButtonCommand(kMinButton, kFullStyle & ~WS_MINIMIZEBOX), 0);
    EXPECT_EQ(ControlButtonCommand(kCloseButton, kFullStyle & ~WS_SYSMENU), 0);
}

} // namespace
