#include "dialogs/progress_dlg.h"

#include <QKeyEvent>
#include <QPainter>

#include "dialogs/device_values.h"

namespace {
constexpr int kPointSize = 20;
} // namespace

CDlgProgress::CDlgProgress(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setModal(false);
    setWindowOpacity(kAlpha / 255.0);
}

void CDlgProgress::SetCounters(int step, int steps, int done, int total)
{
    step_ = step;
    steps_ = steps;
    done_ = done;
    total_ = total;
}

QString CDlgProgress::Text() const
{
    return ResetProgressText(step_, steps_, done_, total_);
}

void CDlgProgress::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QFont font(QStringLiteral("宋体"));
    font.setStyleHint(QFont::SansSerif); // when the font is missing
    font.setPointSize(kPointSize);
    p.setFont(font);
    p.setPen(QColor(0xFF, 0, 0));
    p.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, Text());
}

void CDlgProgress::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape: event->accept(); return;
    default: QDialog::keyPressEvent(event);
    }
}
