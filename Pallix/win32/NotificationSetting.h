// Whether the icon shows balloon notifications: on until the user switches
// them off, remembered under HKEY_CURRENT_USER\Software\Pallix.
#pragma once

bool notificationsWanted();
void rememberNotificationsWanted(bool wanted);
