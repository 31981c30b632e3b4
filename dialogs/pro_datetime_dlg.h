#pragma once
// The processor's date and time: a month calendar and a time picker, both
// at the current local time when the dialog opens.
#include "dialogs/modal_dialog.h"

class QCalendarWidget;
class QTimeEdit;

class CProDatetimeSettingDlg : public CModalDialog {
    Q_OBJECT
public:
    explicit CProDatetimeSettingDlg(QWidget* parent = nullptr);

    // The chosen date (month 1 to 12) and time; a date that is not valid
    // gives 0 for its three parts, a time that is not valid -1 for its.
    void GetSelectedTime(int& year, int& month, int& day, int& hour, int& minute, int& second) const;

    QCalendarWidget* Calendar() const { return calendar_; }
    QTimeEdit* TimePicker() const { return time_; }

protected:
    void OnInitDialog() override;

private:
    QCalendarWidget* calendar_ = nullptr;
    QTimeEdit* time_ = nullptr;
};
