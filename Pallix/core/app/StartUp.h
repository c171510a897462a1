// The Control Center's start before its icon appears: one copy per desktop,
// not beside the service, a notification area, the device library. The
// front end then shows its icon and starts the watch.
#pragma once

#include <functional>
#include <string>

// False after a box has told the person why the application ends (a
// library that cannot be loaded is logged too). waitForTray waits a while
// for a notification area and says whether there is one. Started at login
// beside the service, which every login would otherwise greet with a box,
// it is true with standingBy set to why it must not watch: the front end
// says so quietly and ends.
bool mayStart(const std::function<bool()> &waitForTray, std::string *standingBy);
