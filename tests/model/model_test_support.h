#pragma once
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/event_queue.h"

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

inline void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
