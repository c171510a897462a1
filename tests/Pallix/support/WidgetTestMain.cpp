// gtest main for window tests: one QApplication, offscreen.
#include <QApplication>
#include <QThreadPool>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // Qt paints large images on its global pool. A pool thread still ending
    // when the process exits leaves its thread data to the leak checker, so
    // the pool is emptied while there is time for its threads to finish.
    QThreadPool::globalInstance()->waitForDone();
    return result;
}
