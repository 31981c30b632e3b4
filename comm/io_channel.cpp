#include "comm/io_channel.h"

#include "comm/comm_log.h"

#include <future>
#include <sys/prctl.h>

namespace asio = boost::asio;

CIoChannel::CIoChannel(CNetManager* owner, std::string name)
    : CNetChannel(owner, std::move(name)), strand_(asio::make_strand(io_)), watchdog_(io_)
{
}

CIoChannel::~CIoChannel()
{
    // Normally done by the subclass; never leave a joinable thread behind.
    StopIoThread();
}

void CIoChannel::DeliverReceived(const char* data, size_t length)
{
    if (receive_)
        receive_(data, length);
}

void CIoChannel::DeliverClosed()
{
    if (closed_)
        closed_();
}

void CIoChannel::ArmWatchdog()
{
    try {
        watchdog_.expires_after(platform::GetClock().RealDuration(kWatchdogPeriod));
        watchdog_.async_wait(asio::bind_executor(strand_, [this](const boost::system::error_code& e) { Watchdog(e); }));
    } catch (const std::exception& e) {
        LogCommError("Link " + GetName() + " watchdog failed: " + e.what());
    }
}

void CIoChannel::Watchdog(const boost::system::error_code& error)
{
    if (error)
        return;
    const auto last = LastActivity();
    if (last && platform::Now() - *last > kIdleLimit) {
        LogCommEvent("Link " + GetName() + " idle too long, closing");
        CloseClient();
        return;
    }
    ArmWatchdog();
}

void CIoChannel::RunIoServiceThread()
{
    if (thread_.joinable())
        return;
    io_.restart();
    work_.emplace(io_.get_executor());
    thread_ = std::thread([this] { RunLoop(); });
}

void CIoChannel::RunLoop()
{
    // The write pauses set the link's pace: wake from them without the
    // kernel's default 50 us of timer slack.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    // A handler that throws must not end the process: log it and go on.
    for (;;) {
        try {
            io_.run();
            return;
        } catch (const std::exception& e) {
            LogCommError("Link " + GetName() + " handler failed: " + e.what());
        }
    }
}

void CIoChannel::RunOnIoThread(const std::function<void()>& step)
{
    if (!thread_.joinable() || std::this_thread::get_id() == thread_.get_id()) {
        step();
        return;
    }
    std::promise<void> done;
    asio::post(strand_, [&] {
        try {
            step();
        } catch (const std::exception& e) {
            LogCommError("Link " + GetName() + " close failed: " + e.what());
        }
        done.set_value();
    });
    done.get_future().wait();
}

void CIoChannel::StopIoThread()
{
    if (!thread_.joinable())
        return;
    work_.reset();
    io_.stop();
    thread_.join();
    try {
        watchdog_.cancel();
    } catch (const std::exception&) {
    }
}
