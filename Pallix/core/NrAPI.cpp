#include "NrAPI.h"

#include "AppPaths.h"
#include "AppState.h"
#include "NerrinAPI.h"
#include "Notice.h"

#include <QLibrary>
#include <atomic>
#include <cstdio>

namespace NrAPI {
namespace {

struct Library {
    QLibrary file;
    bool tried = false;
    bool loaded = false;
    QString reason;
};

Library &library()
{
    static Library lib;
    return lib;
}

// Atomic so a test may ask from another thread while a call blocks.
std::atomic<bool> callInProgress = false;

// Marks a library call as running for as long as it lives.
class CallScope {
public:
    CallScope() { callInProgress = true; }
    ~CallScope() { callInProgress = false; }
    CallScope(const CallScope &) = delete;
    CallScope &operator=(const CallScope &) = delete;
};

// The library's own boxes ("Nerrin") shown the application's way: without
// waiting, so the call returns, and one copy however often the call repeats.
void showLibraryMessage(const char *caption, const char *text)
{
    showNotice(QString::fromLocal8Bit(text), QString::fromLocal8Bit(caption), MsgIcon::None);
}

template <typename Fn> Fn symbol(const char *name)
{
    if (!load()) return nullptr;
    return reinterpret_cast<Fn>(library().file.resolve(name));
}

template <typename Fn, typename... Args> int32_t callStatus(const char *name, Args... args)
{
    if (callInProgress) return BusyStatus;
    Fn fn = symbol<Fn>(name);
    if (!fn) return NotLoadedStatus;
    CallScope scope;
    return fn(args...);
}

// Copies a system string and frees it.
QString takeText(BSTR text)
{
    if (!text) return {};
    using LengthFn = uint32_t(NR_CALL *)(BSTR);
    using FreeFn = void(NR_CALL *)(BSTR);
    const auto length = symbol<LengthFn>("SysStringByteLen");
    const auto release = symbol<FreeFn>("SysFreeString");
    const QString copy = QString::fromLatin1(text, length ? qsizetype(length(text)) : -1);
    if (release) release(text);
    return copy;
}

template <typename... Args> QString callText(const char *name, Args... args)
{
    using Fn = BSTR(NR_CALL *)(Args...);
    if (callInProgress) return {};
    Fn fn = symbol<Fn>(name);
    if (!fn) return {};
    BSTR text = nullptr;
    {
        CallScope scope;
        text = fn(args...);
    }
    return takeText(text);
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

}   // namespace

bool busy() { return callInProgress; }

bool load(QString *reason)
{
    Library &lib = library();
    if (!lib.tried) {
        lib.tried = true;
        lib.file.setFileName(appFile(AppFile::Library));
        lib.loaded = lib.file.load();
        if (lib.loaded) {
            using HandlerFn = void(NR_CALL *)(NrMessageHandler);
            if (auto install = reinterpret_cast<HandlerFn>(lib.file.resolve("NrSetMessageHandler")))
                install(&showLibraryMessage);
        } else {
            lib.reason = lib.file.errorString();
            std::fprintf(stderr, "Pallix: cannot load the device library: %s\n",
                         lib.reason.toLocal8Bit().constData());
        }
    }
    if (reason) *reason = lib.reason;
    return lib.loaded;
}

int32_t NrDiscovery(const QString &address)
{
    const QByteArray text = address.toLatin1();
    return callStatus<TextArg>("NrDiscovery", text.constData());
}
int32_t NrDiscoveryCount() { return callStatus<NoArg>("NrDiscoveryCount"); }
QString NrGetDevice(int32_t slot) { return callText("NrGetDevice", slot); }
int32_t NrSetDevice(const QString &address)
{
    const QByteArray text = address.toLatin1();
    return callStatus<TextArg>("NrSetDevice", text.constData());
}
QString NrGetFirmwareVersion() { return callText("NrGetFirmwareVersion"); }
QString NrGetMACAddress() { return callText("NrGetMACAddress"); }
QString NrGetDiscoveryString() { return callText("NrGetDiscoveryString"); }

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
