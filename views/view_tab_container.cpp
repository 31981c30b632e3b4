#include "views/view_tab_container.h"

#include <QResizeEvent>

#include "context/context.h"
#include "plan/plan.h"
#include "plan/plan_manager.h"
#include "platform/ui/rect_convert.h"
#include "uikit/res_path.h"
#include "views/modal_plan_prompts.h"
#include "views/multi_screen_view.h"
#include "views/switch_view.h"
#include "views/view_manager.h"

namespace {

void SelectViewPlan(QWidget* view)
{
    switch (CViewManager::GetViewKind(view)) {
    case kViewWall: static_cast<CMultiScreenView*>(view)->SelectPlanInContext(); break;
    case kViewSwitch: static_cast<CSwitchView*>(view)->SelectPlanInContext(); break;
    default: break;
    }
}

} // namespace

TabContainerLayout LayOutTabContainer(const Rect& client)
{
    const int64_t bottom = std::max(client.top, client.bottom);
    const int split = int(std::min<int64_t>(int64_t(client.top) + TabContainerLayout::kTabHeight, bottom));
    return TabContainerLayout{Rect{client.left, client.top, client.right, split},
                              Rect{client.left, split, client.right, int(bottom)}};
}

CViewTabContainer::CViewTabContainer(QWidget* parent) : QWidget(parent), m_tabs(this)
{
    m_tabs.setObjectName(QStringLiteral("ViewTabs"));
    m_tabs.SetCloseButtonImage(ui::resPath("tab_close_btn.png"));
    m_tabs.SetMenuButtonImage(ui::resPath("tab_pop_menu.png"));
    m_tabs.show();
    connect(&m_tabs, &CUiTabWnd::notify, this, &CViewTabContainer::OnTabNotify);
}

CViewTabContainer::~CViewTabContainer()
{
    // The views outlive the container: they go back to the manager before
    // the container's children are deleted.
    disconnect(&m_tabs, nullptr, this, nullptr);
    auto& manager = CViewManager::get_instance();
    manager.HideView(m_pCurrentView);
    m_pCurrentView = nullptr;
    auto views = std::move(m_views);
    m_views.clear();
    for (auto& [id, view] : views)
        manager.HideView(view);
}

QWidget* CViewTabContainer::RecordedView(unsigned id) const
{
    const auto found = m_views.find(id);
    return found == m_views.end() ? nullptr : found->second.data();
}

std::shared_ptr<CQelPlan> CViewTabContainer::PlanOfView(QWidget* view)
{
    switch (CViewManager::GetViewKind(view)) {
    case kViewWall: return static_cast<CMultiScreenView*>(view)->GetPlan();
    case kViewSwitch: return static_cast<CSwitchView*>(view)->GetSwitchPlan();
    default: return nullptr;
    }
}

void CViewTabContainer::ReleaseCurrentView()
{
    if (m_pCurrentView)
        CViewManager::get_instance().HideView(m_pCurrentView);
    m_pCurrentView = nullptr;
}

bool CViewTabContainer::AddView(unsigned id, const QString& text, QWidget* view)
{
    ReleaseCurrentView();
    m_views[id] = view;
    SelectViewPlan(view);
    const int index = m_tabs.AddTab(int(id), text);
    if (index < 0)
        return false;
    m_tabs.SelectTab(index);
    return true;
}

void CViewTabContainer::ShowHomeView(QWidget* view)
{
    if (m_pCurrentView && m_pCurrentView != view)
        ReleaseCurrentView();
    m_pHomeView = view;
    m_pCurrentView = view;
    if (view) {
        if (view->parentWidget() != this)
            view->setParent(this);
        if (!view->isVisible())
            view->show();
    }
    LayoutChildren();
}

int CViewTabContainer::LayoutChildren()
{
    const TabContainerLayout layout = LayOutTabContainer(Rect{0, 0, width(), height()});
    m_rcTab = layout.tabs;
    m_rcView = layout.view;
    int moved = 0;
    const auto place = [&moved](QWidget* widget, const Rect& rect) {
        const QRect target = ui::toQRect(rect);
        if (widget->geometry() != target) {
            widget->setGeometry(target);
            ++moved;
        }
    };
    place(&m_tabs, m_rcTab);
    if (m_pCurrentView)
        place(m_pCurrentView, m_rcView);
    return moved;
}

QWidget* CViewTabContainer::FindPlanView(const std::string& name) const
{
    for (const auto& [id, view] : m_views) {
        const auto plan = PlanOfView(view);
        if (plan && plan->GetName() == name)
            return view;
    }
    return nullptr;
}

void CViewTabContainer::SelectTab(unsigned id)
{
    const int index = m_tabs.Geometry().IndexOfId(int(id));
    if (index >= 0)
        m_tabs.SelectTab(index);
}

void CViewTabContainer::SetTabText(unsigned id, const QString& text)
{
    const int index = m_tabs.Geometry().IndexOfId(int(id));
    if (index >= 0)
        m_tabs.SetTabText(index, text);
}

void CViewTabContainer::SaveModifiedPlans()
{
    const auto manager = CQelContext::GetPlanMan();
    for (const auto& [id, view] : m_views) {
        const auto plan = PlanOfView(view);
        if (plan && plan->IsDirty())
            SavePlanTelling(*manager, plan, ModalPlanPrompts(this));
    }
}

void CViewTabContainer::CloseAll()
{
    const auto manager = CQelContext::GetPlanMan();
    // A prompt's nested loop may run the strip; walk a copy.
    const auto views = m_views;
    for (const auto& [id, view] : views) {
        const auto plan = PlanOfView(view);
        if (plan && plan->IsDirty())
            ResolveUnsavedPlan(*manager, plan, ModalPlanPrompts(this));
    }
}

QWidget* CViewTabContainer::SetWndParent(QWidget* wnd, QWidget* newParent)
{
    if (!wnd)
        return nullptr;
    QWidget* previous = wnd->parentWidget();
    const bool shown = wnd->isVisible();
    wnd->setParent(newParent);
    // Reparenting hides a widget; the window keeps its state.
    if (shown)
        wnd->show();
    return previous;
}

void CViewTabContainer::OnTabNotify(const ui::Notify& notify)
{
    switch (notify.code) {
    case CUiTabWnd::NotifySelected: OnSelChanged(); break;
    case CUiTabWnd::NotifyClosing: OnCloseTab(notify.p0); break;
    default: break; // a tab added or removed: nothing to do
    }
}

void CViewTabContainer::OnSelChanged()
{
    ReleaseCurrentView();
    const auto tab = m_tabs.GetTab(m_tabs.Selected());
    const auto found = tab ? m_views.find(unsigned(tab->id)) : m_views.end();
    if (found != m_views.end() && found->second) {
        m_pCurrentView = found->second;
        SelectViewPlan(m_pCurrentView);
    }
    if (!m_pCurrentView) {
        m_pCurrentView = m_pHomeView;
        CQelContext::SetSelPlan(0);
    }
    if (m_pCurrentView) {
        if (m_pCurrentView->parentWidget() != this)
            m_pCurrentView->setParent(this);
        if (!m_pCurrentView->isVisible())
            m_pCurrentView->show();
    }
    LayoutChildren();
}

void CViewTabContainer::OnCloseTab(int index)
{
    const auto tab = m_tabs.GetTab(index);
    const unsigned id = tab ? unsigned(tab->id) : 0;
    const auto found = m_views.find(id);
    if (found == m_views.end())
        return;
    const QPointer<QWidget> view = found->second;
    m_views.erase(found);
    if (const auto plan = PlanOfView(view))
        DisposeClosingPlan(*CQelContext::GetPlanMan(), plan, ModalPlanPrompts(this));
}

void CViewTabContainer::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayoutChildren();
}
