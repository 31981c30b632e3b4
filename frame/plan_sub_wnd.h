#pragma once
#include "frame/float_tab_ctrl_bar.h"

// The control bar's page for the plan and cycle-plan panes.
class CUiPlanSubWnd : public CUiCtrlBarSubWnd {
public:
    using CUiCtrlBarSubWnd::CUiCtrlBarSubWnd;
};
