// The desktop of a program nobody looks at (the service, the command line):
// every box becomes one log entry and nothing waits. Questions are answered
// Cancel; an offer to restore is answered OK (the service restores by its
// own option, not by a box).
#pragma once

#include "app/Desktop.h"

class HeadlessDesktop : public Desktop {
public:
    int messageBox(const std::string &text, const std::string &title, MsgIcon icon,
                   MsgButtons buttons) override;
    void showBox(const std::string &text, const std::string &title, MsgIcon icon,
                 MsgButtons buttons, BoxAnswered answered) override;
    void showMessageWindow(const std::string &text, BoxAnswered answered) override;
    int openDocument(const std::string &) override { return NoAssociation; }
    bool trayAvailable() override { return false; }
    void setMousePointer(MousePointer) override {}
    void closeAll() override {}

    // Boxes with this text are not logged: the program reports it its own way.
    void setUnlogged(const std::string &text) { unlogged_ = text; }

private:
    static constexpr int NoAssociation = 31;

    int answer(const std::string &text, MsgButtons buttons);

    std::string unlogged_;
};

// A box's text on one line: its line breaks become blanks.
std::string oneLine(const std::string &text);
