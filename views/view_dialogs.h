#pragma once
// The dialogs the views open, behind one interface installed process-wide
// (as ui::setModalHost installs the message boxes): the dialog, prompt and
// main frame code implements it, tests script it, and views stay free of
// the dialog classes. Every operation runs on the UI thread and may run a
// nested event loop. Free of Qt Widgets: `parent` is only handed on.
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class CQelPlan;
class CQelProcessor;
class QWidget;
struct LogoOsdValues; // views/logo_osd_values.h

// Texts the views show (translated before display).
namespace viewtext {
inline constexpr char kNotConnected[] = "处理器未连接，请连接处理器！";
inline constexpr char kPlanSaveFailed[] = "方案保存失败，请重试!";
} // namespace viewtext

// A window's wall rectangle and source crop as the window position dialog
// edits them, in this order.
struct WindowRectValues {
    int32_t wallLeft = 0;
    int32_t wallTop = 0;
    int32_t wallRight = 0;
    int32_t wallBottom = 0;
    int32_t cropLeft = 0;
    int32_t cropTop = 0;
    int32_t cropRight = 0;
    int32_t cropBottom = 0;

    bool operator==(const WindowRectValues&) const = default;
};

// The resolution of a window's source, the window position dialog's limits.
struct SourceResolution {
    int32_t width = 0;
    int32_t height = 0;
    int32_t rate = 0;
};

class IViewDialogs {
public:
    virtual ~IViewDialogs() = default;

    // The operation password: true when it is accepted. Asks only while the
    // process-wide accepted flag is not set.
    virtual bool ConfirmPassword(QWidget* parent, const QString& expected) = 0;
    // The preset slot to store a plan in (the dialog starts at slot 0);
    // nothing when cancelled.
    virtual std::optional<int> ChoosePresetSlot(QWidget* parent, const std::shared_ptr<CQelProcessor>& processor) = 0;
    // Asks for a new name, saves a copy of `plan` under it and adds it to
    // the plan manager; true with `name` replaced by the new name.
    virtual bool SavePlanAs(QWidget* parent, const std::shared_ptr<CQelPlan>& plan, std::string& name) = 0;
    // The name dialog with a caption, a prompt and the starting name; the
    // entered name (empty allowed), or nothing when cancelled.
    virtual std::optional<QString> AskName(QWidget* parent, const QString& caption, const QString& prompt,
                                           const QString& name) = 0;
    // The window position dialog on `values`, with the source's resolution
    // as limits when it is known; each preview the operator asks for is
    // handed to `preview` while it runs. True (values replaced) on OK.
    virtual bool EditWindowPosition(QWidget* parent, WindowRectValues& values,
                                    const std::optional<SourceResolution>& source,
                                    const std::function<void(const WindowRectValues&)>& preview) = 0;
    // The OSD settings dialog on a logo window's values; changes of colour
    // and flags are handed to `preview` while it runs. True (values
    // replaced) on OK.
    virtual bool EditLogoOsd(QWidget* parent, LogoOsdValues& values,
                             const std::function<void(const LogoOsdValues&)>& preview) = 0;
    // The main frame's standard-output plan made from the view's plan; true
    // when a new plan and view were made.
    virtual bool NewPlanFromView(const std::shared_ptr<CQelPlan>& plan) = 0;
    // The main frame's guide lines off (reference-line style 0).
    virtual void ClearGuideLines() = 0;
};

// Answers every question with cancel and does nothing: the dialogs in use
// until the program installs its own.
class CancellingViewDialogs : public IViewDialogs {
public:
    bool ConfirmPassword(QWidget*, const QString&) override { return false; }
    std::optional<int> ChoosePresetSlot(QWidget*, const std::shared_ptr<CQelProcessor>&) override
    {
        return std::nullopt;
    }
    bool SavePlanAs(QWidget*, const std::shared_ptr<CQelPlan>&, std::string&) override { return false; }
    std::optional<QString> AskName(QWidget*, const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    bool EditWindowPosition(QWidget*, WindowRectValues&, const std::optional<SourceResolution>&,
                            const std::function<void(const WindowRectValues&)>&) override
    {
        return false;
    }
    bool EditLogoOsd(QWidget*, LogoOsdValues&, const std::function<void(const LogoOsdValues&)>&) override
    {
        return false;
    }
    bool NewPlanFromView(const std::shared_ptr<CQelPlan>&) override { return false; }
    void ClearGuideLines() override {}
};

// The dialogs in use: the cancelling default unless others were installed.
IViewDialogs& viewDialogs();
// Installs `dialogs` (null restores the default); returns the previous
// ones, null when the default was in use.
IViewDialogs* setViewDialogs(IViewDialogs* dialogs);
