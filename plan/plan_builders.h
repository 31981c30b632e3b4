#pragma once
// What a plan needs of the wall layout builders, which sit above the plan
// library: applying it to the selected processor, the resource check of its
// windows, storing it in a preset slot and the 8-part overlays. The builder
// library implements it; start-up installs it once (InstallPlanBuilders),
// and so do the tests that apply plans.
#include <cstdint>
#include <memory>
#include <vector>

#include "plan/eight_part_overlay.h"

class CQelPlan;
class IProgress;

class IPlanBuilders {
public:
    virtual ~IPlanBuilders() = default;
    virtual bool Apply(CQelPlan& plan, int32_t mode, IProgress* receiver) = 0;
    // Called after every window's `resourceOk` was cleared.
    virtual void PlaceWindows(CQelPlan& plan) = 0;
    virtual bool SaveToProcessor(CQelPlan& plan, int32_t slot, IProgress* receiver) = 0;
    virtual std::vector<std::shared_ptr<_8PART_NS::tagFPGAWindowFailRect>>
    EightPartOverlay(const CQelPlan& plan) const = 0;
    virtual std::vector<std::shared_ptr<_8PART_NS::tagMonitorInvalidSegmentWindow>>
    EightPartOverlay2(const CQelPlan& plan) const = 0;
};

// Replaces the builders every plan reaches; null takes them away, after
// which applying and storing fail, no window is realised and the overlays
// are empty, as without a processor. Set before any plan is used from other
// threads: the pointer itself is not guarded.
void SetPlanBuilders(std::shared_ptr<IPlanBuilders> builders);
IPlanBuilders* GetPlanBuilders();
