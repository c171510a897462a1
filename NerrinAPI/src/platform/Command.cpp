#include "platform/Command.h"

#include <cstdio>
#include <cstdlib>

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

int32_t nrRunCommand(const char *commandLine) {
    std::fflush(stdout);
    const int result = std::system(commandLine);
#if defined(_WIN32)
    return result;
#else
    if (result == -1 || !WIFEXITED(result)) return -1;
    return WEXITSTATUS(result);
#endif
}
