#include "ControlServer.h"

#include "ControlRequests.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLocalSocket>

#include <sys/stat.h>

#include <sys/stat.h>

ControlClient::ControlClient(QLocalSocket *socket) : socket_(socket)
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

// Requests run from the event loop, not inside the socket's own read
// notification: while that runs Qt would not notice the client going, and
// a long request (a self test) must see it.
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
    if (!handling_)
        QMetaObject::invokeMethod(this, &ControlClient::handleLines, Qt::QueuedConnection);
}

void ControlClient::handleLines()
{
    if (handling_) return;   // the running request's turn first
    handling_ = true;
    for (qsizetype end; connected() && (end = buffer_.indexOf('\n')) >= 0;) {
        const QByteArray line = buffer_.left(end).trimmed();
        buffer_.remove(0, end + 1);
        if (!line.isEmpty()) handleLine(line);
    }
    handling_ = false;
    // A client that went while served is not served further.
    if (!connected()) deleteLater();
}

void ControlClient::handleLine(const QByteArray &line)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (!document.isObject()) {
        send(errorReply(QStringLiteral("A request is one JSON object a line: %1")
                            .arg(error.error == QJsonParseError::NoError
                                     ? QStringLiteral("not an object")
                                     : error.errorString()),
                        ReplyKind::Invalid));
        return;
    }
    handler(*this, document.object());
}

ControlServer::ControlServer(Handler handler) : handler_(std::move(handler))
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
        auto *client = new ControlClient(socket);
        socket->setParent(client);
        client->handler = handler_;
        clients_.removeAll(nullptr);
        clients_ << client;
    }
}

void ControlServer::sendToWatchers(const QJsonObject &event)
{
    for (const QPointer<ControlClient> &client : std::as_const(clients_))
        if (client && client->watching()) client->send(event);
}
