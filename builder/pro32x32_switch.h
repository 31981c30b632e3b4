#pragma once
// Sends a switch plan to a 32x32 processor: every output shows its
// assigned, joined input full screen, or is cleared.
#include <string>

#include "builder/pro32x32_builder.h"

class CPro32x32SwitchSender : public CPro32x32Builder {
public:
    // Takes the context's selected processor, as the builders do; Build is
    // never called, nothing is placed.
    explicit CPro32x32SwitchSender(CQelPlan* plan);
    ~CPro32x32SwitchSender() override;

    // False without a processor or plan, or when the command queue refused
    // a line; the lines after a refused one are still queued.
    bool Send() override;
    std::string GetName() const override;
};
