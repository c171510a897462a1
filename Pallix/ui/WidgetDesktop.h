// The desktop as the Control Center's windows show it: Qt message boxes,
// the message window, documents opened by the desktop's own programs.
#pragma once

#include "app/Desktop.h"

class WidgetDesktop : public Desktop {
public:
    int messageBox(const std::string &text, const std::string &title, MsgIcon icon,
                   MsgButtons buttons) override;
    void showBox(const std::string &text, const std::string &title, MsgIcon icon,
                 MsgButtons buttons, BoxAnswered answered) override;
    void showMessageWindow(const std::string &text, BoxAnswered answered) override;
    int openDocument(const std::string &pathOrUrl) override;
    bool trayAvailable() override;
    void setMousePointer(MousePointer pointer) override;
    void closeAll() override;
};
