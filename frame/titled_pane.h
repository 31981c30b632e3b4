#pragma once
// The look the control bar's list panes share: a 24-pixel title band with
// the title on the left and small image buttons on the right, above a
// sheet filling the rest, whose last column takes the width left.
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/geometry.h"
#include "platform/ui/colour.h"

class CMainFrame;
class CQelPlan;
class CUiButton;
class CUiSheetCtrl;
class QPainter;

namespace panelook {
inline constexpr int kBandHeight = 24;
inline constexpr ui::ColorRef kBandColour = ui::rgb(0xCE, 0xCB, 0xBA);
inline constexpr ui::ColorRef kTitleColour = ui::rgb(0, 0, 0);
inline constexpr ui::ColorRef kLineColour = ui::rgb(0x80, 0x80, 0x80);
inline constexpr int kButtonSize = 20;
inline constexpr int kButtonRightGap = 6;
inline constexpr int kButtonGap = 3;
inline constexpr int kTitleIndent = 4;
inline constexpr int kScrollBarRoom = 18;
inline constexpr int kSheetId = 101;

// Where `count` title buttons go, left to right, in a pane `width` wide:
// the last ends kButtonRightGap from the right edge, each one kButtonGap
// before the next, all centred on the band's middle line.
std::vector<Rect> TitleButtonRects(int width, int count);
// The width the filling column gets: the pane's width less the other
// columns' `fixed` width, less room for the scroll bar when the rows do
// not all fit.
int FillColumnWidth(int width, int fixed, bool allRowsFit);
// The panes' sheet set-up: style flags, header height (0 none), row height
// and the shared 12-pixel font for header and rows.
void SetUpSheet(CUiSheetCtrl& sheet, std::uint32_t style, int headerHeight, int rowHeight);
} // namespace panelook

// The main frame a pane works for: an ancestor, or the application's main
// frame while the page floats; null when there is none.
CMainFrame* PaneMainFrame(const QWidget* pane);

class CUiTitledPane : public QWidget {
    Q_OBJECT
public:
    explicit CUiTitledPane(const QString& title, QWidget* parent = nullptr);

    CUiButton* Button(int id) const;
    const QString& Title() const { return m_strTitle; }

    ui::ColorRef m_clrBand = panelook::kBandColour;
    ui::ColorRef m_clrTitle = panelook::kTitleColour;
    ui::ColorRef m_clrLine = panelook::kLineColour;
    int m_nBandHeight = panelook::kBandHeight;

protected:
    // The sheet and its filling column, whose width is the pane's less
    // `fixedWidth` (the other columns).
    void SetSheet(CUiSheetCtrl* sheet, int fillColumn, int fixedWidth);
    // Appends a title button: translated tip, image from the resources.
    CUiButton* AddButton(int id, const char* tip, const char* image);
    // Places the buttons and the sheet, then fits the filling column.
    void RecalcLayout();
    void FitColumn();
    // Every button click, with the button's id.
    virtual void OnCommand(int id) = 0;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QString m_strTitle;
    CUiSheetCtrl* m_pSheet = nullptr;
    int m_nFillColumn = 0;
    int m_nFixedWidth = 0;
    std::vector<CUiButton*> m_buttons;
};

// A pane that follows one plan, by id: the context's selected plan when it
// last loaded.
class CUiPlanPane : public CUiTitledPane {
    Q_OBJECT
public:
    using CUiTitledPane::CUiTitledPane;
    int32_t PlanId() const { return m_nPlanId; }

protected:
    // The followed plan; null when none is or it is gone.
    std::shared_ptr<CQelPlan> Plan() const;
    void OnCommand(int) override {}

    int32_t m_nPlanId = 0;
};
