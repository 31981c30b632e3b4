#include "uikit/ui_his_sheet_ctrl.h"

CUiHisSheetCtrl::CUiHisSheetCtrl(QWidget* parent) : CUiSheetCtrl(parent) {}
