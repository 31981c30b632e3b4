// Times the two 8-part overlay queries the wall view runs on every
// repaint, on a model-10 processor with a full 6 x 6 wall and 72 windows.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "model/processor.h"
#include "plan/plan.h"
#include "tests/builder/model10_wall.h"
#include "tests/builder/sender_test_support.h"

namespace {

constexpr int kRuns = 20;

} // namespace

int main()
{
    auto processor = std::make_shared<CQelProcessor>();
    BuildModel10(*processor);
    SelectTestProcessor(processor);
    auto plan = MakeTestPlan(kModel10Side, kModel10Side);
    AddModel10Windows(*plan);

    std::vector<double> ms;
    size_t records = 0;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const auto failures = plan->GetEightPartOverlay();
        const auto bands = plan->GetEightPartOverlay2();
        const auto end = std::chrono::steady_clock::now();
        records = failures.size() + bands.size();
        ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(ms.begin(), ms.end());
    const double median = (ms[kRuns / 2 - 1] + ms[kRuns / 2]) / 2;
    std::printf("8-part overlays, model 10, %d windows: median %.3f ms over %d runs (%zu records)\n", kModel10Windows,
                median, kRuns, records);
    {
        SenderContextGuard guard;
    }
    return records > 0 ? 0 : 1;
}
