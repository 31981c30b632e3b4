#include "uikit/ui_video_wall_wnd.h"

#include "context/context.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/sig_out.h"
#include "platform/ui/gdi_paint.h"
#include "platform/ui/modal.h"
#include "uikit/ui_resource_cache.h"
#include "uikit/window_helpers.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <optional>

namespace {

constexpr ui::ColorRef kBackground = ui::rgb(128, 128, 128);
constexpr ui::ColorRef kSelectedUniform = ui::rgb(144, 144, 144);
constexpr ui::ColorRef kSelectedSized = ui::rgb(200, 200, 200);
// The sized form centres its two text lines in a band this high.
constexpr int kSizedTextBand = 40;

std::shared_ptr<CQelProcessor> selectedProcessor()
{
    return CQelContext::GetProMan()->FindById(uint32_t(CQelContext::GetSelProcessorId()));
}

// What the grid reads of the selected processor; without one, a source of
// no kind, no outputs and a 0 x 0 resolution.
std::optional<WallSource> selectedSource()
{
    const auto processor = selectedProcessor();
    if (!processor)
        return std::nullopt;
    WallSource source;
    source.kind = processor->GetKind();
    const Resolution output = processor->GetOutputResolution();
    source.output = Size{output.width, output.height};
    for (const auto& out : processor->GetSigOuts())
        source.outputs.push_back(WallOutput{int32_t(out->GetId()), QString::fromStdString(out->GetName())});
    return source;
}

Point pointOf(const QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    return Point{p.x(), p.y()};
}

} // namespace

CUiVideoWallWnd::CUiVideoWallWnd(QWidget* parent) : QWidget(parent)
{
    // Every pixel is painted, so nothing is erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CUiVideoWallWnd::~CUiVideoWallWnd() = default;

bool CUiVideoWallWnd::Init(QWidget* parent, int id, const Rect& rect, bool listMode)
{
    listMode_ = listMode;
    if (const auto processor = selectedProcessor()) {
        const CQelProcessor::Wall wall = processor->GetWall();
        grid_.rows = wall.rows;
        grid_.cols = wall.cols;
        if (listMode) {
            grid_.cells.clear();
            for (size_t i = 0; i < wall.watch.size(); ++i)
                grid_.cells[{0, int32_t(i)}] = wall.watch[i];
        } else {
            grid_.cells = wall.cells;
        }
    }
    id_ = id;
    return CreateChildWindow(*this, parent, rect);
}

void CUiVideoWallWnd::SetWall(int32_t rows, int32_t cols)
{
    if (rows == grid_.rows && cols == grid_.cols)
        return;
    grid_.rows = rows;
    grid_.cols = cols;
    std::erase_if(grid_.cells, [this](const auto& entry) { return !grid_.Contains(entry.first); });
    selected_ = {-1, -1};
    NotifySelection(0, 0);
    update();
}

void CUiVideoWallWnd::CommitToProcessor()
{
    const auto processor = selectedProcessor();
    if (!processor)
        return;
    CQelProcessor::Wall wall = processor->GetWall();
    if (listMode_) {
        wall.watch.clear();
        for (const auto& [cell, output] : grid_.cells)
            wall.watch.push_back(output);
    } else {
        wall.rows = grid_.rows;
        wall.cols = grid_.cols;
        wall.cells = grid_.cells;
        wall.rowHeights = grid_.rowHeights;
        wall.colWidths = grid_.colWidths;
    }
    processor->SetWall(wall);
}

int32_t CUiVideoWallWnd::GetRowHeight(int32_t row) const
{
    return WallRowHeight(grid_, selectedSource().value_or(WallSource{}), row);
}

int32_t CUiVideoWallWnd::GetColumnWidth(int32_t column) const
{
    return WallColumnWidth(grid_, selectedSource().value_or(WallSource{}), column);
}

int32_t CUiVideoWallWnd::GetTotalHeight() const
{
    return WallTotalHeight(grid_, selectedSource().value_or(WallSource{}));
}

int32_t CUiVideoWallWnd::GetTotalWidth() const
{
    return WallTotalWidth(grid_, selectedSource().value_or(WallSource{}));
}

void CUiVideoWallWnd::NotifySelection(int32_t row, int32_t column)
{
    if (selected_ == WallCell{row, column})
        return;
    selected_ = {row, column};
    send(NotifySelected, selected_);
    update();
}

void CUiVideoWallWnd::SetRowHeights(const std::vector<int32_t>& heights)
{
    grid_.rowHeights = heights;
    update();
}

void CUiVideoWallWnd::SetColumnWidths(const std::vector<int32_t>& widths)
{
    grid_.colWidths = widths;
    update();
}

void CUiVideoWallWnd::SetCells(const WallCellMap& cells)
{
    grid_.cells = cells;
    update();
}

void CUiVideoWallWnd::SetExcludedOutputs(const std::set<int32_t>& outputs)
{
    excluded_ = outputs;
}

void CUiVideoWallWnd::send(int code, const WallCell& cell)
{
    ui::Notify n;
    n.code = code;
    n.p0 = cell.first;
    n.p1 = cell.second;
    emit notify(n);
}

void CUiVideoWallWnd::paintEvent(QPaintEvent*)
{
    QPainter dc(this);
    const Rect client = clientRect();
    ui::fillRect(dc, client, kBackground);
    if (grid_.rows < 1 || grid_.cols < 1)
        return;
    // Without a processor there is no resolution or output name to show:
    // the lines and the selection only.
    const std::optional<WallSource> processor = selectedSource();
    const WallSource source = processor.value_or(WallSource{});
    const WallLayout layout = LayoutWall(client, grid_, source, WallPaintsSized(grid_, source.kind));

    dc.setPen(QPen(Qt::black, 1));
    for (int32_t r = 1; r < layout.Rows(); ++r)
        ui::drawLineWin(dc, client.left, layout.ys[size_t(r)], client.right, layout.ys[size_t(r)]);
    for (int32_t c = 1; c < layout.Cols(); ++c)
        ui::drawLineWin(dc, layout.xs[size_t(c)], client.top, layout.xs[size_t(c)], client.bottom);
    const Point border[] = {{client.left, client.top},
                            {client.right - 1, client.top},
                            {client.right - 1, client.bottom - 1},
                            {client.left, client.bottom - 1},
                            {client.left, client.top}};
    for (size_t i = 1; i < std::size(border); ++i)
        ui::drawLineWin(dc, border[i - 1].x, border[i - 1].y, border[i].x, border[i].y);

    dc.setFont(GetUiFont12());
    for (int32_t r = 0; r < layout.Rows(); ++r) {
        for (int32_t c = 0; c < layout.Cols(); ++c) {
            const Rect cell = layout.CellRect({r, c});
            if (selected_ == WallCell{r, c})
                ui::fillRect(dc, Rect{cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1},
                             layout.sized ? kSelectedSized : kSelectedUniform);
            if (!processor)
                continue;
            const WallCellLabel label = WallLabel(grid_, source, layout.sized, {r, c});
            dc.setPen(ui::toQColor(label.colour));
            if (layout.sized) {
                const int middle = (cell.top + cell.bottom) / 2;
                const Rect band{cell.left, middle - kSizedTextBand / 2, cell.right, middle + kSizedTextBand / 2};
                ui::drawTextWin(dc, band, label.text, ui::DT_CENTER);
            } else {
                ui::drawTextWin(dc, cell, label.text, ui::DT_CENTER | ui::DT_VCENTER | ui::DT_SINGLELINE);
            }
        }
    }
}

void CUiVideoWallWnd::mousePressEvent(QMouseEvent* event)
{
    // Accepted, so the click never reaches the owner as well.
    if (event->button() != Qt::LeftButton)
        return;
    const WallSource source = selectedSource().value_or(WallSource{});
    const WallLayout layout = LayoutWall(clientRect(), grid_, source, CQelProcessor::HasCellSizes(source.kind));
    const WallCell cell = layout.HitTest(pointOf(event)).value_or(WallCell{0, 0});
    NotifySelection(cell.first, cell.second);
}

void CUiVideoWallWnd::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton)
        return;
    const std::optional<WallSource> source = selectedSource();
    if (!source || grid_.rows < 1 || grid_.cols < 1)
        return;
    const int command =
        ui::popupMenu(this, WallMenu(grid_, *source, excluded_), mapToGlobal(event->position().toPoint()));
    // A list (the monitor outputs) has no sizes of its own: equal cells.
    const bool sized = CQelProcessor::HasCellSizes(source->kind) && !listMode_;
    const auto hit = LayoutWall(clientRect(), grid_, *source, sized).HitTest(pointOf(event));
    if (!ApplyWallCommand(grid_.cells, hit, command))
        return;
    send(NotifyCellsChanged, hit.value_or(WallCell{-1, -1}));
    update();
}
