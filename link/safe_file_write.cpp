#include "link/safe_file_write.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

// More links in a row than this are taken for a loop.
constexpr int kMaxLinksFollowed = 40;
// Names tried for the new file before giving up on the folder.
constexpr int kTemporaryNameTries = 100;

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
  bool Close() { return m_fd < 0 || ::close(std::exchange(m_fd, -1)) == 0; }

 private:
  int m_fd;
};

// The file there before the save, open for writing.
struct OldFile {
  Fd fd;  // none where there was no file
  struct stat st {};
  bool readable = false;
};

// The file a path leads to: symbolic links are followed, a relative one from
// the folder of the link. Nothing for a link that cannot be read or a loop.
std::optional<fs::path> FollowLinks(fs::path path) {
  for (int followed = 0; followed <= kMaxLinksFollowed; ++followed) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(path, error))) return path;
    const fs::path next = fs::read_symlink(path, error);
    if (error) return std::nullopt;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return std::nullopt;
}

// Opens the file at path as the old file. False where something other than a
// regular file is there or the file may not be written; true, without a
// descriptor, where nothing is there.
bool OpenOld(const fs::path& path, OldFile& old) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT;
  // Looked at before opening: a FIFO could block the open, a device would
  // take the bytes.
  if (!S_ISREG(st.st_mode)) return false;
  constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  old.fd = Fd(::open(path.c_str(), O_RDWR | kFlags));
  old.readable = old.fd.valid();
  if (!old.fd.valid() && errno == EACCES) old.fd = Fd(::open(path.c_str(), O_WRONLY | kFlags));
  return old.fd.valid() && ::fstat(old.fd.get(), &old.st) == 0 && S_ISREG(old.st.st_mode);
}

// Writes the bytes at offset; how many were written before any failure.
std::size_t WriteAt(int fd, const char* data, std::size_t size, off_t offset) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pwrite(fd, data + done, size - done, offset + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

bool ReadAll(int fd, std::vector<char>& content) {
  char chunk[8192];
  for (;;) {
    const ssize_t n = ::pread(fd, chunk, sizeof chunk, static_cast<off_t>(content.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    content.insert(content.end(), chunk, chunk + n);
  }
}

// Creates a new file with a unique short name in the folder, never through an
// existing name or link.
Fd CreateTemporary(int folder, mode_t mode, std::string& name) {
  static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
    unsigned char random[6];
    if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) return Fd();
    name = ".saving-";
    for (const unsigned char r : random)
      name += kLetters[r % (sizeof kLetters - 1)];
    Fd fd(::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    if (fd.valid() || errno != EEXIST) return fd;
  }
  return Fd();
}

// Writes a new file in the folder and renames it to name. Nothing where no
// new file can be made there or it cannot take the name.
std::optional<FileWrite> Replace(int folder, const std::string& name, const OldFile& old,
                                 std::span<const char> bytes) {
  std::string temporaryName;
  Fd temporary = CreateTemporary(folder, old.fd.valid() ? 0600 : 0666, temporaryName);
  if (!temporary.valid()) return std::nullopt;
  const int fd = temporary.get();
  bool written = WriteAt(fd, bytes.data(), bytes.size(), 0) == bytes.size();
  if (written && old.fd.valid()) {
    // Owner and group as far as this process may set them; the mode as far as
    // the file system holds modes. A replacement without is still saved.
    [[maybe_unused]] const bool ownerKept = ::fchown(fd, old.st.st_uid, old.st.st_gid) == 0;
    ::fchmod(fd, old.st.st_mode & 07777);
  }
  written = written && ::fsync(fd) == 0;
  written = temporary.Close() && written;
  if (written && ::renameat(folder, temporaryName.c_str(), folder, name.c_str()) == 0) {
    const Fd synced(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (synced.valid()) ::fsync(synced.get());
    return FileWrite::Written;
  }
  ::unlinkat(folder, temporaryName.c_str(), 0);
  if (!written) return FileWrite::Failed;
  return std::nullopt;
}

// Writes the bytes over the old file without truncating it first, cuts it to
// their size after; on any failure the old bytes are put back.
FileWrite WriteInPlace(const OldFile& old, std::span<const char> bytes) {
  // Without the old bytes a failed write could not be undone.
  if (!old.readable) return FileWrite::NotOpened;
  std::vector<char> before;
  if (!ReadAll(old.fd.get(), before)) return FileWrite::Failed;
  const int fd = old.fd.get();
  // The old file is changed from its start up to here.
  std::size_t changed = WriteAt(fd, bytes.data(), bytes.size(), 0);
  bool whole = changed == bytes.size();
  if (whole && before.size() > bytes.size()) {
    whole = ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
    if (whole) changed = before.size();
  }
  if (whole && ::fsync(fd) == 0) return FileWrite::Written;

  WriteAt(fd, before.data(), std::min(changed, before.size()), 0);
  if (changed > before.size()) {
    [[maybe_unused]] const bool shortened = ::ftruncate(fd, static_cast<off_t>(before.size())) == 0;
  }
  ::fsync(fd);
  return FileWrite::Failed;
}

}  // namespace

FileWrite WriteFileSafely(const fs::path& path, std::span<const char> bytes) {
  const auto target = FollowLinks(path);
  if (!target || !target->has_filename()) return FileWrite::NotOpened;
  OldFile old;
  if (!OpenOld(*target, old)) return FileWrite::NotOpened;
  const fs::path folder = target->has_parent_path() ? target->parent_path() : fs::path(".");
  const Fd folderFd(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (folderFd.valid()) {
    if (const auto replaced = Replace(folderFd.get(), target->filename().string(), old, bytes))
      return *replaced;
  }
  // The folder takes no new file, or a new one cannot take the old one's place.
  return old.fd.valid() ? WriteInPlace(old, bytes) : FileWrite::NotOpened;
}
