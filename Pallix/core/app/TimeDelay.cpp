#include "app/TimeDelay.h"

#include "app/Desktop.h"
#include "loop/Waits.h"

loop::Task<> delayMs(int milliseconds)
{
    setMousePointer(MousePointer::ArrowHourglass);
    if (milliseconds > 0) co_await loop::delay{loop::Duration(milliseconds)};
    setMousePointer(MousePointer::Default);
    co_await loop::letEventsRun();
}
