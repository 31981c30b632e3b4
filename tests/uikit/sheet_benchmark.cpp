// Times the sheet on an 800 x 600 offscreen window holding 10,000 rows of
// 8 columns with grid lines and 100 selected rows: each scroll step with
// its repaint should fit a 60 Hz frame (16 ms, worst of 100 runs); filling,
// selecting all and a Shift+click over every row should each take less
// than 100 ms. Prints the figures; it is not a test.
#include "platform/ui/init_ui.h"
#include "uikit/ui_sheet_ctrl.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRows = 10000;
constexpr int kColumns = 8;
constexpr int kColumnWidth = 150; // 1,200 pixels: the columns scroll too
constexpr int kRuns = 100;
constexpr double kFrameMs = 16.0;
constexpr double kBulkMs = 100.0;

double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

bool report(const char* what, std::vector<double> ms, double limit)
{
    std::sort(ms.begin(), ms.end());
    const double worst = ms.back();
    std::printf("%-28s runs %3zu  median %6.2f  p95 %6.2f  worst %6.2f ms  limit %3.0f ms  %s\n", what, ms.size(),
                ms[ms.size() / 2], ms[ms.size() * 95 / 100], worst, limit, worst <= limit ? "ok" : "OVER");
    return worst <= limit;
}

// `setUp` runs untimed before each run; `step` and the repaint are timed.
std::vector<double> timeSteps(CUiSheetCtrl& sheet, int runs, const std::function<void()>& setUp,
                              const std::function<void()>& step)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        setUp();
        sheet.repaint();
        const auto start = std::chrono::steady_clock::now();
        step();
        sheet.repaint();
        ms.push_back(msSince(start));
    }
    return ms;
}

void key(CUiSheetCtrl& sheet, int qtKey, Qt::KeyboardModifiers mods = {})
{
    QKeyEvent event(QEvent::KeyPress, qtKey, mods);
    QApplication::sendEvent(&sheet, &event);
}

void click(CUiSheetCtrl& sheet, QPoint at, Qt::KeyboardModifiers mods)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, sheet.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, mods);
    QApplication::sendEvent(&sheet, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, sheet.mapToGlobal(at), Qt::LeftButton, Qt::NoButton, mods);
    QApplication::sendEvent(&sheet, &release);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::initUi();

    CUiSheetCtrl sheet;
    sheet.resize(800, 600);
    sheet.SetStyle(kSheetHorzGrid | kSheetVertGrid | kSheetMultiSelect);
    sheet.show();
    QApplication::processEvents();
    for (int c = 0; c < kColumns; ++c)
        sheet.InsertColumn(c, QStringLiteral("Column %1").arg(c), 0, 0, kColumnWidth);

    bool ok = true;
    std::vector<double> fill;
    for (int run = 0; run < 5; ++run) {
        sheet.DeleteAllRows();
        const auto start = std::chrono::steady_clock::now();
        for (int r = 0; r < kRows; ++r)
            sheet.AddRow(-1, QStringLiteral("Row %1").arg(r));
        fill.push_back(msSince(start));
    }
    ok &= report("AddRow, 10,000 rows", fill, kBulkMs);
    for (int r = 0; r < kRows; ++r)
        for (int c = 1; c < kColumns; ++c)
            sheet.SetItemText(r, c, QStringLiteral("Cell %1, %2").arg(r).arg(c));
    for (int r = 0; r < kRows; r += kRows / 100)
        sheet.SelectRow(r);
    std::printf("selected rows: %zu\n", sheet.GetSelectedRows().size());

    auto none = [] {};
    ok &= report("full repaint", timeSteps(sheet, kRuns, none, [&] { sheet.update(); }), kFrameMs);
    ok &= report("one wheel notch",
                 timeSteps(
                     sheet, kRuns, [&] { sheet.OnVScroll(SB_THUMBTRACK, 500); },
                     [&] {
                         QWheelEvent wheel(QPointF(400, 300), sheet.mapToGlobal(QPointF(400, 300)), QPoint(),
                                           QPoint(0, -120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
                         QApplication::sendEvent(&sheet, &wheel);
                     }),
                 kFrameMs);
    ok &= report("Page Down",
                 timeSteps(
                     sheet, kRuns, [&] { sheet.OnVScroll(SB_TOP); }, [&] { key(sheet, Qt::Key_PageDown); }),
                 kFrameMs);
    ok &= report("End",
                 timeSteps(
                     sheet, kRuns, [&] { sheet.OnVScroll(SB_TOP); }, [&] { key(sheet, Qt::Key_End); }),
                 kFrameMs);
    ok &= report("Home",
                 timeSteps(
                     sheet, kRuns, [&] { sheet.OnVScroll(SB_BOTTOM); }, [&] { key(sheet, Qt::Key_Home); }),
                 kFrameMs);
    QScrollBar* bar = sheet.GetScrollBarCtrl(SB_VERT);
    ok &= report("thumb drag to the middle",
                 timeSteps(
                     sheet, kRuns, [&] { sheet.OnVScroll(SB_TOP); },
                     [&] {
                         bar->setSliderPosition(bar->maximum() / 2);
                         bar->triggerAction(QAbstractSlider::SliderMove);
                     }),
                 kFrameMs);
    ok &= report("one column scrolled right",
                 timeSteps(
                     sheet, kRuns, [&] { sheet.OnHScroll(SB_LEFT); }, [&] { key(sheet, Qt::Key_Right); }),
                 kFrameMs);

    ok &= report("SelectAll",
                 timeSteps(
                     sheet, 10, [&] { sheet.ClearSelection(); }, [&] { sheet.SelectAll(); }),
                 kBulkMs);
    // Row 0 clicked at the top, then Shift+click on the last row.
    ok &= report("Shift+click over all rows",
                 timeSteps(
                     sheet, 10,
                     [&] {
                         sheet.OnVScroll(SB_TOP);
                         click(sheet, QPoint(50, 30), {});
                         sheet.OnVScroll(SB_BOTTOM);
                     },
                     [&] {
                         Rect last;
                         sheet.GetRowRect(kRows - 1, last);
                         click(sheet, QPoint(50, last.top + 2), Qt::ShiftModifier);
                     }),
                 kBulkMs);
    std::printf("selected after Shift+click: %zu\n", sheet.GetSelectedRows().size());
    std::printf("%s\n", ok ? "all within their limits" : "some over their limits");
    return 0;
}
