#include "tests/support/processor_simulator.h"

#include "platform/asio.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <future>
#include <mutex>
#include <thread>
#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace asio = boost::asio;
using asio::ip::tcp;

namespace {

struct Rule {
    std::string keyword;
    ProcessorSimulator::Responder responder;
    int seen = 0;
};

} // namespace

struct ProcessorSimulator::Impl {
    class Session;

    asio::io_context io;
    tcp::acceptor acceptor{io};
    std::thread thread;
    bool stopped = false;

    // Guarded by `lock`: what tests read and the rules they set.
    mutable std::mutex lock;
    mutable std::condition_variable changed;
    std::vector<Line> lines;
    std::vector<Rule> rules;
    bool echoAll = true;
    Millis echoDelay{0};
    size_t connections = 0;

    // Touched on the I/O thread only.
    std::vector<std::shared_ptr<Session>> sessions;

    std::vector<Answer> AnswersFor(const std::string& line);
    void Accept();
};

class ProcessorSimulator::Impl::Session : public std::enable_shared_from_this<Session> {
public:
    Session(Impl& owner, std::string source) : owner_(owner), source_(std::move(source)), retry_(owner.io) {}
    virtual ~Session() = default;

    virtual void Start() = 0;
    virtual void Close() = 0;
    const std::string& Source() const { return source_; }

    void Write(std::string text)
    {
        outbox_.push_back(std::move(text));
        if (outbox_.size() == 1)
            WriteNext();
    }

    void Answer(const std::vector<ProcessorSimulator::Answer>& answers)
    {
        for (const auto& answer : answers) {
            if (answer.delay.count() <= 0) {
                Write(answer.text);
                continue;
            }
            auto timer = std::make_shared<asio::steady_timer>(owner_.io, answer.delay);
            timer->async_wait(
                [self = shared_from_this(), timer, text = answer.text](const boost::system::error_code& error) {
                    if (!error)
                        self->Write(text);
                });
        }
    }

protected:
    virtual void AsyncRead(asio::mutable_buffer buffer,
                           std::function<void(const boost::system::error_code&, size_t)> done) = 0;
    virtual void AsyncWrite(asio::const_buffer buffer,
                            std::function<void(const boost::system::error_code&, size_t)> done) = 0;
    // A pseudo-terminal master fails with EIO while no one holds the slave
    // open: wait for the next user instead of giving up.
    virtual bool Transient(const boost::system::error_code&) const { return false; }

    void Read()
    {
        AsyncRead(asio::buffer(chunk_), [self = shared_from_this()](const boost::system::error_code& error, size_t n) {
            if (error) {
                if (self->Transient(error))
                    self->RetryLater([self] { self->Read(); });
                return;
            }
            self->Received(n);
            self->Read();
        });
    }

    void RetryLater(std::function<void()> step)
    {
        retry_.expires_after(std::chrono::milliseconds(2));
        retry_.async_wait([step = std::move(step)](const boost::system::error_code& error) {
            if (!error)
                step();
        });
    }

    Impl& owner_;

private:
    void Received(size_t n)
    {
        const auto at = Clock::now();
        pending_.append(chunk_.data(), n);
        size_t end;
        while ((end = pending_.find("\r\n")) != std::string::npos) {
            std::string line = pending_.substr(0, end + 2);
            pending_.erase(0, end + 2);
            {
                std::lock_guard guard(owner_.lock);
                owner_.lines.push_back({line, at, source_});
            }
            owner_.changed.notify_all();
            Answer(owner_.AnswersFor(line));
        }
    }

    void WriteNext()
    {
        AsyncWrite(asio::buffer(outbox_.front()),
                   [self = shared_from_this()](const boost::system::error_code& error, size_t) {
                       if (error) {
                           if (self->Transient(error))
                               self->RetryLater([self] { self->WriteNext(); });
                           return;
                       }
                       self->outbox_.pop_front();
                       if (!self->outbox_.empty())
                           self->WriteNext();
                   });
    }

    std::string source_;
    asio::steady_timer retry_;
    std::array<char, 4096> chunk_{};
    std::string pending_;
    std::deque<std::string> outbox_;
};

namespace {

class TcpSession final : public ProcessorSimulator::Impl::Session {
public:
    TcpSession(ProcessorSimulator::Impl& owner, tcp::socket socket) : Session(owner, "tcp"), socket_(std::move(socket))
    {
    }
    void Start() override { Read(); }
    void Close() override
    {
        boost::system::error_code ignored;
        socket_.shutdown(tcp::socket::shutdown_both, ignored);
        socket_.close(ignored);
    }

protected:
    void AsyncRead(asio::mutable_buffer buffer,
                   std::function<void(const boost::system::error_code&, size_t)> done) override
    {
        socket_.async_read_some(buffer, std::move(done));
    }
    void AsyncWrite(asio::const_buffer buffer,
                    std::function<void(const boost::system::error_code&, size_t)> done) override
    {
        asio::async_write(socket_, buffer, std::move(done));
    }

private:
    tcp::socket socket_;
};

// The master side of a pseudo-terminal; the slave path is the device.
class PtySession final : public ProcessorSimulator::Impl::Session {
public:
    PtySession(ProcessorSimulator::Impl& owner, int master, const std::string& slavePath)
        : Session(owner, slavePath), master_(owner.io, master)
    {
    }
    void Start() override { Read(); }
    void Close() override
    {
        boost::system::error_code ignored;
        master_.close(ignored);
    }

protected:
    void AsyncRead(asio::mutable_buffer buffer,
                   std::function<void(const boost::system::error_code&, size_t)> done) override
    {
        master_.async_read_some(buffer, std::move(done));
    }
    void AsyncWrite(asio::const_buffer buffer,
                    std::function<void(const boost::system::error_code&, size_t)> done) override
    {
        asio::async_write(master_, buffer, std::move(done));
    }
    bool Transient(const boost::system::error_code& error) const override
    {
        return master_.is_open() && error == boost::system::error_code(EIO, boost::system::system_category());
    }

private:
    asio::posix::stream_descriptor master_;
};

} // namespace

std::vector<ProcessorSimulator::Answer> ProcessorSimulator::Impl::AnswersFor(const std::string& line)
{
    std::unique_lock guard(lock);
    for (auto rule = rules.rbegin(); rule != rules.rend(); ++rule) {
        if (!line.starts_with(rule->keyword))
            continue;
        const int nth = ++rule->seen;
        Responder responder = rule->responder;
        guard.unlock();
        if (auto answers = responder(line, nth))
            return *answers;
        guard.lock();
        break;
    }
    if (!echoAll)
        return {};
    return {{line, echoDelay}};
}

void ProcessorSimulator::Impl::Accept()
{
    acceptor.async_accept([this](const boost::system::error_code& error, tcp::socket socket) {
        if (error)
            return;
        std::shared_ptr<Session> session = std::make_shared<TcpSession>(*this, std::move(socket));
        sessions.push_back(session);
        {
            std::lock_guard guard(lock);
            ++connections;
        }
        changed.notify_all();
        session->Start();
        Accept();
    });
}

ProcessorSimulator::ProcessorSimulator(uint16_t port) : impl_(std::make_unique<Impl>())
{
    const tcp::endpoint loopback(asio::ip::make_address_v4("127.0.0.1"), port);
    impl_->acceptor.open(loopback.protocol());
    impl_->acceptor.set_option(tcp::acceptor::reuse_address(true));
    impl_->acceptor.bind(loopback);
    impl_->acceptor.listen();
    impl_->Accept();
    impl_->thread = std::thread([impl = impl_.get()] { impl->io.run(); });
}

ProcessorSimulator::~ProcessorSimulator()
{
    Stop();
}

void ProcessorSimulator::Stop()
{
    if (impl_->stopped)
        return;
    impl_->stopped = true;
    asio::post(impl_->io, [impl = impl_.get()] {
        boost::system::error_code ignored;
        impl->acceptor.close(ignored);
        for (auto& session : impl->sessions)
            session->Close();
        impl->sessions.clear();
        impl->io.stop();
    });
    impl_->thread.join();
}

uint16_t ProcessorSimulator::Port() const
{
    return impl_->acceptor.local_endpoint().port();
}

void ProcessorSimulator::SetEchoAll(bool echo, Millis delay)
{
    std::lock_guard guard(impl_->lock);
    impl_->echoAll = echo;
    impl_->echoDelay = delay;
}

void ProcessorSimulator::Respond(const std::string& keyword, Responder responder)
{
    std::lock_guard guard(impl_->lock);
    impl_->rules.push_back({keyword, std::move(responder), 0});
}

void ProcessorSimulator::Echo(const std::string& keyword, Millis delay)
{
    Respond(keyword, [delay](const std::string& line, int) {
        return std::optional<std::vector<Answer>>{{{line, delay}}};
    });
}

void ProcessorSimulator::Silence(const std::string& keyword)
{
    Respond(keyword, [](const std::string&, int) { return std::optional<std::vector<Answer>>{std::vector<Answer>{}}; });
}

void ProcessorSimulator::AnswerDisplayModeStoredFrom(int nth)
{
    Respond("GP CDMS 1", [nth](const std::string&, int seen) -> std::optional<std::vector<Answer>> {
        if (seen < nth)
            return std::nullopt;
        return std::vector<Answer>{{"GP CDMS 0\r\n", Millis{0}}};
    });
}

void ProcessorSimulator::AnswerInputSignal(int width, int height)
{
    const std::string signal = " 0 0 " + std::to_string(width) + " " + std::to_string(height) + " 2 6000\r\n";
    Respond("I_F RISR", [signal](const std::string& line, int) -> std::optional<std::vector<Answer>> {
        return std::vector<Answer>{{line.substr(0, line.size() - 2) + signal, Millis{0}}};
    });
}

void ProcessorSimulator::AnswerOsdSavedFrom(int nth)
{
    // Only the status polls count, not the save request before them; the
    // responders run on the I/O thread alone, so a plain counter will do.
    auto polls = std::make_shared<int>(0);
    for (std::string keyword : {"I_F OSDSA", "O_F OSDSA"}) {
        Respond(keyword, [nth, keyword, polls](const std::string& line, int) -> std::optional<std::vector<Answer>> {
            int a = 0, b = 0, status = 0;
            const std::string format = keyword + " %d %d %d";
            if (std::sscanf(line.c_str(), format.c_str(), &a, &b, &status) != 3 || status != 2)
                return std::nullopt;
            if (++*polls < nth)
                return std::nullopt;
            char answer[64];
            std::snprintf(answer, sizeof answer, "%s %d %d 3\r\n", keyword.c_str(), a, b);
            return std::vector<Answer>{{answer, Millis{0}}};
        });
    }
}

void ProcessorSimulator::AnswerType(int type, int count)
{
    const std::string answer = "GP TYPE " + std::to_string(type) + " " + std::to_string(count) + "\r\n";
    Respond("GP TYPE", [answer](const std::string& line, int) -> std::optional<std::vector<Answer>> {
        if (line != "GP TYPE\r\n" && line != "GP TYPE 0\r\n")
            return std::nullopt;
        return std::vector<Answer>{{answer, Millis{0}}};
    });
}

void ProcessorSimulator::Push(const std::string& text)
{
    asio::post(impl_->io, [impl = impl_.get(), text] {
        for (auto& session : impl->sessions)
            session->Write(text);
    });
}

std::vector<ProcessorSimulator::Line> ProcessorSimulator::Lines() const
{
    std::lock_guard guard(impl_->lock);
    return impl_->lines;
}

std::vector<std::string> ProcessorSimulator::Texts() const
{
    std::lock_guard guard(impl_->lock);
    std::vector<std::string> texts;
    texts.reserve(impl_->lines.size());
    for (const auto& line : impl_->lines)
        texts.push_back(line.text);
    return texts;
}

void ProcessorSimulator::ClearLines()
{
    std::lock_guard guard(impl_->lock);
    impl_->lines.clear();
}

bool ProcessorSimulator::WaitForLines(size_t count, Millis timeout) const
{
    std::unique_lock guard(impl_->lock);
    return impl_->changed.wait_for(guard, timeout, [&] { return impl_->lines.size() >= count; });
}

bool ProcessorSimulator::WaitForLine(const std::string& text, Millis timeout) const
{
    std::unique_lock guard(impl_->lock);
    return impl_->changed.wait_for(guard, timeout, [&] {
        return std::any_of(impl_->lines.begin(), impl_->lines.end(),
                           [&](const Line& line) { return line.text == text; });
    });
}

bool ProcessorSimulator::WaitForConnection(Millis timeout) const
{
    std::unique_lock guard(impl_->lock);
    return impl_->changed.wait_for(guard, timeout, [&] { return impl_->connections > 0; });
}

size_t ProcessorSimulator::Connections() const
{
    std::lock_guard guard(impl_->lock);
    return impl_->connections;
}

void ProcessorSimulator::DropConnections()
{
    std::promise<void> done;
    asio::post(impl_->io, [impl = impl_.get(), &done] {
        for (auto& session : impl->sessions)
            session->Close();
        impl->sessions.clear();
        done.set_value();
    });
    done.get_future().wait();
}

std::string ProcessorSimulator::OpenPty()
{
    int master = -1;
    int slave = -1;
    char name[256] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (::openpty(&master, &slave, name, &raw, nullptr) != 0)
        return {};
    // The slave is only for the link under test; the simulator never holds it.
    ::close(slave);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    std::promise<void> done;
    const std::string path = name;
    asio::post(impl_->io, [impl = impl_.get(), master, path, &done] {
        std::shared_ptr<Impl::Session> session = std::make_shared<PtySession>(*impl, master, path);
        impl->sessions.push_back(session);
        session->Start();
        done.set_value();
    });
    done.get_future().wait();
    return path;
}

void ProcessorSimulator::ClosePty(const std::string& slavePath)
{
    std::promise<void> done;
    asio::post(impl_->io, [impl = impl_.get(), slavePath, &done] {
        for (auto it = impl->sessions.begin(); it != impl->sessions.end();) {
            if ((*it)->Source() == slavePath) {
                (*it)->Close();
                it = impl->sessions.erase(it);
            } else {
                ++it;
            }
        }
        done.set_value();
    });
    done.get_future().wait();
}

std::vector<std::string> ProcessorSimulator::TextsFrom(const std::string& source) const
{
    std::lock_guard guard(impl_->lock);
    std::vector<std::string> texts;
    for (const auto& line : impl_->lines)
        if (line.source == source)
            texts.push_back(line.text);
    return texts;
}

size_t ProcessorSimulator::Unread(const std::string& slavePath)
{
    const int fd = ::open(slavePath.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    int count = 0;
    if (fd < 0 || ::ioctl(fd, FIONREAD, &count) != 0)
        count = 0;
    if (fd >= 0)
        ::close(fd);
    return static_cast<size_t>(count);
}

void ProcessorSimulator::PushTo(const std::string& source, const std::string& text)
{
    asio::post(impl_->io, [impl = impl_.get(), source, text] {
        for (auto& session : impl->sessions)
            if (session->Source() == source)
                session->Write(text);
    });
}
