#include "link/safe_file_write.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/regular_file.h"

namespace {

namespace fs = std::filesystem;

// Names tried for the new file before giving up on the folder.
constexpr int kTemporaryNameTries = 100;
// The extended attribute that holds a file's access ACL.
constexpr std::string_view kAclName = "system.posix_acl_access";

// The file there before the save, open for writing.
struct OldFile {
  Fd fd;  // none where there was no file
  struct stat st {};
  bool readable = false;
};

// Opens the file at path as the old file. False where something other than a
// regular file is there or the file may not be written; true, without a
// descriptor, where nothing is there.
bool OpenOld(const fs::path& path, OldFile& old) {
  old.fd = OpenRegularFile(path, O_RDWR, old.st);
  old.readable = old.fd.valid();
  if (!old.fd.valid() && errno == EACCES) old.fd = OpenRegularFile(path, O_WRONLY, old.st);
  return old.fd.valid() || errno == ENOENT;
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

// Calls call(buffer, size) without a buffer to learn the size it needs, then
// with one; what it filled in, or nothing where it fails (errno tells why).
template <class Call>
std::optional<std::vector<char>> Fetch(Call call) {
  const ssize_t size = call(nullptr, 0);
  if (size < 0) return std::nullopt;
  std::vector<char> buffer(static_cast<std::size_t>(size));
  const ssize_t got = size == 0 ? 0 : call(buffer.data(), buffer.size());
  if (got < 0) return std::nullopt;
  buffer.resize(std::min(buffer.size(), static_cast<std::size_t>(got)));
  return buffer;
}

// The names of the file's extended attributes; nothing where they cannot be
// listed.
std::optional<std::vector<std::string>> AttributeNames(int fd) {
  const auto list = Fetch([fd](char* buffer, std::size_t size) { return ::flistxattr(fd, buffer, size); });
  if (!list) return std::nullopt;
  std::vector<std::string> names;
  for (auto at = list->begin(); at != list->end();) {
    const auto end = std::find(at, list->end(), '\0');
    if (end != at) names.emplace_back(at, end);
    at = end == list->end() ? end : end + 1;
  }
  return names;
}

// Gives the new file the old one's extended attributes and no others (such as
// an ACL taken from the folder), so that it is open to no one the old file
// was not. False where that cannot be done.
bool CopyAttributes(int from, int to) {
  const auto names = AttributeNames(from);
  if (!names) return errno == ENOTSUP;  // the file system holds none
  const auto own = AttributeNames(to);
  if (!own) return false;
  for (const std::string& name : *own) {
    if (std::find(names->begin(), names->end(), name) == names->end() &&
        ::fremovexattr(to, name.c_str()) != 0)
      return false;
  }
  // The ACL last: it sets the group bits of the mode to its mask.
  for (const bool acl : {false, true}) {
    for (const std::string& name : *names) {
      if ((name == kAclName) != acl) continue;
      const auto value = Fetch(
          [&](char* buffer, std::size_t size) { return ::fgetxattr(from, name.c_str(), buffer, size); });
      if (!value || ::fsetxattr(to, name.c_str(), value->data(), value->size(), 0) != 0) return false;
    }
  }
  return true;
}

// Gives the new file the old one's owner and group, its mode as far as the
// file system holds modes, and its extended attributes. False where the new
// file cannot have them all: a file that changed owner or group would be
// open to others, or closed to its owner.
bool KeepWhatTheOldFileHad(const OldFile& old, int fd) {
  if (::fchown(fd, old.st.st_uid, old.st.st_gid) != 0) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_uid != old.st.st_uid || st.st_gid != old.st.st_gid) return false;
  }
  ::fchmod(fd, old.st.st_mode & 07777);
  return CopyAttributes(old.fd.get(), fd);
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
// new file can be made there, it cannot keep all the old file had or it
// cannot take the name.
std::optional<FileWrite> Replace(int folder, const std::string& name, const OldFile& old,
                                 std::span<const char> bytes) {
  std::string temporaryName;
  Fd temporary = CreateTemporary(folder, old.fd.valid() ? 0600 : 0666, temporaryName);
  if (!temporary.valid()) return std::nullopt;
  // The new file goes on every road out but its rename, an exception (out of
  // memory while the attributes are copied) included.
  struct Remover {
    int folder;
    const std::string& name;
    bool renamed = false;
    ~Remover() {
      if (!renamed) ::unlinkat(folder, name.c_str(), 0);
    }
  } remover{folder, temporaryName};
  const int fd = temporary.get();
  bool written = WriteAt(fd, bytes.data(), bytes.size(), 0) == bytes.size();
  // A replacement that cannot keep all the old file had is not made.
  bool kept = true;
  if (written && old.fd.valid()) kept = KeepWhatTheOldFileHad(old, fd);
  written = written && ::fsync(fd) == 0;
  written = temporary.Close() && written;
  if (written && kept && ::renameat(folder, temporaryName.c_str(), folder, name.c_str()) == 0) {
    remover.renamed = true;
    const Fd synced(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (synced.valid()) ::fsync(synced.get());
    return FileWrite::Written;
  }
  if (!written) return FileWrite::Failed;
  return std::nullopt;
}

// Writes the bytes over the old file without truncating it first, and cuts
// it to their size last; on a failure before that the old bytes are put back.
// Only the old bytes the new ones cover are held, whatever the file's size.
FileWrite WriteInPlace(const OldFile& old, std::span<const char> bytes) {
  // Without the old bytes a failed write could not be undone.
  if (!old.readable) return FileWrite::NotOpened;
  const int fd = old.fd.get();
  const auto oldSize = static_cast<std::size_t>(old.st.st_size);
  std::vector<char> covered(std::min(oldSize, bytes.size()));
  if (ReadAt(fd, covered.data(), covered.size(), 0) != static_cast<ssize_t>(covered.size()))
    return FileWrite::Failed;
  const std::size_t written = WriteAt(fd, bytes.data(), bytes.size(), 0);
  if (written == bytes.size() && ::fsync(fd) == 0 &&
      (oldSize <= bytes.size() || ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0)) {
    ::fsync(fd);  // the cut made lasting; the new bytes already are
    return FileWrite::Written;
  }

  WriteAt(fd, covered.data(), std::min(written, covered.size()), 0);
  if (written > oldSize) {
    [[maybe_unused]] const bool shortened = ::ftruncate(fd, static_cast<off_t>(oldSize)) == 0;
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
