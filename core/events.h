#pragma once
// The events that carry model changes and device replies from any thread to
// the UI thread. Events carry ids, never pointers into the model: a handler
// looks the processor, source or plan up again and copes with its absence.
#include <cstdint>

class CEventBase {
public:
    virtual ~CEventBase() = default;
    virtual int GetType() const { return 0; }
};

// Link state changes of a channel.
class CNetConnectEvent : public CEventBase {
public:
    static constexpr int kType = 1;
    static constexpr uint8_t kConnecting = 1;
    static constexpr uint8_t kConnected = 2;
    static constexpr uint8_t kClosed = 3;

    CNetConnectEvent(uint32_t channelId, uint8_t state) : channelId(channelId), state(state) {}
    int GetType() const override { return kType; }

    uint32_t channelId;
    uint8_t state;
};

class CProResolutionChangedEvent : public CEventBase {
public:
    static constexpr int kType = 2;

    CProResolutionChangedEvent(int32_t processorId, int32_t width, int32_t height, int32_t rate = 60)
        : processorId(processorId), width(width), height(height), rate(rate)
    {
    }
    int GetType() const override { return kType; }

    int32_t processorId;
    int32_t width;
    int32_t height;
    int32_t rate;
};

class CSigSrcAddedEvent : public CEventBase {
public:
    static constexpr int kType = 3;

    CSigSrcAddedEvent(int32_t processorId, int32_t sourceId) : processorId(processorId), sourceId(sourceId) {}
    int GetType() const override { return kType; }

    int32_t processorId;
    int32_t sourceId;
};

class CSigSrcRemovedEvent : public CEventBase {
public:
    static constexpr int kType = 4;

    CSigSrcRemovedEvent(int32_t processorId, int32_t sourceId) : processorId(processorId), sourceId(sourceId) {}
    int GetType() const override { return kType; }

    int32_t processorId;
    int32_t sourceId;
};

// The source entries of the processor file were rewritten.
class CSigSrcRenameEvent : public CEventBase {
public:
    static constexpr int kType = 5;

    CSigSrcRenameEvent(int32_t processorId, int32_t sourceId) : processorId(processorId), sourceId(sourceId) {}
    int GetType() const override { return kType; }

    int32_t processorId;
    int32_t sourceId;
};

class CSigSrcUpdateEvent : public CEventBase {
public:
    static constexpr int kType = 6;

    CSigSrcUpdateEvent(int32_t processorId, int32_t sourceId) : processorId(processorId), sourceId(sourceId) {}
    int GetType() const override { return kType; }

    int32_t processorId;
    int32_t sourceId;
};

class CSigSrcJoinChangedEvent : public CEventBase {
public:
    static constexpr int kType = 7;

    CSigSrcJoinChangedEvent(int32_t processorId, int32_t sourceId, uint8_t joined)
        : processorId(processorId), sourceId(sourceId), joined(joined)
    {
    }
    int GetType() const override { return kType; }

    int32_t processorId;
    int32_t sourceId;
    uint8_t joined; // 0 or 1
};

class CSigSrcResolutionChangedEvent : public CEventBase {
public:
    static constexpr int kType = 8;

    CSigSrcResolutionChangedEvent(int32_t processorId, int32_t sourceId, int32_t width, int32_t height,
                                  int32_t rate = 60)
        : processorId(processorId), sourceId(sourceId), width(width), height(height), rate(rate)
    {
    }
    int GetType() const override { return kType; }

    int32_t processorId;
    int32_t sourceId;
    int32_t width;
    int32_t height;
    int32_t rate;
};

class CSigSrcSelChangedEvent : public CEventBase {
public:
    static constexpr int kType = 9;

    CSigSrcSelChangedEvent(int32_t processorId, int32_t sourceId) : processorId(processorId), sourceId(sourceId) {}
    int GetType() const override { return kType; }

    int32_t processorId;
    int32_t sourceId;
};

class CSigSrcChildChangedEvent : public CEventBase {
public:
    static constexpr int kType = 10;

    CSigSrcChildChangedEvent(int32_t processorId, int32_t sourceId, int32_t childId)
        : processorId(processorId), sourceId(sourceId), childId(childId)
    {
    }
    int GetType() const override { return kType; }

    int32_t processorId;
    int32_t sourceId;
    int32_t childId;
};

// An OSD status reply, "I_F OSDSA a b status" ("O_F" on the output side),
// with the link it came on: which save it answers, and its status.
class COSDStatusEvent : public CEventBase {
public:
    static constexpr int kType = 11;

    explicit COSDStatusEvent(int32_t status, uint32_t channelId = 0, bool outputSide = false, int32_t first = 0,
                             int32_t second = 0)
        : status(status), channelId(channelId), outputSide(outputSide), first(first), second(second)
    {
    }
    int GetType() const override { return kType; }

    int32_t status;
    uint32_t channelId;
    bool outputSide;
    int32_t first;
    int32_t second;
};

// IPv4 values are packed with the first number in the most significant byte.
class CProcessorIPEvent : public CEventBase {
public:
    static constexpr int kType = 12;

    explicit CProcessorIPEvent(uint32_t address) : address(address) {}
    int GetType() const override { return kType; }

    uint32_t address;
};

class CProcessorPortEvent : public CEventBase {
public:
    static constexpr int kType = 13;

    explicit CProcessorPortEvent(uint16_t port) : port(port) {}
    int GetType() const override { return kType; }

    uint16_t port;
};

class CProcessorSMEvent : public CEventBase {
public:
    static constexpr int kType = 14;

    explicit CProcessorSMEvent(uint32_t mask) : mask(mask) {}
    int GetType() const override { return kType; }

    uint32_t mask;
};

class CProcessorGWEvent : public CEventBase {
public:
    static constexpr int kType = 15;

    explicit CProcessorGWEvent(uint32_t gateway) : gateway(gateway) {}
    int GetType() const override { return kType; }

    uint32_t gateway;
};

// The four numbers of the MAC reply, packed as an address.
class CProcessorMACEvent : public CEventBase {
public:
    static constexpr int kType = 16;

    explicit CProcessorMACEvent(uint32_t mac) : mac(mac) {}
    int GetType() const override { return kType; }

    uint32_t mac;
};

class CPlanSelChangedEvent : public CEventBase {
public:
    static constexpr int kType = 17;

    explicit CPlanSelChangedEvent(int32_t planId) : planId(planId) {}
    int GetType() const override { return kType; }

    int32_t planId;
};

class CPlanListChangedEvent : public CEventBase {
public:
    static constexpr int kType = 18;

    int GetType() const override { return kType; }
};

// One class for two codes: a window selected, or a window changed.
class CPlanWindowEvent : public CEventBase {
public:
    static constexpr int kSelected = 19;
    static constexpr int kChanged = 20;

    CPlanWindowEvent(int32_t planId, int32_t windowId, int32_t code = kSelected)
        : planId(planId), windowId(windowId), code(code)
    {
    }
    int GetType() const override { return code; }

    int32_t planId;
    int32_t windowId;
    int32_t code;
};

class CPlanHisAddedEvent : public CEventBase {
public:
    static constexpr int kType = 21;

    CPlanHisAddedEvent(int32_t planId, int32_t serial) : planId(planId), serial(serial) {}
    int GetType() const override { return kType; }

    int32_t planId;
    int32_t serial;
};

class CPlanHisDeletedEvent : public CEventBase {
public:
    static constexpr int kType = 22;

    CPlanHisDeletedEvent(int32_t planId, int32_t serial) : planId(planId), serial(serial) {}
    int GetType() const override { return kType; }

    int32_t planId;
    int32_t serial;
};

class CPlanHisRecoveredEvent : public CEventBase {
public:
    static constexpr int kType = 23;

    CPlanHisRecoveredEvent(int32_t planId, int32_t serial) : planId(planId), serial(serial) {}
    int GetType() const override { return kType; }

    int32_t planId;
    int32_t serial;
};

class CGetProTypeEvent : public CEventBase {
public:
    static constexpr int kType = 24;

    explicit CGetProTypeEvent(int32_t processorId) : processorId(processorId) {}
    int GetType() const override { return kType; }

    int32_t processorId;
};

class CGetFPGAVerEvent : public CEventBase {
public:
    static constexpr int kType = 25;

    int GetType() const override { return kType; }
};

class CGetSTMVerEvent : public CEventBase {
public:
    static constexpr int kType = 26;

    int GetType() const override { return kType; }
};
