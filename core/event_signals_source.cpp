// The subscriptions of the link, processor and source events.
#include "core/event_signals_hub.h"

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

#undef TAVRIX_CONNECT
