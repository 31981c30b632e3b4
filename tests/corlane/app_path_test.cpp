#include "corlane/app_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
namespace path = qz::vok::path;

namespace {

// The main folder is cached for the process's life, so each working
// directory is tried in a child process, which writes one line per answer.
std::vector<std::string> in_child(const fs::path& start, const std::function<std::vector<std::string>()>& ask)
{
    fs::create_directories(start);
    const fs::path answers = fs::current_path() / "answers.txt";
    fs::remove(answers);
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(start.c_str()) == 0) {
            std::ofstream out(answers);
            for (const std::string& line : ask())
                out << line << "\n";
        }
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    std::vector<std::string> lines;
    std::ifstream in(answers);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

fs::path here()
{
    return fs::current_path();
}

} // namespace

TEST(AppPath, BinWorkingDirectoryUsesItsParent)
{
    const fs::path base = here() / "a";
    for (const char* bin : {"BIN", "bin", "Bin"}) {
        auto got = in_child(base / bin, [&] {
            std::vector<std::string> out{path::GetMainPath(), path::GetSysPath(), path::GetBinPath()};
            // Moving away after the first call changes nothing.
            if (chdir("/") != 0)
                out.push_back("chdir failed");
            out.push_back(path::GetMainPath());
            out.push_back(path::GetSysPath());
            out.push_back(path::GetBinPath());
            return out;
        });
        const std::string bin_dir = (base / bin).string();
        EXPECT_EQ(got, (std::vector<std::string>{base.string(), base.string() + "/Sys", bin_dir, base.string(),
                                                 base.string() + "/Sys", bin_dir}))
            << bin;
        EXPECT_TRUE(fs::is_directory(base / "Sys"));
    }
}

TEST(AppPath, OtherWorkingDirectoryIsTheMainFolder)
{
    const fs::path app = here() / "App";
    auto got = in_child(app, [] { return std::vector<std::string>{path::GetMainPath(), path::GetBinPath()}; });
    EXPECT_EQ(got, (std::vector<std::string>{app.string(), app.string() + "/Bin"}));
    EXPECT_FALSE(fs::exists(app / "Bin")); // the program folder is never created

    const fs::path binary = here() / "x" / "Binary";
    got = in_child(binary, [] { return std::vector<std::string>{path::GetMainPath(), path::GetSysPath()}; });
    EXPECT_EQ(got, (std::vector<std::string>{binary.string(), binary.string() + "/Sys"}));
}

TEST(AppPath, CreatesSubFoldersOnDemand)
{
    const fs::path main = here() / "m";
    auto got = in_child(main, [] {
        return std::vector<std::string>{
            path::GetLogPath("20240506"), path::GetLogPath(""),    path::GetLogPath(), path::GetHardwarePath(),
            path::GetHardwarePath(),      path::GetDBPath(),       path::GetDatPath(), path::GetPlanPath(),
            path::GetPrivatePath(),       path::GetLogPath("/x/"),
        };
    });
    const std::string m = main.string();
    EXPECT_EQ(got,
              (std::vector<std::string>{m + "/Log/20240506", m + "/Log", m + "/Log", m + "/Hardware", m + "/Hardware",
                                        m + "/DB", m + "/Dat", m + "/Plan", m + "/Private", m + "/Log/x"}));
    for (const char* sub : {"Log/20240506", "Hardware", "DB", "Dat", "Plan", "Private", "Log/x"})
        EXPECT_TRUE(fs::is_directory(main / sub)) << sub;
    EXPECT_FALSE(fs::exists(main / "Sys"));
}

TEST(AppPath, FolderThatCannotBeCreatedIsStillReturned)
{
    const fs::path main = here() / "blocked";
    fs::create_directories(main);
    std::ofstream(main / "Log") << "a file where the folder should be";
    auto got = in_child(main, [] { return std::vector<std::string>{path::GetLogPath("20240506")}; });
    EXPECT_EQ(got, (std::vector<std::string>{main.string() + "/Log/20240506"}));
    EXPECT_TRUE(fs::is_regular_file(main / "Log"));
}
