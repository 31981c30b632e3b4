#include "frame/win_sub_wnd.h"

#include "frame/plan_his_wnd.h"
#include "frame/plan_win_layer_wnd.h"
#include "uikit/ui_splitter.h"

CUiWinSubWnd::CUiWinSubWnd(QWidget* parent) : CUiSplitSubWnd(parent)
{
    m_pHistory = new CUiPlanHisWnd(Splitter());
    m_pLayers = new CUiPlanWinLayerWnd(Splitter());
    SetPanes(m_pHistory, m_pLayers);
}
