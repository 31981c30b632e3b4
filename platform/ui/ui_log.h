#pragma once
#include <QLoggingCategory>

namespace ui {
// Warnings of the UI layer (an image that does not load, a missing font).
Q_DECLARE_LOGGING_CATEGORY(lcUi)
} // namespace ui
