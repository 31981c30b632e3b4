#pragma once
// The cycle-plan runner: a borderless window that applies each cell's plan
// to the current processor in turn, draws a miniature of the plan's
// windows and counts its seconds down in a title band. The tour goes on,
// minimised too, for as long as the window is open.
#include <QImage>
#include <memory>
#include <string>

#include "core/event_signals.h"
#include "dialogs/cycle_tour.h"
#include "dialogs/modal_dialog.h"
#include "platform/ui/ui_timer.h"

class CQelCyclePlan;
class CQelPlan;

class CRunCyclePlanDlg : public CModalDialog {
    Q_OBJECT
public:
    explicit CRunCyclePlanDlg(std::shared_ptr<CQelCyclePlan> cycle, QWidget* parent = nullptr);
    ~CRunCyclePlanDlg() override;

    // Moves on to the next cell: loads its plan and applies it.
    void NextCell();
    void Layout();

    const RunLayout& Rects() const { return layout_; }
    std::shared_ptr<CQelPlan> CurrentPlan() const { return plan_; }
    // What the title band shows; empty without a current plan.
    QString TitleText() const;
    bool IsTimerRunning() const { return timer_.isActive(); }

    static constexpr int kPeriodMs = 1000;
    static constexpr int kTitleAlpha = 164;

protected:
    void OnInitDialog() override;
    void OnTimer();
    void OnPaint(QPainter& dc);
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // Ends the tour with the dialog: no plan is applied once it closed.
    void done(int result) override;

private:
    void PaintTitle(QPainter& dc);

    std::shared_ptr<CQelCyclePlan> cycle_;
    CycleTour tour_;
    std::shared_ptr<CQelPlan> plan_;
    ui::UiTimer timer_;
    QImage closeImage_;
    QImage minimiseImage_;
    // The off-screen picture of the client area, painted whole and copied
    // to the screen where it needs it.
    QImage memory_;
    RunLayout layout_;
    CQelEvtSignals::Connection joinChanged_;
};
