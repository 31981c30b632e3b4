#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The one way the program reads its files whole, replaces them and sets a
// damaged one aside.
//
// A replacement is written to a temporary file beside its target, flushed
// and renamed over it, so a reader sees the old file or the new one, whole.
// It keeps the old file's permission bits (and owner, where the process may
// give it); a new file gets the process's umask. The temporary file of a
// save that was killed is removed by the next save of the same file, in
// this program or another; one a live save holds is never removed.
//
// What this process found unreadable, or found damaged and could not keep
// as "<path>.bad", it never replaces: a later replace of that path fails
// while something is still there.
namespace qz::vok::file_store {

enum class read_status {
    ok,
    missing,    // nothing at all at the path
    unreadable, // something is there that cannot be read as a file
};

struct read_result {
    read_status status = read_status::missing;
    std::string bytes; // the whole file when ok
    std::string error; // why, when unreadable
};

// No file of the program comes near this; a larger one is taken as unreadable
// rather than read into memory.
inline constexpr size_t default_read_limit = size_t(64) << 20;

// Opens the regular file at `path` (links followed) as every file of the
// program is opened: never waiting on a pipe or device of that name, and
// refusing anything that is not a regular file. `flags` are open()'s access
// and creation flags (a created file gets 0666 less the umask); the
// descriptor is close-on-exec and non-blocking, which a regular file
// ignores.
struct opened_file {
    int fd = -1;       // -1 when not opened
    int err = 0;       // errno of a failed open
    uint64_t size = 0; // the file's size at the open
    std::string error; // why not, when not opened
};
opened_file open_regular(const std::string& path, int flags);

// Writes all of `bytes` to `fd`; false (errno set) when a write fails.
bool write_all(int fd, std::string_view bytes);

// Reads the regular file at `path` (links followed). A folder, a link to
// nothing, a file without read permission, a read error or a file larger
// than `limit` is unreadable.
read_result read_file(const std::string& path, size_t limit = default_read_limit);

// Replaces the file at `path` (the file a link names, when it is one) by
// `bytes`. False with `error` when anything fails; the old file is then as
// it was and no temporary file is left.
bool replace_file(const std::string& path, std::string_view bytes, std::string& error);

// Writes `bytes` to `path` only when nothing at all is there (no file,
// no link, not even one to nothing): written beside it and linked into
// place, so a reader never sees half of it and nothing is replaced.
enum class create_status { created, exists, failed };
create_status create_file(const std::string& path, std::string_view bytes, std::string& error);

// A replacement in two steps, for files that must change together: each is
// prepared (written and flushed) before any is committed (renamed into
// place). One not committed is discarded when it goes.
class pending_replace {
public:
    pending_replace() = default;
    ~pending_replace();
    pending_replace(const pending_replace&) = delete;
    pending_replace& operator=(const pending_replace&) = delete;

    bool prepare(const std::string& path, std::string_view bytes, std::string& error);
    bool commit(std::string& error);
    void discard();

private:
    std::string target_;
    std::string temp_;
    int fd_ = -1;
};

struct keep_result {
    bool kept = false;
    // For the log: "kept as <path>.bad", or "not kept (why); it is left as
    // it is and not replaced".
    std::string text;
};

// Writes `bytes`, what was read of the damaged file at `path`, to
// "<path>.bad" (replacing an older one) with the file's permission bits.
// When that fails, `path` is never replaced by this process.
keep_result keep_as_bad(const std::string& path, std::string_view bytes);

// What the last read or keep of `path` in this process found.
enum class outcome {
    none,        // read, missing or never looked at
    unreadable,  // could not be read
    kept_as_bad, // damaged, and kept as "<path>.bad"
    not_kept,    // damaged, and "<path>.bad" could not be written
};
outcome last_outcome(const std::string& path);

} // namespace qz::vok::file_store
