// The polling loops shared by both socket back ends, over their seams.
#pragma once

#include <chrono>
#include <thread>

#include "net/sockets.h"

// Seams implemented by each back end.
int platform_send(NetConnection* connection, const char* data, int length);  // < 0 on error
int platform_recv(NetConnection* connection, char* buffer, int maximum);     // < 0 on error

inline double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
