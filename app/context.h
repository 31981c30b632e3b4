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
    // The plan library, which sits above this one, defines these two and
    // makes each manager on first use; the context keeps it until Destroy.
    static std::shared_ptr<CQelPlanMan> GetPlanMan();
    static std::shared_ptr<CQelCyclePlanMan> GetCyclePlanMan();

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
    // The context's manager, made by `make` under the context's lock when
    // it holds none yet, so a manager's constructor must not reach back.
    static std::shared_ptr<CQelPlanMan>
    PlanManSlot(std::shared_ptr<CQelPlanMan> (*make)());
    static std::shared_ptr<CQelCyclePlanMan>
    CyclePlanManSlot(std::shared_ptr<CQelCyclePlanMan> (*make)());
};
