// What the operating system does for the application. The real
// implementation is the default; tests install a recording fake.
#pragma once

#include <QString>
#include <QStringList>

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

class Platform {
public:
    virtual ~Platform() = default;

    virtual int messageBox(const QString &text, const QString &title, MsgIcon icon,
                           MsgButtons buttons) = 0;
    // The application's own two-button message window (frmMsgBox): 1 OK, 2 Cancel.
    virtual int messageWindow(const QString &text) = 0;
    virtual void runCommand(const CommandLine &command) = 0;        // power actions
    virtual bool startUpdater(const CommandLine &command) = 0;      // false when it could not start
    virtual int openDocument(const QString &pathOrUrl) = 0;         // > 32 success, else a shell code
    virtual QStringList localAddresses() = 0;
    virtual int runningCopies(const QString &executableName) = 0;
    virtual OSVersion osVersion() = 0;
    virtual bool trayAvailable() = 0;                               // a notification area exists

    static Platform &current();
    // Installs a replacement (tests); null goes back to the real platform.
    static void install(Platform *replacement);
};
