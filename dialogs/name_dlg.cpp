#include "dialogs/name_dlg.h"

#include "core/language_tr.h"
#include "dialogs/dialog_support.h"
#include "platform/ui/colour.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace {
// Pixel layout of template 136 (186 x 78 dialog units).
constexpr QRect kPrompt(12, 10, 255, 20);
constexpr QRect kEdit(36, 40, 230, 24);
constexpr QRect kMark(17, 40, 18, 24); // inside the frame's 20 pixels left of the edit
constexpr int kDialogWidth = 279;
constexpr int kDialogHeight = 127;
constexpr ui::ColorRef kEditBack = ui::rgb(240, 240, 240);
constexpr ui::ColorRef kMarkBack = ui::rgb(150, 150, 150);
constexpr ui::ColorRef kMarkText = ui::rgb(200, 0, 0);

void Colour(QWidget& w, ui::ColorRef back, ui::ColorRef text, QPalette::ColorRole backRole)
{
    QPalette palette = w.palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, backRole, ui::toQColor(back));
        palette.setColor(group, backRole == QPalette::Base ? QPalette::Text : QPalette::WindowText, ui::toQColor(text));
    }
    w.setPalette(palette);
}
} // namespace

CNameDlg::CNameDlg(QWidget* parent) : CModalDialog(parent)
{
    setFixedSize(kDialogWidth, kDialogHeight);
    prompt_ = new QLabel(this);
    prompt_->setGeometry(kPrompt);
    prompt_->setObjectName(QStringLiteral("1022"));
    mark_ = new QLabel(this);
    mark_->setGeometry(kMark);
    mark_->setObjectName(QStringLiteral("1254"));
    mark_->setAlignment(Qt::AlignCenter);
    mark_->setAutoFillBackground(true);
    Colour(*mark_, kMarkBack, kMarkText, QPalette::Window);
    edit_ = new QLineEdit(this);
    edit_->setGeometry(kEdit);
    edit_->setObjectName(QStringLiteral("1023"));
    edit_->setFrame(false);
    Colour(*edit_, kEditBack, ui::rgb(0, 0, 0), QPalette::Base);
    MakeOkCancel();
    ok_->setGeometry(104, 84, 75, 26);
    cancel_->setGeometry(190, 84, 75, 26);
}

void CNameDlg::OnInitDialog()
{
    setWindowTitle(TranslateText(m_strCaption));
    prompt_->setText(TranslateText(m_strPrompt));
    edit_->setText(m_strName);
    mark_->setText(m_strMark);
    mark_->setVisible(!m_strMark.isEmpty());
}

void CNameDlg::OnOK()
{
    m_strName = edit_->text();
    accept();
}

void CNameDlg::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    // A black frame about the edit, enclosing the mark when it shows.
    const QRect e = edit_->geometry();
    const int left = e.left() - (mark_->isVisible() ? 20 : 1);
    QPainter p(this);
    p.setPen(Qt::black);
    p.drawRect(QRect(QPoint(left, e.top() - 4), QPoint(e.right() + 1, e.bottom() + 1)));
}
