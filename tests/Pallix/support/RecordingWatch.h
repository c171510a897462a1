// The device watch a program runs, with what it asked of the tray icon
// recorded, for tests that run without the tray window.
#pragma once

#include "DeviceWatch.h"

#include <QList>

class RecordingWatch : public DeviceWatch {
public:
    RecordingWatch()
    {
        connect(this, &DeviceWatch::searchShown, this, [this](int index) { icons << index; });
    }

    bool searching() const { return search.discoveryTimer.isActive(); }

    QList<int> icons;   // 0 red, 1 gray
};
