#include "app/context.h"

#include <mutex>

#include "app/event_queue.h"
#include "app/program_log.h"
#include "model/processor_manager.h"

struct CQelContext::_impl {
    std::shared_ptr<CQelLog> log = std::make_shared<CQelLog>();
    std::shared_ptr<CQelProMan> proMan = std::make_shared<CQelProMan>();
    // Complete types only in the plan library; the deleters come from there.
    std::shared_ptr<CQelPlanMan> planMan;
    std::shared_ptr<CQelCyclePlanMan> cyclePlanMan;
    int selProcessorId = -1;
    int selSigSrcId = -1;
    int selPlanId = 0;
};

namespace {

// Reply parsers reach the context from the link threads; the selection
// itself is written on the UI thread.
std::mutex g_mutex;
CQelContext::_impl* g_instance = nullptr;

} // namespace

// The caller holds g_mutex.
CQelContext::_impl& CQelContext::Instance()
{
    if (!g_instance)
        g_instance = new _impl;
    return *g_instance;
}

CQelLog* CQelContext::GetLog()
{
    std::lock_guard<std::mutex> guard(g_mutex);
    return Instance().log.get();
}

std::shared_ptr<CQelProMan> CQelContext::GetProMan()
{
    std::lock_guard<std::mutex> guard(g_mutex);
    return Instance().proMan;
}

std::shared_ptr<CQelPlanMan>
CQelContext::PlanManSlot(std::shared_ptr<CQelPlanMan> (*make)())
{
    std::lock_guard<std::mutex> guard(g_mutex);
    _impl& context = Instance();
    if (!context.planMan)
        context.planMan = make();
    return context.planMan;
}

std::shared_ptr<CQelCyclePlanMan>
CQelContext::CyclePlanManSlot(std::shared_ptr<CQelCyclePlanMan> (*make)())
{
    std::lock_guard<std::mutex> guard(g_mutex);
    _impl& context = Instance();
    if (!context.cyclePlanMan)
        context.cyclePlanMan = make();
    return context.cyclePlanMan;
}

int CQelContext::GetSelProcessorId()
{
    std::lock_guard<std::mutex> guard(g_mutex);
    return Instance().selProcessorId;
}

int CQelContext::GetSelSigSrcId()
{
    std::lock_guard<std::mutex> guard(g_mutex);
    return Instance().selSigSrcId;
}

int CQelContext::GetSelPlanId()
{
    std::lock_guard<std::mutex> guard(g_mutex);
    return Instance().selPlanId;
}

void CQelContext::SetSelSigSrc(int processorId, int sourceId)
{
    // Looked up before taking the lock: the manager and the processor
    // have locks of their own.
    if (const auto processor = GetProMan()->FindById(uint32_t(processorId))) {
        if (!processor->GetSigSrc(uint32_t(sourceId)))
            sourceId = -1;
    } else {
        processorId = -1;
    }

    {
        std::lock_guard<std::mutex> guard(g_mutex);
        _impl& context = Instance();
        if (context.selProcessorId == processorId && context.selSigSrcId == sourceId)
            return;
        context.selProcessorId = processorId;
        context.selSigSrcId = sourceId;
    }
    PostEvent(new CSigSrcSelChangedEvent(processorId, sourceId));
}

void CQelContext::SetSelPlan(int planId)
{
    {
        std::lock_guard<std::mutex> guard(g_mutex);
        _impl& context = Instance();
        if (context.selPlanId == planId)
            return;
        context.selPlanId = planId;
    }
    PostEvent(new CPlanSelChangedEvent(planId));
}

void CQelContext::Destroy()
{
    _impl* context = nullptr;
    {
        std::lock_guard<std::mutex> guard(g_mutex);
        context = g_instance;
        g_instance = nullptr;
    }
    if (!context)
        return;
    context->cyclePlanMan.reset();
    context->planMan.reset();
    context->proMan.reset();
    context->log.reset();
    delete context;
}
