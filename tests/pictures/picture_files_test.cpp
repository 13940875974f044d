// The picture set on disk: every picture in every folder the program reads it
// from, in both drive-C roots, as a PNG of the size the program draws it at.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImageReader>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/ui_tile.h"
#include "tests/pictures/picture_files.h"

namespace {

using picture_test::kDriveRoots;
using picture_test::PicturePath;
using pictures::FolderKind;
using pictures::kPictureSet;

int LanguagesOf(const pictures::Picture& picture) {
  return picture.folder == FolderKind::kLanguage ? 4 : 1;
}

TEST(PictureSet, NamesAreUniquePerFolderAndCaseExact) {
  std::set<std::string> language, common;
  for (const auto& picture : kPictureSet) {
    auto& folder = picture.folder == FolderKind::kLanguage ? language : common;
    EXPECT_TRUE(folder.insert(std::string(picture.name)).second) << picture.name;
    // The program composes a path of at most 72 characters after the folder.
    EXPECT_LE(picture.name.size(), 72u) << picture.name;
  }
  // Two different files on a case-sensitive disk: the status dot and the dead band.
  EXPECT_TRUE(common.count("UI-G.PNG"));
  EXPECT_TRUE(common.count("UI-G.png"));
}

TEST(PictureSet, HoldsEveryPictureOfTheHomeTable) {
  for (const UiTile& tile : kPictureTable) {
    if (std::string(tile.name).empty()) continue;
    const auto& picture = picture_test::Find(tile.name);
    EXPECT_EQ(picture.folder, FolderKind::kLanguage) << tile.name;
  }
}

// A picture the code names but the set lacks is simply not drawn: the page
// shows a hole and nothing fails. Every literal file name in the program's
// drawing code must be listed, with its exact case.
// The string literals of the code that end in .png or .PNG; comments and
// character literals are stepped over, escapes inside literals kept whole.
std::vector<std::string> PictureLiterals(const std::string& code) {
  std::vector<std::string> found;
  std::size_t i = 0;
  const auto skipQuoted = [&](char quote, std::string* text) {
    for (++i; i < code.size() && code[i] != quote; ++i) {
      if (code[i] == '\\')
        ++i;
      else if (text != nullptr)
        text->push_back(code[i]);
    }
    ++i;
  };
  while (i < code.size()) {
    if (code.compare(i, 2, "//") == 0) {
      i = code.find('\n', i);
    } else if (code.compare(i, 2, "/*") == 0) {
      i = code.find("*/", i);
      if (i != std::string::npos) i += 2;
    } else if (code[i] == '\'') {
      skipQuoted('\'', nullptr);
    } else if (code[i] == '"') {
      std::string literal;
      skipQuoted('"', &literal);
      if (literal.ends_with(".png") || literal.ends_with(".PNG")) found.push_back(literal);
    } else {
      ++i;
    }
    if (i == std::string::npos) break;
  }
  return found;
}

TEST(PictureSet, HoldsEveryPictureTheProgramNames) {
  int names = 0;
  for (const char* folder : {"app", "pages", "dialogs"}) {
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(CORVANE_SOURCE_DIR) / folder)) {
      if (entry.path().extension() != ".cpp") continue;
      std::ifstream file(entry.path());
      std::stringstream text;
      text << file.rdbuf();
      for (const std::string& name : PictureLiterals(text.str())) {
        ++names;
        EXPECT_NO_THROW(picture_test::Find(name)) << name << " in " << entry.path();
      }
    }
  }
  // The frame, the home table and the five page drawers name well over this.
  EXPECT_GE(names, 40);
}

TEST(PictureSet, NeedlesLieInTheCommonFolder) {
  for (const char* name : {"UI-Po.png", "UI-Timing.png"}) {
    const auto& picture = picture_test::Find(name);
    EXPECT_EQ(picture.folder, FolderKind::kNeedle);
    // The dashboard reads them by the relative path REC/LANGUAGE_PN/<name>.
    EXPECT_EQ(pictures::PictureFolder(picture, 0), "CORVANE/REC/LANGUAGE_PN");
  }
  EXPECT_EQ(pictures::PictureFolder(picture_test::Find("UI-01.PNG"), 3), "CORVANE/REC/LANGUAGE_GN");
}

TEST(PictureFiles, EveryPictureIsAPngOfItsSizeInBothRoots) {
  for (const std::string& root : kDriveRoots) {
    for (const auto& picture : kPictureSet) {
      for (int language = 0; language < LanguagesOf(picture); ++language) {
        const QString path = PicturePath(root, picture, language);
        SCOPED_TRACE(path.toStdString());
        QImageReader reader(path);
        ASSERT_TRUE(QFileInfo(path).isFile());
        EXPECT_EQ(reader.format(), "png");
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
        EXPECT_EQ(image.width(), picture.width);
        EXPECT_EQ(image.height(), picture.height);
        EXPECT_TRUE(image.hasAlphaChannel());
      }
    }
  }
}

TEST(PictureFiles, BothRootsHoldTheSamePictures) {
  for (const auto& picture : kPictureSet) {
    for (int language = 0; language < LanguagesOf(picture); ++language) {
      const QImage first(PicturePath(kDriveRoots[0], picture, language));
      const QImage second(PicturePath(kDriveRoots[1], picture, language));
      EXPECT_EQ(first, second) << picture.name;
    }
  }
}

TEST(PictureFiles, LanguagePicturesCarryTheirOwnLabels) {
  for (const auto& picture : kPictureSet) {
    if (picture.folder != FolderKind::kLanguage) continue;
    for (int a = 0; a < 4; ++a) {
      for (int b = a + 1; b < 4; ++b) {
        EXPECT_NE(picture_test::Load(picture.name, a), picture_test::Load(picture.name, b))
            << picture.name << " is the same in languages " << a << " and " << b;
      }
    }
  }
}

}  // namespace
