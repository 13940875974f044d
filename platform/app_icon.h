// The program's own icon: a square picture drawn at build time and kept in
// the share folder beside the drive-C roots. The application shows it on every
// one of its windows.
#pragma once

namespace platform {

// A handle to an icon the application keeps for its whole run.
struct AppIcon;
using IconHandle = const AppIcon*;

// The application's icon; null when its file is missing or unreadable, or no
// application has been made.
IconHandle LoadAppIcon();

}  // namespace platform
