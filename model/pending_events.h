#pragma once
#include <memory>
#include <utility>
#include <vector>

#include "core/event_queue.h"

// Events gathered while a processor's lock is held and posted, in the order
// gathered, once it is released. Declare it before the guard of that lock:
// the guard then goes first and the destructor posts.
class PendingEvents {
public:
    PendingEvents() = default;
    PendingEvents(const PendingEvents&) = delete;
    PendingEvents& operator=(const PendingEvents&) = delete;
    ~PendingEvents() { Post(); }

    template <class Event, class... Args>
    void Add(Args&&... args)
    {
        events_.push_back(std::make_shared<Event>(std::forward<Args>(args)...));
    }

    void Post()
    {
        for (auto& event : events_)
            CEvtQueue::get_instance().Push(std::move(event));
        events_.clear();
    }

private:
    std::vector<EventPtr> events_;
};
