// The input OSD editor opened from caption button 21 of the running main
// window, with a model-7 processor on the simulator whose sources report
// 0 x 0, the real input OSD store and jobs, and the process clock scaled.
#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

#include "context/context.h"
#include "core/config.h"
#include "core/event_queue.h"
#include "corlane/app_path.h"
#include "dialogs/input_osd_config_dlg.h"
#include "dialogs/osd_config_dlg.h"
#include "dialogs/osd_name_file.h"
#include "frame/caption_buttons.h"
#include "frame/main_frame.h"
#include "frame/shipped_data.h"
#include "model/input_osd.h"
#include "model/processor_jobs.h"
#include "model/processor_link.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "tests/builder/sender_test_support.h"
#include "tests/dialogs/dialog_test_support.h"
#include "tests/model/link_fixture.h"
#include "tests/support/recording_channel.h"
#include "tests/support/test_files.h"
#include "tests/support/ui/screenshot.h"
#include "uikit/movable_wnd.h"
#include "views/view_manager.h"

namespace fs = std::filesystem;
using namespace dialogtest;
using namespace tavrix::test;
using Dlg = CInputOSDConfigDlg;
using Lines = std::vector<std::string>;

namespace {

// Starts each job only when the test lets it, so a test sees the dialog
// while the job runs.
class GatedProcessor : public CQelProcessor {
public:
    ~GatedProcessor() override
    {
        Open();
        StopJobs(); // before the gate goes
    }
    void Release(int jobs)
    {
        {
            std::lock_guard<std::mutex> guard(mutex_);
            permits_ += jobs;
        }
        wake_.notify_all();
    }
    void Open() { Release(1 << 20); }

protected:
    std::thread LaunchJob(std::function<void()> body) override
    {
        return std::thread([this, body = std::move(body)] {
            {
                std::unique_lock<std::mutex> lock(mutex_);
                wake_.wait(lock, [this] { return permits_ > 0; });
                --permits_;
            }
            body();
        });
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    int permits_ = 0;
};

std::string Blanks(size_t n)
{
    return std::string(n, ' ');
}

QPushButton* Button(Dlg& dlg, int id)
{
    return qobject_cast<QPushButton*>(dlg.Control(id));
}

class InputOsdEditor : public UiTest {
protected:
    void SetUp() override
    {
        for (const char* folder : {"Sys", "Hardware", "Plan"})
            fs::remove_all(qz::vok::path::GetMainPath() + "/" + folder);
        ASSERT_TRUE(InstallShippedData(qz::vok::path::GetSysPath()));
        fs::create_directories(qz::vok::path::GetHardwarePath());
        CEvtQueue::get_instance().Clear();
        SetAppType(1);
        CQelProcessor& p = *link.processor;
        AddTestBoards(p, {{1, 1}, {2, 1}, {3, 2}});
        SetTestOutputs(p, {301, 302, 303, 304}, {{{0, 0}, 301}, {{0, 1}, 302}, {{1, 0}, 303}, {{1, 1}, 304}});
        auto wall = p.GetWall();
        wall.rows = 2;
        wall.cols = 2;
        p.SetWall(wall);
        for (uint32_t slot : {1u, 2u})
            for (uint32_t port = 0; port < 4; ++port)
                AddTestSource(p, slot * 100 + port, 0, 0);
        // The heartbeat's status poll stays out of the lines compared.
        p.settings().SetStatusPoll(false);
        p.GetInputOsd().Load();
        CQelContext::SetSelSigSrc(1, 100);
        ASSERT_TRUE(pumpUntil([&] { return p.IsConnected(); }));
        MakeFrame();
        link.SentBefore();
    }

    void TearDown() override
    {
        processor().Open();
        frame.reset();
        CViewManager::get_instance().DestroyViews();
        SetAppType(1);
        UiTest::TearDown();
    }

    static void SetAppType(int type) { CQelConfig::get_instance().SetString("MainFrm.AppType", std::to_string(type)); }

    void MakeFrame()
    {
        frame = std::make_unique<CMainFrame>([] {}, nullptr);
        ASSERT_TRUE(frame->IsCreated());
        frame->resize(1000, 700);
        frame->show();
        QCoreApplication::processEvents();
    }

    GatedProcessor& processor() { return static_cast<GatedProcessor&>(*link.processor); }

    // Opens the editor from the caption button and runs `work` on it; then
    // OK or Cancel, unless `work` closed it.
    void Editor(std::function<void(Dlg&)> work, bool ok = true)
    {
        modal().answerDialog([work, ok](QDialog& dialog) {
            auto* dlg = dynamic_cast<Dlg*>(&dialog);
            EXPECT_NE(dlg, nullptr);
            if (!dlg)
                return int(QDialog::Rejected);
            Open(dialog);
            work(*dlg);
            if (dialog.isVisible())
                QTest::mouseClick(ok ? dlg->OkButton() : dlg->CancelButton(), Qt::LeftButton);
            return dialog.result();
        });
        frame->OnCtrlBarNotify(captionbtn::kInputOsd);
    }

    // The store as IOSD.dat holds it now.
    std::shared_ptr<tagOSD_DATA_EX_S> Saved(int input, int item)
    {
        CQelProcessor reader;
        reader.SetKind(7);
        reader.GetInputOsd().Load();
        return reader.GetInputOsd().FindItem(input, item);
    }

    void Disconnect()
    {
        link.channel->Close();
        ASSERT_TRUE(pumpUntil([&] { return !link.processor->IsConnected(); }));
    }

    platform::ScaledClock clock{50};
    LinkFixture link{clock, 7, 0, std::make_shared<GatedProcessor>()};
    std::unique_ptr<CMainFrame> frame;
};

} // namespace

TEST_F(InputOsdEditor, OpensFromTheCaptionButtonWithTheStoreAndTheNames)
{
    WriteText(inputosd::OsdNameFilePath(), "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<OsdSigName>\n"
                                           "\t<1_2 name=\"\xD6\xD0\"/>\n</OsdSigName>\n");
    link.processor->GetSigSrc(101)->SetResolution(1280, 720, 50);
    Editor([&](Dlg& dlg) {
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("输入源台标设置(8*8)"));
        QListWidget* list = dlg.ItemList();
        ASSERT_EQ(list->count(), 8);
        const char* const lines[] = {"1_1 ", "1_2中", "1_3 ", "1_4 ", "2_1 ", "2_2 ", "2_3 ", "2_4 "};
        for (int row = 0; row < 8; ++row) {
            EXPECT_EQ(list->item(row)->text(), QString::fromUtf8(lines[row]));
            EXPECT_EQ(list->item(row)->data(Qt::UserRole).toUInt(), uint32_t(row / 4) << 16 | uint32_t(row % 4));
        }
        EXPECT_EQ(list->currentRow(), 0);
        // A source reporting 0 x 0 counts as 1920 x 1080; one that reports
        // a size gives it.
        const auto& items = dlg.GetItems();
        EXPECT_EQ(items[0]->inputWidth, 1920);
        EXPECT_EQ(items[0]->inputHeight, 1080);
        EXPECT_EQ(items[1]->inputWidth, 1280);
        EXPECT_EQ(items[1]->inputHeight, 720);
        EXPECT_EQ(items[7]->inputWidth, 1920);
        EXPECT_EQ(dlg.FieldEdit(Dlg::kCaptionRed)->text(), "255"); // the store's white
        EXPECT_EQ(dlg.GetJobState(), Dlg::kIdle);
        EXPECT_FALSE(dlg.ProgressBar()->isVisible());
    });

    // The switch view's button opens it too; without a processor nothing.
    frame.reset();
    CViewManager::get_instance().DestroyViews();
    SetAppType(0);
    MakeFrame();
    bool opened = false;
    Editor([&](Dlg& dlg) { opened = dlg.ItemList()->count() == 8; });
    EXPECT_TRUE(opened);
    CQelContext::SetSelSigSrc(-1, -1);
    const size_t prompts = modal().prompts().size();
    frame->OnCtrlBarNotify(captionbtn::kInputOsd);
    EXPECT_EQ(modal().prompts().size(), prompts);
}

TEST_F(InputOsdEditor, CaptionColourQueuesItsLineOnEveryChange)
{
    // Item (0, 0) black in IOSD.dat (the store's default is white).
    link.processor->GetInputOsd().SetItemColorB(0, 0, 0);
    ASSERT_EQ(link.processor->GetInputOsd().Save(), 0);
    link.processor->GetInputOsd().Load();
    Editor([&](Dlg& dlg) {
        EXPECT_EQ(dlg.FieldEdit(Dlg::kCaptionRed)->text(), "0");
        dlg.FieldEdit(Dlg::kCaptionRed)->setText("255");
        // The item push (request 22) adds no line.
        EXPECT_EQ(link.SentBefore(), Lines{"I_F OSDWC 0 0 0xff0000\r\n"});

        Type(dlg.FieldEdit(Dlg::kCaptionGreen), "12"); // "", "1", "12"
        const Lines typed = link.SentBefore();
        ASSERT_EQ(typed.size(), 3u);
        EXPECT_EQ(typed.front(), "I_F OSDWC 0 0 0xffff00\r\n"); // empty reads as 255
        EXPECT_EQ(typed.back(), "I_F OSDWC 0 0 0xff0c00\r\n");
        dlg.FieldEdit(Dlg::kCaptionBlue)->setText("255");
        EXPECT_EQ(link.SentBefore(), Lines{"I_F OSDWC 0 0 0xff0cff\r\n"});

        // No number or out of range: the range message, nothing sent, the
        // colour kept.
        for (const Dlg::Edit e : {Dlg::kCaptionRed, Dlg::kCaptionGreen, Dlg::kCaptionBlue})
            for (const char* text : {"zz9", "x", "256"}) {
                SCOPED_TRACE(text);
                modal().expectInform();
                dlg.FieldEdit(e)->setText(text);
                EXPECT_EQ(LastTold(), QStringLiteral("请输入一个介于 0 和 255 之间的整数。"));
                EXPECT_TRUE(link.SentBefore().empty());
                EXPECT_EQ(dlg.GetValues().captionColour, 0xFF0CFF);
            }
        for (const Dlg::Edit e : {Dlg::kCaptionRed, Dlg::kCaptionGreen, Dlg::kCaptionBlue})
            dlg.FieldEdit(e)->setText(e == Dlg::kCaptionGreen ? "12" : "255");
        link.SentBefore();

        // The swatch shows the colour.
        const QImage shot = screenshot(*dlg.CaptionSwatch());
        EXPECT_EQ(pixelAt(shot, shot.width() / 2, shot.height() / 2), ui::rgb(255, 12, 255));

        // Disconnected: told on every change, nothing queued.
        Disconnect();
        Lines queued;
        link.processor->link().SetPushObserver([&](std::string_view text, int32_t) { queued.emplace_back(text); });
        for (const char* text : {"7", "8"}) {
            modal().expectInform();
            dlg.FieldEdit(Dlg::kCaptionRed)->setText(text);
            EXPECT_EQ(LastTold(), QStringLiteral("处理器未连接，请连接处理器！"));
        }
        EXPECT_TRUE(queued.empty());
        link.processor->link().SetPushObserver(nullptr);
    });
}

TEST_F(InputOsdEditor, ModifySendsTheNameAndKeepsItInTheFile)
{
    Editor([&](Dlg& dlg) {
        Type(dlg.NameEdit(), QStringLiteral("中"));
        EXPECT_EQ(dlg.ItemList()->item(0)->text(), QStringLiteral("1_1中"));
        link.SentBefore(false);
        QTest::mouseClick(Button(dlg, 1177), Qt::LeftButton);
        EXPECT_EQ(link.SentBefore(false),
                  (Lines{"I_F SIPN 0 0 3 0xe4 0xb8 0xad" + Blanks(24) + "\r\n", "I_F TIME_WE 255 255 0\r\n"}));
        EXPECT_NE(ReadText(inputosd::OsdNameFilePath()).find("<1_1 name=\"\xD6\xD0\"/>"), std::string::npos);

        // Longer than 24 bytes: the full count, the first 24 bytes.
        dlg.ItemList()->setCurrentRow(1);
        Type(dlg.NameEdit(), QString(30, QLatin1Char('N')));
        QTest::mouseClick(Button(dlg, 1177), Qt::LeftButton);
        std::string tokens;
        for (int i = 0; i < 24; ++i)
            tokens += "0x4e ";
        EXPECT_EQ(link.SentBefore(false), (Lines{"I_F SIPN 0 1 30 " + tokens + " \r\n", "I_F TIME_WE 255 255 0\r\n"}));
    });

    Editor([&](Dlg& dlg) {
        EXPECT_EQ(dlg.ItemList()->item(0)->text(), QStringLiteral("1_1中"));
        EXPECT_EQ(dlg.ItemList()->item(1)->text(), QStringLiteral("1_2") + QString(30, QLatin1Char('N')));
        dlg.OnItemDoubleClicked(); // the name of the selected line into the edit
        EXPECT_EQ(dlg.NameEdit()->text(), QStringLiteral("中"));

        // A character outside GB2312: refused before anything is sent.
        dlg.ItemList()->setCurrentRow(2);
        Type(dlg.NameEdit(), QStringLiteral("A😀"));
        ClickTold(Button(dlg, 1177));
        EXPECT_EQ(LastTold(), QStringLiteral("信号源名称含有无法保存的字符，请修改!"));
        EXPECT_TRUE(link.SentBefore(false).empty());

        // A file that cannot be written: the name has gone out, the
        // operator is told once.
        const std::string path = inputosd::OsdNameFilePath();
        fs::remove(path);
        fs::create_directory(path);
        Type(dlg.NameEdit(), QStringLiteral("B"));
        ClickTold(Button(dlg, 1177));
        EXPECT_EQ(LastTold(), QStringLiteral("信号源名称已发送，但未能保存到文件!"));
        EXPECT_EQ(link.SentBefore(false).size(), 2u);
        EXPECT_TRUE(fs::is_directory(path));
    });
}

TEST_F(InputOsdEditor, ModifyOfflineKeepsTheNameAndSaysTheDeviceHasNotGotIt)
{
    Disconnect();
    Editor([&](Dlg& dlg) {
        Type(dlg.NameEdit(), QStringLiteral("中"));
        ClickTold(Button(dlg, 1177));
        EXPECT_EQ(LastTold(), QStringLiteral("处理器未连接，请连接处理器！"));
    });
    Editor([&](Dlg& dlg) { EXPECT_EQ(dlg.ItemList()->item(0)->text(), QStringLiteral("1_1中")); });
    EXPECT_TRUE(link.SentBefore(false).empty());
}

TEST_F(InputOsdEditor, AllItemsTimeModesAndTheTimeRadios)
{
    Editor([&](Dlg& dlg) {
        const std::pair<int, int> buttons[] = {{1078, 1}, {1080, 0}, {1081, 2}};
        for (const auto& [id, mode] : buttons) {
            SCOPED_TRACE(id);
            QTest::mouseClick(Button(dlg, id), Qt::LeftButton);
            EXPECT_EQ(link.SentBefore(false), Lines{"I_F TIME_WE 255 255 " + std::to_string(mode) + "\r\n"});
            EXPECT_EQ(dlg.GetAllTimeMode(), mode);
            for (const auto& item : dlg.GetItems()) {
                EXPECT_EQ(item->osd.shown, mode);
                EXPECT_EQ(item->timeShown, mode);
                EXPECT_EQ(item->timeMode, mode);
            }
            const auto saved = Saved(1, 3);
            ASSERT_NE(saved, nullptr);
            EXPECT_EQ(saved->osd.shown, mode);
            EXPECT_EQ(saved->timeShown, mode);
        }

        // The time radio of the selected item sends its overlay (font size
        // 1 is the store's default).
        QTest::mouseClick(Button(dlg, 1080), Qt::LeftButton);
        link.SentBefore(false);
        auto* on = qobject_cast<QRadioButton*>(dlg.Control(1134));
        EXPECT_FALSE(on->isChecked());
        QTest::mouseClick(on, Qt::LeftButton);
        EXPECT_EQ(link.SentBefore(false),
                  (Lines{"I_F TIME_WE 0 0 1\r\n", "I_F TIME_WS 0 0 0 0 1920 1080\r\n", "I_F TIME_F 0 0 1\r\n"}));
        EXPECT_EQ(dlg.GetItems()[0]->timeMode, 1);

        // Disconnected: told, nothing changes.
        Disconnect();
        ClickTold(Button(dlg, 1078));
        EXPECT_EQ(LastTold(), QStringLiteral("处理器未连接，请连接处理器！"));
        EXPECT_EQ(dlg.GetAllTimeMode(), 0);
        EXPECT_EQ(dlg.GetItems()[1]->timeMode, 0);
    });
}

TEST_F(InputOsdEditor, SendingAllShowsProgressAndLocksTheDialogUntilTheLastReport)
{
    Editor([&](Dlg& dlg) {
        // "保存" and "发送至处理器" store the selected item only.
        dlg.FieldEdit(Dlg::kCaptionRed)->setText("9");
        dlg.ItemList()->setCurrentRow(1);
        dlg.FieldEdit(Dlg::kCaptionRed)->setText("8");
        dlg.OnSaveSelected();
        EXPECT_EQ(Saved(0, 1)->osd.captionColor, 0xFFFF08);
        EXPECT_EQ(Saved(0, 0)->osd.captionColor, 0xFFFFFF);
        dlg.OnSendSelected();
        EXPECT_EQ(dlg.ProgressText()->text(), "1 / 1");
        EXPECT_EQ(Saved(0, 0)->osd.captionColor, 0xFFFFFF);
        processor().Release(1);
        EXPECT_TRUE(pumpUntil([&] { return dlg.GetJobState() == Dlg::kIdle; }));
        ASSERT_TRUE(pumpUntil([&] { return link.processor->GetJobState() == CQelProcessor::kJobIdle; }));

        link.SentBefore();
        dlg.OnSendAll();
        EXPECT_EQ(link.processor->GetJobState(), CQelProcessor::kJobInputOsdTransfer);
        EXPECT_EQ(Saved(0, 0)->osd.captionColor, 0xFFFF09); // in IOSD.dat before the send
        EXPECT_EQ(dlg.GetJobState(), Dlg::kSending);
        EXPECT_TRUE(dlg.ProgressBar()->isVisible());
        EXPECT_EQ(dlg.ProgressText()->text(), "1 / 8");
        for (int id : {1, 2, 1098, 1078, 1134, 1160, 1173, 1107, 1111, 1113, 1079})
            EXPECT_FALSE(dlg.Control(id)->isEnabled()) << id;
        // Neither Escape, Enter nor Cancel closes it meanwhile.
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QTest::keyClick(&dlg, Qt::Key_Return);
        static_cast<QDialog&>(dlg).reject();
        EXPECT_TRUE(dlg.isVisible());

        processor().Release(1);
        EXPECT_TRUE(pumpUntil([&] { return dlg.GetJobState() == Dlg::kIdle; }));
        EXPECT_FALSE(dlg.ProgressBar()->isVisible());
        EXPECT_TRUE(dlg.OkButton()->isEnabled());
        EXPECT_TRUE(dlg.FieldEdit(Dlg::kCaptionRed)->isEnabled());

        // The job's failure report (one past the count) is no success.
        dlg.OnSendAll();
        ASSERT_EQ(dlg.GetJobState(), Dlg::kSending);
        std::thread([&] {
            dlg.OnProgress(0, 8, 0, 0);
            dlg.OnProgress(9, 8, 0, 0);
        }).join();
        modal().expectInform();
        EXPECT_TRUE(pumpUntil([&] { return dlg.GetJobState() == Dlg::kIdle; }));
        EXPECT_EQ(LastTold(), QStringLiteral("发送台标失败，请重试!"));
        EXPECT_FALSE(dlg.ProgressText()->isVisible());
        processor().Release(1);
        ASSERT_TRUE(pumpUntil([&] { return link.processor->GetJobState() == CQelProcessor::kJobIdle; }));

        // A job already running refuses the start.
        ASSERT_EQ(link.processor->jobs().StartSendInputOsd(0, nullptr, {}), 0);
        modal().expectInform();
        dlg.OnSendAll();
        EXPECT_EQ(LastTold(), QStringLiteral("发送台标失败，请重试!"));
        EXPECT_EQ(dlg.GetJobState(), Dlg::kIdle);
        processor().Release(1);
        ASSERT_TRUE(pumpUntil([&] { return link.processor->GetJobState() == CQelProcessor::kJobIdle; }));
        QTest::qWait(20); // the late reports of the failed send find nobody sending
    });

    // Reports still queued when a dialog goes are dropped with it.
    auto* gone = new Dlg;
    std::thread([gone] {
        static_cast<IIOSDSendingProgress*>(gone)->OnProgress(0, 8, 0, 0);
        static_cast<IOSDSavingProgress*>(gone)->OnProgress(1, 50);
    }).join();
    delete gone;
    QCoreApplication::processEvents();
}

TEST_F(InputOsdEditor, StoringIntoTheProcessorEndsWithItsAnswerOrTheTimeOut)
{
    processor().Open();
    Editor([&](Dlg& dlg) {
        // A silent processor: the job gives up after its 50 s.
        link.simulator.Silence("I_F OSDSA");
        dlg.ItemList()->setCurrentRow(5);
        dlg.OnStoreToProcessor();
        EXPECT_EQ(dlg.GetJobState(), Dlg::kStoring);
        EXPECT_EQ(dlg.ProgressText()->text(), "1 / 1");
        EXPECT_TRUE(dlg.ProgressBar()->isVisible());
        EXPECT_FALSE(dlg.OkButton()->isEnabled());
        modal().expectInform();
        EXPECT_TRUE(pumpUntil([&] { return dlg.GetJobState() == Dlg::kIdle; }, 30000));
        EXPECT_EQ(LastTold(), QStringLiteral("保存台标失败，请重试!"));
        EXPECT_FALSE(dlg.ProgressBar()->isVisible());
        EXPECT_TRUE(link.simulator.WaitForLine("I_F OSDSA 1 1 2\r\n", 0ms));

        // It answers the second poll: stored.
        link.simulator.ClearLines();
        link.simulator.AnswerOsdSavedFrom(2);
        dlg.ItemList()->setCurrentRow(0);
        dlg.OnStoreToProcessor();
        modal().expectInform();
        EXPECT_TRUE(pumpUntil([&] { return dlg.GetJobState() == Dlg::kIdle; }, 30000));
        EXPECT_EQ(LastTold(), QStringLiteral("保存台标完毕!"));
        const Lines lines = link.simulator.Texts();
        const auto save = std::find(lines.begin(), lines.end(), "I_F OSDSA 0 0 1\r\n");
        const auto poll = std::find(lines.begin(), lines.end(), "I_F OSDSA 0 0 2\r\n");
        EXPECT_TRUE(save != lines.end() && poll != lines.end() && save < poll);
    });
}

TEST_F(InputOsdEditor, SyncCopiesWithoutSendingAndOnlyOkKeepsTheEdits)
{
    Editor(
        [&](Dlg& dlg) {
            dlg.FieldEdit(Dlg::kCaptionRed)->setText("200");
            link.SentBefore();
            dlg.OnSync();
            for (const auto& item : dlg.GetItems())
                EXPECT_EQ(item->osd.captionColor, 0xFFFFC8);
            EXPECT_EQ(dlg.GetItems()[5]->input, 1);
            EXPECT_EQ(dlg.GetItems()[5]->item, 1);
            EXPECT_TRUE(link.SentBefore().empty());
            EXPECT_FALSE(fs::exists(CQelProcessor::CInputOSD::FilePath()));
            QTest::keyClick(&dlg, Qt::Key_Return);
            QTest::keyClick(&dlg, Qt::Key_Escape);
            EXPECT_TRUE(dlg.isVisible());
        },
        false);
    EXPECT_FALSE(fs::exists(CQelProcessor::CInputOSD::FilePath()));
    EXPECT_EQ(link.processor->GetInputOsd().FindItem(1, 0)->osd.captionColor, 0xFFFFFF);

    Editor([&](Dlg& dlg) {
        dlg.FieldEdit(Dlg::kCaptionRed)->setText("200");
        dlg.ItemList()->setCurrentRow(2);
        dlg.FieldEdit(Dlg::kCaptionGreen)->setText("5");
    });
    EXPECT_EQ(Saved(0, 0)->osd.captionColor, 0xFFFFC8);
    EXPECT_EQ(Saved(0, 2)->osd.captionColor, 0xFF05FF);
    EXPECT_EQ(Saved(0, 1)->osd.captionColor, 0xFFFFFF);
}

TEST_F(InputOsdEditor, LogoPicturesAndPreviewDrags)
{
    QImage picture(300, 150, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 150; ++x)
            picture.setPixel(x, y, qRgb(0, 0, 0));
    const QString path = QDir::current().absoluteFilePath(QStringLiteral("logo.bmp"));
    ASSERT_TRUE(picture.save(path, "BMP"));
    const std::string bytes = ReadText(path.toStdString());
    WriteText("cut.bmp", bytes.substr(0, 60));

    Editor([&](Dlg& dlg) {
        modal().answerFile(path);
        dlg.OnLoadPicture();
        EXPECT_TRUE(modal().prompts().back().file.filter.contains(QStringLiteral("*.bmp")));
        const tagOSD_DATA_EX2 logo = dlg.GetItems()[0]->osd;
        EXPECT_EQ(logo.Width(), 256);
        EXPECT_EQ(logo.Height(), 128);
        ASSERT_EQ(logo.bitmap.size(), 4096u);
        EXPECT_EQ(logo.bitmap[0], 0x00);  // dark left half
        EXPECT_EQ(logo.bitmap[31], 0xFF); // light right half
        EXPECT_TRUE(link.SentBefore().empty());

        modal().answerFile(QDir::current().absoluteFilePath(QStringLiteral("cut.bmp")));
        modal().expectInform();
        dlg.OnLoadPicture();
        EXPECT_EQ(LastTold(), QStringLiteral("图片无法加载，请选择其他图片！"));
        EXPECT_EQ(dlg.GetItems()[0]->osd.bitmap, logo.bitmap);

        // The caption at left 960 of 1920 sits in the middle of the
        // monitor; dragged to its left edge it is at left 0.
        const Rect monitor = dlg.MonitorRect();
        dlg.FieldEdit(Dlg::kLeft)->setText("960");
        EXPECT_EQ(dlg.CaptionPreview()->geometry().left(), (monitor.right - monitor.left) / 2);
        dlg.OnPreviewNotify(true, ui::Notify{CSigSrcClipWnd::kMoved, monitor.left, 0});
        dlg.OnPreviewNotify(true, ui::Notify{CSigSrcClipWnd::kDragEnded});
        EXPECT_EQ(dlg.FieldEdit(Dlg::kLeft)->text(), "0");
        EXPECT_EQ(dlg.GetItems()[0]->left, 0);
        dlg.OnPreviewNotify(false, ui::Notify{CSigSrcClipWnd::kMoved, monitor.right / 2, monitor.bottom / 2});
        EXPECT_EQ(dlg.GetItems()[0]->timeLeft, 960);
        EXPECT_EQ(dlg.GetItems()[0]->timeTop, 540);
    });
}

TEST_F(InputOsdEditor, CompactAndObmLayoutsShowTheirControls)
{
    link.processor->GetInputOsd().SetItemColorB(0, 0, 0x00FF00);
    const ui::ColorRef swatch = ui::rgb(0, 255, 0);
    Editor([&](Dlg& dlg) {
        for (int id : {1107, 1098, 1099, 1100, 1102, 1134, 1135, 1136, 1078, 1080, 1081, 1160, 1173, 1177})
            EXPECT_TRUE(dlg.Control(id)->isVisible()) << id;
        for (int id : {1104, 1105, 1106, 1110, 1109, 1111, 1113, 1079, 1118, 1089, 1094, 1091})
            EXPECT_FALSE(dlg.Control(id)->isVisible()) << id;
        const QImage shot = screenshot(dlg);
        const QRect list = dlg.ItemList()->geometry();
        EXPECT_EQ(pixelAt(shot, list.center().x(), list.bottom() - 8), ui::rgb(255, 255, 255));
        EXPECT_GT(countColour(shot, Rect{0, 0, shot.width(), shot.height()}, swatch), 200);
        const QRect group = dlg.findChild<QWidget*>(QStringLiteral("timeGroup"))->geometry();
        EXPECT_TRUE(group.isValid());
        EXPECT_GT(group.top(), dlg.Control(1102)->geometry().top());
    });

    link.processor->settings().SetObm(1);
    Editor([&](Dlg& dlg) {
        for (int id : {1104, 1105, 1106, 1110, 1134, 1135, 1078, 1080})
            EXPECT_TRUE(dlg.Control(id)->isVisible()) << id;
        for (int id : {1098, 1099, 1100, 1102, 1081, 1136, 1177})
            EXPECT_FALSE(dlg.Control(id)->isVisible()) << id;
        const QImage shot = screenshot(dlg);
        EXPECT_EQ(countColour(shot, Rect{0, 0, shot.width(), shot.height()}, swatch), 0);
        const QWidget* top = dlg.Control(1104);
        const QPoint inside = top->mapTo(&dlg, QPoint(top->width() / 2, top->height() / 2));
        EXPECT_EQ(pixelAt(shot, inside.x(), inside.y()), ui::rgb(255, 255, 255)); // the edit's white
    });
}
