// Sends 1,000 paced commands through the recording channel at the TCP pause
// in production time and reports how far the total exceeds 1,000 pauses,
// and how many allocations each command costs on the way in and out.
#include "comm/net_manager.h"
#include "model/net_type.h"
#include "model/processor.h"
#include "model/processor_link.h"
#include "model/processor_settings.h"
#include "tests/support/processor_simulator.h"
#include "tests/support/recording_channel.h"
#include "model/pro_delay_sender.h"

#include <algorithm>
#include <atomic>
#include <boost/property_tree/ptree.hpp>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <thread>

namespace {
thread_local uint64_t t_allocations = 0;
}

void* operator new(std::size_t size)
{
    ++t_allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

int main()
{
    using namespace std::chrono_literals;
    constexpr int kCommands = 1000;

    ProcessorSimulator simulator;
    simulator.SetEchoAll(false);
    auto channel = std::make_shared<CRecordingChannel>(&CNetManager::get_instance(), "PRO_Tcp_1");
    channel->Settings().put("server_addr", "127.0.0.1");
    channel->Settings().put("server_port", std::to_string(simulator.Port()));
    channel->ReserveUnits(2 * kCommands + 10);
    const uint32_t channelId = CNetManager::get_instance().Register(channel);
    channel->Open();

    auto processor = std::make_shared<CQelProcessor>();
    processor->SetKind(8);
    processor->settings().SetChannelId(channelId);
    processor->link().SetSenderPause(CQelProDelaySender::kTcpPauseMs);

    // Past the start wait and the first pause.
    processor->QueueCommand("MARK\r\n");
    simulator.WaitForLines(1, 5s);
    std::this_thread::sleep_for(50ms);

    // One more command than pauses measured: the total runs from the first
    // send to the one after the last measured pause.
    std::vector<std::string> commands;
    for (int i = 0; i <= kCommands; ++i)
        commands.push_back("I_F RISR " + std::to_string(i / 4) + " " + std::to_string(i % 4) + "\r\n");

    const uint64_t before = t_allocations;
    for (const auto& command : commands)
        processor->QueueCommand(command);
    const uint64_t queued = t_allocations - before;

    if (!simulator.WaitForLines(kCommands + 2, 120s)) {
        std::fprintf(stderr, "the simulator did not receive every command\n");
        return 1;
    }
    const auto units = channel->Units();
    const auto total = units[kCommands + 1].at - units[1].at;
    const double totalMs = std::chrono::duration<double, std::milli>(total).count();
    const double pausesMs = kCommands * double(CQelProDelaySender::kTcpPauseMs);
    std::vector<double> gapsMs;
    for (int i = 2; i <= kCommands + 1; ++i)
        gapsMs.push_back(std::chrono::duration<double, std::milli>(units[i].at - units[i - 1].at).count());
    std::sort(gapsMs.begin(), gapsMs.end());

    // The send side, measured on this thread: the channel wraps each
    // command in its own unit, and the test channel keeps a copy.
    const uint64_t beforeSend = t_allocations;
    for (int i = 0; i < kCommands; ++i)
        processor->link().ChannelSend(commands[static_cast<size_t>(i)]);
    const uint64_t sent = t_allocations - beforeSend;

    std::printf("%d paced commands at %u ms: %.1f ms for %d pauses of %.0f ms (+%.3f %%)\n", kCommands,
                CQelProDelaySender::kTcpPauseMs, totalMs, kCommands, pausesMs, 100.0 * (totalMs - pausesMs) / pausesMs);
    std::printf("gaps: shortest %.3f ms, median %.3f ms, 99th %.3f ms, longest %.3f ms\n", gapsMs.front(),
                gapsMs[gapsMs.size() / 2], gapsMs[gapsMs.size() * 99 / 100], gapsMs.back());
    std::printf("allocations per command: queueing %.2f; sending %.2f (channel unit and test record)\n",
                double(queued) / (kCommands + 1), double(sent) / kCommands);

    processor.reset();
    CNetManager::get_instance().CloseAndRemove(channelId);
    return 0;
}
