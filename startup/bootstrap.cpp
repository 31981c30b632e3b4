#include "startup/bootstrap.h"

#include <cstdlib>
#include <utility>

#include "core/config.h"
#include "context/context.h"
#include "core/event_queue.h"
#include "core/language_tr.h"
#include "core/program_log.h"
#include "builder/gsys_manager.h"
#include "builder/plan_builders_install.h"
#include "builder/resource_allocer.h"
#include "comm/comm_log.h"
#include "comm/net_manager.h"
#include "corlane/app_path.h"
#include "corlane/file_store.h"
#include "model/model_log.h"
#include "model/net_type.h"
#include "model/processor.h"
#include "model/processor_link.h"
#include "model/processor_manager.h"
#include "plan/context_plan_managers.h"
#include "plan/cycle_plan.h"
#include "plan/plan_manager.h"
#include "replies/reply_receiver.h"

namespace {

constexpr const char* kLockFallbackBase = "/tmp";

// The program log for the model, not owned: the context keeps the log, and
// the shut-down takes it back from the model before the context goes.
std::shared_ptr<qz::vok::logfile> BorrowedLog()
{
    return std::shared_ptr<qz::vok::logfile>(std::shared_ptr<void>(), CQelContext::GetLog());
}

} // namespace

CTavrixBootstrap::CTavrixBootstrap(std::string lockDir)
{
    std::string warning;
    if (lockDir.empty())
        lockDir = ChooseLockDir(std::getenv("XDG_RUNTIME_DIR"), kLockFallbackBase, warning);
    if (!warning.empty())
        PrintNotice(warning);
    instance_ = std::make_unique<CSingleInstance>(std::move(lockDir));
}

CTavrixBootstrap::~CTavrixBootstrap()
{
    Shutdown();
}

CTavrixBootstrap::StartResult CTavrixBootstrap::Start()
{
    // The link-type byte comes first, before the settings, from the
    // processor file alone.
    g_NetType = ReadProcessorNetType(qz::vok::path::GetHardwarePath() + "/Processor.pro");

    CQelConfig& config = CQelConfig::get_instance();
    config.SetLog(CQelContext::GetLog());
    SetModelLog(BorrowedLog());
    SetCommLog(BorrowedLog());
    InstallReplyPath();
    InstallPlanManagers();
    InstallPlanBuilders();
    config.Load();

    const CSingleInstance::Result held = instance_->Acquire();
    if (held == CSingleInstance::Result::Running && config.GetInt("Main.Singleton", 1) == 1) {
        instance_->Release();
        instance_->RequestRaise();
        started_ = closed_ = true; // nothing was opened, nothing is saved
        return StartResult::OtherRunning;
    }
    if (held == CSingleInstance::Result::NoLock) {
        // Going on is what the program always did when the flag could not
        // be made for any reason but another copy holding it.
        const std::string text = "no single-instance lock in " +
                                 (instance_->LockDir().empty() ? std::string("any folder") : instance_->LockDir()) +
                                 "; starting anyway";
        PrintNotice(text);
        CQelContext::GetLog()->warn("%s", text.c_str());
    }

    CQelContext::GetLog()->event("Start");

    const std::string tablePath = qz::vok::path::GetSysPath() + "/LanguageTr.xml";
    std::string why;
    if (!qel::CLanguageTr::get_instance().Load(config.GetInt("Main.Language", 0), tablePath, &why) && !why.empty()) {
        const std::string text = tablePath + " not loaded (" + why + "); texts are shown as written";
        CQelContext::GetLog()->error("%s", text.c_str());
        PrintNotice(text);
    }

    CQelContext::GetProMan()->CreateDefaultProcessor(
        [](uint32_t processorId, uint32_t sourceId) { CQelContext::SetSelSigSrc(int(processorId), int(sourceId)); });
    TellOfProcessorFile();

    LoadPlanLists();
    started_ = true;
    return StartResult::Run;
}

// The operator hears once when the processor file could not be used, and
// is told the truth about where it is.
void CTavrixBootstrap::TellOfProcessorFile()
{
    namespace store = qz::vok::file_store;
    switch (store::last_outcome(CQelProcessor::ProFilePath())) {
    case store::outcome::kept_as_bad:
        messages_.emplace_back(
            "处理器配置文件 Processor.pro 无法读取，已按默认设置启动；原文件保留为 Processor.pro.bad");
        break;
    case store::outcome::unreadable:
    case store::outcome::not_kept:
        messages_.emplace_back("处理器配置文件 Processor.pro 无法读取，已按默认设置启动；原文件保持原样，不会被覆盖");
        break;
    case store::outcome::none: break;
    }
}

std::vector<std::string> CTavrixBootstrap::TakeOperatorMessages()
{
    return std::exchange(messages_, {});
}

// Each processor's long job is asked to stop and joined; none is left to
// outlive the close.
void CTavrixBootstrap::StopJobs()
{
    for (const auto& processor : CQelContext::GetProMan()->GetProcessors())
        processor->StopJobs();
}

// A missing or damaged list leaves it empty; the managers log why.
void CTavrixBootstrap::LoadPlanLists()
{
    CQelContext::GetPlanMan()->LoadPlanList();
    CQelContext::GetCyclePlanMan()->LoadList();
}

void CTavrixBootstrap::SavePlanLists()
{
    if (!CQelContext::GetPlanMan()->SavePlanList())
        ReportSaveFailure("PlanList.txt");
    std::vector<std::string> unsaved;
    if (!CQelContext::GetCyclePlanMan()->SaveList(&unsaved)) {
        if (unsaved.empty())
            ReportSaveFailure("CyclePlanList.clt");
        for (const auto& name : unsaved)
            ReportSaveFailure("cycle plan \"" + name + "\"");
    }
}

void CTavrixBootstrap::ReportSaveFailure(const std::string& what)
{
    saveFailed_ = true;
    const std::string text = "close: cannot save " + what;
    PrintNotice(text);
    CQelContext::GetLog()->error("%s", text.c_str());
}

void CTavrixBootstrap::Close()
{
    if (closed_ || !started_)
        return;
    closed_ = true;

    StopJobs();
    const auto processors = CQelContext::GetProMan()->GetProcessors();
    // No queue is drained on the way out: each sender drops what it holds
    // and says how much.
    for (const auto& processor : processors)
        processor->link().StopSender();
    CNetManager::get_instance().CloseAll();

    SavePlanLists();
    for (const auto& processor : processors)
        if (!processor->SavePro())
            ReportSaveFailure("the file of processor " + std::to_string(processor->GetId()));
    CQelConfig& config = CQelConfig::get_instance();
    if (!config.SaveMain())
        ReportSaveFailure("Main.ini");
    if (!config.SaveView())
        ReportSaveFailure("MultiScreenView.ini");
}

void CTavrixBootstrap::Shutdown()
{
    if (shutDown_)
        return;
    shutDown_ = true;
    Close();
    _8PART_NS::C8PartResourceAllocer::Destroy();
    _8PART_NS::C8PartGSysManager::Destroy();
    CEvtQueue::get_instance().Clear(); // events still queued go unread
    instance_->Release();
    CQelConfig::get_instance().SetLog(nullptr);
    SetModelLog(nullptr);
    SetCommLog(nullptr);
    CQelContext::Destroy();
}
