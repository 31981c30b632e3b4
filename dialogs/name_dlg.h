#pragma once
// The general name prompt: a caption, a prompt, the name and an optional
// mark left of the edit. It accepts any text, the empty one too.
#include "dialogs/modal_dialog.h"

class QLabel;
class QLineEdit;

class CNameDlg : public CModalDialog {
    Q_OBJECT
public:
    explicit CNameDlg(QWidget* parent = nullptr);

    // Set by the opener before DoModal.
    QString m_strCaption;
    QString m_strPrompt;
    QString m_strName;
    QString m_strMark;

    QString GetName() const { return m_strName; }

    QLineEdit* NameEdit() const { return edit_; }
    QLabel* MarkLabel() const { return mark_; }

protected:
    void OnInitDialog() override;
    void OnOK() override;
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* prompt_ = nullptr;
    QLabel* mark_ = nullptr;
    QLineEdit* edit_ = nullptr;
};
