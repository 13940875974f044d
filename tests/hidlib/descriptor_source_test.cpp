#include "hidlib/descriptor_source.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace corvane::hidlib {
namespace {

namespace fs = std::filesystem;

class DescriptorSourceTest : public ::testing::Test {
 protected:
  DescriptorSourceTest() {
    root = fs::temp_directory_path() / ("corvane-sysfs-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
  }
  ~DescriptorSourceTest() override { fs::remove_all(root); }

  void writeDescriptor(const std::string& node, const std::vector<uint8_t>& bytes) {
    const fs::path dir = root / "class" / "hidraw" / node / "device";
    fs::create_directories(dir);
    std::ofstream(dir / "report_descriptor", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  fs::path root;
};

TEST_F(DescriptorSourceTest, OnlyHidrawNodesMapToSysfs) {
  EXPECT_EQ(sysfsDescriptorPath("/dev/hidraw3", "/s"), "/s/class/hidraw/hidraw3/device/report_descriptor");
  EXPECT_EQ(sysfsDescriptorPath("/dev/hidraw123456789", "/s"),
            "/s/class/hidraw/hidraw123456789/device/report_descriptor");
  for (const char* path : {"/dev/hidraw", "/dev/hidrawX", "/dev/hidraw1x", "/dev/hidraw1234567890",
                           "/dev/hidraw1/..", "/dev/usb/hiddev0", "", "1-2:1.0"}) {
    EXPECT_EQ(sysfsDescriptorPath(path, "/s"), std::nullopt) << path;
  }
}

TEST_F(DescriptorSourceTest, ReadsTheSysfsFileWithinTheKernelLimit) {
  const std::vector<uint8_t> small{0x06, 0x00, 0xFF, 0xC0};
  writeDescriptor("hidraw3", small);
  EXPECT_EQ(readReportDescriptor("/dev/hidraw3", root.string()), small);

  const std::vector<uint8_t> largest(kMaxDescriptorBytes, 0x81);
  writeDescriptor("hidraw4", largest);
  EXPECT_EQ(readReportDescriptor("/dev/hidraw4", root.string()), largest);

  // Too long, empty or absent, with no such device node to fall back on.
  writeDescriptor("hidraw98765", std::vector<uint8_t>(kMaxDescriptorBytes + 1, 0x81));
  EXPECT_EQ(readReportDescriptor("/dev/hidraw98765", root.string()), std::nullopt);
  writeDescriptor("hidraw98766", {});
  EXPECT_EQ(readReportDescriptor("/dev/hidraw98766", root.string()), std::nullopt);
  EXPECT_EQ(readReportDescriptor("/dev/hidraw98767", root.string()), std::nullopt);
  EXPECT_EQ(readDescriptorFromNode("/dev/null"), std::nullopt);
}

}  // namespace
}  // namespace corvane::hidlib
