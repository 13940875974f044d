// Every picture the program draws: its file name as the program writes it,
// the folder it is read from and its size in pixels (for a picture the program
// stretches to several sizes, the size it is drawn at most often).
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace pictures {

enum class FolderKind {
  // One copy per language, LANGUAGE_EN, _CN, _JN and _GN, with that
  // language's labels.
  kLanguage,
  // LANGUAGE_PN, shared by all languages.
  kCommon,
  // The dashboard needles: read by the relative path "REC/LANGUAGE_PN/<name>",
  // which names the same files as the common folder.
  kNeedle,
};

struct Picture {
  std::string_view name;
  FolderKind folder;
  int width;
  int height;
};

// Folder of each language, indexed by the program's language number
// (0 English, 1 Chinese, 2 Japanese, 3 German).
inline constexpr std::array<std::string_view, 4> kLanguageFolders = {"LANGUAGE_EN", "LANGUAGE_CN",
                                                                     "LANGUAGE_JN", "LANGUAGE_GN"};
inline constexpr std::string_view kCommonFolder = "LANGUAGE_PN";

// The folders under a drive-C root that hold the pictures.
inline constexpr std::string_view kPictureRoot = "CORVANE/REC";

inline constexpr Picture kPictureSet[] = {
    // Frame: banner, status bar and its connection dots.
    {"UI-ORB-File.PNG", FolderKind::kCommon, 965, 60},
    {"UI-61.PNG", FolderKind::kCommon, 970, 32},
    {"UI-G.PNG", FolderKind::kCommon, 20, 20},
    {"UI-R.PNG", FolderKind::kCommon, 20, 20},

    // Home page and the pressed look of its five buttons (drawn 1.3 times the
    // button's height, from 2 pixels above it).
    {"UI-01.PNG", FolderKind::kLanguage, 965, 477},
    {"UI-11.PNG", FolderKind::kLanguage, 136, 47},
    {"UI-12.PNG", FolderKind::kLanguage, 133, 47},
    {"UI-13.PNG", FolderKind::kLanguage, 134, 47},
    {"UI-14.PNG", FolderKind::kLanguage, 132, 47},
    {"UI-15.PNG", FolderKind::kLanguage, 134, 47},

    // Page backgrounds: general settings, throttle, brake, timing, dashboard,
    // firmware.
    {"UI-02.PNG", FolderKind::kLanguage, 965, 477},
    {"UI-03.PNG", FolderKind::kLanguage, 965, 477},
    {"UI-04.PNG", FolderKind::kLanguage, 965, 477},
    {"UI-05.PNG", FolderKind::kLanguage, 965, 477},
    {"UI-06.PNG", FolderKind::kLanguage, 965, 477},
    {"UI-07.PNG", FolderKind::kLanguage, 965, 477},

    // Pressed buttons of the pages.
    {"UI-Read.png", FolderKind::kLanguage, 145, 48},
    {"UI-Save.png", FolderKind::kLanguage, 145, 48},
    {"UI-Rename.png", FolderKind::kLanguage, 104, 38},
    {"UI-Default.png", FolderKind::kLanguage, 104, 38},
    {"UI-Test.png", FolderKind::kLanguage, 70, 45},
    {"UI-Update.png", FolderKind::kLanguage, 85, 28},

    // Widgets of the pages.
    {"UI-Point.png", FolderKind::kCommon, 30, 30},     // round knob and choice marker (also at 20 x 20)
    {"UI-Weight.png", FolderKind::kCommon, 100, 10},   // horizontal fill bar, stretched to its length
    {"UI-LeftR.png", FolderKind::kCommon, 30, 30},     // knob of a horizontal slider
    {"UI-UpDown.png", FolderKind::kCommon, 30, 30},    // knob of a vertical slider; list arrows at 30 x 90
    {"UI-Height.png", FolderKind::kCommon, 10, 100},   // vertical fill bar, stretched to its height
    {"UI-HeightR.png", FolderKind::kCommon, 8, 100},   // boost timing bar
    {"UI-HeightB.png", FolderKind::kCommon, 10, 100},  // turbo timing bar
    {"UI-Red.png", FolderKind::kCommon, 30, 30},       // boost timing knob
    {"UI-Blue.png", FolderKind::kCommon, 30, 30},      // turbo timing knob
    {"UI-C.png", FolderKind::kCommon, 18, 18},         // Celsius chosen
    {"UI-F.png", FolderKind::kCommon, 18, 18},         // Fahrenheit chosen
    {"UI-62.PNG", FolderKind::kCommon, 128, 30},       // drop-down list row (also at 80 x 30)
    {"UI-Up.png", FolderKind::kCommon, 20, 40},        // dead-band edge below the band
    {"UI-Down.png", FolderKind::kCommon, 20, 40},      // dead-band edge above the band
    {"UI-G.png", FolderKind::kCommon, 46, 20},         // dead band, stretched to its height
    {"UI-MB.png", FolderKind::kCommon, 14, 14},        // turbo timing beyond the strip
    {"UI-MR.png", FolderKind::kCommon, 14, 14},        // boost timing beyond the strip
    {"UI-MG.png", FolderKind::kCommon, 14, 27},        // live timing present

    // Dashboard needles, drawn rotated about their pivot.
    {"UI-Po.png", FolderKind::kNeedle, 20, 80},
    {"UI-Timing.png", FolderKind::kNeedle, 126, 126},
};

// The folder (relative to a drive-C root) of a picture in the given language;
// the language is ignored for pictures outside the language folders.
inline std::string PictureFolder(const Picture& picture, int language) {
  const std::string_view folder = picture.folder == FolderKind::kLanguage
                                      ? kLanguageFolders[static_cast<size_t>(language)]
                                      : kCommonFolder;
  return std::string(kPictureRoot) + "/" + std::string(folder);
}

}  // namespace pictures
