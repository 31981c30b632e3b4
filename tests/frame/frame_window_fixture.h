#pragma once
// The main window offscreen with the real context, managers and event
// queue, the shipped data in a temporary main folder, no serial ports and
// the scripted modal seam.
#include <QPoint>
#include <memory>
#include <optional>
#include <string>

#include "tests/support/ui/ui_test.h"

class CMainFrame;

class FrameWindowTest : public tavrix::test::UiTest {
protected:
    FrameWindowTest();
    ~FrameWindowTest() override;

    void SetUp() override;
    void TearDown() override;

    static void SetAppType(int type);

    CMainFrame& MakeFrame(std::optional<QPoint> at = std::nullopt);

    std::unique_ptr<CMainFrame> frame;
    std::string previousScanRoot;
};
