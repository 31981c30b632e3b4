#include "builder/builder_log.h"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

#include "corlane/app_path.h"
#include "corlane/fstr.h"
#include "corlane/xdatetime.h"

struct CBuilderLog::OpenFile {
    int fd = -1;
    uint32_t date = 0;
    std::string path;

    ~OpenFile() { Close(); }
    void Close()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    // Still the file its path names: a log removed or moved aside while
    // open would swallow every later line.
    bool AtItsPath() const
    {
        struct stat open {};
        struct stat named {};
        return fd >= 0 && ::fstat(fd, &open) == 0 && ::stat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
               open.st_ino == named.st_ino;
    }
};

namespace {

uint32_t Today()
{
    return qz::vok::xdatetime::get_curdatetime().get_date().get_date();
}

// Builders run on the UI thread; the lock only keeps a stray caller safe.
std::mutex& LogsMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<CBuilderLog::OpenFile> FileOf(const std::string& name)
{
    static std::map<std::string, std::shared_ptr<CBuilderLog::OpenFile>> files;
    auto& file = files[name];
    if (!file)
        file = std::make_shared<CBuilderLog::OpenFile>();
    return file;
}

bool WriteAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        text.remove_prefix(size_t(n));
    }
    return true;
}

} // namespace

std::string BuilderLogFile(const std::string& name)
{
    const auto today = qz::vok::xdatetime::get_curdatetime().get_date();
    const std::string folder = qz::vok::path::GetLogPath(today.tostr());
    return qz::vok::fstr_format("%s/%s-%u.LOG", folder.c_str(), name.c_str(), today.get_date());
}

CBuilderLog::CBuilderLog(std::string name) : name_(std::move(name)) {}

CBuilderLog::~CBuilderLog() = default;

bool CBuilderLog::Ready()
{
    if (!file_)
        file_ = FileOf(name_);
    OpenFile& f = *file_;
    const uint32_t today = Today();
    if (f.fd >= 0 && f.date == today && (checked_ || f.AtItsPath())) {
        checked_ = true;
        return true;
    }
    f.Close();
    f.date = today;
    f.path = BuilderLogFile(name_);
    f.fd = ::open(f.path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    checked_ = true;
    return f.fd >= 0;
}

void CBuilderLog::Write(std::string_view line)
{
    if (off_)
        return;
    std::lock_guard<std::mutex> lock(LogsMutex());
    if (!Ready()) {
        off_ = true;
        return;
    }
    if (!WriteAll(file_->fd, line))
        file_->Close();
}
