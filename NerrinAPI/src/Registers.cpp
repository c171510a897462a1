// The exported register functions, each addressed to the selected device.
#include <initializer_list>

#include "NerrinAPI.h"
#include "Packet.h"
#include "Requests.h"
#include "State.h"
#include "Transport.h"

namespace {

enum Register : int32_t {
    kGlobalStatus = 0,
    kOutOnDelay1 = 1,
    kOutOnDelay2 = 2,
    kOutOffDelay1 = 3,
    kOutOffDelay2 = 4,
    kOutState = 5,
    kOutInEnable = 7,
    kOutACPIEnable = 8,
    kPowerOnDelay = 9,
    kPowerOffDelay = 10,
    kPowerInEnable = 11,
    kInState = 12,
    kACPIPulseWidth1 = 13,
    kACPIPulseWidth2 = 14,
    kWDTEnable = 15,
    kShutdownAction = 16,
};

enum class SocketAround { Open, Leave };

int32_t readRegister(Register reg, int32_t &value, SocketAround around = SocketAround::Open) {
    if (around == SocketAround::Open) nrOpenSocket(nrLib.deviceAddress);
    const int32_t status = nrGetMem(nrLib.deviceAddress, reg, 1);
    if (status == kNrOk) value = nrReplyValue(nrLib.replySlots[0]);
    if (around == SocketAround::Open) nrCloseSocket();
    return status;
}

int32_t getByte(Register reg, int32_t *out) {
    int32_t value = 0;
    const int32_t status = readRegister(reg, value);
    if (status == kNrOk && out != nullptr) *out = value;
    return status;
}

// Stores bit k of the register through the k-th pointer.
int32_t getFlags(Register reg, std::initializer_list<int32_t *> flags,
                 SocketAround around = SocketAround::Open) {
    int32_t value = 0;
    const int32_t status = readRegister(reg, value, around);
    if (status != kNrOk) return status;
    int bit = 0;
    for (int32_t *flag : flags) {
        if (flag != nullptr) *flag = (value >> bit) & 1;
        ++bit;
    }
    return status;
}

int32_t setByte(Register reg, int32_t value) {
    nrOpenSocket(nrLib.deviceAddress);
    return nrSetMemInt(nrLib.deviceAddress, reg, value, 1);
}

// Flags are weighted from firstBit upward and added unmasked, as callers
// pass 0 or 1; unsigned so odd arguments cannot overflow.
int32_t setFlags(Register reg, int firstBit, std::initializer_list<int32_t> flags) {
    uint32_t value = 0;
    int bit = firstBit;
    for (int32_t flag : flags) value += static_cast<uint32_t>(flag) << bit++;
    return setByte(reg, static_cast<int32_t>(value));
}

}  // namespace

extern "C" {

NR_EXPORT int32_t NR_CALL pallixGetGlobalStatus(int32_t *value) {
    return getByte(kGlobalStatus, value);
}
NR_EXPORT int32_t NR_CALL pallixSetGlobalStatus(int32_t value) {
    return setByte(kGlobalStatus, value);
}
NR_EXPORT int32_t NR_CALL pallixGetPowerOnDelay(int32_t *value) {
    return getByte(kPowerOnDelay, value);
}
NR_EXPORT int32_t NR_CALL pallixGetPowerOffDelay(int32_t *value) {
    return getByte(kPowerOffDelay, value);
}
NR_EXPORT int32_t NR_CALL pallixSetPowerOnDelay(int32_t value) {
    return setByte(kPowerOnDelay, value);
}
NR_EXPORT int32_t NR_CALL pallixSetPowerOffDelay(int32_t value) {
    return setByte(kPowerOffDelay, value);
}
NR_EXPORT int32_t NR_CALL pallixGetOutOnDelay1(int32_t *value) {
    return getByte(kOutOnDelay1, value);
}
NR_EXPORT int32_t NR_CALL pallixSetOutOnDelay1(int32_t value) {
    return setByte(kOutOnDelay1, value);
}
NR_EXPORT int32_t NR_CALL pallixGetOutOffDelay1(int32_t *value) {
    return getByte(kOutOffDelay1, value);
}
NR_EXPORT int32_t NR_CALL pallixSetOutOffDelay1(int32_t value) {
    return setByte(kOutOffDelay1, value);
}
NR_EXPORT int32_t NR_CALL pallixGetOutOnDelay2(int32_t *value) {
    return getByte(kOutOnDelay2, value);
}
NR_EXPORT int32_t NR_CALL pallixSetOutOnDelay2(int32_t value) {
    return setByte(kOutOnDelay2, value);
}
NR_EXPORT int32_t NR_CALL pallixGetOutOffDelay2(int32_t *value) {
    return getByte(kOutOffDelay2, value);
}
NR_EXPORT int32_t NR_CALL pallixSetOutOffDelay2(int32_t value) {
    return setByte(kOutOffDelay2, value);
}

// The one getter without a socket of its own around the request; the
// transaction opens and closes one anyway.
NR_EXPORT int32_t NR_CALL pallixGetOutState(int32_t *f0, int32_t *f1, int32_t *f2, int32_t *f3,
                                            int32_t *f4, int32_t *f5) {
    return getFlags(kOutState, {f0, f1, f2, f3, f4, f5}, SocketAround::Leave);
}
NR_EXPORT int32_t NR_CALL pallixSetOutState(int32_t f2, int32_t f3, int32_t f4, int32_t f5) {
    return setFlags(kOutState, 2, {f2, f3, f4, f5});
}

NR_EXPORT int32_t NR_CALL pallixGetOutACPIEnable(int32_t *f0, int32_t *f1) {
    return getFlags(kOutACPIEnable, {f0, f1});
}
NR_EXPORT int32_t NR_CALL pallixSetOutACPIEnable(int32_t f0, int32_t f1) {
    return setFlags(kOutACPIEnable, 0, {f0, f1});
}
NR_EXPORT int32_t NR_CALL pallixSetPowerInEnable(int32_t f0, int32_t f1) {
    return setFlags(kPowerInEnable, 0, {f0, f1});
}
NR_EXPORT int32_t NR_CALL pallixGetPowerInEnable(int32_t *f0, int32_t *f1) {
    return getFlags(kPowerInEnable, {f0, f1});
}

NR_EXPORT int32_t NR_CALL pallixGetACPIPulseWidth1(int32_t *value) {
    return getByte(kACPIPulseWidth1, value);
}
NR_EXPORT int32_t NR_CALL pallixSetACPIPulseWidth1(int32_t value) {
    return setByte(kACPIPulseWidth1, value);
}
NR_EXPORT int32_t NR_CALL pallixGetACPIPulseWidth2(int32_t *value) {
    return getByte(kACPIPulseWidth2, value);
}
NR_EXPORT int32_t NR_CALL pallixSetACPIPulseWidth2(int32_t value) {
    return setByte(kACPIPulseWidth2, value);
}
NR_EXPORT int32_t NR_CALL pallixGetWDTEnable(int32_t *value) { return getByte(kWDTEnable, value); }
NR_EXPORT int32_t NR_CALL pallixSetWDTEnable(int32_t value) { return setByte(kWDTEnable, value); }

NR_EXPORT int32_t NR_CALL pallixGetOutInEnable(int32_t *f0, int32_t *f1, int32_t *f2, int32_t *f3) {
    return getFlags(kOutInEnable, {f0, f1, f2, f3});
}
NR_EXPORT int32_t NR_CALL pallixSetOutInEnable(int32_t f0, int32_t f1, int32_t f2, int32_t f3) {
    return setFlags(kOutInEnable, 0, {f0, f1, f2, f3});
}

NR_EXPORT int32_t NR_CALL pallixGetShutdownAction(int32_t *value) {
    return getByte(kShutdownAction, value);
}
NR_EXPORT int32_t NR_CALL pallixSetShutdownAction(int32_t value) {
    return setByte(kShutdownAction, value);
}

NR_EXPORT int32_t NR_CALL pallixGetInState(int32_t *f0, int32_t *f1) {
    return getFlags(kInState, {f0, f1});
}

}  // extern "C"
