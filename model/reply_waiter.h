#pragma once
#include "platform/clock.h"

#include <condition_variable>
#include <mutex>
#include <string>

// The meeting point of a thread that sent a command and waits for the
// device's answer and the link thread that receives it. One exchange runs
// at a time per processor, so two senders never take each other's answer.
class CQelReplyWaiter {
public:
    // Sends with `send` and waits at most `timeout` of the process clock.
    // With `echo` given, only a line equal to it ends the wait (the device's
    // echo, in the form the reply path gives it); without, any acknowledged
    // reply does. True with `reply` filled when the wait ended in time.
    template <class Send>
    bool Exchange(const std::string* echo, Send&& send, std::string& reply, platform::Duration timeout)
    {
        std::lock_guard exchange(exchangeLock_);
        Arm(echo);
        send();
        return Await(reply, timeout);
    }

    // An acknowledged reply line (echo of a set command, type or version).
    void OnReply(const std::string& line);
    // A line no reply handler takes: it can only be an awaited echo.
    void OnUnmatched(const std::string& line);

private:
    void Arm(const std::string* echo);
    bool Await(std::string& reply, platform::Duration timeout);
    void CompleteLocked(const std::string& line);

    std::mutex exchangeLock_;

    std::mutex lock_; // guards what follows
    std::condition_variable arrived_;
    bool armed_ = false;
    bool done_ = false;
    bool echoOnly_ = false;
    std::string expected_;
    std::string reply_;
};
