#include "ControlServer.h"

#include "ControlRequests.h"
#include "loop/Raised.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLocalSocket>

#include <sys/stat.h>

ControlClient::ControlClient(QLocalSocket *socket, ControlHandler handler)
    : socket_(socket), handler_(std::move(handler))
{
    connect(socket, &QLocalSocket::readyRead, this, &ControlClient::readLines);
    connect(socket, &QLocalSocket::disconnected, this, [this] {
        emit closed();
        // A request that still runs holds this client; it goes once that returns.
        if (!handling_) deleteLater();
        buffer_.clear();
    });
}

bool ControlClient::connected() const
{
    return socket_ && socket_->state() == QLocalSocket::ConnectedState;
}

void ControlClient::send(const QJsonObject &object)
{
    if (!connected()) return;
    socket_->write(QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n');
    socket_->flush();
}

void ControlClient::readLines()
{
    if (!socket_) return;
    buffer_ += socket_->readAll();
    if (buffer_.size() > MaxLine && buffer_.indexOf('\n') < 0) {
        buffer_.clear();
        send(errorReply(QStringLiteral("A request is one line of at most 64 KiB"),
                        ReplyKind::Invalid));
        socket_->disconnectFromServer();
        return;
    }
    if (!handling_) tasks_.spawn(handleLines());
}

// The lines in order, each request answered before the next is read.
loop::Task<> ControlClient::handleLines()
{
    const loop::Raised handling(handling_);
    for (qsizetype end; connected() && (end = buffer_.indexOf('\n')) >= 0;) {
        const QByteArray line = buffer_.left(end).trimmed();
        buffer_.remove(0, end + 1);
        if (!line.isEmpty()) co_await handleLine(line);
    }
    // A client that went while served is not served further.
    if (!connected()) deleteLater();
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

ControlServer::ControlServer(ControlHandler handler) : handler_(std::move(handler))
{
    connect(&server_, &QLocalServer::newConnection, this, &ControlServer::accept);
}

void ControlServer::listen(const QString &path)
{
    const QFileInfo file(path);
    if (!QDir().mkpath(file.absolutePath()))
        throw StartError(QStringLiteral("cannot create the folder %1 for the control socket")
                             .arg(file.absolutePath()));
    if (file.exists()) {
        QLocalSocket probe;
        probe.connectToServer(path);
        if (probe.waitForConnected(1000))
            throw StartError(
                QStringLiteral("%1 is the socket of a pallixd that runs already").arg(path));
        QLocalServer::removeServer(path);   // stale: left by one that ended
    }
    server_.setSocketOptions(QLocalServer::UserAccessOption | QLocalServer::GroupAccessOption);
    if (!server_.listen(path))
        throw StartError(
            QStringLiteral("cannot listen on %1: %2").arg(path, server_.errorString()));
    // Qt leaves the socket executable too; 0660 is what is meant.
    if (::chmod(QFile::encodeName(path).constData(), 0660) != 0)
        throw StartError(QStringLiteral("cannot restrict %1 to its owner and group").arg(path));
}

void ControlServer::accept()
{
    while (QLocalSocket *socket = server_.nextPendingConnection()) {
        auto *client = new ControlClient(socket, handler_);
        socket->setParent(client);
        clients_.removeAll(nullptr);
        clients_ << client;
    }
}

void ControlServer::sendToWatchers(const QJsonObject &event)
{
    for (const QPointer<ControlClient> &client : std::as_const(clients_))
        if (client && client->watching()) client->send(event);
}
