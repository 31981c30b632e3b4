#include "context/context.h"

#include <atomic>
#include <mutex>

#include "core/event_queue.h"
#include "core/program_log.h"
#include "model/processor.h"
#include "model/processor_manager.h"

struct CQelContext::_impl {
    std::shared_ptr<CQelLog> log = std::make_shared<CQelLog>();
    std::shared_ptr<CQelProMan> proMan = std::make_shared<CQelProMan>();
    // Complete types only in the plan library; the deleters come from there.
    std::shared_ptr<CQelPlanMan> planMan;
    std::shared_ptr<CQelCyclePlanMan> cyclePlanMan;
};

namespace {

// Reply parsers reach the context from the link threads.
std::mutex g_mutex;
CQelContext::_impl* g_instance = nullptr;

// The selection is written on the UI thread but read from any thread (a
// link's close handler asks for the selected processor on its I/O thread),
// so readers never wait on g_mutex for it. Writers still serialise on
// g_mutex so that a pair is compared and stored as one.
std::atomic<int> g_selProcessorId{-1};
std::atomic<int> g_selSigSrcId{-1};
std::atomic<int> g_selPlanId{0};

// Guarded by g_mutex.
CQelContext::PlanManMaker g_makePlanMan = nullptr;
CQelContext::CyclePlanManMaker g_makeCyclePlanMan = nullptr;

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

void CQelContext::SetPlanManMakers(PlanManMaker makePlanMan, CyclePlanManMaker makeCyclePlanMan)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    g_makePlanMan = makePlanMan;
    g_makeCyclePlanMan = makeCyclePlanMan;
}

std::shared_ptr<CQelPlanMan> CQelContext::GetPlanMan()
{
    std::lock_guard<std::mutex> guard(g_mutex);
    _impl& context = Instance();
    if (!context.planMan && g_makePlanMan)
        context.planMan = g_makePlanMan();
    return context.planMan;
}

std::shared_ptr<CQelCyclePlanMan> CQelContext::GetCyclePlanMan()
{
    std::lock_guard<std::mutex> guard(g_mutex);
    _impl& context = Instance();
    if (!context.cyclePlanMan && g_makeCyclePlanMan)
        context.cyclePlanMan = g_makeCyclePlanMan();
    return context.cyclePlanMan;
}

int CQelContext::GetSelProcessorId()
{
    return g_selProcessorId.load();
}

int CQelContext::GetSelSigSrcId()
{
    return g_selSigSrcId.load();
}

int CQelContext::GetSelPlanId()
{
    return g_selPlanId.load();
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
        Instance();
        if (g_selProcessorId.load() == processorId && g_selSigSrcId.load() == sourceId)
            return;
        g_selProcessorId.store(processorId);
        g_selSigSrcId.store(sourceId);
    }
    PostEvent(new CSigSrcSelChangedEvent(processorId, sourceId));
}

void CQelContext::SetSelPlan(int planId)
{
    {
        std::lock_guard<std::mutex> guard(g_mutex);
        Instance();
        if (g_selPlanId.load() == planId)
            return;
        g_selPlanId.store(planId);
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
        g_selProcessorId.store(-1);
        g_selSigSrcId.store(-1);
        g_selPlanId.store(0);
    }
    if (!context)
        return;
    context->cyclePlanMan.reset();
    context->planMan.reset();
    context->proMan.reset();
    context->log.reset();
    delete context;
}
