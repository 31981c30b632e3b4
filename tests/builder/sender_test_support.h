#pragma once
// 8-part processors and plans built in code; the processor joins the
// context's manager and is selected, as every sender expects.
#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/geometry.h"

class CQelPlan;
class CQelProcessor;
struct CQelWindow;
namespace PS_NS {
class CPro8x8Sender;
}

void AddTestSource(CQelProcessor& p, uint32_t id, int32_t width, int32_t height);

// Boards given as (id, type).
void AddTestBoards(CQelProcessor& p, std::initializer_list<std::pair<uint32_t, int32_t>> boards);

// Outputs `ids`, each on its board (id / 100), and the wall map `cells`,
// (row, column) to output.
void SetTestOutputs(CQelProcessor& p, std::vector<uint32_t> ids,
                    const std::map<std::pair<int32_t, int32_t>, int32_t>& cells);

// Fixture S: model 8, source 100 (1920 x 1080) on input board 1, outputs
// 10900 and 10901 of board 109 at wall cells (0,0) and (0,1).
void BuildFixtureS(CQelProcessor& p);

void SelectTestProcessor(const std::shared_ptr<CQelProcessor>& p);

// A plan of rows x cols cells of 1920 x 1080, of the sized-grid type
// unless `type` says otherwise.
std::unique_ptr<CQelPlan> MakeTestPlan(int32_t rows, int32_t cols);
std::unique_ptr<CQelPlan> MakeTestPlan(int32_t rows, int32_t cols, int32_t type);

std::shared_ptr<CQelWindow> AddTestWindow(CQelPlan& plan, int32_t source, const Rect& rect);

void RunMonitorPasses(PS_NS::CPro8x8Sender& sender);

// Drops the context and the process-wide 8-part tables.
struct SenderContextGuard {
    ~SenderContextGuard();
};

// Fixture F: model 8, algorithm id 0, source 100 on board 1, outputs 10900
// and 10901 of board 109 on a 1 x 2 wall of 1920 x 1080 cells, selected.
struct FixtureF {
    FixtureF();
    ~FixtureF();
    SenderContextGuard guard;
    std::shared_ptr<CQelProcessor> processor;
    std::unique_ptr<CQelPlan> plan;
};
