#pragma once
// The 8-part overlay queries of a plan, kept between paints: they place
// every window of the wall, which takes longer than painting it.
#include <memory>
#include <vector>

#include "plan/eight_part_overlay.h"

class CQelPlan;
class CQelProcessor;

class EightPartOverlayCache {
public:
    EightPartOverlayCache();
    ~EightPartOverlayCache();

    struct Overlays {
        std::vector<std::shared_ptr<_8PART_NS::tagFPGAWindowFailRect>> failures;
        std::vector<std::shared_ptr<_8PART_NS::tagMonitorInvalidSegmentWindow>> bands;
    };

    // The plan's two overlays on the selected processor `processor`,
    // queried again only when the plan or the processor differ in anything
    // from what they were at the last query.
    const Overlays& Get(const CQelPlan& plan, const std::shared_ptr<CQelProcessor>& processor);

private:
    // What the last query saw, compared on every paint; kept out of line
    // so that users of the cache need not see the processor.
    struct Key;
    bool KeyHolds(const CQelPlan& plan, const std::shared_ptr<CQelProcessor>& processor) const;

    std::unique_ptr<Key> key_;
    Overlays overlays_;
};
