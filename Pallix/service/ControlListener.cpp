#include "ControlListener.h"

#include "QtText.h"
#include "app/LogFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

sockaddr_un addressOf(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.size() >= qsizetype(sizeof address.sun_path))
        throw StartError(QStringLiteral("the socket path %1 is too long (at most %2 bytes)")
                             .arg(path)
                             .arg(sizeof address.sun_path - 1));
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    return address;
}

int newSocket()
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) throw StartError(QStringLiteral("cannot make a socket: ") + systemError(errno));
    return fd;
}

// Someone takes connections on the socket at path (a full backlog counts).
bool answered(const sockaddr_un &address)
{
    const int fd = newSocket();
    const int result =
        ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address);
    const int error = errno;
    ::close(fd);
    return result == 0 || error == EAGAIN || error == EINPROGRESS;
}

// Only a stale socket may go: never a file, a link or a folder someone named.
void clearPath(const QString &path, const sockaddr_un &address)
{
    struct stat file {};
    if (::lstat(address.sun_path, &file) != 0) {
        if (errno == ENOENT) return;
        throw StartError(QStringLiteral("cannot look at %1: %2").arg(path, systemError(errno)));
    }
    if (!S_ISSOCK(file.st_mode))
        throw StartError(QStringLiteral("%1 exists and is not a socket; pallixd leaves it as it "
                                        "is (name another path with --socket)")
                             .arg(path));
    if (answered(address))
        throw StartError(
            QStringLiteral("%1 is the socket of a pallixd that runs already").arg(path));
    if (::unlink(address.sun_path) != 0 && errno != ENOENT)
        throw StartError(
            QStringLiteral("cannot remove the stale socket %1: %2").arg(path, systemError(errno)));
}

}   // namespace

ControlListener::ControlListener()
{
    retry_.setSingleShot(true);
    retry_.setInterval(RetryMs);
    connect(&retry_, &QTimer::timeout, this, [this] {
        if (notifier_) notifier_->setEnabled(true);
    });
}

// The socket file goes with the listener, unless another took its place.
ControlListener::~ControlListener()
{
    notifier_.reset();
    if (fd_ < 0) return;
    ::close(fd_);
    const QByteArray name = QFile::encodeName(path_);
    struct stat file {};
    if (::lstat(name.constData(), &file) == 0 && file.st_dev == socketFile_.first
        && file.st_ino == socketFile_.second)
        ::unlink(name.constData());
}

void ControlListener::listen(const QString &path)
{
    const QFileInfo file(path);
    if (!QDir().mkpath(file.absolutePath()))
        throw StartError(QStringLiteral("cannot create the folder %1 for the control socket")
                             .arg(file.absolutePath()));
    const sockaddr_un address = addressOf(path);
    clearPath(path, address);
    const int fd = newSocket();
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0
        || ::listen(fd, SOMAXCONN) != 0) {
        const int error = errno;
        ::close(fd);
        throw StartError(QStringLiteral("cannot listen on %1: %2").arg(path, systemError(error)));
    }
    if (::chmod(address.sun_path, 0660) != 0) {
        ::close(fd);
        throw StartError(QStringLiteral("cannot restrict %1 to its owner and group").arg(path));
    }
    struct stat made {};
    if (::lstat(address.sun_path, &made) == 0) socketFile_ = {made.st_dev, made.st_ino};
    fd_ = fd;
    path_ = path;
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this,
            &ControlListener::connectionsWaiting);
}

std::vector<int> ControlListener::acceptWaiting()
{
    std::vector<int> accepted;
    while (fd_ >= 0) {
        const int client = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (client >= 0) {
            accepted.push_back(client);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            acceptFailed(errno);
        } else if (failing_) {   // every connection that waited was taken
            logFile("pallixd takes control connections again");
            failing_ = false;
        }
        break;
    }
    return accepted;
}

// No descriptor or memory left: the connection waits in the backlog while
// the notifier rests, so the loop does not spin on it.
void ControlListener::acceptFailed(int error)
{
    if (!failing_)
        logFile(stdText(QStringLiteral("pallixd cannot take a control connection on %1: %2; it "
                                       "keeps listening and tries again")
                            .arg(path_, systemError(error))));
    failing_ = true;
    if (notifier_) notifier_->setEnabled(false);
    retry_.start();
}
