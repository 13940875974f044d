// Saving and loading .esc files.
#include <grp.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <malloc.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

#include "support/link_fixture.h"

// AddressSanitizer and ThreadSanitizer reserve more address space than any
// memory limit a test sets, and end a program that runs out of memory.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define CORVANE_SANITIZED 1
#endif

#ifndef CORVANE_SANITIZED
// Running out of memory at one point of a save: an allocation of exactly
// this many bytes fails. Set only in a forked child. The library's delete
// frees what malloc gave.
static std::atomic<std::size_t> g_failingAllocation{0};

void* operator new(std::size_t size) {
  if (size != 0 && size == g_failingAllocation.load(std::memory_order_relaxed)) throw std::bad_alloc();
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
#endif

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// A user and group that neither this process nor kNobody is.
constexpr uid_t kOther = 65533;
constexpr const char* kAcl = "system.posix_acl_access";

// An ACL as the kernel takes it in an extended attribute (little-endian): the
// mode's entries, and perm (read) for user as far as the mask, the mode's
// group bits, lets it.
std::string AclFor(mode_t mode, uid_t user = kOther, std::uint32_t perm = 4) {
  std::string acl;
  const auto put = [&acl](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
      acl += static_cast<char>(value >> (8 * i) & 0xFF);
  };
  put(2, 4);  // version
  constexpr std::uint32_t kNoId = 0xFFFFFFFF;
  const std::uint32_t entries[][3] = {
      {0x01, mode >> 6 & 7, kNoId}, {0x02, perm, user},      {0x04, mode >> 3 & 7, kNoId},
      {0x10, mode >> 3 & 7, kNoId}, {0x20, mode & 7, kNoId},
  };
  for (const auto& [tag, perm, id] : entries) {
    put(tag, 2);
    put(perm, 2);
    put(id, 4);
  }
  return acl;
}

// The value of the file's extended attribute; nothing where it has none.
std::optional<std::string> Attribute(const fs::path& path, const std::string& name) {
  std::string value(256, '\0');
  const ssize_t size = ::getxattr(path.c_str(), name.c_str(), value.data(), value.size());
  if (size < 0) return std::nullopt;
  value.resize(static_cast<std::size_t>(size));
  return value;
}

// Runs the body in a forked child; its exit code, or -1 where it did not exit.
// Only this thread is copied into the child (the dialog's threads do not run):
// the body makes plain system calls and the dialog's file work. An exception
// ends the child as it ends the program.
int InChild(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    try {
      ::_exit(body());
    } catch (...) {
      std::terminate();
    }
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// Lets this process map only margin bytes more than it has mapped now.
bool LimitMemory(rlim_t margin) {
  rlim_t pages = 0;
  if (!(std::ifstream("/proc/self/statm") >> pages)) return false;
  const rlimit limit{pages * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + margin, RLIM_INFINITY};
  return ::setrlimit(RLIMIT_AS, &limit) == 0;
}

class EscFiles : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    dir = fs::temp_directory_path() / ("corvane-files-" + std::to_string(::getpid()) + "-" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    fs::permissions(dir, fs::perms::owner_all);
    fs::remove_all(dir);
    LinkTest::TearDown();
  }
  static void WriteFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  // The file's bytes, its first MiB at most: a file a save leaves larger is
  // wrong all the same, and one a row made huge is not read into memory.
  static Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    Bytes bytes(1 << 20);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
  }
  // A file holding a recognisable image with the given selected profile.
  static Bytes FileWithImage(std::uint8_t selected, std::uint8_t first = 0x0A) {
    Bytes file(2478);
    file[0] = first;
    for (int i = 1; i < 2478; ++i)
      file[i] = static_cast<std::uint8_t>(i * 7);
    file[1 + 2420] = selected;
    return file;
  }
  void Load(const fs::path& path) {
    host.QueueFileChoice(path.string());
    dlg->OnBnClickedLoadFromPc();
  }
  void Save(const fs::path& path) {
    host.QueueFileChoice(path.string());
    dlg->OnBnClickedSaveToPc();
  }

  fs::path dir;
};

TEST_F(EscFiles, SaveThenLoadGivesBackTheSameImage) {
  dlg->EditSettings([](SettingsImage& s) {
    for (int i = 0; i < 2477; ++i)
      s.bytes()[i] = static_cast<std::uint8_t>(i * 13);
    s.selectedProfile = 6;
  });
  const Bytes saved = ImageBytes();
  Save(dir / "a.esc");
  const Bytes file = ReadFile(dir / "a.esc");
  ASSERT_EQ(file.size(), 2478u);
  EXPECT_EQ(file[0], 0x0A);
  EXPECT_EQ(Bytes(file.begin() + 1, file.end()), saved);

  dlg->LoadDefaultSettings();  // change the image in memory
  ASSERT_NE(ImageBytes(), saved);
  Load(dir / "a.esc");
  EXPECT_EQ(ImageBytes(), saved);
  EXPECT_TRUE(dlg->m_bFromFile);
  EXPECT_EQ(host.ControlEnabled(IDC_SAVE_TO_PC), true);
  EXPECT_EQ(0, std::memcmp(&dlg->m_refProfile, &DefaultProfileTable[6], sizeof(SettingProfile)));
  EXPECT_TRUE(host.MessageBoxes().empty());

  // Both dialogs look for .esc files; the save dialog asks before overwriting.
  const auto dialogs = host.FileDialogs();
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(dialogs[0].defaultExtension, "esc");
  EXPECT_EQ(dialogs[0].filterPattern, "*.esc");
  EXPECT_TRUE(dialogs[0].confirmOverwrite);
  EXPECT_FALSE(dialogs[1].confirmOverwrite);
}

TEST_F(EscFiles, FirstByteIsNotChecked) {
  WriteFile(dir / "b.esc", FileWithImage(2, 0x55));
  Load(dir / "b.esc");
  EXPECT_TRUE(host.MessageBoxes().empty());
  EXPECT_EQ(dlg->SettingsSnapshot().selectedProfile, 2);
}

TEST_F(EscFiles, BadFilesLeaveTheImageUnchanged) {
  const Bytes good = FileWithImage(1);
  struct Case {
    const char* name;
    Bytes content;
  } cases[] = {
      {"short.esc", Bytes(good.begin() + 1, good.end())},  // the image without its leading byte
      {"long.esc",
       [&] {
         Bytes b = good;
         b.push_back(0);
         return b;
       }()},
      {"empty.esc", {}},
      {"profile10.esc", FileWithImage(10)},
      {"profile255.esc", FileWithImage(255)},
  };
  const Bytes before = ImageBytes();
  for (const Case& c : cases) {
    WriteFile(dir / c.name, c.content);
    Load(dir / c.name);
    EXPECT_EQ(ImageBytes(), before) << c.name;
    EXPECT_FALSE(dlg->m_bFromFile) << c.name;
  }
  EXPECT_EQ(host.MessageBoxes(), std::vector<std::string>(std::size(cases), "file Err!"));
}

TEST_F(EscFiles, MissingFileAndCancelledDialogs) {
  const Bytes before = ImageBytes();
  // Only a regular file is read: a FIFO would hang the load, a device give
  // what it holds, also through a link.
  ASSERT_EQ(::mkfifo((dir / "fifo.esc").c_str(), 0644), 0);
  fs::create_symlink("fifo.esc", dir / "fifo-link.esc");
  fs::create_symlink("/dev/null", dir / "null.esc");
  for (const char* name : {"missing.esc", "fifo.esc", "fifo-link.esc", "null.esc"})
    Load(dir / name);
  EXPECT_EQ(host.MessageBoxes(), std::vector<std::string>(4, "Can't open file!"));

  host.QueueFileChoice(std::nullopt);
  dlg->OnBnClickedLoadFromPc();
  host.QueueFileChoice(std::nullopt);
  dlg->OnBnClickedSaveToPc();
  EXPECT_EQ(host.MessageBoxes().size(), 4u);
  EXPECT_EQ(ImageBytes(), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3);
}

TEST_F(EscFiles, SaveReplacesAnExistingFileWhole) {
  // The folder gives new files an ACL; the replacement of a file without one
  // gets none, so no one may read it who could not before.
  const std::string acl = AclFor(0755);
  ASSERT_EQ(::setxattr(dir.c_str(), "system.posix_acl_default", acl.data(), acl.size(), 0), 0);
  WriteFile(dir / "c.esc", Bytes(5000, 0xEE));
  ASSERT_EQ(::removexattr((dir / "c.esc").c_str(), kAcl), 0);
  // A link at the name an earlier save used for its new file stays as it is.
  WriteFile(dir / "other", Bytes(3, 1));
  fs::create_symlink("other", dir / ".c.esc.saving");
  const std::string longest = std::string(251, 'n') + ".esc";  // 255 bytes, the most a name holds
  Save(dir / "c.esc");
  Save(dir / longest);
  EXPECT_TRUE(host.MessageBoxes().empty());
  Bytes image = ImageBytes();
  image.insert(image.begin(), 0x0A);
  EXPECT_EQ(ReadFile(dir / "c.esc"), image);
  EXPECT_EQ(ReadFile(dir / longest), image);
  EXPECT_EQ(Attribute(dir / "c.esc", kAcl), std::nullopt);
  std::error_code error;
  EXPECT_EQ(fs::read_symlink(dir / ".c.esc.saving", error), "other");
  EXPECT_EQ(ReadFile(dir / "other"), Bytes(3, 1));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 4);
}

// Rows that rest on permission bits run as this user when the tests run as
// root, which those bits do not stop.
constexpr uid_t kNobody = 65534;
const char* const kShown[] = {"", "Can't open file!", "file Err!", "another message"};
// Exit codes of a child whose row could not be set up.
constexpr int kSetupFailed = 10;

// Makes every rename of this thread fail as it does across mount points.
bool FailRenames() {
  const std::vector<unsigned> renames = {
#ifdef SYS_rename  // not on every architecture
      SYS_rename,
#endif
      SYS_renameat, SYS_renameat2};
  std::vector<sock_filter> filter = {BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr))};
  for (std::size_t i = 0; i < renames.size(); ++i) {
    const auto toFailure = static_cast<unsigned char>(renames.size() - i);
    filter.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, renames[i], toFailure, 0));
  }
  filter.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
  filter.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EXDEV));
  const sock_fprog program{static_cast<unsigned short>(filter.size()), filter.data()};
  return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
         ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

TEST_F(EscFiles, SaveKeepsModeOwnerAndLinksAndWritesInPlaceWhereNoNewFileTakesItsPlace) {
  using P = fs::perms;
  const P none = P::none, rw = P::owner_read | P::owner_write;
  const char* const saved = kShown[0];
  // What else is true of the old file.
  enum class Extra {
    None,
    Huge,            // grown, sparse, to kHugeSize; the save may map little memory
    OthersGroup,     // belongs to kOther and a group the saving user is in
    AclWriter,       // belongs to kOther, whose ACL lets the saving user write it
    AdminAttribute,  // holds an attribute only an administrator may set
    OutOfMemory,     // memory runs out while its attributes are copied
  };
  // The size of an attribute whose copy runs out of memory.
  constexpr std::size_t kLargeAttribute = 3001;
  constexpr std::uintmax_t kHugeSize = std::uintmax_t{4} << 30;
  struct Case {
    const char* name;
    P fileMode;  // of the file there before; none: no file
    std::size_t oldSize;
    bool throughLink;
    bool readOnlyFolder;  // no new file can be made beside the target
    bool renameFails;     // as where the target is a mount point
    rlim_t sizeLimit;     // the largest file the save may write; 0: no limit
    Extra extra;
    const char* shown;  // anything but saved: nothing changed
  } cases[] = {
      {"mode", P::owner_all | P::group_read, 5000, false, false, false, 0, Extra::None, saved},
      {"link", rw, 5000, true, false, false, 0, Extra::None, saved},
      {"in-place", rw | P::others_read, 5000, false, true, false, 0, Extra::None, saved},
      {"rename-fails", rw | P::group_read, 1000, false, false, true, 0, Extra::None, saved},
      {"read-only", P::owner_read, 5000, false, true, false, 0, Extra::None, kShown[1]},
      {"new", none, 0, false, true, false, 0, Extra::None, kShown[1]},
      {"read-only-file", P::owner_read, 5000, false, false, false, 0, Extra::None, kShown[1]},
      {"in-place-fails-longer", rw, 5000, false, true, false, 2000, Extra::None, kShown[2]},
      {"in-place-fails-shorter", rw, 1000, false, true, false, 2000, Extra::None, kShown[2]},
#ifndef CORVANE_SANITIZED
      {"in-place-huge", rw, 5000, false, true, false, 0, Extra::Huge, saved},
      {"out-of-memory", rw, 5000, false, false, false, 0, Extra::OutOfMemory, kShown[2]},
#endif
      {"others-group", rw | P::group_read | P::group_write, 5000, false, false, false, 0, Extra::OthersGroup,
       saved},
      {"acl-writer", rw | P::group_read | P::group_write, 5000, false, false, false, 0, Extra::AclWriter,
       saved},
      {"admin-attribute", rw, 5000, false, false, false, 0, Extra::AdminAttribute, saved},
  };
  Bytes image = ImageBytes();
  image.insert(image.begin(), 0x0A);
  const bool root = ::geteuid() == 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path folder = dir / c.name;
    const fs::path file = c.throughLink ? folder / "sub" / "real.esc" : folder / "f.esc";
    fs::create_directories(file.parent_path());
    Bytes old(c.oldSize);
    for (std::size_t i = 0; i < old.size(); ++i)
      old[i] = static_cast<std::uint8_t>(i * 31 + 5);
    // Extended attributes the replacement keeps, an ACL among them.
    std::vector<std::pair<std::string, std::string>> attributes;
    if (c.fileMode != none) {
      WriteFile(file, old);
      // Set while the file may be written; its mode agrees with the ACL.
      const auto mode = static_cast<mode_t>(c.fileMode);
      attributes = {{"user.corvane", "kept"},
                    {kAcl, c.extra == Extra::AclWriter ? AclFor(mode, kNobody, 6) : AclFor(mode)}};
      if (root && c.extra == Extra::AdminAttribute) attributes.emplace_back("security.corvane", "admin");
      if (c.extra == Extra::OutOfMemory)
        attributes.emplace_back("user.large", std::string(kLargeAttribute, 'l'));
      for (const auto& [name, value] : attributes)
        ASSERT_EQ(::setxattr(file.c_str(), name.c_str(), value.data(), value.size(), 0), 0) << name;
      if (c.extra == Extra::Huge) fs::resize_file(file, kHugeSize);
      fs::permissions(file, c.fileMode);
    }
    if (c.throughLink) fs::create_symlink("sub/real.esc", folder / "link.esc");
    // As root, the row's files belong to another user: the replacement keeps
    // them, and a row that drops to that user may write them.
    if (root) {
      ASSERT_EQ(::lchown(folder.c_str(), kNobody, kNobody), 0);
      for (const auto& entry : fs::recursive_directory_iterator(folder))
        ASSERT_EQ(::lchown(entry.path().c_str(), kNobody, kNobody), 0);
      if (c.extra == Extra::OthersGroup || c.extra == Extra::AclWriter) {
        ASSERT_EQ(::lchown(file.c_str(), kOther, kOther), 0);
      }
    }
    struct stat before {};
    ::stat(file.c_str(), &before);
    if (c.readOnlyFolder) fs::permissions(folder, P::owner_read | P::owner_exec);
    const bool dropped =
        root && (c.readOnlyFolder || (c.fileMode & P::owner_write) == none || c.extra == Extra::OthersGroup ||
                 c.extra == Extra::AclWriter || c.extra == Extra::AdminAttribute);

    // The save runs in a child with the row's limits, from the row's folder.
    ASSERT_FALSE(dlg->m_hCommThread.joinable() || dlg->m_hUpgradeThread.joinable());
    const int shown = InChild([&] {
      if (::chdir(folder.c_str()) != 0) return kSetupFailed;
      if (c.renameFails && !FailRenames()) return kSetupFailed + 1;
      const rlimit limit{c.sizeLimit, c.sizeLimit};
      if (c.sizeLimit != 0 &&
          (::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || ::setrlimit(RLIMIT_FSIZE, &limit) != 0))
        return kSetupFailed + 2;
      const gid_t groups[] = {static_cast<gid_t>(kOther)};
      const std::size_t groupCount = c.extra == Extra::OthersGroup ? 1 : 0;
      if (dropped &&
          (::setgroups(groupCount, groups) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
        return kSetupFailed + 3;
      if (c.extra == Extra::Huge && !LimitMemory(rlim_t{64} << 20)) return kSetupFailed + 4;
#ifndef CORVANE_SANITIZED
      if (c.extra == Extra::OutOfMemory) g_failingAllocation = kLargeAttribute;
#endif
      Save(c.throughLink ? "link.esc" : "f.esc");
      const auto boxes = host.MessageBoxes();
      if (boxes.empty()) return 0;
      return boxes.size() > 1 ? 3 : boxes[0] == kShown[1] ? 1 : boxes[0] == kShown[2] ? 2 : 3;
    });
    fs::permissions(folder, P::owner_all);
    ASSERT_GE(shown, 0) << "the child ended without exiting";
    ASSERT_LT(shown, static_cast<int>(std::size(kShown))) << "the row could not be set up";
    EXPECT_STREQ(kShown[shown], c.shown);

    struct stat after {};
    ::stat(file.c_str(), &after);
    if (*c.shown == '\0') {
      EXPECT_EQ(ReadFile(file), image);
      EXPECT_EQ(fs::status(file).permissions(), c.fileMode);
      // Who owns the file, and so who may read it, stays: where the saving
      // user cannot give a new file the owner and group, it writes in place.
      EXPECT_EQ(after.st_uid, before.st_uid);
      EXPECT_EQ(after.st_gid, before.st_gid);
      for (const auto& [name, value] : attributes)
        EXPECT_EQ(Attribute(file, name), value) << name;
    } else if (c.fileMode != none) {
      EXPECT_EQ(ReadFile(file), old);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()),
              c.fileMode != none ? 1 : 0);
    EXPECT_EQ(fs::is_symlink(folder / "link.esc"), c.throughLink);
  }
}

TEST_F(EscFiles, SaveThatCannotCreateOrReplaceSaysSoAndCleansUp) {
  WriteFile(dir / "plain", Bytes(3, 1));
  fs::create_directories(dir / "folder.esc" / "inside");
  ASSERT_EQ(::mkfifo((dir / "fifo.esc").c_str(), 0644), 0);
  fs::create_symlink("fifo.esc", dir / "fifo-link.esc");
  fs::create_symlink("/dev/null", dir / "null.esc");
  Save(dir / "no-such-folder" / "d.esc");
  Save(dir / "plain" / "d.esc");  // a file where a folder should be
  Save(dir / "folder.esc");
  // Only a regular file is replaced: never a FIFO or a device, also not
  // through a link.
  Save(dir / "fifo.esc");
  Save(dir / "fifo-link.esc");
  Save(dir / "null.esc");
  EXPECT_EQ(host.MessageBoxes(), std::vector<std::string>(6, "Can't open file!"));
  EXPECT_TRUE(fs::is_directory(dir / "folder.esc" / "inside"));
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status(dir / "fifo.esc")));
  EXPECT_TRUE(fs::is_symlink(dir / "fifo-link.esc"));
  EXPECT_TRUE(fs::is_symlink(dir / "null.esc"));
  EXPECT_TRUE(fs::is_character_file(fs::symlink_status("/dev/null")));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 5);
}

TEST_F(EscFiles, LinksAnotherUserMayHavePutInASharedFolderAreNotFollowed) {
  // A sticky folder anyone may write, as /tmp, with links to a file of this
  // user's: a third user's, the folder owner's, ours. Only root can give the
  // folder and links away; another user sees ours followed.
  const bool root = ::geteuid() == 0;
  const fs::path shared = dir / "shared", target = dir / "target.esc";
  fs::create_directory(shared);
  if (root) {
    ASSERT_EQ(::chown(shared.c_str(), kNobody, kNobody), 0);
  }
  ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
  WriteFile(target, FileWithImage(3));
  const std::pair<const char*, uid_t> links[] = {
      {"foreign.esc", kOther}, {"owners.esc", kNobody}, {"mine.esc", ::geteuid()}};
  for (const auto& [name, owner] : links) {
    fs::create_symlink(target, shared / name);
    if (root) {
      ASSERT_EQ(::lchown((shared / name).c_str(), owner, owner), 0);
    }
  }
  const Bytes before = ImageBytes();
  Load(shared / "foreign.esc");
  Save(shared / "foreign.esc");
  if (root) {
    EXPECT_EQ(host.MessageBoxes(), std::vector<std::string>(2, "Can't open file!"));
    EXPECT_EQ(ImageBytes(), before);
    EXPECT_EQ(ReadFile(target), FileWithImage(3));
  }
  const std::size_t shown = host.MessageBoxes().size();

  Load(shared / "owners.esc");
  EXPECT_EQ(dlg->SettingsSnapshot().selectedProfile, 3);
  dlg->EditSettings([](SettingsImage& s) { s.selectedProfile = 5; });
  Save(shared / "mine.esc");
  EXPECT_EQ(host.MessageBoxes().size(), shown);
  EXPECT_EQ(ReadFile(target).at(1 + 2420), 5);
  for (const auto& [name, owner] : links)
    EXPECT_TRUE(fs::is_symlink(shared / name)) << name;
}

#ifndef CORVANE_SANITIZED
TEST_F(EscFiles, RunningOutOfMemorySaysFileErrAndChangesNothing) {
  const Bytes before = ImageBytes();
  constexpr rlim_t kMargin = 1 << 20;
  ASSERT_FALSE(dlg->m_hCommThread.joinable() || dlg->m_hUpgradeThread.joinable());
  const int result = InChild([&] {
    // A name longer than all the free memory of the heap and than the memory
    // left to map: neither the save nor the load can copy it.
    std::string name = dir.string() + "/";
    name.append(::mallinfo2().fordblks + 2 * kMargin, 'n');
    host.QueueFileChoice(name);
    host.QueueFileChoice(name);
    if (!LimitMemory(kMargin)) return kSetupFailed;
    dlg->OnBnClickedSaveToPc();
    dlg->OnBnClickedLoadFromPc();
    return host.MessageBoxes() == std::vector<std::string>(2, "file Err!") && ImageBytes() == before ? 0 : 1;
  });
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(fs::is_empty(dir));
}
#endif

}  // namespace
