#include "dialogs/osd_config_dlg.h"

#include "dialogs/dialog_support.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/field_check.h"
#include "plan/osd_picture.h"
#include "platform/ui/modal.h"
#include "views/view_manager.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int kEditIds[] = {1094, 1095, 1098, 1099, 1100, 1091, 1096, 1097};
constexpr QSize kSwatchSize(40, 22);
} // namespace

void CColourSwatch::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

COSDConfig::COSDConfig(QWidget* parent) : CModalDialog(parent)
{
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    shown_ = new QRadioButton(this);
    shown_->setObjectName(QStringLiteral("1089"));
    hidden_ = new QRadioButton(this);
    hidden_->setObjectName(QStringLiteral("1090"));
    showGroup_ = new QButtonGroup(this);
    showGroup_->addButton(shown_, 0);
    showGroup_->addButton(hidden_, 1);
    transparent_ = new QCheckBox(this);
    transparent_->setObjectName(QStringLiteral("1093"));
    top->addWidget(shown_);
    top->addWidget(hidden_);
    top->addWidget(transparent_);
    top->addStretch();
    layout->addLayout(top);

    auto* grid = new QGridLayout;
    for (int e = 0; e < kEditCount; ++e) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::number(kEditIds[e]));
        edit->setFixedWidth(50);
        edits_[e] = edit;
    }
    grid->addWidget(new QLabel(Tr("上："), this), 0, 0);
    grid->addWidget(edits_[kTop], 0, 1);
    grid->addWidget(new QLabel(Tr("左："), this), 0, 2);
    grid->addWidget(edits_[kLeft], 0, 3);
    const char* const rows[] = {"字幕颜色", "背景颜色"};
    captionSwatch_ = new CColourSwatch(this);
    captionSwatch_->setObjectName(QStringLiteral("1102"));
    backSwatch_ = new CColourSwatch(this);
    backSwatch_->setObjectName(QStringLiteral("1101"));
    CColourSwatch* swatches[] = {captionSwatch_, backSwatch_};
    for (int row = 0; row < 2; ++row) {
        grid->addWidget(new QLabel(Tr(rows[row]), this), row + 1, 0);
        for (int c = 0; c < 3; ++c)
            grid->addWidget(edits_[kCaptionRed + row * 3 + c], row + 1, 1 + c);
        swatches[row]->setFixedSize(kSwatchSize);
        grid->addWidget(swatches[row], row + 1, 4);
    }
    layout->addLayout(grid);

    logoPreview_ = new CStaticColorWnd(this);
    logoPreview_->setObjectName(QStringLiteral("1103"));
    logoPreview_->setFixedSize(kOsdMaxWidth, kOsdMaxHeight);
    logoPreview_->pictureSource = Rect{0, 0, kOsdMaxWidth, kOsdMaxHeight};
    layout->addWidget(logoPreview_);

    auto* row = new QHBoxLayout;
    load_ = new QPushButton(this);
    load_->setObjectName(QStringLiteral("1078"));
    load_->setAutoDefault(false);
    row->addWidget(load_);
    MakeOkCancel(row);
    layout->addLayout(row);

    connect(showGroup_, &QButtonGroup::idClicked, this, [this] { Notify(); });
    connect(transparent_, &QCheckBox::clicked, this, [this] { Notify(); });
    for (int e = kCaptionRed; e <= kBackBlue; ++e)
        connect(edits_[e], &QLineEdit::textEdited, this, [this] { OnColourEdited(); });
    connect(captionSwatch_, &CColourSwatch::clicked, this, [this] { OnSwatch(true); });
    connect(backSwatch_, &CColourSwatch::clicked, this, [this] { OnSwatch(false); });
    connect(load_, &QPushButton::clicked, this, [this] { OnLoadPicture(); });
}

void COSDConfig::SetOsdData(std::shared_ptr<tagOSD_DATA_EX2> osd)
{
    osd_ = std::move(osd);
    if (osd_)
        m_logo = *osd_;
}

void COSDConfig::OnInitDialog()
{
    setWindowTitle(Tr("台标设置"));
    shown_->setText(Tr("启用"));
    hidden_->setText(Tr("禁用"));
    transparent_->setText(Tr("背景透明"));
    load_->setText(Tr("加载图片"));
    (m_nShow == 1 ? hidden_ : shown_)->setChecked(true);
    transparent_->setChecked(m_bTransparent);
    const int values[kEditCount] = {m_nTop,
                                    m_nLeft,
                                    ui::redOf(m_captionColour),
                                    ui::greenOf(m_captionColour),
                                    ui::blueOf(m_captionColour),
                                    ui::redOf(m_backColour),
                                    ui::greenOf(m_backColour),
                                    ui::blueOf(m_backColour)};
    for (int e = 0; e < kEditCount; ++e)
        edits_[e]->setText(QString::number(values[e]));
    ShowColours();
}

bool COSDConfig::TakeValues(bool report)
{
    m_nShow = hidden_->isChecked() ? 1 : 0;
    m_bTransparent = transparent_->isChecked();
    std::array<std::optional<int64_t>, kEditCount> typed;
    bool all = true;
    for (int e = 0; e < kEditCount; ++e) {
        const int64_t max = e <= kLeft ? kMaxPosition : 255;
        typed[size_t(e)] = ParseIntField(edits_[e]->text(), 0, max);
        if (typed[size_t(e)])
            continue;
        if (report) {
            ui::inform(this, RangeMessage(0, max));
            edits_[e]->setFocus();
            edits_[e]->selectAll();
            return false;
        }
        all = false;
    }
    auto take = [&](int e, int current) { return typed[size_t(e)] ? int(*typed[size_t(e)]) : current; };
    m_nTop = take(kTop, m_nTop);
    m_nLeft = take(kLeft, m_nLeft);
    m_captionColour =
        ui::rgb(take(kCaptionRed, ui::redOf(m_captionColour)), take(kCaptionGreen, ui::greenOf(m_captionColour)),
                take(kCaptionBlue, ui::blueOf(m_captionColour)));
    m_backColour = ui::rgb(take(kBackRed, ui::redOf(m_backColour)), take(kBackGreen, ui::greenOf(m_backColour)),
                           take(kBackBlue, ui::blueOf(m_backColour)));
    return all;
}

void COSDConfig::ShowColours()
{
    captionSwatch_->color = m_captionColour;
    backSwatch_->color = m_backColour;
    captionSwatch_->update();
    backSwatch_->update();
    logoPreview_->picture = m_logo.bitmap;
    logoPreview_->pictureOn = !m_logo.bitmap.empty();
    logoPreview_->update();
}

void COSDConfig::Notify()
{
    TakeValues(false);
    if (m_notify)
        m_notify(*this);
}

void COSDConfig::OnColourEdited()
{
    // A component out of range is told when the values are taken at OK;
    // meanwhile the owner keeps the last good colours.
    if (!TakeValues(false))
        return;
    ShowColours();
    if (m_notify)
        m_notify(*this);
}

void COSDConfig::OnSwatch(bool caption)
{
    TakeValues(false);
    const auto chosen = ui::chooseColour(this, caption ? m_captionColour : m_backColour);
    if (!chosen)
        return;
    (caption ? m_captionColour : m_backColour) = *chosen;
    const int first = caption ? kCaptionRed : kBackRed;
    edits_[first]->setText(QString::number(ui::redOf(*chosen)));
    edits_[first + 1]->setText(QString::number(ui::greenOf(*chosen)));
    edits_[first + 2]->setText(QString::number(ui::blueOf(*chosen)));
    ShowColours();
    if (m_notify)
        m_notify(*this);
}

void COSDConfig::OnLoadPicture()
{
    const QString path = ChooseBitmapFile(this);
    if (path.isEmpty())
        return;
    if (OsdRecordFromPicture(m_logo, path.toStdString()) != 0) {
        ui::inform(this, Tr(dlgtext::kPictureFailed));
        return;
    }
    ShowColours();
}

void COSDConfig::OnOK()
{
    if (!TakeValues(true))
        return;
    accept();
}
