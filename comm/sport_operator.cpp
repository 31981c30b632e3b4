#include "comm/sport_operator.h"

#include "platform/clock.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <poll.h>
#include <termios.h>
#include <tuple>
#include <unistd.h>

namespace {

constexpr auto kWriteAllowance = std::chrono::milliseconds(30);
constexpr auto kReadWait = std::chrono::milliseconds(200);

// The one open port of the process, and the scan root.
std::mutex g_portMutex;
int g_portFd = -1;
std::string g_scanRoot = "/dev";

bool SpeedOf(uint32_t baud, speed_t& speed)
{
    static const std::pair<uint32_t, speed_t> kSpeeds[] = {
        {1200, B1200},     {2400, B2400},     {4800, B4800},     {9600, B9600},       {19200, B19200},
        {38400, B38400},   {57600, B57600},   {115200, B115200}, {230400, B230400},   {460800, B460800},
        {500000, B500000}, {576000, B576000}, {921600, B921600}, {1000000, B1000000},
    };
    for (const auto& [rate, value] : kSpeeds)
        if (rate == baud) {
            speed = value;
            return true;
        }
    return false;
}

int ConfigureFd(int fd, const SPortSettings& settings)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return 1;
    speed_t speed;
    if (!SpeedOf(settings.baudRate, speed))
        return 1;
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    switch (settings.byteSize & 0xFF) {
    case 5: tio.c_cflag |= CS5; break;
    case 6: tio.c_cflag |= CS6; break;
    case 7: tio.c_cflag |= CS7; break;
    default: tio.c_cflag |= CS8; break;
    }
    switch (settings.parity) {
    case 1: tio.c_cflag |= PARENB | PARODD; break;
    case 2: tio.c_cflag |= PARENB; break;
    case 3: tio.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case 4: tio.c_cflag |= PARENB | CMSPAR; break;
    default: break;
    }
    if (settings.stopBits == 1 || settings.stopBits == 2)
        tio.c_cflag |= CSTOPB;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    if (tcsetattr(fd, TCSANOW, &tio) != 0)
        return 1;
    tcflush(fd, TCIOFLUSH);
    return 0;
}

// Order: ttyS, ttyUSB, ttyACM; within each by number, then by name.
std::tuple<int, long, std::string> PortOrder(const std::string& name)
{
    static const std::string kPrefixes[] = {"ttyS", "ttyUSB", "ttyACM"};
    for (int i = 0; i < 3; ++i) {
        const std::string& prefix = kPrefixes[i];
        if (name.rfind(prefix, 0) != 0)
            continue;
        const std::string rest = name.substr(prefix.size());
        const bool digits = !rest.empty() && rest.size() < 9 &&
                            std::all_of(rest.begin(), rest.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (!digits)
            return {-1, 0, name};
        return {i, std::strtol(rest.c_str(), nullptr, 10), name};
    }
    return {-1, 0, name};
}

} // namespace

int CSPortOperator::ParsePortNumber(const std::string& name)
{
    if (name.size() != 4 && name.size() != 5)
        return -1;
    int value = 0;
    for (size_t i = 3; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9')
            return -1;
        value = value * 10 + (name[i] - '0');
    }
    return value == 0 ? -1 : value;
}

std::string CSPortOperator::OpenPortNumber(const std::string& name)
{
    if (!name.empty() && name[0] == '/')
        return name;
    const int number = ParsePortNumber(name);
    if (number < 0)
        return {};
    return "/dev/ttyS" + std::to_string(number - 1);
}

bool CSPortOperator::SamePort(const std::string& a, const std::string& b)
{
    const std::string pathA = OpenPortNumber(a);
    const std::string pathB = OpenPortNumber(b);
    return pathA.empty() || pathB.empty() ? a == b : pathA == pathB;
}

int CSPortOperator::Open(const SPortSettings& settings)
{
    const std::string path = OpenPortNumber(settings.portName);
    if (path.empty())
        return 1;
    std::lock_guard guard(g_portMutex);
    if (g_portFd >= 0) {
        ::close(g_portFd);
        g_portFd = -1;
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return 1;
    if (ConfigureFd(fd, settings) != 0) {
        ::close(fd);
        return 1;
    }
    g_portFd = fd;
    return 0;
}

void CSPortOperator::Close()
{
    std::lock_guard guard(g_portMutex);
    if (g_portFd >= 0)
        ::close(g_portFd);
    g_portFd = -1;
}

bool CSPortOperator::IsOpen()
{
    std::lock_guard guard(g_portMutex);
    return g_portFd >= 0;
}

int CSPortOperator::Configure(const SPortSettings& settings)
{
    std::lock_guard guard(g_portMutex);
    return g_portFd < 0 ? 1 : ConfigureFd(g_portFd, settings);
}

int CSPortOperator::Write(const void* data, unsigned length)
{
    std::lock_guard guard(g_portMutex);
    if (g_portFd < 0)
        return 1;
    const auto deadline = platform::Now() + kWriteAllowance;
    const char* bytes = static_cast<const char*>(data);
    unsigned done = 0;
    while (done < length) {
        const ssize_t n = ::write(g_portFd, bytes + done, length - done);
        if (n > 0) {
            done += static_cast<unsigned>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return 1;
        const auto left = deadline - platform::Now();
        if (left <= platform::Duration::zero())
            return 1;
        pollfd poller{g_portFd, POLLOUT, 0};
        const auto real =
            std::chrono::duration_cast<std::chrono::milliseconds>(platform::GetClock().RealDuration(left));
        ::poll(&poller, 1, static_cast<int>(real.count()) + 1);
    }
    return 0;
}

int CSPortOperator::Read(void* buffer, unsigned& count)
{
    const unsigned wanted = count;
    count = 0;
    platform::SleepFor(kReadWait);
    std::lock_guard guard(g_portMutex);
    if (g_portFd < 0 || wanted == 0)
        return 1;
    ssize_t n;
    do {
        n = ::read(g_portFd, buffer, wanted);
    } while (n < 0 && errno == EINTR);
    if (n <= 0)
        return 1;
    count = static_cast<unsigned>(n);
    return 0;
}

int CSPortOperator::EnumPorts(std::vector<std::string>& ports)
{
    ports.clear();
    std::string root;
    {
        std::lock_guard guard(g_portMutex);
        root = g_scanRoot;
    }
    std::vector<std::tuple<int, long, std::string>> found;
    std::error_code error;
    for (std::filesystem::directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        auto order = PortOrder(it->path().filename().string());
        if (std::get<0>(order) >= 0)
            found.push_back(std::move(order));
    }
    std::sort(found.begin(), found.end());
    for (const auto& entry : found)
        ports.push_back((std::filesystem::path(root) / std::get<2>(entry)).string());
    return static_cast<int>(ports.size());
}

std::string CSPortOperator::SetScanRoot(const std::string& root)
{
    std::lock_guard guard(g_portMutex);
    std::string previous = g_scanRoot;
    g_scanRoot = root;
    return previous;
}
