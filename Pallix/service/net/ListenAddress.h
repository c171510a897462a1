// Where a server of pallixd listens: "ADDR", "ADDR:PORT" or "[IPv6]:PORT",
// numeric addresses only ("0.0.0.0" or "::" for every network).
#pragma once

#include <QHostAddress>
#include <QString>
#include <stdexcept>

// An address that cannot be listened on: bad text, or taken.
class ListenError : public std::runtime_error {
public:
    explicit ListenError(const QString &text) : std::runtime_error(text.toStdString()) {}
};

struct ListenAddress {
    QHostAddress host;
    quint16 port = 0;

    QString text() const;   // as it would be written
};

// defaultPort 0: the port must be given. Throws ListenError.
ListenAddress parseListenAddress(const QString &text, quint16 defaultPort);
