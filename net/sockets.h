// A small socket layer: process-wide start-up, TCP client connections by
// host name or dotted address, sending and receiving within time-outs.
#pragma once

#include <cstdint>

struct NetConnection {
  std::int32_t kind;  // 1: TCP connection
  std::intptr_t socket;
  void* server;  // null for client connections
};

constexpr int NET_EVENT_NONE = 0;
constexpr int NET_EVENT_DATA = 2;
constexpr int NET_EVENT_CLOSED = 4;

int net_init();  // 1 when the platform's sockets are ready
void net_end();
void net_join_runtime();

// Connects within the time-out; null when the host is unknown, the
// connection is refused or does not come about in time.
NetConnection* net_open_connection(const char* host, std::uint16_t port, int timeout_seconds);
void net_close(NetConnection* connection);
// 1 when every byte went out within the time-out, 0 otherwise.
int net_send_all(NetConnection* connection, const void* data, std::int64_t length,
                 int timeout_seconds);
int net_poll(NetConnection* connection);
// Bytes received (a zero byte is put after them); 0 on time-out, close or error.
int net_receive(NetConnection* connection, char* buffer, int maximum, int timeout_seconds);

// How a receive ended: with data, with nothing within the time-out, with the
// peer's orderly close, or with a failure (a reset connection).
enum class NetReceive { Data, TimedOut, Closed, Failed };
struct NetReceived {
  int count;  // bytes received, when the receive ended with data
  NetReceive end;
};
NetReceived net_receive_within(NetConnection* connection, char* buffer, int maximum,
                               int timeout_seconds);
