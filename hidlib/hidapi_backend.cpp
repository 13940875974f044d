#include "hidlib/hidapi_backend.h"

#include <hidapi.h>

#include <array>

#include "hidlib/descriptor_source.h"
#include "hidlib/text.h"

namespace corvane::hidlib {
namespace {

// The longest string descriptor a USB device can hold, in characters.
constexpr size_t kMaxUsbStringChars = 127;

std::optional<std::string> optionalText(const wchar_t* text) {
  if (text == nullptr) return std::nullopt;
  return wideToUtf8(text);
}

class HidapiPort final : public Port {
 public:
  explicit HidapiPort(hid_device* device) : device_(device) {}
  ~HidapiPort() override { hid_close(device_); }
  HidapiPort(const HidapiPort&) = delete;
  HidapiPort& operator=(const HidapiPort&) = delete;

  int write(const uint8_t* data, size_t length) override { return hid_write(device_, data, length); }
  int read(uint8_t* data, size_t length, int timeoutMs) override {
    return hid_read_timeout(device_, data, length, timeoutMs);
  }
  int sendFeatureReport(const uint8_t* data, size_t length) override {
    return hid_send_feature_report(device_, data, length);
  }
  int getFeatureReport(uint8_t* data, size_t length) override {
    return hid_get_feature_report(device_, data, length);
  }
  int getInputReport(uint8_t* data, size_t length) override {
    return hid_get_input_report(device_, data, length);
  }
  std::optional<std::string> indexedString(int index) override {
    std::array<wchar_t, kMaxUsbStringChars + 1> text{};
    if (hid_get_indexed_string(device_, index, text.data(), text.size() - 1) != 0) return std::nullopt;
    text.back() = L'\0';
    return wideToUtf8(text.data());
  }

 private:
  hid_device* const device_;
};

class HidapiBackend final : public Backend {
 public:
  HidapiBackend() { hid_init(); }
  ~HidapiBackend() override { hid_exit(); }
  HidapiBackend(const HidapiBackend&) = delete;
  HidapiBackend& operator=(const HidapiBackend&) = delete;

  std::vector<DeviceInfo> enumerate(uint16_t vendorId, uint16_t productId) override {
    std::vector<DeviceInfo> found;
    hid_device_info* const list = hid_enumerate(vendorId, productId);
    for (const hid_device_info* entry = list; entry != nullptr; entry = entry->next) {
      if (entry->path == nullptr) continue;
      DeviceInfo info;
      info.path = entry->path;
      info.vendorId = entry->vendor_id;
      info.productId = entry->product_id;
      info.releaseNumber = entry->release_number;
      info.manufacturer = optionalText(entry->manufacturer_string);
      info.product = optionalText(entry->product_string);
      info.serialNumber = optionalText(entry->serial_number);
      found.push_back(std::move(info));
    }
    hid_free_enumeration(list);
    return found;
  }

  std::unique_ptr<Port> open(const std::string& path) override {
    hid_device* const device = hid_open_path(path.c_str());
    if (device == nullptr) return nullptr;
    return std::make_unique<HidapiPort>(device);
  }

  std::optional<std::vector<uint8_t>> reportDescriptor(const std::string& path) override {
    return readReportDescriptor(path);
  }

  std::chrono::nanoseconds now() override { return std::chrono::steady_clock::now().time_since_epoch(); }
};

}  // namespace

std::unique_ptr<Backend> makeHidapiBackend() {
  return std::make_unique<HidapiBackend>();
}

}  // namespace corvane::hidlib
