#include "corlane/binary_log_file.h"

#include "corlane/current_time.h"
#include "corlane/file_store.h"
#include "corlane/log_limit.h"
#include "corlane/log_path.h"
#include "corlane/xdatetime.h"

#include <cerrno>
#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qz::vok {

class binary_log_file::writer {
public:
    writer(const std::string& folder, const std::string& name) : folder_(folder), name_(detail::log_file_name(name)) {}
    ~writer() { close_file(); }
    writer(const writer&) = delete;
    writer& operator=(const writer&) = delete;

    bool write(const void* data, uint32_t length)
    {
        if (!data && length > 0)
            return false;
        std::lock_guard<std::mutex> lock(mutex_);
        if (!check_day())
            return false;
        if (fd_ < 0) {
            const file_store::opened_file file = file_store::open_regular(path_, O_RDWR | O_CREAT | O_APPEND);
            if (file.fd < 0)
                return false;
            fd_ = file.fd;
            held_ = file.size;
        }
        const std::tm now = current_local_time();
        switch (cap_.admit(date_, held_, uint64_t(sizeof(record_header)) + length)) {
        case detail::day_cap::verdict::write: return write_record(now, data, length);
        case detail::day_cap::verdict::notice: {
            const std::string notice = detail::log_limit_notice(cap_.limit());
            write_record(now, notice.data(), uint32_t(notice.size()));
            return false;
        }
        case detail::day_cap::verdict::drop: break;
        }
        return false;
    }

    void close()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        close_file();
        date_ = 0;
        path_.clear();
    }

private:
    // A new day moves to a new file, but only into a folder that exists.
    bool check_day()
    {
        const uint32_t today = xdate::get_currdate().get_date();
        if (today == date_)
            return true;
        struct stat st {};
        if (::stat(folder_.c_str(), &st) != 0) {
            close_file();
            return false;
        }
        date_ = today;
        path_ = detail::log_path_join(folder_, detail::log_file_leaf(name_, today));
        close_file();
        return true;
    }

    using record_header = uint8_t[7];

    bool write_record(const std::tm& now, const void* data, uint32_t length)
    {
        const record_header header = {
            static_cast<uint8_t>(now.tm_hour),  static_cast<uint8_t>(now.tm_min),  static_cast<uint8_t>(now.tm_sec),
            static_cast<uint8_t>(length),       static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length >> 16),
            static_cast<uint8_t>(length >> 24),
        };
        return write_all(header, sizeof header) && write_all(data, length);
    }

    bool write_all(const void* data, uint32_t length)
    {
        const uint8_t* p = static_cast<const uint8_t*>(data);
        while (length > 0) {
            ssize_t n = ::write(fd_, p, length);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            p += n;
            length -= static_cast<uint32_t>(n);
            held_ += static_cast<uint64_t>(n);
        }
        return true;
    }

    void close_file()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

    const std::string folder_;
    const std::string name_;
    int fd_ = -1;
    uint32_t date_ = 0;
    uint64_t held_ = 0; // the open file's size
    detail::day_cap cap_;
    std::string path_;
    std::mutex mutex_;
};

binary_log_file::binary_log_file(const std::string& folder, const std::string& name)
    : writer_(std::make_shared<writer>(folder, name))
{
}

bool binary_log_file::write(const void* data, const uint32_t& length)
{
    return writer_->write(data, length);
}

void binary_log_file::close()
{
    writer_->close();
}

} // namespace qz::vok
