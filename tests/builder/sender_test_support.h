#pragma once
// Processors and plans of the 8-part family built in code; the processor
// joins the context's manager and is selected, as every sender expects.
#include <cstdint>
#include <memory>
#include <vector>

#include "app/context.h"
#include "builder/gsys_manager.h"
#include "builder/pro8part_sender.h"
#include "builder/resource_allocer.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "plan/plan.h"

inline std::shared_ptr<CQelBoard> AddTestBoard(CQelProcessor& processor, uint32_t id, int32_t type)
{
    auto board = std::make_shared<CQelBoard>(id);
    board->SetType(type);
    processor.AddBoard(board);
    return board;
}

inline void AddTestSource(CQelProcessor& processor, const std::shared_ptr<CQelBoard>& board, uint32_t id,
                          int32_t width, int32_t height)
{
    CQelSigSrc::Values values;
    values.id = id;
    values.resolution = {width, height, 60};
    auto source = std::make_shared<CQelSigSrc>(values);
    source->SetBoard(board);
    processor.AddSigSrc(source, false, false);
}

inline void AddTestOutputs(CQelProcessor& processor, const std::shared_ptr<CQelBoard>& board,
                           std::vector<uint32_t> ids)
{
    for (uint32_t id : ids) {
        auto output = std::make_shared<CQelSigOut>(id);
        output->SetBoard(board);
        processor.AddSigOut(output);
    }
}

inline void SetTestWall(CQelProcessor& processor, int32_t rows, int32_t cols, const CQelProcessor::WallMap& cells)
{
    auto wall = processor.GetWall();
    wall.rows = rows;
    wall.cols = cols;
    wall.cells = cells;
    processor.SetWall(wall);
}

// Fixture S: model 8, source 100 (1920 x 1080) on input board 1, outputs
// 10900 and 10901 of board 109 at wall cells (0,0) and (0,1).
inline void BuildFixtureS(CQelProcessor& processor)
{
    processor.SetKind(8);
    const auto input = AddTestBoard(processor, 1, 1);
    const auto output = AddTestBoard(processor, 109, 12);
    AddTestSource(processor, input, 100, 1920, 1080);
    AddTestOutputs(processor, output, {10900, 10901});
    SetTestWall(processor, 1, 2, {{{0, 0}, 10900}, {{0, 1}, 10901}});
}

inline void SelectTestProcessor(const std::shared_ptr<CQelProcessor>& processor, uint32_t id = 1)
{
    processor->SetId(id);
    CQelContext::GetProMan()->AddProcessor(processor);
    CQelContext::SetSelSigSrc(int(id), -1);
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
    plan.AddWindow(window);
    return window;
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
