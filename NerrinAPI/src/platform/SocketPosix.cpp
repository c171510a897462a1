#if !defined(_WIN32)

#include "platform/Socket.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>

bool nrSocketsStart() { return true; }

void nrSocketsStop() {}

NrSocket nrSocketCreateUdp() { return ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP); }

void nrSocketClose(NrSocket socket) { ::close(socket); }

void nrSocketSetReceiveTimeout(NrSocket socket, int milliseconds) {
    timeval timeout{};
    timeout.tv_sec = milliseconds / 1000;
    timeout.tv_usec = (milliseconds % 1000) * 1000;
    ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
}

void nrSocketAllowBroadcast(NrSocket socket) {
    const int on = 1;
    ::setsockopt(socket, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
}

bool nrSocketBind(NrSocket socket, const sockaddr_in &local) {
    return ::bind(socket, reinterpret_cast<const sockaddr *>(&local), sizeof local) == 0;
}

void nrSocketSendTo(NrSocket socket, const uint8_t *bytes, int length, const sockaddr_in &to) {
    ::sendto(socket, bytes, static_cast<size_t>(length), 0, reinterpret_cast<const sockaddr *>(&to),
             sizeof to);
}

int nrSocketReceiveFrom(NrSocket socket, char *buffer, int capacity, sockaddr_in *from) {
    socklen_t fromLength = sizeof *from;
    ssize_t received;
    do {
        received = ::recvfrom(socket, buffer, static_cast<size_t>(capacity), 0,
                              reinterpret_cast<sockaddr *>(from), &fromLength);
    } while (received < 0 && errno == EINTR);
    return received < 0 ? -1 : static_cast<int>(received);
}

void nrSocketDiscardPending(NrSocket socket) {
    char scrap[512];
    for (int discarded = 0; discarded < kNrDiscardLimit; ++discarded) {
        ssize_t received;
        do {
            received = ::recv(socket, scrap, sizeof scrap, MSG_DONTWAIT);
        } while (received < 0 && errno == EINTR);
        if (received < 0) return;
    }
}

uint32_t nrParseIPv4(const char *text) { return ::inet_addr(text); }

sockaddr_in nrEndpoint(uint32_t addressNetworkOrder, uint16_t port) {
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(port);
    endpoint.sin_addr.s_addr = addressNetworkOrder;
    return endpoint;
}

#endif
