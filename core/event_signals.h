#pragma once
#include <boost/signals2/connection.hpp>
#include <functional>

#include "core/event_queue.h"
#include "core/events.h"

// One signal per event class. Subscribers keep the connection they get and
// disconnect it, at the latest, in their destructors. Handlers run on the
// thread that fires: the UI thread.
class CQelEvtSignals {
public:
    template <class Event>
    using Handler = std::function<void(const Event&)>;
    using Connection = boost::signals2::connection;

    // Calls the handlers of the event's class in connection order. A null
    // event, or one whose code is not a known event's, reaches nobody.
    static void Fire(const EventPtr& event);

    static Connection ConnectGetFPGAVer(const Handler<CGetFPGAVerEvent>& handler);
    static Connection ConnectGetSTMVer(const Handler<CGetSTMVerEvent>& handler);
    static Connection ConnectGetProType(const Handler<CGetProTypeEvent>& handler);
    static Connection ConnectNetConnect(const Handler<CNetConnectEvent>& handler);
    static Connection ConnectProResolutionChanged(const Handler<CProResolutionChangedEvent>& handler);
    static Connection ConnectSigSrcAdded(const Handler<CSigSrcAddedEvent>& handler);
    static Connection ConnectSigSrcRemoved(const Handler<CSigSrcRemovedEvent>& handler);
    static Connection ConnectSigSrcRename(const Handler<CSigSrcRenameEvent>& handler);
    static Connection ConnectSigSrcUpdate(const Handler<CSigSrcUpdateEvent>& handler);
    static Connection ConnectSigSrcJoinChanged(const Handler<CSigSrcJoinChangedEvent>& handler);
    static Connection ConnectSigSrcResolutionChanged(const Handler<CSigSrcResolutionChangedEvent>& handler);
    static Connection ConnectSigSrcChildChanged(const Handler<CSigSrcChildChangedEvent>& handler);
    static Connection ConnectPlanSelChanged(const Handler<CPlanSelChangedEvent>& handler);
    static Connection ConnectPlanListChanged(const Handler<CPlanListChangedEvent>& handler);
    static Connection ConnectPlanWindow(const Handler<CPlanWindowEvent>& handler);
    static Connection ConnectPlanHisAdded(const Handler<CPlanHisAddedEvent>& handler);
    static Connection ConnectPlanHisDeleted(const Handler<CPlanHisDeletedEvent>& handler);
    static Connection ConnectPlanHisRecovered(const Handler<CPlanHisRecoveredEvent>& handler);
    static Connection ConnectOSDStatus(const Handler<COSDStatusEvent>& handler);
    static Connection ConnectProcessorIP(const Handler<CProcessorIPEvent>& handler);
    static Connection ConnectProcessorPort(const Handler<CProcessorPortEvent>& handler);
    static Connection ConnectProcessorSM(const Handler<CProcessorSMEvent>& handler);
    static Connection ConnectProcessorGW(const Handler<CProcessorGWEvent>& handler);

private:
    struct _impl;
    static _impl& instance();
};
