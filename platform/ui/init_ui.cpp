#include "platform/ui/init_ui.h"
#include "platform/ui/ui_log.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

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

bool useChineseQtTexts()
{
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    static QTranslator* translator = nullptr;
    if (translator)
        return true;
    auto* loaded = new QTranslator(QCoreApplication::instance());
    if (!loaded->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete loaded;
        static bool warned = false;
        if (!warned) {
            warned = true;
            qCWarning(lcUi) << "Qt's Chinese translation qtbase_zh_CN is not installed; its own texts stay English";
        }
        return false;
    }
    QCoreApplication::installTranslator(loaded);
    translator = loaded;
    return true;
}

bool windowOpacitySupported()
{
    // Offscreen, minimal, Wayland and the framebuffer platforms ignore
    // QWidget::setWindowOpacity.
    const QString name = QGuiApplication::platformName();
    return name == QLatin1String("xcb") || name == QLatin1String("windows") || name == QLatin1String("cocoa");
}

} // namespace ui
