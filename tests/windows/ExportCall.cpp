#include "ExportCall.h"

#include <algorithm>

namespace {

constexpr size_t kMaxArguments = 6;

#if defined(_M_IX86) || defined(__i386__)

// Pushes `count` words right to left, calls, and stores how far the stack
// pointer stands below where it stood before the pushes. A __stdcall callee
// leaves 0; a caller-pops (cdecl) callee leaves 4 per argument.
extern "C" __attribute__((naked)) intptr_t stackCheckedCall(const void * /*function*/,
                                                             const intptr_t * /*arguments*/,
                                                             int /*count*/, intptr_t * /*left*/) {
    asm("push %ebp\n\t"
        "mov %esp, %ebp\n\t"
        "push %esi\n\t"
        "mov 12(%ebp), %edx\n\t"
        "mov 16(%ebp), %ecx\n\t"
        "mov %esp, %esi\n\t"
        "1:\n\t"
        "test %ecx, %ecx\n\t"
        "jz 2f\n\t"
        "dec %ecx\n\t"
        "pushl (%edx,%ecx,4)\n\t"
        "jmp 1b\n\t"
        "2:\n\t"
        "call *8(%ebp)\n\t"
        "mov %esi, %ecx\n\t"
        "sub %esp, %ecx\n\t"
        "mov 20(%ebp), %edx\n\t"
        "mov %ecx, (%edx)\n\t"
        "mov %esi, %esp\n\t"
        "pop %esi\n\t"
        "pop %ebp\n\t"
        "ret\n\t");
}

#endif

}  // namespace

ExportResult callExport(const void *function, const std::vector<intptr_t> &arguments) {
    intptr_t words[kMaxArguments] = {};
    const size_t count = std::min(arguments.size(), kMaxArguments);
    std::copy_n(arguments.begin(), count, words);
    ExportResult result;
#if defined(_M_IX86) || defined(__i386__)
    result.value = stackCheckedCall(function, words, static_cast<int>(count),
                                    &result.stackLeft);
#else
    // The x64 convention has one caller-cleans form; surplus register
    // arguments are ignored by the callee.
    using SixWords = intptr_t (*)(intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t);
    const auto call = reinterpret_cast<SixWords>(const_cast<void *>(function));
    result.value = call(words[0], words[1], words[2], words[3], words[4], words[5]);
#endif
    return result;
}
