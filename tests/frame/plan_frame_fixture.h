#pragma once
// The main window offscreen with the real plan and cycle-plan managers,
// plan files in a temporary main folder and the scripted modal seam, for
// the plan operations and the bar's plan, history and layer panes.
#include <QPoint>
#include <QString>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/frame/frame_window_fixture.h"

class CQelPlan;
class CQelProcessor;
class CUiCyclePlanManWnd;
class CUiPlanHisWnd;
class CUiPlanManWnd;
class CUiPlanWinLayerWnd;
class CUiSheetCtrl;

namespace plantest {

namespace fs = std::filesystem;

// The texts of one column of a pane's sheet, top to bottom.
std::vector<QString> Column(CUiSheetCtrl& sheet, int column);

QPoint RowCentre(CUiSheetCtrl& sheet, int row);

// Brings up the control bar's page of that tab (0 sources, 1 plans, 2
// windows) as the operator does.
void ShowBarPage(CMainFrame& frame, int tab);

class PlanFrame : public FrameWindowTest {
protected:
    void SetUp() override;

    // Processor 1 of a 2 x 2 wall, selected, with `sources` sources 100,
    // 101, ... of 1920 x 1080.
    std::shared_ptr<CQelProcessor> AddProcessor(int kind, int sources);

    CMainFrame& MakeFrame();

    // Every queued event, fired now.
    static void Deliver();

    // A saved plan of the processor's grid with `windows` windows side by
    // side; it stays loaded.
    static std::shared_ptr<CQelPlan> SavedPlan(const std::string& name, int windows = 0);

    static std::string PlanFile(const std::string& name);

    // The next name dialog gets `name` typed and OK, or Cancel without a
    // name; its caption is kept.
    void AnswerName(std::optional<QString> name, QString* caption = nullptr);

    // The next new-plan dialog gets the layout of that text and `name`;
    // the proposed name is kept.
    void AnswerNewPlan(const QString& name, const QString& layout, QString* proposed = nullptr);

    QString LastPrompt() const;

    void ShowPage(int tab);

    CUiPlanManWnd& PlanPane();
    CUiCyclePlanManWnd& CyclePane();
    CUiPlanHisWnd& HistoryPane();
    CUiPlanWinLayerWnd& LayerPane();

    // The tab texts, left to right.
    std::vector<QString> TabTexts() const;

    std::shared_ptr<CQelPlan> ActivePlan() const;
};

} // namespace plantest
