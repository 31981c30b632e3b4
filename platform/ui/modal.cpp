#include "platform/ui/modal.h"

#include <QAction>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>

namespace ui {
namespace {

void selectFirstItem(QMenu& menu)
{
    for (QAction* action : menu.actions()) {
        if (!action->isSeparator() && action->isVisible() && action->isEnabled()) {
            menu.setActiveAction(action);
            return;
        }
    }
}

class QtModalHost final : public ModalHost {
public:
    void inform(QWidget* parent, const QString& text) override
    {
        QMessageBox::information(parent, QString(), text);
    }

    bool askYesNo(QWidget* parent, const QString& text) override
    {
        return QMessageBox::question(parent, QString(), text, QMessageBox::Yes | QMessageBox::No)
               == QMessageBox::Yes;
    }

    int runDialog(QDialog& dialog) override { return dialog.exec(); }

    int popupMenu(QWidget* parent, const MenuSpec& menuSpec, const QPoint& globalPos,
                  const PopupOptions& options) override
    {
        QMenu menu(parent);
        renderMenu(menuSpec, menu);
        if (options.selectFirst)
            selectFirstItem(menu);
        const QAction* chosen = menu.exec(globalPos);
        return chosen ? chosen->data().toInt() : 0;
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
