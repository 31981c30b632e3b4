#pragma once
#include "comm/net_channel.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <shared_mutex>

// The process-wide registry of channels by id. Ids run 1, 2, ... and wrap
// from 0x7FFFFFFF back to 1; 0 is never handed out and means "no channel".
class CNetManager {
public:
    static CNetManager& get_instance();

    // `lastId` is the id handed out before the first Register (tests start
    // near the wrap).
    explicit CNetManager(uint32_t lastId = 0);
    ~CNetManager();

    CNetManager(const CNetManager&) = delete;
    CNetManager& operator=(const CNetManager&) = delete;

    uint32_t NextId();
    // Gives the channel its id and keeps one reference to it.
    uint32_t Register(std::shared_ptr<CNetChannel> channel);
    std::shared_ptr<CNetChannel> Find(uint32_t id) const;
    // Closes and forgets the channel; an unknown id does nothing.
    void CloseAndRemove(uint32_t id);
    // Closes every channel in id order; they stay registered. Runs from the
    // shut-down sequence and again at destruction.
    void CloseAll();

private:
    mutable std::shared_mutex mapLock_;
    std::map<uint32_t, std::shared_ptr<CNetChannel>> channels_;

    std::mutex idLock_;
    uint32_t lastId_;
};
