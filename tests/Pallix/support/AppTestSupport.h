// An application folder of its own for each test: the built library, icons,
// guide and image linked in, the log private to the test (in the folder,
// or in a state folder inside it when the log leaves the folder).
#pragma once

#include "TestLoop.h"

#include <string>
#include <vector>

class TestAppFolder {
public:
    TestAppFolder();   // also sets appState().appPath
    ~TestAppFolder();
    TestAppFolder(const TestAppFolder &) = delete;
    TestAppFolder &operator=(const TestAppFolder &) = delete;

    std::string path() const;                // with a trailing separator
    std::string logText() const;             // log.txt, empty when missing
    std::vector<std::string> logLines() const;   // entries without their " --- <time>" stamp

private:
    std::string path_;
};

// Sets an environment variable for the rest of the test's process.
void setEnvironment(const char *name, const std::string &value);
