#include "platform/qt/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QWindow>
#include <QWindowStateChangeEvent>
#include <algorithm>
#include <vector>

#include "platform/qt/canvas_dialogs.h"
#include "platform/qt/dialog_items.h"
#include "platform/qt/fonts.h"
#include "platform/qt/modal_dialogs.h"
#include "platform/qt/qt_canvas.h"

namespace platform {

std::unique_ptr<MainWindow> CreateMainWindow(const DialogTemplate& clientTemplate) {
  return std::make_unique<qt::QtMainWindow>(clientTemplate);
}

namespace qt {

namespace {

constexpr int kClientWidth = 965;
constexpr int kClientHeight = 578;
// The window's own look, under whatever the dialog draws: a dark base, light
// text on the controls, and a slim progress bar along the bottom of its place.
const QColor kWindowBase(0x17, 0x19, 0x1E);
const QColor kControlText(0xC9, 0xCE, 0xD8);
constexpr const char* kProgressStyle =
    "QProgressBar { border: none; background: rgba(255, 255, 255, 18); margin-top: 15px;"
    " margin-bottom: 2px; border-radius: 2px; }"
    "QProgressBar::chunk { background-color: #35C2C2; border-radius: 2px; }";
// Statics of one line stand in the middle of their height.
constexpr int kOneLineStaticHeight = 24;
// A zero interval would fire on every pass of the event loop.
constexpr int kMinimumTimerMs = 10;
// The title banner: the top of the client area, where a framed window has its
// caption. A right click on it opens the system menu.
constexpr int kTitleBannerHeight = 60;

}  // namespace

// --- the widget ---

ClientWidget::ClientWidget(QtMainWindow& owner)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), m_owner(owner) {
  setObjectName(QStringLiteral("mainWindow"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
}

void ClientWidget::paintEvent(QPaintEvent* event) {
  m_owner.paintSurface(*this, event->rect());
}

void ClientWidget::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::LeftButton) {
    m_owner.mouseDown(at.x(), at.y());
  } else if (event->button() == Qt::RightButton && at.y() < kTitleBannerHeight) {
    m_owner.openSystemMenu(event->globalPosition().toPoint());
  }
}

void ClientWidget::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::LeftButton) m_owner.mouseUp(at.x(), at.y());
}

void ClientWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  m_owner.mouseMove(at.x(), at.y());
}

void ClientWidget::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    m_owner.cancel();
    return;
  }
  if (event->key() == Qt::Key_Space && event->modifiers() == Qt::AltModifier) {
    m_owner.openSystemMenu(mapToGlobal(QPoint(0, 0)));
    return;
  }
  QWidget::keyPressEvent(event);
}

void ClientWidget::closeEvent(QCloseEvent* event) {
  if (m_owner.closeRequested()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void ClientWidget::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  m_owner.queuePaintMessage();
}

void ClientWidget::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  // Back from minimised: the dialog draws its frame again.
  const auto* change = static_cast<QWindowStateChangeEvent*>(event);
  if ((change->oldState() & Qt::WindowMinimized) && !(windowState() & Qt::WindowMinimized)) {
    m_owner.queuePaintMessage();
  }
}

// --- the window ---

QtMainWindow::QtMainWindow(const DialogTemplate& clientTemplate)
    : m_uiThread(std::this_thread::get_id()), m_context(std::make_unique<QObject>()) {
  QSize size = TemplateSize(clientTemplate);
  if (size.isEmpty()) size = QSize(kClientWidth, kClientHeight);
  m_surface = QImage(size, QImage::Format_ARGB32_Premultiplied);
  m_surface.fill(kWindowBase);

  m_widget = std::make_unique<ClientWidget>(*this);
  m_widget->setFixedSize(size);
  m_widget->setWindowTitle(QString());
  m_systemMenu = new QMenu(m_widget.get());
  m_systemMenu->setObjectName(QStringLiteral("systemMenu"));
  for (const SystemMenuItem& item : kStandardSystemMenu)
    setSystemMenuItem(item.commandId, item.text);
  createControls(clientTemplate);
}

QtMainWindow::~QtMainWindow() {
  std::unique_ptr<QObject> context;
  {
    std::lock_guard lock(m_postMutex);
    m_gone = true;
    context = std::move(m_context);
  }
  // Deleting the context discards the tasks still queued for this window;
  // post() no longer reaches it once m_gone is set.
  context.reset();
  m_timers.clear();
  m_widget.reset();
}

void QtMainWindow::createControls(const DialogTemplate& clientTemplate) {
  const QFont font = DialogFont(9);
  for (const DialogItem& item : clientTemplate.items) {
    Control& control = m_controls[item.id];
    control.text = item.text;
    control.kind = item.kind;
    // Hidden controls are never shown; they only keep their text and state.
    if (!item.visible) continue;
    QWidget* widget = CreateItemWidget(item, m_widget.get());
    widget->setFont(font);
    // The dialog hit-tests the mouse itself: every click goes to it.
    widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    widget->setFocusPolicy(Qt::NoFocus);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
      QPalette palette = label->palette();
      palette.setColor(QPalette::WindowText, kControlText);
      label->setPalette(palette);
      label->setAutoFillBackground(false);
      if (label->height() <= kOneLineStaticHeight) {
        label->setAlignment((label->alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
      }
    }
    if (auto* bar = qobject_cast<QProgressBar*>(widget); bar != nullptr) {
      bar->setStyleSheet(kProgressStyle);
      if (m_progressBar == nullptr) m_progressBar = bar;
    }
    control.widget = widget;
  }
}

void QtMainWindow::styleStatics() {
  if (m_dialog == nullptr) return;
  std::vector<std::pair<int, QLabel*>> labels;
  {
    std::lock_guard lock(m_controlsMutex);
    for (auto& [id, control] : m_controls) {
      if (control.kind != DialogItem::Kind::Static) continue;
      if (auto* label = qobject_cast<QLabel*>(control.widget)) labels.emplace_back(id, label);
    }
  }
  for (auto& [id, label] : labels) {
    const ControlColors colors = m_dialog->OnCtlColor(id);
    QPalette palette = label->palette();
    if (colors.text) {
      const QColor color = QColor::fromRgba(*colors.text);
      palette.setColor(QPalette::Active, QPalette::WindowText, color);
      palette.setColor(QPalette::Inactive, QPalette::WindowText, color);
    }
    label->setPalette(palette);
  }
}

bool QtMainWindow::isUiThread() const {
  return std::this_thread::get_id() == m_uiThread;
}

void QtMainWindow::post(std::function<void()> task) {
  std::lock_guard lock(m_postMutex);
  if (m_gone) return;
  QMetaObject::invokeMethod(
      m_context.get(),
      [this, task = std::move(task)] {
        if (!m_gone) task();
      },
      Qt::QueuedConnection);
}

void QtMainWindow::setControlText(int controlId, const std::string& text) {
  {
    std::lock_guard lock(m_controlsMutex);
    Control& control = m_controls[controlId];
    control.text = text;
    control.dirty = true;
  }
  controlsChanged();
}

void QtMainWindow::enableControl(int controlId, bool enabled) {
  {
    std::lock_guard lock(m_controlsMutex);
    Control& control = m_controls[controlId];
    control.enabled = enabled;
    control.dirty = true;
  }
  controlsChanged();
}

void QtMainWindow::setProgressRange(int low, int high) {
  {
    std::lock_guard lock(m_controlsMutex);
    m_progress.low = low;
    m_progress.high = high;
    m_progress.dirty = true;
  }
  controlsChanged();
}

void QtMainWindow::setProgressPos(int pos) {
  {
    std::lock_guard lock(m_controlsMutex);
    m_progress.pos = pos;
    m_progress.dirty = true;
  }
  controlsChanged();
}

// The UI thread puts the change on the widget at once; other threads leave
// one update queued at a time, which takes whatever is recorded when it runs.
void QtMainWindow::controlsChanged() {
  if (isUiThread()) {
    applyControls();
    return;
  }
  if (m_applyQueued.exchange(true)) return;
  post([this] {
    m_applyQueued = false;
    applyControls();
  });
}

void QtMainWindow::applyControls() {
  struct Change {
    QWidget* widget;
    QString text;
    bool enabled;
  };
  std::vector<Change> changes;
  std::optional<Progress> progress;
  {
    std::lock_guard lock(m_controlsMutex);
    for (auto& [id, control] : m_controls) {
      if (!control.dirty) continue;
      control.dirty = false;
      if (control.widget != nullptr)
        changes.push_back({control.widget, FromUtf8(control.text), control.enabled});
    }
    if (m_progress.dirty) {
      m_progress.dirty = false;
      progress = m_progress;
    }
  }
  for (const Change& change : changes) {
    if (auto* label = qobject_cast<QLabel*>(change.widget)) {
      label->setText(change.text);
    } else if (auto* button = qobject_cast<QPushButton*>(change.widget)) {
      button->setText(change.text);
    }
    change.widget->setEnabled(change.enabled);
  }
  if (progress && m_progressBar != nullptr) {
    m_progressBar->setRange(progress->low, std::max(progress->low, progress->high));
    // A position outside the range shows as its nearer end.
    m_progressBar->setValue(std::clamp(progress->pos, m_progressBar->minimum(), m_progressBar->maximum()));
  }
}

void QtMainWindow::paint(const std::function<void(Canvas&)>& draw) {
  if (m_activeCanvas != nullptr) {
    // Drawn from inside another paint(): the same canvas, its own transform.
    QPainter& painter = m_activeCanvas->painter();
    painter.save();
    painter.resetTransform();
    draw(*m_activeCanvas);
    painter.restore();
    return;
  }
  {
    std::lock_guard lock(m_surfaceMutex);
    QtCanvas canvas(m_surface);
    struct Active {
      QtCanvas*& slot;
      ~Active() { slot = nullptr; }
    } active{m_activeCanvas};
    m_activeCanvas = &canvas;
    draw(canvas);
  }
  m_widget->update();
}

std::unique_ptr<Layer> QtMainWindow::createLayer(int width, int height) {
  return std::make_unique<QtLayer>(width, height);
}

void QtMainWindow::setTitle(const std::string& title) {
  m_widget->setWindowTitle(FromUtf8(title));
}

void QtMainWindow::setTimer(int timerId, int intervalMs) {
  std::unique_ptr<QTimer>& timer = m_timers[timerId];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, m_context.get(), [this, timerId] {
      if (m_dialog != nullptr && !m_gone) m_dialog->OnTimer(timerId);
    });
  }
  timer->start(std::max(intervalMs, kMinimumTimerMs));
}

void QtMainWindow::killTimer(int timerId) {
  auto found = m_timers.find(timerId);
  if (found != m_timers.end()) found->second->stop();
}

void QtMainWindow::endDialog(int result) {
  m_result = result;
  m_ended = true;
  m_closing = true;
  if (m_loop != nullptr) {
    m_loop->quit();
  } else if (!m_modal) {
    // Without a loop of its own the window goes once the caller has returned.
    post([this] { finish(); });
  }
}

void QtMainWindow::beginWindowMove() {
  // Refused off screen and by some window managers; the window then stays.
  if (QWindow* window = m_widget->windowHandle()) window->startSystemMove();
}

void QtMainWindow::setSystemMenuItem(unsigned commandId, const std::string& text) {
  const QString label = FromUtf8(text);
  for (QAction* action : m_systemMenu->actions()) {
    if (action->data().toUInt() == commandId) {
      action->setText(label);
      return;
    }
  }
  QAction* action = m_systemMenu->addAction(label);
  action->setData(commandId);
  QObject::connect(action, &QAction::triggered, m_context.get(), [this, commandId] {
    if (m_dialog != nullptr && !m_finished) m_dialog->OnSysCommand(commandId);
  });
}

void QtMainWindow::messageBox(const std::string& text, MessageBoxKind kind, const std::string& caption) {
  ShowMessageBox(m_widget.get(), text, kind, caption);
}

std::optional<std::string> QtMainWindow::chooseFileToOpen(const FileDialogOptions& options) {
  return ChooseFile(m_widget.get(), options, false);
}

std::optional<std::string> QtMainWindow::chooseFileToSave(const FileDialogOptions& options) {
  return ChooseFile(m_widget.get(), options, true);
}

ModalResult QtMainWindow::runModal(const DialogTemplate& dialog, const ModalButtonHandler& onButton) {
  return RunTemplateDialog(m_widget.get(), dialog, onButton);
}

int QtMainWindow::runCanvasDialog(const DialogTemplate& dialog, int canvasItemId,
                                  CanvasDialogEvents& events) {
  return RunCanvasDialog(m_widget.get(), dialog, canvasItemId, events);
}

bool QtMainWindow::runWhileLive(const std::function<void(const std::atomic<bool>& closing)>& work) {
  if (m_closing) return false;
  // The worker's last act wakes this loop through an object of its own, so
  // the wake-up reaches it whatever else the window drops meanwhile.
  QObject waker;
  QEventLoop loop;
  bool returned = false;
  ++m_liveRuns;
  std::thread worker([&] {
    work(m_closing);
    QMetaObject::invokeMethod(
        &waker,
        [&] {
          returned = true;
          loop.quit();
        },
        Qt::QueuedConnection);
  });
  while (!returned)
    loop.exec();
  worker.join();
  --m_liveRuns;
  // A close asked for meanwhile goes ahead once the caller has returned.
  if (m_liveRuns == 0 && m_finishPending) {
    m_finishPending = false;
    post([this] { finish(); });
  }
  return !m_closing;
}

int QtMainWindow::doModal(DialogEvents& dialog) {
  m_modal = true;
  show(dialog);
  QEventLoop loop;
  m_loop = &loop;
  while (!m_ended)
    loop.exec();
  m_loop = nullptr;
  finish();
  return m_result;
}

void QtMainWindow::show(DialogEvents& dialog) {
  m_dialog = &dialog;
  m_widget->show();
  // The offscreen platform has no stacking to change.
  if (!Application::Offscreen()) {
    m_widget->raise();
    m_widget->activateWindow();
  }
  dialog.OnInitDialog();
  styleStatics();
}

void QtMainWindow::close() {
  finish();
}

// The window goes: the dialog's last word, then nothing more reaches it.
void QtMainWindow::finish() {
  if (m_finished || m_dialog == nullptr) return;
  // Not while work runs live: its caller is still on the stack below.
  m_closing = true;
  if (m_liveRuns > 0) {
    m_finishPending = true;
    return;
  }
  m_finished = true;
  m_dialog->OnDestroy();
  m_gone = true;
  for (auto& [id, timer] : m_timers)
    timer->stop();
  m_widget->hide();
}

void QtMainWindow::queuePaintMessage() {
  if (m_paintQueued || m_dialog == nullptr) return;
  m_paintQueued = true;
  post([this] {
    m_paintQueued = false;
    if (m_widget->isVisible()) m_dialog->OnPaint();
  });
}

QImage QtMainWindow::render() {
  QImage image(m_surface.size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::black);
  m_widget->render(&image);
  return image;
}

bool QtMainWindow::saveScreenshot(const std::string& pngPath) {
  return render().save(FromUtf8(pngPath), "PNG");
}

Argb QtMainWindow::pixelAt(int x, int y) {
  const QImage image = render();
  if (!image.valid(x, y)) return 0;
  return image.pixel(x, y);
}

void QtMainWindow::paintSurface(QWidget& target, const QRect& area) {
  QPainter painter(&target);
  if (m_activeCanvas != nullptr) {
    // A control repainted at once from inside paint(): this thread already
    // holds the surface.
    painter.drawImage(area, m_surface, area);
    return;
  }
  std::lock_guard lock(m_surfaceMutex);
  painter.drawImage(area, m_surface, area);
}

void QtMainWindow::mouseDown(int x, int y) {
  if (m_dialog != nullptr && !m_finished) m_dialog->OnLButtonDown(x, y);
}

void QtMainWindow::mouseUp(int x, int y) {
  if (m_dialog != nullptr && !m_finished) m_dialog->OnLButtonUp(x, y);
}

void QtMainWindow::mouseMove(int x, int y) {
  if (m_dialog != nullptr && !m_finished) m_dialog->OnMouseMove(x, y);
}

void QtMainWindow::cancel() {
  if (m_dialog != nullptr && !m_finished && !m_ended) m_dialog->OnCancel();
}

void QtMainWindow::showBusy(bool busy) {
  m_busy = busy;
  if (busy) {
    m_widget->setCursor(Qt::WaitCursor);
  } else {
    m_widget->unsetCursor();
  }
}

void QtMainWindow::openSystemMenu(const QPoint& globalPos) {
  if (m_dialog == nullptr || m_finished || m_ended || m_busy || m_systemMenu->isEmpty()) return;
  m_systemMenu->popup(globalPos);
}

bool QtMainWindow::closeRequested() {
  // The window manager's close asks the dialog; only the dialog ends it.
  if (!m_ended) cancel();
  return m_ended;
}

}  // namespace qt
}  // namespace platform
