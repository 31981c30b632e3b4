#include "dialogs/cycle_tour.h"

#include <limits>

#include "corlane/fstr.h"
#include "model/processor.h"
#include "model/sig_src.h"
#include "plan/cycle_plan.h"
#include "plan/plan.h"
#include "platform/rect_math.h"

namespace {
constexpr Size kWideWindow{960, 540};
constexpr Size kOtherWindow{800, 600};
constexpr int kCloseRightGap = 6;
constexpr int kButtonGap = 4;

// A button of the image's size, its right edge at `right`, centred on the
// title bar's height.
Rect TitleButton(const Rect& title, int64_t right, Size image)
{
    if (image.cx <= 0 || image.cy <= 0)
        return {};
    const int64_t top = title.top + (RectHeight(title) - image.cy) / 2;
    return MakeRect(right - image.cx, top, right, top + image.cy);
}
} // namespace

CycleTour::CycleTour(std::shared_ptr<CQelCyclePlan> cycle) : cycle_(std::move(cycle)) {}

bool CycleTour::Tick()
{
    if (remaining_ > std::numeric_limits<int32_t>::min())
        --remaining_;
    return remaining_ < 1;
}

CycleTour::Step CycleTour::Next()
{
    Step step;
    const auto cells = cycle_ ? cycle_->GetCells() : std::vector<CQelCyclePlan::CellPtr>{};
    if (next_ >= 0 && next_ < int32_t(cells.size())) {
        step.planName = cells[size_t(next_)]->planName;
        step.seconds = cells[size_t(next_)]->seconds;
    }
    remaining_ = step.seconds;
    ++next_;
    if (next_ >= int32_t(cells.size()))
        next_ = 0;
    return step;
}

Size RunWindowSize(const CQelPlan* plan)
{
    if (!plan)
        return kOtherWindow;
    const ResolutionTriple screen = plan->GetResolution();
    return screen.width % 16 == 0 && screen.height % 9 == 0 ? kWideWindow : kOtherWindow;
}

RunLayout LayOutRunWindow(const Rect& client, Size closeImage, Size minimiseImage)
{
    RunLayout layout;
    layout.content = client;
    layout.title = client;
    layout.title.bottom = ClampInt32(int64_t(client.top) + kRunTitleHeight);
    layout.close = TitleButton(layout.title, int64_t(layout.title.right) - kCloseRightGap, closeImage);
    // Beside the close button's place, also when its image is missing.
    const int64_t closeLeft =
        RectEmpty(layout.close) ? int64_t(layout.title.right) - kCloseRightGap : layout.close.left;
    layout.minimise = TitleButton(layout.title, closeLeft - kButtonGap, minimiseImage);
    return layout;
}

std::string RunTitleText(const std::string& planName, int32_t seconds)
{
    return qz::vok::fstr_format("%s (%d sec)", planName.c_str(), int(seconds));
}

std::vector<MiniatureWindow> LayOutMiniature(const CQelPlan& plan, const Rect& content, const CQelProcessor* processor)
{
    std::vector<MiniatureWindow> out;
    const Size pixels = plan.GetPixelSize();
    if (pixels.cx <= 0 || pixels.cy <= 0)
        return out;
    const double sx = double(RectWidth(content)) / pixels.cx;
    const double sy = double(RectHeight(content)) / pixels.cy;
    for (const auto& window : plan.GetWindows()) {
        MiniatureWindow mini;
        if (window->fullscreen) {
            mini.rect = content;
        } else {
            const Rect& r = window->rect;
            mini.rect = MakeRect(
                int64_t(content.left) + TruncInt32(r.left * sx), int64_t(content.top) + TruncInt32(r.top * sy),
                int64_t(content.left) + TruncInt32(r.right * sx), int64_t(content.top) + TruncInt32(r.bottom * sy));
        }
        const auto source = processor && window->sigsrc >= 0 ? processor->GetSigSrc(uint32_t(window->sigsrc)) : nullptr;
        if (source) {
            mini.label = window->name + "(" + source->GetName() + ")";
            mini.body = source->IsJoined() ? MiniatureWindow::Joined : MiniatureWindow::Idle;
        }
        out.push_back(std::move(mini));
    }
    return out;
}
