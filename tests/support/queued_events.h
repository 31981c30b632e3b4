#pragma once
// Reads what the code under test posted to the process-wide event queue.
#include <memory>
#include <vector>

#include "core/event_queue.h"

// Takes every queued event off the process-wide queue, oldest first.
inline std::vector<EventPtr> DrainEvents()
{
    std::vector<EventPtr> events;
    EventPtr event;
    while (CEvtQueue::get_instance().TryPop(event))
        events.push_back(event);
    return events;
}

template <class Event>
const Event& As(const EventPtr& event)
{
    return dynamic_cast<const Event&>(*event);
}

// Pointers into `events`, which must outlive them.
template <class Event>
std::vector<const Event*> EventsOf(const std::vector<EventPtr>& events)
{
    std::vector<const Event*> found;
    for (const auto& event : events)
        if (event->GetType() == Event::kType)
            found.push_back(dynamic_cast<const Event*>(event.get()));
    return found;
}
template <class Event>
void EventsOf(std::vector<EventPtr>&&) = delete;
