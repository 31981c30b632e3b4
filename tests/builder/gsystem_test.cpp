#include "builder/gsystem.h"
#include "literal_gsystem.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <random>

using namespace _8PART_NS;

namespace {
Rect At(const Rect* r)
{
    return r ? *r : Rect{-1, -1, -1, -1};
}
} // namespace

TEST(GSystem, FirstFitRefusesEmptyOrOversizedRequestsAndForeignFrees)
{
    CGSystem plain(100, 100);
    CTwoWndPerSegGSystem seg(100, 100, 5);
    for (CGSystem* g : {&plain, static_cast<CGSystem*>(&seg)}) {
        for (auto [w, h] : std::initializer_list<std::pair<int32_t, int32_t>>{
                 {0, 10}, {10, 0}, {-5, 10}, {101, 10}, {10, 101}, {INT32_MAX, 1}})
            EXPECT_EQ(g->Allocate(w, h), nullptr) << w << " x " << h;
        EXPECT_EQ(At(g->Allocate(100, 100)), (Rect{0, 0, 100, 100}));
    }

    // Lowest line first, then leftmost x; a freed area is found again.
    CGSystem g(100, 100);
    const Rect* a = g.Allocate(30, 10);
    EXPECT_EQ(At(g.Allocate(30, 10)), (Rect{30, 0, 60, 10}));
    EXPECT_EQ(At(g.Allocate(50, 10)), (Rect{0, 10, 50, 20}));
    g.Free(a);
    EXPECT_EQ(At(g.Allocate(20, 5)), (Rect{0, 0, 20, 5}));

    Rect outside{60, 0, 100, 100};
    g.Free(&outside);
    g.Free(nullptr);
    EXPECT_EQ(g.FindFree(30, 10), (Rect{60, 0, 90, 10}));
    g.Reset();
    EXPECT_EQ(g.FindFree(100, 100), (Rect{0, 0, 100, 100}));
}

TEST(TwoWndPerSegGSystem, FirstFitWithinTheSegmentLimit)
{
    CTwoWndPerSegGSystem g(1920, 2400, 5);
    const Rect* first = g.Allocate(1920, 1000);
    EXPECT_EQ(At(first), (Rect{0, 0, 1920, 1000}));
    EXPECT_EQ(At(g.Allocate(1920, 100)), (Rect{0, 1000, 1920, 1100}));
    g.Free(first);
    EXPECT_EQ(g.Allocate(2, 1301), nullptr);
    EXPECT_EQ(At(g.Allocate(2, 1300)), (Rect{0, 1100, 2, 2400}));

    // Five segment edges use the limit up until one is freed.
    CTwoWndPerSegGSystem full(1920, 2400, 5);
    const Rect* last = nullptr;
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(At(last = full.Allocate(1920, 100)), (Rect{0, 100 * i, 1920, 100 * i + 100}));
    EXPECT_EQ(full.Allocate(2, 2), nullptr);
    full.Free(last);
    EXPECT_EQ(At(full.Allocate(2, 2)), (Rect{0, 400, 2, 402}));
}

TEST(TwoWndPerSegGSystem, CountsSegmentEdgesUpToLine2400)
{
    using G = CTwoWndPerSegGSystem;
    EXPECT_EQ(G::CountSegments({}), 0u);
    EXPECT_EQ(G::CountSegments({{0, 0, 5, 1}}), 1u);
    // A bottom and the next top one line apart count once.
    EXPECT_EQ(G::CountSegments({{0, 100, 10, 200}, {0, 201, 10, 300}}), 3u);
    // Of three consecutive values the first and third count.
    EXPECT_EQ(G::CountSegments({{0, 10, 5, 11}, {0, 11, 5, 12}, {0, 12, 5, 13}}), 2u);
    // 2400 is fixed; a bottom counts only when its top did.
    EXPECT_EQ(G::CountSegments({{0, 2300, 5, 2500}}), 1u);
    EXPECT_EQ(G::CountSegments({{0, 2401, 5, 2402}}), 0u);

    // So on a taller area, windows below line 2400 add no edges.
    G tall(100, 4800, 1);
    tall.Allocate(100, 2500);
    EXPECT_EQ(At(tall.Allocate(100, 100)), (Rect{0, 2500, 100, 2600}));
}

TEST(TwoWndPerSegGSystem, CandidatesObeyTheTwoWindowsPerLineRule)
{
    // (1000, 0) is free, but two windows already cross those lines.
    CTwoWndPerSegGSystem pair(1920, 2400, 9);
    pair.Allocate(500, 100);
    EXPECT_EQ(At(pair.Allocate(500, 100)), (Rect{500, 0, 1000, 100}));
    EXPECT_EQ(At(pair.Allocate(500, 100)), (Rect{0, 100, 500, 200}));

    // Beside a window on the left edge is the only candidate of a line,
    // though (200, 0) would fit.
    CTwoWndPerSegGSystem g(1920, 2400, 9);
    g.Allocate(100, 2400);
    const Rect* upper = g.Allocate(100, 50);
    EXPECT_EQ(At(upper), (Rect{100, 0, 200, 50}));
    EXPECT_EQ(At(g.Allocate(100, 100)), (Rect{100, 50, 200, 150}));
    g.Free(upper);
    EXPECT_EQ(At(g.Allocate(100, 100)), (Rect{100, 150, 200, 250}));
}

TEST(TwoWndPerGTPGSystem, HandsOutWholeSlotsOf1200Lines)
{
    CTwoWndPerGTPGSystem g(1920, 2400);
    const Rect* a = g.Allocate(1920, 1080);
    EXPECT_EQ(At(a), (Rect{0, 0, 1920, 1080}));
    EXPECT_EQ(At(g.Allocate(1920, 1080)), (Rect{0, 1200, 1920, 2280}));
    EXPECT_EQ(g.Allocate(2, 2), nullptr);
    Rect foreign = *a;
    g.Free(&foreign);
    EXPECT_EQ(g.Allocate(2, 2), nullptr);

    g.Free(a);
    EXPECT_EQ(g.Allocate(1921, 10), nullptr);
    EXPECT_EQ(g.Allocate(10, 1201), nullptr);
    EXPECT_EQ(g.Allocate(-1, 5), nullptr);
    EXPECT_EQ(At(g.Allocate(0, 0)), (Rect{0, 0, 0, 0})); // no size still takes a slot
    g.Reset();
    EXPECT_EQ(At(g.Allocate(1920, 1200)), (Rect{0, 0, 1920, 1200}));

    EXPECT_EQ(CTwoWndPerGTPGSystem(1920, 1199).SlotCount(), 0u);
    EXPECT_EQ(CTwoWndPerGTPGSystem(1920, 3599).SlotCount(), 2u);
}

// The production scans skip ahead where the literal scan steps a pixel at a
// time; both must end on the same rectangles.
TEST(GSystem, MatchesTheLiteralScanOnRandomSequences)
{
    // A small area packs tightly: one-line requests, edges on adjacent
    // lines and windows on the left edge come often.
    struct Area {
        int width, height;
        unsigned maximum; // 0: plain first fit
    };
    for (const Area area : {Area{1920, 2400, 0}, Area{1920, 2400, 5}, Area{1920, 2400, 12}, Area{40, 30, 0},
                            Area{40, 30, 9}, Area{40, 30, 40}}) {
        const unsigned maximum = area.maximum;
        SCOPED_TRACE(testing::Message() << area.width << "x" << area.height << " " << maximum);
        std::mt19937 rng(20240517 + maximum);
        auto pick = [&rng](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
        std::unique_ptr<CGSystem> g = maximum ? std::make_unique<CTwoWndPerSegGSystem>(area.width, area.height, maximum)
                                              : std::make_unique<CGSystem>(area.width, area.height);
        literal::GSystem ref(area.width, area.height, maximum);

        std::vector<std::pair<const Rect*, int>> live;
        int allocated = 0;
        for (int op = 0; op < 600; ++op) {
            if (!live.empty() && pick(0, 9) < 4) {
                const size_t i = size_t(pick(0, int(live.size()) - 1));
                g->Free(live[i].first);
                ref.Free(live[i].second);
                live.erase(live.begin() + long(i));
                continue;
            }
            // Mostly small sizes, some large ones.
            const int w = pick(1, pick(1, area.width));
            const int h = pick(1, pick(1, area.height));
            Rect expected;
            const int id = ref.Allocate(w, h, &expected);
            const Rect* got = g->Allocate(w, h);
            ASSERT_EQ(At(got), id >= 0 ? expected : At(nullptr)) << op << ": " << w << "x" << h;
            if (got) {
                live.emplace_back(got, id);
                ++allocated;
            }
        }
        EXPECT_GT(allocated, 20);
    }
}
