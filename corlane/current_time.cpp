#include "corlane/current_time.h"

#include <atomic>

namespace qz::vok {

namespace {
std::atomic<time_source> g_source{nullptr};
}

std::time_t current_time()
{
    time_source source = g_source.load(std::memory_order_acquire);
    return source ? source() : std::time(nullptr);
}

void set_time_source(time_source source)
{
    g_source.store(source, std::memory_order_release);
}

std::tm current_local_time()
{
    std::time_t now = current_time();
    std::tm parts{};
    localtime_r(&now, &parts);
    return parts;
}

} // namespace qz::vok
