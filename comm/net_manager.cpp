#include "comm/net_manager.h"

#include <vector>

namespace {
constexpr uint32_t kMaxChannelId = 0x7FFFFFFF;
}

CNetManager& CNetManager::get_instance()
{
    static CNetManager instance;
    return instance;
}

CNetManager::CNetManager(uint32_t lastId) : lastId_(lastId) {}

CNetManager::~CNetManager()
{
    CloseAll();
}

uint32_t CNetManager::NextId()
{
    std::lock_guard lock(idLock_);
    ++lastId_;
    if (lastId_ > kMaxChannelId || lastId_ == 0)
        lastId_ = 1;
    return lastId_;
}

uint32_t CNetManager::Register(std::shared_ptr<CNetChannel> channel)
{
    if (!channel)
        return 0;
    const uint32_t id = NextId();
    channel->SetId(id);
    std::unique_lock lock(mapLock_);
    channels_[id] = std::move(channel);
    return id;
}

std::shared_ptr<CNetChannel> CNetManager::Find(uint32_t id) const
{
    std::shared_lock lock(mapLock_);
    auto it = channels_.find(id);
    return it == channels_.end() ? nullptr : it->second;
}

void CNetManager::CloseAndRemove(uint32_t id)
{
    std::shared_ptr<CNetChannel> channel;
    {
        std::unique_lock lock(mapLock_);
        auto it = channels_.find(id);
        if (it == channels_.end())
            return;
        channel = std::move(it->second);
        channels_.erase(it);
    }
    // Closing joins the channel's I/O thread: never under the registry lock,
    // so a thread that looks a channel up meanwhile cannot deadlock us.
    channel->Close();
}

void CNetManager::CloseAll()
{
    std::vector<std::shared_ptr<CNetChannel>> open;
    {
        std::shared_lock lock(mapLock_);
        open.reserve(channels_.size());
        for (const auto& [id, channel] : channels_)
            open.push_back(channel);
    }
    for (const auto& channel : open)
        channel->Close();
}
