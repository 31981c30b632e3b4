#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "startup/single_instance.h"

namespace fs = std::filesystem;

namespace {

fs::path Fresh(const std::string& name)
{
    const fs::path dir = fs::current_path() / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::permissions(dir, fs::perms::owner_all);
    return dir;
}

// Connects to the raise socket and sends `text` as it is.
void SendRaw(const fs::path& dir, const std::string& text)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = (dir / CSingleInstance::kRaiseSocketName).string();
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(send(fd, text.data(), text.size(), 0), ssize_t(text.size()));
    close(fd);
}

bool PollUntilSettled(CSingleInstance& instance)
{
    bool raised = false;
    for (int i = 0; i < 30; ++i)
        raised = instance.PollRaise() || raised;
    return raised;
}

} // namespace

TEST(SingleInstance, EveryCopyHoldsTheFlagUntilItLetsGo)
{
    const fs::path dir = Fresh("flag");
    CSingleInstance first(dir.string());
    CSingleInstance second(dir.string());
    CSingleInstance third(dir.string());
    EXPECT_EQ(first.Acquire(), CSingleInstance::Result::First);
    EXPECT_EQ(second.Acquire(), CSingleInstance::Result::Running);
    first.Release();
    // The second kept its hold.
    EXPECT_EQ(third.Acquire(), CSingleInstance::Result::Running);
    second.Release();
    third.Release();
    EXPECT_EQ(first.Acquire(), CSingleInstance::Result::First);

    CSingleInstance nowhere("");
    EXPECT_EQ(nowhere.Acquire(), CSingleInstance::Result::NoLock);
    CSingleInstance missing((dir / "gone").string());
    EXPECT_EQ(missing.Acquire(), CSingleInstance::Result::NoLock);
    EXPECT_FALSE(missing.RequestRaise());
}

TEST(SingleInstance, RaiseSocketActsOnlyOnTheExactRequest)
{
    const fs::path dir = Fresh("raise");
    CSingleInstance running(dir.string());
    CSingleInstance starting(dir.string());
    EXPECT_FALSE(starting.RequestRaise()); // nobody listens yet
    ASSERT_TRUE(running.Listen());
    EXPECT_FALSE(starting.Listen()); // one copy serves it

    EXPECT_TRUE(starting.RequestRaise());
    EXPECT_TRUE(PollUntilSettled(running));
    EXPECT_FALSE(running.PollRaise());

    for (const std::string text : {"TAVRIX RAISE", "TAVRIX RAISE\nmore", "raise\n", ""}) {
        SendRaw(dir, text);
        EXPECT_FALSE(PollUntilSettled(running)) << text;
    }

    running.Release();
    EXPECT_FALSE(fs::exists(dir / CSingleInstance::kRaiseSocketName));
}

TEST(SingleInstance, SocketLeftByAKilledCopyIsTakenOver)
{
    const fs::path dir = Fresh("stale");
    {
        // A bound socket whose owner never listens again.
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = (dir / CSingleInstance::kRaiseSocketName).string();
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        close(fd);
    }
    CSingleInstance starting(dir.string());
    EXPECT_FALSE(starting.RequestRaise());
    CSingleInstance next(dir.string());
    EXPECT_TRUE(next.Listen());
    EXPECT_TRUE(starting.RequestRaise());
}

TEST(SingleInstance, LockFolderFallsBackToAPrivateFolderOfThisUser)
{
    const fs::path runtime = Fresh("runtime");
    const fs::path base = Fresh("base");
    std::string warning;
    EXPECT_EQ(ChooseLockDir(runtime.c_str(), base.string(), warning), runtime.string());
    EXPECT_TRUE(warning.empty());

    const fs::path own = base / ("tavrix-" + std::to_string(getuid()));
    for (const char* unusable : {static_cast<const char*>(nullptr), "", "/nonexistent/runtime"}) {
        EXPECT_EQ(ChooseLockDir(unusable, base.string(), warning), own.string());
        EXPECT_FALSE(warning.empty());
        struct stat st;
        ASSERT_EQ(stat(own.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
    }
    // Loosened permissions are tightened again.
    fs::permissions(own, fs::perms::all);
    EXPECT_EQ(ChooseLockDir(nullptr, base.string(), warning), own.string());
    EXPECT_EQ(fs::status(own).permissions() & fs::perms::all, fs::perms::owner_all);

    // Someone else's folder, or a link in its place, is refused.
    fs::remove_all(own);
    fs::create_directory_symlink(runtime, own);
    EXPECT_EQ(ChooseLockDir(nullptr, base.string(), warning), "");
    EXPECT_FALSE(warning.empty());
    fs::remove(own);
    if (getuid() == 0) {
        fs::create_directory(own);
        ASSERT_EQ(chown(own.c_str(), 65534, 65534), 0);
        EXPECT_EQ(ChooseLockDir(nullptr, base.string(), warning), "");
    }
}
