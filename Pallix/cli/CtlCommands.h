// Runs one pallixctl command: the request made from the command line, the
// way to the device chosen, the replies printed for a person or as JSON.
#pragma once

#include "CtlOptions.h"

// The exit status: 0 done, 1 failed, 2 bad input, 130 interrupted.
int runCtl(const CtlRequest &request);
