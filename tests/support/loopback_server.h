// A small HTTP server on 127.0.0.1 for download tests: it accepts a given
// number of connections one after another, records each request and answers
// with a script of sends, pauses, closes and resets. It stops when it is
// destroyed, however far the script or its clients got: waiting for a
// connection and pausing both end at once then.
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
using ServerSocket = SOCKET;
inline void close_server_socket(ServerSocket s) {
  closesocket(s);
}
inline void make_non_blocking(ServerSocket s) {
  u_long on = 1;
  ioctlsocket(s, FIONBIO, &on);
}
constexpr int kSendFlags = 0;
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
using ServerSocket = int;
inline void close_server_socket(ServerSocket s) {
  close(s);
}
inline void make_non_blocking(ServerSocket s) {
  fcntl(s, F_SETFL, fcntl(s, F_GETFL, 0) | O_NONBLOCK);
}
constexpr int kSendFlags = MSG_NOSIGNAL;  // a client that hung up must not end the test program
#endif

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The server's stop signal, which pauses wait on.
class LoopbackStop {
 public:
  void request() {
    std::lock_guard<std::mutex> guard(lock_);
    stopping_ = true;
    woken_.notify_all();
  }
  bool requested() {
    std::lock_guard<std::mutex> guard(lock_);
    return stopping_;
  }
  // Waits the time or until the stop; true when the stop came.
  bool wait(std::chrono::milliseconds time) {
    std::unique_lock<std::mutex> guard(lock_);
    return woken_.wait_for(guard, time, [this] { return stopping_; });
  }

 private:
  std::mutex lock_;
  std::condition_variable woken_;
  bool stopping_ = false;
};

class LoopbackPeer {
 public:
  LoopbackPeer(ServerSocket s, LoopbackStop& stop) : socket_(s), stop_(stop) {}
  void send_text(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
      int sent =
          ::send(socket_, text.data() + done, static_cast<int>(text.size() - done), kSendFlags);
      if (sent <= 0) return;
      done += static_cast<std::size_t>(sent);
    }
  }
  // Pauses; false when the server stopped meanwhile.
  bool pause(int milliseconds) { return !stop_.wait(std::chrono::milliseconds(milliseconds)); }
  // Sends nothing more until the server stops.
  void stall() {
    while (pause(60000)) {
    }
  }
  // The connection ends with a reset instead of an orderly close.
  void reset() {
    linger abort{1, 0};
    ::setsockopt(socket_, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort),
                 sizeof abort);
  }

 private:
  ServerSocket socket_;
  LoopbackStop& stop_;
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
    ::listen(listener_, kBacklog);
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~LoopbackServer() {
    stop_.request();
    if (thread_.joinable()) thread_.join();
    close_server_socket(listener_);
    for (ServerSocket s : crowd_) close_server_socket(s);
  }

  std::uint16_t port() const { return port_; }
  std::string url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/" + path;
  }

  // Serves `connections` connections with the script, then stops.
  void serve(int connections, Script script) {
    thread_ = std::thread([this, connections, script] {
      for (int n = 0; n < connections; ++n) {
        if (!wait_for_client()) return;
        ServerSocket peer = ::accept(listener_, nullptr, nullptr);
        if (peer == static_cast<ServerSocket>(-1)) return;
        record(read_request(peer));
        LoopbackPeer talker(peer, stop_);
        script(talker, n);
        close_server_socket(peer);
      }
    });
  }

  // Fills the listen queue with connections nobody accepts (call it
  // without serving): the next client's connection attempt goes unanswered.
  void fill_listen_queue() {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port_);
    for (int n = 0; n < kBacklog + 4; ++n) {
      ServerSocket s = ::socket(AF_INET, SOCK_STREAM, 0);
      make_non_blocking(s);
      ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
      crowd_.push_back(s);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

  std::vector<std::string> requests() {
    std::lock_guard<std::mutex> guard(lock_);
    return requests_;
  }

 private:
  static constexpr int kBacklog = 4;

  // Waits for a connection to accept, looking at the stop signal now and then.
  bool wait_for_client() {
    while (!stop_.requested()) {
      fd_set readable;
      FD_ZERO(&readable);
      FD_SET(listener_, &readable);
      timeval tick{0, 50000};
      if (::select(static_cast<int>(listener_) + 1, &readable, nullptr, nullptr, &tick) > 0)
        return true;
    }
    return false;
  }
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
  LoopbackStop stop_;
  std::mutex lock_;
  std::vector<std::string> requests_;
  std::vector<ServerSocket> crowd_;
};
