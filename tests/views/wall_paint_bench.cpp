// Times paints of the wall view in a 1600 x 900 view, both 8-part overlay
// queries included: the model-10 wall of 6 x 6 outputs with 72 windows,
// painted whole into an offscreen image at canvas scales 1 and 5 (scrolled
// to the middle), a 16 x 16 wall of 256 windows, and a drag: one window
// moved by 1 pixel per mouse move, each move with the repaint the view
// asks for.
#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

#include "model/processor.h"
#include "model/sig_src.h"
#include "platform/rect_math.h"
#include "platform/ui/init_ui.h"
#include "tests/builder/model10_wall.h"
#include "tests/builder/sender_test_support.h"
#include "tests/views/button_images.h"
#include "views/multi_screen_view.h"

namespace {

constexpr int kRuns = 50;
constexpr int kLargeSide = 16;
constexpr int kLargeWindows = 256;

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

// Runs `step` kRuns times and prints the medians of its elapsed and CPU
// times.
template <class Step>
void Time(const char* what, Step step)
{
    std::vector<double> elapsed;
    std::vector<double> cpu;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = CpuMs();
        step(i);
        cpu.push_back(CpuMs() - cpuStart);
        elapsed.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::printf("%s: median %.3f ms elapsed, %.3f ms CPU over %d runs\n", what, Median(elapsed), Median(cpu), kRuns);
}

void TimePaints(CMultiScreenView& view, const char* what)
{
    QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    Time(what, [&](int) {
        QPainter p(&image);
        view.OnDraw(p);
    });
}

// Takes the plan's top window by its title bar and moves it 1 pixel right
// and back, each move repainted as the view asks; false when the press did
// not start a move.
bool TimeDrag(CMultiScreenView& view, const char* what)
{
    const auto window = view.GetPlan()->GetWindowAt(view.GetPlan()->GetWindowCount() - 1);
    const Rect title = view.geometry().GetWindowViewRect(window);
    const Point grip =
        view.geometry().CanvasToDevicePoint(Point{int32_t(title.left + RectWidth(title) / 2), title.top + 5});
    // Ending the move must not send the plan.
    view.m_bAutoExecute = false;
    view.editing().OnLButtonDown(grip, false);
    if (view.editing().m_nDragMode != 2)
        return false;
    QApplication::processEvents();
    Time(what, [&](int i) {
        view.editing().OnMouseMove(Point{grip.x + (i % 2 == 0 ? 1 : 0), grip.y});
        QApplication::processEvents();
    });
    view.editing().OnLButtonUp(grip);
    QApplication::processEvents();
    return true;
}

// A view of `plan` with both scroll bars in the middle.
void ShowPlan(CMultiScreenView& view, const std::shared_ptr<CQelPlan>& plan, bool translucent, int scale)
{
    view.resize(1600, 900);
    view.show();
    view.m_bTransparent = translucent;
    view.SetPlan(plan);
    view.SetCanvasScale(scale);
    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum() / 2);
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum() / 2);
    QApplication::processEvents();
}

std::shared_ptr<CQelPlan> MakeWall(int side, int windows)
{
    auto processor = std::make_shared<CQelProcessor>();
    BuildModel10(*processor, side);
    for (const auto& source : processor->GetSigSrcs())
        source->SetName("DVI " + std::to_string(source->GetId()));
    SelectTestProcessor(processor);
    std::shared_ptr<CQelPlan> plan = MakeTestPlan(side, side);
    AddModel10Windows(*plan, windows, side);
    return plan;
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
    bool dragged = true;
    {
        SenderContextGuard guard;
        const std::shared_ptr<CQelPlan> plan = MakeWall(kModel10Side, kModel10Windows);
        // The share of a paint the two overlay queries take.
        size_t records = 0;
        Time("the two overlay queries alone, 72 windows",
             [&](int) { records = plan->GetEightPartOverlay().size() + plan->GetEightPartOverlay2().size(); });
        std::printf("(%zu overlay records)\n", records);

        char what[128];
        for (const bool translucent : {false, true}) {
            for (const int scale : {1, 5}) {
                CMultiScreenView view;
                ShowPlan(view, plan, translucent, scale);
                std::snprintf(what, sizeof what, "wall view paint, model 10, %d windows, %s, scale %d", kModel10Windows,
                              translucent ? "translucent" : "opaque", scale);
                TimePaints(view, what);
            }
        }
        CMultiScreenView view;
        ShowPlan(view, plan, true, 1);
        dragged = TimeDrag(view, "drag by 1 pixel, model 10, 72 windows, translucent, scale 1") && dragged;
    }
    {
        SenderContextGuard guard;
        const std::shared_ptr<CQelPlan> plan = MakeWall(kLargeSide, kLargeWindows);
        Time("the two overlay queries alone, 256 windows",
             [&](int) { (void)(plan->GetEightPartOverlay().size() + plan->GetEightPartOverlay2().size()); });
        for (const bool translucent : {false, true}) {
            CMultiScreenView view;
            ShowPlan(view, plan, translucent, 1);
            TimePaints(view, translucent ? "wall view paint, 16 x 16, 256 windows, translucent, scale 1"
                                         : "wall view paint, 16 x 16, 256 windows, opaque, scale 1");
        }
        CMultiScreenView view;
        ShowPlan(view, plan, true, 1);
        dragged = TimeDrag(view, "drag by 1 pixel, 16 x 16, 256 windows, translucent, scale 1") && dragged;
    }
    if (!dragged)
        std::fprintf(stderr, "a press on the top window's title bar did not start a move\n");
    return dragged ? 0 : 1;
}
