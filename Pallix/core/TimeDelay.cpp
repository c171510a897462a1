#include "TimeDelay.h"

#include "MousePointer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

void DelayMs(int milliseconds)
{
    SetMousePointer(MousePointer::ArrowHourglass);
    if (milliseconds > 0) {
        QEventLoop loop;
        QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
    SetMousePointer(MousePointer::Default);
    QCoreApplication::processEvents();
}
