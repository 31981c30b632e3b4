#pragma once
#include "frame/float_tab_ctrl_bar.h"

class CUiSplitter;
class CUiPlanManWnd;
class CUiCyclePlanManWnd;

// A bar page of two panes, one above the other, split by a dark 4-pixel
// bar at half; each pane keeps at least 100 pixels. No margin.
class CUiSplitSubWnd : public CUiCtrlBarSubWnd {
    Q_OBJECT
public:
    explicit CUiSplitSubWnd(QWidget* parent = nullptr);

    void RecalcLayout() override;
    CUiSplitter* Splitter() const { return m_pSplitter; }

protected:
    // The panes, made as children of Splitter().
    void SetPanes(QWidget* first, QWidget* second);

private:
    CUiSplitter* m_pSplitter = nullptr;
};

// The control bar's page for the plan and cycle-plan panes.
class CUiPlanSubWnd : public CUiSplitSubWnd {
    Q_OBJECT
public:
    explicit CUiPlanSubWnd(QWidget* parent = nullptr);

    CUiPlanManWnd* PlanPane() const { return m_pPlans; }
    CUiCyclePlanManWnd* CyclePane() const { return m_pCycles; }

private:
    CUiPlanManWnd* m_pPlans = nullptr;
    CUiCyclePlanManWnd* m_pCycles = nullptr;
};
