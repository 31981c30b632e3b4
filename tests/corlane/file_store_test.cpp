#include "corlane/file_store.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "tests/support/file_faults.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;
namespace store = qz::vok::file_store;
using tavrix::test::ChildReport;
using tavrix::test::ReadText;
using tavrix::test::RunInChild;
using tavrix::test::WriteText;

namespace {

std::set<std::string> Names(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

unsigned Mode(const fs::path& path)
{
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

// What another program does between a save's creation of its temporary
// file and its lock on it: run once at the next blocking lock.
std::function<void()> g_beforeNextLock;

fs::path Fresh(const std::string& name)
{
    fs::remove_all(name);
    fs::create_directories(name);
    return name;
}

} // namespace

// The library's locks come here before the C library's.
extern "C" int flock(int fd, int operation) noexcept
{
    if (operation == LOCK_EX && g_beforeNextLock)
        std::exchange(g_beforeNextLock, nullptr)();
    return static_cast<int>(::syscall(SYS_flock, fd, operation));
}

TEST(FileStore, ReadTellsAFileFromWhatCannotBeRead)
{
    const fs::path dir = Fresh("read");
    WriteText(dir / "plain", "abc");
    WriteText(dir / "empty", "");
    fs::create_symlink("plain", dir / "link");
    fs::create_directory(dir / "folder");
    fs::create_symlink("nowhere", dir / "broken");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    WriteText(dir / "big", "1234");

    const struct {
        const char* name;
        store::read_status status;
        const char* bytesOrError;
        size_t limit = store::default_read_limit;
    } cases[] = {
        {"plain", store::read_status::ok, "abc"},
        {"empty", store::read_status::ok, ""},
        {"link", store::read_status::ok, "abc"},
        {"missing", store::read_status::missing, ""},
        {"folder", store::read_status::unreadable, "folder"},
        {"broken", store::read_status::unreadable, "link to nothing"},
        {"fifo", store::read_status::unreadable, "not a regular file"}, // and no hang
        {"big", store::read_status::unreadable, "larger than 3 bytes", 3},
        {"big", store::read_status::ok, "1234", 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const store::read_result r = store::read_file((dir / c.name).string(), c.limit);
        EXPECT_EQ(r.status, c.status);
        if (c.status == store::read_status::unreadable) {
            EXPECT_NE(r.error.find(c.bytesOrError), std::string::npos) << r.error;
            EXPECT_EQ(store::last_outcome((dir / c.name).string()), store::outcome::unreadable);
        } else {
            EXPECT_EQ(r.bytes, c.bytesOrError);
            EXPECT_EQ(store::last_outcome((dir / c.name).string()), store::outcome::none);
        }
    }
}

TEST(FileStore, ReplaceKeepsModeAndLinksAndLeavesNothingBehind)
{
    const fs::path dir = Fresh("replace");
    std::string error;

    WriteText(dir / "private.ini", "old");
    fs::permissions(dir / "private.ini", fs::perms(0600));
    ASSERT_TRUE(store::replace_file((dir / "private.ini").string(), "new", error)) << error;
    EXPECT_EQ(ReadText(dir / "private.ini"), "new");
    EXPECT_EQ(Mode(dir / "private.ini"), 0600u);

    const mode_t old = ::umask(027);
    const bool made = store::replace_file((dir / "fresh.ini").string(), "x", error);
    ::umask(old);
    ASSERT_TRUE(made) << error;
    EXPECT_EQ(Mode(dir / "fresh.ini"), 0640u);

    // A link stays a link; the file it names is replaced.
    fs::create_directory(dir / "real");
    WriteText(dir / "real" / "target.ini", "old");
    fs::create_symlink("real/target.ini", dir / "linked.ini");
    ASSERT_TRUE(store::replace_file((dir / "linked.ini").string(), "through", error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir / "linked.ini"));
    EXPECT_EQ(ReadText(dir / "real" / "target.ini"), "through");
    EXPECT_EQ(Names(dir / "real"), std::set<std::string>{"target.ini"});

    // Nothing can be renamed over a folder, nor written in a missing one.
    fs::create_directory(dir / "folder.ini");
    EXPECT_FALSE(store::replace_file((dir / "folder.ini").string(), "x", error));
    EXPECT_NE(error.find("not a file"), std::string::npos) << error;
    EXPECT_TRUE(fs::is_directory(dir / "folder.ini"));
    EXPECT_FALSE(store::replace_file((dir / "none" / "a.ini").string(), "x", error));

    EXPECT_EQ(Names(dir), (std::set<std::string>{"private.ini", "fresh.ini", "real", "linked.ini", "folder.ini"}));
}

TEST(FileStore, NextSaveRemovesAKilledSavesTemporaryFileButNotALiveOne)
{
    const fs::path dir = Fresh("killed");
    const std::string path = (dir / "Main.ini").string();
    WriteText(path, "old");
    EXPECT_EQ(RunInChild([&] {
                  store::pending_replace save;
                  std::string error;
                  if (!save.prepare(path, "half", error))
                      return error;
                  ::_exit(0); // killed between writing and renaming
              }),
              "");
    EXPECT_EQ(Names(dir).size(), 2u);
    EXPECT_EQ(ReadText(path), "old");

    std::string error;
    ASSERT_TRUE(store::replace_file(path, "next", error)) << error;
    EXPECT_EQ(Names(dir), std::set<std::string>{"Main.ini"});

    // A save still under way keeps its temporary file; the later rename wins.
    store::pending_replace live;
    ASSERT_TRUE(live.prepare(path, "live", error)) << error;
    ASSERT_TRUE(store::replace_file(path, "other", error)) << error;
    EXPECT_EQ(ReadText(path), "other");
    ASSERT_TRUE(live.commit(error)) << error;
    EXPECT_EQ(ReadText(path), "live");
    EXPECT_EQ(Names(dir), std::set<std::string>{"Main.ini"});
}

TEST(FileStore, AnotherProgramsCleanUpNeverTakesALiveSavesTemporaryFile)
{
    const fs::path dir = Fresh("race");
    const std::string path = (dir / "Main.ini").string();
    std::string error;
    std::string otherError;
    bool otherSaved = false;
    g_beforeNextLock = [&] { otherSaved = store::replace_file(path, "other", otherError); };
    EXPECT_TRUE(store::replace_file(path, "ours", error)) << error;
    EXPECT_TRUE(otherSaved) << otherError;
    EXPECT_EQ(ReadText(path), "ours");
    EXPECT_EQ(Names(dir), std::set<std::string>{"Main.ini"});

    // Two programs closing at once, however their steps interleave.
    std::atomic<int> failed{0};
    auto saves = [&] {
        std::string why;
        for (int i = 0; i < 100; ++i)
            failed += store::replace_file(path, "either", why) ? 0 : 1;
    };
    std::thread other(saves);
    saves();
    other.join();
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(Names(dir), std::set<std::string>{"Main.ini"});
}

TEST(FileStore, NeverReplacesWhatItCouldNotReadOrSetAside)
{
    const fs::path dir = Fresh("guard");
    std::string error;

    // Unreadable: left as it is until it is gone.
    const std::string link = (dir / "link.ini").string();
    fs::create_symlink("nowhere", link);
    EXPECT_EQ(store::read_file(link).status, store::read_status::unreadable);
    EXPECT_FALSE(store::replace_file(link, "x", error));
    EXPECT_NE(error.find("could not be read"), std::string::npos) << error;
    EXPECT_TRUE(fs::is_symlink(link));
    fs::remove(link);
    EXPECT_TRUE(store::replace_file(link, "x", error)) << error;

    // Damaged and kept: the copy has the bytes read and the file's mode.
    const std::string kept = (dir / "kept.ini").string();
    WriteText(kept, "damaged");
    fs::permissions(kept, fs::perms(0640));
    const store::keep_result k = store::keep_as_bad(kept, "damaged");
    EXPECT_TRUE(k.kept);
    EXPECT_EQ(k.text, "kept as " + kept + ".bad");
    EXPECT_EQ(ReadText(kept + ".bad"), "damaged");
    EXPECT_EQ(Mode(kept + ".bad"), 0640u);
    EXPECT_EQ(store::last_outcome(kept), store::outcome::kept_as_bad);
    EXPECT_TRUE(store::replace_file(kept, "fixed", error)) << error;

    // Damaged and not kept: never said to be kept, never replaced, even
    // once it reads again.
    const std::string lost = (dir / "lost.ini").string();
    WriteText(lost, "damaged");
    fs::create_directory(lost + ".bad");
    const store::keep_result n = store::keep_as_bad(lost, "damaged");
    EXPECT_FALSE(n.kept);
    EXPECT_EQ(n.text.find("kept as"), std::string::npos) << n.text;
    EXPECT_NE(n.text.find("not kept (" + lost + ".bad is not a file)"), std::string::npos) << n.text;
    EXPECT_EQ(store::read_file(lost).status, store::read_status::ok);
    EXPECT_EQ(store::last_outcome(lost), store::outcome::not_kept);
    EXPECT_FALSE(store::replace_file(lost, "defaults", error));
    EXPECT_EQ(ReadText(lost), "damaged");
}

TEST(FileStore, FileWithoutReadPermissionIsUnreadableAndKept)
{
    if (const auto why = tavrix::test::WhyNotAsNobody())
        GTEST_SKIP() << *why;
    const fs::path dir = fs::absolute(Fresh("nobody"));
    const std::string path = (dir / "secret.ini").string();
    WriteText(path, "settings");
    tavrix::test::HandToNobody(dir);
    fs::permissions(path, fs::perms::none);

    EXPECT_EQ(RunInChild(
                  [&] {
                      ChildReport report;
                      const store::read_result r = store::read_file(path);
                      report.Expect(r.status == store::read_status::unreadable, "read as nobody");
                      report.Expect(r.error.find("Permission denied") != std::string::npos, r.error);
                      std::string error;
                      report.Expect(!store::replace_file(path, "defaults", error), "replaced");
                      return report.Text();
                  },
                  true),
              "");
    EXPECT_EQ(ReadText(path), "settings");
    EXPECT_EQ(Mode(path), 0u);
}

TEST(FileStore, FullDiskLeavesTheOldFileAndNoTemporary)
{
    const fs::path dir = fs::absolute("full");
    const std::string text = RunInChild([&] {
        std::string why;
        if (!tavrix::test::MountSmallTmpfs(dir, 64, why))
            return "skip: " + why;
        ChildReport report;
        const std::string path = (dir / "a.ini").string();
        WriteText(path, "old");
        {
            // Fill what is left.
            const int fd = ::open((dir / "filler").c_str(), O_WRONLY | O_CREAT, 0600);
            const std::string block(4096, 'f');
            while (::write(fd, block.data(), block.size()) > 0) {
            }
            ::close(fd);
        }
        const std::string large(16384, 'n');
        std::string error;
        report.Expect(!store::replace_file(path, large, error), "replaced on a full disk");
        report.Expect(error.find("No space") != std::string::npos, "error: " + error);
        report.Expect(ReadText(path) == "old", "old file changed");
        report.Expect(Names(dir) == std::set<std::string>{"a.ini", "filler"}, "temporary file left");

        const store::keep_result kept = store::keep_as_bad(path, large);
        report.Expect(!kept.kept && !fs::exists(path + ".bad"), "kept on a full disk");
        fs::remove(dir / "filler");
        report.Expect(!store::replace_file(path, "defaults", error), "replaced what was not kept");
        report.Expect(ReadText(path) == "old", "old file changed after all");
        return report.Text();
    });
    if (text.rfind("skip: ", 0) == 0)
        GTEST_SKIP() << text;
    EXPECT_EQ(text, "");
}
