// Loopback stand-ins for the upgrade tests: small HTTP servers that answer
// every request with the same status and body or as a script says, a port
// that refuses every connection, and the upgrade server's address pointed at
// any of them.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <mutex>
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

// A whole reply: status line, headers (each ending in CRLF) and body.
inline std::string HttpReply(int status, const std::string& body, const std::string& headers = "") {
  return "HTTP/1.1 " + std::to_string(status) + " X\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n" + headers + "\r\n" + body;
}

// Answers each connection as the script says for the request's path: the
// bytes to send, then either closing the connection or holding it open,
// sending nothing more, until Release() or the server goes.
class ScriptedServer : public LoopbackPort {
 public:
  struct Reply {
    Reply(std::string sent, bool holdOpen = false, std::function<void()> whenSent = {})
        : bytes(std::move(sent)), hold(holdOpen), onSent(std::move(whenSent)) {}
    std::string bytes;
    bool hold;
    // Runs on the server's thread once the bytes are sent.
    std::function<void()> onSent;
  };
  using Script = std::function<Reply(const std::string& path)>;

  explicit ScriptedServer(Script script) : m_script(std::move(script)) {
    ::listen(m_socket, 4);
    m_thread = std::thread([this] { Serve(); });
  }
  ~ScriptedServer() {
    {
      std::lock_guard lock(m_mutex);
      m_stop = true;
    }
    m_released.notify_all();
    ::shutdown(m_socket, SHUT_RDWR);
    m_thread.join();
  }
  int Requests() const { return m_requests; }
  void Release() {
    {
      std::lock_guard lock(m_mutex);
      m_release = true;
    }
    m_released.notify_all();
  }

 private:
  void Serve() {
    for (;;) {
      const int client = ::accept(m_socket, nullptr, nullptr);
      if (client < 0) return;
      std::string request;
      char buffer[1024];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        request.append(buffer, static_cast<std::size_t>(got));
      }
      // "GET <path> HTTP/1.1"
      const std::size_t start = request.find(' ') + 1;
      const Reply reply = m_script(request.substr(start, request.find(' ', start) - start));
      ++m_requests;
      ::send(client, reply.bytes.data(), reply.bytes.size(), MSG_NOSIGNAL);
      if (reply.onSent) reply.onSent();
      if (reply.hold) {
        std::unique_lock lock(m_mutex);
        m_released.wait(lock, [this] { return m_stop || m_release; });
      }
      ::close(client);
    }
  }

  Script m_script;
  std::mutex m_mutex;
  std::condition_variable m_released;
  bool m_stop = false, m_release = false;  // under m_mutex
  std::atomic<int> m_requests{0};
  std::thread m_thread;
};

// Answers each connection with the same status and body, then closes it.
class LoopbackServer : public ScriptedServer {
 public:
  LoopbackServer(int status, std::string body)
      : ScriptedServer([reply = HttpReply(status, body)](const std::string&) { return Reply{reply}; }) {}
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
