#include "platform/qt/canvas_dialogs.h"

#include <QCloseEvent>
#include <QDialog>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <map>
#include <memory>

#include "platform/qt/dialog_items.h"
#include "platform/qt/fonts.h"
#include "platform/qt/qt_canvas.h"

namespace platform::qt {

namespace {

class CanvasWindow;

// The canvas item: shows its surface and hands the mouse to the dialog.
class CanvasSurface : public QWidget {
 public:
  CanvasSurface(CanvasWindow& owner, QWidget* parent, QSize size);
  QImage& surface() { return m_surface; }
  Point cursor() const { return m_cursor; }
  bool cursorOver() const { return m_over; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  Point Track(QPointF position);

  CanvasWindow& m_owner;
  QImage m_surface;
  Point m_cursor;
  bool m_over = false;
};

// Escape, Enter and the close box ask the dialog (OnClose), which ends the
// run itself; while the close box is disabled it is ignored, the keys are not.
class CanvasWindow : public QDialog, public CanvasDialog {
 public:
  CanvasWindow(QWidget* parent, const DialogTemplate& dialog, int canvasItemId, CanvasDialogEvents& events);

  // Whether handlers may still be called.
  bool live() const { return !m_ended; }
  CanvasDialogEvents& events() { return m_events; }

  int canvasWidth() const override { return m_canvas->width(); }
  int canvasHeight() const override { return m_canvas->height(); }
  Point cursorPos() const override { return m_canvas->cursor(); }
  bool cursorOver() const override { return m_canvas->cursorOver(); }
  void paintCanvas(const std::function<void(Canvas&)>& draw) override {
    {
      QtCanvas canvas(m_canvas->surface());
      draw(canvas);
    }
    m_canvas->update();
  }
  std::unique_ptr<Layer> createLayer(int width, int height) override {
    return std::make_unique<QtLayer>(width, height);
  }
  void setCaption(const std::string& text) override { setWindowTitle(FromUtf8(text)); }
  void setItemText(int itemId, const std::string& text) override {
    if (QPushButton* button = Button(itemId)) button->setText(FromUtf8(text));
  }
  void enableItem(int itemId, bool enabled) override {
    if (QPushButton* button = Button(itemId)) button->setEnabled(enabled);
  }
  void enableClose(bool enabled) override { m_closeEnabled = enabled; }
  void setTimer(int timerId, int intervalMs) override;
  void killTimer(int timerId) override {
    auto found = m_timers.find(timerId);
    if (found != m_timers.end()) found->second->stop();
  }
  void postClose() override {
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (live()) m_events.OnClose();
        },
        Qt::QueuedConnection);
  }
  void endDialog(int result) override {
    if (m_ended) return;
    m_ended = true;
    for (auto& [id, timer] : m_timers)
      timer->stop();
    done(result);
  }

  void reject() override {
    if (live()) m_events.OnClose();
  }

 protected:
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    if (live() && m_closeEnabled) m_events.OnClose();
  }
  // Enter presses no button: it asks to close, as Escape does.
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
      QDialog::keyPressEvent(event);
      return;
    }
    event->accept();
    reject();
  }

 private:
  QPushButton* Button(int itemId) {
    auto found = m_buttons.find(itemId);
    return found == m_buttons.end() ? nullptr : found->second;
  }

  CanvasDialogEvents& m_events;
  CanvasSurface* m_canvas = nullptr;
  std::map<int, QPushButton*> m_buttons;
  std::map<int, std::unique_ptr<QTimer>> m_timers;
  bool m_closeEnabled = true;
  bool m_ended = false;
};

// A zero interval would fire on every pass of the event loop.
constexpr int kMinimumTimerMs = 10;

CanvasSurface::CanvasSurface(CanvasWindow& owner, QWidget* parent, QSize size)
    : QWidget(parent), m_owner(owner), m_surface(size, QImage::Format_ARGB32_Premultiplied) {
  m_surface.fill(Qt::black);
  setObjectName(QStringLiteral("canvas"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
}

void CanvasSurface::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.drawImage(event->rect(), m_surface, event->rect());
}

// The pointer is over the canvas while its position lies on it: a drag holds
// the mouse, so its moves come from outside too and its leave only at the
// release.
Point CanvasSurface::Track(QPointF position) {
  const QPoint at = position.toPoint();
  m_cursor = {at.x(), at.y()};
  m_over = rect().contains(at);
  return m_cursor;
}

void CanvasSurface::enterEvent(QEnterEvent* event) {
  Track(event->position());
}

void CanvasSurface::leaveEvent(QEvent*) {
  m_over = false;
}

void CanvasSurface::mousePressEvent(QMouseEvent* event) {
  const Point at = Track(event->position());
  if (!m_owner.live()) return;
  if (event->button() == Qt::LeftButton) {
    m_owner.events().OnLButtonDown(at.x, at.y);
  } else if (event->button() == Qt::RightButton) {
    m_owner.events().OnRButtonDown(at.x, at.y);
  }
}

void CanvasSurface::mouseReleaseEvent(QMouseEvent* event) {
  const Point at = Track(event->position());
  if (m_owner.live() && event->button() == Qt::LeftButton) m_owner.events().OnLButtonUp(at.x, at.y);
}

void CanvasSurface::mouseMoveEvent(QMouseEvent* event) {
  const Point at = Track(event->position());
  if (m_owner.live()) m_owner.events().OnMouseMove(at.x, at.y, (event->buttons() & Qt::LeftButton) != 0);
}

CanvasWindow::CanvasWindow(QWidget* parent, const DialogTemplate& dialog, int canvasItemId,
                           CanvasDialogEvents& events)
    : QDialog(parent), m_events(events) {
  setWindowTitle(FromUtf8(dialog.caption));
  setFont(DialogFont(8));
  setFixedSize(TemplateSize(dialog));
  for (const DialogItem& item : dialog.items) {
    if (item.id == canvasItemId) {
      const QRect rect = ItemRect(item);
      m_canvas = new CanvasSurface(*this, this, rect.size());
      m_canvas->setGeometry(rect);
      continue;
    }
    QWidget* widget = CreateItemWidget(item, this);
    auto* button = qobject_cast<QPushButton*>(widget);
    if (button == nullptr) continue;
    // Enter presses no button here, and a click leaves the focus where it was.
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setFocusPolicy(Qt::TabFocus);
    const int id = item.id;
    QObject::connect(button, &QPushButton::clicked, this, [this, id] {
      if (live()) m_events.OnCommand(id);
    });
    m_buttons[id] = button;
  }
  if (m_canvas == nullptr) m_canvas = new CanvasSurface(*this, this, QSize(1, 1));
  m_canvas->setFocus(Qt::OtherFocusReason);
}

void CanvasWindow::setTimer(int timerId, int intervalMs) {
  if (m_ended) return;
  std::unique_ptr<QTimer>& timer = m_timers[timerId];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, this, [this, timerId] {
      if (live()) m_events.OnTimer(timerId);
    });
  }
  timer->start(std::max(intervalMs, kMinimumTimerMs));
}

}  // namespace

int RunCanvasDialog(QWidget* parent, const DialogTemplate& dialog, int canvasItemId,
                    CanvasDialogEvents& events) {
  CanvasWindow window(parent, dialog, canvasItemId, events);
  int result = kIdCancel;
  if (events.OnInitDialog(window)) {
    QMetaObject::invokeMethod(
        &window,
        [&window] {
          if (window.live()) window.events().OnPaint();
        },
        Qt::QueuedConnection);
    // Ended already from inside OnInitDialog: the window is not shown.
    if (window.live()) result = window.exec();
  }
  window.endDialog(result);
  events.OnDestroy();
  return result;
}

}  // namespace platform::qt
