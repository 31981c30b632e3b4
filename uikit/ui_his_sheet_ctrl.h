#pragma once
#include "uikit/ui_sheet_ctrl.h"

// The sheet of the plan history pane: the plain sheet under a name of its
// own, so the pane's look can single it out.
class CUiHisSheetCtrl : public CUiSheetCtrl {
    Q_OBJECT
public:
    explicit CUiHisSheetCtrl(QWidget* parent = nullptr);
};
