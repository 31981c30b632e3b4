#include "frame/titled_pane.h"

#include <QApplication>
#include <QPainter>

#include "context/context.h"
#include "core/language_tr.h"
#include "frame/main_frame.h"
#include "plan/plan_manager.h"
#include "platform/ui/gdi_paint.h"
#include "platform/ui/rect_convert.h"
#include "uikit/res_path.h"
#include "uikit/ui_button.h"
#include "uikit/ui_resource_cache.h"
#include "uikit/ui_sheet_ctrl.h"

namespace panelook {

std::vector<Rect> TitleButtonRects(int width, int count)
{
    std::vector<Rect> rects(size_t(std::max(count, 0)));
    const int top = kBandHeight / 2 - kButtonSize / 2;
    int right = width - kButtonRightGap;
    for (int i = count - 1; i >= 0; --i) {
        rects[size_t(i)] = Rect{right - kButtonSize, top, right, top + kButtonSize};
        right -= kButtonSize + kButtonGap;
    }
    return rects;
}

int FillColumnWidth(int width, int fixed, bool allRowsFit)
{
    return width - fixed - (allRowsFit ? 0 : kScrollBarRoom);
}

void SetUpSheet(CUiSheetCtrl& sheet, std::uint32_t style, int headerHeight, int rowHeight)
{
    sheet.SetStyle(style);
    sheet.SetHeaderHeight(headerHeight);
    sheet.SetDefaultRowHeight(rowHeight);
    sheet.SetHeaderFont(GetUiFont12());
    sheet.SetItemFont(GetUiFont12());
}

} // namespace panelook

CMainFrame* PaneMainFrame(const QWidget* pane)
{
    for (const QWidget* w = pane; w; w = w->parentWidget())
        if (auto* frame = qobject_cast<CMainFrame*>(const_cast<QWidget*>(w)))
            return frame;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* frame = qobject_cast<CMainFrame*>(w))
            return frame;
    return nullptr;
}

CUiTitledPane::CUiTitledPane(const QString& title, QWidget* parent) : QWidget(parent), m_strTitle(title)
{
    setAttribute(Qt::WA_OpaquePaintEvent); // the band and the sheet cover everything
}

CUiButton* CUiTitledPane::Button(int id) const
{
    for (CUiButton* button : m_buttons)
        if (button->Id() == id)
            return button;
    return nullptr;
}

void CUiTitledPane::SetSheet(CUiSheetCtrl* sheet, int fillColumn, int fixedWidth)
{
    m_pSheet = sheet;
    m_nFillColumn = fillColumn;
    m_nFixedWidth = fixedWidth;
}

CUiButton* CUiTitledPane::AddButton(int id, const char* tip, const char* image)
{
    auto* button = new CUiButton(this);
    button->Create(id, Rect{0, 0, panelook::kButtonSize, panelook::kButtonSize}, this);
    button->SetToolTipText(Tr(tip));
    button->LoadImage(ui::resPath(image));
    connect(button, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
    m_buttons.push_back(button);
    return button;
}

void CUiTitledPane::RecalcLayout()
{
    const std::vector<Rect> rects = panelook::TitleButtonRects(width(), int(m_buttons.size()));
    for (size_t i = 0; i < m_buttons.size(); ++i)
        m_buttons[i]->setGeometry(ui::toQRect(rects[i]));
    if (m_pSheet) {
        m_pSheet->setGeometry(0, m_nBandHeight, width(), std::max(height() - m_nBandHeight, 0));
        m_pSheet->Refresh();
    }
    FitColumn();
    update();
}

void CUiTitledPane::FitColumn()
{
    if (!m_pSheet || m_nFillColumn >= m_pSheet->GetColumnCount())
        return;
    m_pSheet->SetColumnWidth(m_nFillColumn, panelook::FillColumnWidth(width(), m_nFixedWidth, m_pSheet->AllRowsFit()));
}

void CUiTitledPane::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const Rect band{0, 0, width(), m_nBandHeight};
    ui::fillRect(p, band, m_clrBand);
    p.setFont(GetUiFont12());
    p.setPen(ui::toQColor(m_clrTitle));
    ui::drawTextWin(p, Rect{band.left + panelook::kTitleIndent, band.top, band.right, band.bottom}, m_strTitle,
                    ui::DT_LEFT | ui::DT_VCENTER | ui::DT_SINGLELINE | ui::DT_NOPREFIX);
    p.setPen(ui::toQColor(m_clrLine));
    ui::drawLineWin(p, band.left, band.bottom - 1, band.right, band.bottom - 1);
}

void CUiTitledPane::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    RecalcLayout();
}

std::shared_ptr<CQelPlan> CUiPlanPane::Plan() const
{
    std::shared_ptr<CQelPlan> plan;
    if (m_nPlanId == 0 || !CQelContext::GetPlanMan()->FindPlanById(m_nPlanId, plan))
        return nullptr;
    return plan;
}
