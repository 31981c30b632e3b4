// The sender fixtures' parts that reach the builder, in a file apart from
// the processors and plans: a test that only builds a processor pulls in
// none of the builder.
#include "tests/builder/sender_test_support.h"

#include "builder/gsys_manager.h"
#include "builder/pro8x8_sender.h"
#include "builder/resource_allocer.h"
#include "context/context.h"
#include "model/processor.h"
#include "plan/plan.h"

void RunMonitorPasses(PS_NS::CPro8x8Sender& sender)
{
    sender.CollectBoards();
    sender.CollectWindows();
    sender.AddMonitors();
}

SenderContextGuard::~SenderContextGuard()
{
    CQelContext::Destroy();
    _8PART_NS::C8PartResourceAllocer::Destroy();
    _8PART_NS::C8PartGSysManager::Destroy();
    PS_NS::CPro8x8Sender::CResourceAllocer::Destroy();
}

FixtureF::FixtureF() : processor(std::make_shared<CQelProcessor>()), plan(MakeTestPlan(1, 2))
{
    BuildFixtureS(*processor);
    SelectTestProcessor(processor);
}

FixtureF::~FixtureF() = default;
