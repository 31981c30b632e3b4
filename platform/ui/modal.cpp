#include "platform/ui/modal.h"
#include "platform/ui/init_ui.h"

#include "platform/ui/virtual_key.h"

#include <QAction>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>

namespace ui {
namespace {

// Once the menu shows, as a Down key does: the first enabled item becomes
// active and a sub-menu of it stays closed (making it active directly would
// open that).
void selectFirstItem(QMenu& menu)
{
    QMetaObject::invokeMethod(
        &menu,
        [&menu] {
            if (menu.activeAction())
                return;
            QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
            QCoreApplication::sendEvent(&menu, &down);
        },
        Qt::QueuedConnection);
}

// Tells a watcher the keys and pointer moves of an open menu and its
// sub-menus.
class MenuEventRelay final : public QObject {
public:
    MenuEventRelay(QMenu& menu, PopupWatcher* watcher) : menu_(menu), watcher_(watcher)
    {
        if (!watcher_)
            return;
        menu.installEventFilter(this);
        for (QMenu* sub : menu.findChildren<QMenu*>())
            sub->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Keys pressed (not the Down that selects the first item) go to the
        // newest open menu.
        if (event->type() == QEvent::KeyPress && event->spontaneous()) {
            const auto* menu = qobject_cast<QMenu*>(watched);
            const QAction* active = menu ? menu->activeAction() : nullptr;
            return watcher_->popupKey(virtualKey(*static_cast<QKeyEvent*>(event)), openMenus(),
                                      active && active->menu());
        }
        if (event->type() == QEvent::MouseMove)
            watcher_->popupMouseMove(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return false;
    }

private:
    int openMenus() const
    {
        int open = menu_.isVisible() ? 1 : 0;
        for (const QMenu* sub : menu_.findChildren<QMenu*>())
            open += sub->isVisible() ? 1 : 0;
        return open;
    }

    QMenu& menu_;
    PopupWatcher* watcher_;
};

class QtModalHost final : public ModalHost {
public:
    void inform(QWidget* parent, const QString& text) override
    {
        QMessageBox::information(parent, QString::fromLatin1(kProgramTitle), text);
    }

    bool askYesNo(QWidget* parent, const QString& text) override
    {
        return QMessageBox::question(parent, QString::fromLatin1(kProgramTitle), text,
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    }

    int runDialog(QDialog& dialog) override
    {
        if (dialog.windowTitle().isEmpty())
            dialog.setWindowTitle(QString::fromLatin1(kProgramTitle));
        return dialog.exec();
    }

    int popupMenu(QWidget* parent, const MenuSpec& menuSpec, const QPoint& globalPos,
                  const PopupOptions& options) override
    {
        QMenu menu(parent);
        renderMenu(menuSpec, menu);
        if (options.selectFirst)
            selectFirstItem(menu);
        const MenuEventRelay relay(menu, options.watcher);
        const QPointer<QMenu> outer = open_;
        open_ = &menu;
        const QAction* chosen = menu.exec(globalPos);
        open_ = outer;
        return chosen ? chosen->data().toInt() : 0;
    }

    void cancelPopup() override
    {
        // Its sub-menus go with it.
        if (open_)
            open_->close();
    }

    QString chooseFile(QWidget* parent, const FileChoice& choice) override
    {
        QFileDialog dialog(parent, choice.title, choice.initialPath, choice.filter);
        dialog.setAcceptMode(choice.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(choice.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(choice.defaultSuffix);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    }

    std::optional<ColorRef> chooseColour(QWidget* parent, ColorRef initial) override
    {
        const QColor chosen = QColorDialog::getColor(toQColor(initial), parent);
        if (!chosen.isValid())
            return std::nullopt;
        return fromQColor(chosen);
    }

private:
    QPointer<QMenu> open_; // the menu popupMenu is running
};

QtModalHost& qtHost()
{
    static QtModalHost host;
    return host;
}

ModalHost* g_host = nullptr;

} // namespace

ModalHost& modalHost()
{
    return g_host ? *g_host : qtHost();
}

ModalHost* setModalHost(ModalHost* host)
{
    ModalHost* previous = g_host ? g_host : &qtHost();
    g_host = host == &qtHost() ? nullptr : host;
    return previous;
}

} // namespace ui
