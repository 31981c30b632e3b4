#pragma once
// The full model-10 wall the overlay and paint benchmarks time: a 6 x 6
// wall of 1920 x 1080 outputs and 72 windows from a fixed-seed generator.
#include <random>
#include <vector>

#include "tests/builder/sender_test_support.h"

inline constexpr int kModel10Side = 6;
inline constexpr int kModel10Windows = 72;

// Input boards 0 to 8 with four 1920 x 1080 sources each; output boards
// 109 to 117 with four outputs each, on a 6 x 6 wall.
inline void BuildModel10(CQelProcessor& p)
{
    p.SetKind(10);
    for (uint32_t b = 0; b <= 8; ++b) {
        AddTestBoards(p, {{b, 1}, {b + 109, 12}});
        for (uint32_t port = 0; port < 4; ++port)
            AddTestSource(p, b * 100 + port, 1920, 1080);
    }
    std::vector<uint32_t> outputs;
    CQelProcessor::WallMap cells;
    for (int n = 0; n < kModel10Side * kModel10Side; ++n) {
        const uint32_t id = uint32_t((109 + n / 4) * 100 + n % 4);
        outputs.push_back(id);
        cells[{n / kModel10Side, n % kModel10Side}] = int32_t(id);
    }
    SetTestOutputs(p, outputs, cells);
}

inline void AddModel10Windows(CQelPlan& plan)
{
    std::mt19937 random(20);
    std::uniform_int_distribution<int32_t> width(480, 3840);
    std::uniform_int_distribution<int32_t> height(270, 2160);
    for (int i = 0; i < kModel10Windows; ++i) {
        const int32_t w = width(random);
        const int32_t h = height(random);
        const int32_t x = std::uniform_int_distribution<int32_t>(0, kModel10Side * 1920 - w)(random);
        const int32_t y = std::uniform_int_distribution<int32_t>(0, kModel10Side * 1080 - h)(random);
        const int n = i % (9 * 4);
        auto window = AddTestWindow(plan, (n / 4) * 100 + n % 4, {x, y, x + w, y + h});
        window->scaled = i % 3 != 2;
    }
}
