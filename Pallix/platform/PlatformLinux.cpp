#include "PlatformLinux.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/utsname.h>

namespace {

QString ipv4Text(const sockaddr *address)
{
    if (address->sa_family != AF_INET) return {};
    char text[INET_ADDRSTRLEN] = {};
    const auto *inet = reinterpret_cast<const sockaddr_in *>(address);
    return inet_ntop(AF_INET, &inet->sin_addr, text, sizeof text) ? QString::fromLatin1(text)
                                                                  : QString();
}

QString executableNameOf(const QString &processFolder)
{
    const QString target = QFile::symLinkTarget(processFolder + QStringLiteral("/exe"));
    if (!target.isEmpty()) return QFileInfo(target).fileName().remove(QStringLiteral(" (deleted)"));
    // Another user's process: its exe link cannot be read, its name can.
    QFile comm(processFolder + QStringLiteral("/comm"));
    if (!comm.open(QIODevice::ReadOnly)) return {};
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

}   // namespace

void LinuxPlatform::runCommand(const CommandLine &command)
{
    QProcess::startDetached(command.program, command.arguments);
}

bool LinuxPlatform::startUpdater(const CommandLine &command)
{
    return QProcess::startDetached(command.program, command.arguments);
}

QList<LocalNetwork> LinuxPlatform::localNetworks()
{
    QList<LocalNetwork> networks;
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0) return networks;
    for (const ifaddrs *entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET) continue;
        LocalNetwork network;
        network.address = ipv4Text(entry->ifa_addr);
        if ((entry->ifa_flags & IFF_BROADCAST) && entry->ifa_broadaddr)
            network.broadcast = ipv4Text(entry->ifa_broadaddr);
        if (network.broadcast == QLatin1String("0.0.0.0")) network.broadcast.clear();
        network.interfaceName = QString::fromLocal8Bit(entry->ifa_name);
        network.usable = usableInterface(network.interfaceName, entry->ifa_flags);
        if (!network.address.isEmpty()) networks << network;
    }
    freeifaddrs(list);
    return networks;
}

bool usableInterface(const QString &name, unsigned flags)
{
    if (!(flags & IFF_UP) || !(flags & IFF_RUNNING)) return false;
    if (flags & (IFF_LOOPBACK | IFF_POINTOPOINT)) return false;
    for (const char *bridge : {"docker", "br-", "virbr", "veth"})
        if (name.startsWith(QLatin1String(bridge))) return false;
    return true;
}

// One copy per desktop: copies on other displays (other users, other
// sessions) do not count.
int LinuxPlatform::runningCopies(const QString &executableName)
{
    QFile own(QStringLiteral("/proc/self/environ"));
    const QByteArray environment = own.open(QIODevice::ReadOnly) ? own.readAll() : QByteArray();
    return countProcesses(QStringLiteral("/proc"), executableName, desktopOf(environment));
}

// The device is the PC's, not a desktop's: every user's processes count.
int LinuxPlatform::runningOnThisPC(const QString &executableName)
{
    return countProcesses(QStringLiteral("/proc"), executableName);
}

OSVersion LinuxPlatform::osVersion()
{
    utsname names{};
    if (uname(&names) != 0) return {};
    return parseKernelRelease(QString::fromLatin1(names.release));
}

OSVersion parseKernelRelease(const QString &release)
{
    const QStringList parts = release.split(QLatin1Char('.'));
    auto leadingNumber = [](const QString &part) {
        qsizetype digits = 0;
        while (digits < part.size() && part[digits].isDigit())
            ++digits;
        return part.left(digits).toInt();
    };
    OSVersion version;
    if (!parts.isEmpty()) version.major = leadingNumber(parts[0]);
    if (parts.size() > 1) version.minor = leadingNumber(parts[1]);
    return version;
}

QString desktopOf(const QByteArray &environment)
{
    QString display, wayland;
    for (const QByteArray &entry : environment.split('\0')) {
        if (entry.startsWith("DISPLAY=")) display = QString::fromLocal8Bit(entry.mid(8));
        if (entry.startsWith("WAYLAND_DISPLAY=")) wayland = QString::fromLocal8Bit(entry.mid(16));
    }
    return QStringLiteral("DISPLAY=%1\nWAYLAND_DISPLAY=%2").arg(display, wayland);
}

namespace {

// The folders under procRoot of the processes whose executable has that name.
QStringList processFolders(const QString &procRoot, const QString &executableName)
{
    QStringList folders;
    const QDir root(procRoot);
    const QStringList entries = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool numeric = false;
        entry.toLongLong(&numeric);
        if (!numeric) continue;
        const QString folder = root.filePath(entry);
        if (executableNameOf(folder).compare(executableName, Qt::CaseInsensitive) == 0)
            folders << folder;
    }
    return folders;
}

}   // namespace

int countProcesses(const QString &procRoot, const QString &executableName, const QString &desktop)
{
    int count = 0;
    for (const QString &folder : processFolders(procRoot, executableName)) {
        QFile environment(folder + QStringLiteral("/environ"));
        if (environment.open(QIODevice::ReadOnly) && desktopOf(environment.readAll()) == desktop)
            ++count;
    }
    return count;
}

int countProcesses(const QString &procRoot, const QString &executableName)
{
    return int(processFolders(procRoot, executableName).size());
}
