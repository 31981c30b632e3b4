#include "uikit/ui_edit_sheet_ctrl.h"

#include "platform/ui/post_to_ui.h"
#include "platform/ui/rect_convert.h"

#include <QKeyEvent>

CUiSheetEdit::CUiSheetEdit(CUiEditSheetCtrl* sheet) : QLineEdit(sheet), sheet_(sheet) {}

void CUiSheetEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Leaving the editor is what commits.
        sheet_->setFocus(Qt::OtherFocusReason);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CUiSheetEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // The editor's own context menu takes the focus only for a moment.
    if (event->reason() != Qt::PopupFocusReason)
        sheet_->RequestCommit();
}

CUiEditSheetCtrl::CUiEditSheetCtrl(QWidget* parent) : CUiSheetCtrl(parent)
{
    editor_ = new CUiSheetEdit(this);
    editor_->setFont(font());
    editor_->hide();
}

CUiEditSheetCtrl::~CUiEditSheetCtrl()
{
    // Gone before the sheet's bases, so its loss of focus asks nothing of them.
    edit_.open = false;
    delete editor_;
}

void CUiEditSheetCtrl::DrawHoverCross(int, int) {}

int CUiEditSheetCtrl::ColumnIndex(const SheetColumn* column) const
{
    for (int i = 0; i < GetColumnCount(); ++i)
        if (Header().At(i) == column)
            return i;
    return -1;
}

void CUiEditSheetCtrl::RowDoubleClicked(int row, int column)
{
    const CSItem* item = Row(row);
    if (edit_.open) {
        // The commit queued when the editor lost the focus has not run yet:
        // finish that edit before this one takes the editor.
        CommitEdit();
        if ((row = IndexOf(item)) < 0)
            return;
    }
    const SheetColumn* col = Header().At(column);
    Rect cell;
    if (!col || !(col->flags & kColumnEditable) || !GetCellRect(row, column, cell))
        return;
    editor_->setFont(ItemFont());
    editor_->setGeometry(ui::toQRect(Rect{cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1}));
    editor_->setText(GetItemText(row, column));
    editor_->selectAll();
    edit_ = Edit{item, col, true, edit_.serial + 1};
    const std::uint64_t serial = edit_.serial;
    Notify(SheetNotify{kSheetEditStarted, row, column, 0, 0, 0});
    if (!edit_.open || edit_.serial != serial)
        return; // the owner deleted the row or column meanwhile
    editor_->show();
    editor_->setFocus(Qt::MouseFocusReason);
}

void CUiEditSheetCtrl::RequestCommit()
{
    if (!edit_.open)
        return;
    const std::uint64_t serial = edit_.serial;
    ui::postToUi(this, [this, serial] { OnCommitRequest(serial); });
}

void CUiEditSheetCtrl::OnCommitRequest(std::uint64_t serial)
{
    if (edit_.open && edit_.serial == serial)
        CommitEdit();
}

void CUiEditSheetCtrl::CloseEdit()
{
    edit_.open = false;
    edit_.row = nullptr;
    edit_.column = nullptr;
    if (editor_->hasFocus())
        setFocus(Qt::OtherFocusReason);
    editor_->hide();
}

void CUiEditSheetCtrl::CommitEdit()
{
    const Edit edit = edit_;
    CloseEdit();
    if (!edit.open)
        return;
    const int row = IndexOf(edit.row);
    const int column = ColumnIndex(edit.column);
    if (row < 0 || column < 0)
        return;
    SetItemText(row, column, editor_->text());
    Notify(SheetNotify{kSheetEditCommitted, row, column, 0, 0, 0});
}

bool CUiEditSheetCtrl::DeleteColumn(int column)
{
    if (edit_.open && Header().At(column) == edit_.column)
        CloseEdit();
    return CUiSheetCtrl::DeleteColumn(column);
}

int CUiEditSheetCtrl::DeleteAllColumns(bool alsoRows)
{
    if (edit_.open)
        CloseEdit();
    return CUiSheetCtrl::DeleteAllColumns(alsoRows);
}

bool CUiEditSheetCtrl::DeleteRow(int row)
{
    if (edit_.open && Row(row) == edit_.row)
        CloseEdit();
    return CUiSheetCtrl::DeleteRow(row);
}

int CUiEditSheetCtrl::DeleteAllRows()
{
    if (edit_.open)
        CloseEdit();
    return CUiSheetCtrl::DeleteAllRows();
}
