#include "frame/heartbeat.h"

#include <chrono>

#include "context/context.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/processor_records.h"
#include "model/processor_requests.h"
#include "platform/clock.h"

uint32_t TickCount()
{
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(platform::Now().time_since_epoch());
    return static_cast<uint32_t>(ms.count());
}

bool StatusPollGate::ShouldPoll(uint32_t now)
{
    if (last_ && uint32_t(now - *last_) <= kIntervalMs)
        return false;
    last_ = now;
    return true;
}

void PollProcessors()
{
    const auto processors = CQelContext::GetProMan();
    processors->BroadcastStatusQuery();
    const int selected = CQelContext::GetSelProcessorId();
    if (selected < 0)
        return;
    const auto processor = processors->FindById(uint32_t(selected));
    if (processor && processor->IsConnected() && processor->records().GetSigSrcCount() == 0)
        processor->requests().RequestSlotDiscovery();
}
