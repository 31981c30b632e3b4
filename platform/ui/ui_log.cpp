#include "platform/ui/ui_log.h"

namespace ui {
Q_LOGGING_CATEGORY(lcUi, "tavrix.ui")
} // namespace ui
