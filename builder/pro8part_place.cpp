// Placement of the 8-part windows on the input side: a source port, an
// input scaler when the window is scaled there, and an area of one of the
// board's frame buffers. Equal windows share what they can.
#include "builder/pro8part_sender.h"

#include "builder/source_signal.h"
#include "model/kinds.h"
#include "model/processor.h"
#include "model/processor_records.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "plan/plan.h"
#include "plan/window.h"

namespace _8PART_NS {

namespace {

constexpr int32_t kMaxPieceWidth = 1920;
constexpr int32_t kMaxPieceHeightSlots = 1080; // mode 1
constexpr int32_t kMaxPieceHeight = 2160;
constexpr int32_t kSlotMode = 1;

bool IsPlacedModel(int32_t kind)
{
    return kind == kModel8PartTwo || kind == kModel8PartFour || kind == kModel8PartNine;
}

// The source the window shows; a record without one falls back to the plan
// window's source id.
int32_t SourceIdOf(const tagWindowRecord& w)
{
    return w.source ? int32_t(w.source->GetId()) : w.window->sigsrc;
}

void TakeOverArea(tagFPGAWindow& r, const tagFPGAWindow& twin)
{
    r.gArea = twin.gArea;
    ++r.gArea->useCount;
    r.gShared = 1;
    MapCropTo4096(r.scale, r.crop, twin.crop);
}

} // namespace

void CPro8PartSender::AddFailure(const ::Rect& rect, int32_t code)
{
    auto failure = std::make_shared<tagFPGAWindowFailRect>();
    failure->rect = rect;
    failure->code = code;
    placements_.push_back(std::move(failure));
}

bool CPro8PartSender::IsHiddenByHigherWindow(const tagWindowRecord& w) const
{
    if (!w.window)
        return false;
    for (const auto& v : records_) {
        if (!v->window || uint32_t(v->window->layer) <= uint32_t(w.window->layer))
            continue;
        if (PtInRect(v->rect, w.rect.left, w.rect.top) &&
            PtInRect(v->rect, int64_t(w.rect.right) - 1, int64_t(w.rect.bottom) - 1))
            return true;
    }
    return false;
}

FpgaWindowPtr CPro8PartSender::PlaceWindow(int pass, const WindowRecordPtr& record)
{
    if (!record || !record->window)
        return {};
    const tagWindowRecord& w = *record;
    const WindowGeometry geometry = GeometryOf(w);
    const ::Rect shown = PieceSourceRectEven(geometry);

    if (w.fixedOutput == 0 && IsHiddenByHigherWindow(w)) {
        AddFailure(shown, 2);
        return {};
    }

    const int32_t sourceId = SourceIdOf(w);
    if (sourceId < 0) {
        // A watch list may name any id; a negative one is no source port.
        AddFailure(shown, 0);
        return {};
    }
    auto r = std::make_shared<tagFPGAWindow>();
    r->sourceWidth = geometry.sourceWidth;
    r->sourceHeight = geometry.sourceHeight;
    if (!HasSignalSize(r->sourceWidth, r->sourceHeight)) {
        r->sourceWidth = 1920;
        r->sourceHeight = 1080;
    }
    r->board = sourceId / 100;
    r->port = sourceId % 100;
    r->crop = RoundRectEven(geometry);

    auto& resources = C8PartResourceAllocer::Instance();
    auto& gsystems = C8PartGSysManager::Instance();
    const int32_t shownWidth = ClampToInt(RectWidth(shown));
    const int32_t shownHeight = ClampToInt(RectHeight(shown));

    bool needScale = w.window->scaled;
    int outScale = 0;
    const ::Rect source = SourceRect(geometry.crop, geometry.sourceWidth, geometry.sourceHeight);
    if (needScale && RectWidth(shown) == RectWidth(source) && RectHeight(shown) == RectHeight(source))
        needScale = false; // shown at its own size

    const int32_t maxHeight = mode_ == kSlotMode ? kMaxPieceHeightSlots : kMaxPieceHeight;
    bool placed = false;
    if (shownWidth > kMaxPieceWidth || shownHeight > maxHeight) {
        // Too large for one input scaler: the output boards scale it.
        needScale = false;
        outScale = pass == 0 ? 1 : 0;
    } else if (needScale) {
        if (const auto twin = fpgaWindows_.FindScaledTwin(r->board, r->port, r->crop, shownWidth, shownHeight)) {
            r->scaler = twin->scaler;
            ++r->scaler->useCount;
            r->scalerShared = 1;
            TakeOverArea(*r, *twin);
            placed = true;
        } else if (Reservation* scaler = resources.Reserve(r->board, C8PartResourceAllocer::kKindScaler)) {
            const int32_t part = mode_ == kSlotMode ? 2 : 0;
            if (GAllocation* area = gsystems.Allocate(r->board, part, shownWidth, shownHeight)) {
                r->scaler = scaler;
                r->gArea = area;
                placed = true;
            } else {
                // The window keeps no scaler, so it must not return one.
                resources.Unreserve(scaler);
                needScale = false;
                outScale = pass == 0 ? 1 : 0;
            }
        } else {
            needScale = false;
            outScale = pass == 0 ? 1 : 0;
        }
    }

    if (!placed) {
        if (const auto twin = fpgaWindows_.FindCoveringTwin(r->board, r->port, r->crop)) {
            TakeOverArea(*r, *twin);
        } else {
            const int32_t part = mode_ == kSlotMode ? 1 : 0;
            r->gArea =
                gsystems.Allocate(r->board, part, ClampToInt(RectWidth(r->crop)), ClampToInt(RectHeight(r->crop)));
            if (!r->gArea) {
                AddFailure(shown, 0);
                return {};
            }
            r->gShared = 0;
        }
    }

    if (RouteToOutputs(outScale, r, record) != 0) {
        AddFailure(shown, 0);
        return {};
    }
    if (pass == 1 && !needScale)
        AddFailure(shown, 1);
    return r;
}

void CPro8PartSender::Place4KWindow(const WindowRecordPtr& record)
{
    const tagWindowRecord& w = *record;
    const int64_t left = w.rect.left;
    const int64_t top = w.rect.top;
    const int64_t hw = (int64_t(w.rect.right) - left) / 2;
    const int64_t hh = (int64_t(w.rect.bottom) - top) / 2;
    // The right quarters start one pixel left of the middle.
    const ::Rect quarters[4] = {
        {ClampToInt(left), ClampToInt(top), ClampToInt(left + hw), ClampToInt(top + hh)},
        {ClampToInt(left + hw - 1), ClampToInt(top), ClampToInt(left + 2 * hw + 1), ClampToInt(top + hh)},
        {ClampToInt(left), ClampToInt(top + hh), ClampToInt(left + hw), ClampToInt(top + 2 * hh)},
        {ClampToInt(left + hw - 1), ClampToInt(top + hh), ClampToInt(left + 2 * hw + 1), ClampToInt(top + 2 * hh)},
    };
    const auto parts = plan_ ? plan_->Get4KParts() : CQelPlan::WindowList{};
    const int32_t sourceId = SourceIdOf(w);
    bool added = true;
    for (int32_t k = 1; k <= 4; ++k) {
        auto quarter = std::make_shared<tagWindowRecord>();
        quarter->planValue = w.planValue;
        quarter->outputs = w.outputs;
        quarter->fixedOutput = w.fixedOutput;
        quarter->fixedBoard = w.fixedBoard;
        quarter->fixedPort = w.fixedPort;
        quarter->rect = quarters[k - 1];
        for (const auto& part : parts)
            if (part && part->id == w.window->id && part->is4k == k) {
                quarter->window = part;
                break;
            }
        if (processor_ && sourceId >= 0)
            quarter->source = processor_->records().GetListBItem(uint32_t(sourceId) + uint32_t(k - 1));

        const size_t queued = retry_.size();
        FpgaWindowPtr placed;
        if (quarter->window && quarter->source)
            placed = PlaceWindow(0, quarter);
        else
            AddFailure(EvenEdges(quarter->rect), 0); // a window switched to a 4K source has no parts
        if (placed && added) {
            fpgaWindows_.push_back(placed);
            continue;
        }
        // A quarter that is not shown leaves no pieces to retry.
        added = false;
        retry_.resize(queued);
    }
}

int CPro8PartSender::PlaceAllWindows()
{
    retry_.clear();
    const ::Rect inflate = processor_ ? processor_->settings().GetInflateRect() : ::Rect{};
    for (const auto& record : records_) {
        if (!record->window || record->window->sigsrc == kLogoSigSrc)
            continue;
        record->inflate = inflate;
        if (record->source && record->source->GetType() == CQelSigSrc::kType4K)
            Place4KWindow(record);
        else if (auto placed = PlaceWindow(0, record))
            fpgaWindows_.push_back(std::move(placed));
        // Pieces deferred for want of an output scaler come before the next
        // window.
        while (!retry_.empty()) {
            const auto piece = retry_.front();
            retry_.pop_front();
            if (auto placed = PlaceWindow(1, piece))
                fpgaWindows_.push_back(std::move(placed));
        }
    }
    return 0;
}

int CPro8PartSender::PlaceWatchCells()
{
    const ::Rect inflate = processor_ ? processor_->settings().GetInflateRect() : ::Rect{};
    for (const auto& cell : watchCells_) {
        cell->inflate = inflate;
        if (auto placed = PlaceWindow(0, cell))
            fpgaWindows_.push_back(std::move(placed));
    }
    return 0;
}

int CPro8PartSender::CheckPlacement(CQelPlan* plan, std::vector<FailRectPtr>& out)
{
    plan_ = plan;
    CollectBoards();
    CollectWindows();
    AddMonitors();
    out.clear();
    if (processor_ && IsPlacedModel(processor_->GetKind())) {
        PlaceAllWindows();
        out.insert(out.end(), placements_.begin(), placements_.end());
        fpgaWindows_.clear();
    }
    return 0;
}

} // namespace _8PART_NS
