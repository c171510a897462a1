// The few socket calls the simulator makes, the same on POSIX and on
// Winsock (the core's tests run the simulator in-process on Windows too).
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#endif

#include <cstddef>
#include <string>

namespace pallixsim {

#ifdef _WIN32
using NativeSocket = SOCKET;
inline const NativeSocket InvalidSocket = INVALID_SOCKET;
#else
using NativeSocket = int;
inline const NativeSocket InvalidSocket = -1;
#endif

// A non-blocking UDP socket that child processes do not inherit;
// InvalidSocket when none can be made. Starts Winsock on first use.
NativeSocket openUdpSocket();
void closeSocket(NativeSocket socket);
// poll() over the sockets; -1 waits without a limit.
int waitForSockets(pollfd *sockets, std::size_t count, int timeoutMs);
// The reason the last socket call failed.
std::string socketError();

}  // namespace pallixsim
