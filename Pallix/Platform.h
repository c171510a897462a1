// What the operating system does for the application. The real
// implementation is the default; tests install a recording fake.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

struct OSVersion {
    int major = 0;
    int minor = 0;
};

// Message box answers, numbered as the system numbers them.
enum MsgResult { MsgOK = 1, MsgCancel = 2 };
enum class MsgIcon { None, Information, Critical };
enum class MsgButtons { OK, OKCancel };

// A command started without waiting: a program and its arguments, never a shell line.
struct CommandLine {
    QString program;
    QStringList arguments;
    QString text() const;   // program and arguments joined by blanks, for logs
};

// One IPv4 address of the PC: the broadcast address the system gives for it
// (empty when it gives none) and the interface it is on. Usable when the
// interface is up and running and a device could answer a broadcast there:
// not loopback, not a point-to-point link, not a virtual bridge.
struct LocalNetwork {
    QString address;
    QString broadcast;
    QString interfaceName;
    bool usable = true;
};

// Called with the answer once a box shown without waiting is closed.
using BoxAnswered = std::function<void(int answer)>;

class Platform {
public:
    virtual ~Platform() = default;

    // Waits for the answer; only for handlers of the user's own clicks.
    virtual int messageBox(const QString &text, const QString &title, MsgIcon icon,
                           MsgButtons buttons) = 0;
    // Shows a box and returns at once, so no tick or search waits on a person.
    virtual void showBox(const QString &text, const QString &title, MsgIcon icon,
                         MsgButtons buttons, BoxAnswered answered = {}) = 0;
    // The application's own two-button message window (frmMsgBox), shown
    // without waiting: 1 OK, 2 Cancel or closed.
    virtual void showMessageWindow(const QString &text, BoxAnswered answered = {}) = 0;
    virtual void runCommand(const CommandLine &command) = 0;        // power actions
    virtual bool startUpdater(const CommandLine &command) = 0;      // false when it could not start
    virtual int openDocument(const QString &pathOrUrl) = 0;         // > 32 success, else a shell code
    // Every IPv4 address of the PC, in interface order.
    virtual QList<LocalNetwork> localNetworks() = 0;
    virtual int runningCopies(const QString &executableName) = 0;
    virtual OSVersion osVersion() = 0;
    virtual bool trayAvailable() = 0;                               // a notification area exists

    static Platform &current();
    // Installs a replacement (tests); null goes back to the real platform.
    static void install(Platform *replacement);
};
