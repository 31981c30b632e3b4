#pragma once
// Applying a plan to, checking it against and storing it on the 16-part
// (model 6) and LED-wall (model 4) processors: the builder runs between the
// store commands these models surround it with.
#include <cstdint>

class CQelPlan;
class CQelProcessor;

// False when a line, surrounding command included, was refused.
bool Apply16PartPlan(CQelPlan& plan, CQelProcessor& processor);
bool Save16PartPlan(CQelPlan& plan, CQelProcessor& processor, int32_t slot);
// Sets each window's `resourceOk` to whether the builder placed it in full.
void Check16PartPlan(CQelPlan& plan);

bool ApplyLedPlan(CQelPlan& plan);
// Pauses the status poll while storing and turns it on again afterwards.
bool SaveLedPlan(CQelPlan& plan, CQelProcessor& processor, int32_t slot);
void CheckLedPlan(CQelPlan& plan);
