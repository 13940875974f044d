// make_pictures <output root> [<icon file>]: draws the whole picture set into
// <output root>/CORVANE/REC/LANGUAGE_xN, one folder per language and the
// common folder LANGUAGE_PN, and, when named, the application's icon.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QThreadPool>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>

#include "tools/paint_kit.h"
#include "tools/painters.h"
#include "tools/picture_set.h"

namespace {

// Paints a transparent image of the size and writes it as a PNG file, making
// its folder first.
bool WritePicture(int width, int height, const std::function<void(QPainter&)>& paint, const QString& path) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    pictures::PreparePainter(painter);
    paint(painter);
  }
  const QString folder = QFileInfo(path).absolutePath();
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "make_pictures: cannot make %s\n", qPrintable(folder));
    return false;
  }
  if (!image.convertToFormat(QImage::Format_ARGB32).save(path, "PNG")) {
    std::fprintf(stderr, "make_pictures: cannot write %s\n", qPrintable(path));
    return false;
  }
  return true;
}

bool DrawPicture(const pictures::Picture& picture, const pictures::PaintFunction& paint, int language,
                 const QString& root) {
  const QString path = root + "/" + QString::fromStdString(pictures::PictureFolder(picture, language)) + "/" +
                       QString::fromUtf8(picture.name.data(), static_cast<qsizetype>(picture.name.size()));
  return WritePicture(
      picture.width, picture.height, [&](QPainter& painter) { paint(painter, language); }, path);
}

// Draws every picture of the set; returns the number of failures.
int DrawAll(const QString& root) {
  pictures::PainterTable painters;
  pictures::AddWidgetPainters(painters);
  pictures::AddHomePainters(painters);
  pictures::AddPagePainters(painters);

  int failures = 0;
  for (const pictures::Picture& picture : pictures::kPictureSet) {
    const auto painter = painters.find(picture.name);
    if (painter == painters.end()) {
      std::fprintf(stderr, "make_pictures: nothing draws %s\n", std::string(picture.name).c_str());
      ++failures;
      continue;
    }
    const int languages = picture.folder == pictures::FolderKind::kLanguage ? 4 : 1;
    for (int language = 0; language < languages; ++language) {
      if (!DrawPicture(picture, painter->second, language, root)) ++failures;
    }
  }
  return failures;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: make_pictures <output root> [<icon file>]\n");
    return 2;
  }
  // Drawing needs fonts but no screen.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt wants a private runtime folder; build machines often have none.
  QTemporaryDir runtimeDir;
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtimeDir.isValid()) {
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path()));
  }
  int qtArgc = 1;
  QGuiApplication app(qtArgc, argv);
  const QString root = QString::fromLocal8Bit(argv[1]);
  const QString iconFile = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QString();

  // The raster engine spreads large fills over the global thread pool unless it
  // already runs on one of the pool's threads. Drawing on one of them keeps all
  // drawing on a single thread and the output independent of the pool.
  std::atomic<int> failures = 0;
  QThreadPool::globalInstance()->start([&] {
    failures = DrawAll(root);
    const int size = pictures::kAppIconSize;
    if (!iconFile.isEmpty() && !WritePicture(size, size, pictures::PaintAppIcon, iconFile)) ++failures;
  });
  QThreadPool::globalInstance()->waitForDone();
  return failures == 0 ? 0 : 1;
}
