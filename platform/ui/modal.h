#pragma once
#include "platform/ui/colour.h"
#include "platform/ui/popup_menu.h"

#include <QPoint>
#include <QString>
#include <optional>

class QDialog;
class QWidget;

namespace ui {

struct FileChoice {
    bool save = false; // else an "open" dialog
    QString title;
    QString filter; // Qt form: "Bitmaps (*.bmp)"
    QString defaultSuffix;
    QString initialPath;
};

// Every message box, modal dialog, popup menu and chooser goes through the
// installed host, so an offscreen test scripts the answers and never blocks.
// Callers pass texts already translated.
class ModalHost {
public:
    virtual ~ModalHost() = default;
    virtual void inform(QWidget* parent, const QString& text) = 0;
    virtual bool askYesNo(QWidget* parent, const QString& text) = 0;
    // The dialog's result code (QDialog::Accepted, Rejected or its own).
    virtual int runDialog(QDialog& dialog) = 0;
    // The chosen item's id, or 0 when the menu was dismissed.
    virtual int popupMenu(QWidget* parent, const MenuSpec& menu, const QPoint& globalPos,
                          const PopupOptions& options) = 0;
    // Closes the popup menu that popupMenu is running, which then returns 0;
    // nothing when none is open.
    virtual void cancelPopup() = 0;
    // The chosen path, or empty when cancelled.
    virtual QString chooseFile(QWidget* parent, const FileChoice& choice) = 0;
    // The chosen colour, or nothing when cancelled.
    virtual std::optional<ColorRef> chooseColour(QWidget* parent, ColorRef initial) = 0;
};

// The host in use: the Qt one unless another was installed.
ModalHost& modalHost();
// Installs `host` (null restores the Qt one); returns the previous host.
ModalHost* setModalHost(ModalHost* host);

inline void inform(QWidget* parent, const QString& text)
{
    modalHost().inform(parent, text);
}
inline bool askYesNo(QWidget* parent, const QString& text)
{
    return modalHost().askYesNo(parent, text);
}
inline int runDialog(QDialog& dialog)
{
    return modalHost().runDialog(dialog);
}
inline int popupMenu(QWidget* parent, const MenuSpec& menu, const QPoint& globalPos, const PopupOptions& options = {})
{
    return modalHost().popupMenu(parent, menu, globalPos, options);
}
inline QString chooseFile(QWidget* parent, const FileChoice& choice)
{
    return modalHost().chooseFile(parent, choice);
}
inline std::optional<ColorRef> chooseColour(QWidget* parent, ColorRef initial)
{
    return modalHost().chooseColour(parent, initial);
}

} // namespace ui
