/* NerrinAPI: the Pallix device protocol library, flat C ABI. */
#ifndef NERRINAPI_H
#define NERRINAPI_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define NR_CALL __stdcall
#else
#define NR_CALL
#endif

#if defined(_WIN32)
#ifdef NERRINAPI_BUILD
/* NerrinAPI.def alone names the exports and their ordinals. */
#define NR_EXPORT
#else
#define NR_EXPORT __declspec(dllimport)
#endif
#else
#define NR_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Text results are system strings: a byte buffer with its length stored
   in the four bytes before it and a terminating zero after it. The caller
   frees every one it receives with SysFreeString. */
#if defined(_WIN32)
#include <windows.h>
#include <oleauto.h>
#else
typedef char *BSTR;
NR_EXPORT BSTR NR_CALL SysAllocStringByteLen(const char *bytes, uint32_t length);
NR_EXPORT void NR_CALL SysFreeString(BSTR text);
NR_EXPORT uint32_t NR_CALL SysStringByteLen(BSTR text);
#endif

/* Discovery and device selection. */
NR_EXPORT int32_t NR_CALL NrDiscovery(const char *address);
NR_EXPORT int32_t NR_CALL NrDiscoveryCount(void);
NR_EXPORT BSTR NR_CALL NrGetDevice(int32_t slot);
NR_EXPORT int32_t NR_CALL NrSetDevice(const char *address);
NR_EXPORT BSTR NR_CALL NrGetFirmwareVersion(void);
NR_EXPORT BSTR NR_CALL NrGetMACAddress(void);
NR_EXPORT BSTR NR_CALL NrGetDiscoveryString(void);

/* Registers of the selected device. Get functions store through their
   pointers only on status 0. */
NR_EXPORT int32_t NR_CALL pallixGetGlobalStatus(int32_t *value);
NR_EXPORT int32_t NR_CALL pallixSetGlobalStatus(int32_t value);
NR_EXPORT int32_t NR_CALL pallixGetPowerOnDelay(int32_t *value);
NR_EXPORT int32_t NR_CALL pallixGetPowerOffDelay(int32_t *value);
NR_EXPORT int32_t NR_CALL pallixSetPowerOnDelay(int32_t value);
NR_EXPORT int32_t NR_CALL pallixSetPowerOffDelay(int32_t value);
NR_EXPORT int32_t NR_CALL pallixGetOutOnDelay1(int32_t *value);
NR_EXPORT int32_t NR_CALL pallixSetOutOnDelay1(int32_t value);
NR_EXPORT int32_t NR_CALL pallixGetOutOffDelay1(int32_t *value);
NR_EXPORT int32_t NR_CALL pallixSetOutOffDelay1(int32_t value);
NR_EXPORT int32_t NR_CALL pallixGetOutOnDelay2(int32_t *value);
NR_EXPORT int32_t NR_CALL pallixSetOutOnDelay2(int32_t value);
NR_EXPORT int32_t NR_CALL pallixGetOutOffDelay2(int32_t *value);
NR_EXPORT int32_t NR_CALL pallixSetOutOffDelay2(int32_t value);
NR_EXPORT int32_t NR_CALL pallixGetOutState(int32_t *f0, int32_t *f1, int32_t *f2,
                                            int32_t *f3, int32_t *f4, int32_t *f5);
NR_EXPORT int32_t NR_CALL pallixSetOutState(int32_t f2, int32_t f3, int32_t f4, int32_t f5);
NR_EXPORT int32_t NR_CALL pallixGetOutACPIEnable(int32_t *f0, int32_t *f1);
NR_EXPORT int32_t NR_CALL pallixSetOutACPIEnable(int32_t f0, int32_t f1);
NR_EXPORT int32_t NR_CALL pallixSetPowerInEnable(int32_t f0, int32_t f1);
NR_EXPORT int32_t NR_CALL pallixGetPowerInEnable(int32_t *f0, int32_t *f1);
NR_EXPORT int32_t NR_CALL pallixGetACPIPulseWidth1(int32_t *value);
NR_EXPORT int32_t NR_CALL pallixSetACPIPulseWidth1(int32_t value);
NR_EXPORT int32_t NR_CALL pallixGetACPIPulseWidth2(int32_t *value);
NR_EXPORT int32_t NR_CALL pallixSetACPIPulseWidth2(int32_t value);
NR_EXPORT int32_t NR_CALL pallixGetWDTEnable(int32_t *value);
NR_EXPORT int32_t NR_CALL pallixSetWDTEnable(int32_t value);
NR_EXPORT int32_t NR_CALL pallixGetOutInEnable(int32_t *f0, int32_t *f1, int32_t *f2, int32_t *f3);
NR_EXPORT int32_t NR_CALL pallixSetOutInEnable(int32_t f0, int32_t f1, int32_t f2, int32_t f3);
NR_EXPORT int32_t NR_CALL pallixGetShutdownAction(int32_t *value);
NR_EXPORT int32_t NR_CALL pallixSetShutdownAction(int32_t value);
NR_EXPORT int32_t NR_CALL pallixGetInState(int32_t *f0, int32_t *f1);

/* Firmware programming, for the updater program. Needs the discovery that
   found the device to have run just before: its MAC address goes into the
   image. Returns 0 when the device was reprogrammed and answers again; every
   failure has a code of its own and a message box that says what failed and
   what the device is left with. */
#define NR_FIRMWARE_UPDATED 0
#define NR_FIRMWARE_IMAGE_REFUSED 1 /* nothing was sent */
#define NR_FIRMWARE_NO_DEVICE 2     /* no probe answer; only leave-program-mode was sent */
#define NR_FIRMWARE_DEVICE_LOST 3   /* silent for too long after the flash copy */
#define NR_FIRMWARE_ENTER_FAILED 4  /* no answer to enter program mode; old firmware untouched */
#define NR_FIRMWARE_ERASE_FAILED 5  /* no answer to a block erase */
#define NR_FIRMWARE_WRITE_FAILED 6  /* no answer to a block write */
#define NR_FIRMWARE_COPY_FAILED 7   /* no answer to the flash copy */
#define NR_FIRMWARE_LEAVE_FAILED 8  /* image written, no answer to leave program mode */
#define NR_FIRMWARE_NOT_RUNNING 9   /* left program mode, but answers no register read */
NR_EXPORT int32_t NR_CALL nrFirmwareUpdate(const char *deviceAddress, const char *imagePath);

/* A host replaces the library's modal message box (standard error by
   default on this platform); null restores the default. */
typedef void (*NrMessageHandler)(const char *caption, const char *text);
NR_EXPORT void NR_CALL NrSetMessageHandler(NrMessageHandler handler);

/* A host takes the library's diagnostic lines ("No Reply Error", ...),
   written to standard output by default, each text as the library would
   print it; null restores the default. */
typedef void (*NrDiagnosticHandler)(const char *text);
NR_EXPORT void NR_CALL NrSetDiagnosticHandler(NrDiagnosticHandler handler);

#ifdef __cplusplus
}
#endif

#endif
