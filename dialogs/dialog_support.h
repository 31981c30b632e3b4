#pragma once
// What the dialogs share: translated texts, the current processor and the
// OK / Cancel row.
#include <QString>
#include <memory>

class CQelProcessor;
class QBoxLayout;
class QDialog;
class QPushButton;

// A text of the program through the translation table.
QString Tr(const char* text);

// The processor the dialogs act on: the context's selected one, looked up
// at each use; null when none is selected.
std::shared_ptr<CQelProcessor> CurrentProcessor();

// Adds "确定" (the default button) and "取消" to the right of `row`; Cancel
// rejects, OK is left to the dialog.
void AddOkCancel(QDialog& dialog, QBoxLayout& row, QPushButton*& ok, QPushButton*& cancel);
