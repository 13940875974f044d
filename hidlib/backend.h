// The seam between the library's logic and the operating system's HID stack.
// The real implementation sits on hidapi's hidraw backend; tests substitute a
// scripted one. Every call returns what the stack returned, unchecked: the
// library treats it as untrusted and bounds-checks it.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace corvane::hidlib {

// One attached device as the stack enumerates it. Strings are UTF-8.
struct DeviceInfo {
  std::string path;  // the device node, e.g. /dev/hidraw3
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  uint16_t releaseNumber = 0;
  std::optional<std::string> manufacturer;
  std::optional<std::string> product;
  std::optional<std::string> serialNumber;
};

// One open device. Not safe for concurrent use: the library serialises calls.
class Port {
 public:
  virtual ~Port() = default;

  // Writes one report (byte 0 the report id). Bytes written, or -1.
  virtual int write(const uint8_t* data, size_t length) = 0;
  // Reads one input report into data, waiting up to timeoutMs (0: do not
  // wait). Bytes read, 0 when nothing came in time, or -1 on an error.
  virtual int read(uint8_t* data, size_t length, int timeoutMs) = 0;

  // Control-pipe transfers; data[0] is the report id. Bytes transferred
  // (including the id byte), -1 on error, or kUnsupported.
  static constexpr int kUnsupported = -2;
  virtual int sendFeatureReport(const uint8_t* data, size_t length) = 0;
  virtual int getFeatureReport(uint8_t* data, size_t length) = 0;
  virtual int sendOutputReport(const uint8_t* /*data*/, size_t /*length*/) { return kUnsupported; }
  virtual int getInputReport(uint8_t* data, size_t length) = 0;

  // A USB string descriptor by index, or nothing when it cannot be read.
  virtual std::optional<std::string> indexedString(int index) = 0;
  // The operating system's handle of the device, or 0 when it is not known.
  virtual intptr_t nativeHandle() const { return 0; }
};

class Backend {
 public:
  virtual ~Backend() = default;

  // The attached devices with these ids, in the stack's order, possibly with
  // the same path listed more than once.
  virtual std::vector<DeviceInfo> enumerate(uint16_t vendorId, uint16_t productId) = 0;
  // Opens the device at path; nullptr when that fails.
  virtual std::unique_ptr<Port> open(const std::string& path) = 0;
  // The raw report descriptor of the device at path, or nothing.
  virtual std::optional<std::vector<uint8_t>> reportDescriptor(const std::string& path) = 0;
  // A monotonic clock; time-outs are measured on it.
  virtual std::chrono::nanoseconds now() = 0;
};

}  // namespace corvane::hidlib
