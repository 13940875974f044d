#include "hidlib/descriptor_source.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

namespace corvane::hidlib {
namespace {

constexpr std::string_view kNodePrefix = "hidraw";
constexpr size_t kMaxNodeDigits = 9;

static_assert(kMaxDescriptorBytes == HID_MAX_DESCRIPTOR_SIZE);

// Closes a file descriptor when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// "hidrawN" when devicePath ends in such a name, else empty.
std::string_view nodeName(std::string_view devicePath) {
  const size_t slash = devicePath.rfind('/');
  const std::string_view name = slash == std::string_view::npos ? devicePath : devicePath.substr(slash + 1);
  if (!name.starts_with(kNodePrefix)) return {};
  const std::string_view digits = name.substr(kNodePrefix.size());
  if (digits.empty() || digits.size() > kMaxNodeDigits) return {};
  for (char c : digits) {
    if (c < '0' || c > '9') return {};
  }
  return name;
}

}  // namespace

std::optional<std::string> sysfsDescriptorPath(const std::string& devicePath, const std::string& sysfsRoot) {
  const std::string_view name = nodeName(devicePath);
  if (name.empty()) return std::nullopt;
  return sysfsRoot + "/class/hidraw/" + std::string(name) + "/device/report_descriptor";
}

std::optional<std::vector<uint8_t>> readDescriptorFile(const std::string& file) {
  FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return std::nullopt;
  // One byte more than allowed, to tell a descriptor that is too long.
  std::vector<uint8_t> bytes(kMaxDescriptorBytes + 1);
  size_t filled = 0;
  while (filled < bytes.size()) {
    const ssize_t n = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    filled += static_cast<size_t>(n);
  }
  if (filled == 0 || filled > kMaxDescriptorBytes) return std::nullopt;
  bytes.resize(filled);
  return bytes;
}

std::optional<std::vector<uint8_t>> readDescriptorFromNode(const std::string& devicePath) {
  if (nodeName(devicePath).empty()) return std::nullopt;
  // This handle is closed before it is ever read from; input reports that
  // reach it meanwhile go away with it.
  FileDescriptor fd(::open(devicePath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) return std::nullopt;
  int size = 0;
  if (::ioctl(fd.get(), HIDIOCGRDESCSIZE, &size) < 0) return std::nullopt;
  if (size <= 0 || static_cast<size_t>(size) > kMaxDescriptorBytes) return std::nullopt;
  auto descriptor = std::make_unique<hidraw_report_descriptor>();
  descriptor->size = static_cast<uint32_t>(size);
  if (::ioctl(fd.get(), HIDIOCGRDESC, descriptor.get()) < 0) return std::nullopt;
  return std::vector<uint8_t>(descriptor->value, descriptor->value + size);
}

std::optional<std::vector<uint8_t>> readReportDescriptor(const std::string& devicePath,
                                                         const std::string& sysfsRoot) {
  if (const auto file = sysfsDescriptorPath(devicePath, sysfsRoot)) {
    if (auto bytes = readDescriptorFile(*file)) return bytes;
  }
  return readDescriptorFromNode(devicePath);
}

}  // namespace corvane::hidlib
