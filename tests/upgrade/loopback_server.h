// A small HTTP server on the loopback interface for the upgrade tests: it
// answers every request with the same status and body.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

// Answers each connection with the same status and body, then closes it.
class LoopbackServer {
 public:
  LoopbackServer(int status, std::string body) : m_status(status), m_body(std::move(body)) {
    m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    ::listen(m_socket, 4);
    m_thread = std::thread([this] { Serve(); });
  }
  ~LoopbackServer() {
    m_stop = true;
    ::shutdown(m_socket, SHUT_RDWR);
    ::close(m_socket);
    m_thread.join();
  }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/?SN=00"; }
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
  int m_socket = -1;
  int m_port = 0;
  std::atomic<bool> m_stop{false};
  std::atomic<int> m_requests{0};
  std::thread m_thread;
};
