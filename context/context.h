#pragma once
#include <cstdint>
#include <memory>

class CQelLog;
class CQelProMan;
class CQelPlanMan;
class CQelCyclePlanMan;

// The one place that owns the long-lived managers and remembers what the
// operator has selected. Static accessors reach a process-wide state that is
// made on first use and released only by Destroy, which the shut-down
// sequence calls; ids that name nothing are stored as -1.
class CQelContext {
public:
    static CQelLog* GetLog();
    static std::shared_ptr<CQelProMan> GetProMan();
    // Each plan manager is made on first use by the maker the plan library,
    // which sits above this one, installed (InstallPlanManagers); the
    // context keeps it until Destroy. Empty while no maker is installed.
    static std::shared_ptr<CQelPlanMan> GetPlanMan();
    static std::shared_ptr<CQelCyclePlanMan> GetCyclePlanMan();
    // A maker runs under the context's lock, so a manager's constructor
    // must not reach back. The makers outlive Destroy.
    using PlanManMaker = std::shared_ptr<CQelPlanMan> (*)();
    using CyclePlanManMaker = std::shared_ptr<CQelCyclePlanMan> (*)();
    static void SetPlanManMakers(PlanManMaker makePlanMan, CyclePlanManMaker makeCyclePlanMan);

    static int GetSelProcessorId();
    static int GetSelSigSrcId();
    static int GetSelPlanId();

    // The three selection getters are safe on any thread.
    // Posts a CSigSrcSelChangedEvent when the selection changes.
    static void SetSelSigSrc(int processorId, int sourceId);
    // Posts a CPlanSelChangedEvent when the plan changes.
    static void SetSelPlan(int planId);

    // Releases the cycle-plan manager, the plan manager, the processor
    // manager and the log, in this order. A later call of any accessor makes
    // a fresh context.
    static void Destroy();

    struct _impl;

private:
    static _impl& Instance();
};
