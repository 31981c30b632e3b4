// The subscriptions of the plan, history, OSD and network events.
#include "core/event_signals_hub.h"

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
