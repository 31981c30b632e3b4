#pragma once
#include "core/event_queue.h"
#include "comm/comm_log.h"
#include "comm/io_channel.h"
#include "comm/send_queue.h"
#include "corlane/binblock.h"
#include "platform/clock.h"

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

// What the program adds to a transport client (TCP or serial): the time data
// last arrived, for the channel's idle watchdog; the traffic log; the link's
// states posted as events; received bytes handed to the channel.
template <class Transport>
class CLinkClient : public Transport {
public:
    template <class... Args>
    CLinkClient(CIoChannel* channel, const char* sendFormat, Args&&... args)
        : Transport(std::forward<Args>(args)...), channel_(channel), sendFormat_(sendFormat)
    {
    }

    platform::TimePoint LastActivity() const { return platform::TimePoint(platform::Duration(lastActivity_.load())); }

protected:
    // Starting the link restarts the idle clock and posts "connecting".
    template <class StartTransport>
    void Start(StartTransport start)
    {
        Touch();
        start();
        Post(CNetConnectEvent::kConnecting);
    }

    void on_connected() override { Post(CNetConnectEvent::kConnected); }

    void on_sent(qz::vok::binblock& unit) override
    {
        if (auto log = GetCommLog()) {
            const std::string text(reinterpret_cast<const char*>(unit.data()), unit.length());
            log->event(sendFormat_, text.c_str());
        }
    }

    void on_received(const void* data, size_t length) override
    {
        if (auto log = GetCommLog())
            LogReceived(*log, std::string(static_cast<const char*>(data), length));
        if (length == 0)
            return;
        Keep(data, length);
        Touch();
        channel_->DeliverReceived(static_cast<const char*>(data), length);
    }

    void on_closed() override
    {
        channel_->DeliverClosed();
        Post(CNetConnectEvent::kClosed);
    }

    virtual void LogReceived(qz::vok::logfile& log, const std::string& text) = 0;
    // A transport that keeps a raw copy of what arrives does it here.
    virtual void Keep(const void*, size_t) {}

    void Post(uint8_t state) { PostEvent(new CNetConnectEvent(channel_->GetId(), state)); }

private:
    void Touch() { lastActivity_ = platform::Now().time_since_epoch().count(); }

    CIoChannel* channel_;
    const char* sendFormat_;
    std::atomic<platform::Duration::rep> lastActivity_{0};
};

// A processor link over one client: makes the client on the first Open,
// runs it on the channel's I/O thread and closes it there.
template <class LinkClient>
class CClientChannel : public CIoChannel {
public:
    ~CClientChannel() override
    {
        Close();
        StopIoThread();
    }

    // True only while the link is up: a link still connecting cannot take
    // a command yet.
    bool IsConnected() const override
    {
        auto client = Client();
        return client && client->IsUp();
    }
    bool CheckConnected() const override { return IsConnected(); }

    // Writes what is queued, for at most the close's write limit, then
    // closes the link on its I/O thread and joins the thread.
    void Close() override
    {
        auto client = Client();
        if (!client)
            return;
        // The I/O thread does the writing: only another thread can wait.
        if (!OnIoThread())
            client->drain(kCloseWriteLimit);
        RunOnIoThread([client] { client->close(); });
        StopIoThread();
    }

    bool SendBlock(int, qz::vok::binblock& unit) override
    {
        auto client = Client();
        return client && client->send(unit);
    }

    std::optional<platform::TimePoint> SendWritten(int, std::string_view text, platform::Duration limit) override
    {
        auto client = Client();
        if (!client)
            return std::nullopt;
        auto unit = qz::net::make_unit(text.data(), text.size());
        const uint64_t number = client->send_numbered(unit);
        // The I/O thread writes the unit only once this returns.
        if (number == 0 || OnIoThread())
            return std::nullopt;
        return client->wait_written(number, limit);
    }

    std::shared_ptr<LinkClient> Client() const
    {
        std::lock_guard guard(clientLock_);
        return client_;
    }

protected:
    using CIoChannel::CIoChannel;

    // `make` builds the client from the channel's settings; what fails is
    // logged under `label` and leaves the link closed.
    void OpenClient(const std::function<std::shared_ptr<LinkClient>()>& make, const std::string& label)
    {
        try {
            auto client = this->Client();
            if (!client) {
                client = make();
                std::lock_guard guard(clientLock_);
                client_ = client;
            }
            client->Start();
            ArmWatchdog();
            RunIoServiceThread();
        } catch (const std::exception& e) {
            LogCommError(label + " " + GetName() + " open failed: " + e.what());
        }
    }

    std::optional<platform::TimePoint> LastActivity() const override
    {
        auto client = Client();
        if (!client)
            return std::nullopt;
        return client->LastActivity();
    }

    void CloseClient() override
    {
        if (auto client = Client())
            client->close();
    }

private:
    mutable std::mutex clientLock_;
    std::shared_ptr<LinkClient> client_;
};
