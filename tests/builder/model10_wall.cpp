#include "tests/builder/model10_wall.h"

#include <random>
#include <vector>

#include "model/processor.h"
#include "plan/plan.h"
#include "tests/builder/sender_test_support.h"

void BuildModel10(CQelProcessor& p, int side)
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

void AddModel10Windows(CQelPlan& plan, int count, int side)
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
