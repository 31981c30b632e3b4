#include "model/reply_waiter.h"

void CQelReplyWaiter::Arm(Expect expect, const std::string& command)
{
    std::lock_guard guard(lock_);
    armed_ = true;
    done_ = false;
    expect_ = expect;
    expected_ = expect == Expect::Echo ? command : CommandOf(command);
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

std::string CQelReplyWaiter::CommandOf(const std::string& line)
{
    const size_t first = line.find(' ');
    const size_t end = first == std::string::npos ? std::string::npos : line.find_first_of(" \r\n", first + 1);
    std::string words = line.substr(0, end);
    while (!words.empty() && (words.back() == '\r' || words.back() == '\n'))
        words.pop_back();
    return words;
}

bool CQelReplyWaiter::MatchesLocked(const std::string& line) const
{
    if (expect_ == Expect::Echo)
        return line == expected_;
    return CommandOf(line) == expected_;
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
    if (armed_ && !done_ && MatchesLocked(line))
        CompleteLocked(line);
}

void CQelReplyWaiter::OnUnmatched(const std::string& line)
{
    std::lock_guard guard(lock_);
    if (armed_ && !done_ && expect_ == Expect::Echo && line == expected_)
        CompleteLocked(line);
}
