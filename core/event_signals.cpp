#include "core/event_signals.h"

#include <boost/signals2/signal.hpp>

// Every signal has the one type that carries the events' base class, and
// each handler is wrapped to take its own class: one instantiation of the
// signal template serves them all, where one per event class made this the
// slowest file of the build. Fire checks the event's class before it calls
// the event's signal.
using EventSignal = boost::signals2::signal<void(const CEventBase&)>;

struct CQelEvtSignals::_impl {
    EventSignal getFPGAVer;
    EventSignal getSTMVer;
    EventSignal getProType;
    EventSignal netConnect;
    EventSignal proResolutionChanged;
    EventSignal sigSrcAdded;
    EventSignal sigSrcRemoved;
    EventSignal sigSrcRename;
    EventSignal sigSrcUpdate;
    EventSignal sigSrcJoinChanged;
    EventSignal sigSrcResolutionChanged;
    EventSignal sigSrcSelChanged;
    EventSignal sigSrcChildChanged;
    EventSignal planSelChanged;
    EventSignal planListChanged;
    EventSignal planWindow;
    EventSignal planHisAdded;
    EventSignal planHisDeleted;
    EventSignal planHisRecovered;
    EventSignal osdStatus;
    EventSignal processorIP;
    EventSignal processorPort;
    EventSignal processorSM;
    EventSignal processorGW;
    EventSignal processorMAC;
};

#define TAVRIX_CONNECT(Name, Event, member)                                                                            \
    CQelEvtSignals::Connection CQelEvtSignals::Connect##Name(const Handler<Event>& handler)                            \
    {                                                                                                                  \
        return instance().member.connect(                                                                              \
            [handler](const CEventBase& event) { handler(static_cast<const Event&>(event)); });                        \
    }

CQelEvtSignals::_impl& CQelEvtSignals::instance()
{
    static _impl hub;
    return hub;
}

namespace {

// The code picks the signal; the class must match it too, so an event that
// returns another class's code reaches nobody instead of being misread.
template <class Event>
void Emit(EventSignal& signal, const CEventBase& event)
{
    if (dynamic_cast<const Event*>(&event)) {
        signal(event);
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
    case CNetConnectEvent::kType: Emit<CNetConnectEvent>(hub.netConnect, e); break;
    case CProResolutionChangedEvent::kType: Emit<CProResolutionChangedEvent>(hub.proResolutionChanged, e); break;
    case CSigSrcAddedEvent::kType: Emit<CSigSrcAddedEvent>(hub.sigSrcAdded, e); break;
    case CSigSrcRemovedEvent::kType: Emit<CSigSrcRemovedEvent>(hub.sigSrcRemoved, e); break;
    case CSigSrcRenameEvent::kType: Emit<CSigSrcRenameEvent>(hub.sigSrcRename, e); break;
    case CSigSrcUpdateEvent::kType: Emit<CSigSrcUpdateEvent>(hub.sigSrcUpdate, e); break;
    case CSigSrcJoinChangedEvent::kType: Emit<CSigSrcJoinChangedEvent>(hub.sigSrcJoinChanged, e); break;
    case CSigSrcResolutionChangedEvent::kType:
        Emit<CSigSrcResolutionChangedEvent>(hub.sigSrcResolutionChanged, e);
        break;
    case CSigSrcSelChangedEvent::kType: Emit<CSigSrcSelChangedEvent>(hub.sigSrcSelChanged, e); break;
    case CSigSrcChildChangedEvent::kType: Emit<CSigSrcChildChangedEvent>(hub.sigSrcChildChanged, e); break;
    case COSDStatusEvent::kType: Emit<COSDStatusEvent>(hub.osdStatus, e); break;
    case CProcessorIPEvent::kType: Emit<CProcessorIPEvent>(hub.processorIP, e); break;
    case CProcessorPortEvent::kType: Emit<CProcessorPortEvent>(hub.processorPort, e); break;
    case CProcessorSMEvent::kType: Emit<CProcessorSMEvent>(hub.processorSM, e); break;
    case CProcessorGWEvent::kType: Emit<CProcessorGWEvent>(hub.processorGW, e); break;
    case CProcessorMACEvent::kType: Emit<CProcessorMACEvent>(hub.processorMAC, e); break;
    case CPlanSelChangedEvent::kType: Emit<CPlanSelChangedEvent>(hub.planSelChanged, e); break;
    case CPlanListChangedEvent::kType: Emit<CPlanListChangedEvent>(hub.planListChanged, e); break;
    case CPlanWindowEvent::kSelected:
    case CPlanWindowEvent::kChanged: Emit<CPlanWindowEvent>(hub.planWindow, e); break;
    case CPlanHisAddedEvent::kType: Emit<CPlanHisAddedEvent>(hub.planHisAdded, e); break;
    case CPlanHisDeletedEvent::kType: Emit<CPlanHisDeletedEvent>(hub.planHisDeleted, e); break;
    case CPlanHisRecoveredEvent::kType: Emit<CPlanHisRecoveredEvent>(hub.planHisRecovered, e); break;
    case CGetProTypeEvent::kType: Emit<CGetProTypeEvent>(hub.getProType, e); break;
    case CGetFPGAVerEvent::kType: Emit<CGetFPGAVerEvent>(hub.getFPGAVer, e); break;
    case CGetSTMVerEvent::kType: Emit<CGetSTMVerEvent>(hub.getSTMVer, e); break;
    default: break;
    }
}

TAVRIX_CONNECT(GetFPGAVer, CGetFPGAVerEvent, getFPGAVer)
TAVRIX_CONNECT(GetSTMVer, CGetSTMVerEvent, getSTMVer)
TAVRIX_CONNECT(GetProType, CGetProTypeEvent, getProType)
TAVRIX_CONNECT(NetConnect, CNetConnectEvent, netConnect)
TAVRIX_CONNECT(ProResolutionChanged, CProResolutionChangedEvent, proResolutionChanged)
TAVRIX_CONNECT(SigSrcAdded, CSigSrcAddedEvent, sigSrcAdded)
TAVRIX_CONNECT(SigSrcRemoved, CSigSrcRemovedEvent, sigSrcRemoved)
TAVRIX_CONNECT(SigSrcRename, CSigSrcRenameEvent, sigSrcRename)
TAVRIX_CONNECT(SigSrcUpdate, CSigSrcUpdateEvent, sigSrcUpdate)
TAVRIX_CONNECT(SigSrcJoinChanged, CSigSrcJoinChangedEvent, sigSrcJoinChanged)
TAVRIX_CONNECT(SigSrcResolutionChanged, CSigSrcResolutionChangedEvent, sigSrcResolutionChanged)
TAVRIX_CONNECT(SigSrcChildChanged, CSigSrcChildChangedEvent, sigSrcChildChanged)
TAVRIX_CONNECT(PlanSelChanged, CPlanSelChangedEvent, planSelChanged)
TAVRIX_CONNECT(PlanListChanged, CPlanListChangedEvent, planListChanged)
TAVRIX_CONNECT(PlanWindow, CPlanWindowEvent, planWindow)
TAVRIX_CONNECT(PlanHisAdded, CPlanHisAddedEvent, planHisAdded)
TAVRIX_CONNECT(PlanHisDeleted, CPlanHisDeletedEvent, planHisDeleted)
TAVRIX_CONNECT(PlanHisRecovered, CPlanHisRecoveredEvent, planHisRecovered)
TAVRIX_CONNECT(OSDStatus, COSDStatusEvent, osdStatus)
TAVRIX_CONNECT(ProcessorIP, CProcessorIPEvent, processorIP)
TAVRIX_CONNECT(ProcessorPort, CProcessorPortEvent, processorPort)
TAVRIX_CONNECT(ProcessorSM, CProcessorSMEvent, processorSM)
TAVRIX_CONNECT(ProcessorGW, CProcessorGWEvent, processorGW)

#undef TAVRIX_CONNECT
