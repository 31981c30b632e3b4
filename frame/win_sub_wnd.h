#pragma once
#include "frame/plan_sub_wnd.h"

class CUiPlanHisWnd;
class CUiPlanWinLayerWnd;

// The control bar's page for the history and layer panes.
class CUiWinSubWnd : public CUiSplitSubWnd {
    Q_OBJECT
public:
    explicit CUiWinSubWnd(QWidget* parent = nullptr);

    CUiPlanHisWnd* HistoryPane() const { return m_pHistory; }
    CUiPlanWinLayerWnd* LayerPane() const { return m_pLayers; }

private:
    CUiPlanHisWnd* m_pHistory = nullptr;
    CUiPlanWinLayerWnd* m_pLayers = nullptr;
};
