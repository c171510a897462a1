// Length-prefixed, zero-terminated byte strings, as OLE Automation hands them
// out on Windows, so a caller frees a result the same way everywhere.
#if !defined(_WIN32)

#include <cstdlib>
#include <cstring>

#include "NerrinAPI.h"

namespace {

constexpr size_t kPrefixSize = sizeof(uint32_t);

char *blockOf(BSTR text) { return text - kPrefixSize; }

}  // namespace

extern "C" {

NR_EXPORT BSTR NR_CALL SysAllocStringByteLen(const char *bytes, uint32_t length) {
    char *block = static_cast<char *>(std::malloc(kPrefixSize + length + 1));
    if (block == nullptr) return nullptr;
    std::memcpy(block, &length, kPrefixSize);
    BSTR text = block + kPrefixSize;
    if (bytes != nullptr) {
        std::memcpy(text, bytes, length);
    } else {
        std::memset(text, 0, length);
    }
    text[length] = '\0';
    return text;
}

NR_EXPORT void NR_CALL SysFreeString(BSTR text) {
    if (text != nullptr) std::free(blockOf(text));
}

NR_EXPORT uint32_t NR_CALL SysStringByteLen(BSTR text) {
    if (text == nullptr) return 0;
    uint32_t length;
    std::memcpy(&length, blockOf(text), kPrefixSize);
    return length;
}

}  // extern "C"

#endif
