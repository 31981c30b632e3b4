#include "corlane/safe_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/test_files.h"

using qz::vok::fs_safe_read_binary;
using qz::vok::fs_safe_write_binary;
namespace fs = std::filesystem;
using tavrix::test::ReadText;
using tavrix::test::WriteText;

namespace {

uint8_t* const k_untouched = reinterpret_cast<uint8_t*>(0x1234);

} // namespace

TEST(SafeFile, ReadsAWholeFileOrNothing)
{
    uint8_t* out = k_untouched;
    EXPECT_EQ(fs_safe_read_binary(out, "missing.bin"), 0u);
    EXPECT_EQ(out, k_untouched);

    WriteText("empty.bin", "");
    EXPECT_EQ(fs_safe_read_binary(out, "empty.bin"), 0u);
    EXPECT_EQ(out, k_untouched);

    fs::create_directory("dir");
    EXPECT_EQ(fs_safe_read_binary(out, "dir"), 0u);

    WriteText("data.bin", std::string("ab\0cd", 5));
    out = nullptr;
    ASSERT_EQ(fs_safe_read_binary(out, "data.bin"), 5u);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 5), std::string("ab\0cd", 5));
    delete[] out;

    // 4 GiB and 10 bytes must not pass for a 10-byte file.
    int fd = ::open("huge.bin", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, (off_t(1) << 32) + 10), 0);
    ::close(fd);
    out = k_untouched;
    EXPECT_EQ(fs_safe_read_binary(out, "huge.bin"), 0u);
    EXPECT_EQ(out, k_untouched);
}

TEST(SafeFile, WritesInPlaceWithoutTruncating)
{
    WriteText("f.bin", "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(fs_safe_write_binary("0123456789", 10, "f.bin"), 10u);
    EXPECT_EQ(ReadText("f.bin"), "0123456789KLMNOPQRST");

    EXPECT_EQ(fs_safe_write_binary("new", 3, "created.bin"), 3u);
    EXPECT_EQ(ReadText("created.bin"), "new");

    EXPECT_EQ(fs_safe_write_binary("x", 1, "nofolder/f.bin"), 0u);
    WriteText("plain", "a file where a folder should be");
    EXPECT_EQ(fs_safe_write_binary("x", 1, "plain/f.bin"), 0u);
    EXPECT_EQ(fs_safe_write_binary(nullptr, 4, "f.bin"), 0u);
    EXPECT_EQ(ReadText("f.bin"), "0123456789KLMNOPQRST");
}

TEST(SafeFile, WaitsForAnExclusiveLockHolder)
{
    WriteText("locked.bin", "old!");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t pid = ::fork();
    if (pid == 0) {
        // Another program holds a write lock, then rewrites the file.
        int fd = ::open("locked.bin", O_RDWR);
        struct flock fl {};
        fl.l_type = F_WRLCK;
        fl.l_whence = SEEK_SET;
        ::fcntl(fd, F_SETLKW, &fl);
        (void)!::write(ready[1], "r", 1);
        ::usleep(200 * 1000);
        (void)!::pwrite(fd, "new!", 4, 0);
        fl.l_type = F_UNLCK;
        ::fcntl(fd, F_SETLK, &fl);
        _exit(0);
    }
    char c;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    uint8_t* out = nullptr;
    ASSERT_EQ(fs_safe_read_binary(out, "locked.bin"), 4u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 4), "new!"); // read only after the release
    delete[] out;
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(ready[0]);
    ::close(ready[1]);
}
