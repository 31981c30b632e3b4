#include "builder/gsystem.h"
#include "literal_gsystem.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

using namespace _8PART_NS;

TEST(GSystem, RequestsWithoutSizeOrLargerThanTheAreaNeverAllocate)
{
    const int32_t kMax = std::numeric_limits<int32_t>::max();
    CGSystem plain(1920, 2400);
    CTwoWndPerSegGSystem seg(1920, 2400, 5);
    for (CGSystem* g : {static_cast<CGSystem*>(&plain), static_cast<CGSystem*>(&seg)}) {
        EXPECT_EQ(g->Allocate(0, 10), nullptr);
        EXPECT_EQ(g->Allocate(10, 0), nullptr);
        EXPECT_EQ(g->Allocate(-5, 10), nullptr);
        EXPECT_EQ(g->Allocate(1921, 10), nullptr);
        EXPECT_EQ(g->Allocate(10, 2401), nullptr);
        EXPECT_EQ(g->Allocate(kMax, kMax), nullptr);
        EXPECT_TRUE(IsRectEmpty(g->FindFree(0, 0)));
        const Rect* all = g->Allocate(1920, 2400);
        ASSERT_NE(all, nullptr);
        EXPECT_EQ(*all, (Rect{0, 0, 1920, 2400}));
    }

    // The slot allocator hands a slot even to a request of no size.
    CTwoWndPerGTPGSystem slots(1920, 2400);
    EXPECT_EQ(slots.Allocate(-1, 5), nullptr);
    const Rect* none = slots.Allocate(0, 0);
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(*none, (Rect{0, 0, 0, 0}));
    const Rect* flat = slots.Allocate(10, 0);
    ASSERT_NE(flat, nullptr);
    EXPECT_EQ(*flat, (Rect{0, 1200, 10, 1200}));
    EXPECT_EQ(slots.Allocate(1, 1), nullptr);
}

TEST(GSystem, FirstFitTakesLowestLineThenLeftmostPlace)
{
    CGSystem g(100, 100);
    const Rect* a = g.Allocate(30, 10);
    const Rect* b = g.Allocate(30, 10);
    const Rect* c = g.Allocate(50, 10);
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(*a, (Rect{0, 0, 30, 10}));
    EXPECT_EQ(*b, (Rect{30, 0, 60, 10}));
    EXPECT_EQ(*c, (Rect{0, 10, 50, 20}));
    EXPECT_EQ(g.FindFree(40, 5), (Rect{60, 0, 100, 5}));

    g.Free(a);
    const Rect* d = g.Allocate(20, 5);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(*d, (Rect{0, 0, 20, 5}));

    // Addresses it never handed out change nothing.
    Rect outside{60, 0, 100, 100};
    CGSystem other(100, 100);
    g.Free(&outside);
    g.Free(other.Allocate(10, 10));
    g.Free(nullptr);
    EXPECT_EQ(g.FindFree(40, 5), (Rect{60, 0, 100, 5}));
    EXPECT_EQ(g.FindFree(30, 10), (Rect{60, 0, 90, 10}));

    g.Reset();
    EXPECT_EQ(g.FindFree(100, 100), (Rect{0, 0, 100, 100}));
}

TEST(TwoWndPerSegGSystem, FirstFitWithinTheSegmentLimit)
{
    CTwoWndPerSegGSystem g(1920, 2400, 5);
    const Rect* first = g.Allocate(1920, 1000);
    const Rect* second = g.Allocate(1920, 100);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(*first, (Rect{0, 0, 1920, 1000}));
    EXPECT_EQ(*second, (Rect{0, 1000, 1920, 1100}));
    g.Free(first);
    EXPECT_EQ(g.Allocate(2, 1301), nullptr);
    const Rect* narrow = g.Allocate(2, 1300);
    ASSERT_NE(narrow, nullptr);
    EXPECT_EQ(*narrow, (Rect{0, 1100, 2, 2400}));

    // Five segment edges use the limit up: every request fails, even the
    // smallest, until one is freed.
    CTwoWndPerSegGSystem full(1920, 2400, 5);
    const Rect* bands[5];
    for (int i = 0; i < 5; ++i) {
        bands[i] = full.Allocate(1920, 100);
        ASSERT_NE(bands[i], nullptr);
        EXPECT_EQ(*bands[i], (Rect{0, 100 * i, 1920, 100 * (i + 1)}));
    }
    EXPECT_EQ(full.Allocate(2, 2), nullptr);
    full.Free(bands[4]);
    const Rect* again = full.Allocate(2, 2);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(*again, (Rect{0, 400, 2, 402}));
}

TEST(TwoWndPerSegGSystem, CountsSegmentEdgesUpToLine2400)
{
    using G = CTwoWndPerSegGSystem;
    EXPECT_EQ(G::CountSegments({}), 0u);
    EXPECT_EQ(G::CountSegments({{0, 0, 5, 1}}), 1u);
    // A bottom and the next top one line apart count once.
    EXPECT_EQ(G::CountSegments({{0, 100, 10, 200}, {0, 201, 10, 300}}), 3u);
    // Of three consecutive values the first and third count.
    EXPECT_EQ(G::CountSegments({{0, 10, 5, 11}, {0, 11, 5, 12}}), 2u);
    EXPECT_EQ(G::CountSegments({{0, 10, 5, 11}, {0, 11, 5, 12}, {0, 12, 5, 13}}), 2u);
    // Shared edges count once.
    EXPECT_EQ(G::CountSegments({{0, 0, 5, 50}, {5, 0, 9, 50}}), 1u);
    // 2400 is fixed; a bottom counts only when its top did.
    EXPECT_EQ(G::CountSegments({{0, 2300, 5, 2500}}), 1u);
    EXPECT_EQ(G::CountSegments({{0, 2400, 5, 2400}}), 1u);
    EXPECT_EQ(G::CountSegments({{0, 2401, 5, 2402}}), 0u);

    // On a taller area, windows below line 2400 add no edges.
    G tall(100, 4800, 1);
    const Rect* top = tall.Allocate(100, 2500);
    const Rect* below = tall.Allocate(100, 100);
    ASSERT_TRUE(top && below);
    EXPECT_EQ(*below, (Rect{0, 2500, 100, 2600}));
}

TEST(TwoWndPerSegGSystem, SkipsLinesCrossedByTwoWindows)
{
    CTwoWndPerSegGSystem g(1920, 2400, 9);
    const Rect* a = g.Allocate(500, 100);
    const Rect* b = g.Allocate(500, 100);
    const Rect* c = g.Allocate(500, 100);
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(*a, (Rect{0, 0, 500, 100}));
    EXPECT_EQ(*b, (Rect{500, 0, 1000, 100}));
    // (1000, 0) is free, but two windows already cross those lines.
    EXPECT_EQ(*c, (Rect{0, 100, 500, 200}));
}

TEST(TwoWndPerSegGSystem, WindowOnLeftEdgeAllowsOnlyThePlaceBesideIt)
{
    CTwoWndPerSegGSystem g(1920, 2400, 9);
    const Rect* left = g.Allocate(100, 2400);
    const Rect* upper = g.Allocate(100, 50);
    const Rect* middle = g.Allocate(100, 100);
    ASSERT_TRUE(left && upper && middle);
    EXPECT_EQ(*upper, (Rect{100, 0, 200, 50}));
    EXPECT_EQ(*middle, (Rect{100, 50, 200, 150}));
    g.Free(upper);

    // (200, 0) would fit, but beside the left window is the only candidate.
    const Rect* next = g.Allocate(100, 100);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(*next, (Rect{100, 150, 200, 250}));
}

TEST(TwoWndPerGTPGSystem, HandsOutWholeSlotsOf1200Lines)
{
    CTwoWndPerGTPGSystem g(1920, 2400);
    EXPECT_EQ(g.SlotCount(), 2u);
    const Rect* a = g.Allocate(1920, 1080);
    const Rect* b = g.Allocate(1920, 1080);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(*a, (Rect{0, 0, 1920, 1080}));
    EXPECT_EQ(*b, (Rect{0, 1200, 1920, 2280}));
    EXPECT_EQ(g.Allocate(2, 2), nullptr);

    Rect foreign{0, 0, 1920, 1080};
    g.Free(&foreign);
    EXPECT_EQ(g.Allocate(2, 2), nullptr);

    g.Free(a);
    EXPECT_EQ(g.Allocate(1921, 10), nullptr);
    EXPECT_EQ(g.Allocate(10, 1201), nullptr);
    const Rect* c = g.Allocate(1920, 1200);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(*c, (Rect{0, 0, 1920, 1200}));

    g.Reset();
    EXPECT_NE(g.Allocate(1, 1), nullptr);
    EXPECT_NE(g.Allocate(1, 1), nullptr);

    EXPECT_EQ(CTwoWndPerGTPGSystem(1920, 1199).SlotCount(), 0u);
    EXPECT_EQ(CTwoWndPerGTPGSystem(1920, 1199).Allocate(1, 1), nullptr);
    EXPECT_EQ(CTwoWndPerGTPGSystem(1920, 3599).SlotCount(), 2u);
}

// The production scans skip ahead where the literal scan steps a pixel at a
// time; both must end on the same rectangles.
TEST(GSystem, MatchesTheLiteralScanOnRandomSequences)
{
    struct Setup {
        unsigned maximum; // 0: plain first fit
        int operations;
    };
    for (const Setup& s : {Setup{0, 600}, Setup{5, 600}, Setup{12, 600}}) {
        SCOPED_TRACE(s.maximum);
        std::mt19937 rng(20240517 + s.maximum);
        auto pick = [&rng](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };

        std::unique_ptr<CGSystem> g;
        if (s.maximum)
            g = std::make_unique<CTwoWndPerSegGSystem>(1920, 2400, s.maximum);
        else
            g = std::make_unique<CGSystem>(1920, 2400);
        literal::GSystem ref(1920, 2400, s.maximum);

        std::vector<std::pair<const Rect*, int>> live;
        int allocated = 0;
        for (int op = 0; op < s.operations; ++op) {
            if (!live.empty() && pick(0, 9) < 4) {
                const size_t i = size_t(pick(0, int(live.size()) - 1));
                g->Free(live[i].first);
                ref.Free(live[i].second);
                live.erase(live.begin() + long(i));
                continue;
            }
            // Small sizes are the common case; keep some large ones too.
            const int w = pick(2, pick(2, 1920));
            const int h = pick(2, pick(2, 2400));
            Rect expected;
            const int id = ref.Allocate(w, h, &expected);
            const Rect* got = g->Allocate(w, h);
            ASSERT_EQ(got != nullptr, id >= 0) << "op " << op << ": " << w << " x " << h;
            if (got) {
                ASSERT_EQ(*got, expected) << "op " << op << ": " << w << " x " << h;
                live.emplace_back(got, id);
                ++allocated;
            }
        }
        EXPECT_GT(allocated, 20);
    }
}
