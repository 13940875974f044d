#include "platform/qt/fonts.h"

#include <algorithm>
#include <cmath>

namespace platform::qt {

namespace {

// Liberation Sans has Arial's metrics; the dialog face is a narrow sans as
// well, so texts laid out for it keep their width.
constexpr const char* kSans = "Liberation Sans";
// Chinese first (also covers kana), then Japanese forms, then a sans with a
// wide Latin and symbol repertoire.
constexpr const char* kFallbacks[] = {"Noto Sans CJK SC", "Noto Sans CJK JP", "DejaVu Sans"};

}  // namespace

QStringList FontFamilies(std::string_view face) {
  QStringList families;
  if (face == "Arial" || face == "MS Shell Dlg" || face == "MS Shell Dlg 2" || face.empty()) {
    families << kSans;
  } else {
    families << QString::fromUtf8(face.data(), static_cast<qsizetype>(face.size())) << kSans;
  }
  for (const char* fallback : kFallbacks)
    families << fallback;
  return families;
}

QFont CanvasFont(const Font& font) {
  QFont result;
  result.setFamilies(FontFamilies(font.face));
  result.setStyleHint(QFont::SansSerif);
  result.setWeight(QFont::Normal);
  result.setItalic(false);
  result.setPixelSize(std::max(1, static_cast<int>(std::lround(font.sizeInches * 96.0f))));
  return result;
}

QFont DialogFont(int points) {
  QFont result;
  result.setFamilies(FontFamilies("MS Shell Dlg"));
  result.setStyleHint(QFont::SansSerif);
  result.setPixelSize(std::max(1, (points * 96 + 36) / 72));
  return result;
}

}  // namespace platform::qt
