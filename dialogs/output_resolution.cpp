#include "dialogs/output_resolution.h"

#include <algorithm>

#include "corlane/fstr.h"
#include "dialogs/field_check.h"
#include "dialogs/link_settings.h"
#include "dialogs/resolution_list.h"
#include "model/processor.h"
#include "model/processor_jobs.h"
#include "model/processor_records.h"

namespace {

constexpr int32_t kInterlacedAbove = 1000;

} // namespace

QString SplitterResolutionLabel(const Resolution& r)
{
    if (r.rate > kInterlacedAbove)
        return QStringLiteral("%1 x %2 i%3").arg(r.width).arg(r.height).arg(r.rate / 1000);
    return QStringLiteral("%1 x %2 p%3").arg(r.width).arg(r.height).arg(r.rate);
}

int FindResolutionIndex(const std::vector<CQelProcessor::ResolutionEntry>& list, const Resolution& resolution)
{
    const auto it = std::find_if(list.begin(), list.end(), [&](const auto& e) { return e.resolution == resolution; });
    return it == list.end() ? -1 : int(it - list.begin());
}

int FindResolutionIdIndex(const std::vector<CQelProcessor::ResolutionEntry>& list, uint32_t id)
{
    const auto it = std::find_if(list.begin(), list.end(), [&](const auto& e) { return e.id == id; });
    return it == list.end() ? -1 : int(it - list.begin());
}

std::optional<Size> ParseCustomResolution(const QString& width, const QString& height)
{
    const auto w = ParseIntField(width, 1, outres::kMaxCustomSize);
    const auto h = ParseIntField(height, 1, outres::kMaxCustomSize);
    if (!w || !h)
        return std::nullopt;
    return Size{int32_t(*w), int32_t(*h)};
}

CQelProcessor::ResolutionEntry CustomResolutionEntry(const Size& size)
{
    CQelProcessor::ResolutionEntry entry;
    entry.id = CQelProcessor::kCustomResolutionId;
    entry.friendName = qz::vok::fstr_format("%dx%d %dHz", size.cx, size.cy, outres::kCustomRate);
    entry.resolution = Resolution{size.cx, size.cy, outres::kCustomRate};
    return entry;
}

void StoreCustomResolution(CQelProcessor& processor, const Size& size)
{
    processor.records().RemoveCustomResolution();
    processor.records().AddResolution(CustomResolutionEntry(size));
}

void StoreOutputResolution(CQelProcessor& processor, const OutputResolutionChoice& choice)
{
    const bool connected = processor.IsConnected();
    bool changed = false;
    // Only a connected device takes the id; a custom entry may have new
    // sizes under the same id, so it always counts as a change.
    if (connected) {
        changed =
            choice.id == CQelProcessor::kCustomResolutionId || choice.id != processor.records().GetOutputResolutionId();
        processor.records().SetOutputResolutionId(choice.id);
        const Resolution r = processor.records().GetResolutionById(choice.id);
        processor.SetOutputResolution(r.width, r.height, r.rate);
    }
    if (processor.GetKind() == outres::kSplitterKind) {
        if (const auto first = processor.GetSigOut(outres::kFirstOutputId)) {
            first->SetResolution(choice.first);
            processor.SetOutputResolution(choice.first.width, choice.first.height, choice.first.rate);
        }
        if (const auto second = processor.GetSigOut(outres::kSecondOutputId)) {
            second->SetResolution(choice.second);
            const Resolution out = processor.GetOutputResolution();
            processor.SetOutputResolution(std::max(out.width, choice.second.width),
                                          std::max(out.height, choice.second.height), out.rate);
        }
    }
    processor.SavePro();
    if (!connected)
        return;
    processor.jobs().SetOutputTimingRequest(choice.id);
    if (changed)
        processor.ResetWallCellSizes();
    ReopenLink(processor);
}
