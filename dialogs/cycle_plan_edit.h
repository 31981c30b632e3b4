#pragma once
// What the cycle-plan editor decides without its window: the proposed name
// of a new cycle plan, what a typed number of seconds does, and what
// saving under a name takes.
#include <cstdint>
#include <string>

class CQelCyclePlanMan;

// "<prefix>_N" for the first N from 1 that names no cycle plan.
std::string ProposeCycleName(const CQelCyclePlanMan& cycles, const std::string& prefix);

// What a seconds cell's committed text does to its cell.
struct SecondsEntry {
    enum Action {
        Store,   // `value` becomes the cell's seconds
        Keep,    // the cell keeps its seconds, the text stays as typed
        Restore, // the cell keeps its seconds, and its text is shown again
    };
    Action action = Restore;
    int32_t value = 0;
};

// Digits from 1 to 2147483647 are stored; 0 and the empty text are kept
// as typed; anything else (letters, signs, more than the field holds)
// puts the old seconds back.
SecondsEntry ParseSecondsEntry(const std::string& text);

// What saving a cycle plan now called `current` under `wanted` takes.
enum class CycleSaveStep {
    Empty,  // no name
    Taken,  // another cycle plan has it
    Unsafe, // it cannot be a file name
    Add,    // a new cycle plan joins the manager
    Rename, // the cycle plan and its file take the new name
    Keep,   // the same name: only the file is written
};
CycleSaveStep CheckCycleSave(const CQelCyclePlanMan& cycles, const std::string& current, const std::string& wanted);

// The editor's messages; each goes through the translation table.
namespace cycletext {
inline constexpr char kNameEmpty[] = "轮巡方案名称不能为空";
inline constexpr char kNameTaken[] = "该轮巡方案名称已经存在";
inline constexpr char kNameUnsafe[] =
    "轮巡方案名称不能用作文件名：请不要使用路径符号、控制字符、GB2312 以外的字符或过长的名称";
inline constexpr char kNotSaved[] = "轮巡方案无法保存！";
inline constexpr char kNotRenamed[] = "轮巡方案文件无法改名！";
inline constexpr char kListNotSaved[] = "轮巡方案列表无法保存！";
} // namespace cycletext
