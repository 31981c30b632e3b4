#include "platform/ui/ui_timer.h"

namespace ui {

UiTimer::UiTimer(QObject* parent) : QObject(parent)
{
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &UiTimer::timeout);
}

void UiTimer::start(int productionMs)
{
    period_ = std::max(productionMs, 0);
    timer_.start(period_); // TODO scale
}

void UiTimer::stop()
{
    timer_.stop();
}

} // namespace ui
