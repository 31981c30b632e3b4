#include "plan/plan_context.h"

#include <mutex>

#include "context/context.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/sig_src.h"

namespace {

std::shared_ptr<CQelProcessor> FindProcessor(int32_t id)
{
    if (id == -1)
        return nullptr;
    return CQelContext::GetProMan()->FindById(static_cast<uint32_t>(id));
}

} // namespace

int32_t WallPlacement::OutputAt(int32_t row, int32_t col) const
{
    auto it = cells.find({row, col});
    return it == cells.end() ? -1 : it->second;
}

bool WallPlacement::FindOutput(int32_t outputId, int32_t& row, int32_t& col) const
{
    for (const auto& [cell, id] : cells) {
        if (id == outputId) {
            row = cell.first;
            col = cell.second;
            return true;
        }
    }
    return false;
}

std::shared_ptr<const WallPlacement> SelectedWallPlacement()
{
    const auto processor = FindProcessor(SelectedProcessorId());
    if (!processor)
        return nullptr;
    // Placements ask for every window and every output: copying the wall
    // each time made a query of a large wall slow. The revision is read
    // first, so a wall changed meanwhile is copied again next time.
    struct Kept {
        std::weak_ptr<CQelProcessor> processor;
        uint64_t wallRevision = 0;
        std::shared_ptr<const WallPlacement> placement;
    };
    static std::mutex mutex;
    static Kept kept;
    const uint64_t revision = processor->GetWallRevision();
    const auto id = static_cast<int32_t>(processor->GetId());
    const int32_t kind = processor->GetKind();
    const ResolutionTriple output = processor->GetOutputResolution();
    {
        std::lock_guard<std::mutex> lock(mutex);
        const auto& p = kept.placement;
        if (p && kept.processor.lock() == processor && kept.wallRevision == revision && p->processorId == id &&
            p->kind == kind && p->output == output)
            return p;
    }
    auto placement = std::make_shared<WallPlacement>();
    placement->processorId = id;
    placement->kind = kind;
    placement->output = output;
    placement->cells = processor->GetWall().cells;
    std::lock_guard<std::mutex> lock(mutex);
    kept = Kept{processor, revision, placement};
    return placement;
}

PlanSelection CurrentPlanSelection()
{
    return PlanSelection{SelectedProcessorId(), SelectedSigSrcId(), SelectedWallPlacement()};
}

int32_t SelectedProcessorId()
{
    return CQelContext::GetSelProcessorId();
}

int32_t SelectedSigSrcId()
{
    return CQelContext::GetSelSigSrcId();
}

std::optional<ResolutionTriple> SigSrcResolution(int32_t processorId, int32_t sigsrcId)
{
    const auto processor = FindProcessor(processorId);
    if (!processor || sigsrcId == -1)
        return std::nullopt;
    const auto source = processor->GetSigSrc(static_cast<uint32_t>(sigsrcId));
    if (!source)
        return std::nullopt;
    return source->GetResolution();
}
