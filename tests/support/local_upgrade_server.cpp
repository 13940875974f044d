#include "support/local_upgrade_server.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

LocalUpgradeServer::LocalUpgradeServer(const std::string& python, const std::string& script,
                                       const std::string& images) {
  int in[2], out[2];
  if (::pipe2(in, O_CLOEXEC) != 0) return;
  if (::pipe2(out, O_CLOEXEC) != 0) {
    ::close(in[0]);
    ::close(in[1]);
    return;
  }
  std::vector<std::string> args = {python, script,     "serve", "--port",
                                   "0",    "--images", images,  "--until-stdin-closes"};
  std::vector<char*> argv;
  for (std::string& arg : args)
    argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  if (posix_spawn(&m_pid, python.c_str(), &actions, nullptr, argv.data(), environ) != 0) m_pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  ::close(in[0]);
  ::close(out[1]);
  m_stdin = in[1];

  // The first line it prints is its address; a server that failed ends its
  // output without one.
  std::string line;
  char c;
  while (m_pid > 0 && ::read(out[0], &c, 1) == 1 && c != '\n')
    line += c;
  ::close(out[0]);
  if (line.starts_with("http://127.0.0.1:")) m_base = line;
}

LocalUpgradeServer::~LocalUpgradeServer() {
  if (m_stdin >= 0) ::close(m_stdin);
  if (m_pid > 0) ::waitpid(m_pid, nullptr, 0);
}
