// Text results handed to the caller as system strings.
#pragma once

#include <cstdint>

#include "NerrinAPI.h"

BSTR nrSystemString(const char *bytes, uint32_t length);
// The text up to its first zero byte.
BSTR nrSystemText(const char *text);
