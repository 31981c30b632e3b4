#pragma once
// The view of a switch plan: a matrix with one row per source and one
// column per output of the processor selected when the view was made; a
// mark routes that source to that output, full screen. Clicks set and
// clear routes; the row menu and the frame's commands send, clear, save
// and save under a new name. The matrix logic is in switch_grid.h.
#include <QPoint>
#include <QWidget>
#include <memory>

#include "core/event_signals.h"
#include "platform/geometry.h"
#include "uikit/ui_sheet_ctrl.h"

class CQelPlan;
class CQelProcessor;

class CSwitchView : public QWidget {
    Q_OBJECT
public:
    // The frame's commands and the row menu's items.
    static constexpr int kCmdSave = 1002;
    static constexpr int kCmdSaveAs = 1003;
    static constexpr int kCmdSend = 1201;
    enum RowMenuItem { kMenuSend = 1, kMenuClear = 2, kMenuSave = 3, kMenuSaveAs = 4 };
    static constexpr int kSheetId = 101;
    static constexpr std::uint32_t kSheetStyle = 0x813;

    explicit CSwitchView(QWidget* parent = nullptr);
    ~CSwitchView() override;

    void SetSwitchPlan(const std::shared_ptr<CQelPlan>& plan);
    std::shared_ptr<CQelPlan> GetSwitchPlan() const { return m_pSwitchPlan; }
    // The plan's id, or 0 without one, becomes the selected plan.
    void SelectPlanInContext() const;
    void RecalcLayout();
    void BuildSwitchGrid();
    void RefreshSwitchGrid();
    int FindRowBySource(int sourceId) const;
    // Runs a frame command; false for one the view does not know.
    bool OnCommand(int id);
    CUiSheetCtrl& Sheet() { return m_sheet; }

public slots:
    void OnSave();
    void OnSaveAs();
    void OnSend();

protected:
    void OnSheetNotify(const SheetNotify& notify);
    void OnSheetClick(int row, int column);
    void OnSheetRowMenu(QPoint global);
    void OnSigSrcRename(const CSigSrcRenameEvent& event);
    void DrawBackground(QPainter& p);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Rect m_rcClient;
    std::shared_ptr<CQelPlan> m_pSwitchPlan;
    CUiSheetCtrl m_sheet;
    boost::signals2::scoped_connection m_connRename;
};
