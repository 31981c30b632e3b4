// How far apart the links hand paced lines to their socket or port, timed
// at the sender: the link's own 10 ms pause (lines sent straight onto the
// link, as an Apply does) and the paced sender's 25 and 40 ms pauses, on TCP
// and on a serial line over a pseudo-terminal. Reports the median and the
// minimum gap of each.
#include "comm/net_manager.h"
#include "comm/serial_channel.h"
#include "comm/tcp_channel.h"
#include "model/processor.h"
#include "model/processor_link.h"
#include "model/processor_settings.h"
#include "tests/support/processor_simulator.h"

#include <algorithm>
#include <boost/property_tree/ptree.hpp>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

// A link client that notes when each unit goes to its socket or port.
template <class Client>
class Timed : public Client {
public:
    using Client::Client;

    std::vector<platform::TimePoint> Sent()
    {
        std::lock_guard guard(lock_);
        return sent_;
    }

protected:
    void on_sent(qz::vok::binblock& unit) override
    {
        {
            std::lock_guard guard(lock_);
            sent_.push_back(platform::Now());
        }
        Client::on_sent(unit);
    }

private:
    std::mutex lock_;
    std::vector<platform::TimePoint> sent_;
};

class TimedTcpChannel : public CClientChannel<Timed<CTcpClient>> {
public:
    TimedTcpChannel(uint16_t port)
        : CClientChannel(&CNetManager::get_instance(), "PRO_Tcp_1"), port_(std::to_string(port))
    {
    }
    void Open() override
    {
        OpenClient([this] { return std::make_shared<Timed<CTcpClient>>(Io(), "127.0.0.1", port_, this); }, "Tcp");
    }

private:
    std::string port_;
};

class TimedSerialChannel : public CClientChannel<Timed<CSerialClient>> {
public:
    TimedSerialChannel(std::string device)
        : CClientChannel(&CNetManager::get_instance(), "PRO_Serial_1"), device_(std::move(device))
    {
    }
    void Open() override
    {
        OpenClient([this] { return std::make_shared<Timed<CSerialClient>>(Io(), device_, 115200, this); }, "Serial");
    }

private:
    std::string device_;
};

// Sends `count` lines, either straight onto the link (pause 0: the link's
// own pause alone) or through the processor's sender at `pauseMs`, and
// prints the gaps between the times they were handed over.
template <class Channel>
void Measure(const char* link, Channel& channel, CQelProcessor& processor, ProcessorSimulator& simulator,
             unsigned pauseMs, size_t count)
{
    simulator.ClearLines();
    const size_t before = channel.Client()->Sent().size();
    const std::string line = "I_F RISR 1 2\r\n";
    processor.link().SetSenderPause(pauseMs);
    for (size_t i = 0; i < count; ++i) {
        if (pauseMs == 0)
            channel.Send(0, line);
        else
            processor.QueueCommand(line);
    }
    if (!simulator.WaitForLines(count, 120s)) {
        std::printf("%s: not every line arrived\n", link);
        return;
    }
    const auto sent = channel.Client()->Sent();
    std::vector<double> gaps;
    for (size_t i = before + 1; i < sent.size(); ++i)
        gaps.push_back(std::chrono::duration<double, std::milli>(sent[i] - sent[i - 1]).count());
    std::sort(gaps.begin(), gaps.end());
    const unsigned pause = pauseMs == 0 ? 10 : pauseMs;
    std::printf("%-6s %2u ms pause: median gap %.3f ms, minimum %.3f ms (%zu gaps)\n", link, pause,
                gaps[gaps.size() / 2], gaps.front(), gaps.size());
}

template <class Channel>
void Run(const char* link, std::shared_ptr<Channel> channel, ProcessorSimulator& simulator)
{
    auto& manager = CNetManager::get_instance();
    const uint32_t id = manager.Register(channel);
    channel->Open();
    while (!channel->IsConnected())
        std::this_thread::sleep_for(1ms);
    auto processor = std::make_shared<CQelProcessor>();
    processor->settings().SetChannelId(id);
    // Past the sender's start wait.
    std::this_thread::sleep_for(200ms);
    Measure(link, *channel, *processor, simulator, 0, 300);
    Measure(link, *channel, *processor, simulator, 25, 200);
    Measure(link, *channel, *processor, simulator, 40, 150);
    processor.reset();
    manager.CloseAndRemove(id);
}

} // namespace

int main()
{
    ProcessorSimulator simulator;
    simulator.SetEchoAll(false);
    Run("tcp", std::make_shared<TimedTcpChannel>(simulator.Port()), simulator);
    const std::string pty = simulator.OpenPty();
    Run("serial", std::make_shared<TimedSerialChannel>(pty), simulator);
    return 0;
}
