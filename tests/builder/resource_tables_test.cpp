#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <tuple>
#include <vector>

#include "context/context.h"
#include "builder/gsys_manager.h"
#include "builder/resource_allocer.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/processor_settings.h"

using namespace _8PART_NS;

namespace {

constexpr int32_t kScaler = C8PartResourceAllocer::kKindScaler;
constexpr int32_t kPort = C8PartResourceAllocer::kKindPort;
using Indices = std::vector<int32_t>;
const Indices kAll{0, 1, 2, 3};

// One processor per model code, its id equal to the code; the tables follow
// the one selected in the context.
class EightPartTables : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int32_t kind : {5, 7, 8, 9, 10}) {
            auto processor = std::make_shared<CQelProcessor>();
            processor->SetId(uint32_t(kind));
            processor->SetKind(kind);
            ASSERT_TRUE(CQelContext::GetProMan()->AddProcessor(processor));
        }
    }
    void TearDown() override
    {
        C8PartResourceAllocer::Destroy();
        C8PartGSysManager::Destroy();
        CQelContext::Destroy();
    }

    // What a sender's constructor does, for the processor selected here
    // (-1 selects none).
    static C8PartResourceAllocer& Resources(int32_t id)
    {
        CQelContext::SetSelSigSrc(id, -1);
        auto& resources = C8PartResourceAllocer::Instance();
        resources.ClearTable();
        resources.Init();
        return resources;
    }
    static C8PartGSysManager& GSystems(int32_t id, int32_t algorithmId = 0)
    {
        CQelContext::SetSelSigSrc(id, -1);
        if (const auto processor = CQelContext::GetProMan()->FindById(uint32_t(id))) {
            auto options = processor->settings().GetAppOptions();
            options.algorithmId = algorithmId;
            processor->settings().SetAppOptions(options);
        }
        auto& manager = C8PartGSysManager::Instance();
        manager.SetMode(algorithmId);
        manager.Clear();
        manager.Build();
        return manager;
    }

    static Indices ReserveAll(C8PartResourceAllocer& r, int32_t board, int32_t kind)
    {
        Indices indices;
        while (Reservation* got = r.Reserve(board, kind)) {
            EXPECT_EQ(std::tie(got->board, got->kind, got->useCount), std::make_tuple(board, kind, 1));
            indices.push_back(got->index);
        }
        return indices;
    }
};

} // namespace

TEST_F(EightPartTables, ResourceRowsFollowTheSelectedModel)
{
    struct Model {
        int32_t kind;
        size_t rows;
        Indices scalerBoards, portBoards;
    };
    const std::vector<Model> models{
        {7, 24, {0, 1, 2, 3}, {2, 3}},
        {8, 48, {0, 1, 2, 3, 9, 10, 11, 12}, {9, 10, 11, 12}},
        {9, 4, {0}, {}},
        {10, 108, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17}, {9, 10, 11, 12, 13, 14, 15, 16, 17}},
        {5, 0, {}, {}},  // no table
        {-1, 0, {}, {}}, // nothing selected
    };
    for (const Model& m : models) {
        SCOPED_TRACE(m.kind);
        auto& r = Resources(m.kind);
        EXPECT_EQ(r.TableSize(), m.rows);
        EXPECT_EQ(r.ReserveFor(0, 0, 2) != nullptr, m.kind == 7);
        r.ClearTable();
        r.Init();
        for (int32_t board = 0; board <= 18; ++board) {
            const bool scalers = std::count(m.scalerBoards.begin(), m.scalerBoards.end(), board);
            const bool ports = std::count(m.portBoards.begin(), m.portBoards.end(), board);
            EXPECT_EQ(r.HasFree(board, 4), scalers) << board;
            EXPECT_FALSE(r.HasFree(board, 5)) << board;
            EXPECT_EQ(ReserveAll(r, board, kScaler), scalers ? kAll : Indices());
            EXPECT_EQ(ReserveAll(r, board, kPort), ports ? kAll : Indices());
        }
    }

    // The lookup is inserted once however often Init runs; the table is a
    // multimap, which is why senders empty it first.
    auto& r = Resources(7);
    r.Init();
    EXPECT_EQ(r.LookupSize(), 8u);
    EXPECT_EQ(r.TableSize(), 48u);
}

TEST_F(EightPartTables, ReleasedResourceGoesBehindTheFreeOnesAtItsLastRelease)
{
    auto& r = Resources(7);
    Reservation* first = r.Reserve(2, kPort);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->index, 0);
    EXPECT_EQ(r.Reserve(2, kPort)->index, 1);
    ++first->useCount; // shared by a second window
    r.Unreserve(first);
    EXPECT_EQ(first->useCount, 1);
    r.Unreserve(first);
    EXPECT_EQ(ReserveAll(r, 2, kPort), (Indices{2, 3, 0}));

    // Null and a record the allocator did not make change nothing.
    Reservation foreign{1, 2, kPort, 0, 3};
    r.Unreserve(nullptr);
    r.Unreserve(&foreign);
    EXPECT_EQ(r.Reserve(2, kPort), nullptr);
    EXPECT_EQ(r.OutstandingReservations(), 4u);
    r.ClearTable();
    EXPECT_EQ(r.OutstandingReservations(), 0u);
}

TEST_F(EightPartTables, ReserveForTakesOnlyThePortOfTheLookup)
{
    auto& r = Resources(7);
    Reservation* port = r.ReserveFor(1, 0, 3);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(std::tie(port->board, port->kind, port->index), std::make_tuple(3, kPort, 2));
    // Taken: the other free ports of board 3 do not stand in.
    EXPECT_EQ(r.ReserveFor(1, 0, 3), nullptr);
    EXPECT_EQ(r.ReserveFor(0, 1, 3)->index, 1);
    EXPECT_EQ(r.ReserveFor(2, 0, 3), nullptr);
    EXPECT_EQ(r.ReserveFor(0, 0, 4), nullptr);
    r.Unreserve(port);
    EXPECT_NE(r.ReserveFor(1, 0, 3), nullptr);
}

TEST_F(EightPartTables, GSystemsFollowModelAndAlgorithm)
{
    struct Model {
        int32_t kind;
        int32_t boards, perBoard;
    };
    for (const Model& m :
         {Model{7, 2, 2}, Model{8, 4, 4}, Model{10, 9, 4}, Model{9, 0, 0}, Model{5, 0, 0}, Model{-1, 0, 0}}) {
        for (int32_t algorithm : {0, 1, 2}) {
            SCOPED_TRACE(testing::Message() << m.kind << " / " << algorithm);
            auto& g = GSystems(m.kind, algorithm);
            EXPECT_EQ(g.BoardCount(), size_t(m.boards));
            EXPECT_EQ(g.SystemCount(), size_t(m.boards * m.perBoard));
            CGSystem* gs = g.System(m.boards - 1, m.perBoard - 1);
            ASSERT_EQ(gs != nullptr, m.boards > 0);
            if (!gs) {
                EXPECT_EQ(g.Allocate(0, 0, 2, 2), nullptr);
                continue;
            }
            EXPECT_EQ(std::make_pair(gs->Width(), gs->Height()), std::make_pair(1920, 2400));
            auto* seg = dynamic_cast<CTwoWndPerSegGSystem*>(gs);
            EXPECT_EQ(dynamic_cast<CTwoWndPerGTPGSystem*>(gs) != nullptr, algorithm == 1);
            EXPECT_EQ(seg != nullptr, algorithm != 1);
            EXPECT_EQ(seg ? seg->Maximum() : 5u, 5u);
        }
    }
    // Building twice still leaves one set.
    auto& g = GSystems(8);
    g.Build();
    EXPECT_EQ(g.SystemCount(), 16u);
}

TEST_F(EightPartTables, AllocateTriesOnlyTheGSystemsOfThePart)
{
    auto& g = GSystems(10);
    Indices part1;
    while (GAllocation* a = g.Allocate(8, 1, 1920, 1080)) {
        EXPECT_EQ(std::tie(a->board, a->useCount), std::make_tuple(8, 1));
        EXPECT_EQ(a->system, g.System(8, a->index));
        part1.push_back(a->index);
    }
    EXPECT_EQ(part1, (Indices{0, 0, 1, 1}));
    EXPECT_EQ(g.Allocate(8, 2, 1920, 1080)->index, 2);
    EXPECT_EQ(g.Allocate(7, 0, 1920, 1080)->index, 0);
    EXPECT_EQ(g.Allocate(9, 0, 2, 2), nullptr); // no such board key

    // Slot allocators in mode 1; model 7 has G indices 0 and 1 only.
    auto& slotted = GSystems(7, 1);
    EXPECT_EQ(slotted.Allocate(1, 2, 100, 100), nullptr);
    GAllocation* a = slotted.Allocate(1, 1, 100, 100);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(*a->rect, (Rect{0, 0, 100, 100}));
}

TEST_F(EightPartTables, SharedAreaReturnsToItsGSystemAtTheLastRelease)
{
    auto& g = GSystems(7);
    GAllocation* whole = g.Allocate(0, 0, 1920, 2400);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(whole->index, 0);
    ++whole->useCount;
    g.Release(whole);
    EXPECT_EQ(g.Allocate(0, 0, 1920, 2400)->index, 1);
    g.Release(whole);
    GAllocation copy = *g.Allocate(0, 0, 1920, 2400);
    g.Release(nullptr);
    g.Release(&copy); // a copy is not a handle
    EXPECT_EQ(g.Allocate(0, 0, 1920, 2400), nullptr);

    // Clear takes the G systems and every allocation into them.
    g.Clear();
    EXPECT_EQ(g.OutstandingAllocations(), 0u);
}

TEST_F(EightPartTables, SingletonsLiveUntilDestroyed)
{
    auto& r = Resources(9);
    auto& g = GSystems(8, 1);
    EXPECT_EQ(&C8PartResourceAllocer::Instance(), &r);
    EXPECT_EQ(&C8PartGSysManager::Instance(), &g);
    ASSERT_NE(r.Reserve(0, kScaler), nullptr);
    ASSERT_NE(g.Allocate(3, 0, 10, 10), nullptr);

    C8PartResourceAllocer::Destroy();
    C8PartGSysManager::Destroy();
    C8PartGSysManager::Destroy(); // twice is harmless
    EXPECT_EQ(C8PartResourceAllocer::Instance().TableSize(), 0u);
    EXPECT_EQ(C8PartGSysManager::Instance().BoardCount(), 0u);
    EXPECT_EQ(C8PartGSysManager::Instance().Mode(), 0);
}
