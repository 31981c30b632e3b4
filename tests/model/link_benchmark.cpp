// Runs a processor's TCP link against the simulator in one process: how
// many reply lines a second reach the receiving end, and how long a
// SendAndWait round trip takes against an echoing device.
#include "comm/net_manager.h"
#include "comm/reply_line.h"
#include "model/link_setup.h"
#include "model/processor.h"
#include "model/processor_link.h"
#include "model/processor_settings.h"
#include "tests/model/link_fixture.h"
#include "tests/support/processor_simulator.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using Steady = std::chrono::steady_clock;

namespace {

// Cuts CR LF lines out of the byte stream and normalises each, as the reply
// path does before it dispatches; counts them and passes them on.
class LineCounter {
public:
    explicit LineCounter(std::weak_ptr<CQelProcessor> processor) : processor_(std::move(processor)) {}

    void Feed(const char* data, size_t length)
    {
        pending_.append(data, length);
        size_t start = 0;
        for (size_t end; (end = pending_.find("\r\n", start)) != std::string::npos; start = end + 2) {
            std::string line = pending_.substr(start, end + 2 - start);
            NormalizeReplyLine(line);
            if (auto processor = processor_.lock())
                processor->link().OnReply(line);
            lines.fetch_add(1, std::memory_order_relaxed);
            last.store(Steady::now().time_since_epoch().count(), std::memory_order_relaxed);
        }
        pending_.erase(0, start);
    }

    std::atomic<uint64_t> lines{0};
    std::atomic<Steady::rep> last{0};

private:
    std::weak_ptr<CQelProcessor> processor_;
    std::string pending_;
};

std::shared_ptr<LineCounter> g_counter;

} // namespace

int main()
{
    constexpr size_t kLines = 1000000;
    constexpr int kRoundTrips = 1000;

    SetLinkReceiverFactory([](const std::weak_ptr<CQelProcessor>& processor, uint32_t) -> LinkReceiver {
        g_counter = std::make_shared<LineCounter>(processor);
        return [counter = g_counter](const char* data, size_t length) { counter->Feed(data, length); };
    });

    ProcessorSimulator simulator;
    auto processor = std::make_shared<CQelProcessor>();
    PointAtLoopback(*processor, simulator.Port());
    processor->Connect();
    while (!processor->IsConnected())
        std::this_thread::sleep_for(1ms);

    const char* kMix[] = {"GP SOT 1 1\r\n",   "GP GIPA 192 168 0 100\r\n",   "GP TYPE 7 1\r\n",
                          "GP RISMG 3 1\r\n", "GP RISR 3 7 0 0 640 540\r\n", "GP NOSUCH 1 2\r\n"};
    std::string block;
    block.reserve(kLines * 20);
    for (size_t i = 0; i < kLines; ++i)
        block += kMix[i % std::size(kMix)];
    const auto first = Steady::now();
    simulator.Push(block);
    while (g_counter->lines.load() < kLines)
        std::this_thread::sleep_for(1ms);
    const auto last = Steady::time_point(Steady::duration(g_counter->last.load()));
    const double seconds = std::chrono::duration<double>(last - first).count();
    std::printf("lines: %zu in %.3f s, %.0f lines/s\n", kLines, seconds, kLines / seconds);

    std::vector<double> trips;
    trips.reserve(kRoundTrips);
    std::string reply;
    int failed = 0;
    for (int i = 0; i < kRoundTrips; ++i) {
        const auto start = Steady::now();
        if (!processor->link().SendAndWait("GP TYPE 7 1\r\n", reply))
            ++failed;
        trips.push_back(std::chrono::duration<double, std::milli>(Steady::now() - start).count());
    }
    std::sort(trips.begin(), trips.end());
    std::printf("SendAndWait: median %.2f ms, p99 %.2f ms, %d without reply\n", trips[trips.size() / 2],
                trips[trips.size() * 99 / 100], failed);

    CNetManager::get_instance().CloseAndRemove(processor->settings().GetChannelId());
    SetLinkReceiverFactory({});
    g_counter.reset();
    return 0;
}
