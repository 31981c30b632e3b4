#pragma once
// The main frame's client area: a tab strip on top and, below it, the view
// of the current tab, or the home view (the navigation view) when no tab
// is current. Each open plan is a tab whose view is a wall view or a switch
// view. Views are not owned: they come from the view manager and go back to
// it, hidden, when they leave. Selecting a tab makes its plan the selected
// plan; closing a tab, and closing the program, ask about unsaved plans.
#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>
#include <string>

#include "platform/geometry.h"
#include "platform/ui/notify.h"
#include "uikit/ui_tab_wnd.h"

class CQelPlan;

// Where the strip and the view go in a client rectangle.
struct TabContainerLayout {
    static constexpr int kTabHeight = 24;
    Rect tabs;
    Rect view;
};
TabContainerLayout LayOutTabContainer(const Rect& client);

class CViewTabContainer : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTabStripId = 101;

    explicit CViewTabContainer(QWidget* parent = nullptr);
    ~CViewTabContainer() override;

    // Hides the current view, records the view under the id and makes its
    // plan the selected one, then adds and selects its tab. False when the
    // strip refuses the tab; the view stays recorded but is not shown.
    virtual bool AddView(unsigned id, const QString& text, QWidget* view);
    virtual void ShowHomeView(QWidget* view);
    // Places the strip and the current view, each only when its rectangle
    // changed; the number of widgets moved.
    virtual int LayoutChildren();

    // The view of a tab showing the plan of that name; null when none.
    QWidget* FindPlanView(const std::string& name) const;
    void SelectTab(unsigned id);
    void SetTabText(unsigned id, const QString& text);
    // Saves every modified plan of a tab without asking.
    void SaveModifiedPlans();
    // Asks about every modified plan, in tab-id order: yes saves it, no
    // drops it from the loaded plans. Closes nothing.
    void CloseAll();
    // Moves wnd under newParent (top level when null), keeping it shown
    // when it was; the previous parent.
    static QWidget* SetWndParent(QWidget* wnd, QWidget* newParent);

    // The plan a wall or switch view shows; empty for other widgets.
    static std::shared_ptr<CQelPlan> PlanOfView(QWidget* view);

    CUiTabWnd& Tabs() { return m_tabs; }
    QWidget* CurrentView() const { return m_pCurrentView; }
    QWidget* HomeView() const { return m_pHomeView; }
    QWidget* RecordedView(unsigned id) const;
    const Rect& TabRect() const { return m_rcTab; }
    const Rect& ViewRect() const { return m_rcView; }

protected:
    void OnTabNotify(const ui::Notify& notify);
    void OnSelChanged();
    void OnCloseTab(int index);

    void resizeEvent(QResizeEvent* event) override;

private:
    void ReleaseCurrentView();

    CUiTabWnd m_tabs;
    Rect m_rcTab;
    Rect m_rcView;
    QPointer<QWidget> m_pCurrentView;
    QPointer<QWidget> m_pHomeView;
    std::map<unsigned, QPointer<QWidget>> m_views;
};
