// Calls a library export the way a host that declares it does: arguments
// pushed right to left, and on 32-bit the callee pops them (__stdcall).
#pragma once

#include <cstdint>
#include <vector>

struct ExportResult {
    intptr_t value = 0;      // eax/rax: an int32 status or a system string
    intptr_t stackLeft = 0;  // bytes the call left on the stack; 0 when it kept the convention
};

// At most six 32-bit arguments (integers or pointers).
ExportResult callExport(const void *function, const std::vector<intptr_t> &arguments);
