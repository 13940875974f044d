#include <cstdio>
#include <utility>

#include "platform/upgrade_server.h"
#include "upgrade/upgrade_list.h"

namespace {

// The base address the build names, unless the environment names another.
std::string ServerAddress() {
  return platform::UpgradeServerAddress(CORVANE_UPGRADE_SERVER);
}

}  // namespace

std::string BuildUpgradeQueryUrl(DeviceIdentity identity) {
  std::uint8_t* b = identity.bytes();
  std::swap(b[8], b[9]);
  std::swap(b[11], b[12]);
  // Firmware 3.02 expects a freshly computed check byte and a zero byte 14.
  if (b[11] == 3 && b[12] == 2) {
    b[14] = 0;
    b[15] = 0;
    std::uint8_t sum = 0;
    for (int i = 0; i < 15; ++i)
      sum = static_cast<std::uint8_t>(sum + b[i]);
    b[15] = static_cast<std::uint8_t>(-sum);
  }
  std::string url = ServerAddress() + "/?SN=";
  char digits[3];
  for (int i = 0; i < 16; ++i) {
    std::snprintf(digits, sizeof digits, "%02X", b[i]);
    url += digits;
  }
  return url;
}

std::string DefaultQueryUrl(const char* storedId) {
  return ServerAddress() + "/?SN=" + storedId;
}
