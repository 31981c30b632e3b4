#include "frame/tavrix_app.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

#include "core/language_tr.h"
#include "core/program_log.h"
#include "startup/termination_signals.h"
#include "corlane/app_path.h"
#include "dialogs/about_text.h"
#include "frame/main_frame.h"
#include "model/link_setup.h"
#include "platform/ui/post_to_ui.h"
#include "platform/ui/init_ui.h"
#include "platform/ui/modal.h"
#include "uikit/caption_style.h"
#include "uikit/ui_resource_cache.h"

namespace {
constexpr int kCaptionStyle = 3;
}

CTavrixApp::CTavrixApp(std::string lockDir) : bootstrap_(std::move(lockDir)) {}

CTavrixApp::~CTavrixApp()
{
    ExitInstance();
}

bool CTavrixApp::InitInstance()
{
    if (bootstrap_.Start() != CTavrixBootstrap::StartResult::Run)
        return false;
    WriteFirstStartAbout(AboutFilePath());
    if (qel::CLanguageTr::get_instance().GetMode() == 0)
        ui::useChineseQtTexts();
    g_CaptionStyle = kCaptionStyle;
    InitUiResourceCache();

    frame_ = std::make_unique<CMainFrame>([this] { bootstrap_.Close(); }, &bootstrap_.Instance());
    if (!frame_->IsCreated()) {
        PrintNotice("the main window could not be made");
        return false;
    }
    frame_->showMaximized();
    // Only a copy with a window answers raise requests: one that arrives
    // before this finds nobody and ends quietly.
    bootstrap_.Instance().Listen();
    // The link set-up may speak from any thread; the box opens on the UI thread.
    QPointer<QObject> receiver = frame_.get();
    SetLinkMessageBox([receiver](const std::string& text) {
        ui::postToUi(receiver, [receiver, text] {
            if (receiver)
                ui::inform(qobject_cast<QWidget*>(receiver.data()), QString::fromStdString(text));
        });
    });

    const auto messages = bootstrap_.TakeOperatorMessages();
    if (!messages.empty()) {
        QPointer<CMainFrame> frame = frame_.get();
        QTimer::singleShot(0, frame_.get(), [frame, messages] {
            for (const auto& text : messages)
                if (frame)
                    ui::inform(frame, TranslateText(QString::fromStdString(text)));
        });
    }
    return true;
}

void CTavrixApp::ExitInstance()
{
    if (exited_)
        return;
    exited_ = true;
    if (frame_) {
        frame_->close(); // runs the close handler unless it has run
        frame_.reset();
    }
    SetLinkMessageBox(nullptr);
    FreeUiResourceCache();
    bootstrap_.Shutdown();
}

int RunTavrix(int argc, char** argv)
{
    // Every file lives under the main folder, found from the working
    // folder; without it there is nowhere safe to read or write.
    if (qz::vok::path::GetMainPath().empty()) {
        PrintNotice("the working folder no longer exists or cannot be resolved; "
                    "start the program from its folder");
        return 1;
    }
    InstallTerminationHandlers();
    QApplication application(argc, argv);
    ui::initUi();
    CTavrixApp app;
    if (app.InitInstance())
        QApplication::exec();
    app.ExitInstance();
    // A file the close could not save is named on stderr; the status says so too.
    return app.Bootstrap().SaveFailed() ? 1 : 0;
}
