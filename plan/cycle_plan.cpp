#include "plan/cycle_plan.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <sstream>

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include "app/context.h"
#include "corlane/app_path.h"
#include "corlane/fstr.h"
#include "plan/plan_manager.h"
#include "plan/plan_store.h"

namespace pt = boost::property_tree;

namespace {

constexpr char kVersion[] = "V1";
constexpr char kAttrs[] = "<xmlattr>";
constexpr char kCycleExt[] = ".cycle";
constexpr char kListFile[] = "CyclePlanList.clt";
constexpr uint32_t kListMagic = 0x8EB00001;
constexpr int32_t kNewCellSeconds = 5;

bool SafeName(const std::string& name, const char* operation)
{
    std::string why;
    if (plan_store::IsSafeName(name, kCycleExt, &why))
        return true;
    plan_store::LogError(std::string(operation) + ": cycle plan name refused: " + why);
    return false;
}

// A decimal attribute; missing or unreadable gives the fallback.
int32_t IntAttr(const pt::ptree& node, const char* attr, int32_t fallback)
{
    const auto text = node.get_optional<std::string>(std::string(kAttrs) + "." + attr);
    if (!text)
        return fallback;
    int64_t value = 0;
    const char* begin = text->data();
    const char* end = begin + text->size();
    const auto [stop, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || stop != end || value < std::numeric_limits<int32_t>::min() ||
        value > std::numeric_limits<int32_t>::max())
        return fallback;
    return int32_t(value);
}

void PutInt(std::string& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(char((value >> (8 * i)) & 0xFF));
}

// Little-endian reads that never pass the end.
class Reader {
public:
    explicit Reader(const std::string& bytes) : bytes_(bytes) {}
    bool Int(uint32_t& value)
    {
        if (Remaining() < 4)
            return false;
        value = 0;
        for (int i = 0; i < 4; ++i)
            value |= uint32_t(uint8_t(bytes_[pos_ + size_t(i)])) << (8 * i);
        pos_ += 4;
        return true;
    }
    bool Bytes(size_t n, std::string& out)
    {
        if (Remaining() < n)
            return false;
        out = bytes_.substr(pos_, n);
        pos_ += n;
        return true;
    }
    size_t Remaining() const { return bytes_.size() - pos_; }

private:
    const std::string& bytes_;
    size_t pos_ = 0;
};

} // namespace

CQelCyclePlan::CQelCyclePlan(std::string name) : name_(std::move(name)) {}

CQelCyclePlan::~CQelCyclePlan() = default;

std::string CQelCyclePlan::FilePath(const std::string& name)
{
    return plan_store::PlanFolderPath(name + kCycleExt);
}

bool CQelCyclePlan::AddCell(const std::string& planName)
{
    const auto planMan = CQelContext::GetPlanMan();
    if (!CQelPlanMan::PlanNameInList(planMan->GetSavedNames(), planName))
        return false;
    auto cell = std::make_shared<_CCell>();
    cell->planName = planName;
    cell->seconds = kNewCellSeconds;
    cells_.push_back(std::move(cell));
    return true;
}

bool CQelCyclePlan::RemoveCell(int32_t index)
{
    if (index < 0 || index >= int32_t(cells_.size()))
        return false;
    cells_.erase(cells_.begin() + index);
    return true;
}

void CQelCyclePlan::MoveCell(int32_t index, int32_t delta)
{
    const int64_t count = int64_t(cells_.size());
    const int64_t to = int64_t(index) + delta;
    if (index < 0 || index >= count || to < 0 || to >= count)
        return;
    CellPtr cell = cells_[size_t(index)];
    cells_.erase(cells_.begin() + index);
    cells_.insert(cells_.begin() + to, std::move(cell));
}

std::string CQelCyclePlan::GetCellName(int32_t index) const
{
    if (index < 0 || index >= int32_t(cells_.size()))
        return {};
    return cells_[size_t(index)]->planName;
}

void CQelCyclePlan::RemoveCellsOfPlan(const std::string& planName)
{
    std::erase_if(cells_, [&](const CellPtr& c) { return c->planName == planName; });
}

void CQelCyclePlan::RenameCellsOfPlan(const std::string& oldName, const std::string& newName)
{
    for (auto& c : cells_) {
        if (c->planName == oldName)
            c->planName = newName;
    }
}

bool CQelCyclePlan::Save()
{
    if (!SafeName(name_, "save cycle plan"))
        return false;
    pt::ptree root;
    root.add(std::string(kAttrs) + ".version", kVersion);
    pt::ptree cycle;
    cycle.add(std::string(kAttrs) + ".numberofcycles", std::to_string(numberOfCycles_));
    root.add_child("Cycle", cycle);
    pt::ptree plans;
    for (const auto& c : cells_) {
        pt::ptree node;
        node.add(std::string(kAttrs) + ".name", c->planName);
        node.add(std::string(kAttrs) + ".cyclesec", std::to_string(c->seconds));
        plans.add_child("Plan", node);
    }
    root.add_child("Plans", plans);
    pt::ptree tree;
    tree.add_child("CyclePlan", root);
    std::ostringstream out;
    pt::write_xml(out, tree, pt::xml_writer_make_settings<std::string>('\t', 1, "utf-8"));

    std::string error;
    if (!plan_store::ReplaceInFolder(qz::vok::path::GetPlanPath(), name_ + kCycleExt, out.str(),
                                     error)) {
        plan_store::LogError("cycle plan \"" + name_ + "\" was not saved: " + error);
        return false;
    }
    return true;
}

void CQelCyclePlan::Load()
{
    cells_.clear();
    numberOfCycles_ = -1;
    if (!SafeName(name_, "load cycle plan"))
        return;
    const std::string path = FilePath(name_);
    std::string text;
    bool missing = false;
    if (!plan_store::ReadWholeFile(path, text, &missing)) {
        if (!missing)
            plan_store::KeepAsBad(path, "the cycle plan cannot be read");
        return;
    }
    pt::ptree tree;
    try {
        std::istringstream in(text);
        pt::read_xml(in, tree);
    } catch (const std::exception& e) {
        plan_store::KeepAsBad(path, std::string("the cycle plan does not parse: ") + e.what());
        return;
    }
    const auto root = tree.get_child_optional("CyclePlan");
    if (!root)
        return;
    if (root->get<std::string>(std::string(kAttrs) + ".version", "") != kVersion) {
        plan_store::KeepAsBad(path, "the cycle plan is not version V1");
        return;
    }
    const auto cycle = root->get_child_optional("Cycle");
    if (!cycle)
        return;
    numberOfCycles_ = IntAttr(*cycle, "numberofcycles", -1);
    const auto plans = root->get_child_optional("Plans");
    if (!plans)
        return;
    for (const auto& [key, node] : *plans) {
        if (key != "Plan")
            continue;
        auto cell = std::make_shared<_CCell>();
        cell->planName = node.get<std::string>(std::string(kAttrs) + ".name", "");
        cell->seconds = IntAttr(node, "cyclesec", 0);
        cells_.push_back(std::move(cell));
    }
}

CQelCyclePlanMan::CQelCyclePlanMan() = default;

CQelCyclePlanMan::~CQelCyclePlanMan() = default;

std::string CQelCyclePlanMan::ListPath()
{
    return plan_store::PlanFolderPath(kListFile);
}

bool CQelCyclePlanMan::Add(const CyclePlanPtr& plan)
{
    if (!plan || !SafeName(plan->GetName(), "add cycle plan") || NameExists(plan->GetName()))
        return false;
    plans_.push_back(plan);
    return true;
}

bool CQelCyclePlanMan::Remove(const std::string& name)
{
    if (!SafeName(name, "remove cycle plan"))
        return false;
    auto it = std::find_if(plans_.begin(), plans_.end(),
                           [&](const CyclePlanPtr& p) { return p->GetName() == name; });
    if (it == plans_.end())
        return false;
    std::string error;
    if (!plan_store::RemoveIfPresent(CQelCyclePlan::FilePath(name), error)) {
        plan_store::LogError("cycle plan \"" + name + "\" was not removed: " + error);
        return false;
    }
    plans_.erase(it);
    return true;
}

bool CQelCyclePlanMan::Rename(const std::string& oldName, const std::string& newName)
{
    if (!SafeName(newName, "rename cycle plan"))
        return false;
    const CyclePlanPtr plan = Find(oldName);
    // A taken name would leave two cycle plans on one file.
    if (!plan || (newName != oldName && NameExists(newName)))
        return false;
    bool moved = false;
    std::string error;
    if (!plan_store::MoveIfPresent(CQelCyclePlan::FilePath(oldName),
                                   CQelCyclePlan::FilePath(newName), moved, error)) {
        plan_store::LogError("cycle plan \"" + oldName + "\" was not renamed: " + error);
        return false;
    }
    plan->SetName(newName);
    return true;
}

bool CQelCyclePlanMan::NameExists(const std::string& name) const
{
    return Find(name) != nullptr;
}

CQelCyclePlanMan::CyclePlanPtr CQelCyclePlanMan::Find(const std::string& name) const
{
    for (const auto& p : plans_) {
        if (p->GetName() == name)
            return p;
    }
    return nullptr;
}

void CQelCyclePlanMan::RemovePlanFromCells(const std::string& planName)
{
    for (auto& p : plans_)
        p->RemoveCellsOfPlan(planName);
}

void CQelCyclePlanMan::RenamePlanInCells(const std::string& oldName, const std::string& newName)
{
    for (auto& p : plans_)
        p->RenameCellsOfPlan(oldName, newName);
}

bool CQelCyclePlanMan::SaveList(std::vector<std::string>* unsaved)
{
    std::string bytes;
    PutInt(bytes, kListMagic);
    PutInt(bytes, uint32_t(plans_.size()));
    for (const auto& p : plans_) {
        std::string ansi;
        qz::vok::fstr_utf8toansi(p->GetName(), ansi); // checked when added
        PutInt(bytes, uint32_t(ansi.size()));
        bytes += ansi;
    }
    std::string error;
    if (!plan_store::ReplaceInFolder(qz::vok::path::GetPlanPath(), kListFile, bytes, error)) {
        plan_store::LogError("the cycle plan list was not saved: " + error);
        return false;
    }
    bool all = true;
    for (const auto& p : plans_) {
        if (p->Save())
            continue;
        all = false;
        if (unsaved)
            unsaved->push_back(p->GetName());
    }
    return all;
}

bool CQelCyclePlanMan::LoadList()
{
    plans_.clear();
    const std::string path = ListPath();
    std::string bytes;
    bool missing = false;
    if (!plan_store::ReadWholeFile(path, bytes, &missing)) {
        if (!missing)
            plan_store::KeepAsBad(path, "the cycle plan list cannot be read");
        return false;
    }

    Reader in(bytes);
    uint32_t magic = 0;
    if (!in.Int(magic) || magic != kListMagic) {
        plan_store::KeepAsBad(path, "the cycle plan list has no valid header");
        return false;
    }
    uint32_t count = 0;
    const bool counted = in.Int(count);
    bool damaged = !counted;
    // Every entry takes at least its 4-byte length, so a huge count runs out
    // of bytes long before it runs out of entries.
    for (int32_t i = 0; counted && i < int32_t(count); ++i) {
        uint32_t length = 0;
        if (!in.Int(length)) {
            damaged = true;
            break;
        }
        if (int32_t(length) <= 0)
            continue;
        std::string ansi;
        if (!in.Bytes(length, ansi)) {
            damaged = true;
            break;
        }
        std::string name;
        std::string why;
        if (!qz::vok::fstr_ansitoutf8(ansi, name)) {
            plan_store::LogError(path + ": a name that is not GB2312 text is skipped");
            damaged = true;
            continue;
        }
        if (!plan_store::IsSafeName(name, kCycleExt, &why)) {
            plan_store::LogError(path + ": a name is skipped: " + why);
            damaged = true;
            continue;
        }
        Add(std::make_shared<CQelCyclePlan>(name));
    }
    if (damaged)
        plan_store::KeepAsBad(path, "the cycle plan list is damaged; the names before the damage are used");
    for (const auto& p : plans_)
        p->Load();
    return true;
}
