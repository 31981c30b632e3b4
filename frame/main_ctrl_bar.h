#pragma once
// The main window's control bar with its four pages: signal sources,
// plans, monitor (no tab) and windows (only for the wall editor).
#include "frame/float_tab_ctrl_bar.h"

class CUiSigSrcSubWnd;
class CUiPlanSubWnd;
class CUiMonitorSubWnd;
class CUiWinSubWnd;

class CUiMainCtrlBar : public CUiFloatTabCtrlBar {
    Q_OBJECT
public:
    static constexpr uint32_t kSigSrcItem = 1;
    static constexpr uint32_t kPlanItem = 2;
    static constexpr uint32_t kWinItem = 5;
    static constexpr int kSigSrcPageId = 101;
    static constexpr int kPlanPageId = 102;
    static constexpr int kMonitorPageId = 103;
    static constexpr int kWinPageId = 104;

    explicit CUiMainCtrlBar(QWidget* parent = nullptr);
    ~CUiMainCtrlBar() override;

    // The bar's creation, then its pages and their tabs; the windows tab
    // only when `appType` has bit 0 set.
    bool OnCreate(int appType);

    CUiSigSrcSubWnd* SigSrcPage() const { return m_pSigSrc; }
    CUiPlanSubWnd* PlanPage() const { return m_pPlan; }
    CUiMonitorSubWnd* MonitorPage() const { return m_pMonitor; }
    CUiWinSubWnd* WinPage() const { return m_pWin; }

private:
    CUiSigSrcSubWnd* m_pSigSrc = nullptr;
    CUiPlanSubWnd* m_pPlan = nullptr;
    CUiMonitorSubWnd* m_pMonitor = nullptr;
    CUiWinSubWnd* m_pWin = nullptr;
};
