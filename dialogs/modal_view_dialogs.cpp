#include "dialogs/modal_view_dialogs.h"

#include "dialogs/name_dlg.h"
#include "dialogs/osd_config_dlg.h"
#include "dialogs/password_dlg.h"
#include "dialogs/preset_slot_dlg.h"
#include "dialogs/set_window_dlg.h"
#include "views/logo_osd_values.h"

namespace {
LogoOsdValues ValuesOf(const COSDConfig& dialog)
{
    LogoOsdValues v;
    v.captionColour = dialog.m_captionColour;
    v.backgroundColour = dialog.m_backColour;
    v.shown = dialog.m_nShow != 1;
    v.transparent = dialog.m_bTransparent;
    v.logo = dialog.m_logo;
    v.left = dialog.m_nLeft;
    v.top = dialog.m_nTop;
    return v;
}
} // namespace

bool ModalViewDialogs::ConfirmPassword(QWidget* parent, const QString& expected)
{
    return AskOperationPassword(parent, expected);
}

std::optional<int> ModalViewDialogs::ChoosePresetSlot(QWidget* parent, const std::shared_ptr<CQelProcessor>& processor)
{
    C4H1ShortcutKeysDlg dialog(processor, parent);
    dialog.m_nSlot = 0;
    if (dialog.DoModal() != QDialog::Accepted)
        return std::nullopt;
    return dialog.m_nSlot;
}

std::optional<QString> ModalViewDialogs::AskName(QWidget* parent, const QString& caption, const QString& prompt,
                                                 const QString& name)
{
    CNameDlg dialog(parent);
    dialog.m_strCaption = caption;
    dialog.m_strPrompt = prompt;
    dialog.m_strName = name;
    if (dialog.DoModal() != QDialog::Accepted)
        return std::nullopt;
    return dialog.GetName();
}

bool ModalViewDialogs::EditWindowPosition(QWidget* parent, WindowRectValues& values,
                                          const std::optional<SourceResolution>& source,
                                          const std::function<void(const WindowRectValues&)>& preview)
{
    CSetWindowDlgEx dialog(parent);
    dialog.m_values = values;
    if (source)
        dialog.SetLimits(source->width, source->height, source->rate);
    dialog.m_preview = preview;
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    values = dialog.m_values;
    return true;
}

bool ModalViewDialogs::EditLogoOsd(QWidget* parent, LogoOsdValues& values,
                                   const std::function<void(const LogoOsdValues&)>& preview)
{
    COSDConfig dialog(parent);
    dialog.m_nShow = values.shown ? 0 : 1;
    dialog.m_bTransparent = values.transparent;
    dialog.m_nTop = values.top;
    dialog.m_nLeft = values.left;
    dialog.m_captionColour = values.captionColour;
    dialog.m_backColour = values.backgroundColour;
    dialog.m_logo = values.logo;
    if (preview)
        dialog.m_notify = [&preview](COSDConfig& d) { preview(ValuesOf(d)); };
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    values = ValuesOf(dialog);
    return true;
}

ModalViewDialogs& ProgramViewDialogs()
{
    static ModalViewDialogs dialogs;
    return dialogs;
}
