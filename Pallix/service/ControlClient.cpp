#include "ControlClient.h"

#include "ControlRequests.h"
#include "QtText.h"
#include "app/LogFile.h"
#include "loop/Raised.h"

#include <QJsonDocument>

#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

ControlClient::ControlClient(int fd, ControlHandler handler)
    : fd_(fd), peer_(peerCredentials(fd)), handler_(std::move(handler)),
      reader_(std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read)),
      writer_(std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write))
{
    writer_->setEnabled(false);
    connect(reader_.get(), &QSocketNotifier::activated, this, &ControlClient::readArrived);
    connect(writer_.get(), &QSocketNotifier::activated, this, &ControlClient::writeOut);
}

ControlClient::~ControlClient()
{
    reader_.reset();
    writer_.reset();
    if (fd_ >= 0) ::close(fd_);
}

void ControlClient::send(const QJsonObject &object)
{
    if (!connected()) return;
    output_ += QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
    writeOut();
    if (!connected() || output_.size() <= MaxUnread) return;
    logFile(stdText(QStringLiteral("pallixd drops the control client %1: it does not read "
                                   "what pallixd sends (%2 bytes wait)")
                        .arg(peer_.describe())
                        .arg(output_.size())));
    close();
}

// Reads no more than a line's worth ahead of the requests being handled.
void ControlClient::readArrived()
{
    char chunk[16 * 1024];
    while (connected() && !inputEnded_ && input_.size() <= MaxLine) {
        const ssize_t n = ::read(fd_, chunk, sizeof chunk);
        if (n > 0) {
            input_.append(chunk, n);
        } else if (n == 0) {
            inputEnded();
        } else if (errno != EINTR) {
            if (errno != EAGAIN && errno != EWOULDBLOCK) close();
            break;
        }
    }
    if (!connected()) return;
    if (lineTooLong()) return refuseLongLine();
    reader_->setEnabled(!inputEnded_ && input_.size() <= MaxLine);
    if (!handling_) tasks_.spawn(handleLines());
}

// End of input: a client that closed only its sending side waits for its
// replies; one that went altogether is served no further.
void ControlClient::inputEnded()
{
    inputEnded_ = true;
    reader_->setEnabled(false);
    pollfd state{fd_, POLLOUT, 0};
    if (::poll(&state, 1, 0) == 1 && (state.revents & (POLLHUP | POLLERR))) return close();
    if (!input_.isEmpty() && !input_.endsWith('\n')) input_ += '\n';
}

bool ControlClient::lineTooLong() const
{
    return input_.size() > MaxLine && input_.indexOf('\n') < 0;
}

void ControlClient::refuseLongLine()
{
    input_.clear();
    inputEnded_ = true;
    watching_ = false;
    reader_->setEnabled(false);
    send(errorReply(QStringLiteral("A request is one line of at most 64 KiB"),
                    ReplyKind::Invalid));
    closeWhenDone();
}

// The lines in order, each request answered before the next is read.
loop::Task<> ControlClient::handleLines()
{
    {
        const loop::Raised handling(handling_);
        for (qsizetype end; connected() && (end = input_.indexOf('\n')) >= 0;) {
            const QByteArray line = input_.left(end).trimmed();
            input_.remove(0, end + 1);
            if (!inputEnded_ && input_.size() <= MaxLine) reader_->setEnabled(true);
            if (!line.isEmpty()) co_await handleLine(line);
        }
    }
    // A client that went while served is not served further.
    if (!connected())
        deleteLater();
    else if (lineTooLong())
        refuseLongLine();
    else
        closeWhenDone();
}

loop::Task<> ControlClient::handleLine(QByteArray line)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (!document.isObject()) {
        send(errorReply(QStringLiteral("A request is one JSON object a line: %1")
                            .arg(error.error == QJsonParseError::NoError
                                     ? QStringLiteral("not an object")
                                     : error.errorString()),
                        ReplyKind::Invalid));
        co_return;
    }
    send(co_await handler_(*this, document.object()));
}

void ControlClient::writeOut()
{
    while (connected() && !output_.isEmpty()) {
        const ssize_t n =
            ::send(fd_, output_.constData(), size_t(output_.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            output_.remove(0, n);
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            writer_->setEnabled(true);
            return;
        } else if (errno != EINTR) {
            return close();
        }
    }
    if (!connected()) return;
    writer_->setEnabled(false);
    closeWhenDone();
}

// After the client's last request: its replies written, then it is closed.
// A watcher stays for the events.
void ControlClient::closeWhenDone()
{
    if (inputEnded_ && !handling_ && !watching_ && output_.isEmpty() && input_.indexOf('\n') < 0)
        close();
}

void ControlClient::close()
{
    if (!connected()) return;
    reader_.reset();
    writer_.reset();
    ::close(fd_);
    fd_ = -1;
    input_.clear();
    output_.clear();
    emit closed();
    // A request that still runs holds this client; it goes once that returns.
    if (!handling_) deleteLater();
}
