#pragma once
#include <functional>
#include <thread>

#include "model/processor.h"

// Holds any job it is asked to start, so the processor stays busy.
class BusyProcessor : public CQelProcessor {
protected:
    std::thread LaunchJob(std::function<void()>) override
    {
        return std::thread([] {});
    }
};
