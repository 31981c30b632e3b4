#pragma once
// The history pane: the undo entries of the selected plan by action name;
// a double click restores one, and the entries after the restored one are
// greyed.
#include <array>
#include <cstdint>
#include <memory>

#include "core/event_signals.h"
#include "frame/titled_pane.h"
#include "uikit/ui_his_sheet_ctrl.h"

class CQelPlan;

class CUiPlanHisWnd : public CUiPlanPane {
    Q_OBJECT
public:
    static constexpr ui::ColorRef kLaterEntryColour = ui::rgb(0x84, 0x84, 0x84);
    static constexpr ui::ColorRef kEntryColour = ui::rgb(0, 0, 0);

    explicit CUiPlanHisWnd(QWidget* parent = nullptr);
    ~CUiPlanHisWnd() override;

    CUiHisSheetCtrl& Sheet() { return m_sheet; }

    // Shows the context's selected plan.
    void Load();
    void OnPlanSelChanged(const CPlanSelChangedEvent& event);
    void OnPlanHisAdded(const CPlanHisAddedEvent& event);
    void OnPlanHisDeleted(const CPlanHisDeletedEvent& event);
    void OnPlanHisRecovered(const CPlanHisRecoveredEvent& event);

private:
    void ColourRows(const CQelPlan& plan);
    int RowOfSerial(int32_t serial) const;

    CUiHisSheetCtrl m_sheet;
    std::array<CQelEvtSignals::Connection, 4> m_connections;
};
