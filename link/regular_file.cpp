#include "link/regular_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace {

namespace fs = std::filesystem;

// More links in a row than this are taken for a loop.
constexpr int kMaxLinksFollowed = 40;

// Whether the link at path, whose lstat is link, may be followed. One in a
// sticky folder anyone may write was put there by whoever owns it: it is
// trusted only from this user or the folder's owner, as Linux does with
// fs.protected_symlinks, which many systems leave off.
bool MayFollow(const fs::path& path, const struct stat& link) {
  if (link.st_uid == ::geteuid()) return true;
  struct stat folder {};
  const fs::path parent = path.has_parent_path() ? path.parent_path() : fs::path(".");
  if (::stat(parent.c_str(), &folder) != 0) return false;
  constexpr mode_t kShared = S_ISVTX | S_IWOTH;
  return (folder.st_mode & kShared) != kShared || folder.st_uid == link.st_uid;
}

}  // namespace

bool Fd::Close() {
  return m_fd < 0 || ::close(std::exchange(m_fd, -1)) == 0;
}

std::optional<fs::path> FollowLinks(fs::path path) {
  for (int followed = 0; followed <= kMaxLinksFollowed; ++followed) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    if (!MayFollow(path, link)) return std::nullopt;
    std::error_code error;
    const fs::path next = fs::read_symlink(path, error);
    if (error) return std::nullopt;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return std::nullopt;
}

Fd OpenRegularFile(const fs::path& path, int access, struct stat& st) {
  if (::lstat(path.c_str(), &st) != 0) return Fd();
  // Looked at before opening: a FIFO could block the open, a device would
  // take or give bytes.
  if (S_ISREG(st.st_mode)) {
    Fd fd(::open(path.c_str(), access | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0) return Fd();
    if (S_ISREG(st.st_mode)) return fd;
  }
  errno = EINVAL;
  return Fd();
}

ssize_t ReadAt(int fd, char* data, std::size_t size, off_t offset) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd, data + done, size - done, offset + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<ssize_t>(done);
}
