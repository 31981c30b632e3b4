#pragma once
#include "frame/float_tab_ctrl_bar.h"

// The control bar's page for the monitor pane.
class CUiMonitorSubWnd : public CUiCtrlBarSubWnd {
public:
    using CUiCtrlBarSubWnd::CUiCtrlBarSubWnd;
};
