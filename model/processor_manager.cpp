#include "model/processor_manager.h"

#include "model/processor.h"
#include "model/processor_jobs.h"
#include "model/processor_records.h"
#include "model/processor_settings.h"
#include "model/requests.h"
#include "model/shared_lookup.h"
#include "model/sig_src.h"

namespace {

constexpr uint32_t kDefaultProcessorId = 1;

} // namespace

bool CQelProMan::CreateDefaultProcessor(const SelectSource& select)
{
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetId(kDefaultProcessorId);
    if (!processor->LoadPro(CQelProcessor::ProFilePath()))
        processor->CreateFirstStartPro(CQelProcessor::ProFilePath());
    AddProcessor(processor);
    if (const auto first = processor->records().GetSigSrcAt(0); first && select)
        select(processor->GetId(), first->GetId());
    return true;
}

bool CQelProMan::AddProcessor(const std::shared_ptr<CQelProcessor>& processor)
{
    if (!processor)
        return false;
    const uint32_t id = processor->GetId();
    std::lock_guard<std::mutex> guard(mutex_);
    if (FindSharedById(id, processors_))
        return false;
    processors_.push_back(processor);
    return true;
}

std::vector<std::shared_ptr<CQelProcessor>> CQelProMan::GetProcessors() const
{
    std::lock_guard<std::mutex> guard(mutex_);
    return processors_;
}

std::shared_ptr<CQelProcessor> CQelProMan::FindById(uint32_t id) const
{
    return FindSharedById(id, GetProcessors());
}

std::shared_ptr<CQelProcessor> CQelProMan::FindByChannel(uint32_t channelId) const
{
    for (const auto& processor : GetProcessors())
        if (processor->settings().GetChannelId() == channelId)
            return processor;
    return nullptr;
}

std::shared_ptr<CQelSigSrc> CQelProMan::GetSigSrcOf(uint32_t processorId, uint32_t sourceId) const
{
    const auto processor = FindById(processorId);
    return processor ? processor->GetSigSrc(sourceId) : nullptr;
}

void CQelProMan::BroadcastStatusQuery() const
{
    for (const auto& processor : GetProcessors())
        processor->jobs().Dispatch(request::kStatusQuery);
}
