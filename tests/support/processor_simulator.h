#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A stand-in for the video-wall processor: a TCP server on 127.0.0.1 (port
// chosen by the system) and any number of pseudo-terminals, served from its
// own thread. It records every line it
// receives with the time it arrived and answers the way the device does:
// echoes, the display-mode store completion, the OSD save status, or
// silence. Rules are chosen per keyword (the start of the line); the newest
// matching rule decides, and a line no rule takes gets the default.
class ProcessorSimulator {
public:
    using Clock = std::chrono::steady_clock;
    using Millis = std::chrono::milliseconds;

    struct Line {
        std::string text; // with its "\r\n"
        Clock::time_point at;
        std::string source; // "tcp", or the slave path of a pseudo-terminal
    };
    struct Answer {
        std::string text;
        Millis delay{0};
    };
    // Called with the line and how many lines this rule has seen (1 for the
    // first); nullopt hands the line on to the default.
    using Responder = std::function<std::optional<std::vector<Answer>>(const std::string& line, int nth)>;

    // Listens at once (on `port`, or one the system picks); echoes every line
    // byte for byte until told otherwise. A port a stopped simulator used can
    // be taken again at once.
    explicit ProcessorSimulator(uint16_t port = 0);
    ~ProcessorSimulator();

    ProcessorSimulator(const ProcessorSimulator&) = delete;
    ProcessorSimulator& operator=(const ProcessorSimulator&) = delete;

    uint16_t Port() const;

    // The default for lines no rule takes: echo (after `delay`) or silence.
    void SetEchoAll(bool echo, Millis delay = Millis{0});
    void Echo(const std::string& keyword, Millis delay = Millis{0});
    void Silence(const std::string& keyword);
    void Respond(const std::string& keyword, Responder responder);
    // "GP CDMS 1" gets "GP CDMS 0" from its nth poll on; earlier polls get
    // the default.
    void AnswerDisplayModeStoredFrom(int nth);
    // "I_F OSDSA a b 2" (and "O_F ...") gets "... a b 3" from its nth poll on.
    void AnswerOsdSavedFrom(int nth);

    // "GP TYPE" (the status request) and "GP TYPE 0" (the type query after
    // a connect) get "GP TYPE type count".
    void AnswerType(int type, int count);
    // Every input resolution poll ("I_F RISR board port") gets a signal of
    // that size from (0, 0), port type 2 at 60.00 Hz.
    void AnswerInputSignal(int width, int height);

    // Unsolicited text to every connected client.
    void Push(const std::string& text);

    std::vector<Line> Lines() const;
    std::vector<std::string> Texts() const;
    void ClearLines();
    // True once `count` lines arrived; false after `timeout`.
    bool WaitForLines(size_t count, Millis timeout) const;
    // True once a line equal to `text` arrived; false after `timeout`.
    bool WaitForLine(const std::string& text, Millis timeout) const;
    bool WaitForConnection(Millis timeout) const;
    // Connections accepted so far.
    size_t Connections() const;
    // Drops every open connection; the simulator goes on listening.
    void DropConnections();

    // A pseudo-terminal pair served like a TCP client; returns the slave
    // path, the device a serial link opens (empty on failure). Lines that
    // arrive before a link opens the slave are lost, as on a real line.
    std::string OpenPty();
    // Closes the master: the link on the slave sees its device gone.
    void ClosePty(const std::string& slavePath);
    std::vector<std::string> TextsFrom(const std::string& source) const;
    void PushTo(const std::string& source, const std::string& text);
    // Bytes that have reached a pseudo-terminal's slave and wait there to
    // be read by the link that holds it open.
    static size_t Unread(const std::string& slavePath);

    // Stops the thread and drops every connection; also done by the destructor.
    void Stop();

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};
