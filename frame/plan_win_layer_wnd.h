#pragma once
// The window layer pane: the selected plan's windows in layer order. A
// click selects a window (and flips its lock on the lock icon); dragging
// a row moves the window through the layers.
#include <array>
#include <cstdint>
#include <memory>

#include "core/event_signals.h"
#include "frame/titled_pane.h"
#include "uikit/ui_layer_sheet_ctrl.h"

class CQelPlan;

class CUiPlanWinLayerWnd : public CUiPlanPane {
    Q_OBJECT
public:
    explicit CUiPlanWinLayerWnd(QWidget* parent = nullptr);
    ~CUiPlanWinLayerWnd() override;

    CUiLayerSheetCtrl& Sheet() { return m_sheet; }

    // Shows the context's selected plan: one row per window.
    void Fill();
    void OnPlanSelChanged(const CPlanSelChangedEvent& event);
    void OnSigSrcChanged();
    void OnPlanWindow(const CPlanWindowEvent& event);
    void OnPlanHisAdded(const CPlanHisAddedEvent& event);
    void OnPlanHisRecovered(const CPlanHisRecoveredEvent& event);

private:
    void OnRowClicked(int row, int x, int y);
    void OnRowMoved(int from, int to);
    void RepaintRows();

    CUiLayerSheetCtrl m_sheet;
    std::array<CQelEvtSignals::Connection, 6> m_connections;
};
