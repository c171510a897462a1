#include "app/TrayMouse.h"

TrayMouseAction decodeTrayMessage(int message)
{
    switch (message) {
    case TrayLeftButtonUp: return TrayMouseAction::RestoreAndMenu;
    case TrayLeftDoubleClick: return TrayMouseAction::Restore;
    case TrayRightButtonUp: return TrayMouseAction::Menu;
    default: return TrayMouseAction::Nothing;
    }
}
