#pragma once
// Applying a plan to, checking it against and storing it on the processors
// of the 8-part family (models 7 to 10), through the 8-part sender.
#include <cstdint>
#include <memory>
#include <vector>

#include "plan/eight_part_overlay.h"

class CQelPlan;
class CQelProcessor;
class IProgress;

// Mode 0 sends the layout (the routes of a switch plan), mode 1 the OSD
// windows; false for any other mode or when the processor refused the lines.
bool Apply8PartPlan(CQelPlan& plan, CQelProcessor& processor, int32_t mode, IProgress* receiver);
// Stores the layout as preset `slot`, the status poll paused meanwhile;
// true when the processor reported it stored.
bool Save8PartPlan(CQelPlan& plan, CQelProcessor& processor, int32_t slot, IProgress* receiver);
// The sender places nothing ahead of an apply, so every window counts as
// shown; the sender's set-up still rebuilds the resource tables.
void Check8PartPlan(CQelPlan& plan, const CQelProcessor& processor);
// What the selected 8-part processor cannot show of the plan (the
// placement's failure records, and per output the areas past its limits);
// empty without a processor of models 7 to 10.
std::vector<std::shared_ptr<_8PART_NS::tagFPGAWindowFailRect>> EightPartOverlay(const CQelPlan& plan);
std::vector<std::shared_ptr<_8PART_NS::tagMonitorInvalidSegmentWindow>> EightPartOverlay2(const CQelPlan& plan);
