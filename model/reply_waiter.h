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
    // What ends a wait: the command's echo, line for line, or any reply to
    // the same command (a line with its two leading words). Both in the form
    // the reply path gives lines.
    enum class Expect { Echo, SameCommand };

    // Sends with `send` and waits at most `timeout` of the process clock
    // from the moment `send` returns. `command` is the normalised command.
    // True with `reply` filled when the wait ended in time.
    template <class Send>
    bool Exchange(Expect expect, const std::string& command, Send&& send, std::string& reply,
                  platform::Duration timeout)
    {
        std::lock_guard exchange(exchangeLock_);
        Arm(expect, command);
        send();
        return Await(reply, timeout);
    }

    // An acknowledged reply line (echo of a set command, type or version).
    void OnReply(const std::string& line);
    // A line no reply handler takes: it can only be an awaited echo.
    void OnUnmatched(const std::string& line);

    // The two leading words of a normalised line ("GP CDMS" of
    // "GP CDMS 1\r\n"); the line without its end when it has fewer.
    static std::string CommandOf(const std::string& line);

private:
    void Arm(Expect expect, const std::string& command);
    bool Await(std::string& reply, platform::Duration timeout);
    bool MatchesLocked(const std::string& line) const;
    void CompleteLocked(const std::string& line);

    std::mutex exchangeLock_;

    std::mutex lock_; // guards what follows
    std::condition_variable arrived_;
    bool armed_ = false;
    bool done_ = false;
    Expect expect_ = Expect::Echo;
    std::string expected_; // the echo, or the command's leading words
    std::string reply_;
};
