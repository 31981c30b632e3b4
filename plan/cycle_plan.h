#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A cycle plan (轮巡): saved plans shown one after another, each for its
// seconds, repeated `numberofcycles` times. Stored as "<name>.cycle" in the
// plan folder; the names of all of them in CyclePlanList.clt.
class CQelCyclePlan {
public:
    struct _CCell {
        std::string planName;
        int32_t seconds = 5;
    };
    using CellPtr = std::shared_ptr<_CCell>;

    explicit CQelCyclePlan(std::string name = {});
    virtual ~CQelCyclePlan();

    // Appends a 5 s cell; false unless the plan manager has saved the plan.
    bool AddCell(const std::string& planName);
    bool RemoveCell(int32_t index);
    // Moves the cell at `index` to `index + delta`; nothing unless both lie
    // within the cells.
    void MoveCell(int32_t index, int32_t delta);
    std::string GetName() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    std::string GetCellName(int32_t index) const;
    // False, with nothing changed, for an index outside the cells.
    bool SetCellSeconds(int32_t index, int32_t seconds);
    std::vector<CellPtr> GetCells() const { return cells_; }
    int32_t GetNumberOfCycles() const { return numberOfCycles_; }
    void SetNumberOfCycles(int32_t count)
    {
        numberOfCycles_ = count;
        Changed();
    }

    // Takes the other's name, number of cycles and cells; the cells are
    // copies, so editing one plan never changes the other. Whether the
    // file of that name holds them comes along.
    void CopyFrom(const CQelCyclePlan& other);

    // Write and read the ".cycle" file. A write error is logged (and Save
    // is false). A file that cannot be read, or is damaged (not well-formed,
    // another root or version, no Cycle or Plans, a number that is none),
    // leaves no cells; a damaged one is kept as ".bad". Save leaves such a
    // file as it is until the cycle plan changes, and writes nothing when
    // nothing changed since the file was read or written.
    bool Save();
    void Load();

    // What the manager uses to keep cells in step with plans.
    void RemoveCellsOfPlan(const std::string& planName);
    void RenameCellsOfPlan(const std::string& oldName, const std::string& newName);

    static std::string FilePath(const std::string& name);

private:
    void Changed();

    std::string name_;
    std::vector<CellPtr> cells_;
    int32_t numberOfCycles_ = -1;
    bool unusedFile_ = false; // the file did not load and nothing changed since
    bool changed_ = true;     // the file does not hold what this holds
};

// All cycle plans, in CyclePlanList.clt order; names are unique. No lock:
// called on the UI thread.
class CQelCyclePlanMan {
public:
    using CyclePlanPtr = std::shared_ptr<CQelCyclePlan>;

    CQelCyclePlanMan();
    virtual ~CQelCyclePlanMan();

    // False for none, an unsafe name or a taken one. No file is written.
    bool Add(const CyclePlanPtr& plan);
    // Removes the ".cycle" file, then the cycle plan. False (and logged)
    // when there is none of that name or the file cannot be removed.
    bool Remove(const std::string& name);
    // Moves the ".cycle" file, then renames. False, with nothing changed,
    // for none of that name, an unsafe or taken new name, or a failed move.
    bool Rename(const std::string& oldName, const std::string& newName);
    bool NameExists(const std::string& name) const;
    CyclePlanPtr Find(const std::string& name) const;
    std::vector<CyclePlanPtr> GetPlans() const { return plans_; }

    void RemovePlanFromCells(const std::string& planName);
    void RenamePlanInCells(const std::string& oldName, const std::string& newName);

    // CyclePlanList.clt, then every ".cycle", each only when it changed
    // since it was read or written. When the list cannot be written nothing
    // is, and the result is false. A ".cycle" that cannot be written does
    // not stop the others; the result is false and `unsaved` (when given)
    // names the cycle plans that were not saved.
    bool SaveList(std::vector<std::string>* unsaved = nullptr);
    // The list, then every ".cycle". False when the list is missing or
    // unusable; damaged lists keep what read and are kept as ".bad"; one
    // that cannot be read is left as it is.
    bool LoadList();

    static std::string ListPath();

private:
    bool WriteList();

    std::vector<CyclePlanPtr> plans_;
    bool listChanged_ = true; // CyclePlanList.clt does not hold these names
};
