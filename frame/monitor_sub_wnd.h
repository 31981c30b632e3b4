#pragma once
#include "frame/float_tab_ctrl_bar.h"

class QTreeWidget;

// The control bar's monitor page: a fixed tree of the matrix inputs. The
// bar makes it but gives it no tab.
class CUiMonitorSubWnd : public CUiCtrlBarSubWnd {
    Q_OBJECT
public:
    static constexpr int kMatrixCount = 20;

    explicit CUiMonitorSubWnd(QWidget* parent = nullptr);

    void RecalcLayout() override;
    QTreeWidget* Tree() const { return m_pTree; }

private:
    QTreeWidget* m_pTree = nullptr;
};
