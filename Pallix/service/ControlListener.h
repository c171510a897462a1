// The control socket's listening end: a Unix socket at a path, for owner
// and group only. It never removes anything but a stale socket, and a
// connection it cannot take (no descriptor left) leaves it listening.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>
#include <memory>
#include <stdexcept>
#include <sys/types.h>
#include <utility>
#include <vector>

// The socket cannot be made; the service cannot start.
class StartError : public std::runtime_error {
public:
    explicit StartError(const QString &text) : std::runtime_error(text.toStdString()) {}
};

class ControlListener : public QObject {
    Q_OBJECT
public:
    static constexpr int RetryMs = 250;   // after a failed accept

    ControlListener();
    ~ControlListener() override;
    ControlListener(const ControlListener &) = delete;
    ControlListener &operator=(const ControlListener &) = delete;

    // Listens on path, mode 0660. A file there that is not a socket, or a
    // socket someone answers on, is an error; a stale socket is replaced.
    // Throws StartError.
    void listen(const QString &path);
    QString path() const { return path_; }

    // The connections waiting, as non-blocking descriptors the caller owns.
    std::vector<int> acceptWaiting();

signals:
    void connectionsWaiting();

private:
    void acceptFailed(int error);

    int fd_ = -1;
    QString path_;
    std::pair<dev_t, ino_t> socketFile_{};   // the file listen() made
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer retry_;
    bool failing_ = false;   // accepts fail; logged once until every waiting one is taken
};
