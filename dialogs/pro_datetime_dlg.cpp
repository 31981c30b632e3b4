#include "dialogs/pro_datetime_dlg.h"

#include <QCalendarWidget>
#include <QDateTime>
#include <QHBoxLayout>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "dialogs/dialog_support.h"

CProDatetimeSettingDlg::CProDatetimeSettingDlg(QWidget* parent) : CModalDialog(parent)
{
    auto* layout = new QVBoxLayout(this);
    calendar_ = new QCalendarWidget(this);
    calendar_->setObjectName(QStringLiteral("1103"));
    time_ = new QTimeEdit(this);
    time_->setObjectName(QStringLiteral("1104"));
    time_->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    layout->addWidget(calendar_);
    layout->addWidget(time_);
    auto* row = new QHBoxLayout;
    layout->addLayout(row);
    MakeOkCancel(row);
}

void CProDatetimeSettingDlg::OnInitDialog()
{
    setWindowTitle(Tr("更新处理器日期和时间"));
    const QDateTime now = QDateTime::currentDateTime();
    calendar_->setSelectedDate(now.date());
    time_->setTime(now.time());
}

void CProDatetimeSettingDlg::GetSelectedTime(int& year, int& month, int& day, int& hour, int& minute, int& second) const
{
    const QDate date = calendar_->selectedDate();
    const bool dateValid = date.isValid();
    year = dateValid ? date.year() : 0;
    month = dateValid ? date.month() : 0;
    day = dateValid ? date.day() : 0;
    const QTime time = time_->time();
    const bool timeValid = time.isValid();
    hour = timeValid ? time.hour() : -1;
    minute = timeValid ? time.minute() : -1;
    second = timeValid ? time.second() : -1;
}
