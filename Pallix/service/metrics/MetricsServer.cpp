#include "MetricsServer.h"

#include "HttpExchange.h"
#include "LineSplitter.h"

#include <QTcpSocket>
#include <QTimer>

namespace {

// One client's request and the reply to it; ends with its socket.
class MetricsExchange : public QObject {
public:
    static constexpr qint64 ReadChunk = 4096;

    MetricsExchange(QTcpSocket *socket, const MetricsServer::Page &page, QObject *parent)
        : QObject(parent), socket_(socket), page_(page)
    {
        socket->setParent(this);
        socket->setReadBufferSize(4 * ReadChunk);
        connect(socket, &QTcpSocket::readyRead, this, &MetricsExchange::readHead);
        connect(socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
        // However slow the client, reading or writing: this long and no longer.
        QTimer::singleShot(MetricsServer::RequestTime, this, [this] {
            socket_->abort();
            deleteLater();
        });
        QMetaObject::invokeMethod(this, &MetricsExchange::readHead, Qt::QueuedConnection);
    }

private:
    void readHead()
    {
        while (head_.state() == HttpRequestHead::State::Reading && socket_->bytesAvailable() > 0) {
            const QByteArray chunk = socket_->read(ReadChunk);
            for (const LineSplitter::Line &line :
                 lines_.feed({chunk.constData(), size_t(chunk.size())}))
                if ((line.tooLong ? head_.tooLong() : head_.add(line.text))
                    != HttpRequestHead::State::Reading)
                    break;
        }
        if (head_.state() == HttpRequestHead::State::Reading) return;
        socket_->readAll();   // what follows the head is not read
        if (answered_) return;
        answered_ = true;
        const std::string reply = answerMetricsRequest(head_, page_).bytes();
        socket_->write(reply.data(), qint64(reply.size()));
        socket_->disconnectFromHost();
    }

    QTcpSocket *socket_;
    const MetricsServer::Page &page_;
    LineSplitter lines_{HttpRequestHead::MaxLine};
    HttpRequestHead head_;
    bool answered_ = false;
};

}   // namespace

MetricsServer::MetricsServer(Page page)
    : page_(std::move(page)), listener_(QStringLiteral("metrics scrapes"), MaxClients)
{
    connect(&listener_, &CappedTcpServer::accepted, this, &MetricsServer::serve);
    connect(&listener_, &CappedTcpServer::refused, this, &MetricsServer::clientRefused);
}

void MetricsServer::listen(const ListenAddress &address) { listener_.listen(address); }

void MetricsServer::serve(QTcpSocket *socket) { new MetricsExchange(socket, page_, this); }
