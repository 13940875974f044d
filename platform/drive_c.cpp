#include "platform/drive_c.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace platform {

namespace {

std::filesystem::path ExecutableFolder() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::current_path() : exe.parent_path();
}

}  // namespace

std::filesystem::path DriveCRoot() {
  if (const char* root = std::getenv("CORVANE_DRIVE_C"); root != nullptr && *root != '\0') return root;
  return ShareFolder() / "drive_c";
}

std::filesystem::path ShareFolder() {
  return ExecutableFolder() / ".." / "share" / "corvane";
}

std::filesystem::path MapDriveC(std::string_view windowsPath) {
  std::string path(windowsPath);
  if (path.size() >= 2 && (path[0] == 'C' || path[0] == 'c') && path[1] == ':') path.erase(0, 2);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  while (!path.empty() && path.front() == '/')
    path.erase(0, 1);
  return DriveCRoot() / path;
}

std::string SystemDirectory() {
  return "C:\\Windows\\System32";
}

}  // namespace platform
