#pragma once
// The full model-10 wall the overlay and paint benchmarks time: a 6 x 6
// wall of 1920 x 1080 outputs and 72 windows from a fixed-seed generator
// (the paint benchmark also times a 16 x 16 wall of 256 windows).
#include <random>
#include <vector>

#include "model/processor.h"
#include "plan/window.h"
#include "tests/builder/sender_test_support.h"

inline constexpr int kModel10Side = 6;
inline constexpr int kModel10Windows = 72;

// Input boards 0 to 8 with four 1920 x 1080 sources each; output boards
// from 109 with four outputs each, on a side x side wall.
inline void BuildModel10(CQelProcessor& p, int side = kModel10Side)
{
    p.SetKind(10);
    for (uint32_t b = 0; b <= 8; ++b) {
        AddTestBoards(p, {{b, 1}, {b + 109, 12}});
        for (uint32_t port = 0; port < 4; ++port)
            AddTestSource(p, b * 100 + port, 1920, 1080);
    }
    std::vector<uint32_t> outputs;
    CQelProcessor::WallMap cells;
    for (int n = 0; n < side * side; ++n) {
        const uint32_t board = uint32_t(109 + n / 4);
        if (n % 4 == 0 && !p.GetBoard(board))
            AddTestBoards(p, {{board, 12}});
        const uint32_t id = board * 100 + uint32_t(n % 4);
        outputs.push_back(id);
        cells[{n / side, n % side}] = int32_t(id);
    }
    SetTestOutputs(p, outputs, cells);
}

inline void AddModel10Windows(CQelPlan& plan, int count = kModel10Windows, int side = kModel10Side)
{
    std::mt19937 random(20);
    std::uniform_int_distribution<int32_t> width(480, 3840);
    std::uniform_int_distribution<int32_t> height(270, 2160);
    for (int i = 0; i < count; ++i) {
        const int32_t w = width(random);
        const int32_t h = height(random);
        const int32_t x = std::uniform_int_distribution<int32_t>(0, side * 1920 - w)(random);
        const int32_t y = std::uniform_int_distribution<int32_t>(0, side * 1080 - h)(random);
        const int n = i % (9 * 4);
        auto window = AddTestWindow(plan, (n / 4) * 100 + n % 4, {x, y, x + w, y + h});
        window->scaled = i % 3 != 2;
    }
}
