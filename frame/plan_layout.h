#pragma once
// The frame's plan operations without their windows: the standard layouts
// a new plan starts with, the sources their windows get, and the checks a
// typed plan name must pass.
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/geometry.h"

class CQelPlan;
class CQelPlanMan;
class CQelProcessor;

// The windows of a layout template on a wall of `wall` pixels, left to
// right and top to bottom; the last of a row or column reaches the wall's
// edge. Templates 12, 13, 14, 21, 31, 41 and 22 (rows then columns);
// every other value is the empty layout.
std::vector<Rect> StandardLayoutRects(int layoutTemplate, const Size& wall);

// The source id of a layout's window `position`: the processor's source at
// that position, else its first source; -1 without a processor or sources.
int32_t LayoutSourceId(const CQelProcessor* processor, int position);

// Adds the template's windows to the plan, each with the processor's id and
// its layout source, then places them on the outputs.
void BuildStandardLayout(int layoutTemplate, CQelPlan& plan, const CQelProcessor* processor);

enum class PlanNameProblem { None, Empty, Taken, Unsafe };
// Why `name` cannot name a new plan.
PlanNameProblem CheckNewPlanName(CQelPlanMan& plans, const std::string& name);
// The operator's message for a problem (translated); empty for None.
QString PlanNameMessage(PlanNameProblem problem);

namespace plantext {
inline constexpr char kNewPlan[] = "新建方案";
inline constexpr char kNameEmpty[] = "方案名称不能为空";
inline constexpr char kNameTaken[] = "该方案名称已经存在";
inline constexpr char kNameUnsafe[] = "方案名称不能用作文件名：请不要使用路径符号、控制字符或过长的名称";
inline constexpr char kRenameTitle[] = "重新命名";
inline constexpr char kSaveAsTitle[] = "另存为";
inline constexpr char kNameLabel[] = "方案名称";
inline constexpr char kRenameFailed[] = "方案重新命名失败，文件无法移动";
inline constexpr char kDeleteFailed[] = "方案删除失败，文件无法删除";
inline constexpr char kSaveAsFailed[] = "方案另存失败，请重试!";
inline constexpr char kOpenFailed[] = "方案文件已损坏或无法读取，未能打开";
} // namespace plantext
