#pragma once
// The 8-part overlay queries of a plan, kept between paints: they place
// every window of the wall, which takes longer than painting it.
#include <memory>
#include <optional>
#include <vector>

#include "model/processor.h"
#include "plan/plan.h"

class EightPartOverlayCache {
public:
    struct Overlays {
        std::vector<std::shared_ptr<_8PART_NS::tagFPGAWindowFailRect>> failures;
        std::vector<std::shared_ptr<_8PART_NS::tagMonitorInvalidSegmentWindow>> bands;
    };

    // The plan's two overlays on the selected processor `processor`,
    // queried again only when the plan or the processor differ in anything
    // from what they were at the last query.
    const Overlays& Get(const CQelPlan& plan, const std::shared_ptr<CQelProcessor>& processor);

private:
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
    struct Key {
        const CQelPlan* plan = nullptr;
        std::weak_ptr<CQelProcessor> processor;
        ProcessorPicture processorPicture;
        PlanGrid grid;
        std::vector<CQelWindow> windows;
        std::vector<CQelWindow> parts;
    };
    static ProcessorPicture PictureOf(const CQelProcessor& processor);
    static PlanGrid GridOf(const CQelPlan& plan);
    bool KeyHolds(const CQelPlan& plan, const std::shared_ptr<CQelProcessor>& processor) const;

    std::optional<Key> key_;
    Overlays overlays_;
};
