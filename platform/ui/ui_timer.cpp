#include "platform/ui/ui_timer.h"

#include "platform/clock.h"

#include <algorithm>
#include <chrono>

namespace ui {

UiTimer::UiTimer(QObject* parent) : QObject(parent)
{
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &UiTimer::timeout);
}

void UiTimer::start(int productionMs)
{
    period_ = std::max(productionMs, 0);
    // Rounded up, so a scaled period never runs shorter than the clock says.
    const auto real = platform::GetClock().RealDuration(std::chrono::milliseconds(period_));
    timer_.start(std::chrono::ceil<std::chrono::milliseconds>(real));
}

void UiTimer::stop()
{
    timer_.stop();
}

} // namespace ui
