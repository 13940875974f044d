// Where the report descriptor of a hidraw node comes from: the node's sysfs
// entry, or failing that the node itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvane::hidlib {

// The kernel's limit on the size of a report descriptor.
inline constexpr size_t kMaxDescriptorBytes = 4096;

// The sysfs file holding the report descriptor of the hidraw node at
// devicePath (".../hidrawN" gives "<sysfsRoot>/class/hidraw/hidrawN/device/
// report_descriptor"); nothing when devicePath does not name a hidraw node.
std::optional<std::string> sysfsDescriptorPath(const std::string& devicePath,
                                               const std::string& sysfsRoot = "/sys");

// The contents of a descriptor file; nothing when it cannot be read, is empty
// or is longer than kMaxDescriptorBytes.
std::optional<std::vector<uint8_t>> readDescriptorFile(const std::string& file);

// The descriptor as the hidraw node's ioctl gives it; nothing on any failure.
std::optional<std::vector<uint8_t>> readDescriptorFromNode(const std::string& devicePath);

// The sysfs file first, then the node.
std::optional<std::vector<uint8_t>> readReportDescriptor(const std::string& devicePath,
                                                         const std::string& sysfsRoot = "/sys");

}  // namespace corvane::hidlib
