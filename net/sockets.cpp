// Sending and receiving within time-outs.
#include "net/sockets.h"

#include "net/sockets_common.h"

namespace {
constexpr auto kSendRetry = std::chrono::milliseconds(50);
constexpr int kShortestWait = 100;  // milliseconds; a time-out of 0 still looks once
constexpr int kLargestSend = 1 << 20;
}  // namespace

int net_send_all(NetConnection* connection, const void* data, std::int64_t length,
                 int timeout_seconds) {
  if (!connection) return 0;
  const auto start = std::chrono::steady_clock::now();
  const char* bytes = static_cast<const char*>(data);
  while (seconds_since(start) < timeout_seconds) {
    if (length <= 0) return 1;
    int sent = platform_send(connection, bytes,
                             length > kLargestSend ? kLargestSend : static_cast<int>(length));
    if (sent < 0) {
      std::this_thread::sleep_for(kSendRetry);
      continue;
    }
    bytes += sent;
    length -= sent;
    if (length <= 0) return 1;
  }
  return 0;
}

NetReceived net_receive_within(NetConnection* connection, char* buffer, int maximum,
                               int timeout_seconds) {
  if (!connection || maximum <= 0) return {0, NetReceive::Failed};
  const int wait = timeout_seconds > 0 ? timeout_seconds * 1000 : kShortestWait;
  const int got = platform_receive(connection, buffer, maximum, wait);
  if (got == NET_RECEIVE_TIMED_OUT) return {0, NetReceive::TimedOut};
  if (got < 0) return {0, NetReceive::Failed};
  if (got == 0) return {0, NetReceive::Closed};
  buffer[got] = '\0';
  return {got, NetReceive::Data};
}

int net_receive(NetConnection* connection, char* buffer, int maximum, int timeout_seconds) {
  return net_receive_within(connection, buffer, maximum, timeout_seconds).count;
}
