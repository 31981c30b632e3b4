// Times Build of a busy 16x16 wall: 64 windows, each over 2 x 2 cells of an
// 8 x 8 wall, fed by 16 sources on 4 input boards and shown on 16 output
// boards of 4 outputs. Build runs on the UI thread, so it must stay well
// inside one frame.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "app/context.h"
#include "builder/pro16x16_builder.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "plan/plan.h"

namespace {

constexpr int kRuns = 20;

std::shared_ptr<CQelProcessor> MakeProcessor()
{
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetId(1);
    processor->SetKind(3);
    processor->SetOutputResolution(1920, 1080, 60);
    auto addBoard = [&](uint32_t id, int32_t type) {
        CQelBoard::Values v;
        v.id = id;
        v.type = type;
        v.scaler = 4;
        processor->AddBoard(std::make_shared<CQelBoard>(v));
    };
    for (uint32_t b = 1; b <= 4; ++b) {
        addBoard(b, 1);
        for (uint32_t p = 0; p < 4; ++p) {
            CQelSigSrc::Values v;
            v.id = b * 100 + p;
            v.type = 1;
            v.resolution = {1280, 720, 60};
            auto source = std::make_shared<CQelSigSrc>(v);
            source->SetBoard(processor->GetBoard(b));
            processor->AddSigSrc(source, false, false);
        }
    }
    auto wall = processor->GetWall();
    wall.rows = 8;
    wall.cols = 8;
    for (uint32_t i = 0; i < 64; ++i) {
        const uint32_t board = 10 + i / 4;
        if (i % 4 == 0)
            addBoard(board, 21);
        CQelSigOut::Values v;
        v.id = board * 100 + i % 4;
        auto output = std::make_shared<CQelSigOut>(v);
        output->SetBoard(processor->GetBoard(board));
        processor->AddSigOut(output);
        wall.cells[{int32_t(i / 8), int32_t(i % 8)}] = int32_t(v.id);
    }
    processor->SetWall(wall);
    return processor;
}

std::shared_ptr<CQelPlan> MakePlan()
{
    auto plan = std::make_shared<CQelPlan>();
    plan->SetGrid(8, 8);
    plan->SetResolution({1920, 1080, 60});
    for (int32_t k = 0; k < 64; ++k) {
        const int32_t row = k / 8 % 7;
        const int32_t col = k % 8 % 7;
        // The shift keeps every window partly uncovered.
        const int32_t left = col * 1920 + 960 + k;
        const int32_t top = row * 1080 + 540 + k;
        auto w = std::make_shared<CQelWindow>();
        w->processor = 1;
        w->sigsrc = (k % 4 + 1) * 100 + k / 4 % 4;
        w->rect = {left, top, left + 1920, top + 1080};
        plan->AddWindow(w);
    }
    return plan;
}

} // namespace

int main()
{
    auto processor = MakeProcessor();
    CQelContext::GetProMan()->AddProcessor(processor);
    CQelContext::SetSelSigSrc(1, -1);
    auto plan = MakePlan();

    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        CPro16x16Builder builder(plan.get());
        builder.Build();
        const auto end = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(ms.begin(), ms.end());
    const double median = (ms[kRuns / 2 - 1] + ms[kRuns / 2]) / 2;

    // Count what Send would queue, with the sender stopped so nothing goes out.
    processor->StopSender();
    std::atomic<int> lines{0};
    processor->SetPushObserver([&](std::string_view, int32_t) { ++lines; });
    CPro16x16Builder builder(plan.get());
    builder.Build();
    builder.Send();
    processor->SetPushObserver(nullptr);

    std::printf("16x16 Build of 64 windows on an 8 x 8 wall: median %.3f ms over %d runs; Send queues %d lines\n",
                median, kRuns, lines.load());
    processor.reset();
    CQelContext::Destroy();
    return 0;
}
