// The socket layer over Windows Sockets 1.1.
#include <winsock2.h>
#include <windows.h>

#include <cstring>
#include <new>

#include "net/sockets.h"
#include "net/sockets_common.h"
#include "runtime/lifecycle.h"
#include "runtime/registry.h"

namespace {

struct NetServer {
  SOCKET socket;  // alive while set (no server is made in this program)
};

std::int16_t winsock_ready = 0;
HMODULE ws2_32 = nullptr;
FARPROC name_service[3] = {};
ObjectRegistry* servers = nullptr;

void server_release(object_number id) {
  auto* server = static_cast<NetServer*>(registry_lookup(servers, id));
  if (!server) return;
  closesocket(server->socket);
  registry_release(servers, id);
}

SOCKET socket_of(NetConnection* connection) {
  return static_cast<SOCKET>(connection->socket);
}

bool resolve(const char* host, in_addr* address) {
  unsigned long numeric = inet_addr(host);
  if (numeric != INADDR_NONE) {
    address->s_addr = numeric;
    return true;
  }
  hostent* entry = gethostbyname(host);
  if (!entry || entry->h_addrtype != AF_INET || !entry->h_addr_list[0]) return false;
  std::memcpy(address, entry->h_addr_list[0], sizeof *address);
  return true;
}

// Connects without blocking and waits for the outcome at most the time-out;
// a refused connection shows in the exception set.
bool connect_within(SOCKET s, const sockaddr_in& peer, int timeout_seconds) {
  u_long non_blocking = 1;
  if (ioctlsocket(s, FIONBIO, &non_blocking) != 0) return false;
  if (connect(s, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == SOCKET_ERROR) {
    if (WSAGetLastError() != WSAEWOULDBLOCK) return false;
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    timeval wait{timeout_seconds > 0 ? timeout_seconds : 0, 0};
    int error = 0;
    int length = sizeof error;
    if (select(0, nullptr, &writable, &failed, &wait) <= 0 || FD_ISSET(s, &failed) ||
        getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0 ||
        error != 0)
      return false;
  }
  u_long blocking = 0;
  return ioctlsocket(s, FIONBIO, &blocking) == 0;
}

}  // namespace

int net_init() {
  WSADATA data;
  winsock_ready = WSAStartup(MAKEWORD(1, 1), &data) == 0 ? 1 : 0;
  ws2_32 = LoadLibraryA("ws2_32.dll");
  if (ws2_32) {
    name_service[0] = GetProcAddress(ws2_32, "getaddrinfo");
    name_service[1] = GetProcAddress(ws2_32, "freeaddrinfo");
    name_service[2] = GetProcAddress(ws2_32, "getnameinfo");
  }
  servers = registry_create(sizeof(NetServer), 16, server_release);
  return winsock_ready;
}

void net_end() {
  registry_free_all(servers);
  servers = nullptr;  // it goes with the runtime heap
  if (winsock_ready) WSACleanup();
  winsock_ready = 0;
  if (ws2_32) FreeLibrary(ws2_32);
  ws2_32 = nullptr;
}

void net_join_runtime() {
  runtime_join_startup(StartupStage::Network, [] { net_init(); });
  runtime_join_shutdown(ShutdownStage::Network, net_end);
}

NetConnection* net_open_connection(const char* host, std::uint16_t port, int timeout_seconds) {
  if (!host || !*host) return nullptr;
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  if (s == INVALID_SOCKET) return nullptr;
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(port);
  if (!resolve(host, &peer.sin_addr) || !connect_within(s, peer, timeout_seconds)) {
    closesocket(s);
    return nullptr;
  }
  auto* connection = new (std::nothrow) NetConnection{1, static_cast<std::intptr_t>(s), nullptr};
  if (!connection) closesocket(s);
  return connection;
}

void net_close(NetConnection* connection) {
  if (!connection) return;
  closesocket(socket_of(connection));
  delete connection;
}

int net_poll(NetConnection* connection) {
  u_long waiting = 0;
  if (ioctlsocket(socket_of(connection), FIONREAD, &waiting) != 0) return NET_EVENT_CLOSED;
  if (waiting > 0) return NET_EVENT_DATA;
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(socket_of(connection), &readable);
  timeval now{0, 0};
  int ready = select(0, &readable, nullptr, nullptr, &now);
  if (ready == 0) return NET_EVENT_NONE;
  // Readable: the peer closed, unless data arrived just after the count was taken.
  if (ready > 0 && ioctlsocket(socket_of(connection), FIONREAD, &waiting) == 0 && waiting > 0)
    return NET_EVENT_DATA;
  return NET_EVENT_CLOSED;
}

int platform_send(NetConnection* connection, const char* data, int length) {
  int sent = send(socket_of(connection), data, length, 0);
  return sent == SOCKET_ERROR ? -1 : sent;
}

int platform_receive(NetConnection* connection, char* buffer, int maximum, int wait_milliseconds) {
  const DWORD wait = static_cast<DWORD>(wait_milliseconds);
  if (setsockopt(socket_of(connection), SOL_SOCKET, SO_RCVTIMEO,
                 reinterpret_cast<const char*>(&wait), sizeof wait) != 0)
    return NET_RECEIVE_FAILED;
  const int got = recv(socket_of(connection), buffer, maximum, 0);
  if (got != SOCKET_ERROR) return got;
  return WSAGetLastError() == WSAETIMEDOUT ? NET_RECEIVE_TIMED_OUT : NET_RECEIVE_FAILED;
}
