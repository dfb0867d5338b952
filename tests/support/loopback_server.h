// A small HTTP server on 127.0.0.1 for download tests: it accepts a given
// number of connections one after another, records each request and answers
// with a script of sends, pauses and closes. Stops by itself.
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
using ServerSocket = SOCKET;
inline void close_server_socket(ServerSocket s) {
  closesocket(s);
}
constexpr int kSendFlags = 0;
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
using ServerSocket = int;
inline void close_server_socket(ServerSocket s) {
  close(s);
}
constexpr int kSendFlags = MSG_NOSIGNAL;  // a client that hung up must not end the test program
#endif

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LoopbackPeer {
 public:
  explicit LoopbackPeer(ServerSocket s) : socket_(s) {}
  void send_text(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
      int sent =
          ::send(socket_, text.data() + done, static_cast<int>(text.size() - done), kSendFlags);
      if (sent <= 0) return;
      done += static_cast<std::size_t>(sent);
    }
  }
  static void pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }

 private:
  ServerSocket socket_;
};

class LoopbackServer {
 public:
  using Script = std::function<void(LoopbackPeer&, int connection)>;

  LoopbackServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 8);
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~LoopbackServer() {
    close_server_socket(listener_);
    if (thread_.joinable()) thread_.join();
  }

  std::uint16_t port() const { return port_; }
  std::string url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/" + path;
  }

  // Serves `connections` connections with the script, then stops.
  void serve(int connections, Script script) {
    thread_ = std::thread([this, connections, script] {
      for (int n = 0; n < connections; ++n) {
        ServerSocket peer = ::accept(listener_, nullptr, nullptr);
        if (peer == static_cast<ServerSocket>(-1)) return;
        record(read_request(peer));
        LoopbackPeer talker(peer);
        script(talker, n);
        close_server_socket(peer);
      }
    });
  }

  std::vector<std::string> requests() {
    std::lock_guard<std::mutex> guard(lock_);
    return requests_;
  }

 private:
  static std::string read_request(ServerSocket peer) {
    std::string request;
    char buffer[512];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
      int got = ::recv(peer, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      request.append(buffer, static_cast<std::size_t>(got));
    }
    return request;
  }
  void record(std::string request) {
    std::lock_guard<std::mutex> guard(lock_);
    requests_.push_back(std::move(request));
  }

  ServerSocket listener_;
  std::uint16_t port_ = 0;
  std::thread thread_;
  std::mutex lock_;
  std::vector<std::string> requests_;
};
