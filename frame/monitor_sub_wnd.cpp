#include "frame/monitor_sub_wnd.h"

#include <QTreeWidget>

#include "platform/ui/rect_convert.h"
#include "uikit/ui_resource_cache.h"

namespace {
constexpr int kTreeId = 101;
constexpr int kItemHeight = 20;
constexpr const char* kMatrixKinds[] = {"DVI矩阵", "VGA矩阵", "VIDEO矩阵", "RGB矩阵"};
} // namespace

CUiMonitorSubWnd::CUiMonitorSubWnd(QWidget* parent) : CUiCtrlBarSubWnd(parent)
{
    m_nMargin = 2;
    m_pTree = new QTreeWidget(this);
    m_pTree->setObjectName(QString::number(kTreeId));
    m_pTree->setHeaderHidden(true);
    m_pTree->setRootIsDecorated(true);
    m_pTree->setFont(GetUiFont12());
    m_pTree->setUniformRowHeights(true);
    m_pTree->setStyleSheet(QStringLiteral("QTreeView::item { height: %1px; }").arg(kItemHeight));
    for (const char* kind : kMatrixKinds) {
        const QString name = QString::fromUtf8(kind);
        auto* top = new QTreeWidgetItem(m_pTree, QStringList{name});
        for (int n = 1; n <= kMatrixCount; ++n)
            new QTreeWidgetItem(top, QStringList{name + QString::number(n)});
    }
}

void CUiMonitorSubWnd::RecalcLayout()
{
    CUiCtrlBarSubWnd::RecalcLayout();
    if (m_pTree)
        m_pTree->setGeometry(ui::toQRect(InnerRect()));
}
