// The few socket calls the library makes, over POSIX sockets or Winsock.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#include <winsock2.h>
using NrSocket = SOCKET;
inline constexpr NrSocket kNrInvalidSocket = INVALID_SOCKET;
#else
#include <netinet/in.h>
using NrSocket = int;
inline constexpr NrSocket kNrInvalidSocket = -1;
#endif

// Starts the socket layer (Winsock 1.1 on Windows); true on success.
bool nrSocketsStart();
void nrSocketsStop();

NrSocket nrSocketCreateUdp();
void nrSocketClose(NrSocket socket);
void nrSocketSetReceiveTimeout(NrSocket socket, int milliseconds);
void nrSocketAllowBroadcast(NrSocket socket);
bool nrSocketBind(NrSocket socket, const sockaddr_in &local);
void nrSocketSendTo(NrSocket socket, const uint8_t *bytes, int length, const sockaddr_in &to);

// Waits for one datagram up to the receive time-out. Returns its size, or -1
// when nothing arrived or the receive failed; *from names the sender.
int nrSocketReceiveFrom(NrSocket socket, char *buffer, int capacity, sockaddr_in *from);

// Throws away the datagrams already waiting on the socket, without waiting
// for more; a steady flood is cut off after kNrDiscardLimit of them.
inline constexpr int kNrDiscardLimit = 256;
void nrSocketDiscardPending(NrSocket socket);

// Dotted-decimal text to an address in network order; the all-ones address
// when the text does not parse.
uint32_t nrParseIPv4(const char *text);

sockaddr_in nrEndpoint(uint32_t addressNetworkOrder, uint16_t port);
