#include "device/NrAPI.h"

#include "NerrinAPI.h"
#include "app/AppPaths.h"
#include "app/AppState.h"
#include "app/Notice.h"
#include "app/Text.h"
#include "device/DynamicLibrary.h"
#include "loop/EventLoop.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <thread>

namespace NrAPI {
namespace {

struct Library {
    std::once_flag tried;
    DynamicLibrary file;
    std::once_flag handlersInstalled;
};

Library &library()
{
    static Library lib;
    return lib;
}

std::mutex ownerMutex;
std::optional<std::thread::id> owner;

void checkThread()
{
    const std::lock_guard lock(ownerMutex);
    if (!owner || *owner == std::this_thread::get_id()) return;
    std::fputs("Pallix: a device library call outside the device thread\n", stderr);
    std::abort();
}

// The library's own boxes ("Nerrin") come from the device thread; they are
// shown the application's way, on the loop's thread, without waiting, and
// one copy however often the call repeats.
void showLibraryMessage(const char *caption, const char *text)
{
    std::string utf8Text = latin1ToUtf8(text ? text : "");
    std::string utf8Caption = latin1ToUtf8(caption ? caption : "");
    loop::EventLoop::current().post([utf8Text, utf8Caption] {
        showNotice(utf8Text, utf8Caption, MsgIcon::None);
    });
}

std::atomic<Diagnostics> diagnostics{Diagnostics::StandardOutput};

// Blank lines between them are the library's spacing on a console.
void diagnosticToStandardError(const char *text)
{
    std::string lines(text ? text : "");
    for (size_t start = 0; start < lines.size();) {
        const size_t end = std::min(lines.find('\n', start), lines.size());
        if (end > start) std::fprintf(stderr, "%s\n", lines.substr(start, end - start).c_str());
        start = end + 1;
    }
    std::fflush(stderr);
}

void diagnosticDropped(const char *) {}

template <typename Fn> Fn symbol(const char *name)
{
    if (!load()) return nullptr;
    return reinterpret_cast<Fn>(library().file.symbol(name));
}

void installHandlers()
{
    std::call_once(library().handlersInstalled, [] {
        using HandlerFn = void(NR_CALL *)(NrMessageHandler);
        if (auto install = symbol<HandlerFn>("NrSetMessageHandler")) install(&showLibraryMessage);
        using DiagnosticFn = void(NR_CALL *)(NrDiagnosticHandler);
        const auto sendTo = symbol<DiagnosticFn>("NrSetDiagnosticHandler");
        if (sendTo && diagnostics == Diagnostics::StandardError) sendTo(&diagnosticToStandardError);
        if (sendTo && diagnostics == Diagnostics::Dropped) sendTo(&diagnosticDropped);
    });
}

template <typename Fn, typename... Args> int32_t callStatus(const char *name, Args... args)
{
    checkThread();
    Fn fn = symbol<Fn>(name);
    if (!fn) return NotLoadedStatus;
    installHandlers();
    return fn(args...);
}

// Copies a system string and frees it.
std::string takeText(BSTR text)
{
    if (!text) return {};
    using LengthFn = uint32_t(NR_CALL *)(BSTR);
    using FreeFn = void(NR_CALL *)(BSTR);
    const auto length = symbol<LengthFn>("SysStringByteLen");
    const auto release = symbol<FreeFn>("SysFreeString");
    const std::string copy = length ? std::string(reinterpret_cast<const char *>(text), length(text))
                                    : std::string(reinterpret_cast<const char *>(text));
    if (release) release(text);
    return latin1ToUtf8(copy);
}

template <typename... Args> std::string callText(const char *name, Args... args)
{
    using Fn = BSTR(NR_CALL *)(Args...);
    checkThread();
    Fn fn = symbol<Fn>(name);
    if (!fn) return {};
    installHandlers();
    return takeText(fn(args...));
}

using GetOne = int32_t(NR_CALL *)(int32_t *);
using GetTwo = int32_t(NR_CALL *)(int32_t *, int32_t *);
using GetFour = int32_t(NR_CALL *)(int32_t *, int32_t *, int32_t *, int32_t *);
using GetSix = int32_t(NR_CALL *)(int32_t *, int32_t *, int32_t *, int32_t *, int32_t *, int32_t *);
using SetOne = int32_t(NR_CALL *)(int32_t);
using SetTwo = int32_t(NR_CALL *)(int32_t, int32_t);
using SetFour = int32_t(NR_CALL *)(int32_t, int32_t, int32_t, int32_t);
using TextArg = int32_t(NR_CALL *)(const char *);
using NoArg = int32_t(NR_CALL *)();

int32_t callWithText(const char *name, const std::string &text)
{
    const std::string latin1 = utf8ToLatin1(text);
    return callStatus<TextArg>(name, latin1.c_str());
}

}   // namespace

bool load(std::string *reason)
{
    Library &lib = library();
    std::call_once(lib.tried, [&lib] {
        if (!lib.file.load(appFile(AppFile::Library)))
            std::fprintf(stderr, "Pallix: cannot load the device library: %s\n",
                         lib.file.error().c_str());
    });
    if (reason) *reason = lib.file.error();
    return lib.file.loaded();
}

void setDiagnostics(Diagnostics where) { diagnostics = where; }

void setOwnerThread(bool owned)
{
    const std::lock_guard lock(ownerMutex);
    if (owned)
        owner = std::this_thread::get_id();
    else
        owner.reset();
}

int32_t NrDiscovery(const std::string &address) { return callWithText("NrDiscovery", address); }
int32_t NrDiscoveryCount() { return callStatus<NoArg>("NrDiscoveryCount"); }
std::string NrGetDevice(int32_t slot) { return callText("NrGetDevice", slot); }
int32_t NrSetDevice(const std::string &address) { return callWithText("NrSetDevice", address); }
std::string NrGetFirmwareVersion() { return callText("NrGetFirmwareVersion"); }
std::string NrGetMACAddress() { return callText("NrGetMACAddress"); }
std::string NrGetDiscoveryString() { return callText("NrGetDiscoveryString"); }

#define NR_GET1(name)                                                                              \
    int32_t name(int32_t &v) { return callStatus<GetOne>(#name, &v); }
#define NR_SET1(name)                                                                              \
    int32_t name(int32_t v) { return callStatus<SetOne>(#name, v); }

NR_GET1(pallixGetGlobalStatus)
NR_SET1(pallixSetGlobalStatus)
NR_GET1(pallixGetPowerOnDelay)
NR_GET1(pallixGetPowerOffDelay)
NR_SET1(pallixSetPowerOnDelay)
NR_SET1(pallixSetPowerOffDelay)
NR_GET1(pallixGetOutOnDelay1)
NR_SET1(pallixSetOutOnDelay1)
NR_GET1(pallixGetOutOffDelay1)
NR_SET1(pallixSetOutOffDelay1)
NR_GET1(pallixGetOutOnDelay2)
NR_SET1(pallixSetOutOnDelay2)
NR_GET1(pallixGetOutOffDelay2)
NR_SET1(pallixSetOutOffDelay2)
NR_GET1(pallixGetACPIPulseWidth1)
NR_SET1(pallixSetACPIPulseWidth1)
NR_GET1(pallixGetACPIPulseWidth2)
NR_SET1(pallixSetACPIPulseWidth2)
NR_GET1(pallixGetWDTEnable)
NR_SET1(pallixSetWDTEnable)
NR_GET1(pallixGetShutdownAction)
NR_SET1(pallixSetShutdownAction)

#undef NR_GET1
#undef NR_SET1

int32_t pallixGetOutState(int32_t &f0, int32_t &f1, int32_t &f2, int32_t &f3, int32_t &f4,
                          int32_t &f5)
{
    return callStatus<GetSix>("pallixGetOutState", &f0, &f1, &f2, &f3, &f4, &f5);
}
int32_t pallixSetOutState(int32_t f2, int32_t f3, int32_t f4, int32_t f5)
{
    return callStatus<SetFour>("pallixSetOutState", f2, f3, f4, f5);
}
int32_t pallixGetOutACPIEnable(int32_t &f0, int32_t &f1)
{
    return callStatus<GetTwo>("pallixGetOutACPIEnable", &f0, &f1);
}
int32_t pallixSetOutACPIEnable(int32_t f0, int32_t f1)
{
    return callStatus<SetTwo>("pallixSetOutACPIEnable", f0, f1);
}
int32_t pallixSetPowerInEnable(int32_t f0, int32_t f1)
{
    return callStatus<SetTwo>("pallixSetPowerInEnable", f0, f1);
}
int32_t pallixGetPowerInEnable(int32_t &f0, int32_t &f1)
{
    return callStatus<GetTwo>("pallixGetPowerInEnable", &f0, &f1);
}
int32_t pallixGetOutInEnable(int32_t &f0, int32_t &f1, int32_t &f2, int32_t &f3)
{
    return callStatus<GetFour>("pallixGetOutInEnable", &f0, &f1, &f2, &f3);
}
int32_t pallixSetOutInEnable(int32_t f0, int32_t f1, int32_t f2, int32_t f3)
{
    return callStatus<SetFour>("pallixSetOutInEnable", f0, f1, f2, f3);
}
int32_t pallixGetInState(int32_t &f0, int32_t &f1)
{
    return callStatus<GetTwo>("pallixGetInState", &f0, &f1);
}

}   // namespace NrAPI
