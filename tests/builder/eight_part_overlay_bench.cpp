// Times the two 8-part overlay queries the wall view runs on every
// repaint, on a model-10 processor with a full 6 x 6 wall and 72 windows.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "tests/builder/sender_test_support.h"

namespace {

constexpr int kRuns = 20;
constexpr int kWindows = 72;
constexpr int kSide = 6;

// Input boards 0 to 8 with four 1920 x 1080 sources each; output boards
// 109 to 117 with four outputs each, on a 6 x 6 wall.
void BuildModel10(CQelProcessor& p)
{
    p.SetKind(10);
    for (uint32_t b = 0; b <= 8; ++b) {
        AddTestBoards(p, {{b, 1}, {b + 109, 12}});
        for (uint32_t port = 0; port < 4; ++port)
            AddTestSource(p, b * 100 + port, 1920, 1080);
    }
    std::vector<uint32_t> outputs;
    CQelProcessor::WallMap cells;
    for (int n = 0; n < kSide * kSide; ++n) {
        const uint32_t id = uint32_t((109 + n / 4) * 100 + n % 4);
        outputs.push_back(id);
        cells[{n / kSide, n % kSide}] = int32_t(id);
    }
    SetTestOutputs(p, outputs, cells);
}

void AddWindows(CQelPlan& plan)
{
    std::mt19937 random(20);
    std::uniform_int_distribution<int32_t> width(480, 3840);
    std::uniform_int_distribution<int32_t> height(270, 2160);
    for (int i = 0; i < kWindows; ++i) {
        const int32_t w = width(random);
        const int32_t h = height(random);
        const int32_t x = std::uniform_int_distribution<int32_t>(0, kSide * 1920 - w)(random);
        const int32_t y = std::uniform_int_distribution<int32_t>(0, kSide * 1080 - h)(random);
        const int n = i % (9 * 4);
        auto window = AddTestWindow(plan, (n / 4) * 100 + n % 4, {x, y, x + w, y + h});
        window->scaled = i % 3 != 2;
    }
}

} // namespace

int main()
{
    auto processor = std::make_shared<CQelProcessor>();
    BuildModel10(*processor);
    SelectTestProcessor(processor);
    auto plan = MakeTestPlan(kSide, kSide);
    AddWindows(*plan);

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
    std::printf("8-part overlays, model 10, %d windows: median %.3f ms over %d runs (%zu records)\n", kWindows,
                median, kRuns, records);
    { SenderContextGuard guard; }
    return records > 0 ? 0 : 1;
}
