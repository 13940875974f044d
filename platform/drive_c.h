// The program names files by Windows paths on drive C. They are mapped onto
// one directory, the drive-C root: $CORVANE_DRIVE_C when set, else
// <folder of the executable>/../share/corvane/drive_c.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

std::filesystem::path DriveCRoot();

// The program's share folder, <folder of the executable>/../share/corvane,
// which holds the drive-C roots and the program's own files beside them.
std::filesystem::path ShareFolder();

// "C:\CORVANE\REC\X.PNG" -> <root>/CORVANE/REC/X.PNG. Backslashes become
// slashes; names keep their case. A path without a drive is taken from the
// root as well.
std::filesystem::path MapDriveC(std::string_view windowsPath);

// The system folder as the program sees it, "C:\Windows\System32"; its parent
// is the Windows folder, <root>/Windows.
std::string SystemDirectory();

}  // namespace platform
