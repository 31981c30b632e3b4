// Times one G request on the first-fit state the wall view meets on every
// repaint: 1920 x 1000 and 1920 x 100 allocated, the first freed, then a
// narrow request that is refused (2 x 1301) and one that fits (2 x 1300).
// The literal scan is timed beside it as the baseline.
#include "builder/gsystem.h"
#include "literal_gsystem.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 50;

double MedianMs(const std::function<void()>& run)
{
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const auto end = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return (ms[kRuns / 2 - 1] + ms[kRuns / 2]) / 2;
}

void Report(const char* what, double ms, bool ok)
{
    std::printf("%-34s median %9.4f ms over %d runs%s\n", what, ms, kRuns, ok ? "" : "  (unexpected result)");
}

} // namespace

int main()
{
    using _8PART_NS::CTwoWndPerSegGSystem;

    CTwoWndPerSegGSystem g(1920, 2400, 5);
    const Rect* first = g.Allocate(1920, 1000);
    g.Allocate(1920, 100);
    g.Free(first);

    bool refusedOk = true;
    Report("CTwoWndPerSegGSystem 2 x 1301", MedianMs([&] { refusedOk = refusedOk && g.Allocate(2, 1301) == nullptr; }),
           refusedOk);
    bool fitOk = true;
    Report("CTwoWndPerSegGSystem 2 x 1300", MedianMs([&] {
               const Rect* r = g.Allocate(2, 1300);
               fitOk = fitOk && r && *r == Rect{0, 1100, 2, 2400};
               g.Free(r);
           }),
           fitOk);

    literal::GSystem lit(1920, 2400, 5);
    Rect r;
    const int id = lit.Allocate(1920, 1000, &r);
    lit.Allocate(1920, 100, &r);
    lit.Free(id);
    bool litRefusedOk = true;
    Report("literal scan 2 x 1301", MedianMs([&] { litRefusedOk = litRefusedOk && lit.Allocate(2, 1301, &r) < 0; }),
           litRefusedOk);
    bool litFitOk = true;
    Report("literal scan 2 x 1300", MedianMs([&] {
               const int got = lit.Allocate(2, 1300, &r);
               litFitOk = litFitOk && got >= 0 && r == Rect{0, 1100, 2, 2400};
               lit.Free(got);
           }),
           litFitOk);
    return refusedOk && fitOk && litRefusedOk && litFitOk ? 0 : 1;
}
