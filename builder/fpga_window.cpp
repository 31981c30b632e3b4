#include "builder/fpga_window.h"

#include <algorithm>
#include <set>
#include <utility>

#include "builder/pro8x8_sender.h"
#include "corlane/fstr.h"

namespace _8PART_NS {

tagOBIPInformation::~tagOBIPInformation()
{
    C8PartResourceAllocer::Instance().Unreserve(port);
}

tagOBScalerInformation::~tagOBScalerInformation()
{
    C8PartResourceAllocer::Instance().Unreserve(scaler);
}

tagFPGAWindow::~tagFPGAWindow()
{
    C8PartResourceAllocer::Instance().Unreserve(scaler);
    C8PartGSysManager::Instance().Release(gArea);
}

::Rect InputArea(const tagFPGAWindow& w)
{
    if (!w.gArea || !w.gArea->rect)
        return {};
    if (w.gShared != 1)
        return *w.gArea->rect;
    return MapScaledRectEven(w.scale, *w.gArea->rect);
}

namespace {

bool SameFeed(const tagOBIPInformation* a, const tagOBIPInformation* b)
{
    if (!a || !b || !a->port || !b->port)
        return false;
    return a->board == b->board && a->port->index == b->port->index && a->inputArea == b->inputArea;
}

} // namespace

FpgaWindowPtr CFwndContainer::FindScaledTwin(int32_t board, int32_t port, const ::Rect& crop, int32_t width,
                                             int32_t height) const
{
    for (const auto& w : *this) {
        if (!w->scaler || !w->gArea || !w->gArea->rect)
            continue;
        const ::Rect& area = *w->gArea->rect;
        if (w->crop == crop && RectWidth(area) == width && RectHeight(area) == height && w->board == board &&
            w->port == port)
            return w;
    }
    return {};
}

FpgaWindowPtr CFwndContainer::FindCoveringTwin(int32_t board, int32_t port, const ::Rect& crop) const
{
    for (const auto& w : *this) {
        // A borrowed area may be freed under a borrower of the borrower.
        if (w->scaler || w->gShared == 1 || !w->gArea || w->board != board || w->port != port)
            continue;
        if (PtInRect(w->crop, crop.left, crop.top) &&
            PtInRect(w->crop, int64_t(crop.right) - 1, int64_t(crop.bottom) - 1))
            return w;
    }
    return {};
}

OBScalerPtr CFwndContainer::FindEqualScalerUse(int32_t board, int32_t port, const ::Rect& crop, int32_t width,
                                               int32_t height, const tagOBScalerInformation& use,
                                               int32_t outputBoard) const
{
    if (!use.feed)
        return {};
    const ::Rect wanted = MapScaledRectEven(use.scale, use.feed->inputArea);
    for (const auto& w : *this) {
        if (w->scaler || w->crop != crop || w->board != board || w->port != port)
            continue;
        const ::Rect area = InputArea(*w);
        if (RectWidth(area) != width || RectHeight(area) != height)
            continue;
        for (const auto& s : w->outScalers) {
            if (!s->scaler || !SameFeed(s->feed.get(), use.feed.get()) || s->board != outputBoard)
                continue;
            if (MapScaledRectEven(s->scale, s->feed->inputArea) == wanted)
                return s;
        }
    }
    return {};
}

Reservation* CFwndContainer::FindPortTakeover(int32_t gBoard, int32_t gIndex, int32_t outputBoard) const
{
    for (const auto& w : *this) {
        if (!w->gArea || w->gArea->board != gBoard || w->gArea->index != gIndex)
            continue;
        const auto entry = w->obips.find(outputBoard);
        if (entry != w->obips.end() && entry->second && entry->second->port)
            return entry->second->port;
    }
    return nullptr;
}

void RenumberLayers(const PS_NS::CPro8x8Sender& sender, CFwndContainer& list)
{
    for (const auto& monitor : sender.Monitors()) {
        std::vector<tagFPGAWindowDestRect*> lines;
        for (const auto& w : list)
            for (const auto& line : w->outWindows)
                if (line->board == monitor->board && line->port == monitor->port)
                    lines.push_back(line.get());
        std::stable_sort(lines.begin(), lines.end(),
                         [](const auto* a, const auto* b) { return uint32_t(a->layer) < uint32_t(b->layer); });
        int32_t layer = 1;
        for (auto* line : lines)
            line->layer = layer++;
    }
}

void ClearOutputWindowLines(const PS_NS::CPro8x8Sender& sender, const char* text, const CFwndContainer& list,
                            std::vector<std::string>& lines)
{
    lines.clear();
    std::set<std::pair<int32_t, int32_t>> shown;
    for (const auto& w : list)
        for (const auto& line : w->outWindows)
            shown.emplace(line->board, line->port);
    const auto add = [&](const PS_NS::tagMonitor& m) {
        lines.push_back(qz::vok::fstr_format("%s %d %d\r\n", text, m.board, m.port));
    };
    for (const auto& monitor : sender.Monitors())
        if (!shown.count({monitor->board, monitor->port}))
            add(*monitor);
    for (const auto& idle : sender.IdleOutputs())
        add(*idle);
}

std::unique_ptr<IdRectRecord> MakeIdRectRecord(int32_t id, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    auto record = std::make_unique<IdRectRecord>();
    record->id = std::make_unique<int32_t>(id);
    record->rect = {left, top, right, bottom};
    return record;
}

void FreeIdRectRecord(std::unique_ptr<IdRectRecord>& record)
{
    if (record)
        record->id.reset();
    record.reset();
}

bool IdRectEqual(const IdRectRecord& a, const IdRectRecord& b)
{
    if (a.zero != b.zero || a.rect != b.rect)
        return false;
    if (!a.id || !b.id)
        return !a.id && !b.id;
    return *a.id == *b.id;
}

} // namespace _8PART_NS
