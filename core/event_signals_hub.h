#pragma once
// The signals behind CQelEvtSignals, shared by the files that make it up:
// each instantiates only the signal members it uses, which keeps any one of
// them from being the slowest file of the build.
#include "core/event_signals.h"

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

#define TAVRIX_CONNECT(Name, Event, member)                                                                            \
    CQelEvtSignals::Connection CQelEvtSignals::Connect##Name(const Handler<Event>& handler)                            \
    {                                                                                                                  \
        return instance().member.connect(handler);                                                                     \
    }
