#include <gtest/gtest.h>

#include <boost/property_tree/ptree.hpp>
#include <dirent.h>
#include <filesystem>
#include <string>
#include <thread>

#include "startup/bootstrap.h"
#include "context/context.h"
#include "core/event_queue.h"
#include "comm/net_manager.h"
#include "corlane/app_path.h"
#include "model/net_type.h"
#include "model/processor.h"
#include "model/processor_link.h"
#include "model/processor_manager.h"
#include "model/processor_records.h"
#include "model/processor_settings.h"
#include "plan/cycle_plan.h"
#include "tests/support/child_process.h"
#include "tests/support/processor_simulator.h"
#include "tests/support/recording_channel.h"

namespace fs = std::filesystem;
using tavrix::test::ReadText;
using tavrix::test::WriteText;

namespace {

const std::string kFileStart = "<?xml version=\"1.0\"?><Processor version=\"V1\" protype=\"8\" Authorization=\"0\">"
                               "<App/><Connect/><Boards/><SignalOut/><VideoWall/><OutResolutions/><PlanNameSet/>";

std::string ProFile()
{
    return CQelProcessor::ProFilePath();
}

std::string Sys(const std::string& name)
{
    return qz::vok::path::GetSysPath() + "/" + name;
}

size_t ThreadCount()
{
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator("/proc/self/task")) {
        (void)entry;
        ++count;
    }
    return count;
}

std::string ProgramLogText()
{
    std::string all;
    for (const auto& entry : fs::recursive_directory_iterator(qz::vok::path::GetLogPath()))
        if (entry.path().filename().string().rfind("TAVRIX-", 0) == 0)
            all += ReadText(entry.path());
    return all;
}

class Bootstrap : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* folder : {"Sys", "Hardware", "Log", "Plan", "rt"})
            fs::remove_all(qz::vok::path::GetMainPath() + "/" + folder);
        runtime = tavrix::test::MakeRuntimeFolder(qz::vok::path::GetMainPath() + "/rt").string();
        WriteText(Sys("TOLM.INI"), "[LOG]\nLOGLEVEL=3\n");
        CEvtQueue::get_instance().Clear();
    }
    void TearDown() override { CQelContext::Destroy(); }

    std::string runtime;
};

} // namespace

TEST(NetType, OnlyOneOrTrueMeansWaitForTheEcho)
{
    const std::string path = ProFile();
    const auto with = [&](const std::string& attribute) {
        WriteText(path, "<?xml version=\"1.0\"?><Processor version=\"V1\"" + attribute + "/>");
        return int(ReadProcessorNetType(path));
    };
    EXPECT_EQ(with(" NetType=\"1\""), 1);
    EXPECT_EQ(with(" NetType=\"true\""), 1);
    EXPECT_EQ(with(" NetType=\"0\""), 0);
    EXPECT_EQ(with(" NetType=\"false\""), 0);
    EXPECT_EQ(with(" NetType=\"2\""), 0);
    EXPECT_EQ(with(" NetType=\"\""), 0);
    EXPECT_EQ(with(""), 0);

    WriteText(path, "<Processor NetType=\"1\"");
    EXPECT_EQ(ReadProcessorNetType(path), 0);
    WriteText(path, "<?xml version=\"1.0\"?><Other NetType=\"1\"/>");
    EXPECT_EQ(ReadProcessorNetType(path), 0);
    fs::remove(path);
    EXPECT_EQ(ReadProcessorNetType(path), 0);
}

TEST_F(Bootstrap, StartSelectsTheFirstSourceOfProcessorOne)
{
    WriteText(ProFile(),
              kFileStart + "<SignalSource><SigSrc id=\"300\"/><SigSrc id=\"200\"/></SignalSource></Processor>");
    {
        CTavrixBootstrap bootstrap(runtime);
        ASSERT_EQ(bootstrap.Start(), CTavrixBootstrap::StartResult::Run);
        EXPECT_EQ(CQelContext::GetSelProcessorId(), 1);
        EXPECT_EQ(CQelContext::GetSelSigSrcId(), 300);
        EXPECT_TRUE(bootstrap.TakeOperatorMessages().empty());
    }
    EXPECT_NE(ProgramLogText().find(" EV> Start"), std::string::npos);

    WriteText(ProFile(), kFileStart + "</Processor>");
    CTavrixBootstrap bootstrap(runtime);
    ASSERT_EQ(bootstrap.Start(), CTavrixBootstrap::StartResult::Run);
    EXPECT_NE(CQelContext::GetProMan()->FindById(1), nullptr);
    EXPECT_EQ(CQelContext::GetSelProcessorId(), -1);
    EXPECT_EQ(CQelContext::GetSelSigSrcId(), -1);
}

TEST_F(Bootstrap, BadFilesNeverStopStartUp)
{
    const std::string garbage = "\x01\x02<not [ini or xml\xff";
    for (const char* name : {"Main.ini", "MultiScreenView.ini", "TOLM.INI", "LanguageTr.xml"})
        WriteText(Sys(name), garbage);
    WriteText(qz::vok::path::GetPlanPath() + "/PlanList.txt", garbage);
    WriteText(qz::vok::path::GetPlanPath() + "/CyclePlanList.clt", garbage);
    WriteText(ProFile(), kFileStart + "<SignalSource><SigSrc id=\"3");

    CTavrixBootstrap bootstrap(runtime);
    ASSERT_EQ(bootstrap.Start(), CTavrixBootstrap::StartResult::Run);
    ASSERT_NE(CQelContext::GetProMan()->FindById(1), nullptr);
    EXPECT_EQ(CQelContext::GetProMan()->FindById(1)->records().GetSigSrcCount(), 0u);
    // The operator hears of the processor file once.
    EXPECT_EQ(bootstrap.TakeOperatorMessages().size(), 1u);
    EXPECT_TRUE(bootstrap.TakeOperatorMessages().empty());

    bootstrap.Close();
    EXPECT_EQ(ReadText(ProFile() + ".bad"), kFileStart + "<SignalSource><SigSrc id=\"3");
    EXPECT_EQ(ReadProcessorNetType(ProFile()), 0);
    EXPECT_NE(ReadText(ProFile()).find("<Processor"), std::string::npos);
    EXPECT_NE(ReadText(Sys("Main.ini")).find("Singleton=1"), std::string::npos);
}

TEST_F(Bootstrap, CloseWritesEachFileOnceAndGoesOnPastOneItCannotWrite)
{
    CTavrixBootstrap bootstrap(runtime);
    ASSERT_EQ(bootstrap.Start(), CTavrixBootstrap::StartResult::Run);
    // Main.ini and one cycle plan cannot be written: folders stand in
    // their places.
    fs::remove(Sys("Main.ini"));
    fs::create_directories(Sys("Main.ini"));
    for (const char* name : {"blocked", "fine"})
        ASSERT_TRUE(CQelContext::GetCyclePlanMan()->Add(std::make_shared<CQelCyclePlan>(name)));
    fs::create_directories(CQelCyclePlan::FilePath("blocked"));
    bootstrap.Close();
    EXPECT_TRUE(fs::is_directory(Sys("Main.ini")));
    EXPECT_TRUE(fs::exists(Sys("MultiScreenView.ini")));
    EXPECT_TRUE(fs::exists(ProFile()));
    EXPECT_TRUE(fs::exists(CQelCyclePlan::FilePath("fine")));
    const std::string log = ProgramLogText();
    EXPECT_NE(log.find("cannot save Main.ini"), std::string::npos);
    EXPECT_NE(log.find("cannot save cycle plan \"blocked\""), std::string::npos);
    EXPECT_EQ(log.find("cannot save cycle plan \"fine\""), std::string::npos);

    EXPECT_TRUE(fs::exists(qz::vok::path::GetPlanPath() + "/PlanList.txt"));
    EXPECT_TRUE(fs::exists(qz::vok::path::GetPlanPath() + "/CyclePlanList.clt"));

    for (const std::string& path :
         {Sys("MultiScreenView.ini"), ProFile(), qz::vok::path::GetPlanPath() + "/PlanList.txt",
          qz::vok::path::GetPlanPath() + "/CyclePlanList.clt"})
        fs::remove(path);
    bootstrap.Close();
    bootstrap.Shutdown();
    EXPECT_FALSE(fs::exists(Sys("MultiScreenView.ini")));
    EXPECT_FALSE(fs::exists(ProFile()));
    EXPECT_FALSE(fs::exists(qz::vok::path::GetPlanPath() + "/PlanList.txt"));
}

TEST_F(Bootstrap, CloseDropsQueuedCommandsAndLeavesNoThreadBehind)
{
    ProcessorSimulator simulator;
    const size_t threadsBefore = ThreadCount();
    uint32_t channelId = 0;
    {
        CTavrixBootstrap bootstrap(runtime);
        ASSERT_EQ(bootstrap.Start(), CTavrixBootstrap::StartResult::Run);
        auto processor = CQelContext::GetProMan()->FindById(1);
        ASSERT_NE(processor, nullptr);
        auto channel = std::make_shared<CRecordingChannel>(&CNetManager::get_instance(), "PRO_Tcp_1");
        channel->Settings().put("server_addr", "127.0.0.1");
        channel->Settings().put("server_port", std::to_string(simulator.Port()));
        channelId = CNetManager::get_instance().Register(channel);
        processor->settings().SetChannelId(channelId);
        processor->link().SetSenderPause(25);
        channel->Open();
        ASSERT_TRUE(simulator.WaitForConnection(std::chrono::seconds(20)));
        for (int i = 0; i < 10000; ++i)
            ASSERT_TRUE(processor->QueueCommand("GP TEST " + std::to_string(i) + "\r\n"));
        processor.reset();
        channel.reset();

        bootstrap.Close();
        bootstrap.Shutdown();
    }
    CNetManager::get_instance().CloseAndRemove(channelId);
    EXPECT_EQ(ThreadCount(), threadsBefore);
    EXPECT_LT(simulator.Texts().size(), 10000u);

    const std::string log = ProgramLogText();
    const size_t at = log.find("queued commands dropped");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(log.find("queued commands dropped", at + 1), std::string::npos);
}
