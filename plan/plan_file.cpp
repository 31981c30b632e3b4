#include "plan/plan_file.h"

#include "core/text_helpers.h"
#include "core/xml_attributes.h"
#include "core/xml_keys.h"
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

using xml::Field;
using xml::Key;
using xml::LenientInt;
constexpr char kOsdIndexAttr[] = "osdindex";

const Key<CQelPlan> kPlanKeys[] = {
    {"type", [](const xml::Element& e, const char* attr, CQelPlan& p) { p.SetType(LenientInt{}.Read(e, attr)); },
     [](const CQelPlan& p) { return std::to_string(p.GetType()); }},
};

// The "Screen" element, between the plan and its file.
struct Screen {
    int32_t cols = 0;
    int32_t rows = 0;
    int32_t cellCols = 0;
    int32_t cellRows = 0;
    ResolutionTriple resolution;
    Rect margin;
    std::vector<int32_t> rowHeights;
    std::vector<int32_t> colWidths;
    std::vector<int32_t> watch;
};
const Key<Screen> kScreenKeys[] = {
    Field("col", &Screen::cols, LenientInt{}),
    Field("row", &Screen::rows, LenientInt{}),
    Field("cellcol", &Screen::cellCols, LenientInt{}),
    Field("cellrow", &Screen::cellRows, LenientInt{}),
    Field("resolution", &Screen::resolution, xml::TripleForm()),
    Field("margin", &Screen::margin, xml::kRectForm),
};
// Only sized-grid plans have these.
const Key<Screen> kSizedScreenKeys[] = {
    Field("rh", &Screen::rowHeights, xml::kIntListForm),
    Field("cw", &Screen::colWidths, xml::kIntListForm),
    Field("watch", &Screen::watch, xml::kIntListForm),
};

const Key<CQelGroup> kGroupKeys[] = {
    Field("id", &CQelGroup::id, LenientInt{}),
    Field("name", &CQelGroup::name, xml::Text{}),
};

// "osdindex" follows these on a logo window.
const Key<CQelWindow> kWindowKeys[] = {
    Field("name", &CQelWindow::name, xml::Text{}),
    Field("processor", &CQelWindow::processor, LenientInt{}),
    Field("sigsrc", &CQelWindow::sigsrc, LenientInt{}),
    Field("rect", &CQelWindow::rect, xml::kRectForm),
    Field("rcsigsrc", &CQelWindow::rcsigsrc, xml::kRectForm),
    Field("szsigsrcfull", &CQelWindow::szsigsrcfull, xml::kSizeForm),
    Field("rcsigsrcinner", &CQelWindow::rcsigsrcinner, xml::kRectForm),
    Field("fullscreen", &CQelWindow::fullscreen, xml::Word{}),
    Field("active", &CQelWindow::active, xml::Word{}),
    Field("status", &CQelWindow::status, LenientInt{}),
    Field("group", &CQelWindow::group, LenientInt{}),
    Field("is4k", &CQelWindow::is4k, LenientInt{}),
};

const Key<CQelWatchWindow> kWatchWindowKeys[] = {
    Field("processor", &CQelWatchWindow::processor, LenientInt{}),
    Field("sigout", &CQelWatchWindow::sigout, LenientInt{}),
    Field("row", &CQelWatchWindow::row, LenientInt{1}),
    Field("col", &CQelWatchWindow::col, LenientInt{1}),
    Field("sigsrc", &CQelWatchWindow::cells, xml::kIntListForm),
};

// Ids written unsigned: "4294967295" is -1; one out of range is none.
struct Id {
    std::optional<int32_t> Read(const xml::Element& e, const char* attr) const
    {
        const auto value = e.Integer(attr);
        if (!value || *value < std::numeric_limits<int32_t>::min() || *value > std::numeric_limits<uint32_t>::max())
            return std::nullopt;
        return int32_t(uint32_t(*value));
    }
    std::string Write(std::optional<int32_t> value) const { return value ? std::to_string(*value) : ""; }
};

// An output and the input switched to it.
struct OutIn {
    std::optional<int32_t> out;
    std::optional<int32_t> in;
};
const Key<OutIn> kOutInKeys[] = {
    Field("out", &OutIn::out, Id{}),
    Field("in", &OutIn::in, Id{}),
};

void WriteWindow(pt::ptree& windows, const CQelWindow& w, PlanOsdFile& osd, int32_t& osdIndex)
{
    pt::ptree& node = xml::AddElement(windows, "Window", kWindowKeys, w);
    if (w.sigsrc == kLogoSigSrc) {
        xml::AttributeWriter(node).Add(kOsdIndexAttr, osdIndex);
        const PlanOsdFile::Words words{w.osd->background, w.osd->captionColor, w.osd->transparent, w.osd->shown};
        osd.AppendRecord(osdIndex, Rect{w.osd->left, w.osd->top, w.osd->right, w.osd->bottom}, words, w.osd->bitmap);
        ++osdIndex;
    }
}

std::shared_ptr<CQelWindow> ReadWindow(const xml::Element& e, const CQelPlan& plan, const PlanOsdTable& osd)
{
    auto w = std::make_shared<CQelWindow>();
    xml::ReadKeys(e, kWindowKeys, *w);
    if (w->group != 0 && !plan.GetGroupById(w->group))
        w->group = 0;
    if (w->sigsrc == kLogoSigSrc) {
        const auto it = osd.find(LenientInt{}.Read(e, kOsdIndexAttr));
        if (it != osd.end()) {
            const PlanOsdEntry& entry = it->second;
            if (OsdRecordSetBitmap(*w->osd, entry.bitmap, entry.rect.left, entry.rect.top, entry.rect.right,
                                   entry.rect.bottom)) {
                w->osd->background = entry.words.a;
                w->osd->captionColor = entry.words.b;
                w->osd->transparent = entry.words.c;
                w->osd->shown = entry.words.d;
            }
        }
    }
    return w;
}

std::shared_ptr<CQelWatchWindow> ReadWatchWindow(const xml::Element& e)
{
    auto ww = std::make_shared<CQelWatchWindow>();
    // A split the UI cannot show is passed over before the rest is read.
    xml::ReadKey(e, kWatchWindowKeys, "row", *ww);
    xml::ReadKey(e, kWatchWindowKeys, "col", *ww);
    if (ww->row > kMaxWatchSide || ww->col > kMaxWatchSide)
        return nullptr;
    xml::ReadKeys(e, kWatchWindowKeys, *ww);
    if (ww->row < 1 || ww->col < 1 || int64_t(ww->cells.size()) != int64_t(ww->row) * ww->col)
        CellGrid::Reset(*ww, ww->row, ww->col);
    return ww;
}

void Parse(const pt::ptree& tree, const PlanOsdTable& osd, CQelPlan& plan)
{
    const pt::ptree& root = Required(tree, "Plan");
    const xml::Element planAttrs(root, "Plan");
    if (planAttrs.Text("version", "") != kVersion)
        throw FileError("the version is not " + std::string(kVersion));
    xml::ReadKeys(planAttrs, kPlanKeys, plan);

    const xml::Element screenAttrs(Required(root, "Screen"), "Screen");
    Screen screen;
    xml::ReadKeys(screenAttrs, kScreenKeys, screen);
    plan.SetGrid(screen.rows, screen.cols);
    plan.SetCellSplit(screen.cellRows, screen.cellCols);
    plan.SetResolution(screen.resolution);
    plan.SetMargin(screen.margin);
    plan.SetRowHeights({});
    plan.SetColumnWidths({});
    if (plan.GetType() == kPlanSizedGrid) {
        xml::ReadKeys(screenAttrs, kSizedScreenKeys, screen);
        plan.SetRowHeights(screen.rowHeights);
        plan.SetColumnWidths(screen.colWidths);
        std::vector<int32_t> watch = plan.GetWatchOutputs();
        watch.insert(watch.end(), screen.watch.begin(), screen.watch.end());
        plan.SetWatchOutputs(watch);
    }

    xml::ReadEach(Required(root, "Groups"), "Group", kGroupKeys,
                  [&](CQelGroup group) { plan.AddGroup(std::make_shared<CQelGroup>(std::move(group))); });

    const PlanSelection selection = CurrentPlanSelection();
    for (const auto& [key, child] : Required(root, "Windows")) {
        const xml::Element e(child, key);
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

    xml::ReadEach(Required(root, "Switch"), "OutIn", kOutInKeys, [&](OutIn link) {
        if (link.out && link.in)
            plan.SetSwitch(*link.out, *link.in);
    });

    if (const std::string problem = PlanProblem(plan); !problem.empty())
        throw FileError(problem);
}

} // namespace

std::string BuildPlanFileText(const CQelPlan& plan, PlanOsdFile& osd)
{
    pt::ptree root;
    xml::AttributeWriter(root).Add("version", kVersion);
    xml::WriteKeys(root, kPlanKeys, plan);

    const Screen screen{plan.GetCols(),       plan.GetRows(),         plan.GetCellCols(),
                        plan.GetCellRows(),   plan.GetResolution(),   plan.GetMargin(),
                        plan.GetRowHeights(), plan.GetColumnWidths(), plan.GetWatchOutputs()};
    pt::ptree& screenNode = xml::AddElement(root, "Screen", kScreenKeys, screen);
    if (plan.GetType() == kPlanSizedGrid)
        xml::WriteKeys(screenNode, kSizedScreenKeys, screen);

    pt::ptree& groups = root.add_child("Groups", {});
    for (const auto& g : plan.GetGroups()) {
        if (g)
            xml::AddElement(groups, "Group", kGroupKeys, *g);
    }

    pt::ptree& windows = root.add_child("Windows", {});
    int32_t osdIndex = 0;
    for (const auto& w : plan.GetWindows()) {
        if (w)
            WriteWindow(windows, *w, osd, osdIndex);
    }
    for (const auto& ww : plan.GetWatchWindows()) {
        if (ww)
            xml::AddElement(windows, "WatchWindow", kWatchWindowKeys, *ww);
    }

    pt::ptree& switches = root.add_child("Switch", {});
    for (const auto& [out, in] : plan.GetSwitchMap())
        xml::AddElement(switches, "OutIn", kOutInKeys, OutIn{out, in});

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
