#pragma once
// 8-part processors and plans built in code; the processor joins the
// context's manager and is selected, as every sender expects.
#include <memory>
#include <vector>

#include "context/context.h"
#include "builder/gsys_manager.h"
#include "builder/pro8part_sender.h"
#include "builder/resource_allocer.h"
#include "model/board.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/processor_records.h"
#include "model/sig_out.h"
#include "model/sig_src.h"
#include "plan/plan.h"

inline void AddTestSource(CQelProcessor& p, uint32_t id, int32_t width, int32_t height)
{
    CQelSigSrc::Values values;
    values.id = id;
    values.resolution = {width, height, 60};
    auto source = std::make_shared<CQelSigSrc>(values);
    source->SetBoard(p.GetBoard(id / 100));
    p.AddSigSrc(source, false, false);
}

// Boards given as (id, type).
inline void AddTestBoards(CQelProcessor& p, std::initializer_list<std::pair<uint32_t, int32_t>> boards)
{
    for (auto [id, type] : boards) {
        auto board = std::make_shared<CQelBoard>(id);
        board->SetType(type);
        p.records().AddBoard(board);
    }
}

// Outputs `ids`, each on its board (id / 100), and the wall map `cells`.
inline void SetTestOutputs(CQelProcessor& p, std::vector<uint32_t> ids, const CQelProcessor::WallMap& cells)
{
    for (uint32_t id : ids) {
        auto output = std::make_shared<CQelSigOut>(id);
        output->SetBoard(p.GetBoard(id / 100));
        p.AddSigOut(output);
    }
    auto wall = p.GetWall();
    wall.cells = cells;
    p.SetWall(wall);
}

// Fixture S: model 8, source 100 (1920 x 1080) on input board 1, outputs
// 10900 and 10901 of board 109 at wall cells (0,0) and (0,1).
inline void BuildFixtureS(CQelProcessor& p)
{
    p.SetKind(8);
    AddTestBoards(p, {{1, 1}, {109, 12}});
    AddTestSource(p, 100, 1920, 1080);
    SetTestOutputs(p, {10900, 10901}, {{{0, 0}, 10900}, {{0, 1}, 10901}});
}

inline void SelectTestProcessor(const std::shared_ptr<CQelProcessor>& p)
{
    p->SetId(1);
    CQelContext::GetProMan()->AddProcessor(p);
    CQelContext::SetSelSigSrc(1, -1);
}

// A plan of rows x cols cells of 1920 x 1080.
inline std::unique_ptr<CQelPlan> MakeTestPlan(int32_t rows, int32_t cols, int32_t type = kPlanSizedGrid)
{
    auto plan = std::make_unique<CQelPlan>();
    plan->SetType(type);
    plan->SetGrid(rows, cols);
    plan->SetResolution({1920, 1080, 60});
    if (type == kPlanSizedGrid) {
        plan->SetRowHeights(std::vector<int32_t>(size_t(rows), 1080));
        plan->SetColumnWidths(std::vector<int32_t>(size_t(cols), 1920));
    }
    return plan;
}

inline std::shared_ptr<CQelWindow> AddTestWindow(CQelPlan& plan, int32_t source, const Rect& rect)
{
    auto window = std::make_shared<CQelWindow>();
    window->processor = 1;
    window->sigsrc = source;
    window->rect = rect;
    plan.AddWindow(window, CurrentPlanSelection());
    return window;
}

inline void RunMonitorPasses(PS_NS::CPro8x8Sender& sender)
{
    sender.CollectBoards();
    sender.CollectWindows();
    sender.AddMonitors();
}

// Drops the context and the process-wide 8-part tables.
struct SenderContextGuard {
    ~SenderContextGuard()
    {
        CQelContext::Destroy();
        _8PART_NS::C8PartResourceAllocer::Destroy();
        _8PART_NS::C8PartGSysManager::Destroy();
        PS_NS::CPro8x8Sender::CResourceAllocer::Destroy();
    }
};

// Fixture F: model 8, algorithm id 0, source 100 on board 1, outputs 10900
// and 10901 of board 109 on a 1 x 2 wall of 1920 x 1080 cells, selected.
struct FixtureF {
    FixtureF()
    {
        BuildFixtureS(*processor);
        SelectTestProcessor(processor);
    }
    SenderContextGuard guard;
    std::shared_ptr<CQelProcessor> processor = std::make_shared<CQelProcessor>();
    std::unique_ptr<CQelPlan> plan = MakeTestPlan(1, 2);
};
