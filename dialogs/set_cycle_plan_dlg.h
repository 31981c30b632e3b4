#pragma once
// The cycle-plan editor: a name, the list of saved plans and the cycle
// list. Plans join the cycle by a double click or by dragging them over;
// the cycle list's rows are deleted and cleared from its context menu,
// reordered by dragging and given seconds in place. The cells change at
// once; the name, the manager's list and the ".cycle" file only on "保存".
#include <memory>
#include <string>

#include "dialogs/modal_dialog.h"
#include "uikit/sheet_core.h"

class CQelCyclePlan;
class CUiEditSheetCtrl;
class CUiSheetCtrl;
class CUiStatic;
class QLabel;
class QLineEdit;

class CSetCyclePlanDlg : public CModalDialog {
    Q_OBJECT
public:
    // A cycle plan with an empty name is a new one.
    CSetCyclePlanDlg(QWidget* parent, std::shared_ptr<CQelCyclePlan> cycle);
    ~CSetCyclePlanDlg() override;

    // Appends a cell of the saved plan to the cycle plan and its row to the
    // cycle list; nothing for a plan that is no longer saved.
    void AddPlanCell(const std::string& planName);

    QLineEdit* NameEdit() const { return nameEdit_; }
    QPushButton* SaveButton() const { return ok_; }
    CUiSheetCtrl* PlanList() const { return planList_; }
    CUiEditSheetCtrl* CycleList() const { return cycleList_; }
    // The plan being dragged; empty when no drag is under way.
    const std::string& DragName() const { return dragName_; }

    // Control ids, as object names.
    enum : int {
        kNameLabel = 1022,
        kNameEdit = 1023,
        kPlanHeading = 1027,
        kCycleHeading = 1028,
        kSave = 1033,
        kPlanList = 101,
        kCycleList = 102,
    };
    enum : int { kCmdDelete = 1, kCmdClear = 2 };

protected:
    void OnInitDialog() override;
    void OnOK() override { OnBnClickedSave(); }
    void OnBnClickedSave();
    // The drag from the plan list, seen before the widgets see the mouse.
    bool PreTranslateMessage(QObject* watched, QEvent* event);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void OnPlanListNotify(const SheetNotify& notify);
    void OnCycleListNotify(const SheetNotify& notify);
    void OnCycleContextMenu(const SheetNotify& notify);
    void OnSecondsCommitted(int row);
    void EndDrag();

    std::shared_ptr<CQelCyclePlan> cycle_;
    std::string dragName_;
    QLabel* nameLabel_ = nullptr;
    QLineEdit* nameEdit_ = nullptr;
    CUiStatic* planHeading_ = nullptr;
    CUiStatic* cycleHeading_ = nullptr;
    CUiSheetCtrl* planList_ = nullptr;
    CUiEditSheetCtrl* cycleList_ = nullptr;
};
