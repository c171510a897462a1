#include "SocketApi.h"

#include <cerrno>
#include <cstring>
#include <mutex>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace pallixsim {

#ifdef _WIN32

namespace {

// Winsock counts its users; the simulator stays one until the process ends.
void startWinsock() {
    static std::once_flag started;
    std::call_once(started, [] {
        WSADATA data{};
        WSAStartup(MAKEWORD(2, 2), &data);
    });
}

}  // namespace

NativeSocket openUdpSocket() {
    startWinsock();
    const SOCKET s = WSASocketW(AF_INET, SOCK_DGRAM, IPPROTO_UDP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    if (s == INVALID_SOCKET) return s;
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    // Wine takes a socket bound to one loopback address as holding the port
    // on all of them; each device needs port 11000 on its own address.
    const BOOL reuse = TRUE;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char *>(&reuse), sizeof reuse);
    return s;
}

void closeSocket(NativeSocket socket) { closesocket(socket); }

int waitForSockets(pollfd *sockets, std::size_t count, int timeoutMs) {
    return WSAPoll(sockets, static_cast<ULONG>(count), timeoutMs);
}

std::string socketError() { return "Winsock error " + std::to_string(WSAGetLastError()); }

#else

NativeSocket openUdpSocket() { return socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0); }

void closeSocket(NativeSocket socket) { close(socket); }

int waitForSockets(pollfd *sockets, std::size_t count, int timeoutMs) { return poll(sockets, count, timeoutMs); }

std::string socketError() { return std::strerror(errno); }

#endif

}  // namespace pallixsim
