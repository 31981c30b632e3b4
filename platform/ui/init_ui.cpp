#include "platform/ui/init_ui.h"
#include "platform/ui/ui_log.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>

namespace ui {

bool initUi()
{
    const QString family = QString::fromLatin1(kCjkFamily);
    for (const QString& face : {QStringLiteral("宋体"), QStringLiteral("SimSun")}) {
        if (!QFont::substitutes(face).contains(family))
            QFont::insertSubstitution(face, family);
    }
    const bool installed = QFontDatabase::hasFamily(family);
    static bool warned = false;
    if (!installed && !warned) {
        warned = true;
        qCWarning(lcUi) << "font family" << kCjkFamily << "is not installed; Chinese text may not show";
    }
    return installed;
}

bool windowOpacitySupported()
{
    // Offscreen, minimal, Wayland and the framebuffer platforms ignore
    // QWidget::setWindowOpacity.
    const QString name = QGuiApplication::platformName();
    return name == QLatin1String("xcb") || name == QLatin1String("windows") || name == QLatin1String("cocoa");
}

} // namespace ui
