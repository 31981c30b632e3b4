#pragma once
// The video wall of the current processor: rows and columns of screens,
// the outputs of its cells, and (on the LED kinds) the wall's margins.
#include <array>
#include <cstdint>

#include "dialogs/modal_dialog.h"
#include "platform/geometry.h"

class CSpinButtonCtrl;
class CUiVideoWallWnd;
class QLineEdit;
namespace ui {
struct Notify;
}

class CSetVideoWallDlg : public CModalDialog {
    Q_OBJECT
public:
    enum Margin { kLeft, kTop, kRight, kBottom, kMarginCount };

    explicit CSetVideoWallDlg(QWidget* parent = nullptr);

    // The fields as last read.
    int32_t m_nRows = 1;
    int32_t m_nCols = 1;
    Rect m_margin;

    QLineEdit* RowsEdit() const { return rows_; }
    QLineEdit* ColsEdit() const { return cols_; }
    QLineEdit* MarginEdit(Margin m) const { return margins_[m]; }
    CSpinButtonCtrl* RowsSpin() const { return rowsSpin_; }
    CSpinButtonCtrl* ColsSpin() const { return colsSpin_; }
    CUiVideoWallWnd* Grid() const { return grid_; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    // Reads every field into the members; false, with the range message
    // told, at the first one out of range.
    bool UpdateData();
    void OnWallSizeChanged();

    QLineEdit* rows_ = nullptr;
    QLineEdit* cols_ = nullptr;
    std::array<QLineEdit*, kMarginCount> margins_{};
    CSpinButtonCtrl* rowsSpin_ = nullptr;
    CSpinButtonCtrl* colsSpin_ = nullptr;
    CUiVideoWallWnd* grid_ = nullptr;
    bool filling_ = false;
};
