#include "plan/plan_manager.h"

#include <algorithm>
#include <optional>

#include "core/event_queue.h"
#include "core/language_tr.h"
#include "corlane/app_path.h"
#include "corlane/file_store.h"
#include "corlane/fstr.h"
#include "plan/plan_file.h"
#include "plan/plan_store.h"

namespace {

constexpr char kListFile[] = "PlanList.txt";
constexpr char kPlanExt[] = ".plan";
constexpr char kOsdExt[] = ".osd";
constexpr char kNewPlanBase[] = "新建方案";

bool SafeName(const std::string& name, const char* operation)
{
    std::string why;
    if (plan_store::IsSafeName(name, kPlanExt, &why))
        return true;
    plan_store::LogError(std::string(operation) + ": plan name refused: " + why);
    return false;
}

} // namespace

CQelPlanMan::CQelPlanMan() = default;

CQelPlanMan::~CQelPlanMan() = default;

std::string CQelPlanMan::PlanListPath()
{
    return plan_store::PlanFolderPath(kListFile);
}

bool CQelPlanMan::LoadPlanList()
{
    {
        std::lock_guard<std::mutex> guard(mutex_);
        savedNames_.clear();
        listChanged_ = true;
    }
    const std::string path = PlanListPath();
    const std::optional<std::string> stored = plan_store::ReadStored(path, "plan list");
    if (!stored)
        return false;
    const std::string& bytes = *stored;

    bool damaged = false;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        std::string name;
        if (!qz::vok::fstr_ansitoutf8(line, name)) {
            plan_store::LogError(path + ": a line that is not GB2312 text is skipped");
            damaged = true;
            continue;
        }
        std::string why;
        if (!plan_store::IsSafeName(name, kPlanExt, &why)) {
            plan_store::LogError(path + ": a name is skipped: " + why);
            damaged = true;
            continue;
        }
        AddSavedName(name);
    }
    if (damaged)
        plan_store::KeepAsBad(path, bytes, "the plan list holds lines that are not plan names", true);
    std::lock_guard<std::mutex> guard(mutex_);
    listChanged_ = damaged;
    return !savedNames_.empty();
}

bool CQelPlanMan::SavePlanList()
{
    std::vector<std::string> names;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        if (!listChanged_)
            return true;
        names = savedNames_;
    }
    std::string bytes;
    for (const auto& name : names) {
        std::string ansi;
        if (!qz::vok::fstr_utf8toansi(name, ansi))
            continue; // never held: names are checked as they join
        bytes += ansi;
        bytes += "\r\n";
    }
    std::string error;
    if (!qz::vok::file_store::replace_file(PlanListPath(), bytes, error)) {
        plan_store::LogError("the plan list was not saved: " + error);
        return false;
    }
    std::lock_guard<std::mutex> guard(mutex_);
    listChanged_ = savedNames_ != names; // changed again while writing
    return true;
}

void CQelPlanMan::AddLoaded(const PlanPtr& plan)
{
    std::lock_guard<std::mutex> guard(mutex_);
    plan->SetId(++nextId_);
    plans_.push_back(plan);
}

void CQelPlanMan::AddSavedName(const std::string& name)
{
    std::lock_guard<std::mutex> guard(mutex_);
    savedNames_.push_back(name);
    listChanged_ = true;
}

CQelPlanMan::PlanPtr CQelPlanMan::FindLoaded(const std::string& name) const
{
    std::lock_guard<std::mutex> guard(mutex_);
    for (const auto& p : plans_) {
        if (p->GetName() == name)
            return p;
    }
    return nullptr;
}

CQelPlanMan::PlanPtr CQelPlanMan::CreatePlan(const std::string& name)
{
    if (!SafeName(name, "create plan"))
        return nullptr;
    auto plan = std::make_shared<CQelPlan>();
    plan->SetName(name);
    AddLoaded(plan);
    return plan;
}

bool CQelPlanMan::OpenPlan(const std::string& name, PlanPtr& plan)
{
    if (auto found = FindLoaded(name)) {
        plan = found;
        return true;
    }
    auto created = CreatePlan(name);
    if (!created)
        return false;
    created->AddHistory(kActNewPlan);
    plan = created;
    return true;
}

bool CQelPlanMan::NewPlan(PlanPtr& plan, const PlanPtr& source)
{
    if (!source)
        return false;
    const std::string base = CStringToStd(Tr(kNewPlanBase));
    std::string name;
    for (int n = 1;; ++n) {
        name = qz::vok::fstr_format("%s_%d", base.c_str(), n);
        if (!PlanNameExists(name))
            break;
    }
    if (!SafeName(name, "new plan"))
        return false;
    CQelPlan::DeriveMap windowMap;
    auto derived = CQelPlan::DerivePlan(*source, windowMap, SelectedWallPlacement());
    if (!derived)
        return false;
    derived->SetName(name);
    AddLoaded(derived);
    derived->AddHistory(kActNewPlan);
    plan = derived;
    return true;
}

bool CQelPlanMan::LoadPlanFile(const std::string& name, PlanPtr& plan)
{
    if (auto found = FindLoaded(name)) {
        plan = found;
        return true;
    }
    if (!SafeName(name, "open plan"))
        return false;
    if (!PlanNameInList(GetSavedNames(), name))
        return false;

    // Read into a plan of its own: one that does not read leaves nothing
    // behind that a later save could write over the real file.
    auto loaded = std::make_shared<CQelPlan>();
    loaded->SetName(name);
    std::string reason;
    if (!LoadPlanFiles(name, *loaded, reason)) {
        plan_store::LogError("plan \"" + name + "\" cannot be opened: " + reason);
        return false;
    }
    loaded->SetDirty(false);
    AddLoaded(loaded);
    loaded->AddHistory(kActOpenPlan);
    plan = loaded;
    return true;
}

bool CQelPlanMan::WriteFiles(const CQelPlan& plan)
{
    std::string error;
    if (!SavePlanFiles(plan, error)) {
        plan_store::LogError("plan \"" + plan.GetName() + "\" was not saved: " + error);
        return false;
    }
    return true;
}

bool CQelPlanMan::ListNewName(const std::string& name)
{
    if (PlanNameInList(GetSavedNames(), name))
        return true;
    AddSavedName(name);
    if (!SavePlanList()) {
        // Memory keeps matching the file, so the next save tries again.
        {
            std::lock_guard<std::mutex> guard(mutex_);
            std::erase(savedNames_, name);
        }
        plan_store::LogError("plan \"" + name +
                             "\" was saved but is not in the plan list: " + "the list could not be written");
        return false;
    }
    PostEvent(new CPlanListChangedEvent);
    return true;
}

bool CQelPlanMan::SavePlanFile(const PlanPtr& plan)
{
    if (!plan || !SafeName(plan->GetName(), "save plan"))
        return false;
    if (!WriteFiles(*plan))
        return false;
    if (!ListNewName(plan->GetName())) {
        RemoveUnlistedFiles(plan->GetName());
        return false;
    }
    plan->SetDirty(false);
    return true;
}

bool CQelPlanMan::SavePlanAs(PlanPtr& plan, const std::string& newName)
{
    if (!plan || !SafeName(newName, "save plan as") || PlanNameExists(newName))
        return false;
    auto copy = std::make_shared<CQelPlan>();
    copy->SetName(newName);
    copy->CopyWindowsFrom(*plan);
    if (!WriteFiles(*copy))
        return false;
    if (!ListNewName(newName)) {
        RemoveUnlistedFiles(newName);
        return false;
    }

    AddLoaded(copy);
    copy->AddHistory(kActNewPlan);
    copy->SetDirty(false);
    plan->SetDirty(false);
    plan = copy;
    return true;
}

// A new plan's files whose name the list could not take: left, they would
// be files of no plan.
void CQelPlanMan::RemoveUnlistedFiles(const std::string& name)
{
    std::string error;
    for (const char* ext : {kPlanExt, kOsdExt})
        if (!plan_store::RemoveIfPresent(plan_store::PlanFolderPath(name + ext), error))
            plan_store::LogWarning("plan \"" + name + "\": a file of no listed plan stays: " + error);
}

void CQelPlanMan::RemovePlanFromList(const PlanPtr& plan)
{
    if (!plan)
        return;
    std::lock_guard<std::mutex> guard(mutex_);
    const int32_t id = plan->GetId();
    auto it = std::find_if(plans_.begin(), plans_.end(), [id](const PlanPtr& p) { return p->GetId() == id; });
    if (it != plans_.end())
        plans_.erase(it);
}

bool CQelPlanMan::DeletePlanFile(const std::string& name)
{
    if (!SafeName(name, "delete plan"))
        return false;
    // The name leaves the list first, then the ".plan" goes: while it
    // stays the plan keeps its name and its logos. Once it is gone so is
    // the plan, and an ".osd" that stays is only a stray file, written over
    // when a plan of that name is saved. A failure at either step puts the
    // name back, so list and files always agree.
    std::optional<size_t> listedAt;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        auto it = std::find(savedNames_.begin(), savedNames_.end(), name);
        if (it != savedNames_.end()) {
            listedAt = size_t(it - savedNames_.begin());
            savedNames_.erase(it);
            listChanged_ = true;
        }
    }
    auto relist = [&] {
        std::lock_guard<std::mutex> guard(mutex_);
        savedNames_.insert(savedNames_.begin() + std::ptrdiff_t(std::min(*listedAt, savedNames_.size())), name);
        listChanged_ = true;
    };
    if (listedAt && !SavePlanList()) {
        relist();
        plan_store::LogError("plan \"" + name + "\" was not deleted: the plan list could not be written");
        return false;
    }
    std::string error;
    if (!plan_store::RemoveIfPresent(plan_store::PlanFolderPath(name + kPlanExt), error)) {
        plan_store::LogError("plan \"" + name + "\" was not deleted: " + error);
        if (listedAt) {
            relist();
            SavePlanList();
        }
        return false;
    }
    if (!plan_store::RemoveIfPresent(plan_store::PlanFolderPath(name + kOsdExt), error))
        plan_store::LogWarning("plan \"" + name + "\" was deleted but its OSD file stays: " + error);
    if (auto loaded = FindLoaded(name))
        RemovePlanFromList(loaded);
    if (listedAt)
        PostEvent(new CPlanListChangedEvent);
    return true;
}

bool CQelPlanMan::RenamePlanFile(const std::string& newName, const std::string& oldName)
{
    if (!SafeName(newName, "rename plan") || !SafeName(oldName, "rename plan") || PlanNameExists(newName))
        return false;

    // The files move first; a failure undoes what moved and changes no name.
    std::string error;
    bool osdMoved = false;
    bool planMoved = false;
    const std::string oldOsd = plan_store::PlanFolderPath(oldName + kOsdExt);
    const std::string newOsd = plan_store::PlanFolderPath(newName + kOsdExt);
    if (!plan_store::MoveIfPresent(oldOsd, newOsd, osdMoved, error) ||
        !plan_store::MoveIfPresent(plan_store::PlanFolderPath(oldName + kPlanExt),
                                   plan_store::PlanFolderPath(newName + kPlanExt), planMoved, error)) {
        if (osdMoved) {
            bool back = false;
            std::string ignored;
            plan_store::MoveIfPresent(newOsd, oldOsd, back, ignored);
        }
        plan_store::LogError("plan \"" + oldName + "\" was not renamed: " + error);
        return false;
    }

    auto rename = [this](const std::string& from, const std::string& to) {
        std::lock_guard<std::mutex> guard(mutex_);
        auto it = std::find(savedNames_.begin(), savedNames_.end(), from);
        if (it == savedNames_.end())
            return false;
        *it = to;
        listChanged_ = true;
        return true;
    };
    if (rename(oldName, newName)) {
        if (!SavePlanList()) {
            // The list still names the old plan: its files go back to match.
            rename(newName, oldName);
            bool back = false;
            std::string ignored;
            plan_store::MoveIfPresent(plan_store::PlanFolderPath(newName + kPlanExt),
                                      plan_store::PlanFolderPath(oldName + kPlanExt), back, ignored);
            if (osdMoved)
                plan_store::MoveIfPresent(newOsd, oldOsd, back, ignored);
            plan_store::LogError("plan \"" + oldName + "\" was not renamed: the plan list could not be written");
            return false;
        }
        PostEvent(new CPlanListChangedEvent);
    }
    if (auto loaded = FindLoaded(oldName))
        loaded->SetName(newName);
    return true;
}

bool CQelPlanMan::PlanNameInList(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool CQelPlanMan::PlanNameExists(const std::string& name)
{
    std::lock_guard<std::mutex> guard(mutex_);
    for (const auto& p : plans_) {
        if (p->GetName() == name)
            return true;
    }
    return PlanNameInList(savedNames_, name);
}

bool CQelPlanMan::FindPlanByName(const std::string& name, PlanPtr& plan) const
{
    auto found = FindLoaded(name);
    if (!found)
        return false;
    plan = found;
    return true;
}

bool CQelPlanMan::FindPlanById(int32_t id, PlanPtr& plan) const
{
    std::lock_guard<std::mutex> guard(mutex_);
    for (const auto& p : plans_) {
        if (p->GetId() == id) {
            plan = p;
            return true;
        }
    }
    return false;
}

std::vector<std::string> CQelPlanMan::GetSavedNames() const
{
    std::lock_guard<std::mutex> guard(mutex_);
    return savedNames_;
}

std::vector<CQelPlanMan::PlanPtr> CQelPlanMan::GetLoadedPlans() const
{
    std::lock_guard<std::mutex> guard(mutex_);
    return plans_;
}
