#pragma once
// Collects input-to-output switch pairs and sends them to the current
// processor as matrix switch lines; OK and Cancel only close it.
#include <string>
#include <vector>

#include "dialogs/modal_dialog.h"
#include "uikit/sheet_core.h"

class CUiEditSheetCtrl;
class QComboBox;
class QLabel;

class CDlgMatrixSwitch : public CModalDialog {
    Q_OBJECT
public:
    // Where "=>" is drawn, between the two lists.
    static constexpr QPoint kArrowAt{138, 48};

    explicit CDlgMatrixSwitch(QWidget* parent = nullptr);

    void OnAddSwitch();
    void OnSendSwitches();
    void OnListRClick(const SheetNotify& notify);

    CUiEditSheetCtrl* List() const { return m_list; }
    QComboBox* InputList() const { return input_; }
    QComboBox* OutputList() const { return output_; }
    QPushButton* AddButton() const { return add_; }
    QPushButton* SendButton() const { return send_; }
    // One token a row, in row order.
    const std::vector<std::string>& Tokens() const { return m_tokens; }

protected:
    void OnInitDialog() override;
    void paintEvent(QPaintEvent* event) override;
    void OnPaint();

private:
    enum MenuId { kMenuDelete = 1, kMenuClear = 2 };

    CUiEditSheetCtrl* m_list = nullptr;
    QPushButton* add_ = nullptr;
    QComboBox* input_ = nullptr;
    QComboBox* output_ = nullptr;
    QPushButton* send_ = nullptr;
    QLabel* inputLabel_ = nullptr;
    QLabel* outputLabel_ = nullptr;
    std::vector<std::string> m_tokens;
};
