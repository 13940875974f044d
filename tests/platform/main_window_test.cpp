// The main window on the offscreen platform: its controls, the statics'
// colours, updates from other threads, posted tasks, timers, keys, mouse,
// the modal run, the system menu and what the client area shows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <optional>
#include <thread>

#include "platform/app_icon.h"
#include "platform/application.h"
#include "qt_test_support.h"

namespace {

using platform::DialogItem;
using Kind = platform::DialogItem::Kind;

constexpr platform::Argb kOrange = 0xFFF7680C;

platform::DialogTemplate ClientTemplate() {
  platform::DialogTemplate t;
  t.width = 551;
  t.height = 337;
  t.items = {
      {Kind::Progress, 1000, 0, 325, 410, 12, "", false, false, true},
      {Kind::Button, 1003, 385, 279, 43, 14, "Apply", false, false, false},
      {Kind::Static, 1021, 16, 283, 61, 12, "USB Connected", false, false, false},
      {Kind::Static, 1027, 409, 325, 141, 12, "ready", false, false, true},
      {Kind::Static, 1141, 301, 114, 188, 56, "", false, false, true},
  };
  return t;
}

QRect Scaled(int x, int y, int w, int h) {
  auto sx = [](int v) { return static_cast<int>(std::lround(v * platform::kDialogUnitX)); };
  auto sy = [](int v) { return static_cast<int>(std::lround(v * platform::kDialogUnitY)); };
  return QRect(sx(x), sy(y), sx(w), sy(h));
}

class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override { window = platform::CreateMainWindow(ClientTemplate()); }
  void TearDown() override {
    if (window && !window->ended()) window->close();
  }

  void ShowAndSettle() {
    window->show(dialog);
    ASSERT_TRUE(WaitUntil([&] { return dialog.Count("paint") > 0; }));
  }

  template <typename T>
  T* Child(const char* name) {
    QWidget* main = MainWidget();
    return main == nullptr ? nullptr : main->findChild<T*>(QString::fromLatin1(name));
  }

  // Runs the tasks queued so far, and everything queued before them.
  void Drain() {
    bool reached = false;
    QTimer::singleShot(0, [&] { reached = true; });
    ASSERT_TRUE(WaitUntil([&] { return reached; }));
  }

  FakeDialog dialog;
  std::unique_ptr<platform::MainWindow> window;
};

TEST_F(MainWindowTest, VisibleControlsSitAtTheirScaledRectangles) {
  ShowAndSettle();
  QWidget* main = MainWidget();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->size(), QSize(965, 578));
  EXPECT_TRUE(main->windowFlags() & Qt::FramelessWindowHint);

  auto* progress = Child<QProgressBar>("progress1000");
  auto* status = Child<QLabel>("static1027");
  auto* note = Child<QLabel>("static1141");
  ASSERT_NE(progress, nullptr);
  ASSERT_NE(status, nullptr);
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(progress->geometry(), Scaled(0, 325, 410, 12));
  EXPECT_EQ(status->geometry(), Scaled(409, 325, 141, 12));
  EXPECT_EQ(note->geometry(), Scaled(301, 114, 188, 56));
  EXPECT_EQ(status->text(), "ready");
  EXPECT_FALSE(progress->isTextVisible());
  // Hidden items get no widget, and may still be given text.
  EXPECT_EQ(Child<QWidget>("static1021"), nullptr);
  EXPECT_EQ(Child<QWidget>("button1003"), nullptr);
  window->setControlText(1021, "USB verbunden");
  window->enableControl(1003, false);
}

TEST_F(MainWindowTest, StaticsTakeTheDialogsColours) {
  dialog.colors[1141] = {kOrange};
  ShowAndSettle();
  window->paint([](platform::Canvas& canvas) { canvas.fillRect({0, 0, 965, 578}, 0xFF0000FF); });
  window->setControlText(1141, "MMMMMMMM");
  window->setControlText(1027, "");

  // The styled static shows the drawn page behind its text, in orange.
  const QRect note = Scaled(301, 114, 188, 56);
  EXPECT_EQ(window->pixelAt(note.right() - 2, note.bottom() - 2), 0xFF0000FFu);
  bool orange = false;
  for (int y = note.top(); y < note.top() + 20 && !orange; ++y) {
    for (int x = note.left(); x < note.left() + 80 && !orange; ++x) {
      const platform::Argb pixel = window->pixelAt(x, y);
      orange = ((pixel >> 16) & 0xFF) > 200 && (pixel & 0xFF) < 80;
    }
  }
  EXPECT_TRUE(orange);
  // An empty static shows the page too: statics have no background.
  const QRect status = Scaled(409, 325, 141, 12);
  EXPECT_EQ(window->pixelAt(status.center().x(), status.center().y()), 0xFF0000FFu);
}

TEST_F(MainWindowTest, UpdatesFromAnotherThreadReachTheWidgets) {
  ShowAndSettle();
  std::thread link([&] {
    window->setControlText(1027, "Data Sending...");
    window->setProgressRange(0, 2485);
    for (int pos = 0; pos <= 2485; ++pos)
      window->setProgressPos(pos);
    window->setControlText(1021, "hidden");
    window->enableControl(1027, false);
  });
  // The calls do not wait for the UI thread, which is not running here.
  link.join();

  auto* status = Child<QLabel>("static1027");
  auto* progress = Child<QProgressBar>("progress1000");
  ASSERT_NE(status, nullptr);
  ASSERT_NE(progress, nullptr);
  EXPECT_TRUE(WaitUntil([&] {
    return status->text() == "Data Sending..." && !status->isEnabled() && progress->maximum() == 2485 &&
           progress->value() == 2485;
  }));

  // A position beyond the range shows the bar full.
  std::thread([&] { window->setProgressPos(5000); }).join();
  Drain();
  EXPECT_EQ(progress->value(), 2485);
}

TEST_F(MainWindowTest, PostedTasksRunOnTheUiThread) {
  ShowAndSettle();
  std::atomic<bool> ranOnUi{false};
  std::atomic<bool> uiFromThread{true};
  std::thread worker([&] {
    uiFromThread = window->isUiThread();
    window->post([&] { ranOnUi = window->isUiThread(); });
  });
  worker.join();
  EXPECT_FALSE(uiFromThread);
  EXPECT_TRUE(window->isUiThread());
  EXPECT_TRUE(WaitUntil([&] { return ranOnUi.load(); }));
}

TEST_F(MainWindowTest, TasksPostedBeforeOrAfterTheWindowGoesAreDropped) {
  ShowAndSettle();
  int ran = 0;
  window->post([&] { ++ran; });  // still queued when the window goes
  window->close();
  EXPECT_EQ(dialog.Count("destroy"), 1);
  window->post([&] { ++ran; });
  std::thread([&] { window->post([&] { ++ran; }); }).join();
  Drain();
  EXPECT_EQ(ran, 0);
  EXPECT_FALSE(MainWidget()->isVisible());
}

TEST_F(MainWindowTest, PostsRacingTheCloseNeverRunAfterIt) {
  ShowAndSettle();
  std::atomic<bool> closed{false};
  std::atomic<bool> stop{false};
  std::atomic<int> posted{0};
  std::atomic<int> ranAfterClose{0};
  std::atomic<int> ranBeforeClose{0};
  std::thread poster([&] {
    while (!stop) {
      window->post([&] { (closed ? ranAfterClose : ranBeforeClose)++; });
      ++posted;
      window->setProgressPos(posted);
    }
  });
  ASSERT_TRUE(WaitUntil([&] { return ranBeforeClose > 100; }));
  window->close();
  closed = true;
  const int atClose = posted;
  ASSERT_TRUE(WaitUntil([&] { return posted > atClose + 1000; }));
  stop = true;
  poster.join();
  Drain();
  EXPECT_EQ(ranAfterClose, 0);
}

TEST_F(MainWindowTest, TimersTickWithTheirIdsUntilKilled) {
  ShowAndSettle();
  window->setTimer(0, 20);
  window->setTimer(2, 10);
  ASSERT_TRUE(WaitUntil([&] { return dialog.TimerTicks(0) >= 2 && dialog.TimerTicks(2) >= 2; }));
  window->killTimer(0);
  Drain();
  const int stopped = dialog.TimerTicks(0);
  const int running = dialog.TimerTicks(2);
  ASSERT_TRUE(WaitUntil([&] { return dialog.TimerTicks(2) >= running + 5; }));
  EXPECT_EQ(dialog.TimerTicks(0), stopped);
  for (int id : dialog.timers)
    EXPECT_TRUE(id == 0 || id == 2) << id;

  // Restarted with the same id, it ticks again.
  window->setTimer(0, 10);
  EXPECT_TRUE(WaitUntil([&] { return dialog.TimerTicks(0) > stopped; }));
}

TEST_F(MainWindowTest, EscapeAndCloseAskTheDialogWhichDecides) {
  ShowAndSettle();
  QWidget* main = MainWidget();
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(main, &escape);
  EXPECT_EQ(dialog.Count("cancel"), 1);

  // The dialog does not end: the window manager's close is refused.
  EXPECT_FALSE(main->close());
  EXPECT_EQ(dialog.Count("cancel"), 2);
  EXPECT_TRUE(main->isVisible());
  EXPECT_FALSE(window->ended());

  // Now it ends itself on cancel.
  dialog.onCancel = [&] { window->endDialog(platform::kIdCancel); };
  main->close();
  EXPECT_TRUE(window->ended());
  EXPECT_EQ(window->result(), platform::kIdCancel);
  EXPECT_TRUE(WaitUntil([&] { return dialog.Count("destroy") == 1; }));
  EXPECT_FALSE(main->isVisible());
}

TEST_F(MainWindowTest, DoModalRunsUntilEndDialogAndReturnsItsResult) {
  dialog.onInit = [&] { window->setTimer(5, 10); };
  dialog.onTimer = [&](int id) {
    if (id == 5 && dialog.Count("paint") > 0 && !window->ended()) window->endDialog(42);
  };
  EXPECT_EQ(window->doModal(dialog), 42);
  EXPECT_TRUE(window->ended());
  ASSERT_GE(dialog.calls.size(), 3u);
  EXPECT_EQ(dialog.calls.front(), "init");
  EXPECT_EQ(dialog.calls[1], "paint");
  EXPECT_EQ(dialog.calls.back(), "destroy");
  EXPECT_EQ(dialog.Count("destroy"), 1);
  EXPECT_FALSE(MainWidget()->isVisible());

  // Nothing reaches the dialog once it has gone.
  const size_t ticks = dialog.timers.size();
  Drain();
  EXPECT_EQ(dialog.timers.size(), ticks);
}

TEST_F(MainWindowTest, WorkRunLiveKeepsTheWindowGoingAndAClosingWindowWaitsForIt) {
  enum class End { ByItself, Escape, Close, EscapeInModalRun };
  for (End end : {End::ByItself, End::Escape, End::Close, End::EscapeInModalRun}) {
    SCOPED_TRACE(static_cast<int>(end));
    FakeDialog live;
    window = platform::CreateMainWindow(ClientTemplate());
    live.onCancel = [&] { window->endDialog(platform::kIdCancel); };
    std::atomic<bool> done{false};
    int ticks = 0;
    // The window's timer ticks while the work runs; on its third tick the
    // work is let go or the window is closed.
    live.onTimer = [&](int) {
      if (++ticks != 3) return;
      if (end == End::ByItself) {
        done = true;
      } else if (end == End::Close) {
        window->close();
      } else {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(MainWidget(), &escape);
      }
    };
    std::optional<bool> stayed;
    live.onInit = [&] {
      window->setTimer(7, 10);
      window->post([&] {
        stayed = window->runWhileLive([&](const std::atomic<bool>& closing) {
          while (!done && !closing)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
        live.calls.push_back("returned");
      });
    };
    if (end == End::EscapeInModalRun) {
      EXPECT_EQ(window->doModal(live), platform::kIdCancel);
    } else {
      window->show(live);
      ASSERT_TRUE(WaitUntil([&] { return stayed.has_value(); }));
    }
    ASSERT_TRUE(stayed.has_value());
    EXPECT_EQ(*stayed, end == End::ByItself);
    EXPECT_GE(ticks, 3);
    if (end != End::ByItself) {
      // The window went, but only once the work had returned.
      ASSERT_TRUE(WaitUntil([&] { return live.Count("destroy") == 1; }));
      const auto at = [&](const char* call) { return std::find(live.calls.begin(), live.calls.end(), call); };
      EXPECT_LT(at("returned"), at("destroy"));
    }
    window->close();
  }
}

TEST_F(MainWindowTest, ClientAreaShowsWhatWasPaintedUnderTheControls) {
  ShowAndSettle();
  EXPECT_EQ(window->pixelAt(5, 5), 0xFF17191Eu);  // the window's dark base before any drawing
  window->paint([](platform::Canvas& canvas) { canvas.fillRect({0, 0, 965, 578}, 0xFF000000); });
  window->paint([](platform::Canvas& canvas) { canvas.fillRect({100, 100, 50, 50}, 0xFFFF0000); });
  window->paint([](platform::Canvas& canvas) { canvas.fillRect({120, 120, 50, 50}, 0x800000FF); });
  EXPECT_EQ(window->pixelAt(110, 110), 0xFFFF0000u);
  EXPECT_EQ(window->pixelAt(160, 160), 0xFF000080u);
  EXPECT_EQ(window->pixelAt(5, 5), 0xFF000000u);
  EXPECT_EQ(window->pixelAt(2000, 5), 0u);

  // What was drawn stays: the window shows it again when it is repainted.
  MainWidget()->repaint();
  EXPECT_EQ(window->pixelAt(110, 110), 0xFFFF0000u);

  TempDir dir;
  const std::string file = (dir.path() / "shot.png").string();
  ASSERT_TRUE(window->saveScreenshot(file));
  const QImage shot(QString::fromStdString(file));
  EXPECT_EQ(shot.size(), QSize(965, 578));
  EXPECT_EQ(shot.pixel(110, 110), 0xFFFF0000u);
}

TEST_F(MainWindowTest, PaintFromInsidePaintDrawsOnTheSameSurface) {
  ShowAndSettle();
  window->paint([&](platform::Canvas& canvas) {
    canvas.translateTransform(300, 0);
    window->paint([](platform::Canvas& inner) { inner.fillRect({0, 0, 10, 10}, 0xFF00FF00); });
    canvas.fillRect({0, 0, 10, 10}, 0xFFFF0000);
  });
  EXPECT_EQ(window->pixelAt(5, 5), 0xFF00FF00u);
  EXPECT_EQ(window->pixelAt(305, 5), 0xFFFF0000u);

  // Controls changed while drawing repaint over the surface being drawn.
  window->paint([&](platform::Canvas& canvas) {
    canvas.fillRect({0, 540, 965, 38}, 0xFF00FF00);
    window->setProgressRange(0, 10);
    window->setProgressPos(5);
    window->setControlText(1027, "drawn");
  });
  EXPECT_EQ(Child<QProgressBar>("progress1000")->value(), 5);
}

TEST_F(MainWindowTest, MouseReachesTheDialogInClientCoordinates) {
  ShowAndSettle();
  QWindow* handle = MainWidget()->windowHandle();
  ASSERT_NE(handle, nullptr);
  // Through the window, as the platform delivers it, and over a control.
  const QPoint overStatus = Scaled(409, 325, 141, 12).center();
  auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), handle->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &event);
  };
  send(QEvent::MouseMove, {300, 200}, Qt::NoButton, Qt::NoButton);
  send(QEvent::MouseButtonPress, {300, 200}, Qt::LeftButton, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, {301, 202}, Qt::LeftButton, Qt::NoButton);
  send(QEvent::MouseButtonPress, overStatus, Qt::LeftButton, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, overStatus, Qt::LeftButton, Qt::NoButton);
  send(QEvent::MouseButtonPress, {10, 10}, Qt::RightButton, Qt::RightButton);

  ASSERT_EQ(dialog.downs.size(), 2u);
  EXPECT_EQ(dialog.downs[0], QPoint(300, 200));
  EXPECT_EQ(dialog.downs[1], overStatus);
  ASSERT_EQ(dialog.ups.size(), 2u);
  EXPECT_EQ(dialog.ups[0], QPoint(301, 202));
  ASSERT_FALSE(dialog.moves.empty());
  EXPECT_EQ(dialog.moves.front(), QPoint(300, 200));
  window->beginWindowMove();  // refused off screen, harmlessly
}

TEST_F(MainWindowTest, SystemMenuOpensOnTheBannerOrAltSpaceAndSendsItsCommands) {
  ShowAndSettle();
  // Move and Close from the start, before the dialog has added anything.
  QMenu* menu = OpenMenuWithAltSpace();
  EXPECT_EQ(MenuTexts(menu), QStringList({"Move", "Close   Alt+F4"}));
  ChooseMenuItem(menu, 1);
  EXPECT_EQ(dialog.sysCommands, std::vector<unsigned>{0xF060});

  window->setSystemMenuItem(0x10, "&About");
  window->setSystemMenuItem(0xF060, "Close");  // renamed in its place
  window->setSystemMenuItem(0x10, "&Info");
  menu = OpenMenuWithAltSpace();
  ASSERT_NE(menu, nullptr);
  // At the window's corner, which here is the screen's: the menu keeps off
  // the screen's edge by its frame.
  EXPECT_LE((menu->pos() - MainWidget()->mapToGlobal(QPoint(0, 0))).manhattanLength(), 4);
  EXPECT_EQ(MenuTexts(menu), QStringList({"Move", "Close", "&Info"}));
  ChooseMenuItem(menu, 0);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_EQ(dialog.sysCommands, (std::vector<unsigned>{0xF060, 0xF010}));

  // A right click opens it at the pointer on the banner only, and never
  // reaches the dialog as a click.
  EXPECT_EQ(OpenMenuWithRightClick({300, 60}), nullptr);
  menu = OpenMenuWithRightClick({300, 59});
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->pos(), MainWidget()->mapToGlobal(QPoint(300, 59)));
  ChooseMenuItem(menu, 2);
  EXPECT_EQ(dialog.sysCommands, (std::vector<unsigned>{0xF060, 0xF010, 0x10}));
  EXPECT_TRUE(dialog.downs.empty());
  EXPECT_TRUE(dialog.ups.empty());

  // While busy the window shows the busy cursor and keeps its menu shut.
  window->showBusy(true);
  EXPECT_EQ(MainWidget()->cursor().shape(), Qt::WaitCursor);
  EXPECT_EQ(OpenMenuWithAltSpace(), nullptr);
  EXPECT_EQ(OpenMenuWithRightClick({300, 59}), nullptr);
  window->showBusy(false);
  EXPECT_EQ(MainWidget()->cursor().shape(), Qt::ArrowCursor);
  menu = OpenMenuWithAltSpace();
  ASSERT_NE(menu, nullptr);
  menu->close();
}

TEST_F(MainWindowTest, TheApplicationAndTheWindowShowTheProgramsIcon) {
  ShowAndSettle();
  EXPECT_NE(platform::LoadAppIcon(), nullptr);
  EXPECT_FALSE(QApplication::windowIcon().isNull());
  EXPECT_EQ(MainWidget()->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
}

TEST_F(MainWindowTest, ShownAgainAfterMinimisedThePageIsPaintedAgain) {
  ShowAndSettle();
  QWidget* main = MainWidget();
  main->showMinimized();
  Drain();
  const int before = dialog.Count("paint");
  main->showNormal();
  EXPECT_TRUE(WaitUntil([&] { return dialog.Count("paint") > before; }));
}

}  // namespace
