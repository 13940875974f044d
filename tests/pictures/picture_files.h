// Access to the picture set that the build drew into the two drive-C roots.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <array>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>

#include "tools/picture_set.h"

namespace picture_test {

inline const std::array<std::string, 2> kDriveRoots = {CORVANE_DRIVE_C, CORVANE_SIM_DRIVE_C};

inline QString PicturePath(const std::string& root, const pictures::Picture& picture, int language) {
  return QString::fromStdString(root + "/" + pictures::PictureFolder(picture, language) + "/" +
                                std::string(picture.name));
}

inline const pictures::Picture& Find(std::string_view name) {
  for (const pictures::Picture& picture : pictures::kPictureSet) {
    if (picture.name == name) return picture;
  }
  throw std::out_of_range(std::string(name));
}

// The picture as the program reads it from the first root, in ARGB32.
inline QImage Load(std::string_view name, int language = 0) {
  return QImage(PicturePath(kDriveRoots[0], Find(name), language)).convertToFormat(QImage::Format_ARGB32);
}

// Distance between two colours, summed over red, green and blue.
inline int ColourDistance(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
}

inline int Luma(QRgb c) {
  return (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114) / 1000;
}

}  // namespace picture_test
