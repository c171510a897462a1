#include "NotificationSetting.h"

#include <windows.h>

namespace {
constexpr wchar_t Key[] = L"Software\\Pallix";
constexpr wchar_t Value[] = L"Notifications";
}   // namespace

bool notificationsWanted()
{
    DWORD wanted = 1;
    DWORD size = sizeof wanted;
    RegGetValueW(HKEY_CURRENT_USER, Key, Value, RRF_RT_REG_DWORD, nullptr, &wanted, &size);
    return wanted != 0;
}

void rememberNotificationsWanted(bool wanted)
{
    const DWORD value = wanted ? 1 : 0;
    RegSetKeyValueW(HKEY_CURRENT_USER, Key, Value, REG_DWORD, &value, sizeof value);
}
