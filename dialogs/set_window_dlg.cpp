#include "dialogs/set_window_dlg.h"

#include "dialogs/dialog_support.h"
#include "dialogs/field_check.h"
#include "platform/ui/modal.h"
#include "platform/ui/notify.h"
#include "uikit/movable_wnd.h"
#include "uikit/window_helpers.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <algorithm>
#include <limits>

namespace {
// Pixel layout of template 134 (183 x 175 dialog units).
constexpr int kBaseWidth = 275;
constexpr int kBaseHeight = 285;
constexpr int kWiden = 400;
constexpr int kRowHeight = 24;
constexpr int kFieldWidth = 70;

constexpr ui::ColorRef kAreaColour = ui::rgb(117, 117, 117);
constexpr ui::ColorRef kClipFill = ui::rgb(200, 200, 200);
constexpr ui::ColorRef kClipFrame = ui::rgb(255, 111, 0);
constexpr int kClipFrameWidth = 4;

// The labels of the fields, in field order, and where each field sits:
// two columns of two rows in each group.
constexpr const char* kFieldLabels[] = {"左", "右", "上", "下", "左", "上", "右", "下"};
constexpr int kFieldColumn[] = {0, 1, 0, 1, 0, 0, 1, 1};
constexpr int kFieldRow[] = {0, 0, 1, 1, 0, 1, 0, 1};
constexpr int kFieldIds[] = {1002, 1003, 1004, 1005, 1006, 1008, 1007, 1009};

// Typed crop edges as a crop the window can keep: none below 0 nor beyond
// the 32-bit range.
Rect CropRect(const CropEdges& e)
{
    auto cut = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, 0, std::numeric_limits<int32_t>::max())); };
    return Rect{cut(e.left), cut(e.top), cut(e.right), cut(e.bottom)};
}
} // namespace

CSetWindowDlg::CSetWindowDlg(QWidget* parent) : CModalDialog(parent)
{
    setFixedSize(kBaseWidth, kBaseHeight);
    auto* position = new QGroupBox(this);
    position->setObjectName(QStringLiteral("1017"));
    position->setGeometry(10, 8, 255, 95);
    auto* crop = new QGroupBox(this);
    crop->setObjectName(QStringLiteral("1022"));
    crop->setGeometry(10, 113, 255, 95);
    const auto digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    const auto signedDigits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]*")), this);
    for (int f = 0; f < kFieldCount; ++f) {
        QGroupBox* group = f < kCropLeft ? position : crop;
        const int x = 12 + kFieldColumn[f] * 122;
        const int y = 28 + kFieldRow[f] * (kRowHeight + 10);
        auto* label = new QLabel(group);
        label->setObjectName(QStringLiteral("label%1").arg(f));
        label->setGeometry(x, y, 36, kRowHeight);
        auto* edit = new QLineEdit(group);
        edit->setObjectName(QString::number(kFieldIds[f]));
        edit->setGeometry(x + 38, y, kFieldWidth, kRowHeight);
        edit->setValidator(f < kCropLeft ? digits : signedDigits);
        edits_[f] = edit;
    }
    MakeOkCancel();
    ok_->setGeometry(10, 225, 75, 28);
    cancel_->setGeometry(100, 225, 75, 28);
    preview_ = new QPushButton(this);
    preview_->setObjectName(QStringLiteral("1078"));
    preview_->setGeometry(190, 225, 75, 28);
    preview_->setAutoDefault(false);
}

void CSetWindowDlg::OnInitDialog()
{
    setWindowTitle(Tr("窗口设置"));
    findChild<QGroupBox*>(QStringLiteral("1017"))->setTitle(Tr("窗口位置"));
    findChild<QGroupBox*>(QStringLiteral("1022"))->setTitle(Tr("信号源截取到大屏"));
    for (int f = 0; f < kFieldCount; ++f)
        findChild<QLabel*>(QStringLiteral("label%1").arg(f))->setText(Tr(kFieldLabels[f]) + QStringLiteral(" :"));
    preview_->setText(Tr("预览"));
    ShowValues(m_values);
}

void CSetWindowDlg::ShowValues(const WindowRectValues& v)
{
    const int32_t values[kFieldCount] = {v.wallLeft, v.wallRight, v.wallTop,   v.wallBottom,
                                         v.cropLeft, v.cropTop,   v.cropRight, v.cropBottom};
    for (int f = 0; f < kFieldCount; ++f)
        edits_[f]->setText(QString::number(values[f]));
}

std::optional<WindowRectValues> CSetWindowDlg::ReadFields()
{
    int64_t position[4] = {};
    for (int f = kLeft; f <= kBottom; ++f) {
        const auto value = ParseIntField(edits_[f]->text(), 0, kMaxPosition);
        if (!value) {
            ui::inform(this, RangeMessage(0, kMaxPosition));
            edits_[f]->setFocus();
            edits_[f]->selectAll();
            return std::nullopt;
        }
        position[f] = *value;
    }
    WindowRectValues v;
    v.wallLeft = int32_t(position[kLeft]);
    v.wallRight = int32_t(position[kRight]);
    v.wallTop = int32_t(position[kTop]);
    v.wallBottom = int32_t(position[kBottom]);
    const Rect crop = CropRect(TypedCrop());
    v.cropLeft = crop.left;
    v.cropTop = crop.top;
    v.cropRight = crop.right;
    v.cropBottom = crop.bottom;
    return v;
}

void CSetWindowDlg::OnOK()
{
    const auto values = ReadFields();
    if (!values)
        return;
    m_values = *values;
    accept();
}

CSetWindowDlgEx::CSetWindowDlgEx(QWidget* parent) : CSetWindowDlg(parent)
{
    clip_ = new CSigSrcClipWnd(this);
    connect(preview_, &QPushButton::clicked, this, [this] { SendPreview(); });
    // Only the operator's typing moves the crop window: the dialog's own
    // writes to the fields must not, or a drag would be undone by rounding.
    for (int f = kCropLeft; f <= kCropBottom; ++f)
        connect(edits_[f], &QLineEdit::textEdited, this, [this] { PlaceClipWindow(); });
    connect(clip_, &CSigSrcClipWnd::notify, this, [this](const ui::Notify& n) { OnClipNotify(n.code, n.p0, n.p1); });
}

void CSetWindowDlgEx::SetLimits(int32_t width, int32_t height, int32_t rate)
{
    if (width == 0 || height == 0 || rate == 0)
        return;
    width_ = width;
    height_ = height;
    rate_ = rate;
}

void CSetWindowDlgEx::OnInitDialog()
{
    CSetWindowDlg::OnInitDialog();
    opening_ = m_values;
    setFixedSize(kBaseWidth + kWiden, kBaseHeight);
    const Rect area{kPreviewArea.left(), kPreviewArea.top(), kPreviewArea.right() + 1, kPreviewArea.bottom() + 1};
    clip_->backColor = kClipFill;
    clip_->frameColor = kClipFrame;
    clip_->frameWidth = kClipFrameWidth;
    clip_->sourceWidth = width_;
    clip_->sourceHeight = height_;
    clip_->Create(area, Rect{}, this, kClipId);
    PlaceClipWindow();
}

CropPreview CSetWindowDlgEx::Preview() const
{
    return CropPreview(Size{width_, height_}, Size{kPreviewArea.width(), kPreviewArea.height()});
}

CropEdges CSetWindowDlg::TypedCrop() const
{
    return CropEdges{ParseSaturatedField(edits_[kCropLeft]->text()), ParseSaturatedField(edits_[kCropTop]->text()),
                     ParseSaturatedField(edits_[kCropRight]->text()), ParseSaturatedField(edits_[kCropBottom]->text())};
}

void CSetWindowDlgEx::PlaceClipWindow()
{
    const Rect r = Preview().ToArea(TypedCrop());
    const int dx = kPreviewArea.left();
    const int dy = kPreviewArea.top();
    // A hidden window reports its moves only when it shows: those reports
    // are recognised by the place it was put at.
    placed_ = QRect(QPoint(r.left + dx, r.top + dy), QPoint(r.right + dx - 1, r.bottom + dy - 1));
    clip_->notifyOn = false;
    MoveWindow(*clip_, Rect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy});
    clip_->notifyOn = true;
}

void CSetWindowDlgEx::OnClipNotify(int code, int p0, int p1)
{
    const Rect crop = CropRect(TypedCrop());
    Rect next = crop;
    if ((code == CSigSrcClipWnd::kMoved && QPoint(p0, p1) == placed_.topLeft()) ||
        (code == CSigSrcClipWnd::kSized && QSize(p0, p1) == placed_.size()))
        return;
    if (code != CSigSrcClipWnd::kDragEnded)
        placed_ = QRect();
    switch (code) {
    case CSigSrcClipWnd::kMoved:
        next = Preview().Moved(crop, Point{p0 - kPreviewArea.left(), p1 - kPreviewArea.top()});
        break;
    case CSigSrcClipWnd::kSized: next = Preview().Sized(crop, Size{p0, p1}); break;
    case CSigSrcClipWnd::kDragEnded:
        if (m_bLivePreview)
            SendPreview();
        return;
    default: return;
    }
    edits_[kCropLeft]->setText(QString::number(next.left));
    edits_[kCropTop]->setText(QString::number(next.top));
    edits_[kCropRight]->setText(QString::number(next.right));
    edits_[kCropBottom]->setText(QString::number(next.bottom));
}

void CSetWindowDlgEx::SendPreview()
{
    const auto values = ReadFields();
    if (values && m_preview)
        m_preview(*values);
}

void CSetWindowDlgEx::OnCancel()
{
    m_values = opening_;
    ShowValues(opening_);
    reject();
}

void CSetWindowDlgEx::paintEvent(QPaintEvent* event)
{
    CSetWindowDlg::paintEvent(event);
    QPainter p(this);
    p.fillRect(kPreviewArea, ui::toQColor(kAreaColour));
}
