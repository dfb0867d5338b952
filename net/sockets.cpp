// Sending and receiving within time-outs, with short sleeps between polls.
#include "net/sockets.h"

#include "net/sockets_common.h"

namespace {
constexpr auto kSendRetry = std::chrono::milliseconds(50);
constexpr auto kPollSleep = std::chrono::milliseconds(100);
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

int net_receive(NetConnection* connection, char* buffer, int maximum, int timeout_seconds) {
  if (!connection || maximum <= 0) return 0;
  const auto start = std::chrono::steady_clock::now();
  while (seconds_since(start) <= timeout_seconds) {
    int event = net_poll(connection);
    if (event == NET_EVENT_DATA) {
      int got = platform_recv(connection, buffer, maximum);
      if (got <= 0) return 0;
      buffer[got] = '\0';
      return got;
    }
    if (event == NET_EVENT_CLOSED) return 0;
    std::this_thread::sleep_for(kPollSleep);
  }
  return 0;
}
