#pragma once
// The views' dialogs of the running program: the password, slot, name,
// window position and OSD settings dialogs. What only the main frame can
// do (save as, the standard-output plan, guide lines) goes to the frame's
// operations once the frame hands them over, and is cancelled until then.
#include "views/view_dialogs.h"

class ModalViewDialogs final : public IViewDialogs {
public:
    explicit ModalViewDialogs(IViewDialogs* frameOperations = nullptr) : frame_(frameOperations) {}
    // Null cancels the frame's operations again.
    void SetFrameOperations(IViewDialogs* frameOperations) { frame_ = frameOperations; }

    bool ConfirmPassword(QWidget* parent, const QString& expected) override;
    std::optional<int> ChoosePresetSlot(QWidget* parent, const std::shared_ptr<CQelProcessor>& processor) override;
    std::optional<QString> AskName(QWidget* parent, const QString& caption, const QString& prompt,
                                   const QString& name) override;
    bool EditWindowPosition(QWidget* parent, WindowRectValues& values, const std::optional<SourceResolution>& source,
                            const std::function<void(const WindowRectValues&)>& preview) override;
    bool EditLogoOsd(QWidget* parent, LogoOsdValues& values,
                     const std::function<void(const LogoOsdValues&)>& preview) override;

    bool SavePlanAs(QWidget* parent, const std::shared_ptr<CQelPlan>& plan, std::string& name) override;
    bool NewPlanFromView(const std::shared_ptr<CQelPlan>& plan) override;
    void ClearGuideLines() override;

private:
    IViewDialogs& Frame() { return frame_ ? *frame_ : cancelling_; }

    IViewDialogs* frame_ = nullptr;
    CancellingViewDialogs cancelling_;
};

// The program's instance, which start-up installs for the views.
ModalViewDialogs& ProgramViewDialogs();
