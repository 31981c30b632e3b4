#include "comm/net_channel.h"

#include <boost/property_tree/ptree.hpp>

CNetChannel::CNetChannel(CNetManager* owner, std::string name)
    : owner_(owner), name_(std::move(name)), settings_(std::make_unique<boost::property_tree::ptree>())
{
}

CNetChannel::~CNetChannel() = default;

bool CNetChannel::Send(int tag, std::string_view text)
{
    qz::vok::binblock unit(text.data(), static_cast<uint32_t>(text.size()));
    return SendBlock(tag, unit);
}

std::optional<platform::TimePoint> CNetChannel::SendWritten(int tag, std::string_view text, platform::Duration)
{
    if (!Send(tag, text))
        return std::nullopt;
    return platform::Now();
}

std::string CNetChannel::GetSetting(const std::string& key, const std::string& fallback) const
{
    // Keys are plain names: a key with a '.' must not become a tree path.
    auto value = settings_->get_optional<std::string>(boost::property_tree::ptree::path_type(key, '\0'));
    return value ? *value : fallback;
}
