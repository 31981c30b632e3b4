#pragma once
#include "platform/ui/modal.h"
#include "views/plan_closing.h"

// A view's plan prompts: the modal seam's message boxes over `parent`.
inline PlanPrompts ModalPlanPrompts(QWidget* parent)
{
    return PlanPrompts{[parent](const QString& text) { return ui::askYesNo(parent, text); },
                       [parent](const QString& text) { ui::inform(parent, text); }};
}
