#pragma once
#include "corlane/binblock.h"
#include "platform/clock.h"

#include <atomic>
#include <boost/property_tree/ptree_fwd.hpp>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class CNetManager;

// One link to a processor. Concrete channels own their transport and I/O
// thread; the registry owns the channel and hands out its numeric id.
class CNetChannel : public std::enable_shared_from_this<CNetChannel> {
public:
    CNetChannel(CNetManager* owner, std::string name);
    virtual ~CNetChannel();

    CNetChannel(const CNetChannel&) = delete;
    CNetChannel& operator=(const CNetChannel&) = delete;

    virtual bool IsConnected() const = 0;
    // What the rest of the program asks; channels answer with IsConnected.
    virtual bool CheckConnected() const = 0;
    // Starts the link in the background; errors are swallowed.
    virtual void Open() = 0;
    // Stops the link and joins the I/O thread. Safe to call again, and never
    // from the channel's own I/O thread.
    virtual void Close() = 0;

    // Wraps a copy of the text (an empty text gives an empty unit) and hands
    // it to SendBlock. `tag` is passed through untouched.
    virtual bool Send(int tag, std::string_view text);
    // False when the channel has no client yet (never opened).
    virtual bool SendBlock(int tag, qz::vok::binblock& unit) = 0;
    // Sends like Send, then waits at most `limit` until the link has handed
    // the text to its socket or port, and gives when it did; nothing when
    // the text was not sent or not handed over in time. A channel that
    // writes within SendBlock gives the time SendBlock returned.
    virtual std::optional<platform::TimePoint> SendWritten(int tag, std::string_view text, platform::Duration limit);

    uint32_t GetId() const { return id_.load(); }
    void SetId(uint32_t id) { id_.store(id); }
    const std::string& GetName() const { return name_; }
    CNetManager* GetOwner() const { return owner_; }

    // Link settings by plain key ("server_addr", "device", ...); written by
    // the set-up before Open, read by Open.
    // The tree is held apart, so that only the files that use it parse it.
    boost::property_tree::ptree& Settings() { return *settings_; }
    const boost::property_tree::ptree& Settings() const { return *settings_; }
    std::string GetSetting(const std::string& key, const std::string& fallback) const;

private:
    CNetManager* owner_;
    std::atomic<uint32_t> id_{0};
    std::string name_;
    std::unique_ptr<boost::property_tree::ptree> settings_;
};
