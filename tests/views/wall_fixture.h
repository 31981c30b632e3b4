#pragma once
// The wall view's fixture: processor 1 of model 3, selected, whose wall map
// gives each cell of a 2 x 2 wall an output, and a type-0 plan of 2 x 2
// screens of 1920 x 1080 @ 60, each split 2 x 2, without margins.
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "tests/builder/sender_test_support.h"
#include "views/wall_view_core.h"

struct WallFixture {
    WallFixture();
    ~WallFixture();

    // A type-1 plan of one row of two 1920 x 1080 screens watching
    // `watched` outputs.
    static std::shared_ptr<CQelPlan> WatchPlan(const std::vector<int32_t>& watched);

    SenderContextGuard guard;
    std::shared_ptr<CQelProcessor> processor;
    std::shared_ptr<CQelPlan> plan;
};

// On fixture F (model 8, one row of two screens): a window the 8-part
// placement cannot realise, on source 500 of input board 5.
std::shared_ptr<CQelPlan> UnplaceablePlan(FixtureF& f);

// The core with its hooks recorded.
class CoreProbe : public WallViewCore {
public:
    explicit CoreProbe(Size client = Size{1000, 600});
    void InvalidateView() override;
    void ExecutePlan(ExecMode mode, int withProgress) override;

    int invalidations = 0;
    std::vector<std::pair<int, int>> executed;
};
