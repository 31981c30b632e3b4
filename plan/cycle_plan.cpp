#include "plan/cycle_plan.h"

#include <algorithm>
#include <limits>

#include <boost/property_tree/ptree.hpp>

#include "context/context.h"
#include "core/text_helpers.h"
#include "core/xml_attributes.h"
#include "core/xml_keys.h"
#include "core/xml_file.h"
#include "corlane/app_path.h"
#include "corlane/file_store.h"
#include "corlane/fstr.h"
#include "plan/plan_manager.h"
#include "plan/plan_store.h"

namespace pt = boost::property_tree;
namespace store = qz::vok::file_store;

namespace {

constexpr char kVersion[] = "V1";
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

using xml::Key;

// The one value of the "Cycle" element.
struct Rounds {
    int32_t count = -1;
};
const Key<Rounds> kCycleKeys[] = {xml::Field("numberofcycles", &Rounds::count, xml::LenientInt{-1})};

using Cell = CQelCyclePlan::_CCell;
const Key<Cell> kCellKeys[] = {
    xml::Field("name", &Cell::planName, xml::Text{}),
    xml::Field("cyclesec", &Cell::seconds, xml::LenientInt{}),
};

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
    Changed();
    return true;
}

bool CQelCyclePlan::RemoveCell(int32_t index)
{
    if (index < 0 || index >= int32_t(cells_.size()))
        return false;
    cells_.erase(cells_.begin() + index);
    Changed();
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
    Changed();
}

std::string CQelCyclePlan::GetCellName(int32_t index) const
{
    if (index < 0 || index >= int32_t(cells_.size()))
        return {};
    return cells_[size_t(index)]->planName;
}

bool CQelCyclePlan::SetCellSeconds(int32_t index, int32_t seconds)
{
    if (index < 0 || index >= int32_t(cells_.size()))
        return false;
    cells_[size_t(index)]->seconds = seconds;
    Changed();
    return true;
}

void CQelCyclePlan::CopyFrom(const CQelCyclePlan& other)
{
    if (&other == this)
        return;
    name_ = other.name_;
    numberOfCycles_ = other.numberOfCycles_;
    cells_.clear();
    for (const auto& c : other.cells_)
        cells_.push_back(std::make_shared<_CCell>(*c));
    unusedFile_ = false;
    changed_ = other.changed_;
}

void CQelCyclePlan::RemoveCellsOfPlan(const std::string& planName)
{
    if (std::erase_if(cells_, [&](const CellPtr& c) { return c->planName == planName; }) > 0)
        Changed();
}

void CQelCyclePlan::RenameCellsOfPlan(const std::string& oldName, const std::string& newName)
{
    for (auto& c : cells_) {
        if (c->planName == oldName) {
            c->planName = newName;
            Changed();
        }
    }
}

bool CQelCyclePlan::Save()
{
    if (!SafeName(name_, "save cycle plan"))
        return false;
    if (unusedFile_ || !changed_)
        return true; // left as it is until the cycle plan changes
    pt::ptree root;
    root.add(xml::AttrKey("version"), std::string(kVersion));
    xml::AddElement(root, "Cycle", kCycleKeys, Rounds{numberOfCycles_});
    pt::ptree& plans = root.add_child("Plans", {});
    for (const auto& c : cells_)
        xml::AddElement(plans, "Plan", kCellKeys, *c);
    pt::ptree tree;
    tree.add_child("CyclePlan", root);

    std::string error;
    if (!store::replace_file(FilePath(name_), xml::WriteTree(tree), error)) {
        plan_store::LogError("cycle plan \"" + name_ + "\" was not saved: " + error);
        return false;
    }
    changed_ = false;
    return true;
}

void CQelCyclePlan::Load()
{
    cells_.clear();
    numberOfCycles_ = -1;
    unusedFile_ = false;
    changed_ = true; // a missing file is written at the next save
    if (!SafeName(name_, "load cycle plan"))
        return;
    const std::string path = FilePath(name_);
    const std::optional<std::string> stored = plan_store::ReadStored(path, "cycle plan", &unusedFile_);
    if (!stored) {
        if (!unusedFile_)
            plan_store::Report(path + ": the listed cycle plan is missing; it starts empty and is written afresh");
        return;
    }
    try {
        pt::ptree tree;
        xml::ReadTree(*stored, tree);
        const pt::ptree& root = xml::Required(tree, "CyclePlan");
        if (root.get<std::string>(xml::AttrKey("version"), "") != kVersion)
            throw xml::FileError(std::string("the version is not ") + kVersion);
        Rounds rounds;
        xml::ReadKeys(xml::Element(xml::Required(root, "Cycle"), "Cycle"), kCycleKeys, rounds);
        std::vector<CellPtr> cells;
        xml::ReadEach(xml::Required(root, "Plans"), "Plan", kCellKeys,
                      [&](Cell cell) { cells.push_back(std::make_shared<Cell>(std::move(cell))); });
        numberOfCycles_ = rounds.count;
        cells_ = std::move(cells);
        changed_ = false;
    } catch (const std::exception& e) {
        // Damage, not emptiness: no cells, and the file stays as it is.
        unusedFile_ = true;
        plan_store::KeepAsBad(path, *stored, std::string("the cycle plan is damaged: ") + e.what(), true);
    }
}

void CQelCyclePlan::Changed()
{
    unusedFile_ = false;
    changed_ = true;
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
    listChanged_ = true;
    return true;
}

bool CQelCyclePlanMan::Remove(const std::string& name)
{
    if (!SafeName(name, "remove cycle plan"))
        return false;
    auto it = std::find_if(plans_.begin(), plans_.end(), [&](const CyclePlanPtr& p) { return p->GetName() == name; });
    if (it == plans_.end())
        return false;
    std::string error;
    if (!plan_store::RemoveIfPresent(CQelCyclePlan::FilePath(name), error)) {
        plan_store::LogError("cycle plan \"" + name + "\" was not removed: " + error);
        return false;
    }
    plans_.erase(it);
    listChanged_ = true;
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
    if (!plan_store::MoveIfPresent(CQelCyclePlan::FilePath(oldName), CQelCyclePlan::FilePath(newName), moved, error)) {
        plan_store::LogError("cycle plan \"" + oldName + "\" was not renamed: " + error);
        return false;
    }
    plan->SetName(newName);
    listChanged_ = true;
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
    if (listChanged_ && !WriteList())
        return false;
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

bool CQelCyclePlanMan::WriteList()
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
    if (!store::replace_file(ListPath(), bytes, error)) {
        plan_store::LogError("the cycle plan list was not saved: " + error);
        return false;
    }
    listChanged_ = false;
    return true;
}

bool CQelCyclePlanMan::LoadList()
{
    plans_.clear();
    listChanged_ = true;
    const std::string path = ListPath();
    const std::optional<std::string> stored = plan_store::ReadStored(path, "cycle plan list");
    if (!stored)
        return false;

    Reader in(*stored);
    uint32_t magic = 0;
    if (!in.Int(magic) || magic != kListMagic) {
        plan_store::KeepAsBad(path, *stored, "the cycle plan list has no valid header", true);
        return false;
    }
    uint32_t count = 0;
    const bool counted = in.Int(count);
    // Every entry takes at least its 4-byte length: a count the bytes
    // cannot hold is damage, and reading ends with the bytes.
    bool damaged = !counted || count > in.Remaining() / 4;
    for (uint32_t i = 0; counted && i < count; ++i) {
        uint32_t length = 0;
        if (!in.Int(length)) {
            damaged = true;
            break;
        }
        if (length == 0)
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
        plan_store::KeepAsBad(path, *stored, "the cycle plan list is damaged; the names before the damage are used",
                              true);
    listChanged_ = damaged;
    for (const auto& p : plans_)
        p->Load();
    return true;
}
