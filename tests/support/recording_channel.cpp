#include "tests/support/recording_channel.h"

#include "core/event_queue.h"
#include "comm/reply_line.h"
#include "replies/reply_dispatcher.h"

#include <arpa/inet.h>
#include <array>
#include <cerrno>
#include <cstdio>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <string_view>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Stands in for the OSD status parser until the reply path has one: the
// status of "I_F OSDSA a b s" (or "O_F ...") goes out as an event.
void PostOsdStatus(uint32_t channelId, const std::string& line)
{
    if (!line.starts_with("I_F OSDSA ") && !line.starts_with("O_F OSDSA "))
        return;
    int a = 0;
    int b = 0;
    int status = 0;
    if (std::sscanf(line.c_str() + 10, "%d %d %d", &a, &b, &status) == 3)
        PostEvent(new COSDStatusEvent(status, channelId, line[0] == 'O', a, b));
}

} // namespace

CRecordingChannel::CRecordingChannel(CNetManager* owner, std::string name) : CNetChannel(owner, std::move(name)) {}

CRecordingChannel::~CRecordingChannel()
{
    Close();
}

void CRecordingChannel::SetLineHandlers(LineHandler acknowledged, LineHandler unmatched)
{
    std::lock_guard guard(lock_);
    acknowledged_ = std::move(acknowledged);
    unmatched_ = std::move(unmatched);
}

void CRecordingChannel::ReserveUnits(size_t count)
{
    std::lock_guard guard(lock_);
    units_.reserve(count);
}

bool CRecordingChannel::IsConnected() const
{
    std::lock_guard guard(lock_);
    return connected_;
}

void CRecordingChannel::Open()
{
    std::lock_guard guard(lock_);
    if (opened_)
        return;
    opened_ = true;
    // Tests never reach anything but loopback, whatever the settings say.
    if (GetSetting("server_addr", "") != "127.0.0.1")
        return;
    const int port = std::stoi(GetSetting("server_port", "0"));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socket_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket_ < 0)
        return;
    if (::connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(socket_);
        socket_ = -1;
        return;
    }
    const int one = 1;
    ::setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    connected_ = true;
    reader_ = std::thread([this] { ReadLoop(); });
}

void CRecordingChannel::Close()
{
    std::thread reader;
    {
        std::lock_guard guard(lock_);
        if (socket_ >= 0)
            ::shutdown(socket_, SHUT_RDWR);
        connected_ = false;
        reader = std::move(reader_);
    }
    if (reader.joinable())
        reader.join();
    std::lock_guard guard(lock_);
    if (socket_ >= 0) {
        ::close(socket_);
        socket_ = -1;
    }
}

bool CRecordingChannel::SendBlock(int, qz::vok::binblock& unit)
{
    std::lock_guard guard(lock_);
    if (!opened_)
        return false;
    units_.push_back({std::string(reinterpret_cast<const char*>(unit.data()), unit.length()), platform::Now()});
    // Empty units are dropped, as the real clients do.
    if (!connected_ || unit.empty())
        return connected_;
    size_t sent = 0;
    while (sent < unit.length()) {
        const ssize_t n = ::send(socket_, unit.data() + sent, unit.length() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

std::vector<CRecordingChannel::Unit> CRecordingChannel::Units() const
{
    std::lock_guard guard(lock_);
    return units_;
}

std::vector<std::string> CRecordingChannel::Texts() const
{
    std::lock_guard guard(lock_);
    std::vector<std::string> texts;
    for (const auto& unit : units_)
        texts.push_back(unit.bytes);
    return texts;
}

void CRecordingChannel::ReadLoop()
{
    int fd;
    {
        std::lock_guard guard(lock_);
        fd = socket_;
    }
    // Cut and checked as the real clients cut what they receive.
    RxRingBuffer& buffer = *buffer_;
    std::string line;
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        buffer.Append(static_cast<size_t>(n), chunk);
        while (buffer.ReadLine(line)) {
            LineHandler handler;
            bool routed = false;
            {
                std::lock_guard guard(lock_);
                routed = acknowledged_ || unmatched_;
                switch (RouteOfReply(line)) {
                case ReplyRoute::Acknowledged: handler = acknowledged_; break;
                case ReplyRoute::Unmatched: handler = unmatched_; break;
                case ReplyRoute::Parsed: break;
                }
            }
            if (!routed)
                ParseDeviceReply(GetId(), line);
            else if (handler)
                handler(line);
            else
                PostOsdStatus(GetId(), line);
        }
    }
    std::lock_guard guard(lock_);
    connected_ = false;
}
