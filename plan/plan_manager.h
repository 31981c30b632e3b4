#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "plan/plan.h"

// The program's plans: those loaded in memory, each with an id of its own,
// and the names of those saved in the plan folder, in the order of
// PlanList.txt. Names are UTF-8 here and GB2312 in PlanList.txt; a name
// only becomes a file name when it is safe (plan_store::IsSafeName).
// Called on the UI thread.
class CQelPlanMan {
public:
    using PlanPtr = std::shared_ptr<CQelPlan>;

    CQelPlanMan();
    virtual ~CQelPlanMan();
    CQelPlanMan(const CQelPlanMan&) = delete;
    CQelPlanMan& operator=(const CQelPlanMan&) = delete;

    // Replaces the saved names with PlanList.txt's: one name a line, CR LF
    // or LF, blank lines skipped. False when the file is missing, empty or
    // cannot be read; lines that cannot be names are skipped, logged, and
    // the file kept as PlanList.txt.bad.
    bool LoadPlanList();
    // Writes the saved names, each ended by CR LF, unless PlanList.txt
    // already holds them (read or written since they last changed). False
    // when it cannot.
    bool SavePlanList();

    // A new empty plan with the next id, appended to the loaded plans;
    // empty for an unsafe name.
    PlanPtr CreatePlan(const std::string& name);
    // The loaded plan of that name, or a new one (history "新建方案"); the
    // file is not read. False for an unsafe name.
    bool OpenPlan(const std::string& name, PlanPtr& plan);
    // A plan derived from `source` for the selected processor, named
    // "<新建方案>_N" with the first free N. Not saved.
    bool NewPlan(PlanPtr& plan, const PlanPtr& source);
    // The loaded plan of that name, or the saved one read from its files
    // (history "打开方案"). A file that cannot be read leaves nothing loaded.
    bool LoadPlanFile(const std::string& name, PlanPtr& plan);
    // Writes the plan's ".plan" and ".osd"; a new name joins the saved names
    // and PlanList.txt with one CPlanListChangedEvent. A plan its file could
    // not be read back from (no grid or resolution yet) is refused before
    // anything is written. On failure the old files, the names and `dirty`
    // stay as they were; false also when the files were written but the
    // list could not be (logged; the name then joins at the next save).
    bool SavePlanFile(const PlanPtr& plan);
    // Saves a copy of `plan` under a free name; on success the copy is
    // loaded, `plan` refers to it and the first plan's `dirty` is cleared.
    // On failure nothing changes but, when only the list could not be
    // written, the copy's files (a retry replaces them).
    bool SavePlanAs(PlanPtr& plan, const std::string& newName);
    // Closes a plan: it leaves the loaded plans; files and names stay.
    void RemovePlanFromList(const PlanPtr& plan);
    // Removes the plan's files, ".plan" first, closes it and forgets its
    // saved name. False, with nothing changed, when the ".plan" cannot be
    // removed; an ".osd" that cannot be is logged and left behind.
    bool DeletePlanFile(const std::string& name);
    // Moves the plan's files to the new name, then renames it in memory and
    // in PlanList.txt. False, with nothing changed, when the new name is
    // taken or unsafe or a file cannot be moved.
    bool RenamePlanFile(const std::string& newName, const std::string& oldName);

    static bool PlanNameInList(const std::vector<std::string>& names, const std::string& name);
    bool PlanNameExists(const std::string& name);
    bool FindPlanByName(const std::string& name, PlanPtr& plan) const;
    bool FindPlanById(int32_t id, PlanPtr& plan) const;

    // The saved names, in PlanList.txt order.
    std::vector<std::string> GetSavedNames() const;
    std::vector<PlanPtr> GetLoadedPlans() const;

    static std::string PlanListPath();

private:
    void AddLoaded(const PlanPtr& plan);
    void AddSavedName(const std::string& name);
    PlanPtr FindLoaded(const std::string& name) const;
    bool WriteFiles(const CQelPlan& plan);
    void RemoveUnlistedFiles(const std::string& name);
    // Adds a new name to the saved names and PlanList.txt; false, with the
    // name left out, when the list cannot be written.
    bool ListNewName(const std::string& name);

    int32_t nextId_ = 0;
    std::vector<PlanPtr> plans_;
    std::vector<std::string> savedNames_;
    bool listChanged_ = true; // PlanList.txt does not hold the saved names
    mutable std::mutex mutex_;
};
