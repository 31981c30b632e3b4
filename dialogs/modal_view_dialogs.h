#pragma once
// The views' dialogs of the running program: the password, slot, name,
// window position and OSD settings dialogs. What only the main frame can
// do (save as, the standard-output plan, guide lines) is cancelled here:
// the frame installs its own dialogs over these and answers those itself.
#include "views/view_dialogs.h"

class ModalViewDialogs final : public IViewDialogs {
public:
    bool ConfirmPassword(QWidget* parent, const QString& expected) override;
    std::optional<int> ChoosePresetSlot(QWidget* parent, const std::shared_ptr<CQelProcessor>& processor) override;
    std::optional<QString> AskName(QWidget* parent, const QString& caption, const QString& prompt,
                                   const QString& name) override;
    bool EditWindowPosition(QWidget* parent, WindowRectValues& values, const std::optional<SourceResolution>& source,
                            const std::function<void(const WindowRectValues&)>& preview) override;
    bool EditLogoOsd(QWidget* parent, LogoOsdValues& values,
                     const std::function<void(const LogoOsdValues&)>& preview) override;

    bool SavePlanAs(QWidget*, const std::shared_ptr<CQelPlan>&, std::string&) override { return false; }
    bool NewPlanFromView(const std::shared_ptr<CQelPlan>&) override { return false; }
    void ClearGuideLines() override {}
};

// The program's instance, which start-up installs for the views.
ModalViewDialogs& ProgramViewDialogs();
