#pragma once
// The main window offscreen with the real context, managers and event
// queue, the shipped data in a temporary main folder, no serial ports and
// the scripted modal seam.
#include <QCoreApplication>
#include <QPoint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/config.h"
#include "context/context.h"
#include "core/event_queue.h"
#include "comm/sport_operator.h"
#include "corlane/app_path.h"
#include "frame/main_frame.h"
#include "frame/shipped_data.h"
#include "tests/support/ui/ui_test.h"
#include "views/view_manager.h"

class FrameWindowTest : public tavrix::test::UiTest {
protected:
    void SetUp() override
    {
        for (const char* folder : {"Sys", "Hardware", "Log", "Plan"})
            std::filesystem::remove_all(qz::vok::path::GetMainPath() + "/" + folder);
        ASSERT_TRUE(InstallShippedData(qz::vok::path::GetSysPath()));
        CEvtQueue::get_instance().Clear();
        SetAppType(1);
        std::filesystem::create_directories("ports");
        previousScanRoot = CSPortOperator::SetScanRoot((std::filesystem::current_path() / "ports").string());
    }
    void TearDown() override
    {
        frame.reset();
        CViewManager::get_instance().DestroyViews();
        CQelContext::Destroy();
        CEvtQueue::get_instance().Clear();
        CSPortOperator::SetScanRoot(previousScanRoot);
        SetAppType(1);
        UiTest::TearDown();
    }

    static void SetAppType(int type) { CQelConfig::get_instance().SetString("MainFrm.AppType", std::to_string(type)); }

    CMainFrame& MakeFrame(std::optional<QPoint> at = std::nullopt)
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

    std::unique_ptr<CMainFrame> frame;
    std::string previousScanRoot;
};
