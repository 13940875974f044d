// Loopback stand-ins for the upgrade tests: a small HTTP server that answers
// every request with the same status and body, a port that refuses every
// connection, and the upgrade server's address pointed at either.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

// A TCP port of the loopback interface, bound for as long as this object
// lives. Without more it refuses every connection, and no other server can
// take the port meanwhile.
class LoopbackPort {
 public:
  LoopbackPort() {
    m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
  }
  ~LoopbackPort() { ::close(m_socket); }
  LoopbackPort(const LoopbackPort&) = delete;
  LoopbackPort& operator=(const LoopbackPort&) = delete;

  std::string Base() const { return "http://127.0.0.1:" + std::to_string(m_port); }
  std::string Url() const { return Base() + "/?SN=00"; }

 protected:
  int m_socket = -1;

 private:
  int m_port = 0;
};

// Answers each connection with the same status and body, then closes it.
class LoopbackServer : public LoopbackPort {
 public:
  LoopbackServer(int status, std::string body) : m_status(status), m_body(std::move(body)) {
    ::listen(m_socket, 4);
    m_thread = std::thread([this] { Serve(); });
  }
  ~LoopbackServer() {
    m_stop = true;
    ::shutdown(m_socket, SHUT_RDWR);
    m_thread.join();
  }
  int Requests() const { return m_requests; }

 private:
  void Serve() {
    while (!m_stop) {
      const int client = ::accept(m_socket, nullptr, nullptr);
      if (client < 0) return;
      std::string request;
      char buffer[1024];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        request.append(buffer, static_cast<std::size_t>(got));
      }
      ++m_requests;
      const std::string reply = "HTTP/1.1 " + std::to_string(m_status) +
                                " X\r\nContent-Length: " + std::to_string(m_body.size()) +
                                "\r\nConnection: close\r\n\r\n" + m_body;
      ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
      ::close(client);
    }
  }

  int m_status;
  std::string m_body;
  std::atomic<bool> m_stop{false};
  std::atomic<int> m_requests{0};
  std::thread m_thread;
};

// Points the upgrade server's address ($CORVANE_UPGRADE_SERVER) elsewhere for
// one test, and puts back what the test run set.
class UpgradeServerOverride {
 public:
  explicit UpgradeServerOverride(const char* address) {
    if (const char* saved = std::getenv(kName)) m_saved = saved;
    Set(address);
  }
  ~UpgradeServerOverride() { Set(m_saved ? m_saved->c_str() : nullptr); }
  // nullptr unsets it.
  void Set(const char* address) {
    if (address == nullptr) {
      ::unsetenv(kName);
    } else {
      ::setenv(kName, address, 1);
    }
  }

 private:
  static constexpr const char* kName = "CORVANE_UPGRADE_SERVER";
  std::optional<std::string> m_saved;
};
