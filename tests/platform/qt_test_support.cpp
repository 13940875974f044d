#include "qt_test_support.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

namespace {

// One application for the whole test program, off screen.
class QtEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    m_application = std::make_unique<platform::Application>(m_argc, m_argv);
  }
  void TearDown() override { m_application.reset(); }

 private:
  int m_argc = 1;
  char m_name[32] = "corvane_tests";
  char* m_argv[2] = {m_name, nullptr};
  std::unique_ptr<platform::Application> m_application;
};

[[maybe_unused]] testing::Environment* const kQtEnvironment =
    testing::AddGlobalTestEnvironment(new QtEnvironment);

constexpr auto kGuard = std::chrono::seconds(30);

}  // namespace

bool WaitUntil(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + kGuard;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    platform::Application::ProcessEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

QWidget* MainWidget() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == QLatin1String("mainWindow")) return widget;
  }
  return nullptr;
}

void WhenModalShows(std::function<void(QWidget*)> action) {
  auto poll = std::make_shared<std::function<void()>>();
  auto deadline = std::chrono::steady_clock::now() + kGuard;
  *poll = [poll, action = std::move(action), deadline] {
    if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal->isVisible()) {
      action(modal);
      *poll = nullptr;  // breaks the cycle through the captured pointer
      return;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "no modal window appeared";
      *poll = nullptr;
      return;
    }
    QTimer::singleShot(1, [poll] {
      if (*poll) (*poll)();
    });
  };
  QTimer::singleShot(0, [poll] {
    if (*poll) (*poll)();
  });
}

QMenu* OpenMenuWithAltSpace() {
  QKeyEvent altSpace(QEvent::KeyPress, Qt::Key_Space, Qt::AltModifier);
  QCoreApplication::sendEvent(MainWidget(), &altSpace);
  return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

QMenu* OpenMenuWithRightClick(QPoint at) {
  QWindow* handle = MainWidget()->windowHandle();
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::RightButton : Qt::NoButton;
    QMouseEvent event(type, QPointF(at), handle->mapToGlobal(QPointF(at)), Qt::RightButton, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &event);
  }
  return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

QStringList MenuTexts(const QMenu* menu) {
  QStringList texts;
  if (menu == nullptr) return texts;
  for (const QAction* action : menu->actions())
    texts << action->text();
  return texts;
}

void ChooseMenuItem(QMenu* menu, int index) {
  if (menu == nullptr || index >= menu->actions().size()) {
    ADD_FAILURE() << "no menu item " << index << " to choose";
    return;
  }
  menu->setActiveAction(menu->actions().at(index));
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QCoreApplication::sendEvent(menu, &enter);
}

TempDir::TempDir() {
  char pattern[] = "/tmp/corvane-platform-XXXXXX";
  const char* made = mkdtemp(pattern);
  if (made == nullptr) throw std::runtime_error("mkdtemp failed");
  m_path = made;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

std::filesystem::path WritePng(const std::filesystem::path& file, const QImage& image) {
  EXPECT_TRUE(image.save(QString::fromStdString(file.string()), "PNG")) << file;
  return file;
}

QImage Image(int width, int height, QColor fill) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(fill);
  return image;
}

platform::Argb At(const QImage& image, int x, int y) {
  return image.pixelColor(x, y).rgba();
}

bool Near(platform::Argb a, platform::Argb b, int tolerance) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int ca = static_cast<int>((a >> shift) & 0xFF);
    const int cb = static_cast<int>((b >> shift) & 0xFF);
    if (std::abs(ca - cb) > tolerance) return false;
  }
  return true;
}

bool FakeDialog::OnInitDialog() {
  calls.push_back("init");
  if (onInit) onInit();
  return true;
}

void FakeDialog::OnPaint() {
  calls.push_back("paint");
}

void FakeDialog::OnTimer(int timerId) {
  timers.push_back(timerId);
  if (onTimer) onTimer(timerId);
}

void FakeDialog::OnMouseMove(int x, int y) {
  moves.emplace_back(x, y);
}

void FakeDialog::OnLButtonDown(int x, int y) {
  downs.emplace_back(x, y);
}

void FakeDialog::OnLButtonUp(int x, int y) {
  ups.emplace_back(x, y);
}

void FakeDialog::OnSysCommand(unsigned commandId) {
  sysCommands.push_back(commandId);
}

platform::ControlColors FakeDialog::OnCtlColor(int controlId) {
  auto found = colors.find(controlId);
  return found == colors.end() ? platform::ControlColors{} : found->second;
}

void FakeDialog::OnCancel() {
  calls.push_back("cancel");
  if (onCancel) onCancel();
}

void FakeDialog::OnDestroy() {
  calls.push_back("destroy");
}

int FakeDialog::Count(const std::string& call) const {
  return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

int FakeDialog::TimerTicks(int timerId) const {
  return static_cast<int>(std::count(timers.begin(), timers.end(), timerId));
}
