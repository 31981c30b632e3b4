#include "platform/ui/post_to_ui.h"

#include <QCoreApplication>

namespace ui {

bool postToUi(const QPointer<QObject>& receiver, std::function<void()> fn)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || receiver.isNull() || !fn)
        return false;
    // Every call is relayed through the application object, so calls keep
    // their order whatever their receivers, and the receiver is checked on
    // the UI thread, where it is deleted.
    QMetaObject::invokeMethod(
        app,
        [receiver, fn = std::move(fn)] {
            if (receiver)
                fn();
        },
        Qt::QueuedConnection);
    return true;
}

} // namespace ui
