#include "SocketLock.h"

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr int AnswerWaitMs = 500;

struct AbstractAddress {
    sockaddr_un address{};
    socklen_t length = 0;

    explicit AbstractAddress(const std::string &name)
    {
        address.sun_family = AF_UNIX;
        // A leading NUL: no file, the name lives in the network namespace.
        const size_t size = std::min(name.size(), sizeof address.sun_path - 1);
        std::memcpy(address.sun_path + 1, name.data(), size);
        length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + size);
    }
    const sockaddr *get() const { return reinterpret_cast<const sockaddr *>(&address); }
};

// The held lock: a listening socket, and a thread that tells each caller
// the holder's name.
class SocketLock : public MonitorLock {
public:
    SocketLock(int fd, std::string program) : fd_(fd), answer_(std::move(program) + '\n')
    {
        if (::pipe2(stop_, O_CLOEXEC) != 0) stop_[0] = stop_[1] = -1;
        answerer_ = std::thread([this] { answerCallers(); });
    }
    ~SocketLock() override
    {
        const char byte = 0;
        if (stop_[1] < 0 || ::write(stop_[1], &byte, 1) != 1) ::shutdown(fd_, SHUT_RDWR);
        answerer_.join();
        ::close(fd_);
        for (const int end : stop_)
            if (end >= 0) ::close(end);
    }
    SocketLock(const SocketLock &) = delete;
    SocketLock &operator=(const SocketLock &) = delete;

private:
    void answerCallers()
    {
        for (;;) {
            pollfd waits[2] = {{fd_, POLLIN, 0}, {stop_[0], POLLIN, 0}};
            if (::poll(waits, stop_[0] >= 0 ? 2 : 1, -1) < 0 && errno != EINTR) return;
            if (waits[1].revents || (waits[0].revents & (POLLHUP | POLLERR))) return;
            if (!(waits[0].revents & POLLIN)) continue;
            const int caller = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (caller < 0) {
                // No descriptor left: the caller waits in the backlog a while.
                if (errno == EMFILE || errno == ENFILE) ::poll(nullptr, 0, 100);
                continue;
            }
            [[maybe_unused]] const ssize_t sent =
                ::send(caller, answer_.data(), answer_.size(), MSG_NOSIGNAL);
            ::close(caller);
        }
    }

    int fd_;
    int stop_[2] = {-1, -1};
    std::string answer_;
    std::thread answerer_;
};

// Who answers on the name: the kernel says which process and user, the
// holder says what program it is.
MonitorHolder holderOf(const AbstractAddress &address)
{
    MonitorHolder holder;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return holder;
    // A holder that takes no calls (its backlog full) is not waited for long.
    const timeval patience{0, AnswerWaitMs * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience);
    if (::connect(fd, address.get(), address.length) == 0) {
        ucred credentials{};
        socklen_t length = sizeof credentials;
        if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0) {
            holder.pid = credentials.pid;
            holder.uid = credentials.uid;
        }
        char line[64];
        size_t got = 0;
        pollfd wait{fd, POLLIN, 0};
        while (got < sizeof line && ::poll(&wait, 1, AnswerWaitMs) == 1) {
            const ssize_t n = ::read(fd, line + got, sizeof line - got);
            if (n <= 0) break;
            got += size_t(n);
        }
        const std::string answer(line, got);
        holder.program = answer.substr(0, answer.find('\n'));
    }
    ::close(fd);
    return holder;
}

}   // namespace

std::unique_ptr<MonitorLock> takeSocketLock(const std::string &name, const std::string &program,
                                            MonitorHolder *holder)
{
    const AbstractAddress address(name);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd >= 0 && ::bind(fd, address.get(), address.length) == 0 && ::listen(fd, 16) == 0)
        return std::make_unique<SocketLock>(fd, program);
    const bool taken = fd >= 0 && errno == EADDRINUSE;
    if (fd >= 0) ::close(fd);
    *holder = taken ? holderOf(address) : MonitorHolder{};
    return nullptr;
}
