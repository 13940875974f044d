// The upgrade server's base address: the one the program was built with,
// unless $CORVANE_UPGRADE_SERVER names another (tests and the simulated
// session point it at a loopback address).
#pragma once

#include <string>
#include <string_view>

namespace platform {

// $CORVANE_UPGRADE_SERVER when set and not empty, else builtIn.
std::string UpgradeServerAddress(std::string_view builtIn);

}  // namespace platform
