#pragma once
// What the dialogs share: translated texts and the current processor.
#include <QRect>
#include <QString>
#include <memory>

#include "core/language_tr.h"

class CQelProcessor;

// The processor the dialogs act on: the context's selected one, looked up
// at each use; null when none is selected.
std::shared_ptr<CQelProcessor> CurrentProcessor();

// Places a control of a dialog's fixed layout and names it by its control
// id, by which tests and the templates know it.
template <class Control>
Control* PlaceControl(Control* control, const QRect& rect, int id)
{
    control->setGeometry(rect);
    control->setObjectName(QString::number(id));
    return control;
}
