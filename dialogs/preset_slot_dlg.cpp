#include "dialogs/preset_slot_dlg.h"

#include "dialogs/dialog_support.h"
#include "dialogs/dialog_texts.h"
#include "model/processor.h"
#include "model/processor_settings.h"
#include "platform/ui/modal.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTextOption>
#include <QVBoxLayout>

namespace {
// Button sizes in pixels (the dialog units of the templates at 1.5 x 1.625).
constexpr int kRecallButtonWidth = 117;
constexpr int kRecallButtonHeight = 65;
constexpr int kSaveButtonWidth = 30;
constexpr int kSaveButtonHeight = 29;
constexpr int kTextMargin = 4;
} // namespace

CSlotButton::CSlotButton(const QString& text, int id, QWidget* parent) : QPushButton(text, parent)
{
    setObjectName(QString::number(id));
}

void CSlotButton::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    p.drawControl(QStyle::CE_PushButton, option);
    // Drawn as it is: no mnemonic, and long names wrap.
    QTextOption wrap(Qt::AlignCenter);
    wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.drawText(QRectF(rect().adjusted(kTextMargin, kTextMargin, -kTextMargin, -kTextMargin)), text(), wrap);
}

void CSlotButton::mousePressEvent(QMouseEvent* event)
{
    modifiers_ = event->modifiers();
    QPushButton::mousePressEvent(event);
}

void CSlotButton::mouseReleaseEvent(QMouseEvent* event)
{
    modifiers_ = event->modifiers();
    QPushButton::mouseReleaseEvent(event);
}

void CSlotButton::keyPressEvent(QKeyEvent* event)
{
    modifiers_ = event->modifiers();
    QPushButton::keyPressEvent(event);
}

C4H1ShortcutKeysReadPlanDlg::C4H1ShortcutKeysReadPlanDlg(QWidget* parent) : CModalDialog(parent)
{
    auto* layout = new QVBoxLayout(this);
    prompt_ = new QLabel(this);
    layout->addWidget(prompt_);
    auto* grid = new QGridLayout;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        auto* button = new CSlotButton(QString::number(slot), kSlotButtonIds[size_t(slot - 1)], this);
        button->setFixedSize(kRecallButtonWidth, kRecallButtonHeight);
        button->setAutoDefault(false);
        grid->addWidget(button, (slot - 1) / 5, (slot - 1) % 5);
        connect(button, &QPushButton::clicked, this, [this, slot] { OnSlotClicked(slot); });
        buttons_[size_t(slot - 1)] = button;
    }
    layout->addLayout(grid);
    auto* row = new QHBoxLayout;
    defaultLayout_ = new QPushButton(this);
    defaultLayout_->setObjectName(QString::number(kDefaultLayoutButton));
    defaultLayout_->setAutoDefault(false);
    row->addWidget(defaultLayout_);
    MakeOkCancel(row);
    layout->addLayout(row);
    connect(defaultLayout_, &QPushButton::clicked, this, [this] { RecallPlan(0); });
}

void C4H1ShortcutKeysReadPlanDlg::OnInitDialog()
{
    setWindowTitle(Tr("显示处理器保存方案"));
    prompt_->setText(Tr("请选择一个快捷按钮来显示保存的窗口方案"));
    defaultLayout_->setText(Tr("显示默认方案"));
    const auto processor = CurrentProcessor();
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        CSlotButton* button = SlotButton(slot);
        button->setEnabled(SlotEnabled(processor.get(), slot));
        if (processor)
            button->setText(QString::fromStdString(processor->settings().GetPlanName(slot)));
    }
}

void C4H1ShortcutKeysReadPlanDlg::OnSlotClicked(int slot)
{
    if (SlotButton(slot)->ClickModifiers() & Qt::ControlModifier)
        RenamePlanButton(slot);
    else
        RecallPlan(slot);
}

void C4H1ShortcutKeysReadPlanDlg::RecallPlan(int slot)
{
    if (const auto message = RecallSlot(CurrentProcessor().get(), slot))
        ui::inform(this, Tr(*message));
}

QString C4H1ShortcutKeysReadPlanDlg::AskPlanName(const QString& oldName)
{
    CDlgModifySavedPlanName dialog(oldName, this);
    if (dialog.DoModal() != QDialog::Accepted)
        return QString();
    return QString::fromStdString(dialog.NewName());
}

void C4H1ShortcutKeysReadPlanDlg::RenamePlanButton(int slot)
{
    CSlotButton* button = SlotButton(slot);
    const QString name = AskPlanName(button->text());
    if (name.isEmpty())
        return;
    button->setText(name);
    if (const auto processor = CurrentProcessor())
        processor->settings().SetPlanName(slot, name.toStdString());
}

CDlgModifySavedPlanName::CDlgModifySavedPlanName(const QString& oldName, QWidget* parent)
    : CModalDialog(parent), oldName_(oldName)
{
    auto* layout = new QVBoxLayout(this);
    auto* line = new QHBoxLayout;
    label_ = new QLabel(this);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("1132"));
    line->addWidget(label_);
    line->addWidget(edit_);
    layout->addLayout(line);
    auto* row = new QHBoxLayout;
    MakeOkCancel(row);
    layout->addLayout(row);
}

void CDlgModifySavedPlanName::OnInitDialog()
{
    setWindowTitle(Tr("修改处理器方案名称"));
    label_->setText(Tr("新的方案名称:"));
    edit_->setText(oldName_);
}

void CDlgModifySavedPlanName::OnOK()
{
    const std::string name = edit_->text().toStdString();
    if (const auto problem = SlotNameProblem(name)) {
        ui::inform(this, Tr(*problem));
        return;
    }
    newName_ = name;
    accept();
}

C4H1ShortcutKeysDlg::C4H1ShortcutKeysDlg(std::shared_ptr<CQelProcessor> processor, QWidget* parent)
    : CModalDialog(parent), processor_(std::move(processor))
{
    auto* layout = new QVBoxLayout(this);
    prompt_ = new QLabel(this);
    prompt_->setObjectName(QStringLiteral("1229"));
    layout->addWidget(prompt_);
    // Upper row: 1 to 7, a gap, 15 to 17; lower row: 8 to 14, a gap, 18 to 20.
    auto* grid = new QGridLayout;
    grid->setColumnMinimumWidth(7, 12);
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        auto* button = new QPushButton(QString::number(slot), this);
        button->setObjectName(QString::number(kSlotButtonIds[size_t(slot - 1)]));
        button->setFixedSize(kSaveButtonWidth, kSaveButtonHeight);
        button->setAutoDefault(false);
        const int index = slot <= 14 ? slot - 1 : slot - 15;
        const int row = slot <= 14 ? index / 7 : index / 3;
        const int column = slot <= 14 ? index % 7 : 8 + index % 3;
        grid->addWidget(button, row, column);
        connect(button, &QPushButton::clicked, this, [this, slot] {
            m_nSlot = slot;
            accept();
        });
        buttons_[size_t(slot - 1)] = button;
    }
    layout->addLayout(grid);
}

void C4H1ShortcutKeysDlg::OnInitDialog()
{
    setWindowTitle(Tr("快捷键设置"));
    prompt_->setText(Tr("请选择一个快捷按钮保存窗口方案"));
    for (int slot = 1; slot <= kSlotCount; ++slot)
        SlotButton(slot)->setEnabled(SlotEnabled(processor_.get(), slot));
}

void OnRecallPreset(QWidget* parent, int activeViewKind)
{
    if (activeViewKind != 2 && activeViewKind != 3)
        return;
    C4H1ShortcutKeysReadPlanDlg dialog(parent);
    dialog.DoModal();
}
