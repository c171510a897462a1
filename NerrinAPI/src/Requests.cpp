#include "Requests.h"

#include <algorithm>
#include <cstring>

#include "Packet.h"
#include "Transport.h"
#include "platform/Message.h"

namespace {

int32_t exchange(const NrFrame &frame, const char *address, int32_t shortestReply = 1) {
    return nrTransaction(frame.bytes, frame.length, address, shortestReply);
}

}  // namespace

int32_t nrGetMem(const char *address, int32_t reg, int32_t count) {
    return exchange(nrReadMemFrame(reg, count), address, kNrReadReplySize);
}

int32_t nrSetMemInt(const char *address, int32_t reg, int32_t value, int32_t count) {
    if (count != 1 && count != 2) {
        nrMessageBox("Bad Byte Count on nrSetMemInt");
        return kNrBadByteCount;
    }
    return exchange(nrWriteMemFrame(reg, value, count), address);
}

int32_t nrControl(int32_t command, int32_t argument, const char *address) {
    return exchange(nrControlFrame(command, argument), address);
}

int32_t nrWriteBlock(int32_t flashAddress, const uint8_t *data, int32_t length,
                     const char *address) {
    // A block is always 64 bytes on the wire; a shorter one goes out zero-padded.
    uint8_t block[kNrFlashBlockSize] = {};
    std::memcpy(block, data, static_cast<size_t>(std::clamp(length, 0, kNrFlashBlockSize)));
    return exchange(nrWriteBlockFrame(flashAddress, block), address);
}
