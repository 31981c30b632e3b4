#pragma once
#include "frame/float_tab_ctrl_bar.h"

// The control bar's page for the history and layer panes.
class CUiWinSubWnd : public CUiCtrlBarSubWnd {
public:
    using CUiCtrlBarSubWnd::CUiCtrlBarSubWnd;
};
