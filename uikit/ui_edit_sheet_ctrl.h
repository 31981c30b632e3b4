#pragma once
#include "uikit/ui_sheet_ctrl.h"

#include <QLineEdit>
#include <cstdint>

class CUiEditSheetCtrl;

// What the edit sheet reports besides the sheet's own codes.
enum EditSheetNotifyCode {
    kSheetEditStarted = 1001,   // p0 row, p1 column
    kSheetEditCommitted = 1002, // p0 row, p1 column, whether or not the text changed
};

// The in-cell editor: Enter hands the focus back to the sheet, and losing
// the focus asks the sheet to commit.
class CUiSheetEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CUiSheetEdit(CUiEditSheetCtrl* sheet);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    CUiEditSheetCtrl* sheet_;
};

// A sheet whose columns flagged editable (0x0100) are edited in place: a
// double click on such a cell lays the editor over it (code 1001), and the
// editor's loss of focus stores its text in the cell (code 1002). Neither
// the replayed clicks near the left edge nor the hover cross-hair of the
// plain sheet happen here.
class CUiEditSheetCtrl : public CUiSheetCtrl {
    Q_OBJECT
public:
    explicit CUiEditSheetCtrl(QWidget* parent = nullptr);
    ~CUiEditSheetCtrl() override;

    CUiSheetEdit* Editor() const { return editor_; }
    bool IsEditing() const { return edit_.open; }

    bool DeleteColumn(int column) override;
    int DeleteAllColumns(bool alsoRows) override;
    bool DeleteRow(int row) override;
    int DeleteAllRows() override;

private:
    friend class CUiSheetEdit;

    // The edited row and column are kept by identity, so rows inserted,
    // moved or deleted meanwhile cannot redirect the text; each edit has
    // a serial so that a commit request queued for one edit never
    // commits another.
    struct Edit {
        const CSItem* row = nullptr;
        const SheetColumn* column = nullptr;
        bool open = false;
        std::uint64_t serial = 0;
    };

    bool ReplaysLeftEdgeClicks() const override { return false; }
    void RowDoubleClicked(int row, int column) override;
    void DrawHoverCross(int x, int y) override;

    // Queues the commit of the edit now open.
    void RequestCommit();
    void OnCommitRequest(std::uint64_t serial);
    // Hides the editor and stores its text in the edited cell, if that
    // still exists.
    void CommitEdit();
    // Ends the edit without storing anything.
    void CloseEdit();
    int ColumnIndex(const SheetColumn* column) const;

    CUiSheetEdit* editor_ = nullptr;
    Edit edit_;
};
