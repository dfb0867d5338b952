// The socket layer over BSD sockets, for the host build.
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

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
}  // namespace

int net_init() {
  return 1;
}
void net_end() {}
void net_join_runtime() {}

NetConnection* net_open_connection(const char* host, std::uint16_t port) {
  if (!host || !*host) return nullptr;
  int s = socket(AF_INET, SOCK_STREAM, 0);
  if (s < 0) return nullptr;
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(port);
  if (!resolve(host, &peer.sin_addr) ||
      connect(s, reinterpret_cast<sockaddr*>(&peer), sizeof peer) != 0) {
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

int platform_recv(NetConnection* connection, char* buffer, int maximum) {
  ssize_t got = recv(socket_of(connection), buffer, static_cast<std::size_t>(maximum), 0);
  return got < 0 ? -1 : static_cast<int>(got);
}
