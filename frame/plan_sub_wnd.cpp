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

CUiSplitSubWnd::CUiSplitSubWnd(QWidget* parent) : CUiCtrlBarSubWnd(parent)
{
    m_nMargin = 0;
    m_pSplitter = new CUiSplitter(this);
    SplitterSettings& s = m_pSplitter->Settings();
    s.orientation = 1;
    s.ratio = 0.5;
    s.thickness = kBarThickness;
    s.firstMin = kPaneMinimum;
    s.secondMin = kPaneMinimum;
    m_pSplitter->SetColours(kBarColour, kFrameColour);
    m_pSplitter->show();
}

void CUiSplitSubWnd::SetPanes(QWidget* first, QWidget* second)
{
    m_pSplitter->SetPanes(first, second);
}

void CUiSplitSubWnd::RecalcLayout()
{
    CUiCtrlBarSubWnd::RecalcLayout();
    m_pSplitter->setGeometry(ui::toQRect(InnerRect()));
}

CUiPlanSubWnd::CUiPlanSubWnd(QWidget* parent) : CUiSplitSubWnd(parent)
{
    m_pPlans = new CUiPlanManWnd(Splitter());
    m_pCycles = new CUiCyclePlanManWnd(Splitter());
    SetPanes(m_pPlans, m_pCycles);
}
