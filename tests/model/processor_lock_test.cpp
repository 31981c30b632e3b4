#include "model/processor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "model/board.h"
#include "model/input_osd.h"
#include "model/processor_records.h"
#include "model/sig_src.h"
#include "model_test_support.h"

// One thread changes the model as the link thread does while another reads
// it as the UI does; the sanitizers and the values read show it is safe.
TEST(ProcessorLock, ReadersSeeWholeValuesWhileTheModelChanges)
{
    constexpr int kRounds = 100000;
    auto p = std::make_shared<CQelProcessor>();
    p->SetId(1);
    p->SetKind(8);
    p->GetInputOsd().Load();
    auto board = std::make_shared<CQelBoard>(1);
    board->SetType(1);
    p->records().AddBoard(board);
    CQelProcessor::Wall first;
    first.rowHeights = {1080};
    p->SetWall(first);

    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < kRounds; ++i) {
            const uint32_t id = 100 + static_cast<uint32_t>(i % 4);
            auto source = std::make_shared<CQelSigSrc>(id);
            source->SetBoard(board);
            source->AddChild(1, 3, "DVI", {1920, 1080, 60}, 2);
            p->AddSigSrc(source, true, false);
            source->SetResolution(640 + i % 7, 480, 60);
            source->SelectChild(1);
            auto output = std::make_shared<CQelSigOut>(10000 + static_cast<uint32_t>(i % 3));
            output->SetBoard(board);
            p->AddSigOut(output);
            p->SetOutputResolution(1920 + i % 2, 1080, 60);
            CQelProcessor::Wall wall;
            wall.rows = wall.cols = 1 + i % 3;
            wall.rowHeights.assign(static_cast<size_t>(wall.rows), 1080);
            p->SetWall(wall);
            p->GetInputOsd().SetItemPairE(0, 0, i, i);
            if (i % 5 == 0)
                p->records().RemoveBoardItems(1);
            p->RemoveSigSrc(100 + static_cast<uint32_t>((i + 2) % 4));
            p->records().RemoveSigOut(10000 + static_cast<uint32_t>((i + 1) % 3));
            if (i % 1000 == 0)
                DrainEvents();
        }
        done = true;
    });

    size_t reads = 0;
    while (!done) {
        for (const auto& source : p->GetSigSrcs()) {
            const auto values = source->GetValues();
            EXPECT_TRUE(values.resolution.height == 480 || values.resolution.height == 1080);
            EXPECT_EQ(values.ownerId, 1u);
            for (const auto& child : source->GetChildren())
                EXPECT_EQ(child->GetResolution().width, 1920);
            (void)source->GetBoard();
        }
        for (const auto& output : p->GetSigOuts())
            EXPECT_LT(output->GetValues().id, 10003u);
        const auto wall = p->GetWall();
        EXPECT_EQ(wall.rowHeights.size(), static_cast<size_t>(wall.rows));
        (void)p->GetWallPixelSize();
        uint32_t b = 0, port = 0;
        (void)p->HitTestWallOutput(10, 10, b, port);
        (void)p->GetInputOsd().FindItem(0, 0);
        ++reads;
    }
    writer.join();
    DrainEvents();
    EXPECT_GT(reads, 0u);
}
