// Times Build of a busy 16x16 wall of 16 x 16 outputs (64 output boards of
// 4) fed by 32 sources on 8 input boards, with 16 to 256 windows, each over
// 2 x 2 cells, against the pacing time of the lines its Send queues; then
// the cost of one line of a Send's log. Build runs on the UI thread, so it
// must stay well inside one frame. Run it in an empty folder.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "context/context.h"
#include "builder/pro16x16_builder.h"
#include "model/board.h"
#include "model/processor.h"
#include "model/processor_link.h"
#include "model/processor_manager.h"
#include "model/processor_records.h"
#include "model/sig_out.h"
#include "model/sig_src.h"
#include "plan/plan.h"

namespace {

constexpr int kRuns = 21;
constexpr int kWall = 16;
constexpr double kPaceMs = 25; // the TCP pause of each paced line

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
        processor->records().AddBoard(std::make_shared<CQelBoard>(v));
    };
    for (uint32_t b = 1; b <= 8; ++b) {
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
    wall.rows = kWall;
    wall.cols = kWall;
    for (uint32_t i = 0; i < kWall * kWall; ++i) {
        const uint32_t board = 10 + i / 4;
        if (i % 4 == 0)
            addBoard(board, 21);
        CQelSigOut::Values v;
        v.id = board * 100 + i % 4;
        auto output = std::make_shared<CQelSigOut>(v);
        output->SetBoard(processor->GetBoard(board));
        processor->AddSigOut(output);
        wall.cells[{int32_t(i / kWall), int32_t(i % kWall)}] = int32_t(v.id);
    }
    processor->SetWall(wall);
    return processor;
}

std::shared_ptr<CQelPlan> MakePlan(int32_t windows)
{
    auto plan = std::make_shared<CQelPlan>();
    plan->SetGrid(kWall, kWall);
    plan->SetResolution({1920, 1080, 60});
    for (int32_t k = 0; k < windows; ++k) {
        const int32_t row = k / kWall % (kWall - 1);
        const int32_t col = k % kWall % (kWall - 1);
        // The shift keeps every window partly uncovered.
        const int32_t left = col * 1920 + 960 + k % 64;
        const int32_t top = row * 1080 + 540 + k % 64;
        auto w = std::make_shared<CQelWindow>();
        w->processor = 1;
        w->sigsrc = (k % 8 + 1) * 100 + k / 8 % 4;
        w->rect = {left, top, left + 1920, top + 1080};
        plan->AddWindow(w, CurrentPlanSelection());
    }
    return plan;
}

template <class F>
double MedianMs(int runs, F&& run)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

} // namespace

int main()
{
    auto processor = MakeProcessor();
    CQelContext::GetProMan()->AddProcessor(processor);
    CQelContext::SetSelSigSrc(1, -1);
    // Nothing goes out: Send's lines are only counted.
    processor->link().StopSender();
    std::atomic<int> lines{0};
    processor->link().SetPushObserver([&](std::string_view, int32_t) { ++lines; });

    double first = 0;
    for (int32_t windows : {16, 32, 64, 128, 256}) {
        auto plan = MakePlan(windows);
        const double ms = MedianMs(kRuns, [&] {
            CPro16x16Builder builder(plan.get());
            builder.Build();
        });
        lines = 0;
        CPro16x16Builder builder(plan.get());
        builder.Build();
        builder.Send();
        const double pacing = lines * kPaceMs;
        if (windows == 16)
            first = ms;
        std::printf("16x16 Build of %3d windows: median %7.3f ms; Send queues %5d lines, %.0f ms of pacing; "
                    "Build is %.4f %% of it; exponent from 16 windows %.2f\n",
                    windows, ms, lines.load(), pacing, 100 * ms / pacing,
                    windows == 16 ? 0.0 : std::log(ms / first) / std::log(windows / 16.0));
    }

    constexpr int kLines = 10000;
    auto plan = MakePlan(1);
    CPro16x16Builder builder(plan.get());
    const std::string line = "OUTPUT_FPGA AW 0 1 0 0 1920 1080 0 0 1920 1080\r\n";
    const double ms = MedianMs(5, [&] {
        for (int i = 0; i < kLines; ++i)
            builder.WriteLog(line);
    });
    std::printf("Send's log: median %.2f us a line over %d lines\n", 1000 * ms / kLines, kLines);
    processor->link().SetPushObserver(nullptr);
    processor.reset();
    CQelContext::Destroy();
    return 0;
}
