#include "model/kinds.h"
#include "plan/plan.h"

#include <algorithm>

#include "plan/plan_context.h"
#include "plan/rect_cover.h"

namespace {

// Crop-to-window ratios are kept in units of 1/10000.
constexpr int64_t kRatioUnit = 10000;

// The part of `crop` that shows the piece `piece` of the window `wr`.
Rect CropOfPiece(const Rect& crop, const Rect& wr, const Rect& piece)
{
    const int64_t ratioX = RectWidth(crop) * kRatioUnit / RectWidth(wr);
    const int64_t ratioY = RectHeight(crop) * kRatioUnit / RectHeight(wr);
    return MakeRect(crop.left + (int64_t(piece.left) - wr.left) * ratioX / kRatioUnit,
                    crop.top + (int64_t(piece.top) - wr.top) * ratioY / kRatioUnit,
                    crop.left + (int64_t(piece.right) - wr.left) * ratioX / kRatioUnit,
                    crop.top + (int64_t(piece.bottom) - wr.top) * ratioY / kRatioUnit);
}

} // namespace

std::shared_ptr<CQelPlan> CQelPlan::DerivePlan(const CQelPlan& source, DeriveMap& windowMap,
                                               const std::shared_ptr<const WallPlacement>& placement)
{
    windowMap.clear();
    if (source.type_ != kPlanSizedGrid || source.rows_ > kMaxPlanGridSide || source.cols_ > kMaxPlanGridSide)
        return nullptr;
    if (!placement)
        return nullptr;

    auto plan = std::make_shared<CQelPlan>();
    plan->id_ = source.id_;
    plan->name_ = source.name_;
    plan->rows_ = source.rows_;
    plan->cols_ = source.cols_;
    plan->cellrow_ = source.cellrow_;
    plan->cellcol_ = source.cellcol_;
    plan->margin_ = source.margin_;
    plan->resolution_ = placement->output;
    plan->dirty_ = false;
    plan->type_ = IsEightPartModel(placement->kind) ? kPlanSizedGrid : kPlanUniform;
    plan->rowHeights_.assign(size_t(std::max(source.rows_, 0)), placement->output.height);
    plan->columnWidths_.assign(size_t(std::max(source.cols_, 0)), placement->output.width);

    for (const auto& w : source.windows_) {
        const std::vector<int32_t> outputs = source.GetWindowOutputs(w, placement);
        if (outputs.empty())
            continue;
        std::vector<int32_t> ids;
        if (outputs.size() == 1) {
            auto copy = std::make_shared<CQelWindow>();
            WindowRecordCopy(*copy, *w);
            copy->id = ++plan->windowIdCounter_;
            ids.push_back(copy->id);
            plan->windows_.push_back(std::move(copy));
        } else {
            const Rect wr = source.GetWindowRect(w);
            // An empty crop stands for the whole source.
            Rect crop = w->rcsigsrc;
            if (RectEmpty(crop)) {
                if (auto res = SigSrcResolution(w->processor, w->sigsrc))
                    crop = Rect{0, 0, res->width, res->height};
            }
            for (int32_t output : outputs) {
                const Rect srcScreen = source.GetOutputRect(output, placement);
                const Rect piece = IntersectRect(wr, srcScreen);
                const Rect dstScreen = plan->GetOutputRect(output, placement);
                if (RectEmpty(piece) || RectEmpty(dstScreen))
                    continue;
                // The piece keeps its place within its screen; a smaller
                // screen in the new plan cuts it.
                const int64_t dx = int64_t(dstScreen.left) - srcScreen.left;
                const int64_t dy = int64_t(dstScreen.top) - srcScreen.top;
                const Rect rect = IntersectRect(
                    MakeRect(piece.left + dx, piece.top + dy, piece.right + dx, piece.bottom + dy), dstScreen);
                if (RectEmpty(rect))
                    continue;
                auto nw = std::make_shared<CQelWindow>();
                nw->id = ++plan->windowIdCounter_;
                nw->processor = w->processor;
                nw->sigsrc = w->sigsrc;
                nw->layer = w->layer;
                nw->group = w->group;
                nw->rect = rect;
                if (!RectEmpty(crop))
                    nw->rcsigsrc = CropOfPiece(crop, wr, piece);
                nw->szsigsrcfull = Size{ClampInt32(RectWidth(wr)), ClampInt32(RectHeight(wr))};
                nw->rcsigsrcinner = MakeRect(int64_t(piece.left) - wr.left, int64_t(piece.top) - wr.top,
                                             int64_t(piece.right) - wr.left, int64_t(piece.bottom) - wr.top);
                ids.push_back(nw->id);
                plan->windows_.push_back(std::move(nw));
            }
        }
        if (!ids.empty())
            windowMap[w->id] = std::move(ids);
    }

    // The windows keep their group ids, so the groups come along.
    for (const auto& g : source.groups_)
        plan->groups_.push_back(std::make_shared<CQelGroup>(*g));
    plan->RemoveEmptyGroups();
    plan->RenumberLayers();
    return plan;
}
