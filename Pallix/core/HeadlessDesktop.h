// The desktop of a program nobody looks at (the service, the command line):
// every box becomes one log entry and nothing waits. Questions are answered
// Cancel, unless the person already answered by asking for what the
// question is about (a write test asked for on the command line).
#pragma once

#include "Desktop.h"

class HeadlessDesktop : public Desktop {
public:
    int messageBox(const QString &text, const QString &title, MsgIcon icon,
                   MsgButtons buttons) override;
    void showBox(const QString &text, const QString &title, MsgIcon icon, MsgButtons buttons,
                 BoxAnswered answered) override;
    void showMessageWindow(const QString &text, BoxAnswered answered) override;
    int openDocument(const QString &) override { return NoAssociation; }
    bool trayAvailable() override { return false; }
    void setMousePointer(MousePointer) override {}
    void closeAll() override {}

    // Boxes with this text are not logged: the program reports it its own way.
    void setUnlogged(const QString &text) { unlogged_ = text; }

    // Questions asked while one lives are answered OK.
    class AgreedScope {
    public:
        explicit AgreedScope(HeadlessDesktop &desktop) : desktop_(desktop) { ++desktop_.agreed_; }
        ~AgreedScope() { --desktop_.agreed_; }
        AgreedScope(const AgreedScope &) = delete;
        AgreedScope &operator=(const AgreedScope &) = delete;

    private:
        HeadlessDesktop &desktop_;
    };

private:
    static constexpr int NoAssociation = 31;

    int answer(const QString &text, MsgButtons buttons);

    QString unlogged_;
    int agreed_ = 0;
};

// A box's text on one line: its line breaks become blanks.
QString oneLine(const QString &text);
