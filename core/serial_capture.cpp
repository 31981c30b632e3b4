#include "core/serial_capture.h"

#include "corlane/app_path.h"
#include "corlane/file_store.h"
#include "corlane/xdatetime.h"

#include <cerrno>
#include <cstring>
#include <string_view>

#include <fcntl.h>
#include <unistd.h>

namespace store = qz::vok::file_store;
using qz::vok::detail::day_cap;

SerialCapture& SerialCapture::Shared()
{
    static SerialCapture capture;
    return capture;
}

bool SerialCapture::Keep(const void* data, size_t length, std::string& error)
{
    const std::string path = qz::vok::path::GetLogPath() + "/" + kFileName;
    const uint32_t today = qz::vok::xdatetime::get_curdatetime().get_date().get_date();
    std::lock_guard lock(mutex_);
    if (today != date_) {
        date_ = today;
        keptToday_ = 0;
    }
    const day_cap::verdict verdict = cap_.admit(today, keptToday_, length);
    if (verdict == day_cap::verdict::drop)
        return true;
    const store::opened_file file = store::open_regular(path, O_WRONLY | O_APPEND | O_CREAT);
    if (file.fd < 0) {
        error = "cannot open " + path + ": " + file.error;
        return false;
    }
    bool written = true;
    if (verdict == day_cap::verdict::write) {
        written = store::write_all(file.fd, std::string_view(static_cast<const char*>(data), length));
        keptToday_ += length;
    } else {
        store::write_all(file.fd, "\r\n" + qz::vok::detail::log_limit_notice(cap_.limit()) + "\r\n");
    }
    if (!written)
        error = "cannot write " + path + ": " + std::strerror(errno);
    ::close(file.fd);
    return written;
}
