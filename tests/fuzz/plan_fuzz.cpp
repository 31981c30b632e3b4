// A plan's ".plan" and ".osd" files, given as one input: the ".plan" text,
// then, after kOsdMark, the ".osd" bytes (no ".osd" without the mark). What
// loads saves, and the saved files load to the same plan. The geometry the
// views and builders work out from a plan then runs on what loaded, with a
// selected processor of kind 8 (four outputs on a 2 x 2 wall).
#include <cstdio>
#include <string>
#include <string_view>

#include "context/context.h"
#include "model/osd_record.h"
#include "model/processor.h"
#include "model/processor_file.h"
#include "model/processor_manager.h"
#include "plan/plan.h"
#include "plan/plan_file.h"
#include "plan/plan_store.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/plan_input.h"
#include "tests/fuzz/sample_processor.h"

namespace {

const char kName[] = "方案";

std::string Text(const Rect& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + " ";
}

std::string Ints(const std::vector<int32_t>& values)
{
    std::string out = "[";
    for (const int32_t v : values)
        out += std::to_string(v) + ",";
    return out + "] ";
}

// What the plan holds, field by field, as a reader of the model sees it.
std::string Describe(const CQelPlan& plan)
{
    const ResolutionTriple res = plan.GetResolution();
    std::string out = std::to_string(plan.GetType()) + " " + std::to_string(plan.GetRows()) + "x" +
                      std::to_string(plan.GetCols()) + " " + std::to_string(plan.GetCellRows()) + "x" +
                      std::to_string(plan.GetCellCols()) + " " + std::to_string(res.width) + "," +
                      std::to_string(res.height) + "," + std::to_string(res.rate) + " " + Text(plan.GetMargin()) +
                      Ints(plan.GetRowHeights()) + Ints(plan.GetColumnWidths()) + Ints(plan.GetWatchOutputs()) + "\n";
    for (const auto& g : plan.GetGroups())
        out += "group " + std::to_string(g->id) + " " + g->name + "\n";
    for (const auto& w : plan.GetWindows()) {
        out += "window " + std::to_string(w->id) + " " + std::to_string(w->layer) + " " + w->name + " " +
               std::to_string(w->processor) + " " + std::to_string(w->sigsrc) + " " + Text(w->rect) +
               Text(w->rcsigsrc) + std::to_string(w->szsigsrcfull.cx) + "," + std::to_string(w->szsigsrcfull.cy) + " " +
               Text(w->rcsigsrcinner) + std::to_string(w->fullscreen) + std::to_string(w->active) + " " +
               std::to_string(w->status) + " " + std::to_string(w->group) + " " + std::to_string(w->is4k) + " ";
        const tagOSD_DATA_EX2& o = *w->osd;
        if (w->sigsrc == kLogoSigSrc) {
            out += std::to_string(o.background) + " " + std::to_string(o.captionColor) + " " +
                   std::to_string(o.transparent) + " " + std::to_string(o.shown) + " " +
                   Text(Rect{o.left, o.top, o.right, o.bottom});
            out.append(o.bitmap.begin(), o.bitmap.end());
        }
        out += "\n";
    }
    for (const auto& ww : plan.GetWatchWindows())
        out += "watch " + std::to_string(ww->processor) + " " + std::to_string(ww->sigout) + " " +
               std::to_string(ww->row) + "x" + std::to_string(ww->col) + " " + Ints(ww->cells) + "\n";
    for (const auto& [out_, in] : plan.GetSwitchMap())
        out += "switch " + std::to_string(out_) + " " + std::to_string(in) + "\n";
    return out;
}

// What the wall view and the builders ask of a plan; none of it may fail.
void UseGeometry(CQelPlan& plan)
{
    std::vector<int32_t> visible;
    plan.GetVisibleWindows(visible);
    const Rect wall = plan.GetPixelRect();
    for (const auto& w : plan.GetWindows()) {
        (void)plan.IntersectWindowRect(w, wall);
        (void)plan.GetWindowOutputs(w, SelectedWallPlacement());
        (void)plan.CheckWindowSource(w);
        plan.CheckWindowSourceCrop(w);
    }
    for (const auto& ww : plan.GetWatchWindows())
        for (int32_t row = 0; row < ww->row; ++row)
            for (int32_t col = 0; col < ww->col; ++col)
                (void)SplitCellRect(*ww, row, col, SelectedWallPlacement());
    for (int32_t output = 1100; output < 1104; ++output)
        (void)plan.GetOutputRect(output, SelectedWallPlacement());
    CQelPlan::DeriveMap windows;
    (void)CQelPlan::DerivePlan(plan, windows, SelectedWallPlacement());
    (void)plan.GetEightPartOverlay();
    (void)plan.GetEightPartOverlay2();
}

std::shared_ptr<CQelProcessor> g_processor;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterWorkFolder();
    const std::string path = CQelProcessor::ProFilePath();
    fuzz::PutFile(path, WriteProcessorFile(fuzz::SampleProcessor(8), 0));
    g_processor = std::make_shared<CQelProcessor>();
    g_processor->SetId(1);
    g_processor->LoadPro(path);
    CQelContext::GetProMan()->AddProcessor(g_processor);
    CQelContext::SetSelSigSrc(1, 100);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string planPath = plan_store::PlanFolderPath(std::string(kName) + ".plan");
    const std::string osdPath = plan_store::PlanFolderPath(std::string(kName) + ".osd");
    const fuzz::PlanInput input = fuzz::SplitPlanInput(fuzz::Bytes(data, size));
    fuzz::PutFile(planPath, input.plan);
    fuzz::PutFile(osdPath, input.osd);
    if (!input.hasOsd)
        std::remove(osdPath.c_str());

    CQelPlan first;
    first.SetName(kName);
    std::string reason;
    if (!LoadPlanFiles(kName, first, reason)) {
        fuzz::Require(fuzz::GetFile(planPath + ".bad") == input.plan, "a damaged plan is not kept");
        return 0;
    }
    const std::string plan = Describe(first);
    std::string error;
    fuzz::Require(SavePlanFiles(first, error), "a plan that loaded does not save: " + error);
    const std::string savedPlan = fuzz::GetFile(planPath);
    const std::string savedOsd = fuzz::GetFile(osdPath);
    fuzz::PutFile(planPath, savedPlan); // forgets the .bad of the input
    fuzz::PutFile(osdPath, savedOsd);

    CQelPlan second;
    second.SetName(kName);
    fuzz::Require(LoadPlanFiles(kName, second, reason), "the saved plan does not load: " + reason);
    fuzz::Require(!fuzz::KeptAsBad(osdPath), "the saved .osd is damaged");
    fuzz::RequireSame(plan, Describe(second), "the saved files load to another plan");
    fuzz::Require(SavePlanFiles(second, error), "the saved plan does not save again: " + error);
    fuzz::RequireSame(savedPlan, fuzz::GetFile(planPath), "the .plan changes from one save to the next");
    fuzz::RequireSame(savedOsd, fuzz::GetFile(osdPath), "the .osd changes from one save to the next");
    UseGeometry(second);
    return 0;
}
