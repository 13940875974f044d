// Arrival and removal of HID devices, delivered to the program on its UI
// thread as device-change events carrying the device's path.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/dialog_host.h"
#include "platform/library.h"

namespace platform {

// Event types and the record's device type.
inline constexpr unsigned kDeviceArrival = 0x8000;
inline constexpr unsigned kDeviceRemoveComplete = 0x8004;
inline constexpr int kDeviceTypeInterface = 5;

struct DeviceChangeRecord {
  int deviceType = kDeviceTypeInterface;
  std::string name;  // the device's path, e.g. /dev/hidraw3
};

using DeviceChangeHandler = std::function<void(unsigned eventType, const DeviceChangeRecord& record)>;

// A registration; events stop when it is destroyed (on the UI thread).
class DeviceNotification {
 public:
  virtual ~DeviceNotification() = default;
};

// Watches the hidraw devices of the system (udev) and, when the HID library
// simulates devices of its own, that library's plug events. The handler runs
// on the UI thread through the host, never after the registration is gone.
std::unique_ptr<DeviceNotification> RegisterDeviceNotification(DialogHost& host, LibraryHandle hidLibrary,
                                                               DeviceChangeHandler handler);

}  // namespace platform
