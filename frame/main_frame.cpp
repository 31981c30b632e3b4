#include "frame/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDialog>
#include <QHBoxLayout>
#include <QProcess>
#include <QShortcut>
#include <filesystem>
#include <map>

#include "core/config.h"
#include "context/context.h"
#include "core/event_pump.h"
#include "core/language_tr.h"
#include "core/program_log.h"
#include "model/processor_jobs.h"
#include "model/processor_records.h"
#include "model/processor_settings.h"
#include "startup/single_instance.h"
#include "startup/termination_signals.h"
#include "corlane/app_path.h"
#include "dialogs/fwnd_size_fine_tune_dlg.h"
#include "dialogs/input_osd_config_dlg.h"
#include "dialogs/led_wall_wizard.h"
#include "dialogs/matrix_switch_dlg.h"
#include "dialogs/password_dlg.h"
#include "dialogs/preset_slot_dlg.h"
#include "dialogs/screen_power_dlg.h"
#include "dialogs/set_out_resolution_dlg.h"
#include "dialogs/set_processor_dlg.h"
#include "dialogs/zem_about_dlg.h"
#include "frame/about_dlg.h"
#include "frame/caption_buttons.h"
#include "frame/command_ids.h"
#include "frame/main_ctrl_bar.h"
#include "frame/plan_grid.h"
#include "frame/sig_src_sub_wnd.h"
#include "frame/xml_menu.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "plan/plan.h"
#include "plan/plan_manager.h"
#include "platform/ui/colour.h"
#include "platform/ui/image_file.h"
#include "platform/ui/init_ui.h"
#include "platform/ui/modal.h"
#include "uikit/caption_toolbar.h"
#include "uikit/res_path.h"
#include "views/multi_screen_view.h"
#include "views/navigation_view.h"
#include "views/switch_view.h"
#include "views/view_dialogs.h"
#include "views/view_manager.h"
#include "views/view_tab_container.h"

namespace {

constexpr int kTimerId = 1;
constexpr int kCtrlBarId = 1;
constexpr char kWallToolFolder[] = "/Skorvel";
constexpr char kWallTool[] = "/Skorvel V6.014L.exe";
constexpr char kVideoManagerPath[] = "/Tarvolm_VT/Pobrin_tarvolm_v.exe";
constexpr int kMaxZoom = 5;

CQelLog& Log()
{
    return *CQelContext::GetLog();
}

// Starts a program without waiting for it; false when it could not start.
bool StartProgram(const std::string& program, const std::string& folder)
{
    return QProcess::startDetached(QString::fromStdString(program), {}, QString::fromStdString(folder));
}

void ForEachItem(ui::MenuSpec& menu, const std::function<void(ui::MenuSpec&)>& visit)
{
    for (auto& item : menu.items) {
        visit(item);
        ForEachItem(item, visit);
    }
}

} // namespace

// The views' dialogs as installed before the frame, with the frame's own
// part: save as, the standard-output plan and the guide lines.
class CMainFrame::FrameViewDialogs : public IViewDialogs {
public:
    explicit FrameViewDialogs(CMainFrame& frame) : frame_(frame), previous_(setViewDialogs(this)) {}
    ~FrameViewDialogs() override { setViewDialogs(previous_); }

    bool ConfirmPassword(QWidget* parent, const QString& expected) override
    {
        return base().ConfirmPassword(parent, expected);
    }
    std::optional<int> ChoosePresetSlot(QWidget* parent, const std::shared_ptr<CQelProcessor>& processor) override
    {
        return base().ChoosePresetSlot(parent, processor);
    }
    bool SavePlanAs(QWidget* parent, const std::shared_ptr<CQelPlan>& plan, std::string& name) override
    {
        return frame_.SavePlanAs(parent, plan, name);
    }
    std::optional<QString> AskName(QWidget* parent, const QString& caption, const QString& prompt,
                                   const QString& name) override
    {
        return base().AskName(parent, caption, prompt, name);
    }
    bool EditWindowPosition(QWidget* parent, WindowRectValues& values, const std::optional<SourceResolution>& source,
                            const std::function<void(const WindowRectValues&)>& preview) override
    {
        return base().EditWindowPosition(parent, values, source, preview);
    }
    bool EditLogoOsd(QWidget* parent, LogoOsdValues& values,
                     const std::function<void(const LogoOsdValues&)>& preview) override
    {
        return base().EditLogoOsd(parent, values, preview);
    }
    bool NewPlanFromView(const std::shared_ptr<CQelPlan>& plan) override { return frame_.NewPlanFromView(plan); }
    void ClearGuideLines() override { frame_.SetReferenceLineStyle(0); }

private:
    IViewDialogs& base() { return previous_ ? *previous_ : cancelling_; }

    CMainFrame& frame_;
    IViewDialogs* previous_;
    CancellingViewDialogs cancelling_;
};

CMainFrame::CMainFrame(std::function<void()> onClose, CSingleInstance* instance, QWidget* parent)
    : QMainWindow(parent), onClose_(std::move(onClose)), instance_(instance)
{
    doc_.OnNewDocument();
    viewDialogs_ = std::make_unique<FrameViewDialogs>(*this);
    connect(&timer_, &ui::UiTimer::timeout, this, &CMainFrame::OnTimer);
    created_ = OnCreate() && OnCreateClient();
    if (!created_)
        Log().error("frame: the main window could not be made");
    OnUpdateFrameTitle();
}

CMainFrame::~CMainFrame()
{
    if (GetScreenPowerFrame() == this)
        SetScreenPowerFrame(nullptr);
    qApp->removeEventFilter(this);
}

int CMainFrame::GetAppType()
{
    return CQelConfig::get_instance().GetInt("MainFrm.AppType", 1) & 1;
}

std::shared_ptr<CQelProcessor> CMainFrame::CurrentProcessor()
{
    const int id = CQelContext::GetSelProcessorId();
    return id < 0 ? nullptr : CQelContext::GetProMan()->FindById(uint32_t(id));
}

bool CMainFrame::OnCreate()
{
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(central);

    if (!title_->Attach(this))
        return false;
    connect(&*title_, &MXCustomNC::quickBarNotify, this, &CMainFrame::OnCtrlBarNotify);
    // The caption hands a chosen command over queued, once.
    connect(&*title_, &MXCustomNC::menuCommand, this, [this](int id) { OnCommand(id); });
    title_->SetMenuUpdate([this](ui::MenuSpec& menu) { UpdateMenu(menu); });

    // Ctrl+A is the application's shortcut while the frame exists: X11 and
    // Wayland have no portable system-wide hot key.
    auto* selectAll = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_A), this);
    selectAll->setContext(Qt::ApplicationShortcut);
    connect(selectAll, &QShortcut::activated, this, [this] { OnHotKey(cmd::kSelectAllHotKey); });

    CreateCtrlBarButtons();
    LoadMainMenu();

    auto* bar = new CUiMainCtrlBar(central);
    if (!bar->Create(TranslateText(QStringLiteral("功能管理器")), central, kCtrlBarId, kCtrlBarCollapsed,
                     kCtrlBarExpanded, kCtrlBarStyle) ||
        !bar->OnCreate(GetAppType())) {
        delete bar;
        return false;
    }
    ctrlBar_ = bar;
    ctrlBar_->SetFloatImage(ui::resPath("ctlbar_float.png"));
    layout->addWidget(ctrlBar_);
    qApp->installEventFilter(this);

    timer_.start(kTimerMs);

    // A missing or damaged file gives the built-in settings: the controller
    // is made either way.
    screen_.LoadConfig();
    screen_.SetTV(CreateTVByModel(screen_.Settings().model));
    SetScreenPowerFrame(this);
    return true;
}

bool CMainFrame::OnCreateClient()
{
    container_ = new CViewTabContainer(centralWidget());
    centralWidget()->layout()->addWidget(container_);
    container_->show();

    CViewManager& views = CViewManager::get_instance();
    QWidget* navigation =
        views.CreateView(container_, QStringLiteral("VNavigation"), CViewManager::FactoryOf<CNavigationView>());
    if (navigation)
        container_->ShowHomeView(navigation);

    const auto plans = CQelContext::GetPlanMan();
    const std::string name = FirstFreePlanName(*plans, TranslateText(QStringLiteral("新建方案")).toStdString());
    const auto processor = CurrentProcessor();
    if (!processor)
        return true;
    std::shared_ptr<CQelPlan> plan;
    if (!plans->OpenPlan(name, plan) || !plan)
        return true;
    FillPlanGridFromProcessor(*plan, *processor);
    if (GetAppType() != 1)
        plan->SetType(2);
    // The start-up name keeps its historical spelling.
    ShowPlanView(plan, GetAppType() == 1 ? kViewWall : kViewSwitch, QStringLiteral("VSwtich_%1"));
    return true;
}

void CMainFrame::OnUpdateFrameTitle()
{
    setWindowTitle(QString::fromLatin1(ui::kProgramTitle));
}

void CMainFrame::SetMenu(const ui::MenuSpec& menu)
{
    menu_ = menu;
    if (title_->Frame())
        title_->SetMenu(menu_);
}

void CMainFrame::LoadMainMenu()
{
    ui::MenuSpec bar;
    BuildMenuFromXml(bar, MainMenuPath(qel::CLanguageTr::get_instance().GetMode()));
    SetMenu(bar);
}

void CMainFrame::CreateCtrlBarButtons()
{
    MXCustomNC& nc = *title_;
    nc.ToolBar().Clear();

    const CQelConfig& config = CQelConfig::get_instance();
    const int mode = config.GetInt("MainFrm.BkImageExpMode", 3);
    nc.SetCaptionImage(ui::loadImage(ui::resPath("maintitle.bmp")));
    nc.SetCaptionDrawMode(mode);
    nc.SetLeftMargin(config.GetInt("MainFrm.LeftMargins", 0));
    const QImage background = ui::loadImage(ui::resPath("toolbarbk.bmp"));
    if (background.isNull())
        nc.SetToolBarBackColor(ui::sysColor(ui::COLOR_ACTIVECAPTION));
    else
        nc.SetToolBarBackBitmap(background, mode);

    CaptionButtonContext context;
    context.appType = GetAppType();
    if (const auto processor = CurrentProcessor()) {
        context.hasProcessor = true;
        context.kind = processor->GetKind();
        context.moreOn = processor->settings().GetAppOptions().moreButtonSwitch != 0;
        context.obm = processor->settings().GetObm();
    }
    for (const CaptionButtonSpec& button : CaptionButtonSet(context)) {
        title_.AddToolButton(button.id, QString(), Tr(button.tip), ui::resPath(button.picture));
        if (button.id == captionbtn::kMoreSwitch)
            nc.SetToolBarImage(ui::resPath(button.picture));
    }
    if (nc.Frame())
        nc.RecalcLayout(Rect{0, 0, width(), height()});
}

QWidget* CMainFrame::ActiveView() const
{
    if (!container_)
        return nullptr;
    return container_->CurrentView() ? container_->CurrentView() : container_->HomeView();
}

CMultiScreenView* CMainFrame::ActiveWallView() const
{
    QWidget* view = ActiveView();
    return CViewManager::GetViewKind(view) == kViewWall ? static_cast<CMultiScreenView*>(view) : nullptr;
}

void CMainFrame::InvalidateActiveView()
{
    if (QWidget* view = ActiveView()) {
        view->update();
        if (auto* wall = ActiveWallView())
            wall->viewport()->update();
    }
}

void CMainFrame::SetReferenceLineStyle(int style)
{
    refLineStyle_ = style;
    InvalidateActiveView();
}

void CMainFrame::OnTimer()
{
    if (TerminationRequested()) {
        // A close from inside a popup's or a dialog's own loop would pull
        // the views from under their callers: end those first and close at
        // a later tick, once their loops have returned.
        if (QApplication::activeModalWidget() || QApplication::activePopupWidget() || popupDepth_ > 0) {
            ui::modalHost().cancelPopup();
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                dialog->reject();
            return;
        }
        close();
        return;
    }
    if (pollGate_.ShouldPoll(TickCount()))
        PollProcessors();
    PumpEvents();
    if (instance_ && instance_->PollRaise())
        RaiseFromOtherInstance();
}

void CMainFrame::RaiseFromOtherInstance()
{
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void CMainFrame::OnAppAbout()
{
    CAboutDlg dialog(this);
    ui::runDialog(dialog);
}

void CMainFrame::UpdateMenu(ui::MenuSpec& menu) const
{
    const auto processor = CurrentProcessor();
    if (!processor) {
        ForEachItem(menu, [](ui::MenuSpec& item) {
            if (item.id == cmd::kConnectTcp || item.id == cmd::kConnectSerial || item.id == cmd::kDisconnect)
                item.enabled = false;
        });
        return;
    }
    const bool connected = processor->IsConnected();
    const CQelProcessor::AppOptions options = processor->settings().GetAppOptions();
    ForEachItem(menu, [&](ui::MenuSpec& item) {
        switch (item.id) {
        case cmd::kConnectTcp:
        case cmd::kConnectSerial: item.enabled = !connected; break;
        case cmd::kDisconnect: item.enabled = connected; break;
        case cmd::kSegWindowTip: item.checked = options.segWindowPoorTip != 0; break;
        case cmd::kInvalidRectTip: item.checked = options.videoWindowInvalidRectTip != 0; break;
        case cmd::kResourceTip: item.checked = options.disableResourcePoorTip != 0; break;
        default: break;
        }
    });
}

bool CMainFrame::OnCommand(int id)
{
    switch (id) {
    case cmd::kNewPlan: NewPlan(); return true;
    case cmd::kSaveAll:
        if (container_)
            container_->SaveModifiedPlans();
        return true;
    case cmd::kExit: QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection); return true;
    case cmd::kResetPassword: OnResetPassword(); return true;
    case cmd::kConnectTcp: OnConnectProcessor(); return true;
    case cmd::kConnectSerial: OnConnectProcessorMode2(); return true;
    case cmd::kDisconnect: OnDisconnectProcessor(); return true;
    case cmd::kSegWindowTip: OnToggleSegWindowTip(); return true;
    case cmd::kInvalidRectTip: OnToggleInvalidRectTip(); return true;
    case cmd::kResourceTip: OnToggleResourceTip(); return true;
    case cmd::kBorderFineTune: OnBorderFineTune(); return true;
    case cmd::kSetProcessor: OnSetProcessor(); return true;
    case cmd::kLedWallWizard: OnLedWallWizard(); return true;
    case cmd::kScreenConfig: OnScreenConfig(); return true;
    case cmd::kRunWallTool: OnRunWallTool(); return true;
    case cmd::kSetOutResolution: OnSetOutResolution(); return true;
    case cmd::kAbout: OnAbout(); return true;
    default: break;
    }
    QWidget* view = ActiveView();
    switch (CViewManager::GetViewKind(view)) {
    case kViewWall: return static_cast<CMultiScreenView*>(view)->commands().OnCommand(id);
    case kViewSwitch: return static_cast<CSwitchView*>(view)->OnCommand(id);
    default: return false;
    }
}

void CMainFrame::ConnectOver(int32_t connectionType)
{
    const auto processor = CurrentProcessor();
    if (!processor)
        return;
    auto connection = processor->settings().GetConnection();
    connection.type = connectionType;
    processor->settings().SetConnection(connection);
    processor->Connect();
}

void CMainFrame::OnConnectProcessor()
{
    ConnectOver(1);
}
void CMainFrame::OnConnectProcessorMode2()
{
    ConnectOver(2);
}

void CMainFrame::OnDisconnectProcessor()
{
    if (const auto processor = CurrentProcessor())
        processor->Disconnect();
}

void CMainFrame::ShowMessage(const std::string& text)
{
    ui::inform(this, TranslateText(QString::fromStdString(text)));
}

void CMainFrame::OnScreenPower(bool open)
{
    const int result = open ? screen_.OpenScreen() : screen_.CloseScreen();
    if (const char* text = ScreenPowerFailureText(open, result))
        ShowMessage(text);
}

namespace {

// Inverts one of the three tip switches of the current processor; false
// when there is none.
bool ToggleAppOption(int32_t CQelProcessor::AppOptions::*flag)
{
    const auto processor = CMainFrame::CurrentProcessor();
    if (!processor)
        return false;
    auto options = processor->settings().GetAppOptions();
    options.*flag = options.*flag ? 0 : 1;
    processor->settings().SetAppOptions(options);
    return true;
}

} // namespace

void CMainFrame::OnToggleSegWindowTip()
{
    if (ToggleAppOption(&CQelProcessor::AppOptions::segWindowPoorTip))
        InvalidateActiveView();
}
void CMainFrame::OnToggleInvalidRectTip()
{
    if (ToggleAppOption(&CQelProcessor::AppOptions::videoWindowInvalidRectTip))
        InvalidateActiveView();
}
void CMainFrame::OnToggleResourceTip()
{
    if (ToggleAppOption(&CQelProcessor::AppOptions::disableResourcePoorTip))
        InvalidateActiveView();
}

void CMainFrame::OnRunWallTool()
{
    const std::string folder = qz::vok::path::GetHardwarePath() + kWallToolFolder;
    const std::string program = folder + kWallTool;
    if (!std::filesystem::is_regular_file(program)) {
        Log().error("frame: the wall-control tool %s is missing", program.c_str());
        return;
    }
    if (!StartProgram(program, folder))
        Log().error("frame: the wall-control tool %s could not be started", program.c_str());
}

// Each of these opens a dialog built beside the frame.
void CMainFrame::OnSetProcessor()
{
    ::OnSetProcessor(this);
}

void CMainFrame::OnSetOutResolution()
{
    const auto processor = CurrentProcessor();
    if (!processor)
        return;
    CSetOutResolutionDlg dialog(this);
    dialog.m_nResolutionId = processor->records().GetOutputResolutionId();
    dialog.m_firstResolution = processor->records().GetResolutionById(dialog.m_nResolutionId);
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    StoreOutputResolution(*processor, {dialog.m_nResolutionId, dialog.m_firstResolution, dialog.m_secondResolution});
}

void CMainFrame::OnInputOsdEditor()
{
    const auto processor = CurrentProcessor();
    if (!processor)
        return;
    CInputOSDConfigDlg dialog(this);
    dialog.SetProcessor(processor);
    dialog.DoModal();
}

void CMainFrame::OnMatrixSwitch()
{
    CDlgMatrixSwitch dialog(this);
    dialog.DoModal();
}

void CMainFrame::OnAbout()
{
    CZemAboutDlg dialog(this);
    dialog.DoModal();
}

void CMainFrame::OnScreenConfig()
{
    RunScreenConfig(screen_, this);
}

void CMainFrame::OnBorderFineTune()
{
    RunBorderFineTune(this, [frame = QPointer<CMainFrame>(this)] {
        if (CMultiScreenView* view = frame ? frame->ActiveWallView() : nullptr)
            view->AutoExecutePlan();
    });
}

void CMainFrame::OnLedWallWizard()
{
    const auto processor = CurrentProcessor();
    if (!processor)
        return;
    if (RunWallSetup(this, processor))
        NewPlan();
    InvalidateActiveView();
}

void CMainFrame::OnResetPassword()
{
    ::OnResetPassword(this);
}

void CMainFrame::OnPresetRecall()
{
    ::OnRecallPreset(this, CViewManager::GetViewKind(ActiveView()));
}

void CMainFrame::OnHotKey(int id)
{
    if (id != cmd::kSelectAllHotKey)
        return;
    if (CMultiScreenView* view = ActiveWallView()) {
        view->editing().SelectAllWindows();
        view->viewport()->update();
    }
}

void CMainFrame::ShowZoomPopup(CMultiScreenView& wall)
{
    QPointer<CMultiScreenView> view = &wall;
    ui::MenuSpec menu;
    for (int scale = 1; scale <= kMaxZoom; ++scale)
        menu.items.push_back(ui::MenuSpec::item(scale, TranslateText(QStringLiteral("%1倍").arg(scale)),
                                                scale == wall.geometry().m_nCanvasScale));
    ++popupDepth_;
    const int chosen = ui::popupMenu(this, menu, QCursor::pos());
    --popupDepth_;
    if (view && chosen >= 1 && chosen <= kMaxZoom)
        view->SetCanvasScale(chosen);
}

void CMainFrame::ToggleMoreButtons()
{
    const auto processor = CurrentProcessor();
    if (!processor)
        return;
    auto options = processor->settings().GetAppOptions();
    options.moreButtonSwitch = options.moreButtonSwitch ? 0 : 1;
    processor->settings().SetAppOptions(options);
    title_->SetToolBarImage(
        ui::resPath(options.moreButtonSwitch ? captionbtn::kMoreOpenPicture : captionbtn::kMoreClosePicture));
    CreateCtrlBarButtons();
}

void CMainFrame::OnCtrlBarNotify(int id)
{
    using namespace captionbtn;
    switch (id) {
    case kNewPlan: NewPlan(); return;
    case kSaveAll:
        if (container_)
            container_->SaveModifiedPlans();
        return;
    case kWallSetup: OnLedWallWizard(); return;
    default: break;
    }

    QWidget* active = ActiveView();
    const int kind = CViewManager::GetViewKind(active);
    if (kind == kViewSwitch) {
        auto* view = static_cast<CSwitchView*>(active);
        switch (id) {
        case kSavePlan: view->OnSave(); break;
        case kExecute: view->OnSend(); break;
        case kInputOsd: OnInputOsdEditor(); break;
        case kPlanBar: OnPresetRecall(); break;
        case kMatrixSwitch: OnMatrixSwitch(); break;
        default: break;
        }
        return;
    }
    if (kind != kViewWall)
        return;
    auto* view = static_cast<CMultiScreenView*>(active);
    // Buttons that stand for the wall view's own menu commands.
    static const std::map<int, int> kViewCommands = {
        {kExecute, WallViewCore::kCmdExecute}, {6, WallViewCore::kCmdResizeToSource}, {7, WallViewCore::kCmdFullScreen},
        {8, WallViewCore::kCmdLock},           {9, WallViewCore::kCmdLayerUp},        {10, WallViewCore::kCmdLayerDown},
        {11, WallViewCore::kCmdLayerTop},      {12, WallViewCore::kCmdLayerBottom},
    };
    if (const auto it = kViewCommands.find(id); it != kViewCommands.end()) {
        view->commands().OnCommand(it->second);
        return;
    }
    if (id >= kGuideLinesOff && id <= kGuideLines16) {
        SetReferenceLineStyle(id - kGuideLinesOff);
        return;
    }
    switch (id) {
    case kSavePlan: view->SavePlan(); break;
    case kZoomCanvas: ShowZoomPopup(*view); break;
    case kLogoPlace:
        view->m_nMode = WallViewCore::kModePlacingLogo;
        view->viewport()->grabMouse();
        break;
    case kInputOsd: OnInputOsdEditor(); break;
    case kScreenOpen:
    case kScreenClose: OnScreenPower(id == kScreenOpen); break;
    case kFreeze:
    case kUnfreeze:
        if (const auto processor = CurrentProcessor()) {
            if (processor->IsConnected())
                processor->jobs().SetFreezeRequest(id == kFreeze ? 1 : 0);
            else
                ui::inform(this, Tr(viewtext::kNotConnected));
        }
        break;
    case kPlanBar: OnPresetRecall(); break;
    case kMoreSwitch: ToggleMoreButtons(); break;
    case kVideoManager: {
        const std::string program = qz::vok::path::GetMainPath() + kVideoManagerPath;
        if (!StartProgram(program, {}))
            Log().warn("frame: %s could not be started", program.c_str());
        break;
    }
    default: break;
    }
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched->isWidgetType() && PreTranslateMessage(watched, event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

bool CMainFrame::PreTranslateMessage(QObject*, QEvent* event)
{
    using Action = SourceDragMachine::Action;
    const auto release = [this] {
        releaseMouse();
        unsetCursor();
    };
    bool consumed = false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton || !ctrlBar_)
            break;
        bool inPage = false;
        const auto active = ctrlBar_->ActiveItem();
        QWidget* page = ctrlBar_->SigSrcPage();
        if (active && active->id == CUiMainCtrlBar::kSigSrcItem && page && page->isVisible())
            inPage = page->rect().contains(page->mapFromGlobal(e->globalPosition().toPoint()));
        drag_.OnLeftDown(inPage);
        break;
    }
    case QEvent::MouseMove: {
        if (drag_.State() == SourceDragMachine::kIdle)
            break;
        const QPoint global = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        CMultiScreenView* view = ActiveWallView();
        const bool over = view && view->viewport()->rect().contains(view->viewport()->mapFromGlobal(global));
        const auto step = drag_.OnMove(over);
        if (step.action == Action::Capture) {
            grabMouse();
            setCursor(Qt::DragCopyCursor);
        } else if (step.action == Action::Release) {
            release();
        }
        consumed = step.consumed;
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton || drag_.State() == SourceDragMachine::kIdle)
            break;
        if (drag_.OnLeftUp() == Action::Drop) {
            release();
            if (CMultiScreenView* view = ActiveWallView())
                view->DropSignalSource(e->globalPosition().toPoint());
        }
        break;
    }
    default: break;
    }
    if (drag_.State() != SourceDragMachine::kIdle &&
        drag_.CheckButton(QGuiApplication::mouseButtons() & Qt::LeftButton) == Action::Release)
        release();
    return consumed;
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!closing_) {
        closing_ = true;
        // Nothing reaches the UI once the close has begun.
        timer_.stop();
        qApp->removeEventFilter(this);
        if (ctrlBar_)
            ctrlBar_->HideFloatWnd();
        if (container_)
            container_->CloseAll();
        // The views save their settings as they go, before the close
        // handler writes the settings file.
        CViewManager::get_instance().DestroyViews();
        if (onClose_)
            onClose_();
    }
    event->accept();
}
