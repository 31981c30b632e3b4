#pragma once
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "dialogs/screen_power_system.h"
#include "frame/heartbeat.h"
#include "frame/main_ctrl_bar.h"
#include "views/view_tab_container.h"
#include "frame/source_drag.h"
#include "frame/tavrix_doc.h"
#include "platform/ui/popup_menu.h"
#include "platform/ui/ui_timer.h"
#include "uikit/custom_nc.h"

class CSingleInstance;
class CQelPlan;
class CQelProcessor;
class CMultiScreenView;
class IViewDialogs;

// The main window: the custom caption with its picture buttons and the
// menu read from MainMenu.xml, the control bar docked left, and the view
// container with the first views. Its 50 ms heartbeat polls the
// processors' status every 200 ms, delivers the events worker threads
// posted, turns a termination signal into an ordinary close and answers
// another copy's raise request. Closing stops the heartbeat first, asks
// about unsaved plans, lets the views go, then runs the close handler.
class CMainFrame : public QMainWindow, public IScreenPowerFrame {
    Q_OBJECT
public:
    static constexpr int kTimerMs = 50;
    static constexpr int kCtrlBarCollapsed = 48;
    static constexpr int kCtrlBarExpanded = 268;
    static constexpr unsigned kCtrlBarStyle = 0x50001400; // child, visible, left, border right

    // `instance` (may be null) is polled for raise requests.
    CMainFrame(std::function<void()> onClose, CSingleInstance* instance, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // False when the window could not be made (the caption could not be
    // attached or the client area could not be built).
    bool IsCreated() const { return created_; }
    CTavrixDoc& GetDocument() { return doc_; }
    bool IsPumping() const { return timer_.isActive(); }

    // Bit 0 of "MainFrm.AppType": 1 wall editor, 0 switching program.
    static int GetAppType();

    // Restores the window when minimised and brings it forward.
    void RaiseFromOtherInstance();

    // The menu bar shown in the caption.
    const ui::MenuSpec& GetMenu() const { return menu_; }
    void SetMenu(const ui::MenuSpec& menu);
    void LoadMainMenu();
    // Rebuilds the caption's picture buttons and bitmaps.
    void CreateCtrlBarButtons();

    // A command of the menu; false when nobody handled it.
    bool OnCommand(int id);
    // Runs the menu's update handlers on a drop-down about to open.
    void UpdateMenu(ui::MenuSpec& menu) const;
    // A caption button pressed.
    void OnCtrlBarNotify(int id);
    void OnHotKey(int id);
    void OnUpdateFrameTitle();

    void OnConnectProcessor() override;
    void OnConnectProcessorMode2() override;
    void OnDisconnectProcessor() override;
    // The screen power controller's message box.
    void ShowMessage(const std::string& text) override;
    void OnToggleSegWindowTip();
    void OnToggleInvalidRectTip();
    void OnToggleResourceTip();
    void OnRunWallTool();
    // Plan operations. Names and messages go through the modal seam; a
    // name the plan manager cannot use is told and changes nothing.
    void NewPlan();
    // A new wall view on the standard-output plan derived from `plan`;
    // false when no plan was derived (no wall view active, not a type-1
    // plan, no processor).
    bool NewPlanFromView(const std::shared_ptr<CQelPlan>& plan);
    // Selects the tab showing the saved plan, or loads it into a new view.
    void CreatePlanViews(const std::string& name);
    void RenamePlan(const std::string& name);
    // Closes the plan's tab without a question, deletes its files and its
    // cycle-plan cells. The caller asks.
    void DeletePlan(const std::string& name);
    // True when a copy of `plan` was saved under the entered name; `name`
    // then holds it and the plan's tab shows it.
    bool SavePlanAs(QWidget* parent, const std::shared_ptr<CQelPlan>& plan, std::string& name);
    void BuildPlanLayout(int layoutTemplate, CQelPlan& plan) const;
    static int32_t GetLayoutSourceId(int position);
    // The device and settings commands, each opening its dialog.
    void OnResetPassword();
    void OnBorderFineTune();
    void OnSetProcessor();
    void OnLedWallWizard();
    void OnScreenConfig();
    void OnSetOutResolution();
    void OnInputOsdEditor();
    void OnPresetRecall();
    void OnMatrixSwitch();
    // The device menu's about box (command 2001).
    void OnAbout();

    int ReferenceLineStyle() const { return refLineStyle_; }
    void SetReferenceLineStyle(int style);
    int DragState() const { return drag_.State(); }
    int ViewCounter() const { return viewCount_; }

    MXCustomNC& CustomNC() { return *title_; }
    CUiMainCtrlBar* CtrlBar() const { return ctrlBar_; }
    CViewTabContainer* ViewContainer() const { return container_; }
    // The container's current view, or its home view when no tab is current.
    QWidget* ActiveView() const;
    // The active view when it is a wall view.
    CMultiScreenView* ActiveWallView() const;
    // The processor of the context's selected processor id, looked up now.
    static std::shared_ptr<CQelProcessor> CurrentProcessor();
    // The wall's displays, switched by caption buttons 22 and 23.
    CLargeScreenSystem& ScreenPower() { return screen_; }

public slots:
    // The application's about command.
    void OnAppAbout();

protected:
    void closeEvent(QCloseEvent* event) override;
    // The source drag onto the wall view, seen for every widget of the
    // application before it gets the event.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool OnCreate();
    bool OnCreateClient();
    bool PreTranslateMessage(QObject* watched, QEvent* event);
    void OnTimer();
    // Connects the current processor over TCP (1) or the serial line (2).
    void ConnectOver(int32_t connectionType);
    void ShowZoomPopup(CMultiScreenView& view);
    void ToggleMoreButtons();
    void InvalidateActiveView();
    // Caption buttons 22 (open) and 23 (close): tells the operator of a failure.
    void OnScreenPower(bool open);
    // Makes a wall (kViewWall) or switch view for the plan under the next
    // view number, adds its tab and selects the plan; null when no view
    // could be made.
    QWidget* ShowPlanView(const std::shared_ptr<CQelPlan>& plan, int kind,
                          const QString& switchName = QStringLiteral("VSwitch_%1"));

    class FrameViewDialogs;

    std::function<void()> onClose_;
    CSingleInstance* instance_ = nullptr;
    CTavrixDoc doc_;
    CCustomTitle title_;
    QPointer<CUiMainCtrlBar> ctrlBar_;
    QPointer<CViewTabContainer> container_;
    int viewCount_ = 0;
    SourceDragMachine drag_;
    int refLineStyle_ = 1;
    StatusPollGate pollGate_;
    ui::MenuSpec menu_;
    std::unique_ptr<FrameViewDialogs> viewDialogs_;
    ui::UiTimer timer_;
    int popupDepth_ = 0; // the frame's own popups under way
    CLargeScreenSystem screen_;
    bool created_ = false;
    bool closing_ = false;
};
