#pragma once
#include "frame/float_tab_ctrl_bar.h"

class CUiSplitter;
class CUiPlanManWnd;
class CUiCyclePlanManWnd;

// Sets up a page's splitter as the bar's two-pane pages have it: stacked,
// a dark 4-pixel bar, each pane at least 100 pixels, split at half.
void SetUpPageSplitter(CUiSplitter& splitter, QWidget* first, QWidget* second);

// The control bar's page for the plan and cycle-plan panes.
class CUiPlanSubWnd : public CUiCtrlBarSubWnd {
    Q_OBJECT
public:
    explicit CUiPlanSubWnd(QWidget* parent = nullptr);

    void RecalcLayout() override;

    CUiSplitter* Splitter() const { return m_pSplitter; }
    CUiPlanManWnd* PlanPane() const { return m_pPlans; }
    CUiCyclePlanManWnd* CyclePane() const { return m_pCycles; }

private:
    CUiSplitter* m_pSplitter = nullptr;
    CUiPlanManWnd* m_pPlans = nullptr;
    CUiCyclePlanManWnd* m_pCycles = nullptr;
};
