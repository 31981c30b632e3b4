#pragma once
// Asks for a new plan's name and starting layout; the opener tests the
// name and builds the plan.
#include <QDialog>
#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;

class CNewWinPlanDlg : public QDialog {
    Q_OBJECT
public:
    explicit CNewWinPlanDlg(QWidget* parent = nullptr);

    QString m_strName;      // the proposed name, set by the opener
    int32_t m_nLayout = 0;  // the chosen layout code after OK

    int DoModal();
    QString GetName() const { return m_strName; }

    QLineEdit* NameEdit() const { return edit_; }
    QComboBox* LayoutCombo() const { return combo_; }
    QPushButton* OkButton() const { return ok_; }

protected:
    void OnInitDialog();
    void OnOK();

private:
    std::vector<int> codes_; // in combo order
    QLineEdit* edit_ = nullptr;
    QComboBox* combo_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};
