#pragma once
// What a new plan takes from the current processor, and the first free
// default plan name.
#include <string>

class CQelPlan;
class CQelPlanMan;
class CQelProcessor;

// Grid, 2 x 2 cell split, output resolution and margin; for processors
// sized by row heights and column widths also plan type 1, those sizes and
// the watch windows of the processor's watch outputs.
void FillPlanGridFromProcessor(CQelPlan& plan, const CQelProcessor& processor);

// "<prefix>_N" for the first N from 1 that names no plan.
std::string FirstFreePlanName(CQelPlanMan& plans, const std::string& prefix);
