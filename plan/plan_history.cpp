#include "plan/plan.h"

#include <array>

#include "core/event_queue.h"

namespace {

// An entry beyond this many older ones is dropped, so the history holds at
// most one more.
constexpr size_t kHistoryKept = 20;

// Names of the action kinds 1 to 18, shown in the history pane.
const std::array<const char*, 18> kActionNames = {
    "新建方案",           "打开方案",   "新建窗口",     "窗口重新命名", "删除窗口",     "清空所有窗口",
    "窗口重新选择信号源", "移动窗口",   "改变窗口大小", "全屏显示",     "取消全屏",     "锁定窗口",
    "层顺序变化",         "多窗口对齐", "多窗口同宽",   "多窗口同高",   "多窗口同尺寸", "窗口吸附",
};

} // namespace

CQelPlanHis::CQelPlanHis(int32_t serial, int32_t kind, int32_t windowIdCounter,
                         std::vector<std::shared_ptr<CQelWindow>> windows)
    : serial_(serial), kind_(kind), windowIdCounter_(windowIdCounter), windows_(std::move(windows))
{
}

CQelPlanHis::~CQelPlanHis() = default;

std::string CQelPlanHis::GetActionName() const
{
    return ActionName(kind_);
}

std::string CQelPlanHis::ActionName(int32_t kind)
{
    if (kind < 1 || kind > int32_t(kActionNames.size()))
        return {};
    return kActionNames[size_t(kind - 1)];
}

// Snapshots and restores copy windows whole: a copy without its OSD record
// and 4K part number would whiten every logo on undo.
CQelPlan::WindowList CQelPlan::SnapshotWindows() const
{
    WindowList copies;
    copies.reserve(windows_.size());
    for (const auto& w : windows_)
        copies.push_back(std::make_shared<CQelWindow>(*w));
    return copies;
}

void CQelPlan::AddHistory(int32_t kind)
{
    ++historySerial_;
    auto entry = std::make_shared<CQelPlanHis>(historySerial_, kind, windowIdCounter_, SnapshotWindows());
    newestHistory_ = entry;
    if (history_.size() > kHistoryKept) {
        const int32_t dropped = history_.front()->GetSerial();
        history_.pop_front();
        PostEvent(new CPlanHisDeletedEvent(id_, dropped));
    }
    if (undoPosition_ != 0) {
        while (!history_.empty() && history_.back()->GetSerial() > undoPosition_) {
            const int32_t dropped = history_.back()->GetSerial();
            history_.pop_back();
            PostEvent(new CPlanHisDeletedEvent(id_, dropped));
        }
        undoPosition_ = 0;
    }
    history_.push_back(entry);
    PostEvent(new CPlanHisAddedEvent(id_, entry->GetSerial()));
}

bool CQelPlan::RecoverHistory(int32_t serial, const PlanSelection& selection)
{
    if (undoPosition_ == 0) {
        if (!history_.empty() && history_.back()->GetSerial() == serial)
            return false;
    } else if (serial == undoPosition_) {
        return false;
    }
    const HistoryPtr entry = GetHistoryBySerial(serial);
    if (!entry)
        return false;
    undoPosition_ = serial;

    windows_.clear();
    parts_.clear();
    for (const auto& w : entry->GetWindows()) {
        auto copy = std::make_shared<CQelWindow>(*w);
        // Groups are not part of the history: a group that has gone since
        // must not be revived by a stale id (a new group may reuse it).
        if (copy->group != 0 && !GetGroupById(copy->group))
            copy->group = 0;
        windows_.push_back(copy);
        if (copy->is4k == 1)
            Make4KParts(copy, selection);
    }
    // Groups stay, even one no window uses for now: the next restore may
    // bring its windows back, and binding records no entry of its own.
    RenumberLayers();

    dirty_ = true;
    PostEvent(new CPlanHisRecoveredEvent(id_, serial));
    return true;
}

bool CQelPlan::CompareHistory()
{
    const HistoryPtr current = undoPosition_ != 0 ? GetHistoryBySerial(undoPosition_) : newestHistory_;
    if (!current || current->GetWindows().size() != windows_.size()) {
        dirty_ = true;
        return true;
    }
    const auto& saved = current->GetWindows();
    for (size_t i = 0; i < windows_.size(); ++i) {
        if (WindowRecordDiffers(*saved[i], *windows_[i])) {
            dirty_ = true;
            return true;
        }
    }
    return false;
}

CQelPlan::HistoryPtr CQelPlan::GetHistoryAt(int32_t index) const
{
    if (index < 0 || index >= GetHistoryCount())
        return nullptr;
    return history_[size_t(index)];
}

int32_t CQelPlan::IndexOfHistory(int32_t serial) const
{
    for (size_t i = 0; i < history_.size(); ++i) {
        if (history_[i]->GetSerial() == serial)
            return int32_t(i);
    }
    return -1;
}

CQelPlan::HistoryPtr CQelPlan::GetHistoryBySerial(int32_t serial) const
{
    return GetHistoryAt(IndexOfHistory(serial));
}

void CQelPlan::ClearHistory()
{
    // Announced so that a pane showing this plan drops its rows; serials
    // start again at 1.
    while (!history_.empty()) {
        const int32_t dropped = history_.back()->GetSerial();
        history_.pop_back();
        PostEvent(new CPlanHisDeletedEvent(id_, dropped));
    }
    newestHistory_.reset();
    historySerial_ = 0;
    undoPosition_ = 0;
}
