#include "tests/model/busy_processor.h"

std::thread BusyProcessor::LaunchJob(std::function<void()>)
{
    return std::thread([] {});
}
