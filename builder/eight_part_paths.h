#pragma once
// Applying a plan to, checking it against and storing it on the processors
// of the 8-part family (models 7 to 10), through the 8-part sender.
#include <cstdint>

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
