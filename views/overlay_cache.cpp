#include "views/overlay_cache.h"

#include <algorithm>

namespace {

template <class Record>
auto ValuesOf(const std::vector<std::shared_ptr<Record>>& records)
{
    std::vector<typename Record::Values> values;
    values.reserve(records.size());
    for (const auto& record : records)
        values.push_back(record->GetValues());
    return values;
}

bool SameWindows(const std::vector<CQelWindow>& kept, const CQelPlan::WindowList& now)
{
    return std::equal(kept.begin(), kept.end(), now.begin(), now.end(),
                      [](const CQelWindow& a, const CQelPlan::WindowPtr& b) { return a == *b; });
}

std::vector<CQelWindow> CopyWindows(const CQelPlan::WindowList& windows)
{
    std::vector<CQelWindow> copies;
    copies.reserve(windows.size());
    for (const auto& window : windows)
        copies.push_back(*window);
    return copies;
}

} // namespace

EightPartOverlayCache::ProcessorPicture EightPartOverlayCache::PictureOf(const CQelProcessor& p)
{
    return ProcessorPicture{p.GetKind(),
                            p.GetAppOptions(),
                            p.GetOutputResolution(),
                            p.GetOutputResolutionId(),
                            p.GetSourceScaler(),
                            p.GetObm(),
                            p.GetWallRevision(),
                            ValuesOf(p.GetSigSrcs()),
                            ValuesOf(p.GetListBItems()),
                            ValuesOf(p.GetSigOuts()),
                            ValuesOf(p.GetBoards())};
}

EightPartOverlayCache::PlanGrid EightPartOverlayCache::GridOf(const CQelPlan& plan)
{
    return PlanGrid{plan.GetType(),     plan.GetRows(),       plan.GetCols(),
                    plan.GetCellRows(), plan.GetCellCols(),   plan.GetResolution(),
                    plan.GetMargin(),   plan.GetRowHeights(), plan.GetColumnWidths()};
}

bool EightPartOverlayCache::KeyHolds(const CQelPlan& plan, const std::shared_ptr<CQelProcessor>& processor) const
{
    return key_ && key_->plan == &plan && key_->processor.lock() == processor && key_->grid == GridOf(plan) &&
           SameWindows(key_->windows, plan.GetWindows()) && SameWindows(key_->parts, plan.Get4KParts()) &&
           (!processor || PictureOf(*processor) == key_->processorPicture);
}

const EightPartOverlayCache::Overlays& EightPartOverlayCache::Get(const CQelPlan& plan,
                                                                  const std::shared_ptr<CQelProcessor>& processor)
{
    if (KeyHolds(plan, processor))
        return overlays_;
    overlays_ = Overlays{plan.GetEightPartOverlay(), plan.GetEightPartOverlay2()};
    // Taken after the queries, so whatever they leave on the records is
    // part of it.
    key_ = Key{&plan,
               processor,
               processor ? PictureOf(*processor) : ProcessorPicture{},
               GridOf(plan),
               CopyWindows(plan.GetWindows()),
               CopyWindows(plan.Get4KParts())};
    return overlays_;
}
