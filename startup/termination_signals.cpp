#include "startup/termination_signals.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> g_requested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "signal handlers need a lock-free flag");

extern "C" void OnTerminationSignal(int)
{
    g_requested.store(true);
}

} // namespace

void InstallTerminationHandlers()
{
    struct sigaction action = {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

bool TerminationRequested()
{
    return g_requested.load();
}

void ClearTerminationRequest()
{
    g_requested.store(false);
}
