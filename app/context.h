#pragma once
#include <cstdint>
#include <memory>

class CQelLog;
class CQelProMan;

// The one place that owns the long-lived managers and remembers what the
// operator has selected. Static accessors reach a process-wide state that is
// made on first use and released only by Destroy, which the shut-down
// sequence calls; ids that name nothing are stored as -1.
class CQelContext {
public:
    static CQelLog* GetLog();
    static std::shared_ptr<CQelProMan> GetProMan();

    static int GetSelProcessorId();
    static int GetSelSigSrcId();
    static int GetSelPlanId();

    // The three selection getters are safe on any thread.
    // Posts a CSigSrcSelChangedEvent when the selection changes.
    static void SetSelSigSrc(int processorId, int sourceId);
    // Posts a CPlanSelChangedEvent when the plan changes.
    static void SetSelPlan(int planId);

    // Releases the processor manager, then the log. A later call of any
    // accessor makes a fresh context.
    static void Destroy();

    struct _impl;

private:
    static _impl& Instance();
};
