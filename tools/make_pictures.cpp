// make_pictures <output root>: draws the whole picture set into
// <output root>/CORVANE/REC/LANGUAGE_xN, one folder per language and the
// common folder LANGUAGE_PN.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QThreadPool>
#include <atomic>
#include <cstdio>
#include <string>

#include "tools/paint_kit.h"
#include "tools/painters.h"
#include "tools/picture_set.h"

namespace {

bool DrawPicture(const pictures::Picture& picture, const pictures::PaintFunction& paint, int language,
                 const QString& root) {
  QImage image(picture.width, picture.height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    pictures::PreparePainter(painter);
    paint(painter, language);
  }
  const QString folder = root + "/" + QString::fromStdString(pictures::PictureFolder(picture, language));
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "make_pictures: cannot make %s\n", qPrintable(folder));
    return false;
  }
  const QString path =
      folder + "/" + QString::fromUtf8(picture.name.data(), static_cast<qsizetype>(picture.name.size()));
  if (!image.convertToFormat(QImage::Format_ARGB32).save(path, "PNG")) {
    std::fprintf(stderr, "make_pictures: cannot write %s\n", qPrintable(path));
    return false;
  }
  return true;
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
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_pictures <output root>\n");
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

  // The raster engine spreads large fills over the global thread pool unless it
  // already runs on one of the pool's threads. Drawing on one of them keeps all
  // drawing on a single thread and the output independent of the pool.
  std::atomic<int> failures = 0;
  QThreadPool::globalInstance()->start([&] { failures = DrawAll(root); });
  QThreadPool::globalInstance()->waitForDone();
  return failures == 0 ? 0 : 1;
}
