// Whether the Control Center may start, decided before anything is shown: the
// front end then shows its icon and starts the watch.
#pragma once

#include "app/Platform.h"

#include <functional>
#include <memory>
#include <string>

// What the front end goes on with: the place of this PC's monitor, held
// while it watches; or, started at login beside another monitor, which
// every login would otherwise greet with a box, why it stands by (it says
// so quietly and ends). Neither after a box has told the person why the
// application ends (a library that cannot be loaded is logged too).
struct StartDecision {
    std::unique_ptr<MonitorLock> monitorLock;
    std::string standingBy;

    bool goesOn() const { return monitorLock || !standingBy.empty(); }
};

// waitForTray waits a while for a notification area and says whether
// there is one.
StartDecision mayStart(const std::function<bool()> &waitForTray);
