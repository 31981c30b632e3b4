#pragma once
// The plan list pane and the cycle-plan list pane of the control bar's
// plan page. The plan pane follows the plan manager's list through its
// event and hands every operation to the main frame.
#include <string>
#include <vector>

#include "core/event_signals.h"
#include "frame/titled_pane.h"
#include "uikit/ui_sheet_ctrl.h"

// The two list panes' sheet: "序号" and "名称" columns, row numbers from 1.
class CUiListPane : public CUiTitledPane {
    Q_OBJECT
public:
    static constexpr int kNumberWidth = 40;

    CUiListPane(const QString& title, int nameWidth, QWidget* parent);
    CUiSheetCtrl& Sheet() { return m_sheet; }
    // Rows "1", "2", ... with the names, in order.
    void FillNames(const std::vector<std::string>& names);

protected:
    // The names of the selected rows, in row order.
    std::vector<std::string> SelectedNames() const;
    std::string NameAt(int row) const;
    virtual void OnSheetNotify(const SheetNotify& notify) = 0;

    CUiSheetCtrl m_sheet;
};

class CUiPlanManWnd : public CUiListPane {
    Q_OBJECT
public:
    enum : int { kNewPlan = 102, kOpenPlan = 103, kRenamePlan = 104, kDeletePlan = 105 };

    explicit CUiPlanManWnd(QWidget* parent = nullptr);
    ~CUiPlanManWnd() override;

    void OnPlanListChanged(const CPlanListChangedEvent& event);
    void FillRows();

protected:
    void OnCommand(int id) override;
    void OnSheetNotify(const SheetNotify& notify) override;

private:
    CQelEvtSignals::Connection m_connection;
};

class CUiCyclePlanManWnd : public CUiListPane {
    Q_OBJECT
public:
    enum : int { kNewCycle = 102, kEditCycle = 103, kRunCycle = 104, kDeleteCycle = 105 };

    explicit CUiCyclePlanManWnd(QWidget* parent = nullptr);

    void FillRows();

protected:
    void OnCommand(int id) override;
    void OnSheetNotify(const SheetNotify& notify) override;
};
