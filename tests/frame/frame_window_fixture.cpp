#include "tests/frame/frame_window_fixture.h"

#include <QCoreApplication>
#include <filesystem>

#include "comm/sport_operator.h"
#include "context/context.h"
#include "core/config.h"
#include "core/event_queue.h"
#include "corlane/app_path.h"
#include "frame/main_frame.h"
#include "frame/shipped_data.h"
#include "views/view_manager.h"

FrameWindowTest::FrameWindowTest() = default;
FrameWindowTest::~FrameWindowTest() = default;

void FrameWindowTest::SetUp()
{
    for (const char* folder : {"Sys", "Hardware", "Log", "Plan"})
        std::filesystem::remove_all(qz::vok::path::GetMainPath() + "/" + folder);
    ASSERT_TRUE(InstallShippedData(qz::vok::path::GetSysPath()));
    CEvtQueue::get_instance().Clear();
    SetAppType(1);
    std::filesystem::create_directories("ports");
    previousScanRoot = CSPortOperator::SetScanRoot((std::filesystem::current_path() / "ports").string());
}

void FrameWindowTest::TearDown()
{
    frame.reset();
    CViewManager::get_instance().DestroyViews();
    CQelContext::Destroy();
    CEvtQueue::get_instance().Clear();
    CSPortOperator::SetScanRoot(previousScanRoot);
    SetAppType(1);
    UiTest::TearDown();
}

void FrameWindowTest::SetAppType(int type)
{
    CQelConfig::get_instance().SetString("MainFrm.AppType", std::to_string(type));
}

CMainFrame& FrameWindowTest::MakeFrame(std::optional<QPoint> at)
{
    frame = std::make_unique<CMainFrame>([] {}, nullptr);
    EXPECT_TRUE(frame->IsCreated());
    frame->resize(1000, 700);
    if (at)
        frame->move(*at);
    frame->show();
    QCoreApplication::processEvents();
    return *frame;
}
