// The sending and receiving rules shared by both socket back ends, over their seams.
#pragma once

#include <chrono>
#include <thread>

#include "net/sockets.h"

// Seams implemented by each back end.
int platform_send(NetConnection* connection, const char* data, int length);  // < 0 on error

constexpr int NET_RECEIVE_TIMED_OUT = -2;
constexpr int NET_RECEIVE_FAILED = -1;
// Waits up to the time for bytes and receives them: their count, 0 when the
// peer closed the connection in order, or one of the two codes above (a
// reset connection fails). The wait is a blocking receive with a time-out:
// Wine reports a reset only to a receive that is waiting when it comes, and
// as an orderly close to any later look at the socket.
int platform_receive(NetConnection* connection, char* buffer, int maximum, int wait_milliseconds);

inline double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
