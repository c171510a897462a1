// Placeholder until the firmware check lands: no device is offered an update.
#include "WindowHooks.h"

void FirmwareCheck() {}
