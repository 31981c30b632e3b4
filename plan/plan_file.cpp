#include "plan/plan_file.h"

#include "core/text_helpers.h"
#include "core/xml_attributes.h"
#include "core/xml_file.h"
#include <algorithm>
#include <cstdio>
#include <limits>
#include <optional>
#include <stdexcept>
#include <unistd.h>

#include <boost/property_tree/ptree.hpp>

#include "corlane/app_path.h"
#include "corlane/file_store.h"
#include "model/osd_record.h"
#include "plan/plan_store.h"

namespace pt = boost::property_tree;
namespace store = qz::vok::file_store;

namespace {

constexpr char kVersion[] = "V1";
constexpr char kPlanExt[] = ".plan";
constexpr char kOsdExt[] = ".osd";
constexpr char kOsdBackup[] = "/.plantmp.osd-old";
// The UI splits a watch output into at most 2 x 4 cells; a file claiming
// far more is damaged and must not drive an allocation.
constexpr int32_t kMaxWatchSide = 4;

using xml::FileError;
using xml::Required;

// One element's attributes: what is missing, or a number out of range,
// takes the default the caller gives; text that is no number is damage.
class Element : public xml::AttributeReader {
public:
    Element(const pt::ptree& node, const std::string& name) : AttributeReader(node), name_(name) {}

    int32_t Int(const char* attr, int32_t fallback) const
    {
        const auto value = Number(attr);
        if (!value || *value < std::numeric_limits<int32_t>::min() || *value > std::numeric_limits<int32_t>::max())
            return fallback;
        return int32_t(*value);
    }

    // Ids written unsigned: "4294967295" is -1.
    std::optional<int32_t> Id(const char* attr) const
    {
        const auto value = Number(attr);
        if (!value || *value < std::numeric_limits<int32_t>::min() || *value > std::numeric_limits<uint32_t>::max())
            return std::nullopt;
        return int32_t(uint32_t(*value));
    }

    bool Flag(const char* attr) const
    {
        const std::string text = Text(attr, "");
        return text == "true" || text == "1";
    }

private:
    std::optional<int64_t> Number(const char* attr) const
    {
        const auto text = Text(attr);
        if (!text)
            return std::nullopt;
        const auto value = ParseAttributeInteger(*text);
        if (!value)
            throw FileError("the attribute \"" + std::string(attr) + "\" of <" + name_ + "> is not a number: \"" +
                            *text + "\"");
        return value;
    }

    std::string name_;
};

// What keeps a plan from being read back from its file; empty when nothing.
std::string PlanProblem(const CQelPlan& plan)
{
    const ResolutionTriple res = plan.GetResolution();
    if (plan.GetName().empty())
        return "the plan has no name";
    if (plan.GetRows() < 1 || plan.GetCols() < 1 || plan.GetRows() > kMaxPlanGridSide ||
        plan.GetCols() > kMaxPlanGridSide)
        return "the screen grid is empty or too large";
    if (res.width <= 0 || res.height <= 0 || res.rate <= 0)
        return "the screen resolution is empty";
    return {};
}

using Writer = xml::AttributeWriter;

void WriteWindow(pt::ptree& windows, const CQelWindow& w, PlanOsdFile& osd, int32_t& osdIndex)
{
    pt::ptree node;
    Writer(node)
        .Add("name", w.name)
        .Add("processor", w.processor)
        .Add("sigsrc", w.sigsrc)
        .Add("rect", RectToText(w.rect))
        .Add("rcsigsrc", RectToText(w.rcsigsrc))
        .Add("szsigsrcfull", PointToText(w.szsigsrcfull))
        .Add("rcsigsrcinner", RectToText(w.rcsigsrcinner))
        .Word("fullscreen", w.fullscreen)
        .Word("active", w.active)
        .Add("status", w.status)
        .Add("group", w.group)
        .Add("is4k", w.is4k);
    if (w.sigsrc == kLogoSigSrc) {
        Writer(node).Add("osdindex", osdIndex);
        const PlanOsdFile::Words words{w.osd.background, w.osd.captionColor, w.osd.transparent, w.osd.shown};
        osd.AppendRecord(osdIndex, Rect{w.osd.left, w.osd.top, w.osd.right, w.osd.bottom}, words, w.osd.bitmap);
        ++osdIndex;
    }
    windows.add_child("Window", node);
}

std::shared_ptr<CQelWindow> ReadWindow(const Element& e, const CQelPlan& plan, const PlanOsdTable& osd)
{
    auto w = std::make_shared<CQelWindow>();
    w->name = e.Text("name", "");
    w->processor = e.Int("processor", 0);
    w->sigsrc = e.Int("sigsrc", 0);
    w->rect = TextToRect(e.Text("rect", ""));
    w->rcsigsrc = TextToRect(e.Text("rcsigsrc", ""));
    w->szsigsrcfull = TextToSize(e.Text("szsigsrcfull", ""));
    w->rcsigsrcinner = TextToRect(e.Text("rcsigsrcinner", ""));
    w->fullscreen = e.Flag("fullscreen");
    w->active = e.Flag("active");
    w->status = e.Int("status", 0);
    w->group = e.Int("group", 0);
    if (w->group != 0 && !plan.GetGroupById(w->group))
        w->group = 0;
    w->is4k = e.Int("is4k", 0);
    if (w->sigsrc == kLogoSigSrc) {
        const auto it = osd.find(e.Int("osdindex", 0));
        if (it != osd.end()) {
            const PlanOsdEntry& entry = it->second;
            if (OsdRecordSetBitmap(w->osd, entry.bitmap, entry.rect.left, entry.rect.top, entry.rect.right,
                                   entry.rect.bottom)) {
                w->osd.background = entry.words.a;
                w->osd.captionColor = entry.words.b;
                w->osd.transparent = entry.words.c;
                w->osd.shown = entry.words.d;
            }
        }
    }
    return w;
}

std::shared_ptr<CQelWatchWindow> ReadWatchWindow(const Element& e)
{
    const int32_t row = e.Int("row", 1);
    const int32_t col = e.Int("col", 1);
    if (row > kMaxWatchSide || col > kMaxWatchSide)
        return nullptr;
    auto ww = std::make_shared<CQelWatchWindow>();
    ww->processor = e.Int("processor", 0);
    ww->sigout = e.Int("sigout", 0);
    ww->row = row;
    ww->col = col;
    ww->cells = TextToIntList(e.Text("sigsrc", ""));
    if (row < 1 || col < 1 || int64_t(ww->cells.size()) != int64_t(row) * col)
        CellGrid::Reset(*ww, row, col);
    return ww;
}

void Parse(const pt::ptree& tree, const PlanOsdTable& osd, CQelPlan& plan)
{
    const pt::ptree& root = Required(tree, "Plan");
    const Element planAttrs(root, "Plan");
    if (planAttrs.Text("version", "") != kVersion)
        throw FileError("the version is not " + std::string(kVersion));
    plan.SetType(planAttrs.Int("type", 0));

    const Element screen(Required(root, "Screen"), "Screen");
    plan.SetGrid(screen.Int("row", 0), screen.Int("col", 0));
    plan.SetCellSplit(screen.Int("cellrow", 0), screen.Int("cellcol", 0));
    plan.SetResolution(TextToTriple(screen.Text("resolution", "")));
    plan.SetMargin(TextToRect(screen.Text("margin", "")));
    plan.SetRowHeights({});
    plan.SetColumnWidths({});
    if (plan.GetType() == kPlanSizedGrid) {
        plan.SetRowHeights(TextToIntList(screen.Text("rh", "")));
        plan.SetColumnWidths(TextToIntList(screen.Text("cw", "")));
        std::vector<int32_t> watch = plan.GetWatchOutputs();
        for (int32_t id : TextToIntList(screen.Text("watch", "")))
            watch.push_back(id);
        plan.SetWatchOutputs(watch);
    }

    for (const auto& [key, child] : Required(root, "Groups")) {
        if (key != "Group")
            continue;
        const Element e(child, key);
        auto group = std::make_shared<CQelGroup>();
        group->id = e.Int("id", 0);
        group->name = e.Text("name", "");
        plan.AddGroup(group);
    }

    const PlanSelection selection = CurrentPlanSelection();
    for (const auto& [key, child] : Required(root, "Windows")) {
        const Element e(child, key);
        if (key == "Window") {
            auto window = ReadWindow(e, plan, osd);
            const std::string stored = window->name;
            plan.AddWindow(window, selection);
            // Names the operator gave survive; only an empty one takes the
            // name AddWindow makes from the layer.
            if (!stored.empty())
                window->name = stored;
        } else if (key == "WatchWindow") {
            if (auto ww = ReadWatchWindow(e))
                plan.AddWatchWindow(ww);
        }
    }

    for (const auto& [key, child] : Required(root, "Switch")) {
        if (key != "OutIn")
            continue;
        const Element e(child, key);
        const auto out = e.Id("out");
        const auto in = e.Id("in");
        if (out && in)
            plan.SetSwitch(*out, *in);
    }

    if (const std::string problem = PlanProblem(plan); !problem.empty())
        throw FileError(problem);
}

} // namespace

std::string BuildPlanFileText(const CQelPlan& plan, PlanOsdFile& osd)
{
    pt::ptree root;
    Writer(root).Add("version", kVersion).Add("type", plan.GetType());

    pt::ptree screen;
    Writer s(screen);
    s.Add("col", plan.GetCols())
        .Add("row", plan.GetRows())
        .Add("cellcol", plan.GetCellCols())
        .Add("cellrow", plan.GetCellRows())
        .Add("resolution", TripleToText(plan.GetResolution()))
        .Add("margin", RectToText(plan.GetMargin()));
    if (plan.GetType() == kPlanSizedGrid)
        s.Add("rh", IntListToText(plan.GetRowHeights()))
            .Add("cw", IntListToText(plan.GetColumnWidths()))
            .Add("watch", IntListToText(plan.GetWatchOutputs()));
    root.add_child("Screen", screen);

    pt::ptree groups;
    for (const auto& g : plan.GetGroups()) {
        if (!g)
            continue;
        pt::ptree node;
        Writer(node).Add("id", g->id).Add("name", g->name);
        groups.add_child("Group", node);
    }
    root.add_child("Groups", groups);

    pt::ptree windows;
    int32_t osdIndex = 0;
    for (const auto& w : plan.GetWindows()) {
        if (w)
            WriteWindow(windows, *w, osd, osdIndex);
    }
    for (const auto& ww : plan.GetWatchWindows()) {
        if (!ww)
            continue;
        pt::ptree node;
        Writer(node)
            .Add("processor", ww->processor)
            .Add("sigout", ww->sigout)
            .Add("row", ww->row)
            .Add("col", ww->col)
            .Add("sigsrc", IntListToText(ww->cells));
        windows.add_child("WatchWindow", node);
    }
    root.add_child("Windows", windows);

    pt::ptree switches;
    for (const auto& [out, in] : plan.GetSwitchMap()) {
        pt::ptree node;
        Writer(node).Add("out", out).Add("in", in);
        switches.add_child("OutIn", node);
    }
    root.add_child("Switch", switches);

    pt::ptree tree;
    tree.add_child("Plan", root);
    return xml::WriteTree(tree);
}

bool ParsePlanFileText(const std::string& text, const PlanOsdTable& osd, CQelPlan& plan, std::string& reason)
{
    try {
        pt::ptree tree;
        xml::ReadTree(text, tree);
        Parse(tree, osd, plan);
        return true;
    } catch (const std::exception& e) {
        reason = e.what();
    }
    return false;
}

PlanOsdTable ReadPlanOsdTable(PlanOsdFile& osd)
{
    PlanOsdTable table;
    const uint32_t count = osd.ReadCount();
    // Each record takes at least 28 bytes, so a huge count ends with the
    // bytes, not with a loop over the count.
    for (uint32_t i = 0; i < count; ++i) {
        int32_t index = 0;
        PlanOsdEntry entry;
        if (osd.ReadRecord(index, entry.rect, entry.words, entry.bitmap) != 0)
            break;
        table.emplace(index, std::move(entry));
    }
    return table;
}

bool SavePlanFiles(const CQelPlan& plan, std::string& error)
{
    if (const std::string problem = PlanProblem(plan); !problem.empty()) {
        error = problem + ": the file would not load again";
        return false;
    }
    const std::string name = plan.GetName();
    const std::string folder = qz::vok::path::GetPlanPath();
    const std::string planPath = folder + "/" + name + kPlanExt;
    const std::string osdPath = folder + "/" + name + kOsdExt;

    PlanOsdFile osd;
    osd.Create(osdPath);
    const std::string text = BuildPlanFileText(plan, osd);

    store::pending_replace osdNew;
    store::pending_replace planNew;
    if (!osdNew.prepare(osdPath, osd.Image(), error) || !planNew.prepare(planPath, text, error))
        return false;

    // The old ".osd" is held by a second link until the ".plan" is in place,
    // so a failure leaves the old pair as it was.
    const std::string backup = folder + kOsdBackup;
    ::unlink(backup.c_str());
    const bool hadOsd = ::link(osdPath.c_str(), backup.c_str()) == 0;
    if (!osdNew.commit(error)) {
        if (hadOsd)
            ::unlink(backup.c_str());
        return false;
    }
    if (!planNew.commit(error)) {
        if (hadOsd)
            std::rename(backup.c_str(), osdPath.c_str());
        else
            ::unlink(osdPath.c_str());
        return false;
    }
    if (hadOsd)
        ::unlink(backup.c_str());
    return true;
}

bool LoadPlanFiles(const std::string& name, CQelPlan& plan, std::string& reason)
{
    const std::string planPath = plan_store::PlanFolderPath(name + kPlanExt);
    const store::read_result file = store::read_file(planPath);
    if (file.status == store::read_status::missing) {
        reason = planPath + " is missing";
        return false;
    }
    if (file.status == store::read_status::unreadable) {
        reason = planPath + " cannot be read (" + file.error + "); it is left as it is";
        return false;
    }

    PlanOsdTable table;
    PlanOsdFile osd;
    const std::string osdPath = plan_store::PlanFolderPath(name + kOsdExt);
    if (osd.OpenForRead(osdPath) == 0) {
        table = ReadPlanOsdTable(osd);
        if (osd.Damaged())
            plan_store::KeepAsBad(osdPath, osd.Image(), "the OSD file is damaged; its readable records are used", true);
        osd.Close();
    } else if (!osd.ReadError().empty()) {
        plan_store::LogError(osdPath + ": the OSD file cannot be read (" + osd.ReadError() +
                             "); logos keep their defaults and the file is left as it is");
    }
    if (!ParsePlanFileText(file.bytes, table, plan, reason)) {
        reason += "; " + store::keep_as_bad(planPath, file.bytes).text;
        return false;
    }
    return true;
}
