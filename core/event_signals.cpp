#include "core/event_signals.h"

#include "core/event_signals_hub.h"

CQelEvtSignals::_impl& CQelEvtSignals::instance()
{
    static _impl hub;
    return hub;
}

namespace {

// The code picks the signal; the class must match it too, so an event that
// returns another class's code reaches nobody instead of being misread.
template <class Event>
void Emit(CQelEvtSignals::Signal<Event>& signal, const CEventBase& event)
{
    if (const auto* typed = dynamic_cast<const Event*>(&event)) {
        signal(*typed);
    }
}

} // namespace

void CQelEvtSignals::Fire(const EventPtr& event)
{
    if (!event) {
        return;
    }
    _impl& hub = instance();
    const CEventBase& e = *event;
    switch (e.GetType()) {
    case CNetConnectEvent::kType: Emit(hub.netConnect, e); break;
    case CProResolutionChangedEvent::kType: Emit(hub.proResolutionChanged, e); break;
    case CSigSrcAddedEvent::kType: Emit(hub.sigSrcAdded, e); break;
    case CSigSrcRemovedEvent::kType: Emit(hub.sigSrcRemoved, e); break;
    case CSigSrcRenameEvent::kType: Emit(hub.sigSrcRename, e); break;
    case CSigSrcUpdateEvent::kType: Emit(hub.sigSrcUpdate, e); break;
    case CSigSrcJoinChangedEvent::kType: Emit(hub.sigSrcJoinChanged, e); break;
    case CSigSrcResolutionChangedEvent::kType: Emit(hub.sigSrcResolutionChanged, e); break;
    case CSigSrcSelChangedEvent::kType: Emit(hub.sigSrcSelChanged, e); break;
    case CSigSrcChildChangedEvent::kType: Emit(hub.sigSrcChildChanged, e); break;
    case COSDStatusEvent::kType: Emit(hub.osdStatus, e); break;
    case CProcessorIPEvent::kType: Emit(hub.processorIP, e); break;
    case CProcessorPortEvent::kType: Emit(hub.processorPort, e); break;
    case CProcessorSMEvent::kType: Emit(hub.processorSM, e); break;
    case CProcessorGWEvent::kType: Emit(hub.processorGW, e); break;
    case CProcessorMACEvent::kType: Emit(hub.processorMAC, e); break;
    case CPlanSelChangedEvent::kType: Emit(hub.planSelChanged, e); break;
    case CPlanListChangedEvent::kType: Emit(hub.planListChanged, e); break;
    case CPlanWindowEvent::kSelected:
    case CPlanWindowEvent::kChanged: Emit(hub.planWindow, e); break;
    case CPlanHisAddedEvent::kType: Emit(hub.planHisAdded, e); break;
    case CPlanHisDeletedEvent::kType: Emit(hub.planHisDeleted, e); break;
    case CPlanHisRecoveredEvent::kType: Emit(hub.planHisRecovered, e); break;
    case CGetProTypeEvent::kType: Emit(hub.getProType, e); break;
    case CGetFPGAVerEvent::kType: Emit(hub.getFPGAVer, e); break;
    case CGetSTMVerEvent::kType: Emit(hub.getSTMVer, e); break;
    default: break;
    }
}
