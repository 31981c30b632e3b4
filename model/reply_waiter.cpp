#include "model/reply_waiter.h"

void CQelReplyWaiter::Arm(const std::string* echo)
{
    std::lock_guard guard(lock_);
    armed_ = true;
    done_ = false;
    echoOnly_ = echo != nullptr;
    if (echo)
        expected_ = *echo;
    reply_.clear();
}

bool CQelReplyWaiter::Await(std::string& reply, platform::Duration timeout)
{
    std::unique_lock guard(lock_);
    const bool done = platform::WaitFor(arrived_, guard, timeout, [this] { return done_; });
    armed_ = false;
    if (done)
        reply = reply_;
    return done;
}

void CQelReplyWaiter::CompleteLocked(const std::string& line)
{
    reply_ = line;
    done_ = true;
    arrived_.notify_all();
}

void CQelReplyWaiter::OnReply(const std::string& line)
{
    std::lock_guard guard(lock_);
    if (armed_ && !done_ && (!echoOnly_ || line == expected_))
        CompleteLocked(line);
}

void CQelReplyWaiter::OnUnmatched(const std::string& line)
{
    std::lock_guard guard(lock_);
    if (armed_ && !done_ && echoOnly_ && line == expected_)
        CompleteLocked(line);
}
