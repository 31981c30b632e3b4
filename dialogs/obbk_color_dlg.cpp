#include "dialogs/obbk_color_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>

#include "dialogs/dialog_support.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/field_check.h"
#include "model/processor.h"
#include "model/processor_jobs.h"
#include "platform/ui/modal.h"

namespace {
constexpr int kMaxComponent = 255;
constexpr int kStartRed = 255;
} // namespace

void CColourButton::SetColour(ui::ColorRef colour)
{
    colour_ = colour;
    update();
}

void CColourButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), ui::toQColor(colour_));
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

CDlgSetOBBKColor::CDlgSetOBBKColor(QWidget* parent) : CModalDialog(parent)
{
    setFixedSize(330, 150);
    prompt_ = new QLabel(this);
    prompt_->setGeometry(10, 10, 300, 20);
    static const char* const kIds[] = {"1068", "1069", "1070"};
    static const char* const kNames[] = {"R:", "G:", "B:"};
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(QString::fromLatin1(kNames[i]), this);
        label->setGeometry(10 + i * 75, 40, 20, 22);
        edits_[i] = new QLineEdit(this);
        edits_[i]->setObjectName(QString::fromLatin1(kIds[i]));
        edits_[i]->setGeometry(30 + i * 75, 40, 45, 22);
        connect(edits_[i], &QLineEdit::textChanged, this, [this] { OnEditChanged(); });
    }
    colour_ = new CColourButton(this);
    colour_->setObjectName(QStringLiteral("1071"));
    colour_->setGeometry(250, 36, 60, 30);
    connect(colour_, &QPushButton::clicked, this, [this] { OnChooseColour(); });
    update_ = new QPushButton(this);
    update_->setObjectName(QStringLiteral("1131"));
    update_->setGeometry(10, 80, 140, 26);
    connect(update_, &QPushButton::clicked, this, [this] { OnUpdateColour(); });
    MakeOkCancel();
    ok_->setGeometry(150, 115, 75, 26);
    cancel_->setGeometry(240, 115, 75, 26);
    ok_->setDefault(false);
}

void CDlgSetOBBKColor::OnInitDialog()
{
    setWindowTitle(Tr("输出板颜色设置"));
    prompt_->setText(Tr("请输入颜色值"));
    update_->setText(Tr("更新输出板颜色"));
    edits_[0]->setText(QString::number(kStartRed));
    edits_[1]->setText(QStringLiteral("0"));
    edits_[2]->setText(QStringLiteral("0"));
}

void CDlgSetOBBKColor::OnEditChanged()
{
    int values[3] = {};
    for (int i = 0; i < 3; ++i) {
        const auto value = ParseIntField(edits_[i]->text(), 0, kMaxComponent);
        if (!value)
            return; // the swatch keeps the last colour the edits gave
        values[i] = int(*value);
    }
    colour_->SetColour(ui::rgb(values[0], values[1], values[2]));
}

void CDlgSetOBBKColor::OnChooseColour()
{
    const auto chosen = ui::chooseColour(this, colour_->Colour());
    if (!chosen)
        return;
    edits_[0]->setText(QString::number(ui::redOf(*chosen)));
    edits_[1]->setText(QString::number(ui::greenOf(*chosen)));
    edits_[2]->setText(QString::number(ui::blueOf(*chosen)));
}

void CDlgSetOBBKColor::OnUpdateColour()
{
    const auto processor = CurrentProcessor();
    if (!processor)
        return;
    uint8_t values[3] = {};
    for (int i = 0; i < 3; ++i) {
        const auto value = ParseIntField(edits_[i]->text(), 0, kMaxComponent);
        if (!value) {
            ui::inform(this, RangeMessage(0, kMaxComponent));
            edits_[i]->setFocus();
            return;
        }
        values[i] = uint8_t(*value);
    }
    if (!processor->IsConnected()) {
        ui::inform(this, Tr(dlgtext::kNotConnected));
        return;
    }
    processor->jobs().SetOutputBoardColor(values[0], values[1], values[2]);
}
