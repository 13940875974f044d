// The main window: a frameless, fixed-size window whose client area shows a
// surface that the dialog draws on, with the template's visible controls on
// top. Every mouse action and key goes to the dialog, but for Alt+Space and a
// right click on the title banner, which open the window's system menu.
#pragma once

#include <QImage>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/application.h"

class QEventLoop;
class QMenu;
class QProgressBar;

namespace platform::qt {

class QtCanvas;
class QtMainWindow;

// The top-level widget; it hands its events to the window object.
class ClientWidget : public QWidget {
 public:
  explicit ClientWidget(QtMainWindow& owner);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  QtMainWindow& m_owner;
};

class QtMainWindow final : public MainWindow {
 public:
  explicit QtMainWindow(const DialogTemplate& clientTemplate);
  ~QtMainWindow() override;

  // Any thread.
  bool isUiThread() const override;
  void post(std::function<void()> task) override;
  void setControlText(int controlId, const std::string& text) override;
  void enableControl(int controlId, bool enabled) override;
  void setProgressRange(int low, int high) override;
  void setProgressPos(int pos) override;

  // UI thread.
  void paint(const std::function<void(Canvas&)>& draw) override;
  std::unique_ptr<Layer> createLayer(int width, int height) override;
  void setTitle(const std::string& title) override;
  void setTimer(int timerId, int intervalMs) override;
  void killTimer(int timerId) override;
  void endDialog(int result) override;
  void beginWindowMove() override;
  void setSystemMenuItem(unsigned commandId, const std::string& text) override;
  void showBusy(bool busy) override;
  void messageBox(const std::string& text, MessageBoxKind kind, const std::string& caption) override;
  std::optional<std::string> chooseFileToOpen(const FileDialogOptions& options) override;
  std::optional<std::string> chooseFileToSave(const FileDialogOptions& options) override;
  ModalResult runModal(const DialogTemplate& dialog, const ModalButtonHandler& onButton) override;
  int runCanvasDialog(const DialogTemplate& dialog, int canvasItemId, CanvasDialogEvents& events) override;
  bool runWhileLive(const std::function<void(const std::atomic<bool>& closing)>& work) override;

  int doModal(DialogEvents& dialog) override;
  void show(DialogEvents& dialog) override;
  void close() override;
  bool ended() const override { return m_ended; }
  int result() const override { return m_result; }
  bool saveScreenshot(const std::string& pngPath) override;
  Argb pixelAt(int x, int y) override;

 private:
  friend class ClientWidget;

  // What the program last asked of a control; the widget follows on the UI
  // thread.
  struct Control {
    std::string text;
    bool enabled = true;
    bool dirty = false;
    DialogItem::Kind kind = DialogItem::Kind::Static;
    QWidget* widget = nullptr;  // only for visible items; UI thread only
  };
  struct Progress {
    int low = 0, high = 100, pos = 0;
    bool dirty = false;
  };

  void createControls(const DialogTemplate& clientTemplate);
  void styleStatics();
  void controlsChanged();
  void applyControls();
  void queuePaintMessage();
  void finish();
  QImage render();

  // Called by the widget.
  void paintSurface(QWidget& target, const QRect& area);
  void mouseDown(int x, int y);
  void mouseUp(int x, int y);
  void mouseMove(int x, int y);
  void cancel();
  bool closeRequested();
  void openSystemMenu(const QPoint& globalPos);

  const std::thread::id m_uiThread;
  DialogEvents* m_dialog = nullptr;

  // Posted work runs through this object; deleting it discards what is still
  // queued. m_gone, set when the window has gone, drops everything after.
  std::mutex m_postMutex;
  std::unique_ptr<QObject> m_context;
  std::atomic<bool> m_gone{false};

  std::mutex m_surfaceMutex;
  QImage m_surface;
  QtCanvas* m_activeCanvas = nullptr;  // during paint(), for a nested paint()

  std::mutex m_controlsMutex;
  std::map<int, Control> m_controls;
  Progress m_progress;
  QProgressBar* m_progressBar = nullptr;  // the template's progress bar; UI thread only
  std::atomic<bool> m_applyQueued{false};

  std::map<int, std::unique_ptr<QTimer>> m_timers;
  QEventLoop* m_loop = nullptr;
  bool m_modal = false;
  bool m_busy = false;
  bool m_finished = false;
  bool m_paintQueued = false;
  std::atomic<bool> m_ended{false};
  std::atomic<int> m_result{0};
  // Set once the window begins to close; work run while live sees it.
  std::atomic<bool> m_closing{false};
  // Work running while live, and a close that waits for it to return.
  int m_liveRuns = 0;
  bool m_finishPending = false;

  std::unique_ptr<ClientWidget> m_widget;  // last: its children refer to the above
  QMenu* m_systemMenu = nullptr;           // a child of the widget; UI thread only
};

}  // namespace platform::qt
