// The desktop as the Windows Control Center shows it: boxes that never hold
// the loop, the message window, documents opened by the shell.
#pragma once

#include "app/Desktop.h"

#include <list>
#include <memory>

class frmBox;

class Win32Desktop : public Desktop {
public:
    Win32Desktop();
    ~Win32Desktop() override;

    int messageBox(const std::string &text, const std::string &title, MsgIcon icon,
                   MsgButtons buttons) override;
    void showBox(const std::string &text, const std::string &title, MsgIcon icon,
                 MsgButtons buttons, BoxAnswered answered) override;
    void showMessageWindow(const std::string &text, BoxAnswered answered) override;
    int openDocument(const std::string &pathOrUrl) override;
    bool trayAvailable() override { return true; }   // every Windows desktop has a notification area
    void setMousePointer(MousePointer pointer) override;
    void closeAll() override;

private:
    std::list<std::unique_ptr<frmBox>> boxes_;
};
