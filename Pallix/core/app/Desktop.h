// What the person at the PC sees and answers: boxes, the application's own
// message window, documents opened for them, the mouse pointer. The Control
// Center installs its windows; without them (the service) boxes go to
// standard error and questions are answered Cancel (OK where it is the
// only way to close the box).
#pragma once

#include "loop/Task.h"

#include <functional>
#include <memory>
#include <string>

// Message box answers, numbered as the system numbers them; Restore is the
// application's own.
enum MsgResult { MsgOK = 1, MsgCancel = 2, MsgRestore = 100 };
enum class MsgIcon { None, Information, Critical };
// OKRestore: "OK" (the default, also closing the box) and "Restore" beside it.
enum class MsgButtons { OK, OKCancel, OKRestore };

// The application-wide mouse pointer: normal, hourglass or arrow-with-hourglass.
enum class MousePointer { Default, Hourglass, ArrowHourglass };

// Called with the answer once a box shown without waiting is closed.
using BoxAnswered = std::function<void(int answer)>;

class Desktop {
public:
    virtual ~Desktop() = default;

    // Waits for the answer: only before the event loop runs (start-up).
    virtual int messageBox(const std::string &text, const std::string &title, MsgIcon icon,
                           MsgButtons buttons) = 0;
    // Shows a box and returns at once, so nothing waits on a person.
    virtual void showBox(const std::string &text, const std::string &title, MsgIcon icon,
                         MsgButtons buttons, BoxAnswered answered = {}) = 0;
    // The application's own two-button message window (frmMsgBox), shown
    // without waiting: 1 OK, 2 Cancel or closed.
    virtual void showMessageWindow(const std::string &text, BoxAnswered answered = {}) = 0;
    virtual int openDocument(const std::string &pathOrUrl) = 0;   // > 32 success, else a shell code
    virtual bool trayAvailable() = 0;                             // a notification area exists
    virtual void setMousePointer(MousePointer pointer) = 0;
    virtual void closeAll() = 0;   // the application ends: windows go

    static Desktop &current();
    // Installs the desktop; null goes back to standard error.
    static void install(Desktop *desktop);
};

inline void setMousePointer(MousePointer pointer) { Desktop::current().setMousePointer(pointer); }

// co_await askBox(...) / askMessageWindow(...): the answer, once the person
// gave it; the task waits, the loop does not.
class BoxAnswer {
public:
    using Show = std::function<void(BoxAnswered)>;
    explicit BoxAnswer(Show show) : show_(std::move(show)) {}

    bool await_ready() const noexcept { return false; }
    template <typename P> void await_suspend(std::coroutine_handle<P> handle)
    {
        show_([answer = answer_, handle, life = loop::lifeOf(handle)](int given) {
            *answer = given;
            loop::resumeLater(handle, life);
        });
    }
    int await_resume() const { return *answer_; }

private:
    Show show_;
    std::shared_ptr<int> answer_ = std::make_shared<int>(MsgCancel);
};

BoxAnswer askBox(const std::string &text, const std::string &title, MsgIcon icon,
                 MsgButtons buttons);
BoxAnswer askMessageWindow(const std::string &text);
