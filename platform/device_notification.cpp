#include "platform/device_notification.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace platform {

namespace {

// What a simulated HID library exports to report its own boxes coming and going.
using PlugListener = void (*)(int arrived, const char* path, void* context);
using SetPlugListener = void (*)(PlugListener listener, void* context);
constexpr const char* kSetPlugListenerName = "CorvaneSim_SetPlugListener";

class Registration final : public DeviceNotification {
 public:
  Registration(DialogHost& host, LibraryHandle library, DeviceChangeHandler handler)
      : m_host(host), m_handler(std::move(handler)), m_alive(std::make_shared<bool>(true)) {
    StartUdev();
    m_setPlugListener = reinterpret_cast<SetPlugListener>(FindSymbol(library, kSetPlugListenerName));
    if (m_setPlugListener != nullptr) m_setPlugListener(&Registration::OnPlug, this);
  }

  ~Registration() override {
    if (m_setPlugListener != nullptr) m_setPlugListener(nullptr, nullptr);
    if (m_thread.joinable()) {
      const std::uint64_t one = 1;
      [[maybe_unused]] const ssize_t written = ::write(m_stopFd, &one, sizeof one);
      m_thread.join();
    }
    if (m_stopFd >= 0) ::close(m_stopFd);
    if (m_monitor != nullptr) udev_monitor_unref(m_monitor);
    if (m_udev != nullptr) udev_unref(m_udev);
    *m_alive = false;  // posted events still queued are dropped
  }

 private:
  static void OnPlug(int arrived, const char* path, void* context) {
    static_cast<Registration*>(context)->Deliver(arrived ? kDeviceArrival : kDeviceRemoveComplete, path);
  }

  // Hands the event to the UI thread. Runs on the watcher threads.
  void Deliver(unsigned eventType, const char* path) {
    DeviceChangeRecord record{kDeviceTypeInterface, path != nullptr ? path : ""};
    m_host.post([alive = m_alive, handler = m_handler, eventType, record] {
      if (*alive) handler(eventType, record);
    });
  }

  void StartUdev() {
    m_udev = udev_new();
    if (m_udev == nullptr) return;
    // Events from udev itself, sent once a device is initialised.
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (m_monitor == nullptr) return;
    if (udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(m_monitor) < 0) {
      return;
    }
    m_stopFd = ::eventfd(0, EFD_CLOEXEC);
    if (m_stopFd < 0) return;
    m_thread = std::thread([this] { WatchUdev(); });
  }

  void WatchUdev() {
    pollfd fds[2] = {{udev_monitor_get_fd(m_monitor), POLLIN, 0}, {m_stopFd, POLLIN, 0}};
    for (;;) {
      if (::poll(fds, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (fds[1].revents != 0) return;
      if ((fds[0].revents & POLLIN) == 0) continue;
      udev_device* device = udev_monitor_receive_device(m_monitor);
      if (device == nullptr) continue;
      const char* action = udev_device_get_action(device);
      const char* node = udev_device_get_devnode(device);
      if (action != nullptr && node != nullptr) {
        if (std::strcmp(action, "add") == 0) Deliver(kDeviceArrival, node);
        if (std::strcmp(action, "remove") == 0) Deliver(kDeviceRemoveComplete, node);
      }
      udev_device_unref(device);
    }
  }

  DialogHost& m_host;
  DeviceChangeHandler m_handler;
  // Read and written on the UI thread only.
  std::shared_ptr<bool> m_alive;
  SetPlugListener m_setPlugListener = nullptr;
  udev* m_udev = nullptr;
  udev_monitor* m_monitor = nullptr;
  int m_stopFd = -1;
  std::thread m_thread;
};

}  // namespace

std::unique_ptr<DeviceNotification> RegisterDeviceNotification(DialogHost& host, LibraryHandle hidLibrary,
                                                               DeviceChangeHandler handler) {
  return std::make_unique<Registration>(host, hidLibrary, std::move(handler));
}

}  // namespace platform
