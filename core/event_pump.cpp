#include "core/event_pump.h"

#include "core/event_queue.h"
#include "core/event_signals.h"

int PumpEvents()
{
    CEvtQueue& queue = CEvtQueue::get_instance();
    int fired = 0;
    // A fixed number of passes: an event a handler posts may still go out in
    // a later pass of this tick, but never inside the handler that posted it.
    for (int pass = 0; pass < kEventsPerTick; ++pass) {
        EventPtr event;
        if (queue.TryPop(event)) {
            CQelEvtSignals::Fire(event);
            ++fired;
        }
    }
    return fired;
}
