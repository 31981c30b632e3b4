#include "tests/plan/plan_test_support.h"

#include "context/context.h"
#include "core/event_queue.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/sig_src.h"

void SelectProcessor(const TestProcessor& t)
{
    CQelContext::Destroy();
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetId(1);
    processor->SetKind(t.kind);
    processor->SetOutputResolution(t.width, t.height, 60);
    CQelProcessor::Wall wall = processor->GetWall();
    wall.cells = t.cells;
    processor->SetWall(wall);
    for (const auto& [id, resolution] : t.sources) {
        CQelSigSrc::Values values;
        values.id = id;
        values.resolution = resolution;
        processor->AddSigSrc(std::make_shared<CQelSigSrc>(values), false, false);
    }
    CQelContext::GetProMan()->AddProcessor(processor);
    CQelContext::SetSelSigSrc(1, t.selectedSource);
}

void DeselectProcessor()
{
    CQelContext::SetSelSigSrc(-1, -1);
}

void ReleaseContext()
{
    CQelContext::Destroy();
    CEvtQueue::get_instance().Clear();
}

std::vector<PostedEvent> TakeEvents()
{
    std::vector<PostedEvent> out;
    EventPtr e;
    while (CEvtQueue::get_instance().TryPop(e)) {
        if (auto* w = dynamic_cast<CPlanWindowEvent*>(e.get()))
            out.push_back({w->GetType(), w->planId, w->windowId});
        else if (auto* a = dynamic_cast<CPlanHisAddedEvent*>(e.get()))
            out.push_back({a->GetType(), a->planId, a->serial});
        else if (auto* d = dynamic_cast<CPlanHisDeletedEvent*>(e.get()))
            out.push_back({d->GetType(), d->planId, d->serial});
        else if (auto* r = dynamic_cast<CPlanHisRecoveredEvent*>(e.get()))
            out.push_back({r->GetType(), r->planId, r->serial});
    }
    return out;
}

std::shared_ptr<CQelWindow> MakeWindow(const Rect& rect, int32_t sigsrc)
{
    auto w = std::make_shared<CQelWindow>();
    w->processor = 1;
    w->sigsrc = sigsrc;
    w->rect = rect;
    return w;
}
