// The OSD mode of the 8-part sender: per output an enable line for the OSD
// window it holds, a close line for every other output.
#include "builder/pro8part_sender.h"

#include <chrono>

#include "builder/builder_rects.h"
#include "corlane/fstr.h"
#include "model/osd_record.h"
#include "model/processor.h"
#include "model/processor_jobs.h"
#include "model/processor_link.h"
#include "plan/plan.h"
#include "platform/clock.h"

namespace _8PART_NS {

namespace {

constexpr auto kDrainPoll = std::chrono::milliseconds(400);
constexpr int64_t kDrainLimitMs = 2000;

::Rect AreaOf(const PS_NS::tagMonitor& m)
{
    return {m.x, m.y, ClampToInt(int64_t(m.x) + m.width), ClampToInt(int64_t(m.y) + m.height)};
}

} // namespace

std::vector<std::string> CPro8PartSender::OsdEnableLines()
{
    std::vector<std::string> lines;
    for (const auto& monitor : gridMonitors_)
        monitor->used = 0;
    for (const auto& record : records_) {
        if (!record->window || record->window->sigsrc != kLogoSigSrc)
            continue;
        for (const auto& monitor : gridMonitors_) {
            if (monitor->used == 1)
                continue;
            ::Rect overlap;
            if (!IntersectRects(AreaOf(*monitor), record->rect, &overlap) ||
                !PtInRect(overlap, record->rect.left, record->rect.top))
                continue;
            // A window whose OSD is not switched off forms no line; it still
            // takes the output.
            if (record->window->osd->shown == 0)
                lines.push_back(qz::vok::fstr_format("O_F OSDWE %d %d 0\r\n", monitor->board, monitor->port));
            monitor->used = 1;
            break;
        }
    }
    return lines;
}

std::vector<std::string> CPro8PartSender::OsdCloseLines() const
{
    std::vector<std::string> lines;
    for (const auto& monitor : gridMonitors_)
        if (monitor->used != 1)
            lines.push_back(qz::vok::fstr_format("O_F COSDW %d %d\r\n", monitor->board, monitor->port));
    return lines;
}

int CPro8PartSender::SendOsdWindows(IProgress* extra)
{
    if (!processor_ || !plan_)
        return 1;
    CollectBoards();
    CollectWindows();
    AddMonitors();

    std::vector<std::string> lines = OsdEnableLines();
    for (auto& line : OsdCloseLines())
        lines.push_back(std::move(line));

    // The overlay lines must not overtake the layout still being sent.
    const auto start = platform::Now();
    for (;;) {
        platform::SleepFor(kDrainPoll);
        if (platform::MillisSince(start) > kDrainLimitMs)
            return 1;
        if (processor_->link().GetQueuedCommandCount() == 0)
            break;
    }
    // Through the dispatcher, so a running job (a reset, say) refuses it.
    return processor_->jobs().SendOsdBufferRequest(lines, 1, 0, extra) == 0 ? 0 : 1;
}

} // namespace _8PART_NS
