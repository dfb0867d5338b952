// The socket layer over BSD sockets, for the host build.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "net/sockets.h"
#include "net/sockets_common.h"
#include "runtime/lifecycle.h"

namespace {
int socket_of(NetConnection* connection) {
  return static_cast<int>(connection->socket);
}

bool resolve(const char* host, in_addr* address) {
  if (inet_pton(AF_INET, host, address) == 1) return true;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host, nullptr, &hints, &found) != 0 || !found) return false;
  *address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
  freeaddrinfo(found);
  return true;
}

// Connects without blocking and waits for the outcome at most the time-out.
bool connect_within(int s, const sockaddr_in& peer, int timeout_seconds) {
  const int flags = fcntl(s, F_GETFL, 0);
  if (flags < 0 || fcntl(s, F_SETFL, flags | O_NONBLOCK) != 0) return false;
  if (connect(s, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
    if (errno != EINPROGRESS || s >= FD_SETSIZE) return false;
    fd_set writable;
    FD_ZERO(&writable);
    FD_SET(s, &writable);
    timeval wait{timeout_seconds > 0 ? timeout_seconds : 0, 0};
    int ready;
    do {
      ready = select(s + 1, nullptr, &writable, nullptr, &wait);
    } while (ready < 0 && errno == EINTR);
    int error = 0;
    socklen_t length = sizeof error;
    if (ready <= 0 || getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
      return false;
  }
  return fcntl(s, F_SETFL, flags) == 0;
}
}  // namespace

int net_init() {
  return 1;
}
void net_end() {}
void net_join_runtime() {}

NetConnection* net_open_connection(const char* host, std::uint16_t port, int timeout_seconds) {
  if (!host || !*host) return nullptr;
  int s = socket(AF_INET, SOCK_STREAM, 0);
  if (s < 0) return nullptr;
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(port);
  if (!resolve(host, &peer.sin_addr) || !connect_within(s, peer, timeout_seconds)) {
    close(s);
    return nullptr;
  }
  auto* connection = new (std::nothrow) NetConnection{1, s, nullptr};
  if (!connection) close(s);
  return connection;
}

void net_close(NetConnection* connection) {
  if (!connection) return;
  close(socket_of(connection));
  delete connection;
}

int net_poll(NetConnection* connection) {
  int waiting = 0;
  if (ioctl(socket_of(connection), FIONREAD, &waiting) != 0) return NET_EVENT_CLOSED;
  if (waiting > 0) return NET_EVENT_DATA;
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(socket_of(connection), &readable);
  timeval now{0, 0};
  int ready = select(socket_of(connection) + 1, &readable, nullptr, nullptr, &now);
  if (ready == 0) return NET_EVENT_NONE;
  // Readable: the peer closed, unless data arrived just after the count was taken.
  if (ready > 0 && ioctl(socket_of(connection), FIONREAD, &waiting) == 0 && waiting > 0)
    return NET_EVENT_DATA;
  return NET_EVENT_CLOSED;
}

int platform_send(NetConnection* connection, const char* data, int length) {
  ssize_t sent = send(socket_of(connection), data, static_cast<std::size_t>(length), MSG_NOSIGNAL);
  return sent < 0 ? -1 : static_cast<int>(sent);
}

int platform_receive(NetConnection* connection, char* buffer, int maximum, int wait_milliseconds) {
  timeval wait{wait_milliseconds / 1000, (wait_milliseconds % 1000) * 1000};
  if (setsockopt(socket_of(connection), SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait) != 0)
    return NET_RECEIVE_FAILED;
  ssize_t got;
  do {
    got = recv(socket_of(connection), buffer, static_cast<std::size_t>(maximum), 0);
  } while (got < 0 && errno == EINTR);
  if (got >= 0) return static_cast<int>(got);
  return errno == EAGAIN || errno == EWOULDBLOCK ? NET_RECEIVE_TIMED_OUT : NET_RECEIVE_FAILED;
}
