#pragma once
#include "frame/float_tab_ctrl_bar.h"

class CUiSplitter;
class CUiPlanHisWnd;
class CUiPlanWinLayerWnd;

// The control bar's page for the history and layer panes.
class CUiWinSubWnd : public CUiCtrlBarSubWnd {
    Q_OBJECT
public:
    explicit CUiWinSubWnd(QWidget* parent = nullptr);

    void RecalcLayout() override;

    CUiSplitter* Splitter() const { return m_pSplitter; }
    CUiPlanHisWnd* HistoryPane() const { return m_pHistory; }
    CUiPlanWinLayerWnd* LayerPane() const { return m_pLayers; }

private:
    CUiSplitter* m_pSplitter = nullptr;
    CUiPlanHisWnd* m_pHistory = nullptr;
    CUiPlanWinLayerWnd* m_pLayers = nullptr;
};
