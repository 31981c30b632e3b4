// The real program, run offscreen as a child process in main folders of the
// test's own.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

#include "startup/bootstrap.h"
#include "tests/support/child_process.h"

namespace fs = std::filesystem;
using namespace tavrix::test;

namespace {

std::string Today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y%m%d", &local);
    return text;
}

fs::path ProgramLog(const fs::path& main)
{
    return main / "Log" / Today() / ("TAVRIX-" + Today() + ".LOG");
}

bool HasStarted(const fs::path& main)
{
    return ReadText(ProgramLog(main)).find(" EV> Start") != std::string::npos;
}

// One variable of a running process's environment.
std::string EnvironmentOf(pid_t pid, const std::string& name)
{
    std::istringstream environment(ReadText("/proc/" + std::to_string(pid) + "/environ"));
    for (std::string entry; std::getline(environment, entry, '\0');)
        if (entry.starts_with(name + "="))
            return entry.substr(name.size() + 1);
    return {};
}

// The Xvfb that serves the display of this authority file; 0 for none.
pid_t XvfbOf(const std::string& authority)
{
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::vector<std::string> args;
        std::istringstream cmdline(ReadText(entry.path() / "cmdline"));
        for (std::string arg; std::getline(cmdline, arg, '\0');)
            args.push_back(arg);
        const auto auth = std::find(args.begin(), args.end(), "-auth");
        if (!args.empty() && args[0].ends_with("Xvfb") && auth != args.end() && auth + 1 != args.end() &&
            auth[1] == authority)
            return std::stoi(name);
    }
    return 0;
}

class TavrixProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::current_path() / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(root);
        runtime = MakeRuntimeFolder(root / "rt");
    }

    fs::path Main(const std::string& name, int logLevel = 3)
    {
        const fs::path main = MakeMainFolder(root / name);
        WriteText(main / "Sys" / "TOLM.INI", "[LOG]\nLOGLEVEL=" + std::to_string(logLevel) + "\n");
        return main;
    }

    // A copy of the program running in `main`, once it has logged its start.
    std::unique_ptr<ChildProgram> StartRunning(const fs::path& main)
    {
        auto child = std::make_unique<ChildProgram>(TAVRIX_EXE, main, runtime);
        WaitUntil([&] { return HasStarted(main) || !child->Running(); });
        EXPECT_TRUE(child->Running());
        return child;
    }

    fs::path root;
    fs::path runtime;
};

} // namespace

TEST_F(TavrixProcess, StartsLogsAndSavesEverythingOnSigterm)
{
    const fs::path main = Main("main");
    auto child = StartRunning(main);
    child->Signal(SIGTERM);
    ASSERT_EQ(child->Wait(), 0);

    EXPECT_TRUE(
        std::regex_search(ReadText(ProgramLog(main)), std::regex("\n[0-9]{2}:[0-9]{2}:[0-9]{2} EV> Start\r?\n")));

    const std::string mainIni = ReadText(main / "Sys" / "Main.ini");
    for (const char* line : {"[Main]", "Language=0", "Singleton=1", "Pwd=739146", "[MainFrm]", "LeftMargins=0",
                             "BkImageExpMode=3", "AppType=1", "[Plan]", "Layout=0"})
        EXPECT_NE(mainIni.find(line), std::string::npos) << line;
    const std::string viewIni = ReadText(main / "Sys" / "MultiScreenView.ini");
    for (const char* line : {"[Cfg]", "FitModule=", "AutoExecute=", "Transparent="})
        EXPECT_NE(viewIni.find(line), std::string::npos) << line;
    EXPECT_TRUE(fs::exists(main / "Hardware" / "Processor.pro"));
    EXPECT_TRUE(fs::exists(main / "Plan" / "PlanList.txt"));
    EXPECT_EQ(ReadText(main / "Plan" / "PlanList.txt"), "");
    EXPECT_EQ(ReadText(main / "Plan" / "CyclePlanList.clt"), std::string("\x01\x00\xB0\x8E\x00\x00\x00\x00", 8));
}

TEST_F(TavrixProcess, SigintAndSighupCloseTheSameOrderlyWay)
{
    for (int signal : {SIGINT, SIGHUP}) {
        const fs::path main = Main("main" + std::to_string(signal));
        auto child = StartRunning(main);
        child->Signal(signal);
        EXPECT_EQ(child->Wait(), 0) << signal;
        EXPECT_TRUE(fs::exists(main / "Sys" / "Main.ini")) << signal;
        EXPECT_TRUE(fs::exists(main / "Hardware" / "Processor.pro")) << signal;
    }
}

TEST_F(TavrixProcess, CtrlCOnAVirtualDisplayClosesTheProgramBeforeItsDisplay)
{
    if (std::system("command -v Xvfb >/dev/null && command -v xauth >/dev/null") != 0)
        GTEST_SKIP() << "Xvfb or xauth is missing: scripts/setup.sh installs them";
    // The launch of scripts/run.sh without a display; Ctrl+C goes to the
    // terminal's foreground process group.
    const fs::path main = Main("main");
    ChildOptions headless;
    headless.launcher = {"/bin/bash", HEADLESS_SH};
    ChildProgram child(TAVRIX_EXE, main, runtime, headless);
    WaitUntil([&] { return HasStarted(main) || !child.Running(); });
    ASSERT_TRUE(child.Running());
    const std::string authority = EnvironmentOf(child.Pid(), "XAUTHORITY");
    const pid_t xvfb = XvfbOf(authority);
    ASSERT_NE(xvfb, 0) << authority;

    child.SignalGroup(SIGINT);
    // Its display outlived it: an X error would have ended it with 1.
    EXPECT_EQ(child.Wait(), 0);
    EXPECT_TRUE(fs::exists(main / "Sys" / "Main.ini"));
    EXPECT_TRUE(fs::exists(main / "Hardware" / "Processor.pro"));
    EXPECT_TRUE(fs::exists(main / "Plan" / "PlanList.txt"));
    WaitUntil([&] { return XvfbOf(authority) != xvfb && !fs::exists(fs::path(authority).parent_path()); });
}

TEST_F(TavrixProcess, SecondCopyEndsQuietlyWhileTheFirstRuns)
{
    const fs::path first = Main("first");
    const fs::path second = Main("second");
    auto running = StartRunning(first);

    ChildProgram copy(TAVRIX_EXE, second, runtime);
    EXPECT_EQ(copy.Wait(), 0);
    // It ended before its start: nothing logged, nothing saved.
    EXPECT_FALSE(HasStarted(second));
    EXPECT_FALSE(fs::exists(second / "Sys" / "Main.ini"));
    EXPECT_TRUE(running->Running());

    running->Signal(SIGTERM);
    EXPECT_EQ(running->Wait(), 0);
}

TEST_F(TavrixProcess, EveryRunningCopyHoldsTheFlag)
{
    const fs::path first = Main("first");
    const fs::path second = Main("second");
    WriteText(second / "Sys" / "Main.ini", "[Main]\nSingleton=0\n");
    auto a = StartRunning(first);
    auto b = StartRunning(second);

    const fs::path third = Main("third");
    EXPECT_EQ(ChildProgram(TAVRIX_EXE, third, runtime).Wait(), 0);
    EXPECT_FALSE(HasStarted(third));

    // With the first gone the second still holds it.
    a->Signal(SIGTERM);
    EXPECT_EQ(a->Wait(), 0);
    EXPECT_EQ(ChildProgram(TAVRIX_EXE, third, runtime).Wait(), 0);
    EXPECT_FALSE(HasStarted(third));

    b->Signal(SIGTERM);
    EXPECT_EQ(b->Wait(), 0);
}

TEST_F(TavrixProcess, KilledCopyDoesNotBlockTheNextStart)
{
    const fs::path first = Main("first");
    auto killed = StartRunning(first);
    killed->Signal(SIGKILL);
    killed->Wait();

    const fs::path next = Main("next");
    auto running = StartRunning(next);
    running->Signal(SIGTERM);
    EXPECT_EQ(running->Wait(), 0);
}

TEST_F(TavrixProcess, SecondCopyEndsQuietlyWhenTheFirstHasNoWindowYet)
{
    // The first copy is this process, started but without a window, so it
    // does not answer raise requests yet.
    CTavrixBootstrap bootstrap(runtime.string());
    ASSERT_EQ(bootstrap.Start(), CTavrixBootstrap::StartResult::Run);

    const fs::path second = Main("second");
    EXPECT_EQ(ChildProgram(TAVRIX_EXE, second, runtime).Wait(), 0);
    EXPECT_FALSE(HasStarted(second));
    bootstrap.Shutdown();
}

TEST_F(TavrixProcess, WithoutItsWorkingFolderTheProgramSaysSoAndStops)
{
    const fs::path main = Main("gone");
    const fs::path told = root / "stderr.txt";
    ChildOptions options;
    options.stderrPath = told.string();
    options.removeWorkingFolder = true;
    ChildProgram child(TAVRIX_EXE, main, runtime, options);
    EXPECT_NE(child.Wait(), 0);
    EXPECT_NE(ReadText(told).find("tavrix: the working folder no longer exists"), std::string::npos) << ReadText(told);
    // Nothing fell back to the root folder.
    for (const char* folder : {"/Sys", "/Log", "/Hardware", "/Plan"})
        EXPECT_FALSE(fs::exists(folder)) << folder;
}

TEST_F(TavrixProcess, FileProblemsAreToldOnStderrWithTheLogOffAndAFailedSaveEndsNonZero)
{
    const fs::path main = MakeMainFolder(root / "main"); // no TOLM.INI: the log is off
    WriteText(main / "Hardware/Processor.pro", "<Processor version=\"V1\" protype=\"8\" Authorization=\"0\"><App/>"
                                               "<Connect/><Boards/><SignalSource/><SignalOut/><VideoWall/>"
                                               "<OutResolutions/><PlanNameSet/></Processor>");
    WriteText(main / "Plan/CyclePlanList.clt", std::string("\x01\x00\xB0\x8E\x02\0\0\0\x02\0\0\0c1\x02\0\0\0c2", 20));
    const fs::path pipe = main / "Sys/res/toolbarbk.bmp";
    fs::create_directories(pipe.parent_path());
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"Sys/res/toolbarbk.bmp", "", "toolbarbk.bmp - it is not a regular file"},
        {"Sys/MainMenu.xml", "/", "MainMenu.xml: unreadable: it is a folder"},
        {"Sys/LanguageTr.xml", "<LanguageTr", "LanguageTr.xml not loaded"},
        {"Hardware/TVConfig.pro", "<TVConfig n=\"&#1F;\"/>", "TVConfig.pro not loaded (a character XML"},
        {"Hardware/IOSD.dat", "x", "IOSD.dat damaged"},
        {"Plan/c1.cycle", "<CyclePlan", "c1.cycle: the cycle plan is damaged"},
        {"Plan/c2.cycle", "", "c2.cycle: the listed cycle plan is missing"},
        {"Sys/Main.ini", "/", "close: cannot save Main.ini"}};
    for (const auto& [file, content, told] : cases)
        if (!content.empty())
            content == "/" ? WriteText(main / file / "x", "") : WriteText(main / file, content);
    ChildOptions options;
    options.stderrPath = (root / "stderr.txt").string();
    ChildProgram child(TAVRIX_EXE, main, runtime, options);
    // A reader that blocks on the pipe is let go at once, to read nothing.
    auto running = [&] {
        ::close(::open(pipe.c_str(), O_WRONLY | O_NONBLOCK));
        return child.Running();
    };
    WaitUntil([&] { return !running() || ReadText(options.stderrPath).find("toolbarbk") != std::string::npos; });
    child.Signal(SIGTERM);
    WaitUntil([&] { return !running(); });
    EXPECT_EQ(child.Wait(), 1);
    for (const auto& [file, content, told] : cases)
        EXPECT_NE(ReadText(options.stderrPath).find(told), std::string::npos) << told;
}
