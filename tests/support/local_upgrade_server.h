// The local upgrade server (tools/upgrade_server.py) as a child process for
// one test: on a free loopback port, serving the firmware images the build
// made. It stops when this object goes, or with the test process: it ends
// when its standard input, held here, closes.
#pragma once

#include <sys/types.h>

#include <string>

class LocalUpgradeServer {
 public:
  LocalUpgradeServer(const std::string& python, const std::string& script, const std::string& images);
  ~LocalUpgradeServer();
  LocalUpgradeServer(const LocalUpgradeServer&) = delete;
  LocalUpgradeServer& operator=(const LocalUpgradeServer&) = delete;

  // "http://127.0.0.1:<port>"; empty when the server did not start.
  const std::string& Base() const { return m_base; }

 private:
  pid_t m_pid = -1;
  int m_stdin = -1;
  std::string m_base;
};
