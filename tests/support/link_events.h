#pragma once
// Reads the link states channels post to the process-wide event queue.
#include "core/event_queue.h"

#include <chrono>
#include <thread>
#include <utility>
#include <vector>

class LinkEvents {
public:
    using State = std::pair<uint32_t, int>; // channel id, state

    LinkEvents() { CEvtQueue::get_instance().Clear(); }

    // Every link state posted so far (other events are kept aside).
    const std::vector<State>& Drain()
    {
        EventPtr event;
        while (CEvtQueue::get_instance().TryPop(event)) {
            if (event->GetType() == CNetConnectEvent::kType) {
                const auto& link = static_cast<const CNetConnectEvent&>(*event);
                states_.emplace_back(link.channelId, link.state);
            } else {
                others_.push_back(event);
            }
        }
        return states_;
    }

    // Waits in real time until `count` states were posted.
    bool WaitForStates(size_t count, std::chrono::milliseconds timeout)
    {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (Drain().size() < count) {
            if (std::chrono::steady_clock::now() >= end)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    const std::vector<EventPtr>& Others()
    {
        Drain();
        return others_;
    }

private:
    std::vector<State> states_;
    std::vector<EventPtr> others_;
};
