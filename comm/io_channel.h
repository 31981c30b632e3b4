#pragma once
#include "comm/net_channel.h"
#include "platform/asio.h"
#include "platform/clock.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <thread>

// What the TCP and serial channels share: the io_context and its one I/O
// thread, the idle watchdog, and the hand-over of received bytes and of a
// closed link to whoever set the link up (the model, which comm cannot see).
class CIoChannel : public CNetChannel {
public:
    using ReceiveHandler = std::function<void(const char* data, size_t length)>;
    using ClosedHandler = std::function<void()>;

    // Longer than this without received data closes the link for good.
    static constexpr auto kIdleLimit = std::chrono::seconds(20);
    static constexpr auto kWatchdogPeriod = std::chrono::seconds(1);
    // What is queued when the link closes still goes, for as long as a
    // confirmed command waits for its echo.
    static constexpr auto kCloseWriteLimit = std::chrono::milliseconds(100);

    // Both are set before Open and called on the I/O thread.
    void SetReceiveHandler(ReceiveHandler handler) { receive_ = std::move(handler); }
    void SetClosedHandler(ClosedHandler handler) { closed_ = std::move(handler); }

    void DeliverReceived(const char* data, size_t length);
    void DeliverClosed();

    bool HasIoThread() const { return thread_.joinable(); }
    bool OnIoThread() const { return std::this_thread::get_id() == thread_.get_id(); }

protected:
    CIoChannel(CNetManager* owner, std::string name);
    // Subclasses stop the I/O thread in their own destructor, while their
    // client still exists.
    ~CIoChannel() override;

    boost::asio::io_context& Io() { return io_; }

    // When the client last heard from the device; nothing without a client.
    virtual std::optional<platform::TimePoint> LastActivity() const = 0;
    // Runs on the I/O thread (or with none running): the client's close.
    virtual void CloseClient() = 0;

    void ArmWatchdog();
    void RunIoServiceThread();
    // Runs `step` on the I/O thread while the caller waits, or right here
    // when no I/O thread runs, so closing never races the handlers.
    void RunOnIoThread(const std::function<void()>& step);
    // Cancels the watchdog, stops the io_context and joins the thread.
    void StopIoThread();

private:
    void Watchdog(const boost::system::error_code& error);
    void RunLoop();

    boost::asio::io_context io_;
    std::optional<boost::asio::executor_work_guard<boost::asio::io_context::executor_type>> work_;
    boost::asio::strand<boost::asio::io_context::executor_type> strand_;
    boost::asio::steady_timer watchdog_;
    std::thread thread_;
    ReceiveHandler receive_;
    ClosedHandler closed_;
};
