#include "dialogs/run_cycle_plan_dlg.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "context/context.h"
#include "dialogs/dialog_support.h"
#include "model/processor.h"
#include "plan/cycle_plan.h"
#include "plan/plan.h"
#include "plan/plan_manager.h"
#include "platform/ui/gdi_paint.h"
#include "platform/ui/image_file.h"
#include "platform/rect_math.h"
#include "platform/ui/rect_convert.h"
#include "uikit/draw_helpers.h"
#include "uikit/res_path.h"
#include "uikit/ui_resource_cache.h"
#include "views/wall_view_core.h"

namespace {
constexpr ui::ColorRef kBackground = ui::rgb(128, 128, 128);
constexpr ui::ColorRef kFrame = ui::rgb(0, 0, 0);
constexpr ui::ColorRef kTitleBand = ui::rgb(64, 64, 64);
constexpr ui::ColorRef kStrip = ui::rgb(100, 100, 100);
constexpr ui::ColorRef kLabel = ui::rgb(255, 255, 255);
constexpr int kLabelIndent = 4;
constexpr unsigned kLineFormat = ui::DT_SINGLELINE | ui::DT_VCENTER | ui::DT_NOPREFIX;

ui::ColorRef BodyColour(MiniatureWindow::Body body)
{
    switch (body) {
    case MiniatureWindow::Joined: return wallview::kJoinedBody;
    case MiniatureWindow::Idle: return wallview::kIdleBody;
    case MiniatureWindow::NoSource: break;
    }
    return wallview::kNoSourceBody;
}

QImage LoadButton(const char* file)
{
    QImage image = ui::loadImage(ui::resPath(file));
    PremultiplyAlpha(image);
    return image;
}

Size ImageSize(const QImage& image)
{
    return image.isNull() ? Size{} : Size{image.width(), image.height()};
}

} // namespace

CRunCyclePlanDlg::CRunCyclePlanDlg(std::shared_ptr<CQelCyclePlan> cycle, QWidget* parent)
    : CModalDialog(parent), cycle_(std::move(cycle)), tour_(cycle_)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_OpaquePaintEvent); // the picture covers it all
    connect(&timer_, &ui::UiTimer::timeout, this, &CRunCyclePlanDlg::OnTimer);
}

CRunCyclePlanDlg::~CRunCyclePlanDlg()
{
    timer_.stop();
    joinChanged_.disconnect();
}

void CRunCyclePlanDlg::OnInitDialog()
{
    closeImage_ = LoadButton(kRunCycleCloseFile);
    minimiseImage_ = LoadButton(kRunCycleMinimiseFile);
    std::shared_ptr<CQelPlan> first;
    const std::string firstName = cycle_->GetCellName(0);
    if (!firstName.empty() && !CQelContext::GetPlanMan()->LoadPlanFile(firstName, first))
        first.reset();
    const Size size = RunWindowSize(first.get());
    resize(size.cx, size.cy);
    Layout();
    timer_.start(kPeriodMs);
    joinChanged_ = CQelEvtSignals::ConnectSigSrcJoinChanged([this](const CSigSrcJoinChangedEvent&) { update(); });
}

void CRunCyclePlanDlg::OnTimer()
{
    if (tour_.Tick())
        NextCell();
    update(ui::toQRect(layout_.title));
}

void CRunCyclePlanDlg::NextCell()
{
    plan_.reset();
    const CycleTour::Step step = tour_.Next();
    if (!step.planName.empty() && !CQelContext::GetPlanMan()->LoadPlanFile(step.planName, plan_))
        plan_.reset();
    Layout();
    update();
    if (!plan_) {
        tour_.Skip();
        return;
    }
    // Held: applying may run a nested loop that steps again.
    const std::shared_ptr<CQelPlan> plan = plan_;
    plan->PlaceWindows();
    plan->Apply(0, nullptr);
}

void CRunCyclePlanDlg::Layout()
{
    layout_ = LayOutRunWindow(ui::fromQRect(rect()), ImageSize(closeImage_), ImageSize(minimiseImage_));
}

QString CRunCyclePlanDlg::TitleText() const
{
    if (!plan_)
        return QString();
    return QString::fromStdString(RunTitleText(plan_->GetName(), tour_.Remaining()));
}

void CRunCyclePlanDlg::done(int result)
{
    timer_.stop();
    CModalDialog::done(result);
}

void CRunCyclePlanDlg::resizeEvent(QResizeEvent* event)
{
    CModalDialog::resizeEvent(event);
    memory_ = QImage(size(), QImage::Format_RGB32);
    Layout();
}

void CRunCyclePlanDlg::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (PtInRect(layout_.close, p.x(), p.y())) {
            // Posted, as the close message was: the dialog ends after this.
            QMetaObject::invokeMethod(
                this, [this] { close(); }, Qt::QueuedConnection);
            return;
        }
        if (PtInRect(layout_.minimise, p.x(), p.y())) {
            showMinimized();
            return;
        }
    }
    CModalDialog::mousePressEvent(event);
}

void CRunCyclePlanDlg::paintEvent(QPaintEvent* event)
{
    QPainter screen(this);
    if (memory_.isNull()) {
        OnPaint(screen);
        return;
    }
    {
        QPainter dc(&memory_);
        OnPaint(dc);
    }
    screen.drawImage(event->rect(), memory_, event->rect());
}

void CRunCyclePlanDlg::OnPaint(QPainter& dc)
{
    const Rect& content = layout_.content;
    ui::fillRect(dc, content, kBackground);
    if (plan_) {
        const auto processor = CurrentProcessor();
        dc.setFont(GetUiFontB());
        dc.setPen(ui::toQColor(kLabel));
        for (const MiniatureWindow& window : LayOutMiniature(*plan_, content, processor.get())) {
            const Rect& r = window.rect;
            ui::fillRect(dc, r, BodyColour(window.body));
            const int64_t stripBottom = int64_t(r.top) + kMiniatureStripHeight;
            if (RectHeight(r) > kMiniatureStripHeight)
                ui::fillRect(dc, MakeRect(r.left, r.top, r.right, stripBottom), kStrip);
            if (!window.label.empty()) {
                const Rect text = MakeRect(int64_t(r.left) + kLabelIndent, r.top, r.right, stripBottom);
                ui::drawTextWin(dc, text, QString::fromStdString(window.label), kLineFormat);
            }
            ui::frameRect(dc, r, kFrame);
        }
    }
    PaintTitle(dc);
    DrawImageCentered(layout_.close, dc, closeImage_, 0, 0, closeImage_.width(), closeImage_.height());
    DrawImageCentered(layout_.minimise, dc, minimiseImage_, 0, 0, minimiseImage_.width(), minimiseImage_.height());
    ui::frameRect(dc, content, kFrame);
}

void CRunCyclePlanDlg::PaintTitle(QPainter& dc)
{
    const Rect& title = layout_.title;
    if (RectEmpty(title))
        return;
    QImage band(int(RectWidth(title)), int(RectHeight(title)), QImage::Format_RGB32);
    band.fill(ui::toQColor(kTitleBand));
    if (plan_) {
        QPainter p(&band);
        p.setFont(GetUiFont18Bold());
        p.setPen(ui::toQColor(kLabel));
        ui::drawTextWin(p, Rect{0, 0, band.width(), band.height()}, TitleText(), kLineFormat);
    }
    dc.save();
    dc.setOpacity(kTitleAlpha / 255.0);
    dc.drawImage(QPoint(title.left, title.top), band);
    dc.restore();
}
