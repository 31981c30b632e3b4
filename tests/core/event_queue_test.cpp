#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>
#include <vector>

#include "core/event_pump.h"
#include "core/event_queue.h"
#include "core/event_signals.h"

namespace {

// An event that claims a code of its own choosing.
class CodedEvent : public CEventBase {
public:
    explicit CodedEvent(int code) : code_(code) {}
    int GetType() const override { return code_; }

private:
    int code_;
};

void DrainGlobalQueue()
{
    CEvtQueue::get_instance().Clear();
}

} // namespace

TEST(EventQueue, DropsOldestWhenFullAndLeavesOutputOnEmpty)
{
    CEvtQueue queue;
    for (int i = 0; i <= static_cast<int>(CEvtQueue::kCapacity); ++i) {
        queue.Post(new COSDStatusEvent(i));
    }
    // The first event is the one lost; the rest come out in order.
    EventPtr event;
    int count = 0;
    while (queue.TryPop(event)) {
        ++count;
        ASSERT_EQ(static_cast<COSDStatusEvent&>(*event).status, count);
    }
    EXPECT_EQ(count, static_cast<int>(CEvtQueue::kCapacity));

    // An empty queue leaves the caller's pointer as it was.
    auto kept = std::make_shared<COSDStatusEvent>(77);
    EventPtr out = kept;
    EXPECT_FALSE(queue.TryPop(out));
    EXPECT_EQ(out, kept);

    queue.Post(new CGetSTMVerEvent);
    queue.Clear();
    EXPECT_FALSE(queue.TryPop(out));
}

TEST(EventPump, DeliversAtMostThirtyTwoPerTick)
{
    DrainGlobalQueue();
    std::vector<int> seen;
    auto conn = CQelEvtSignals::ConnectOSDStatus([&](const COSDStatusEvent& e) { seen.push_back(e.status); });
    for (int i = 0; i < 40; ++i) {
        PostEvent(new COSDStatusEvent(i));
    }
    EXPECT_EQ(PumpEvents(), 32);
    EXPECT_EQ(seen.size(), 32u);
    EXPECT_EQ(PumpEvents(), 8);
    ASSERT_EQ(seen.size(), 40u);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(seen[i], i);
    }
    EXPECT_EQ(PumpEvents(), 0);
    conn.disconnect();
}

TEST(EventSignals, RoutesEachCodeToItsClassOnly)
{
    int renames = 0;
    int windows = 0;
    int statuses = 0;
    std::vector<CQelEvtSignals::Connection> conns;
    conns.push_back(CQelEvtSignals::ConnectSigSrcRename([&](const CSigSrcRenameEvent& e) {
        EXPECT_EQ(e.processorId, 1);
        EXPECT_EQ(e.sourceId, 7);
        ++renames;
    }));
    conns.push_back(CQelEvtSignals::ConnectPlanWindow([&](const CPlanWindowEvent& e) {
        EXPECT_EQ(e.planId, 3);
        ++windows;
    }));
    conns.push_back(CQelEvtSignals::ConnectOSDStatus([&](const COSDStatusEvent&) { ++statuses; }));

    CQelEvtSignals::Fire(std::make_shared<CSigSrcRenameEvent>(1, 7));
    CQelEvtSignals::Fire(std::make_shared<CPlanWindowEvent>(3, 1, CPlanWindowEvent::kSelected));
    CQelEvtSignals::Fire(std::make_shared<CPlanWindowEvent>(3, 2, CPlanWindowEvent::kChanged));
    EXPECT_EQ(renames, 1);
    EXPECT_EQ(windows, 2);

    // Unknown codes, the base class, a null event, and an event whose code
    // belongs to another class reach nobody.
    CQelEvtSignals::Fire(std::make_shared<CodedEvent>(0));
    CQelEvtSignals::Fire(std::make_shared<CodedEvent>(27));
    CQelEvtSignals::Fire(std::make_shared<CodedEvent>(COSDStatusEvent::kType));
    CQelEvtSignals::Fire(std::make_shared<CEventBase>());
    CQelEvtSignals::Fire(nullptr);
    CQelEvtSignals::Fire(std::make_shared<CPlanWindowEvent>(3, 1, CSigSrcRenameEvent::kType));
    EXPECT_EQ(renames, 1);
    EXPECT_EQ(windows, 2);
    EXPECT_EQ(statuses, 0);

    // Events without a subscription are consumed quietly.
    CQelEvtSignals::Fire(std::make_shared<CSigSrcSelChangedEvent>(1, 2));
    CQelEvtSignals::Fire(std::make_shared<CProcessorMACEvent>(0x01020304u));

    for (auto& c : conns) {
        c.disconnect();
    }
    CQelEvtSignals::Fire(std::make_shared<CSigSrcRenameEvent>(1, 7));
    EXPECT_EQ(renames, 1);
}

TEST(EventSignals, HandlersRunInOrderAndMayDisconnectOrPost)
{
    DrainGlobalQueue();
    std::vector<std::string> calls;
    CQelEvtSignals::Connection self;
    auto first = CQelEvtSignals::ConnectPlanSelChanged([&](const CPlanSelChangedEvent& e) {
        calls.push_back("first:" + std::to_string(e.planId));
        if (e.planId == 1) {
            PostEvent(new CPlanSelChangedEvent(100));
            // Posting never delivers inside the handler.
            EXPECT_EQ(calls.size(), 1u);
        }
    });
    self = CQelEvtSignals::ConnectPlanSelChanged([&](const CPlanSelChangedEvent& e) {
        calls.push_back("second:" + std::to_string(e.planId));
        self.disconnect();
    });
    auto third = CQelEvtSignals::ConnectPlanSelChanged(
        [&](const CPlanSelChangedEvent& e) { calls.push_back("third:" + std::to_string(e.planId)); });

    PostEvent(new CPlanSelChangedEvent(1));
    PostEvent(new CPlanSelChangedEvent(2));
    EXPECT_EQ(PumpEvents(), 3);
    const std::vector<std::string> expected = {"first:1", "second:1",  "third:1",  "first:2",
                                               "third:2", "first:100", "third:100"};
    EXPECT_EQ(calls, expected);
    first.disconnect();
    third.disconnect();
}

TEST(EventPump, DeliversEventsOfManyThreadsOnceInEachThreadsOrder)
{
    DrainGlobalQueue();
    constexpr int kThreads = 4;
    constexpr int kPerThread = 5000;
    std::map<int, std::vector<int>> seen; // poster -> sequence numbers
    auto conn = CQelEvtSignals::ConnectSigSrcAdded(
        [&](const CSigSrcAddedEvent& e) { seen[e.processorId].push_back(e.sourceId); });

    std::atomic<int> done{0};
    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t) {
        posters.emplace_back([t, &done] {
            for (int i = 0; i < kPerThread; ++i) {
                PostEvent(new CSigSrcAddedEvent(t, i));
            }
            ++done;
        });
    }
    // Pump while the posters run, then until the queue is dry.
    while (done.load() < kThreads) {
        PumpEvents();
    }
    for (auto& p : posters) {
        p.join();
    }
    while (PumpEvents() > 0) {
    }
    conn.disconnect();

    ASSERT_EQ(seen.size(), static_cast<size_t>(kThreads));
    for (auto& [poster, sequence] : seen) {
        ASSERT_EQ(sequence.size(), static_cast<size_t>(kPerThread)) << "poster " << poster;
        for (int i = 0; i < kPerThread; ++i) {
            ASSERT_EQ(sequence[i], i) << "poster " << poster;
        }
    }
}
