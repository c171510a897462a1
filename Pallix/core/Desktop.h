// What the person at the PC sees and answers: boxes, the application's own
// message window, documents opened for them, the mouse pointer. The Control
// Center installs its windows; without them (the service) boxes go to
// standard error and questions are answered Cancel.
#pragma once

#include <QString>
#include <functional>

// Message box answers, numbered as the system numbers them.
enum MsgResult { MsgOK = 1, MsgCancel = 2 };
enum class MsgIcon { None, Information, Critical };
enum class MsgButtons { OK, OKCancel };

// The application-wide mouse pointer: normal, hourglass or arrow-with-hourglass.
enum class MousePointer { Default, Hourglass, ArrowHourglass };

// Called with the answer once a box shown without waiting is closed.
using BoxAnswered = std::function<void(int answer)>;

class Desktop {
public:
    virtual ~Desktop() = default;

    // Waits for the answer; only for handlers of the user's own clicks.
    virtual int messageBox(const QString &text, const QString &title, MsgIcon icon,
                           MsgButtons buttons) = 0;
    // Shows a box and returns at once, so no tick or search waits on a person.
    virtual void showBox(const QString &text, const QString &title, MsgIcon icon,
                         MsgButtons buttons, BoxAnswered answered = {}) = 0;
    // The application's own two-button message window (frmMsgBox), shown
    // without waiting: 1 OK, 2 Cancel or closed.
    virtual void showMessageWindow(const QString &text, BoxAnswered answered = {}) = 0;
    virtual int openDocument(const QString &pathOrUrl) = 0;   // > 32 success, else a shell code
    virtual bool trayAvailable() = 0;                         // a notification area exists
    virtual void setMousePointer(MousePointer pointer) = 0;
    virtual void closeAll() = 0;   // the application ends: windows go

    static Desktop &current();
    // Installs the desktop; null goes back to standard error.
    static void install(Desktop *desktop);
};
