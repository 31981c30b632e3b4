#include "frame/win_sub_wnd.h"

#include "frame/plan_his_wnd.h"
#include "frame/plan_sub_wnd.h"
#include "frame/plan_win_layer_wnd.h"
#include "platform/ui/rect_convert.h"
#include "uikit/ui_splitter.h"

CUiWinSubWnd::CUiWinSubWnd(QWidget* parent) : CUiCtrlBarSubWnd(parent)
{
    m_nMargin = 0;
    m_pSplitter = new CUiSplitter(this);
    m_pHistory = new CUiPlanHisWnd(m_pSplitter);
    m_pLayers = new CUiPlanWinLayerWnd(m_pSplitter);
    SetUpPageSplitter(*m_pSplitter, m_pHistory, m_pLayers);
}

void CUiWinSubWnd::RecalcLayout()
{
    CUiCtrlBarSubWnd::RecalcLayout();
    if (m_pSplitter)
        m_pSplitter->setGeometry(ui::toQRect(InnerRect()));
}
