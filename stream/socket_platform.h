#pragma once

#include <cstdint>

struct sockaddr_in;

// The socket calls that differ between the platforms, one half in socket_posix.cpp, one in
// socket_windows.cpp and one in socket_web.cpp, where every socket fails to open. Handles are the platform's socket handle as a 32-bit integer, -1 for none
// (a Windows socket handle always fits: handles are 32-bit values, and INVALID_SOCKET becomes -1).
// Sockets made here are not inherited by child processes.
namespace qrv::platform {

// Makes the platform's sockets usable for the rest of the process (and releases them at its
// exit where the platform asks for that). Safe to call from any thread, any number of times.
void StartSockets();

// Why the platform has no sockets to give, or null where it has them.
const char* NoSocketsReason();

// A new IPv4 stream (TCP) or datagram (UDP) socket; -1 when the platform refuses.
int32_t OpenSocket(bool stream);
void CloseSocketHandle(int32_t handle);
// The next pending connection of a listening socket; -1 on failure.
int32_t AcceptConnection(int32_t listener);
// Connects; the send timeout set on the socket bounds the wait.
bool ConnectSocket(int32_t handle, const sockaddr_in& name);

// Bytes sent or received, or -1 on failure with the platform's error code in `error` (0 after a
// call that did not fail). Sending to a peer that has gone fails instead of raising a signal.
int32_t SendOn(int32_t handle, const void* buffer, int32_t count, int32_t flags, int32_t& error);
int32_t ReceiveOn(int32_t handle, void* buffer, int32_t count, int32_t flags, int32_t& error);

// Whether the socket has something to receive (data, an end or an error) or, when listening, a
// connection to accept, within `timeoutMillis` (negative: without limit).
bool PollReadable(int32_t handle, int32_t timeoutMillis);
// Bytes that can be received without blocking; 0 on error.
int32_t ReadableBytes(int32_t handle);
// An error the connection has met that no call has reported yet (a reset), cleared where the
// platform keeps it; 0 when there is none.
int32_t TakePendingError(int32_t handle);
// Bounds every later receive, send and connect to `millis` milliseconds (0: no bound).
bool SetTransferTimeout(int32_t handle, int32_t millis);

}  // namespace qrv::platform
