#pragma once
#include "uikit/ui_sheet_ctrl.h"

#include <QImage>
#include <memory>

class CQelPlan;

// The sheet of the window-layer pane: row n shows the plan's window n with
// its lock icon, a miniature of its place on the wall, its name, source and
// rectangle. Rows without a window are painted as in the plain sheet.
class CUiLayerSheetCtrl : public CUiSheetCtrl {
    Q_OBJECT
public:
    // Loads the lock strip "res/lock.png" of the system folder: two square
    // icons side by side, locked first.
    explicit CUiLayerSheetCtrl(QWidget* parent = nullptr);
    ~CUiLayerSheetCtrl() override;

    void SetPlan(std::shared_ptr<CQelPlan> plan);
    const std::shared_ptr<CQelPlan>& GetPlan() const { return plan_; }
    // The row whose lock icon holds the point; -1 when none or without an
    // icon.
    int HitTestLockIcon(int x, int y) const;

protected:
    void PaintCell(SheetPaintRecord& record) override;

private:
    int IconSize() const { return lock_.isNull() ? 0 : lock_.height(); }

    std::shared_ptr<CQelPlan> plan_;
    QImage lock_;
};
