#pragma once
// What becomes of a plan when its tab closes or the program closes, apart
// from any window: whether the operator is asked, and what saving or
// dropping it does. Prompts go through the functions given, so the view
// container passes the modal seam and tests pass recorders.
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "views/view_dialogs.h"

class CQelPlan;
class CQelPlanMan;

namespace viewtext {
inline constexpr char kPlanUnsaved[] = "方案还未保存，需要保存吗？";
} // namespace viewtext

struct PlanPrompts {
    std::function<bool(const QString&)> askYesNo;
    std::function<void(const QString&)> inform;
};

// "\"<name>\" " and the translated question whether to save it.
QString UnsavedPlanQuestion(const std::string& name);

enum class ClosingPlanStep {
    Keep, // saved as it is: stays loaded
    Ask,  // modified: the operator decides
    Drop, // new and never changed: leaves the loaded plans quietly
};
ClosingPlanStep ClosingPlanStepFor(const CQelPlan& plan, const std::vector<std::string>& savedNames);

// Writes the plan; a failure is told, and the plan stays modified, loaded
// and listed. True when it was written.
bool SavePlanTelling(CQelPlanMan& manager, const std::shared_ptr<CQelPlan>& plan, const PlanPrompts& prompts);
// Asks whether to save the modified plan: yes saves it, no drops it from
// the loaded plans.
void ResolveUnsavedPlan(CQelPlanMan& manager, const std::shared_ptr<CQelPlan>& plan, const PlanPrompts& prompts);
// The plan of a tab being closed.
void DisposeClosingPlan(CQelPlanMan& manager, const std::shared_ptr<CQelPlan>& plan, const PlanPrompts& prompts);
