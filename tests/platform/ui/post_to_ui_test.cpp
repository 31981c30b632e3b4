#include "platform/ui/post_to_ui.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/ui/ui_test.h"

namespace {

using tavrix::test::pumpUntil;

TEST(PostToUi, RunsQueuedOnTheUiThreadInOrderWithCopiedValues)
{
    QObject receiver;
    std::vector<std::string> seen;
    std::vector<QThread*> threads;
    std::thread worker([&receiver, &seen, &threads] {
        for (int i = 0; i < 3; ++i) {
            std::string value = "step " + std::to_string(i);
            EXPECT_TRUE(ui::postToUi(&receiver, [value, &seen, &threads] {
                seen.push_back(value);
                threads.push_back(QThread::currentThread());
            }));
            value = "changed after posting";
        }
    });
    worker.join();

    EXPECT_TRUE(seen.empty()); // nothing runs inside the poster
    ASSERT_TRUE(pumpUntil([&] { return seen.size() == 3; }));
    EXPECT_EQ(seen, (std::vector<std::string>{"step 0", "step 1", "step 2"}));
    for (QThread* t : threads)
        EXPECT_EQ(t, QCoreApplication::instance()->thread());
}

TEST(PostToUi, DroppedWhenTheReceiverIsGone)
{
    int runs = 0;

    // Deleted between posting and delivery.
    auto* early = new QObject;
    std::thread([early, &runs] { ui::postToUi(early, [&runs] { ++runs; }); }).join();
    delete early;

    // Deleted before a worker holding a guarded pointer posts at all.
    auto* gone = new QObject;
    QPointer<QObject> guard(gone);
    delete gone;
    bool accepted = true;
    std::thread([guard, &runs, &accepted] { accepted = ui::postToUi(guard, [&runs] { ++runs; }); }).join();
    EXPECT_FALSE(accepted);

    // A live receiver posted after both shows the queue was drained.
    QObject alive;
    bool marker = false;
    ui::postToUi(&alive, [&marker] { marker = true; });
    ASSERT_TRUE(pumpUntil([&] { return marker; }));
    EXPECT_EQ(runs, 0);
}

} // namespace
