// The frame's output resolution, matrix switch and device about commands,
// run in the main window offscreen against the processor simulator.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "core/config.h"
#include "context/context.h"
#include "core/event_queue.h"
#include "corlane/app_path.h"
#include "corlane/fstr.h"
#include "dialogs/about_text.h"
#include "dialogs/matrix_switch_dlg.h"
#include "dialogs/set_out_resolution_dlg.h"
#include "dialogs/zem_about_dlg.h"
#include "frame/about_dlg.h"
#include "frame/caption_buttons.h"
#include "frame/command_ids.h"
#include "frame/main_frame.h"
#include "model/net_type.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/processor_records.h"
#include "model/processor_settings.h"
#include "tests/frame/frame_window_fixture.h"
#include "tests/frame/test_processor.h"
#include "tests/model/link_fixture.h"
#include "tests/support/test_files.h"
#include "tests/support/ui/ui_test.h"
#include "views/view_manager.h"

namespace fs = std::filesystem;
using namespace tavrix::test;
using namespace std::chrono_literals;

namespace {

class FrameDeviceCommands : public FrameWindowTest {
protected:
    // Processor 1 of `kind` with a source, at the simulator, selected.
    std::shared_ptr<CQelProcessor> AddProcessor(int kind)
    {
        auto p = MakeTestProcessor(true);
        p->SetKind(kind);
        PointAtLoopback(*p, simulator.Port());
        CQelContext::GetProMan()->AddProcessor(p);
        CQelContext::SetSelSigSrc(1, 100);
        return p;
    }

    // Records which dialog the seam ran, and cancels it.
    void ExpectDialog(std::vector<std::string>& opened)
    {
        modal().answerDialog([&opened](QDialog& dialog) {
            if (dynamic_cast<CSetOutResolutionDlg*>(&dialog))
                opened.push_back("resolution");
            else if (dynamic_cast<CDlgMatrixSwitch*>(&dialog))
                opened.push_back("matrix");
            else if (dynamic_cast<CZemAboutDlg*>(&dialog))
                opened.push_back("about");
            else
                opened.push_back("other");
            return int(QDialog::Rejected);
        });
    }

    ProcessorSimulator simulator;
};

} // namespace

TEST_F(FrameDeviceCommands, CustomResolutionIsStoredSentAndTheLinkReconnects)
{
    // The device echoes: the timing line has left before the link goes down.
    ScopedSetting<std::atomic<uint8_t>> netType(g_NetType, 1);
    auto processor = AddProcessor(7);
    processor->records().SetResolutionList({{3, "1080p60", {1920, 1080, 60}}, {255, "800x600 60Hz", {800, 600, 60}}});
    processor->records().SetOutputResolutionId(3);
    processor->SetOutputResolution(1920, 1080, 60);
    MakeFrame();
    frame->OnCommand(cmd::kConnectTcp);
    ASSERT_TRUE(WaitFor([&] { return processor->IsConnected(); }, 20s));
    // The processor may see its link up before the simulator has counted it.
    ASSERT_TRUE(WaitFor([&] { return simulator.Connections() == 1u; }, 20s));

    modal().answerDialog([](QDialog& dialog) {
        auto* d = dynamic_cast<CSetOutResolutionDlg*>(&dialog);
        EXPECT_NE(d, nullptr);
        if (!d)
            return int(QDialog::Rejected);
        dialog.show();
        EXPECT_EQ(d->m_nResolutionId, 3u);
        EXPECT_EQ(d->m_firstResolution, (Resolution{1920, 1080, 60}));
        QTest::mouseClick(d->CustomCheck(), Qt::LeftButton);
        d->WidthEdit()->setText(QStringLiteral("1280"));
        d->HeightEdit()->setText(QStringLiteral("720"));
        QTest::mouseClick(d->OkButton(), Qt::LeftButton);
        return dialog.result();
    });
    EXPECT_TRUE(frame->OnCommand(cmd::kSetOutResolution));
    EXPECT_EQ(processor->records().GetOutputResolutionId(), 255u);
    EXPECT_EQ(processor->GetOutputResolution(), (Resolution{1280, 720, 60}));
    EXPECT_NE(ReadText(CQelProcessor::ProFilePath()).find("1280x720 60Hz"), std::string::npos);
    EXPECT_TRUE(simulator.WaitForLine("GP SOT 2 1 255 1280 720 0 1 1\r\n", 20s));
    const auto wall = processor->GetWall();
    EXPECT_EQ(wall.colWidths, (std::vector<int32_t>{1280, 1280}));
    EXPECT_EQ(wall.rowHeights, (std::vector<int32_t>{720, 720}));
    EXPECT_TRUE(WaitFor([&] { return simulator.Connections() == 2; }, 20s));
    ASSERT_TRUE(WaitFor([&] { return processor->IsConnected(); }, 20s));

    // Disconnected: the id stays, the file is saved, nothing is sent and
    // the link stays down.
    frame->OnCommand(cmd::kDisconnect);
    ASSERT_TRUE(WaitFor([&] { return !processor->IsConnected(); }, 20s));
    simulator.ClearLines();
    fs::remove(CQelProcessor::ProFilePath());
    const uint32_t channel = processor->settings().GetChannelId();
    modal().answerDialog([](QDialog& dialog) {
        auto* d = dynamic_cast<CSetOutResolutionDlg*>(&dialog);
        if (!d)
            return int(QDialog::Rejected);
        dialog.show();
        QTest::mouseClick(d->CustomCheck(), Qt::LeftButton); // back to the list
        d->FirstList()->setCurrentIndex(0);
        QTest::mouseClick(d->OkButton(), Qt::LeftButton);
        return dialog.result();
    });
    frame->OnCommand(cmd::kSetOutResolution);
    EXPECT_EQ(processor->records().GetOutputResolutionId(), 255u);
    EXPECT_TRUE(fs::exists(CQelProcessor::ProFilePath()));
    EXPECT_EQ(processor->settings().GetChannelId(), channel);
    QTest::qWait(300);
    EXPECT_FALSE(processor->IsConnected());
    EXPECT_TRUE(simulator.Texts().empty());
    EXPECT_EQ(simulator.Connections(), 2u);
}

TEST_F(FrameDeviceCommands, DeviceCommandsOpenTheirDialogs)
{
    std::string ansi;
    ASSERT_TRUE(qz::vok::fstr_utf8toansi("关于本机", ansi));
    WriteText(AboutFilePath(), ansi);
    std::vector<std::string> opened;

    // Without a processor the resolution command opens nothing.
    MakeFrame();
    EXPECT_TRUE(frame->OnCommand(cmd::kSetOutResolution));
    EXPECT_TRUE(opened.empty());

    // 2001 is the device about box, with the about file's text.
    QString aboutText;
    modal().answerDialog([&](QDialog& dialog) {
        if (auto* about = dynamic_cast<CZemAboutDlg*>(&dialog))
            aboutText = about->AboutText()->text();
        return int(QDialog::Rejected);
    });
    EXPECT_TRUE(frame->OnCommand(cmd::kAbout));
    EXPECT_EQ(aboutText, QStringLiteral("关于本机"));
    frame.reset();
    CViewManager::get_instance().DestroyViews();

    // Button 29 opens the matrix switch over a switch view only.
    AddProcessor(7);
    SetAppType(0);
    MakeFrame();
    ASSERT_EQ(CViewManager::GetViewKind(frame->ActiveView()), kViewSwitch);
    ExpectDialog(opened);
    frame->OnCtrlBarNotify(captionbtn::kMatrixSwitch);
    ExpectDialog(opened);
    frame->OnCommand(cmd::kSetOutResolution);
    EXPECT_EQ(opened, (std::vector<std::string>{"matrix", "resolution"}));
    frame.reset();
    CViewManager::get_instance().DestroyViews();

    SetAppType(1);
    MakeFrame();
    ASSERT_NE(frame->ActiveWallView(), nullptr);
    frame->OnCtrlBarNotify(captionbtn::kMatrixSwitch);
    EXPECT_EQ(opened.size(), 2u);
}
