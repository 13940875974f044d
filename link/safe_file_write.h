// Writing the whole content of a file so that a failed write never leaves the
// file damaged.
#pragma once

#include <filesystem>
#include <span>

enum class FileWrite {
  Written,    // the file holds the bytes
  NotOpened,  // nothing changed: the file could not be created or opened
  Failed,     // nothing changed: writing failed
};

// Makes the bytes the whole content of the file at path. Symbolic links are
// followed as FollowLinks does (a link another user may have put in a shared
// folder is refused) and stay links. A new file is written beside the target,
// flushed and renamed over it, keeping the replaced file's owner, group, mode
// and extended attributes (its ACL among them); it is removed on every other
// road. Where no such file can be made, keep all that or be renamed there, an
// existing file is written in place, and its old bytes are put back if that
// fails. Anything but a regular file, and a file this process may not write,
// is refused.
FileWrite WriteFileSafely(const std::filesystem::path& path, std::span<const char> bytes);
