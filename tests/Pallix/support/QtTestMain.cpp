// gtest main for tests on Qt's loop: one application (for window tests a
// QApplication, offscreen), the core's loop on Qt's and a device thread.
#include "QtEventLoop.h"
#include "TestLoop.h"
#include "device/DeviceThread.h"

#ifdef PALLIX_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif
#include <QElapsedTimer>
#include <QThread>
#include <QThreadPool>
#include <gtest/gtest.h>

namespace {

class QtRunner : public TestRunner {
public:
    bool runUntil(const std::function<bool()> &pred, int timeoutMs) override
    {
        QElapsedTimer clock;
        clock.start();
        while (!pred()) {
            if (clock.elapsed() > timeoutMs) return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(2);
        }
        return true;
    }
};

}   // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    QtEventLoop loop;
    loop::EventLoop::install(&loop);
    int result = 0;
    {
        DeviceThread device(loop);
        DeviceThread::install(&device);
        QtRunner runner;
        TestRunner::install(&runner);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
        TestRunner::install(nullptr);
    }
    // Qt paints large images on its global pool. A pool thread still ending
    // when the process exits leaves its thread data to the leak checker, so
    // the pool is emptied while there is time for its threads to finish.
    QThreadPool::globalInstance()->waitForDone();
    return result;
}
