#pragma once
#include "frame/float_tab_ctrl_bar.h"

// The control bar's page for the signal-source tree.
class CUiSigSrcSubWnd : public CUiCtrlBarSubWnd {
public:
    using CUiCtrlBarSubWnd::CUiCtrlBarSubWnd;
};
