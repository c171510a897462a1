// Winsock shim, cross-built with MinGW-w64; kept to the calls the POSIX
// file makes so the two stay easy to compare.
#if defined(_WIN32)

#include "platform/Socket.h"

bool nrSocketsStart() {
    WSADATA data;
    return WSAStartup(0x0101, &data) == 0;
}

void nrSocketsStop() { WSACleanup(); }

NrSocket nrSocketCreateUdp() { return ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP); }

void nrSocketClose(NrSocket socket) { ::closesocket(socket); }

void nrSocketSetReceiveTimeout(NrSocket socket, int milliseconds) {
    const DWORD timeout = static_cast<DWORD>(milliseconds);
    ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char *>(&timeout),
                 sizeof timeout);
}

void nrSocketAllowBroadcast(NrSocket socket) {
    const BOOL on = TRUE;
    ::setsockopt(socket, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char *>(&on), sizeof on);
}

bool nrSocketBind(NrSocket socket, const sockaddr_in &local) {
    return ::bind(socket, reinterpret_cast<const sockaddr *>(&local), sizeof local) == 0;
}

void nrSocketSendTo(NrSocket socket, const uint8_t *bytes, int length, const sockaddr_in &to) {
    ::sendto(socket, reinterpret_cast<const char *>(bytes), length, 0,
             reinterpret_cast<const sockaddr *>(&to), sizeof to);
}

int nrSocketReceiveFrom(NrSocket socket, char *buffer, int capacity, sockaddr_in *from) {
    int fromLength = static_cast<int>(sizeof *from);
    const int received =
        ::recvfrom(socket, buffer, capacity, 0, reinterpret_cast<sockaddr *>(from), &fromLength);
    return received == SOCKET_ERROR ? -1 : received;
}

// Winsock has no MSG_DONTWAIT: a select that does not wait tells whether a
// datagram is there. One larger than the scrap buffer is dropped all the same.
void nrSocketDiscardPending(NrSocket socket) {
    char scrap[512];
    for (int discarded = 0; discarded < kNrDiscardLimit; ++discarded) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket, &readable);
        timeval noWait{};
        if (::select(0, &readable, nullptr, nullptr, &noWait) != 1) return;
        ::recv(socket, scrap, sizeof scrap, 0);
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
