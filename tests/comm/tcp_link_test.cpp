#include "comm/net_manager.h"
#include "comm/serial_channel.h"
#include "comm/tcp_channel.h"
#include "platform/clock.h"
#include "tests/support/link_events.h"
#include "tests/support/processor_simulator.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <boost/property_tree/ptree.hpp>
#include <optional>
#include <thread>
#include <type_traits>
#include <typeinfo>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace std::chrono_literals;
using tavrix::test::WaitFor;

namespace {

// A bare client, recording when it handed each unit over.
template <class Client>
class TimedClient : public Client {
public:
    using Client::Client;
    std::vector<std::chrono::steady_clock::time_point> sentAt;
    std::atomic<bool> connected{false};

protected:
    void on_connected() override { connected = true; }
    void on_sent(qz::vok::binblock&) override { sentAt.push_back(this->handed_at()); }
};

// A bare client on a simulator that answers nothing, over TCP or over a
// pseudo-terminal, on an I/O thread of its own.
template <class Client>
struct SilentPeer {
    SilentPeer()
    {
        simulator.SetEchoAll(false);
        if constexpr (std::is_same_v<Client, qz::net::tcp_client>) {
            client = std::make_shared<TimedClient<Client>>(io, "127.0.0.1", std::to_string(simulator.Port()));
            client->connect();
        } else {
            client = std::make_shared<TimedClient<Client>>(io, simulator.OpenPty(), 115200);
            client->open();
        }
    }
    ~SilentPeer() { Stop(); }
    // Closes the client and ends its thread: what it recorded may be read.
    void Stop()
    {
        if (!thread.joinable())
            return;
        boost::asio::post(io, [this] { client->close(); });
        guard.reset();
        thread.join();
    }

    ProcessorSimulator simulator;
    boost::asio::io_context io;
    std::shared_ptr<TimedClient<Client>> client;
    boost::asio::executor_work_guard<boost::asio::io_context::executor_type> guard = boost::asio::make_work_guard(io);
    std::thread thread{[this] { io.run(); }};
};

std::shared_ptr<CTcpClientChannel> MakeChannel(uint16_t port, const std::string& portText = "")
{
    auto channel = std::make_shared<CTcpClientChannel>(&CNetManager::get_instance(), "PRO_Tcp_1");
    channel->Settings().put("server_addr", "127.0.0.1");
    channel->Settings().put("server_port", portText.empty() ? std::to_string(port) : portText);
    return channel;
}

// Real time, with the links' write pause made `pause` long.
class WritePauseClock : public platform::SteadyClock {
public:
    explicit WritePauseClock(platform::Duration pause) : pause_(pause) {}
    platform::Duration RealDuration(platform::Duration d) override { return d == kWritePause ? pause_ : d; }

private:
    static constexpr platform::Duration kWritePause = qz::net::paced_writer::kWritePause;
    platform::Duration pause_;
};

// A TCP socket bound to a loopback port of its own. Without a backlog it
// only holds the port, so a connect there is refused and no other test
// can start listening on it; with one it listens and accepts nothing.
class LoopbackSocket {
public:
    explicit LoopbackSocket(std::optional<int> backlog = std::nullopt) : fd_(::socket(AF_INET, SOCK_STREAM, 0))
    {
        EXPECT_GE(fd_, 0);
        address_.sin_family = AF_INET;
        address_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address_;
        EXPECT_EQ(::bind(fd_, Address(), sizeof address_), 0);
        EXPECT_EQ(::getsockname(fd_, Address(), &length), 0);
        if (backlog) {
            EXPECT_EQ(::listen(fd_, *backlog), 0);
        }
    }
    ~LoopbackSocket() { Close(); }
    LoopbackSocket(const LoopbackSocket&) = delete;
    LoopbackSocket& operator=(const LoopbackSocket&) = delete;

    uint16_t Port() const { return ntohs(address_.sin_port); }
    int Fd() const { return fd_; }
    sockaddr* Address() { return reinterpret_cast<sockaddr*>(&address_); }
    void Close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
    sockaddr_in address_{};
};

} // namespace

TEST(TcpSendQueue, DropsOldestWhenFull)
{
    qz::net::send_queue queue;
    for (uint32_t i = 0; i < 9999; ++i)
        queue.push(qz::vok::binblock(&i, sizeof i));
    const uint32_t last = 9999;
    queue.push(qz::vok::binblock(&last, sizeof last));
    EXPECT_EQ(queue.size(), 9999u);
    qz::vok::binblock front;
    ASSERT_TRUE(queue.pop(front));
    EXPECT_EQ(*reinterpret_cast<const uint32_t*>(front.data()), 1u);

    // Full again: an empty unit makes room but is not kept.
    queue.push(qz::vok::binblock(&last, sizeof last));
    queue.push(qz::vok::binblock());
    EXPECT_EQ(queue.size(), 9998u);
    ASSERT_TRUE(queue.pop(front));
    EXPECT_EQ(*reinterpret_cast<const uint32_t*>(front.data()), 3u);
}

TEST(TcpSendQueue, TellsWhenEachNumberedUnitWasWritten)
{
    platform::SteppedClock clock; // never advanced: only the queue ends a wait
    platform::ScopedClock scoped(clock);
    qz::net::send_queue queue;
    const auto unit = qz::net::make_unit("GP SOT 1 1\r\n", 12);
    const uint64_t first = queue.push(unit);
    const uint64_t second = queue.push(unit);
    const uint64_t third = queue.push(unit);
    EXPECT_EQ(queue.push(qz::vok::binblock()), 0u); // not kept, nothing to wait for
    EXPECT_TRUE(first < second && second < third);

    qz::vok::binblock out;
    uint64_t number = 0;
    ASSERT_TRUE(queue.pop(out, number));
    EXPECT_EQ(number, first);
    const platform::TimePoint at = clock.Now() + 5ms;
    std::thread writer([&] { queue.written(first, at); });
    EXPECT_EQ(queue.wait_written(first, 1h), at);
    writer.join();

    // A unit lost in writing gives no time; the link going down ends the
    // wait for one still queued.
    ASSERT_TRUE(queue.pop(out, number));
    queue.lost(number);
    EXPECT_EQ(queue.wait_written(second, 1h), std::nullopt);
    std::atomic<bool> released{false};
    std::thread closer([&] {
        while (!released) {
            queue.release_waiters();
            std::this_thread::sleep_for(1ms);
        }
    });
    EXPECT_EQ(queue.wait_written(third, 1h), std::nullopt);
    released = true;
    closer.join();

    // Dropped for room: its wait ends at once.
    for (int i = 0; i < 9999; ++i)
        queue.push(unit);
    EXPECT_EQ(queue.wait_written(third, 1h), std::nullopt);
}

template <class Client>
void PacesQueuedUnitsInOrder()
{
    SCOPED_TRACE(typeid(Client).name());
    SilentPeer<Client> link;
    auto& client = link.client;
    auto& simulator = link.simulator;
    ASSERT_TRUE(WaitFor([&] { return client->connected.load(); }, 5s));

    std::vector<std::string> units;
    for (int i = 0; i < 10; ++i) {
        units.push_back("GP UNIT " + std::to_string(i) + "\r\n");
        EXPECT_TRUE(client->send(units.back().data(), units.back().size()));
    }
    ASSERT_TRUE(simulator.WaitForLines(10, 5s));
    EXPECT_EQ(simulator.Texts(), units);

    link.Stop();
    ASSERT_EQ(client->sentAt.size(), 10u);
    for (size_t i = 1; i < client->sentAt.size(); ++i)
        EXPECT_GE(client->sentAt[i] - client->sentAt[i - 1], 10ms) << i;
}

// The pause runs from the last write: the first unit after a quiet spell
// leaves at once, and one queued while a pause runs (a status poll in the
// middle of a layout) does not start the pause again.
template <class Client>
void PausesFromTheLastWriteOnly()
{
    SCOPED_TRACE(typeid(Client).name());
    WritePauseClock clock(1s);
    platform::ScopedClock scoped(clock);
    SilentPeer<Client> link;
    auto& client = link.client;
    auto& simulator = link.simulator;
    ASSERT_TRUE(WaitFor([&] { return client->connected.load(); }, 5s));

    const std::string first = "GP UNIT 1\r\n", second = "GP UNIT 2\r\n", third = "GP UNIT 3\r\n";
    const auto queued = std::chrono::steady_clock::now();
    EXPECT_TRUE(client->send(first.data(), first.size()));
    EXPECT_TRUE(client->send(second.data(), second.size()));
    ASSERT_TRUE(simulator.WaitForLines(1, 5s));
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(client->send(third.data(), third.size()));
    ASSERT_TRUE(simulator.WaitForLines(3, 10s));
    EXPECT_EQ(simulator.Texts(), (std::vector<std::string>{first, second, third}));

    link.Stop();
    ASSERT_EQ(client->sentAt.size(), 3u);
    EXPECT_LT(client->sentAt[0] - queued, 500ms);
    EXPECT_GE(client->sentAt[1] - client->sentAt[0], 1s);
    EXPECT_LT(client->sentAt[1] - client->sentAt[0], 1400ms);
    EXPECT_GE(client->sentAt[2] - client->sentAt[1], 1s);
}

// What was queued just before the close still goes out.
template <class Channel>
void CloseWritesWhatIsQueued()
{
    SCOPED_TRACE(typeid(Channel).name());
    WritePauseClock clock(1ms); // the writes take a tenth of the close's limit
    platform::ScopedClock scoped(clock);
    ProcessorSimulator simulator;
    simulator.SetEchoAll(false);
    auto channel = std::make_shared<Channel>(&CNetManager::get_instance(), "PRO_1");
    channel->Settings().put("server_addr", "127.0.0.1");
    channel->Settings().put("server_port", std::to_string(simulator.Port()));
    if constexpr (std::is_same_v<Channel, CSerialClientChannel>)
        channel->Settings().put("device", simulator.OpenPty());
    channel->Open();
    ASSERT_TRUE(WaitFor([&] { return channel->IsConnected(); }, 5s));
    const std::vector<std::string> lines{"GP SOT 1 1\r\n", "GP SOT 1 2\r\n", "GP SOT 1 3\r\n"};
    for (const auto& line : lines)
        EXPECT_TRUE(channel->Send(0, line));
    channel->Close();
    EXPECT_TRUE(simulator.WaitForLines(3, 5s));
    EXPECT_EQ(simulator.Texts(), lines);
}

TEST(Link, PacesWritesAndWritesWhatIsQueuedBeforeClosing)
{
    PacesQueuedUnitsInOrder<qz::net::tcp_client>();
    PacesQueuedUnitsInOrder<qz::net::serial_port_client>();
    PausesFromTheLastWriteOnly<qz::net::tcp_client>();
    PausesFromTheLastWriteOnly<qz::net::serial_port_client>();
    CloseWritesWhatIsQueued<CTcpClientChannel>();
    CloseWritesWhatIsQueued<CSerialClientChannel>();
}

TEST(TcpChannel, ReconnectsAfterDropButNotAfterSendWhileWaiting)
{
    platform::ScaledClock clock(10);
    platform::ScopedClock scoped(clock);
    LinkEvents events;
    auto simulator = std::make_unique<ProcessorSimulator>();
    const uint16_t port = simulator->Port();
    auto channel = MakeChannel(port);
    channel->SetId(7);
    channel->Open();
    ASSERT_TRUE(events.WaitForStates(2, 5s));
    EXPECT_EQ(events.Drain(), (std::vector<LinkEvents::State>{{7, 1}, {7, 2}}));
    EXPECT_TRUE(channel->IsConnected());

    const auto dropped = platform::Now(); // the link sees the drop after this
    simulator.reset();
    ASSERT_TRUE(WaitFor([&] { return channel->Client()->state() == qz::net::tcp_client::kWaiting; }, 5s));
    EXPECT_FALSE(channel->IsConnected());
    EXPECT_FALSE(channel->Send(0, "GP LOST 1\r\n"));

    simulator = std::make_unique<ProcessorSimulator>(port);
    ASSERT_TRUE(simulator->WaitForConnection(10s));
    EXPECT_GE(platform::Now() - dropped, 2s);
    // The drop shows as "connecting" until the link is back.
    ASSERT_TRUE(events.WaitForStates(4, 5s));
    EXPECT_EQ(events.Drain(), (std::vector<LinkEvents::State>{{7, 1}, {7, 2}, {7, 1}, {7, 2}}));

    ASSERT_TRUE(WaitFor([&] { return channel->IsConnected(); }, 5s));
    EXPECT_TRUE(channel->Send(0, "GP SENT 1\r\n"));
    ASSERT_TRUE(simulator->WaitForLines(1, 5s));
    EXPECT_EQ(simulator->Texts(), std::vector<std::string>{"GP SENT 1\r\n"});
    channel->Close();
}

TEST(TcpChannel, IdleWatchdogClosesForGood)
{
    platform::ScaledClock clock(40);
    platform::ScopedClock scoped(clock);
    LinkEvents events;
    ProcessorSimulator simulator;
    simulator.SetEchoAll(false);
    auto channel = MakeChannel(simulator.Port());
    channel->SetId(3);
    bool sourcesReleased = false;
    channel->SetClosedHandler([&] { sourcesReleased = true; });
    const auto opened = platform::Now();
    channel->Open();
    ASSERT_TRUE(events.WaitForStates(3, 10s));
    EXPECT_GT(platform::Now() - opened, 20s);
    EXPECT_EQ(events.Drain(), (std::vector<LinkEvents::State>{{3, 1}, {3, 2}, {3, 3}}));
    EXPECT_TRUE(sourcesReleased);
    EXPECT_FALSE(channel->CheckConnected());
    std::this_thread::sleep_for(clock.RealDuration(5s));
    EXPECT_EQ(simulator.Connections(), 1u);
    EXPECT_EQ(events.Drain().size(), 3u);
    channel->Close();
}

TEST(TcpChannel, GivesUpOnAnAbsentListenerAfterIdleLimit)
{
    platform::ScaledClock clock(40);
    platform::ScopedClock scoped(clock);
    LinkEvents events;
    LoopbackSocket held;
    const uint16_t port = held.Port();
    auto channel = MakeChannel(port);
    channel->SetId(4);
    const auto opened = platform::Now();
    channel->Open();
    ASSERT_TRUE(events.WaitForStates(2, 10s));
    EXPECT_GT(platform::Now() - opened, 20s);
    EXPECT_EQ(events.Drain(), (std::vector<LinkEvents::State>{{4, 1}, {4, 3}}));

    held.Close();
    ProcessorSimulator late(port);
    EXPECT_FALSE(late.WaitForConnection(std::chrono::duration_cast<std::chrono::milliseconds>(clock.RealDuration(5s))));
    channel->Close();
}

TEST(TcpChannel, CloseWaitsJoinsAndIsSafeToRepeat)
{
    LinkEvents events;
    ProcessorSimulator simulator;
    auto unopened = MakeChannel(simulator.Port());
    unopened->Close(); // no client: nothing to do
    EXPECT_FALSE(unopened->Send(0, "GP TYPE\r\n"));

    auto channel = MakeChannel(simulator.Port());
    channel->SetId(9);
    channel->Open();
    channel->Open(); // no second thread, "connecting" again
    ASSERT_TRUE(simulator.WaitForConnection(5s));
    ASSERT_TRUE(WaitFor([&] { return channel->IsConnected(); }, 5s));
    const auto start = std::chrono::steady_clock::now();
    channel->Close();
    EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
    EXPECT_FALSE(channel->HasIoThread());
    EXPECT_FALSE(channel->IsConnected());
    channel->Close();
    // The second "connecting" goes from this thread while the first attempt
    // goes on on the I/O thread: it may come before or after "connected".
    auto states = events.Drain();
    ASSERT_EQ(states.size(), 4u);
    EXPECT_EQ(states.front(), (LinkEvents::State{9, 1}));
    EXPECT_EQ(states.back(), (LinkEvents::State{9, 3}));
    std::sort(states.begin() + 1, states.end() - 1);
    EXPECT_EQ(states[1], (LinkEvents::State{9, 1}));
    EXPECT_EQ(states[2], (LinkEvents::State{9, 2}));
    EXPECT_EQ(simulator.Connections(), 1u);
}

TEST(TcpChannel, NotConnectedUntilTheConnectCompletes)
{
    // A listener whose backlog is full: the kernel drops a new connection's
    // SYN, so a connect stays in progress until the listener takes one.
    LoopbackSocket listener(0); // room for one waiting connection
    LoopbackSocket filler;
    ASSERT_EQ(::connect(filler.Fd(), listener.Address(), sizeof(sockaddr_in)), 0);
    // For a listener the kernel reports its waiting connections as unacked.
    ASSERT_TRUE(WaitFor(
        [&] {
            tcp_info info{};
            socklen_t size = sizeof info;
            return ::getsockopt(listener.Fd(), IPPROTO_TCP, TCP_INFO, &info, &size) == 0 && info.tcpi_unacked >= 1;
        },
        5s));

    auto channel = MakeChannel(listener.Port());
    channel->Open();
    ASSERT_TRUE(WaitFor([&] { return channel->Client()->state() == qz::net::tcp_client::kConnecting; }, 5s));
    EXPECT_FALSE(channel->IsConnected());
    EXPECT_FALSE(channel->CheckConnected());
    EXPECT_FALSE(channel->Send(0, "GP TYPE\r\n"));

    // Taking the waiting connection makes room: the next SYN gets through.
    const int taken = ::accept(listener.Fd(), nullptr, nullptr);
    EXPECT_GE(taken, 0);
    EXPECT_TRUE(WaitFor([&] { return channel->IsConnected(); }, 20s));
    channel->Close();
    if (taken >= 0)
        ::close(taken);
}

TEST(TcpChannel, BadPortTextNeverConnects)
{
    platform::ScaledClock clock(20);
    platform::ScopedClock scoped(clock);
    auto channel = MakeChannel(0, "no-such-service");
    channel->Open();
    std::this_thread::sleep_for(clock.RealDuration(5s));
    EXPECT_FALSE(channel->IsConnected());
    channel->Close();
    EXPECT_FALSE(channel->HasIoThread());
}
