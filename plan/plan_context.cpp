#include "plan/plan_context.h"

#include "app/context.h"
#include "model/processor.h"
#include "model/processor_manager.h"

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

std::optional<WallPlacement> SelectedWallPlacement()
{
    const auto processor = FindProcessor(SelectedProcessorId());
    if (!processor)
        return std::nullopt;
    WallPlacement placement;
    placement.processorId = static_cast<int32_t>(processor->GetId());
    placement.kind = processor->GetKind();
    placement.output = processor->GetOutputResolution();
    placement.cells = processor->GetWall().cells;
    return placement;
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
