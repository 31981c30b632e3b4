#pragma once
// Asks for a new plan's name and starting layout; the opener tests the
// name and builds the plan.
#include <vector>

#include "dialogs/modal_dialog.h"

class QComboBox;
class QLineEdit;

class CNewWinPlanDlg : public CModalDialog {
    Q_OBJECT
public:
    explicit CNewWinPlanDlg(QWidget* parent = nullptr);

    QString m_strName;     // the proposed name, set by the opener
    int32_t m_nLayout = 0; // the chosen layout code after OK

    QString GetName() const { return m_strName; }

    QLineEdit* NameEdit() const { return edit_; }
    QComboBox* LayoutCombo() const { return combo_; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    std::vector<int> codes_; // in combo order
    QLineEdit* edit_ = nullptr;
    QComboBox* combo_ = nullptr;
};
