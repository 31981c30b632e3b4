#include "app/event_signals.h"

struct CQelEvtSignals::_impl {
    Signal<CGetFPGAVerEvent> getFPGAVer;
    Signal<CGetSTMVerEvent> getSTMVer;
    Signal<CGetProTypeEvent> getProType;
    Signal<CNetConnectEvent> netConnect;
    Signal<CProResolutionChangedEvent> proResolutionChanged;
    Signal<CSigSrcAddedEvent> sigSrcAdded;
    Signal<CSigSrcRemovedEvent> sigSrcRemoved;
    Signal<CSigSrcRenameEvent> sigSrcRename;
    Signal<CSigSrcUpdateEvent> sigSrcUpdate;
    Signal<CSigSrcJoinChangedEvent> sigSrcJoinChanged;
    Signal<CSigSrcResolutionChangedEvent> sigSrcResolutionChanged;
    Signal<CSigSrcSelChangedEvent> sigSrcSelChanged;
    Signal<CSigSrcChildChangedEvent> sigSrcChildChanged;
    Signal<CPlanSelChangedEvent> planSelChanged;
    Signal<CPlanListChangedEvent> planListChanged;
    Signal<CPlanWindowEvent> planWindow;
    Signal<CPlanHisAddedEvent> planHisAdded;
    Signal<CPlanHisDeletedEvent> planHisDeleted;
    Signal<CPlanHisRecoveredEvent> planHisRecovered;
    Signal<COSDStatusEvent> osdStatus;
    Signal<CProcessorIPEvent> processorIP;
    Signal<CProcessorPortEvent> processorPort;
    Signal<CProcessorSMEvent> processorSM;
    Signal<CProcessorGWEvent> processorGW;
    Signal<CProcessorMACEvent> processorMAC;
};

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

#define TAVRIX_CONNECT(Name, Event, member)                                                                            \
    CQelEvtSignals::Connection CQelEvtSignals::Connect##Name(const Handler<Event>& handler)                            \
    {                                                                                                                  \
        return instance().member.connect(handler);                                                                     \
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
