#include "ListenAddress.h"

#include <optional>

namespace {

[[noreturn]] void refuse(const QString &text, const QString &why)
{
    throw ListenError(QStringLiteral("\"%1\": %2").arg(text, why));
}

quint16 portOf(const QString &text, const QString &port)
{
    bool ok = false;
    const uint value = port.toUInt(&ok);
    if (!ok || value == 0 || value > 65535) refuse(text, QStringLiteral("the port is 1 to 65535"));
    return static_cast<quint16>(value);
}

}   // namespace

QString ListenAddress::text() const
{
    const QString host_ = host.protocol() == QAbstractSocket::IPv6Protocol
                              ? QStringLiteral("[%1]").arg(host.toString())
                              : host.toString();
    return QStringLiteral("%1:%2").arg(host_).arg(port);
}

ListenAddress parseListenAddress(const QString &text, quint16 defaultPort)
{
    QString host = text.trimmed();
    std::optional<QString> port;
    if (host.startsWith(u'[')) {
        const qsizetype close = host.indexOf(u']');
        if (close < 0) refuse(text, QStringLiteral("a \"[\" without its \"]\""));
        const QString rest = host.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(u':'))
            refuse(text, QStringLiteral("\"]\" is followed by \":PORT\""));
        if (!rest.isEmpty()) port = rest.mid(1);
        host = host.mid(1, close - 1);
    } else if (host.count(u':') == 1) {
        port = host.section(u':', 1);
        host = host.section(u':', 0, 0);
    }
    ListenAddress address;
    if (!address.host.setAddress(host))
        refuse(text, QStringLiteral("not a numeric IP address (e.g. 192.168.1.10, 0.0.0.0, ::)"));
    if (port)
        address.port = portOf(text, *port);
    else if (defaultPort != 0)
        address.port = defaultPort;
    else
        refuse(text, QStringLiteral("a port is needed (ADDR:PORT)"));
    return address;
}
