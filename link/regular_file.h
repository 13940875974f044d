// Finding and opening the regular file a chosen path names, following only
// symbolic links that are safe to follow, and reading from it.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <utility>

// A file descriptor, closed when it goes out of scope.
class Fd {
 public:
  explicit Fd(int fd = -1) : m_fd(fd) {}
  Fd(Fd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
  Fd& operator=(Fd&& other) noexcept {
    if (this != &other) {
      Close();
      m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
  }
  ~Fd() { Close(); }
  int get() const { return m_fd; }
  bool valid() const { return m_fd >= 0; }
  // Closes now; whether the close (which may report a failed write) succeeded.
  bool Close();

 private:
  int m_fd;
};

// The path a path leads to: symbolic links at its end are followed, a
// relative one from the folder of the link. Nothing for a link that cannot be
// read, a loop, or a link another user may have put in our way: one in a
// sticky folder anyone may write (such as /tmp) that belongs neither to this
// user nor to the folder's owner.
std::optional<std::filesystem::path> FollowLinks(std::filesystem::path path);

// Opens the regular file at path (a link there is not followed) with the
// access mode (O_RDWR, O_WRONLY, ...), without blocking, and fills st. Not
// valid where that fails; errno is then ENOENT where nothing is there and
// EINVAL where something other than a regular file is.
Fd OpenRegularFile(const std::filesystem::path& path, int access, struct stat& st);

// Reads up to size bytes from offset, fewer only at the end of the file; how
// many, or -1 where reading fails.
ssize_t ReadAt(int fd, char* data, std::size_t size, off_t offset);
