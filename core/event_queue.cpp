#include "core/event_queue.h"

CEvtQueue& CEvtQueue::get_instance()
{
    static CEvtQueue queue;
    return queue;
}

CEvtQueue::CEvtQueue(uint32_t capacity) : capacity_(capacity) {}

CEvtQueue::~CEvtQueue()
{
    Clear();
}

bool CEvtQueue::Post(CEventBase* event)
{
    return Push(EventPtr(event));
}

bool CEvtQueue::Push(EventPtr event)
{
    EventPtr dropped; // released after the lock
    std::lock_guard lock(mutex_);
    if (events_.size() >= capacity_ && !events_.empty()) {
        dropped = std::move(events_.front());
        events_.pop_front();
    }
    events_.push_back(std::move(event));
    return true;
}

bool CEvtQueue::TryPop(EventPtr& event)
{
    std::lock_guard lock(mutex_);
    if (events_.empty()) {
        return false;
    }
    event = std::move(events_.front());
    events_.pop_front();
    return true;
}

void CEvtQueue::Clear()
{
    std::deque<EventPtr> dropped;
    {
        std::lock_guard lock(mutex_);
        dropped.swap(events_);
    }
    // Events are released outside the lock: a destructor may post.
}

bool PostEvent(CEventBase* event)
{
    return CEvtQueue::get_instance().Post(event);
}
