#include "views/overlay_cache.h"

#include <algorithm>

#include "model/board.h"
#include "model/processor.h"
#include "model/processor_records.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "plan/plan.h"

namespace {

// Everything of a processor and a plan a placement may read, by value
// (the wall by its revision, as it is compared on every paint):
// comparing them needs no one to report a change.
struct ProcessorPicture {
    int32_t kind = 0;
    CQelProcessor::AppOptions options;
    Resolution output;
    uint32_t outputId = 0;
    int32_t sourceScaler = 0;
    int32_t obm = 0;
    uint64_t wallRevision = 0;
    std::vector<CQelSigSrc::Values> sources;
    std::vector<CQelSigSrc::Values> splitSources;
    std::vector<CQelSigOut::Values> outputs;
    std::vector<CQelBoard::Values> boards;
    friend bool operator==(const ProcessorPicture&, const ProcessorPicture&) = default;
};

struct PlanGrid {
    int32_t type = 0;
    int32_t rows = 0;
    int32_t cols = 0;
    int32_t cellRows = 0;
    int32_t cellCols = 0;
    ResolutionTriple resolution;
    Rect margin;
    std::vector<int32_t> rowHeights;
    std::vector<int32_t> columnWidths;
    friend bool operator==(const PlanGrid&, const PlanGrid&) = default;
};

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

ProcessorPicture PictureOf(const CQelProcessor& p)
{
    return ProcessorPicture{p.GetKind(),
                            p.settings().GetAppOptions(),
                            p.GetOutputResolution(),
                            p.records().GetOutputResolutionId(),
                            p.settings().GetSourceScaler(),
                            p.settings().GetObm(),
                            p.GetWallRevision(),
                            ValuesOf(p.GetSigSrcs()),
                            ValuesOf(p.records().GetListBItems()),
                            ValuesOf(p.GetSigOuts()),
                            ValuesOf(p.records().GetBoards())};
}

PlanGrid GridOf(const CQelPlan& plan)
{
    return PlanGrid{plan.GetType(),     plan.GetRows(),       plan.GetCols(),
                    plan.GetCellRows(), plan.GetCellCols(),   plan.GetResolution(),
                    plan.GetMargin(),   plan.GetRowHeights(), plan.GetColumnWidths()};
}

} // namespace

struct EightPartOverlayCache::Key {
    const CQelPlan* plan = nullptr;
    std::weak_ptr<CQelProcessor> processor;
    ProcessorPicture processorPicture;
    PlanGrid grid;
    std::vector<CQelWindow> windows;
    std::vector<CQelWindow> parts;
};

EightPartOverlayCache::EightPartOverlayCache() = default;
EightPartOverlayCache::~EightPartOverlayCache() = default;

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
    key_ = std::make_unique<Key>(Key{&plan, processor, processor ? PictureOf(*processor) : ProcessorPicture{},
                                     GridOf(plan), CopyWindows(plan.GetWindows()), CopyWindows(plan.Get4KParts())});
    return overlays_;
}
