#pragma once
// What the dialogs share: translated texts and the current processor.
#include <QString>
#include <memory>

class CQelProcessor;

// A text of the program through the translation table.
QString Tr(const char* text);

// The processor the dialogs act on: the context's selected one, looked up
// at each use; null when none is selected.
std::shared_ptr<CQelProcessor> CurrentProcessor();
