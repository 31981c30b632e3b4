#pragma once
// Fixture S of the 8-part tests on the processor simulator.
#include <memory>

#include "tests/builder/sender_test_support.h"
#include "tests/model/link_fixture.h"

// Fixture S on the simulator, selected in the context (dropped first).
struct LinkedS {
    LinkedS(platform::Clock& clock, uint8_t netType) : link(clock, 8, netType)
    {
        BuildFixtureS(*link.processor);
        SelectTestProcessor(link.processor);
        EXPECT_TRUE(link.simulator.WaitForConnection(20s));
    }
    LinkFixture link;
    SenderContextGuard guard;
    std::unique_ptr<CQelPlan> plan = MakeTestPlan(1, 2);
};
