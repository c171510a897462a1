#include "TimeDelay.h"

#include "MousePointer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

void delayMs(int milliseconds)
{
    setMousePointer(MousePointer::ArrowHourglass);
    if (milliseconds > 0) {
        QEventLoop loop;
        QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
    setMousePointer(MousePointer::Default);
    QCoreApplication::processEvents();
}
