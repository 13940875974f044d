#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <atomic>
#include <clocale>
#include <cstdlib>

#include "platform/app_icon.h"
#include "platform/application.h"
#include "platform/drive_c.h"

namespace platform {

struct AppIcon {
  QIcon icon;
};

namespace {

// The icon of the running application, or null.
std::atomic<const AppIcon*> g_appIcon{nullptr};

bool HasEnv(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

struct Application::Impl {
  Impl(int& argc, char** argv) : platformChosen(ChoosePlatform()), app(argc, argv) {
    // The application has set the C library's locale from the environment.
    // The program writes and reads its numbers with a decimal point ("2.5")
    // in every language, so numbers alone go back to the C convention.
    std::setlocale(LC_NUMERIC, "C");
    // The program ends when its main dialog ends, not when a window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Corvane"));
    // Without its file the program runs without an icon.
    const QPixmap picture(QString::fromStdString((ShareFolder() / "corvane.png").string()));
    if (!picture.isNull()) {
      appIcon.icon = QIcon(picture);
      QApplication::setWindowIcon(appIcon.icon);
      g_appIcon = &appIcon;
    }
  }
  ~Impl() { g_appIcon = nullptr; }

  // Without a display the windows live off screen, unless asked otherwise.
  static bool ChoosePlatform() {
    if (HasEnv("DISPLAY") || HasEnv("WAYLAND_DISPLAY") || HasEnv("QT_QPA_PLATFORM")) return false;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return true;
  }

  bool platformChosen;  // before app: the platform is read when it is made
  QApplication app;
  AppIcon appIcon;  // after app: a picture lives within the application
};

Application::Application(int& argc, char** argv) : m_impl(std::make_unique<Impl>(argc, argv)) {}

Application::~Application() = default;

void Application::ProcessEvents() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool Application::Offscreen() {
  const QString name = QGuiApplication::platformName();
  return name == QLatin1String("offscreen") || name == QLatin1String("minimal");
}

IconHandle LoadAppIcon() {
  return g_appIcon;
}

}  // namespace platform
