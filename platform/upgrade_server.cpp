#include "platform/upgrade_server.h"

#include <cstdlib>

namespace platform {

std::string UpgradeServerAddress(std::string_view builtIn) {
  if (const char* address = std::getenv("CORVANE_UPGRADE_SERVER"); address != nullptr && *address != '\0') {
    return address;
  }
  return std::string(builtIn);
}

}  // namespace platform
