#include "frame/plan_sub_wnd.h"

#include "frame/plan_man_wnd.h"
#include "platform/ui/rect_convert.h"
#include "uikit/ui_splitter.h"

namespace {
constexpr ui::ColorRef kBarColour = ui::rgb(0x3D, 0x3D, 0x3D);
constexpr ui::ColorRef kFrameColour = ui::rgb(255, 255, 255);
constexpr int kBarThickness = 4;
constexpr int kPaneMinimum = 100;
} // namespace

void SetUpPageSplitter(CUiSplitter& splitter, QWidget* first, QWidget* second)
{
    SplitterSettings& s = splitter.Settings();
    s.orientation = 1;
    s.ratio = 0.5;
    s.thickness = kBarThickness;
    s.firstMin = kPaneMinimum;
    s.secondMin = kPaneMinimum;
    splitter.SetColours(kBarColour, kFrameColour);
    splitter.SetPanes(first, second);
    splitter.show();
}

CUiPlanSubWnd::CUiPlanSubWnd(QWidget* parent) : CUiCtrlBarSubWnd(parent)
{
    m_nMargin = 0;
    m_pSplitter = new CUiSplitter(this);
    m_pPlans = new CUiPlanManWnd(m_pSplitter);
    m_pCycles = new CUiCyclePlanManWnd(m_pSplitter);
    SetUpPageSplitter(*m_pSplitter, m_pPlans, m_pCycles);
}

void CUiPlanSubWnd::RecalcLayout()
{
    CUiCtrlBarSubWnd::RecalcLayout();
    if (m_pSplitter)
        m_pSplitter->setGeometry(ui::toQRect(InnerRect()));
}
