#include "NutConnection.h"

#include "CappedTcpServer.h"

#include <QTcpSocket>

NutConnection::NutConnection(QTcpSocket *socket, Answer answer, QObject *parent)
    : QObject(parent), socket_(socket), answer_(std::move(answer)), peer_(peerText(*socket))
{
    socket->setParent(this);
    // Qt stops reading while this is full, so a flood waits in the kernel.
    socket->setReadBufferSize(4 * ReadChunk);
    // The kernel's own share of a client that never reads stays small too.
    socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, 64 * 1024);
    connect(socket, &QTcpSocket::readyRead, this, &NutConnection::readRequests);
    connect(socket, &QTcpSocket::disconnected, this, &NutConnection::end);
    QMetaObject::invokeMethod(this, &NutConnection::readRequests, Qt::QueuedConnection);
}

void NutConnection::readRequests()
{
    while (!ended_ && !session_.closing() && socket_->bytesAvailable() > 0) {
        const QByteArray chunk = socket_->read(ReadChunk);
        for (const LineSplitter::Line &line :
             lines_.feed({chunk.constData(), size_t(chunk.size())})) {
            if (ended_ || session_.closing()) break;
            send(line.tooLong ? std::vector{std::string(NutSession::TooLongReply)}
                              : answer_(session_, line.text));
            emit answered();
        }
    }
    if (!ended_ && session_.closing()) socket_->disconnectFromHost();
}

void NutConnection::send(const std::vector<std::string> &reply)
{
    if (ended_) return;
    for (const std::string &line : reply) {
        socket_->write(line.data(), qint64(line.size()));
        socket_->write("\n", 1);
    }
    if (socket_->bytesToWrite() > MaxPendingOutput) {
        socket_->abort();
        end();
    }
}

void NutConnection::end()
{
    if (ended_) return;
    ended_ = true;
    emit ended();
    deleteLater();
}
