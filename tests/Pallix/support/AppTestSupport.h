// An application folder of its own for each test: the built library, icons,
// guide and image linked in, the log private to the test (in the folder,
// or in a state folder inside it when the log leaves the folder).
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <functional>

class TestAppFolder {
public:
    TestAppFolder();                // also sets appState().appPath
    QString path() const;           // with a trailing separator
    QString logText() const;        // log.txt, empty when missing
    QStringList logLines() const;   // entries without their " --- <time>" stamp

private:
    QTemporaryDir dir_;
};

// Runs the event loop until pred() holds or the time is up; true when it held.
bool waitUntil(const std::function<bool()> &pred, int timeoutMs);
