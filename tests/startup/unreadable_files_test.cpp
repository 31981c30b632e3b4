// Anything in the place of a file the program reads that cannot be read as
// a file: start-up goes on with defaults, says so once, and never replaces
// it. Each case runs in a child process of its own; the case of a file
// without read permission runs as nobody, for whom it really is unreadable.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "startup/bootstrap.h"
#include "core/config.h"
#include "context/context.h"
#include "corlane/app_path.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/processor_records.h"
#include "plan/cycle_plan.h"
#include "plan/plan_manager.h"
#include "tests/support/child_process.h"
#include "tests/support/file_faults.h"

namespace fs = std::filesystem;
using tavrix::test::ChildReport;
using tavrix::test::Occurrences;
using tavrix::test::ReadText;
using tavrix::test::WriteText;

namespace {

enum class Kind { Folder, BrokenLink, NoReadPermission };

const char kProcessorFile[] = "<?xml version=\"1.0\"?><Processor version=\"V1\" protype=\"8\" Authorization=\"0\">"
                              "<App/><Connect/><Boards/><SignalSource><SigSrc id=\"100\"/></SignalSource><SignalOut/>"
                              "<VideoWall/><OutResolutions/><PlanNameSet/></Processor>";
const char kPlanFile[] = "<?xml version=\"1.0\"?><Plan version=\"V1\" type=\"0\"><Screen col=\"1\" row=\"1\" "
                         "resolution=\"1920,1080,60\"/><Groups/><Windows/><Switch/></Plan>";

std::string Main(const std::string& relative)
{
    return qz::vok::path::GetMainPath() + "/" + relative;
}

std::string ProgramLogText()
{
    std::string all;
    if (!fs::exists(Main("Log")))
        return all;
    for (const auto& entry : fs::recursive_directory_iterator(Main("Log")))
        if (entry.path().filename().string().rfind("TAVRIX-", 0) == 0)
            all += ReadText(entry.path());
    return all;
}

struct Case {
    std::string file; // under the main folder
    int logLines;     // lines naming it after start-up (none with the log off)
    std::function<void()> prepare;
    // After start-up, in the child: what reads it on demand, and what must hold.
    std::function<void(ChildReport&)> check;
    // Then what tries to replace it before the close does.
    std::function<void(ChildReport&)> save = {};
};

std::vector<Case> Cases()
{
    auto planList = [] { WriteText(Main("Plan/PlanList.txt"), "p1\r\n"); };
    auto config = [](ChildReport& r) {
        r.Expect(CQelConfig::get_instance().GetInt("MainFrm.BkImageExpMode", 0) == 3, "not the default");
    };
    return {
        {"Sys/Main.ini", 1, {}, config},
        {"Sys/MultiScreenView.ini", 1, {}, {}},
        {"Sys/LanguageTr.xml", 1, {}, {}},
        {"Sys/TOLM.INI", 0, {}, {}},
        {"Hardware/Processor.pro",
         1,
         {},
         [](ChildReport& r) {
             r.Expect(CQelContext::GetProMan()->FindById(1)->records().GetSigSrcCount() == 0, "sources loaded");
         }},
        {"Hardware/IOSD.dat", 1, [] { WriteText(Main("Hardware/Processor.pro"), kProcessorFile); },
         [](ChildReport& r) {
             r.Expect(CQelContext::GetProMan()->FindById(1)->records().GetSigSrcCount() == 1,
                      "processor file not read");
         }},
        {"Plan/PlanList.txt",
         1,
         {},
         [](ChildReport& r) { r.Expect(CQelContext::GetPlanMan()->GetSavedNames().empty(), "names read"); }},
        {"Plan/CyclePlanList.clt",
         1,
         {},
         [](ChildReport& r) { r.Expect(CQelContext::GetCyclePlanMan()->GetPlans().empty(), "cycles read"); }},
        {"Plan/c1.cycle", 1,
         [] {
             WriteText(Main("Plan/CyclePlanList.clt"), std::string("\x01\x00\xB0\x8E\x01\x00\x00\x00\x02\x00\x00\x00"
                                                                   "c1",
                                                                   14));
         },
         [](ChildReport& r) {
             const auto cycle = CQelContext::GetCyclePlanMan()->Find("c1");
             r.Expect(cycle && cycle->GetCells().empty(), "cycle plan c1 missing or with cells");
         }},
        {"Plan/p1.plan", 1, planList,
         [](ChildReport& r) {
             CQelPlanMan::PlanPtr plan;
             r.Expect(!CQelContext::GetPlanMan()->LoadPlanFile("p1", plan), "plan loaded");
         }},
        {"Plan/p1.osd", 1,
         [planList] {
             planList();
             WriteText(Main("Plan/p1.plan"), kPlanFile);
         },
         [](ChildReport& r) {
             CQelPlanMan::PlanPtr plan;
             r.Expect(CQelContext::GetPlanMan()->LoadPlanFile("p1", plan), "plan not loaded");
         },
         [](ChildReport& r) {
             CQelPlanMan::PlanPtr plan;
             CQelContext::GetPlanMan()->FindPlanByName("p1", plan);
             r.Expect(plan && !CQelContext::GetPlanMan()->SavePlanFile(plan), "saved over the OSD file");
             r.Expect(ReadText(Main("Plan/p1.plan")) == kPlanFile, "plan file rewritten");
         }},
    };
}

} // namespace

TEST(UnreadableFiles, StartUpGoesOnSaysSoOnceAndNeverReplacesThem)
{
    const auto notAsNobody = tavrix::test::WhyNotAsNobody();
    for (const Case& c : Cases()) {
        for (Kind kind : {Kind::Folder, Kind::BrokenLink, Kind::NoReadPermission}) {
            if (kind == Kind::NoReadPermission && notAsNobody)
                continue;
            SCOPED_TRACE(c.file + (kind == Kind::Folder       ? " as a folder"
                                   : kind == Kind::BrokenLink ? " as a broken link"
                                                              : " without read permission"));
            for (const char* folder : {"Sys", "Hardware", "Log", "Plan", "rt"})
                fs::remove_all(Main(folder));
            const std::string runtime = tavrix::test::MakeRuntimeFolder(Main("rt")).string();
            fs::create_directories(Main("Hardware"));
            fs::create_directories(Main("Plan"));
            WriteText(Main("Sys/TOLM.INI"), "[LOG]\nLOGLEVEL=3\n");
            if (c.prepare)
                c.prepare();
            const std::string path = Main(c.file);
            fs::remove(path);
            if (kind == Kind::Folder) {
                WriteText(path + "/inside", "kept");
            } else if (kind == Kind::BrokenLink) {
                fs::create_symlink("nowhere", path);
            } else {
                WriteText(path, "secret");
                tavrix::test::HandToNobody(qz::vok::path::GetMainPath());
                fs::permissions(path, fs::perms::none);
            }

            const std::string name = fs::path(c.file).filename().string();
            EXPECT_EQ(tavrix::test::RunInChild(
                          [&] {
                              ChildReport report;
                              CTavrixBootstrap bootstrap(runtime);
                              report.Expect(bootstrap.Start() == CTavrixBootstrap::StartResult::Run, "no start");
                              if (c.check)
                                  c.check(report);
                              const std::string log = ProgramLogText();
                              report.Expect(Occurrences(log, name) == size_t(c.logLines), "lines naming it:\n" + log);
                              report.Expect(log.find("kept as") == std::string::npos, "said to be kept:\n" + log);
                              for (const std::string& message : bootstrap.TakeOperatorMessages())
                                  report.Expect(message.find(".bad") == std::string::npos, "told of " + message);
                              if (c.save)
                                  c.save(report);
                              bootstrap.Shutdown();
                              return report.Text();
                          },
                          kind == Kind::NoReadPermission),
                      "");

            if (kind == Kind::Folder) {
                EXPECT_EQ(ReadText(path + "/inside"), "kept");
            } else if (kind == Kind::BrokenLink) {
                EXPECT_EQ(fs::read_symlink(path), "nowhere");
            } else {
                EXPECT_EQ(fs::status(path).permissions(), fs::perms::none);
                EXPECT_EQ(ReadText(path), "secret");
            }
            EXPECT_FALSE(fs::exists(fs::symlink_status(path + ".bad")));
        }
    }
    if (notAsNobody)
        GTEST_SKIP() << "the cases of files without read permission: " << *notAsNobody;
}
