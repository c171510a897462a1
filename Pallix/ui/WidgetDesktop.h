// The desktop as the Control Center's windows show it: Qt message boxes,
// the message window, documents opened by the desktop's own programs.
#pragma once

#include "Desktop.h"

class WidgetDesktop : public Desktop {
public:
    int messageBox(const QString &text, const QString &title, MsgIcon icon,
                   MsgButtons buttons) override;
    void showBox(const QString &text, const QString &title, MsgIcon icon, MsgButtons buttons,
                 BoxAnswered answered) override;
    void showMessageWindow(const QString &text, BoxAnswered answered) override;
    int openDocument(const QString &pathOrUrl) override;
    bool trayAvailable() override;
    void setMousePointer(MousePointer pointer) override;
    void closeAll() override;
};
