// Times full paints of the wall view, as dragging a window repaints it on
// every mouse move: the model-10 wall of 6 x 6 outputs with 72 windows in a
// 1600 x 900 view, both 8-part overlay queries included, painted into an
// offscreen image at canvas scales 1 and 5 (scrolled to the middle).
#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

#include "platform/ui/init_ui.h"
#include "tests/builder/model10_wall.h"
#include "tests/views/button_images.h"
#include "views/multi_screen_view.h"

namespace {

constexpr int kRuns = 50;

// The process's CPU time: on a busy machine the elapsed time also counts
// the time other processes held the cores.
double CpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return (values[kRuns / 2 - 1] + values[kRuns / 2]) / 2;
}

void TimePaints(CMultiScreenView& view, const char* what, int scale)
{
    QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    std::vector<double> elapsed;
    std::vector<double> cpu;
    for (int i = 0; i < kRuns; ++i) {
        QPainter p(&image);
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = CpuMs();
        view.OnDraw(p);
        p.end();
        cpu.push_back(CpuMs() - cpuStart);
        elapsed.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::printf("wall view paint, model 10, %d windows, %s, scale %d: median %.3f ms elapsed, %.3f ms CPU over %d "
                "paints\n",
                kModel10Windows, what, scale, Median(elapsed), Median(cpu), kRuns);
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::initUi();
    // The view loads its title-bar images from the system folder under the
    // working folder, as the program does; where none are there the
    // benchmark supplies them, so the paint includes the buttons.
    if (!WriteButtonImages(true)) {
        std::fprintf(stderr, "cannot write the title-bar images under %s\n", qz::vok::path::GetSysPath().c_str());
        return 1;
    }
    {
        auto processor = std::make_shared<CQelProcessor>();
        BuildModel10(*processor);
        for (const auto& source : processor->GetSigSrcs())
            source->SetName("DVI " + std::to_string(source->GetId()));
        SelectTestProcessor(processor);
        std::shared_ptr<CQelPlan> plan = MakeTestPlan(kModel10Side, kModel10Side);
        AddModel10Windows(*plan);

        // The share of a paint the two overlay queries take.
        std::vector<double> queries;
        size_t records = 0;
        for (int i = 0; i < kRuns; ++i) {
            const double start = CpuMs();
            records = plan->GetEightPartOverlay().size() + plan->GetEightPartOverlay2().size();
            queries.push_back(CpuMs() - start);
        }
        std::printf("the two overlay queries alone: median %.3f ms CPU (%zu records)\n", Median(queries), records);

        for (const bool translucent : {false, true}) {
            CMultiScreenView view;
            view.resize(1600, 900);
            view.show();
            view.m_bTransparent = translucent;
            view.SetPlan(plan);
            for (const int scale : {1, 5}) {
                view.SetCanvasScale(scale);
                view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum() / 2);
                view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum() / 2);
                TimePaints(view, translucent ? "translucent" : "opaque", scale);
            }
        }
    }
    {
        SenderContextGuard guard;
    }
    return 0;
}
