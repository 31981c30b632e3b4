#include "tests/builder/sender_test_support.h"

#include "context/context.h"
#include "model/board.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/processor_records.h"
#include "model/sig_out.h"
#include "model/sig_src.h"
#include "plan/plan.h"

void AddTestSource(CQelProcessor& p, uint32_t id, int32_t width, int32_t height)
{
    CQelSigSrc::Values values;
    values.id = id;
    values.resolution = {width, height, 60};
    auto source = std::make_shared<CQelSigSrc>(values);
    source->SetBoard(p.GetBoard(id / 100));
    p.AddSigSrc(source, false, false);
}

void AddTestBoards(CQelProcessor& p, std::initializer_list<std::pair<uint32_t, int32_t>> boards)
{
    for (auto [id, type] : boards) {
        auto board = std::make_shared<CQelBoard>(id);
        board->SetType(type);
        p.records().AddBoard(board);
    }
}

void SetTestOutputs(CQelProcessor& p, std::vector<uint32_t> ids, const CQelProcessor::WallMap& cells)
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

void BuildFixtureS(CQelProcessor& p)
{
    p.SetKind(8);
    AddTestBoards(p, {{1, 1}, {109, 12}});
    AddTestSource(p, 100, 1920, 1080);
    SetTestOutputs(p, {10900, 10901}, {{{0, 0}, 10900}, {{0, 1}, 10901}});
}

void SelectTestProcessor(const std::shared_ptr<CQelProcessor>& p)
{
    p->SetId(1);
    CQelContext::GetProMan()->AddProcessor(p);
    CQelContext::SetSelSigSrc(1, -1);
}

std::unique_ptr<CQelPlan> MakeTestPlan(int32_t rows, int32_t cols)
{
    return MakeTestPlan(rows, cols, kPlanSizedGrid);
}

std::unique_ptr<CQelPlan> MakeTestPlan(int32_t rows, int32_t cols, int32_t type)
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

std::shared_ptr<CQelWindow> AddTestWindow(CQelPlan& plan, int32_t source, const Rect& rect)
{
    auto window = std::make_shared<CQelWindow>();
    window->processor = 1;
    window->sigsrc = source;
    window->rect = rect;
    plan.AddWindow(window, CurrentPlanSelection());
    return window;
}
