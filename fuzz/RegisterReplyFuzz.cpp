// The register reads through the real transport, over loopback, against a
// device that answers every request with the fuzzer's bytes: the first byte
// picks the read, the rest is the reply. Every request is answered at once,
// so a refused reply costs four quick attempts, never a time-out. Runs in a
// private network namespace (make fuzz sees to it).
#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "NerrinAPI.h"

namespace {

constexpr const char *kDevice = "127.0.0.2";

std::mutex replyMutex;
std::vector<uint8_t> reply;

void answerEveryRequest(int socket) {
    for (;;) {
        uint8_t request[600];
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        if (::recvfrom(socket, request, sizeof request, 0, reinterpret_cast<sockaddr *>(&from), &fromLength) < 0)
            continue;
        std::lock_guard lock(replyMutex);
        ::sendto(socket, reply.data(), reply.size(), 0, reinterpret_cast<const sockaddr *>(&from), sizeof from);
    }
}

void startDevice() {
    const int socket = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(11000);
    at.sin_addr.s_addr = inet_addr(kDevice);
    if (socket < 0 || ::bind(socket, reinterpret_cast<const sockaddr *>(&at), sizeof at) != 0) {
        std::perror("register_reply: cannot bind 127.0.0.2:11000");
        std::exit(1);
    }
    std::thread(answerEveryRequest, socket).detach();
}

void read(uint8_t which) {
    int32_t f[6] = {};
    switch (which % 5) {
    case 0: pallixGetGlobalStatus(&f[0]); break;
    case 1: pallixGetOutState(&f[0], &f[1], &f[2], &f[3], &f[4], &f[5]); break;
    case 2: pallixGetOutInEnable(&f[0], &f[1], &f[2], &f[3]); break;
    case 3: pallixGetInState(&f[0], &f[1]); break;
    default: pallixSetPowerOnDelay(which); break;  // a write takes any reply
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    // The transport's diagnostic lines would drown the fuzzer's own.
    if (!std::freopen("/dev/null", "w", stdout)) return 1;
    NrSetMessageHandler([](const char *, const char *) {});
    startDevice();
    NrSetDevice(kDevice);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) return 0;
    {
        std::lock_guard lock(replyMutex);
        reply.assign(data + 1, data + size);
    }
    read(data[0]);
    return 0;
}
