#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/context.h"
#include "builder/gsys_manager.h"
#include "builder/resource_allocer.h"
#include "model/processor_manager.h"

using namespace _8PART_NS;

namespace {

constexpr int32_t kScaler = C8PartResourceAllocer::kKindScaler;
constexpr int32_t kPort = C8PartResourceAllocer::kKindPort;

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

    // What a sender's constructor does, for the model selected here.
    static C8PartResourceAllocer& Resources(int32_t kind)
    {
        CQelContext::SetSelSigSrc(kind, -1);
        auto& resources = C8PartResourceAllocer::Instance();
        resources.ClearTable();
        resources.Init();
        return resources;
    }
    static C8PartGSysManager& GSystems(int32_t kind, int32_t algorithmId = 0)
    {
        CQelContext::SetSelSigSrc(kind, -1);
        const auto processor = CQelContext::GetProMan()->FindById(uint32_t(kind));
        auto options = processor->GetAppOptions();
        options.algorithmId = algorithmId;
        processor->SetAppOptions(options);

        auto& manager = C8PartGSysManager::Instance();
        manager.SetMode(processor->GetAppOptions().algorithmId);
        manager.Clear();
        manager.Build();
        return manager;
    }

    // Indices handed out by reserving until the board and kind run dry.
    static std::vector<int32_t> ReserveAll(C8PartResourceAllocer& r, int32_t board, int32_t kind)
    {
        std::vector<int32_t> indices;
        while (Reservation* got = r.Reserve(board, kind)) {
            EXPECT_EQ(got->board, board);
            EXPECT_EQ(got->kind, kind);
            EXPECT_EQ(got->useCount, 1);
            indices.push_back(got->index);
        }
        return indices;
    }
};

const std::vector<int32_t> kFour{0, 1, 2, 3};

} // namespace

TEST_F(EightPartTables, ResourceRowsFollowTheSelectedModel)
{
    struct Model {
        int32_t kind;
        size_t rows;
        std::vector<int32_t> scalerBoards, portBoards;
    };
    const std::vector<Model> models{
        {7, 24, {0, 1, 2, 3}, {2, 3}},
        {8, 48, {0, 1, 2, 3, 9, 10, 11, 12}, {9, 10, 11, 12}},
        {9, 4, {0}, {}},
        {10, 108, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17},
         {9, 10, 11, 12, 13, 14, 15, 16, 17}},
    };
    for (const Model& m : models) {
        SCOPED_TRACE(m.kind);
        auto& r = Resources(m.kind);
        EXPECT_EQ(r.TableSize(), m.rows);
        for (int32_t board = 0; board <= 18; ++board) {
            const bool scalers = std::count(m.scalerBoards.begin(), m.scalerBoards.end(), board);
            const bool ports = std::count(m.portBoards.begin(), m.portBoards.end(), board);
            EXPECT_EQ(r.HasFree(board, 4), scalers) << board;
            EXPECT_FALSE(r.HasFree(board, 5)) << board;
            EXPECT_EQ(ReserveAll(r, board, kScaler), scalers ? kFour : std::vector<int32_t>{});
            EXPECT_EQ(ReserveAll(r, board, kPort), ports ? kFour : std::vector<int32_t>{});
        }
    }

    // The lookup is inserted once however often Init runs; the table is a
    // multimap, which is why senders empty it first.
    auto& r = C8PartResourceAllocer::Instance();
    r.ClearTable();
    r.Init();
    r.Init();
    EXPECT_EQ(r.LookupSize(), 8u);
    EXPECT_EQ(r.TableSize(), 216u);
}

TEST_F(EightPartTables, NoTableMeansNothingToReserve)
{
    // Model 5 has no tables; -1 names no processor, so nothing is selected.
    for (int32_t kind : {5, -1}) {
        SCOPED_TRACE(kind);
        auto& r = Resources(kind);
        auto& g = GSystems(kind == 5 ? 5 : 7);
        if (kind == -1) { // GSystems needs a processor for its algorithm id
            CQelContext::SetSelSigSrc(-1, -1);
            g.Clear();
            g.Build();
        }
        EXPECT_EQ(r.TableSize(), 0u);
        EXPECT_EQ(r.Reserve(0, kScaler), nullptr);
        EXPECT_EQ(r.ReserveFor(0, 0, 2), nullptr);
        EXPECT_FALSE(r.HasFree(0, 1));
        EXPECT_EQ(g.BoardCount(), 0u);
        EXPECT_EQ(g.Allocate(0, 0, 2, 2), nullptr);
    }
    EXPECT_EQ(CQelContext::GetSelProcessorId(), -1);
}

TEST_F(EightPartTables, ReleasedResourceGoesBehindTheFreeOnes)
{
    auto& r = Resources(7);
    Reservation* first = r.Reserve(2, kPort);
    Reservation* second = r.Reserve(2, kPort);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->index, 0);
    EXPECT_EQ(second->index, 1);
    r.Unreserve(first);
    EXPECT_EQ(ReserveAll(r, 2, kPort), (std::vector<int32_t>{2, 3, 0}));
    EXPECT_EQ(r.OutstandingReservations(), 4u);

    // Null and records the allocator never made change nothing.
    Reservation foreign{1, 2, kPort, 0, 3};
    r.Unreserve(nullptr);
    r.Unreserve(&foreign);
    EXPECT_EQ(r.Reserve(2, kPort), nullptr);
    EXPECT_EQ(r.OutstandingReservations(), 4u);
}

TEST_F(EightPartTables, SharedReservationIsFreedAtItsLastRelease)
{
    auto& r = Resources(7);
    Reservation* scaler = r.Reserve(1, kScaler);
    ASSERT_NE(scaler, nullptr);
    ++scaler->useCount; // a second window shares it
    r.Unreserve(scaler);
    EXPECT_FALSE(r.HasFree(1, 4));
    EXPECT_EQ(scaler->useCount, 1);
    r.Unreserve(scaler);
    EXPECT_TRUE(r.HasFree(1, 4));
    EXPECT_EQ(r.OutstandingReservations(), 0u);
    r.Unreserve(scaler); // a stray second release of a freed record
    EXPECT_TRUE(r.HasFree(1, 4));
    EXPECT_FALSE(r.HasFree(1, 5));

    r.Reserve(0, kScaler);
    r.ClearTable();
    EXPECT_EQ(r.OutstandingReservations(), 0u);
}

TEST_F(EightPartTables, ReserveForTakesThePortOfTheLookup)
{
    auto& r = Resources(7);
    Reservation* port = r.ReserveFor(1, 0, 3);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->board, 3);
    EXPECT_EQ(port->kind, kPort);
    EXPECT_EQ(port->index, 2);
    // That port is taken: other free ports of board 3 do not stand in.
    EXPECT_EQ(r.ReserveFor(1, 0, 3), nullptr);
    EXPECT_TRUE(r.HasFree(3, 4)); // scalers are another kind
    Reservation* other = r.ReserveFor(0, 1, 3);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->index, 1);
    EXPECT_EQ(r.ReserveFor(2, 0, 3), nullptr);
    EXPECT_EQ(r.ReserveFor(0, 0, 4), nullptr);
    r.Unreserve(port);
    ASSERT_NE(r.ReserveFor(1, 0, 3), nullptr);

    // Model 8 has the lookup but no ports on boards 2 and 3.
    EXPECT_EQ(Resources(8).ReserveFor(1, 0, 3), nullptr);
}

TEST_F(EightPartTables, GSystemsFollowModelAndAlgorithm)
{
    struct Model {
        int32_t kind;
        size_t boards, systems;
    };
    for (const Model& m : {Model{7, 2, 4}, Model{8, 4, 16}, Model{10, 9, 36}, Model{9, 0, 0}}) {
        for (int32_t algorithm : {0, 1, 2}) {
            SCOPED_TRACE(testing::Message() << m.kind << " / " << algorithm);
            auto& g = GSystems(m.kind, algorithm);
            EXPECT_EQ(g.BoardCount(), m.boards);
            EXPECT_EQ(g.SystemCount(), m.systems);
            const int32_t last = m.systems ? int32_t(m.systems / m.boards) - 1 : 0;
            CGSystem* gs = g.System(int32_t(m.boards) - 1, last);
            ASSERT_EQ(gs != nullptr, m.systems > 0);
            if (!gs)
                continue;
            EXPECT_EQ(gs->Width(), 1920);
            EXPECT_EQ(gs->Height(), 2400);
            if (algorithm == 1) {
                EXPECT_NE(dynamic_cast<CTwoWndPerGTPGSystem*>(gs), nullptr);
            } else {
                auto* seg = dynamic_cast<CTwoWndPerSegGSystem*>(gs);
                ASSERT_NE(seg, nullptr);
                EXPECT_EQ(seg->Maximum(), 5u);
            }
        }
    }

    // Building again after Clear leaves one set; so does building twice.
    auto& g = GSystems(8);
    g.Build();
    EXPECT_EQ(g.SystemCount(), 16u);
}

TEST_F(EightPartTables, AllocateTriesOnlyTheGSystemsOfThePart)
{
    auto& g = GSystems(10);
    std::vector<int32_t> part1;
    while (GAllocation* a = g.Allocate(8, 1, 1920, 1080)) {
        EXPECT_EQ(a->board, 8);
        EXPECT_EQ(a->useCount, 1);
        EXPECT_EQ(a->system, g.System(8, a->index));
        EXPECT_EQ(RectWidth(*a->rect), 1920);
        part1.push_back(a->index);
    }
    EXPECT_EQ(part1, (std::vector<int32_t>{0, 0, 1, 1}));

    GAllocation* part2 = g.Allocate(8, 2, 1920, 1080);
    ASSERT_NE(part2, nullptr);
    EXPECT_EQ(part2->index, 2);
    GAllocation* any = g.Allocate(7, 0, 1920, 1080);
    ASSERT_NE(any, nullptr);
    EXPECT_EQ(any->index, 0);
    EXPECT_EQ(g.Allocate(9, 0, 2, 2), nullptr); // no such board key
    EXPECT_EQ(g.Allocate(7, 0, 1921, 2), nullptr);

    // Slot allocators in mode 1: one window per 1200-line slot.
    auto& slotted = GSystems(7, 1);
    GAllocation* a = slotted.Allocate(1, 2, 100, 100);
    EXPECT_EQ(a, nullptr); // model 7 has G indices 0 and 1 only
    a = slotted.Allocate(1, 1, 100, 100);
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
    GAllocation* next = g.Allocate(0, 0, 1920, 2400);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->index, 1);
    g.Release(whole);
    EXPECT_EQ(g.OutstandingAllocations(), 1u);

    GAllocation again = *next;
    g.Release(nullptr);
    g.Release(&again); // a copy is not a handle
    EXPECT_EQ(g.Allocate(0, 1, 1920, 2400)->index, 0);

    // Clear takes the G systems and every allocation into them.
    g.Clear();
    EXPECT_EQ(g.OutstandingAllocations(), 0u);
    EXPECT_EQ(g.BoardCount(), 0u);
}

TEST_F(EightPartTables, SingletonsLiveUntilDestroyed)
{
    auto& r = Resources(9);
    auto& g = GSystems(8);
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
