#pragma once
// The LED wall wizard: rows, columns, pixel sizes and screen outputs on its
// first page, monitor outputs on its second. It works on a copy of the
// processor's wall, which reaches the processor and its file only when
// "完成" passes every check.
#include <QWizard>
#include <QWizardPage>
#include <memory>

#include "dialogs/wall_setup_core.h"

class CQelProcessor;
class CSpinButtonCtrl;
class CUiVideoWallWnd;
class QLabel;
class QLineEdit;
namespace ui {
struct Notify;
}

class CSetLEDVideoWallPropertySheet;

// A page of the wizard: filled once when first shown, refreshed each time
// it becomes the current page.
class CLedWallPage : public QWizardPage {
    Q_OBJECT
public:
    using QWizardPage::QWizardPage;
    void Activate();

protected:
    virtual void OnInitDialog() = 0;
    virtual void OnSetActive() = 0;
    CSetLEDVideoWallPropertySheet& Sheet() const;
    LedWallDraft& Draft() const;
    // Sets an edit's text without its change handler running.
    void PutText(QLineEdit* edit, const QString& text);

    bool filling_ = false;

private:
    bool initialised_ = false;
};

class CSetLEDVideoWallStep3PageEx : public CLedWallPage {
    Q_OBJECT
public:
    static constexpr int kGridId = 100;
    explicit CSetLEDVideoWallStep3PageEx(QWidget* parent = nullptr);

    QLineEdit* ColumnWidthEdit() const { return colWidth_; }
    QLineEdit* RowHeightEdit() const { return rowHeight_; }
    QLineEdit* RowsEdit() const { return rows_; }
    QLineEdit* ColsEdit() const { return cols_; }
    QLabel* WallHeightLabel() const { return wallHeight_; }
    QLabel* WallWidthLabel() const { return wallWidth_; }
    QLabel* InfoLabel() const { return info_; }
    CUiVideoWallWnd* Grid() const { return grid_; }
    std::pair<int32_t, int32_t> SelectedCell() const { return {selRow_, selCol_}; }

    // Next and Finish go on only with both counts in range.
    bool validatePage() override;

protected:
    void OnInitDialog() override;
    void OnSetActive() override;

private:
    void OnGridNotify(const ui::Notify& n);
    void OnRowHeightChanged();
    void OnColWidthChanged();
    void OnRowsChanged();
    void OnColsChanged();
    // Takes a size typed into `edit` for the selected row or column.
    void OnSizeChanged(QLineEdit* edit, bool row);
    // Takes a row or column count typed into `edit` once it is in range;
    // other text stays as typed until it is checked.
    void OnCountChanged(QLineEdit* edit, bool rows);
    // The range check of a count field: told, and the focus back on it.
    bool CheckCount(QLineEdit* edit);
    void ShowSelectedSizes();
    void ShowTotals();
    void RefreshGrid();

    QLineEdit* colWidth_ = nullptr;
    QLineEdit* rowHeight_ = nullptr;
    QLineEdit* rows_ = nullptr;
    QLineEdit* cols_ = nullptr;
    CSpinButtonCtrl* rowsSpin_ = nullptr;
    CSpinButtonCtrl* colsSpin_ = nullptr;
    QLabel* wallHeight_ = nullptr;
    QLabel* wallWidth_ = nullptr;
    QLabel* info_ = nullptr;
    CUiVideoWallWnd* grid_ = nullptr;
    int32_t selRow_ = 0;
    int32_t selCol_ = 0;
};

class CSetLEDVideoWallStep4Page : public CLedWallPage {
    Q_OBJECT
public:
    static constexpr int kGridId = 101;
    explicit CSetLEDVideoWallStep4Page(QWidget* parent = nullptr);

    QLineEdit* CountEdit() const { return count_; }
    CUiVideoWallWnd* Grid() const { return grid_; }

protected:
    void OnInitDialog() override;
    void OnSetActive() override;

private:
    void OnCountChanged();
    void OnGridNotify(const ui::Notify& n);

    QLabel* label_ = nullptr;
    QLineEdit* count_ = nullptr;
    CUiVideoWallWnd* grid_ = nullptr;
};

class CSetLEDVideoWallPropertySheet : public QWizard {
    Q_OBJECT
public:
    CSetLEDVideoWallPropertySheet(const QString& caption, std::shared_ptr<CQelProcessor> processor,
                                  QWidget* parent = nullptr);

    void AddPage(CLedWallPage* page);
    int DoModal();

    const std::shared_ptr<CQelProcessor>& Processor() const { return processor_; }
    LedWallDraft& Draft() { return draft_; }
    QString Caption() const { return caption_; }

    void done(int result) override;

protected:
    void OnInitDialog();
    // The "完成" checks; on success the wall is written and saved.
    bool OnWizardFinish();

private:
    QString caption_;
    std::shared_ptr<CQelProcessor> processor_;
    LedWallDraft draft_;
};

// The wall set-up of the processor (command 1302, caption button 1 and
// the processor node's "设置屏幕墙"): the LED wizard on the LED kinds, the
// video wall dialog on the others. True only when the wizard ended with OK.
bool RunWallSetup(QWidget* parent, const std::shared_ptr<CQelProcessor>& processor);
