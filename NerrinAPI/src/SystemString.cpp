#include "SystemString.h"

#include <cstring>

BSTR nrSystemString(const char *bytes, uint32_t length) {
    return SysAllocStringByteLen(bytes, length);
}

BSTR nrSystemText(const char *text) {
    return nrSystemString(text, static_cast<uint32_t>(std::strlen(text)));
}
