#include "plan/plan.h"

#include <algorithm>

#include "core/event_queue.h"
#include "plan/plan_context.h"
#include "plan/rect_cover.h"

namespace {

std::string DefaultWindowName(int32_t layer)
{
    return "Win_" + std::to_string(layer);
}

// The quarter of `r` that part `part` (1 top-left, 2 top-right, 3
// bottom-left, 4 bottom-right) covers; halves round toward zero.
Rect QuarterOf(const Rect& r, int32_t part)
{
    const int64_t hw = (int64_t(r.right) - r.left) / 2;
    const int64_t hh = (int64_t(r.bottom) - r.top) / 2;
    const int64_t left = part == 2 || part == 4 ? r.left + hw : r.left;
    const int64_t top = part == 3 || part == 4 ? r.top + hh : r.top;
    return MakeRect(left, top, left + hw, top + hh);
}

} // namespace

CQelPlan::CQelPlan() = default;
CQelPlan::~CQelPlan() = default;

void CQelPlan::SetGrid(int32_t rows, int32_t cols)
{
    rows_ = rows;
    cols_ = cols;
}

void CQelPlan::SetCellSplit(int32_t cellrow, int32_t cellcol)
{
    cellrow_ = cellrow;
    cellcol_ = cellcol;
}

// --- Windows ---

void CQelPlan::AddWindow(const WindowPtr& window, const PlanSelection& selection)
{
    if (!window)
        return;
    window->id = ++windowIdCounter_;
    window->layer = GetWindowCount() + 1;
    window->name = DefaultWindowName(window->layer);
    if (window->active) {
        for (auto& w : windows_)
            w->active = false;
    }
    windows_.push_back(window);
    if (window->is4k == 1)
        Make4KParts(window, selection);
}

void CQelPlan::Make4KParts(const WindowPtr& window, const PlanSelection& selection)
{
    for (int32_t part = 1; part <= 4; ++part) {
        auto p = std::make_shared<CQelWindow>();
        p->id = window->id;
        p->layer = window->layer;
        p->name = window->name;
        p->processor = selection.processorId;
        p->sigsrc = selection.sigSrcId;
        p->is4k = part;
        p->rectView = QuarterOf(window->rectView, part);
        p->rect = QuarterOf(window->rect, part);
        parts_.push_back(std::move(p));
    }
}

void CQelPlan::Remove4KParts(int32_t windowId)
{
    std::erase_if(parts_, [windowId](const WindowPtr& p) { return p->id == windowId; });
}

void CQelPlan::RenumberLayers()
{
    std::map<int32_t, int32_t> layerOf;
    for (size_t i = 0; i < windows_.size(); ++i) {
        windows_[i]->layer = static_cast<int32_t>(i + 1);
        layerOf[windows_[i]->id] = windows_[i]->layer;
    }
    // Parts follow the window whose id they carry.
    for (auto& p : parts_) {
        auto it = layerOf.find(p->id);
        if (it != layerOf.end())
            p->layer = it->second;
    }
}

void CQelPlan::RemoveWindow(const WindowPtr& window)
{
    auto it = std::find(windows_.begin(), windows_.end(), window);
    if (!window || it == windows_.end())
        return;
    // By id, not by the flag: the view may have cleared `is4k` since the
    // parts were made, and ids are never reused.
    Remove4KParts(window->id);
    windows_.erase(it);
    LeaveGroup(window);
    RenumberLayers();
}

CQelPlan::WindowPtr CQelPlan::GetWindowAt(int32_t index) const
{
    if (index < 0 || index >= GetWindowCount())
        return nullptr;
    return windows_[size_t(index)];
}

CQelPlan::WindowPtr CQelPlan::GetWindowById(int32_t id) const
{
    for (const auto& w : windows_) {
        if (w->id == id)
            return w;
    }
    return nullptr;
}

CQelPlan::WindowPtr CQelPlan::GetSelectedWindow() const
{
    for (const auto& w : windows_) {
        if (w->active)
            return w;
    }
    return nullptr;
}

void CQelPlan::SelectWindow(const WindowPtr& window)
{
    if (!window || window->active)
        return;
    if (std::find(windows_.begin(), windows_.end(), window) == windows_.end())
        return;
    for (auto& w : windows_)
        w->active = false;
    window->active = true;
    PostEvent(new CPlanWindowEvent(id_, window->layer, CPlanWindowEvent::kSelected));
}

void CQelPlan::MoveWindowLayer(const WindowPtr& window, int32_t op)
{
    if (windows_.size() < 2 || !window)
        return;
    auto it = std::find(windows_.begin(), windows_.end(), window);
    if (it == windows_.end())
        return;
    const size_t i = size_t(it - windows_.begin());
    switch (op) {
    case kLayerDown:
        if (i > 0)
            std::swap(windows_[i], windows_[i - 1]);
        break;
    case kLayerUp:
        if (i + 1 < windows_.size())
            std::swap(windows_[i], windows_[i + 1]);
        break;
    case kLayerBottom:
        windows_.erase(it);
        windows_.insert(windows_.begin(), window);
        break;
    case kLayerTop:
        windows_.erase(it);
        windows_.push_back(window);
        break;
    default: return;
    }
    RenumberLayers();
}

void CQelPlan::MoveLayer(int32_t n, int32_t delta)
{
    const int64_t from = int64_t(n) - 1;
    const int64_t to = from + delta;
    const int64_t count = GetWindowCount();
    if (from < 0 || from >= count || to < 0 || to >= count)
        return;
    WindowPtr moved = windows_[size_t(from)];
    windows_.erase(windows_.begin() + from);
    if (to >= int64_t(windows_.size()))
        windows_.push_back(moved);
    else
        windows_.insert(windows_.begin() + to, moved);
    RenumberLayers();
}

void CQelPlan::ClearWindowsOfKind(bool logos)
{
    std::vector<int32_t> removed;
    std::erase_if(windows_, [&](const WindowPtr& w) {
        const bool match = (w->sigsrc == kLogoSigSrc) == logos;
        if (match)
            removed.push_back(w->id);
        return match;
    });
    for (int32_t id : removed)
        Remove4KParts(id);
    RemoveEmptyGroups();
    RenumberLayers();
}

void CQelPlan::CopyWindowsFrom(const CQelPlan& other)
{
    if (&other == this)
        return;
    type_ = other.type_;
    rows_ = other.rows_;
    cols_ = other.cols_;
    cellrow_ = other.cellrow_;
    cellcol_ = other.cellcol_;
    resolution_ = other.resolution_;
    margin_ = other.margin_;
    rowHeights_ = other.rowHeights_;
    columnWidths_ = other.columnWidths_;
    windowIdCounter_ = other.windowIdCounter_;
    switchMap_ = other.switchMap_;
    watchOutputs_ = other.watchOutputs_;

    // Whole copies: logos and 4K part numbers must survive a save-as.
    windows_.clear();
    for (const auto& w : other.windows_)
        windows_.push_back(std::make_shared<CQelWindow>(*w));
    parts_.clear();
    for (const auto& p : other.parts_)
        parts_.push_back(std::make_shared<CQelWindow>(*p));
    groups_.clear();
    for (const auto& g : other.groups_)
        groups_.push_back(std::make_shared<CQelGroup>(*g));
    watchWindows_.clear();
    for (const auto& ww : other.watchWindows_)
        watchWindows_.push_back(std::make_shared<CQelWatchWindow>(*ww));

    dirty_ = true;
    ClearHistory();
}

// --- Groups ---

int32_t CQelPlan::NextGroupId() const
{
    for (int32_t id = 1;; ++id) {
        if (!GetGroupById(id))
            return id;
    }
}

int32_t CQelPlan::AddGroup(const GroupPtr& group)
{
    if (!group)
        return -1;
    groups_.push_back(group);
    return GetGroupCount() - 1;
}

void CQelPlan::RemoveGroup(int32_t id)
{
    auto it = std::find_if(groups_.begin(), groups_.end(), [id](const GroupPtr& g) { return g->id == id; });
    if (it != groups_.end())
        groups_.erase(it);
}

CQelPlan::GroupPtr CQelPlan::GetGroupAt(int32_t index) const
{
    if (index < 0 || index >= GetGroupCount())
        return nullptr;
    return groups_[size_t(index)];
}

CQelPlan::GroupPtr CQelPlan::GetGroupById(int32_t id) const
{
    for (const auto& g : groups_) {
        if (g->id == id)
            return g;
    }
    return nullptr;
}

void CQelPlan::GetGroupWindows(int32_t id, WindowList& out) const
{
    for (const auto& w : windows_) {
        if (w->group == id)
            out.push_back(w);
    }
}

void CQelPlan::LeaveGroup(const WindowPtr& window)
{
    if (!window || window->group == 0)
        return;
    const int32_t id = window->group;
    window->group = 0;
    const bool used =
        std::any_of(windows_.begin(), windows_.end(), [id](const WindowPtr& w) { return w->group == id; });
    if (!used)
        RemoveGroup(id);
}

void CQelPlan::RemoveEmptyGroups()
{
    std::erase_if(groups_, [this](const GroupPtr& g) {
        return std::none_of(windows_.begin(), windows_.end(), [&g](const WindowPtr& w) { return w->group == g->id; });
    });
}

// --- Watch windows ---

void CQelPlan::BuildWatchWindows(const std::vector<int32_t>& outputs, const PlanSelection& selection)
{
    watchOutputs_ = outputs;
    std::erase_if(watchWindows_, [&outputs](const WatchPtr& ww) {
        return std::find(outputs.begin(), outputs.end(), ww->sigout) == outputs.end();
    });
    if (!selection.placement)
        return;
    for (int32_t output : outputs) {
        auto ww = std::make_shared<CQelWatchWindow>();
        ww->processor = selection.processorId;
        ww->sigout = output;
        CellGrid::Reset(*ww, 1, 1);
        AddWatchWindow(ww);
    }
}

bool CQelPlan::AddWatchWindow(const WatchPtr& window)
{
    if (!window)
        return false;
    if (std::find(watchOutputs_.begin(), watchOutputs_.end(), window->sigout) == watchOutputs_.end())
        return false;
    for (auto& ww : watchWindows_) {
        if (ww->sigout == window->sigout) {
            ww = window;
            return true;
        }
    }
    watchWindows_.push_back(window);
    return true;
}

CQelPlan::WatchPtr CQelPlan::GetWatchWindowById(int32_t outputId) const
{
    for (const auto& ww : watchWindows_) {
        if (ww->sigout == outputId)
            return ww;
    }
    return nullptr;
}

// --- Switch map ---

bool CQelPlan::SetSwitch(int32_t output, int32_t input)
{
    if (output == -1)
        return false;
    if (input == -1)
        switchMap_.erase(output);
    else
        switchMap_[output] = input;
    dirty_ = true;
    return true;
}

int32_t CQelPlan::GetSwitch(int32_t output) const
{
    auto it = switchMap_.find(output);
    return it == switchMap_.end() ? -1 : it->second;
}
