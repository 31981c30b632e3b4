#include "frame/main_ctrl_bar.h"

#include "core/language_tr.h"
#include "frame/monitor_sub_wnd.h"
#include "frame/plan_sub_wnd.h"
#include "frame/sig_src_sub_wnd.h"
#include "frame/win_sub_wnd.h"
#include "uikit/res_path.h"

CUiMainCtrlBar::CUiMainCtrlBar(QWidget* parent) : CUiFloatTabCtrlBar(parent) {}

CUiMainCtrlBar::~CUiMainCtrlBar() = default;

bool CUiMainCtrlBar::OnCreate(int appType)
{
    if (m_pSigSrc)
        return true;
    m_pSigSrc = new CUiSigSrcSubWnd(this);
    m_pSigSrc->setObjectName(QString::number(kSigSrcPageId));
    m_pPlan = new CUiPlanSubWnd(this);
    m_pPlan->setObjectName(QString::number(kPlanPageId));
    m_pMonitor = new CUiMonitorSubWnd(this);
    m_pMonitor->setObjectName(QString::number(kMonitorPageId));
    m_pWin = new CUiWinSubWnd(this);
    m_pWin->setObjectName(QString::number(kWinPageId));
    m_pMonitor->hide();

    AddItem(kSigSrcItem, TranslateText(QStringLiteral("信号源管理")), ui::resPath("sigsrc_man.png"),
            ui::resPath("sigsrc_man_sel.png"), m_pSigSrc);
    AddItem(kPlanItem, TranslateText(QStringLiteral("方案管理")), ui::resPath("plan_man.png"),
            ui::resPath("plan_man_sel.png"), m_pPlan);
    if (appType & 1)
        AddItem(kWinItem, TranslateText(QStringLiteral("窗口")), ui::resPath("win_man.png"),
                ui::resPath("win_man_sel.png"), m_pWin);
    else
        m_pWin->hide();
    return true;
}
