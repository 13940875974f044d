// The picture tool itself: it draws the same set every time, exactly the
// listed pictures, and fails loudly when it cannot write them.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <set>
#include <string>

#include "tests/pictures/picture_files.h"

namespace {

// Runs the tool with its error output in the given file.
int RunTool(const std::string& arguments, const std::string& errors = "/dev/null") {
  const std::string command =
      std::string("'") + CORVANE_MAKE_PICTURES + "' " + arguments + " 2>'" + errors + "'";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::set<std::string> FilesUnder(const QString& root) {
  std::set<std::string> files;
  QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext())
    files.insert(QDir(root).relativeFilePath(it.next()).toStdString());
  return files;
}

// The two files hold the same bytes.
bool SameBytes(const QString& a, const QString& b) {
  QFile first(a), second(b);
  return first.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly) &&
         first.readAll() == second.readAll();
}

TEST(MakePictures, RedrawsExactlyTheListedSetAsTheBuildInstalledIt) {
  QTemporaryDir out, scratch;
  ASSERT_TRUE(out.isValid() && scratch.isValid());
  const QString errors = scratch.filePath("errors");
  const QString icon = scratch.filePath("corvane.png");
  ASSERT_EQ(RunTool("'" + out.path().toStdString() + "' '" + icon.toStdString() + "'", errors.toStdString()),
            0);

  // Every label fits its place in every language: the tool names each one that
  // does not, which would be drawn too small or running over its neighbours.
  QFile report(errors);
  ASSERT_TRUE(report.open(QIODevice::ReadOnly));
  for (const QByteArray& line : report.readAll().split('\n'))
    EXPECT_FALSE(line.contains("does not fit")) << line.toStdString();

  std::set<std::string> expected;
  for (const auto& picture : pictures::kPictureSet) {
    const int languages = picture.folder == pictures::FolderKind::kLanguage ? 4 : 1;
    for (int language = 0; language < languages; ++language) {
      expected.insert(pictures::PictureFolder(picture, language) + "/" + std::string(picture.name));
    }
  }
  // The icon goes where it is named, not among the pictures.
  ASSERT_EQ(FilesUnder(out.path()), expected);

  // Byte for byte what the build drew earlier: the output depends on nothing
  // but the tool.
  for (const std::string& file : expected) {
    EXPECT_TRUE(SameBytes(out.path() + "/" + QString::fromStdString(file),
                          QString::fromStdString(picture_test::kDriveRoots[1] + "/" + file)))
        << file;
  }
  EXPECT_TRUE(SameBytes(icon, CORVANE_APP_ICON));
}

TEST(MakePictures, FailsWithoutAWritableOutputRoot) {
  EXPECT_EQ(RunTool(""), 2);
  QTemporaryDir out;
  ASSERT_TRUE(out.isValid());
  // A file where the CORVANE folder has to go.
  QFile blocker(out.path() + "/CORVANE");
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  EXPECT_EQ(RunTool("'" + out.path().toStdString() + "'"), 1);
}

}  // namespace
