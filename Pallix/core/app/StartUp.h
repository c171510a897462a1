// The Control Center's start before its icon appears: one copy per desktop,
// not beside the service, a notification area, the device library. The
// front end then shows its icon and starts the watch.
#pragma once

#include "app/Platform.h"

#include <functional>
#include <memory>

// The place of this PC's monitor, held while the Control Center runs; null
// after a box has told the person why the application ends (a library
// that cannot be loaded is logged too). waitForTray waits a while for a
// notification area and says whether there is one.
std::unique_ptr<MonitorLock> mayStart(const std::function<bool()> &waitForTray);
