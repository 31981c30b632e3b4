#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <tuple>

#include "builder/fpga_geometry.h"
#include "builder/fpga_window.h"
#include "builder/gsys_manager.h"
#include "builder/gsystem.h"
#include "builder/pro8part_sender.h"
#include "builder/resource_allocer.h"
#include "builder/window_record.h"
#include "context/context.h"
#include "model/board.h"
#include "model/sig_src.h"
#include "plan/plan.h"
#include "plan/window.h"
#include "tests/builder/sender_test_support.h"
#include "model/processor_records.h"

using namespace _8PART_NS;

namespace {

using Part = std::array<double, 4>;
using Failures = std::vector<std::tuple<Rect, int32_t>>;

// The part of a scale record; the base ranges must stay (0, 4096).
Part PartOf(const ScaleRecord& s)
{
    EXPECT_EQ(std::make_tuple(s.bx0, s.bx1, s.by0, s.by1), std::make_tuple(0.0, 4096.0, 0.0, 4096.0));
    return {s.a, s.b, s.c, s.d};
}
const Part kWhole{0, 4096, 0, 4096};

std::tuple<int32_t, int32_t, int32_t> Slot(const Reservation* r)
{
    return r ? std::make_tuple(r->board, r->kind, r->index) : std::make_tuple(-1, -1, -1);
}

Failures Codes(const std::vector<FailRectPtr>& records)
{
    Failures out;
    for (const auto& r : records)
        out.emplace_back(r->rect, r->code);
    return out;
}

void AddSource(CQelProcessor& p, uint32_t id, int32_t width, int32_t height, int32_t type = 0, bool split = false)
{
    CQelSigSrc::Values values;
    values.id = id;
    values.type = type;
    values.resolution = {width, height, 60};
    auto source = std::make_shared<CQelSigSrc>(values);
    source->SetBoard(p.GetBoard(id / 100));
    p.AddSigSrc(source, false, split);
}

void AddBoard(CQelProcessor& p, uint32_t id, int32_t type)
{
    auto board = std::make_shared<CQelBoard>(id);
    board->SetType(type);
    p.records().AddBoard(board);
}

// A window that shows its crop 1:1.
void AddUnscaled(CQelPlan& plan, int32_t source, const Rect& rect)
{
    AddTestWindow(plan, source, rect)->scaled = false;
}

// Every resource row is free again, as after a fresh Init (a released row
// goes behind the free ones, so the rows compare as a set), and no frame
// buffer holds a rectangle.
void ExpectEveryResourceFree()
{
    using Row = std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t>;
    auto& resources = C8PartResourceAllocer::Instance();
    const auto rows = [&] {
        std::vector<Row> out;
        for (const auto& e : resources.Entries())
            out.emplace_back(e.count, e.board, e.kind, e.free, e.index);
        std::sort(out.begin(), out.end());
        return out;
    };
    const auto after = rows();
    resources.ClearTable();
    resources.Init();
    EXPECT_EQ(after, rows());

    auto& gsystems = C8PartGSysManager::Instance();
    EXPECT_EQ(gsystems.OutstandingAllocations(), 0u);
    for (int32_t board = 0; board < 4; ++board)
        for (int32_t index = 0; index < 4; ++index) {
            if (CGSystem* g = gsystems.System(board, index)) {
                EXPECT_EQ(g->FindFree(1920, 2400), (Rect{0, 0, 1920, 2400})) << board << " " << index;
            }
        }
}

class Placement : public ::testing::Test, protected FixtureF {
protected:
    std::unique_ptr<CPro8PartSender> Place(int32_t mode = 0)
    {
        auto sender = std::make_unique<CPro8PartSender>(plan.get(), mode);
        RunMonitorPasses(*sender);
        EXPECT_EQ(sender->PlaceAllWindows(), 0);
        return sender;
    }

    Failures Check(int32_t mode = 0)
    {
        CPro8PartSender sender(plan.get(), mode);
        std::vector<FailRectPtr> out;
        EXPECT_EQ(sender.CheckPlacement(plan.get(), out), 0);
        EXPECT_TRUE(sender.FpgaWindows().empty());
        return Codes(out);
    }
};

} // namespace

TEST_F(Placement, WindowOnOneOutputIsFedDirectly)
{
    AddTestWindow(*plan, 100, {0, 0, 1920, 1080});
    auto sender = Place();
    ASSERT_EQ(sender->FpgaWindows().size(), 1u);
    const auto& r = *sender->FpgaWindows()[0];
    EXPECT_EQ(std::tie(r.board, r.port), std::make_tuple(1, 0));
    EXPECT_EQ(r.scaler, nullptr); // shown at its own size
    ASSERT_NE(r.gArea, nullptr);
    EXPECT_EQ(std::tie(r.gArea->board, r.gArea->index), std::make_tuple(1, 0));
    EXPECT_EQ(*r.gArea->rect, (Rect{0, 0, 1920, 1080}));
    ASSERT_EQ(r.obips.size(), 1u);
    const auto x = r.obips.at(9);
    EXPECT_EQ(Slot(x->port), std::make_tuple(9, 0, 0));
    ASSERT_EQ(r.outWindows.size(), 1u);
    const auto& line = *r.outWindows[0];
    EXPECT_EQ(std::tie(line.board, line.port, line.layer, line.kind), std::make_tuple(9, 0, 1, 0));
    EXPECT_EQ(line.dest, (Rect{0, 0, 1920, 1080}));
    EXPECT_EQ(line.obip, x);
    EXPECT_EQ(PartOf(line.scale), kWhole);
    EXPECT_TRUE(sender->Placements().empty());
}

TEST_F(Placement, WindowAcrossTwoOutputsTakesOnePortPerBoard)
{
    AddTestWindow(*plan, 100, {960, 0, 2880, 1080});
    auto sender = Place();
    ASSERT_EQ(sender->FpgaWindows().size(), 1u);
    const auto& r = *sender->FpgaWindows()[0];
    ASSERT_EQ(r.obips.size(), 1u);
    const auto x = r.obips.at(9);
    EXPECT_EQ(Slot(x->port), std::make_tuple(9, 0, 0));
    EXPECT_EQ(x->inputArea, (Rect{0, 0, 1920, 1080}));
    ASSERT_EQ(r.outWindows.size(), 2u);
    EXPECT_EQ(std::tie(r.outWindows[0]->port, r.outWindows[0]->dest), std::make_tuple(0, Rect{960, 0, 1920, 1080}));
    EXPECT_EQ(PartOf(r.outWindows[0]->scale), (Part{0, 2048, 0, 4096}));
    EXPECT_EQ(std::tie(r.outWindows[1]->port, r.outWindows[1]->dest), std::make_tuple(1, Rect{0, 0, 960, 1080}));
    EXPECT_EQ(PartOf(r.outWindows[1]->scale), (Part{2048, 4096, 0, 4096}));
    for (const auto& line : r.outWindows)
        EXPECT_EQ(std::tie(line->kind, line->obip), std::tie(tagFPGAWindowDestRect::kDirect, x));
}

TEST_F(Placement, WideWindowIsScaledOnTheOutputBoard)
{
    AddTestWindow(*plan, 100, {0, 0, 3840, 1080});
    auto sender = Place();
    ASSERT_EQ(sender->FpgaWindows().size(), 1u);
    const auto& r = *sender->FpgaWindows()[0];
    EXPECT_EQ(r.scaler, nullptr);
    EXPECT_EQ(*r.gArea->rect, (Rect{0, 0, 1920, 1080}));
    ASSERT_EQ(r.outScalers.size(), 2u);
    const std::vector<OBScalerPtr> uses(r.outScalers.begin(), r.outScalers.end());
    const Part parts[] = {{0, 2048, 0, 4096}, {2048, 4096, 0, 4096}};
    ASSERT_EQ(r.outWindows.size(), 2u);
    for (int32_t i = 0; i < 2; ++i) {
        EXPECT_EQ(Slot(uses[size_t(i)]->scaler), std::make_tuple(9, 2, i));
        EXPECT_EQ(uses[size_t(i)]->dest, (Rect{0, 0, 1920, 1080}));
        EXPECT_EQ(PartOf(uses[size_t(i)]->scale), parts[i]);
        EXPECT_EQ(uses[size_t(i)]->feed, r.obips.at(9));
        const auto& line = *r.outWindows[size_t(i)];
        EXPECT_EQ(std::tie(line.port, line.kind, line.scaler),
                  std::tie(i, tagFPGAWindowDestRect::kScaled, uses[size_t(i)]));
        EXPECT_EQ(line.dest, (Rect{0, 0, 1920, 1080}));
        EXPECT_EQ(PartOf(line.scale), kWhole);
    }
}

TEST_F(Placement, SmallScaledWindowTakesAnInputScaler)
{
    AddTestWindow(*plan, 100, {0, 0, 960, 540});
    auto sender = Place();
    ASSERT_EQ(sender->FpgaWindows().size(), 1u);
    const auto& r = *sender->FpgaWindows()[0];
    EXPECT_EQ(Slot(r.scaler), std::make_tuple(1, 2, 0));
    EXPECT_EQ(*r.gArea->rect, (Rect{0, 0, 960, 540}));
    EXPECT_EQ(r.crop, (Rect{0, 0, 1920, 1080}));
}

TEST_F(Placement, EqualWindowsShareScalerAreaAndPort)
{
    AddTestWindow(*plan, 100, {0, 0, 960, 540});
    AddTestWindow(*plan, 100, {960, 0, 1920, 540});
    auto sender = Place();
    auto& list = sender->FpgaWindows();
    ASSERT_EQ(list.size(), 2u);
    const tagFPGAWindow* first = list[0].get();
    const tagFPGAWindow* second = list[1].get();
    EXPECT_EQ(second->scaler, first->scaler);
    EXPECT_EQ(std::tie(second->scalerShared, second->gShared), std::make_tuple(1, 1));
    EXPECT_EQ(second->gArea, first->gArea);
    EXPECT_EQ(first->scaler->useCount, 2);
    EXPECT_EQ(first->gArea->useCount, 2);
    // The second reaches the same output board from the same area.
    EXPECT_EQ(second->obips.at(9)->port, first->obips.at(9)->port);
    EXPECT_EQ(first->obips.at(9)->port->useCount, 2);

    auto& resources = C8PartResourceAllocer::Instance();
    auto& gsystems = C8PartGSysManager::Instance();
    list.erase(list.begin());
    EXPECT_FALSE(resources.HasFree(1, 4));
    EXPECT_EQ(gsystems.OutstandingAllocations(), 1u);
    EXPECT_EQ(second->scaler->useCount, 1);
    list.clear();
    EXPECT_TRUE(resources.HasFree(1, 4));
    EXPECT_EQ(gsystems.OutstandingAllocations(), 0u);
    EXPECT_NE(resources.Reserve(9, C8PartResourceAllocer::kKindPort), nullptr);
    EXPECT_EQ(Slot(resources.Reserve(9, C8PartResourceAllocer::kKindPort)), std::make_tuple(9, 0, 2));
}

TEST_F(Placement, SizeLimitsSendLargeWindowsToTheOutputScalers)
{
    // A source reporting 0 x 0 counts as 1920 x 1080.
    AddSource(*processor, 101, 0, 0);
    AddTestWindow(*plan, 101, {0, 0, 1920, 1080});
    {
        auto sender = Place();
        ASSERT_EQ(sender->FpgaWindows().size(), 1u);
        const auto& r = *sender->FpgaWindows()[0];
        EXPECT_EQ(std::tie(r.sourceWidth, r.sourceHeight), std::make_tuple(1920, 1080));
        EXPECT_EQ(r.crop, (Rect{0, 0, 1920, 1080}));
        EXPECT_EQ(r.scaler, nullptr);
    }

    // One line past 1080 exceeds the limit in mode 1 only.
    plan = MakeTestPlan(1, 2);
    AddTestWindow(*plan, 100, {0, 0, 1920, 1081});
    for (int32_t mode : {0, 1}) {
        auto sender = Place(mode);
        ASSERT_EQ(sender->FpgaWindows().size(), 1u) << mode;
        const auto& r = *sender->FpgaWindows()[0];
        EXPECT_EQ(r.scaler != nullptr, mode == 0) << mode;
        EXPECT_EQ(r.outScalers.size(), mode == 1 ? 1u : 0u) << mode;
    }

    // Wider than 1920 after evening exceeds it in both modes; an odd 1921
    // is evened down to 1920 and stays within.
    for (int32_t right : {1921, 1922}) {
        plan = MakeTestPlan(1, 2);
        AddTestWindow(*plan, 100, {0, 0, right, 540});
        for (int32_t mode : {0, 1}) {
            auto sender = Place(mode);
            ASSERT_EQ(sender->FpgaWindows().size(), 1u);
            const auto& r = *sender->FpgaWindows()[0];
            EXPECT_EQ(r.scaler == nullptr, right == 1922) << right << " mode " << mode;
            EXPECT_EQ(r.outScalers.empty(), right == 1921) << right << " mode " << mode;
        }
    }
}

TEST_F(Placement, ScalerWithoutAreaIsReturnedAtOnce)
{
    // Mode 1 scales into G systems 2 and 3 only; take all their slots.
    AddTestWindow(*plan, 100, {0, 0, 960, 540});
    CPro8PartSender sender(plan.get(), 1);
    RunMonitorPasses(sender);
    for (int32_t i = 0; i < 4; ++i)
        ASSERT_NE(C8PartGSysManager::Instance().Allocate(1, 2, 1920, 1080), nullptr);
    sender.PlaceAllWindows();
    ASSERT_EQ(sender.FpgaWindows().size(), 1u);
    const auto& r = *sender.FpgaWindows()[0];
    EXPECT_EQ(r.scaler, nullptr);
    EXPECT_TRUE(C8PartResourceAllocer::Instance().HasFree(1, 4));
    EXPECT_EQ(r.gArea->index, 0);
    EXPECT_EQ(r.outScalers.size(), 1u); // scaled on the output board instead
}

TEST(PlacementTiles, TilesAreAtMost1920By2160RowByRow)
{
    using Tiles = std::vector<Rect>;
    EXPECT_EQ(CPro8PartSender::TileRect(0, 0, 1920, 2160), (Tiles{{0, 0, 1920, 2160}}));
    EXPECT_EQ(CPro8PartSender::TileRect(0, 0, 1921, 100), (Tiles{{0, 0, 1920, 100}, {1920, 0, 1921, 100}}));
    EXPECT_EQ(CPro8PartSender::TileRect(10, 20, 3850, 2200),
              (Tiles{{10, 20, 1930, 2180}, {1930, 20, 3850, 2180}, {10, 2180, 1930, 2200}, {1930, 2180, 3850, 2200}}));
    EXPECT_TRUE(CPro8PartSender::TileRect(5, 5, 5, 100).empty());
    EXPECT_TRUE(CPro8PartSender::TileRect(0, 100, 50, 10).empty());
}

TEST_F(Placement, OutputScalersServeBoxesUpTo1920By2160)
{
    // One 3840 x 2160 output: its two tiles never share a scaler.
    plan = std::make_unique<CQelPlan>();
    plan->SetType(kPlanSizedGrid);
    plan->SetGrid(1, 1);
    plan->SetResolution({3840, 2160, 60});
    plan->SetRowHeights({2160});
    plan->SetColumnWidths({3840});
    auto wall = processor->GetWall();
    wall.cells = {{{0, 0}, 10900}};
    processor->SetWall(wall);
    AddTestWindow(*plan, 100, {0, 0, 3840, 2160});
    {
        auto sender = Place();
        ASSERT_EQ(sender->FpgaWindows().size(), 1u);
        const auto& r = *sender->FpgaWindows()[0];
        ASSERT_EQ(r.outScalers.size(), 2u);
        EXPECT_NE(r.outScalers.front()->scaler, r.outScalers.back()->scaler);
        EXPECT_EQ(r.outScalers.back()->dest, (Rect{0, 0, 1920, 2160}));
        ASSERT_EQ(r.outWindows.size(), 2u);
        EXPECT_EQ(r.outWindows[1]->dest, (Rect{1920, 0, 3840, 2160}));
    }

    // Four 960 x 1080 pieces on a 2 x 2 group of one board share one.
    SetTestOutputs(*processor, {10902, 10903}, {{{0, 0}, 10900}, {{0, 1}, 10901}, {{1, 0}, 10902}, {{1, 1}, 10903}});
    plan = MakeTestPlan(2, 2);
    AddTestWindow(*plan, 100, {960, 0, 2880, 2160});
    auto sender = Place(1);
    ASSERT_EQ(sender->FpgaWindows().size(), 1u);
    const auto& r = *sender->FpgaWindows()[0];
    ASSERT_EQ(r.outScalers.size(), 1u);
    const auto use = r.outScalers.front();
    EXPECT_EQ(use->dest, (Rect{0, 0, 1920, 2160}));
    ASSERT_EQ(r.outWindows.size(), 4u);
    const Part parts[] = {{0, 2048, 0, 2048}, {2048, 4096, 0, 2048}, {0, 2048, 2048, 4096}, {2048, 4096, 2048, 4096}};
    for (int32_t i = 0; i < 4; ++i) {
        const auto& line = *r.outWindows[size_t(i)];
        EXPECT_EQ(std::tie(line.port, line.scaler), std::tie(i, use));
        EXPECT_EQ(PartOf(line.scale), parts[i]);
    }
}

TEST_F(Placement, EqualWindowTakesOverOutputScalers)
{
    AddTestWindow(*plan, 100, {0, 0, 3840, 1080});
    AddTestWindow(*plan, 100, {0, 0, 3840, 1000});
    auto sender = Place();
    const auto& list = sender->FpgaWindows();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1]->gArea, list[0]->gArea);
    ASSERT_EQ(list[1]->outScalers.size(), 2u);
    auto own = list[0]->outScalers.begin();
    for (const auto& use : list[1]->outScalers) {
        EXPECT_EQ(use->shared, 1);
        EXPECT_EQ(use->scaler, (*own)->scaler);
        EXPECT_EQ(use->scaler->useCount, 2);
        EXPECT_EQ(use->dest, (Rect{0, 0, 1920, 1080}));
        EXPECT_EQ(use->scale, (*own)->scale);
        EXPECT_EQ(use->feed, list[1]->obips.at(9));
        ++own;
    }
    EXPECT_TRUE(C8PartResourceAllocer::Instance().HasFree(9, 2));
    ASSERT_EQ(list[1]->outWindows.size(), 2u);
    EXPECT_EQ(list[1]->outWindows[1]->dest, (Rect{0, 0, 1920, 1000}));
    EXPECT_EQ(PartOf(list[1]->outWindows[1]->scale), kWhole);
}

TEST_F(Placement, Model7ReservesThePortOfItsArea)
{
    auto p = std::make_shared<CQelProcessor>();
    p->SetKind(7);
    AddBoard(*p, 1, 1);
    AddBoard(*p, 102, 12);
    AddSource(*p, 100, 1920, 1080);
    for (uint32_t id : {10200u, 10201u})
        p->AddSigOut(std::make_shared<CQelSigOut>(id));
    auto wall = p->GetWall();
    wall.cells = {{{0, 0}, 10200}, {{0, 1}, 10201}};
    p->SetWall(wall);
    CQelContext::Destroy();
    SelectTestProcessor(p);

    AddTestWindow(*plan, 100, {0, 0, 1920, 1080});
    auto sender = Place();
    ASSERT_EQ(sender->FpgaWindows().size(), 1u);
    const auto& r = *sender->FpgaWindows()[0];
    EXPECT_EQ(std::tie(r.gArea->board, r.gArea->index), std::make_tuple(1, 0));
    EXPECT_EQ(Slot(r.obips.at(2)->port), std::make_tuple(2, 0, 2));
}

TEST_F(Placement, CheckPlacementReportsWhatCouldNotBeShown)
{
    // Board 5 has no frame buffers on model 8.
    AddBoard(*processor, 5, 1);
    AddSource(*processor, 500, 1920, 1080);
    AddTestWindow(*plan, 500, {0, 0, 1920, 1080});
    EXPECT_EQ(Check(), (Failures{{Rect{0, 0, 1920, 1080}, 0}}));

    // Board 9 has scalers but no frame buffer: the scaler it took comes
    // back once, and the window holds none.
    AddBoard(*processor, 9, 1);
    AddSource(*processor, 900, 1920, 1080);
    AddTestWindow(*plan, 900, {1920, 0, 2880, 540});
    EXPECT_EQ(Check(), (Failures{{Rect{0, 0, 1920, 1080}, 0}, {Rect{1920, 0, 2880, 540}, 0}}));
    ExpectEveryResourceFree();

    // A window on a cell without output reaches no output board.
    plan = MakeTestPlan(1, 3);
    AddTestWindow(*plan, 100, {3840, 0, 4800, 540});
    EXPECT_EQ(Check(), (Failures{{Rect{3840, 0, 4800, 540}, 0}}));
    ExpectEveryResourceFree();

    for (int32_t kind : {9, 5}) {
        processor->SetKind(kind);
        EXPECT_TRUE(Check().empty()) << kind;
    }
    CQelContext::SetSelSigSrc(-1, -1);
    EXPECT_TRUE(Check().empty());
}

namespace {

// `small` scaled windows below three wide ones of sources 100 to 102: the
// first two wide windows take board 9's four output scalers, so the third
// is deferred piece by piece.
void AddScalerShortage(CQelProcessor& p, CQelPlan& plan, int32_t small)
{
    AddSource(p, 101, 1920, 1080);
    AddSource(p, 102, 0, 0);
    const int32_t widths[] = {960, 840, 880, 720};
    int32_t x = 0;
    for (int32_t i = 0; i < small; ++i) {
        AddTestWindow(plan, 100, {x, 600, x + widths[i], 1080});
        x += widths[i];
    }
    AddTestWindow(plan, 100, {0, 0, 3840, 200});
    AddTestWindow(plan, 101, {0, 200, 3840, 400});
    AddTestWindow(plan, 102, {0, 400, 3840, 600});
}

} // namespace

TEST_F(Placement, DeferredPiecesAreRetriedBeforeTheNextWindow)
{
    // No input scaler left: the retries are shown unscaled.
    AddScalerShortage(*processor, *plan, 4);
    EXPECT_EQ(Check(), (Failures{{Rect{0, 400, 1920, 600}, 1}, {Rect{1920, 400, 3840, 600}, 1}}));
    // The deferral fills a copy, never the processor's own source.
    EXPECT_EQ(processor->GetSigSrc(102)->GetResolution().width, 0);

    plan = MakeTestPlan(1, 2);
    AddScalerShortage(*processor, *plan, 2);
    auto sender = Place();
    EXPECT_TRUE(sender->Placements().empty());
    EXPECT_TRUE(sender->RetryQueue().empty());
    const auto& list = sender->FpgaWindows();
    ASSERT_EQ(list.size(), 7u);
    for (size_t i : {5u, 6u}) {
        EXPECT_EQ(std::get<1>(Slot(list[i]->scaler)), C8PartResourceAllocer::kKindScaler);
        EXPECT_EQ(list[i]->outWindows.at(0)->layer, 5); // the wide window's layer
        EXPECT_EQ(list[i]->board * 100 + list[i]->port, 102);
    }
    EXPECT_EQ(list[5]->crop, (Rect{0, 0, 960, 1080}));
    EXPECT_EQ(list[6]->crop, (Rect{960, 0, 1920, 1080}));
}

TEST_F(Placement, PieceWithoutBackplanePortIsReported)
{
    // Ports 0 to 3 of board 10 go to four areas; a fifth area reaching
    // boards 9 and 10 gets a port on 9 only.
    for (uint32_t board : {0u, 2u, 3u})
        AddBoard(*processor, board, 1);
    AddBoard(*processor, 110, 12);
    for (uint32_t id : {0u, 200u, 300u})
        AddSource(*processor, id, 1920, 1080);
    SetTestOutputs(*processor, {11000}, {{{0, 0}, 10900}, {{0, 1}, 11000}});
    AddUnscaled(*plan, 0, {1920, 0, 2400, 1080});
    AddUnscaled(*plan, 200, {2400, 0, 2880, 1080});
    AddUnscaled(*plan, 300, {2880, 0, 3360, 1080});
    AddTestWindow(*plan, 100, {3360, 0, 3840, 1080}); // scaled: its own area
    AddUnscaled(*plan, 100, {960, 0, 2880, 540});
    EXPECT_EQ(Check(1), (Failures{{Rect{1920, 0, 2880, 540}, 3}}));
    ExpectEveryResourceFree();

    auto sender = Place(1);
    ASSERT_EQ(sender->FpgaWindows().size(), 5u);
    const auto& last = *sender->FpgaWindows().back();
    EXPECT_EQ(last.obips.size(), 1u);
    EXPECT_EQ(last.obips.count(9), 1u);
    ASSERT_EQ(last.outWindows.size(), 1u);
    EXPECT_EQ(last.outWindows[0]->dest, (Rect{960, 0, 1920, 540}));
}

TEST_F(Placement, FourKWindowIsPlacedByQuarters)
{
    // Quarter sources go first: the main list must not hold their ids yet.
    for (uint32_t q = 0; q < 4; ++q)
        if (q != 1)
            AddSource(*processor, 104 + q, 1920, 1080, 0, true);
    AddSource(*processor, 104, 3840, 2160, CQelSigSrc::kType4K);
    auto window = std::make_shared<CQelWindow>();
    window->processor = 1;
    window->sigsrc = 104;
    window->rect = {0, 0, 3840, 1080};
    window->is4k = 1;
    plan->AddWindow(window, CurrentPlanSelection());
    ASSERT_EQ(plan->Get4KParts().size(), 4u);

    // The second quarter has no source: only the first is kept.
    auto sender = Place();
    ASSERT_EQ(sender->FpgaWindows().size(), 1u);
    EXPECT_EQ(*sender->FpgaWindows()[0]->gArea->rect, (Rect{0, 0, 1920, 540}));
    EXPECT_EQ(Codes(sender->Placements()), (Failures{{Rect{1920, 0, 3840, 540}, 0}}));
    EXPECT_TRUE(C8PartResourceAllocer::Instance().HasFree(1, 3));
    EXPECT_FALSE(C8PartResourceAllocer::Instance().HasFree(1, 4));
    EXPECT_EQ(C8PartGSysManager::Instance().OutstandingAllocations(), 1u);
    sender.reset();

    // A window switched to a 4K source has no part records.
    window->is4k = 0;
    plan = MakeTestPlan(1, 2);
    plan->AddWindow(window, CurrentPlanSelection());
    EXPECT_EQ(Check(), (Failures{{Rect{0, 0, 1920, 540}, 0},
                                 {Rect{1920, 0, 3840, 540}, 0},
                                 {Rect{0, 540, 1920, 1080}, 0},
                                 {Rect{1920, 540, 3840, 1080}, 0}}));
    ExpectEveryResourceFree();
}

TEST_F(Placement, WindowUnderAHigherOneIsNotPlaced)
{
    AddTestWindow(*plan, 100, {0, 0, 1920, 1080});
    CPro8PartSender sender(plan.get(), 0);
    RunMonitorPasses(sender);
    auto hidden = std::make_shared<tagWindowRecord>();
    hidden->window = std::make_shared<CQelWindow>();
    hidden->window->sigsrc = 100;
    hidden->source = processor->GetSigSrc(100);
    hidden->rect = {100, 100, 500, 500};
    EXPECT_EQ(sender.PlaceWindow(0, hidden), nullptr);
    EXPECT_EQ(Codes(sender.Placements()), (Failures{{Rect{100, 100, 500, 500}, 2}}));
    EXPECT_EQ(C8PartGSysManager::Instance().OutstandingAllocations(), 0u);

    // A watch cell goes to its own output whatever lies above it.
    hidden->fixedOutput = 1;
    hidden->fixedBoard = 9;
    hidden->fixedPort = 1;
    const auto placed = sender.PlaceWindow(0, hidden);
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(std::tie(placed->outWindows.at(0)->board, placed->outWindows.at(0)->port), std::make_tuple(9, 1));

    // A negative source id names no port.
    auto cell = std::make_shared<tagWindowRecord>(*hidden);
    cell->source = std::make_shared<CQelSigSrc>(uint32_t(-5));
    EXPECT_EQ(sender.PlaceWindow(0, cell), nullptr);
    EXPECT_EQ(sender.Placements().back()->code, 0);
}

TEST_F(Placement, EveryResourceComesBack)
{
    // Scalers, areas, ports, output scalers, sharing and retries.
    AddScalerShortage(*processor, *plan, 3);
    AddTestWindow(*plan, 100, {2600, 600, 3440, 1080}); // shares the 840 x 480 scaler
    EXPECT_EQ(Check(), (Failures{{Rect{1920, 400, 3840, 600}, 1}}));

    ExpectEveryResourceFree();
}

namespace {

DestRectPtr Line(int32_t board, int32_t port, int32_t layer)
{
    auto line = std::make_shared<tagFPGAWindowDestRect>();
    line->board = board;
    line->port = port;
    line->layer = layer;
    return line;
}

FpgaWindowPtr WindowWith(std::vector<DestRectPtr> lines)
{
    auto w = std::make_shared<tagFPGAWindow>();
    w->outWindows = std::move(lines);
    return w;
}

} // namespace

TEST_F(Placement, ContainersRenumberLayersAndClearIdleOutputs)
{
    // Output 10900 is on the wall and watched; 11203 is idle.
    SetTestOutputs(*processor, {11203}, {{{0, 0}, 10900}, {{0, 1}, 10901}});
    plan->SetWatchOutputs({10900});
    auto watch = std::make_shared<CQelWatchWindow>();
    watch->sigout = 10900;
    ASSERT_TRUE(plan->AddWatchWindow(watch));
    CPro8PartSender sender(plan.get(), 0);
    RunMonitorPasses(sender);

    CFwndContainer list;
    const auto a = Line(9, 1, 5);
    const auto b = Line(9, 1, 2);
    const auto c = Line(9, 1, 5);
    const auto other = Line(9, 7, 9); // not monitored: left alone
    list.push_back(WindowWith({a, other}));
    list.push_back(WindowWith({b, c}));
    RenumberLayers(sender, list);
    EXPECT_EQ(std::make_tuple(a->layer, b->layer, c->layer, other->layer), std::make_tuple(2, 1, 3, 9));

    const char* text = "OUTPUT_FPGA CLEAR_OUTPUT_WIN";
    std::vector<std::string> lines{"stale"};
    ClearOutputWindowLines(sender, text, list, lines);
    EXPECT_EQ(lines,
              (std::vector<std::string>{"OUTPUT_FPGA CLEAR_OUTPUT_WIN 9 0\r\n", "OUTPUT_FPGA CLEAR_OUTPUT_WIN 9 0\r\n",
                                        "OUTPUT_FPGA CLEAR_OUTPUT_WIN 12 3\r\n"}));
    ClearOutputWindowLines(sender, text, CFwndContainer{}, lines);
    EXPECT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "OUTPUT_FPGA CLEAR_OUTPUT_WIN 9 1\r\n");
}

TEST_F(Placement, CoveringTwinOwnsItsArea)
{
    AddUnscaled(*plan, 100, {0, 0, 1920, 1080});
    AddUnscaled(*plan, 100, {1920, 0, 2880, 540});
    auto sender = Place();
    const auto& list = sender->FpgaWindows();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1]->gShared, 1);
    EXPECT_EQ(list[1]->gArea, list[0]->gArea);
    EXPECT_EQ(list.FindCoveringTwin(1, 0, {0, 0, 960, 540}), list[0]);
    // Only the borrower is left: it lends nothing.
    CFwndContainer borrower;
    borrower.push_back(list[1]);
    EXPECT_EQ(borrower.FindCoveringTwin(1, 0, {0, 0, 960, 540}), nullptr);
    EXPECT_EQ(list.FindCoveringTwin(1, 0, {0, 0, 1922, 540}), nullptr);
}
