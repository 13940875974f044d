// The dialog with a canvas item, on Qt: the mouse on the canvas, its timer
// and drawing, and keys and the close box that never press a button.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <string>
#include <vector>

#include "platform/qt/canvas_dialogs.h"
#include "platform/qt/qt_canvas.h"
#include "qt_test_support.h"

namespace {

using Kind = platform::DialogItem::Kind;

platform::DialogTemplate CanvasTemplate() {
  platform::DialogTemplate t;
  t.caption = "Curve";
  t.width = 200;
  t.height = 100;
  t.items = {{Kind::Static, 1024, 0, 0, 200, 80, "", false, false},
             {Kind::Button, 1023, 100, 84, 40, 14, "OK", false, false},
             {Kind::Button, 1065, 150, 84, 40, 14, "Cancel", false, false}};
  return t;
}

// Records what the window tells it; ends on the close it is told to accept.
class Recorder : public platform::CanvasDialogEvents {
 public:
  bool OnInitDialog(platform::CanvasDialog& d) override {
    dialog = &d;
    calls.push_back("init");
    return true;
  }
  void OnPaint() override {}
  void OnTimer(int id) override { calls.push_back("timer " + std::to_string(id)); }
  void OnMouseMove(int x, int y, bool left) override { Add("move", x, y, left); }
  void OnLButtonDown(int x, int y) override { Add("down", x, y, true); }
  void OnLButtonUp(int x, int y) override { Add("up", x, y, false); }
  void OnRButtonDown(int x, int y) override { Add("right", x, y, false); }
  void OnCommand(int id) override { calls.push_back("command " + std::to_string(id)); }
  void OnClose() override {
    calls.push_back("close");
    if (acceptClose) dialog->endDialog(7);
  }
  void OnDestroy() override { calls.push_back("destroy"); }
  void Add(const char* what, int x, int y, bool left) {
    const platform::Point at = dialog->cursorPos();
    calls.push_back(std::string(what) + " " + std::to_string(x) + "," + std::to_string(y) +
                    (left ? " L" : "") + " at " + std::to_string(at.x) + "," + std::to_string(at.y));
  }

  platform::CanvasDialog* dialog = nullptr;
  bool acceptClose = true;
  std::vector<std::string> calls;
};

void Key(QWidget* target, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &press);
}

void Mouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
  QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &event);
}

TEST(CanvasDialog, EnterPressesNoButtonAndTheCloseFollowsTheDialog) {
  Recorder events;
  events.acceptClose = false;
  WhenModalShows([&](QWidget* modal) {
    auto* ok = modal->findChild<QPushButton*>("button1023");
    ASSERT_NE(ok, nullptr);
    EXPECT_FALSE(ok->isDefault() || ok->autoDefault());
    // A disabled close box does nothing; Enter and Escape still ask the
    // dialog, wherever the focus is.
    events.dialog->enableClose(false);
    modal->close();
    Key(modal->findChild<QWidget*>("canvas"), Qt::Key_Return);
    ok->setFocus();
    Key(ok, Qt::Key_Enter);
    Key(modal, Qt::Key_Escape);
    events.dialog->enableClose(true);
    events.acceptClose = true;
    modal->close();
  });
  EXPECT_EQ(platform::qt::RunCanvasDialog(nullptr, CanvasTemplate(), 1024, events), 7);
  EXPECT_EQ(events.calls, (std::vector<std::string>{"init", "close", "close", "close", "close", "destroy"}));
}

TEST(CanvasDialog, TimerDrawingAndPostedClose) {
  Recorder events;
  WhenModalShows([&](QWidget* modal) {
    QWidget* canvas = modal->findChild<QWidget*>("canvas");
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(events.dialog->canvasWidth(), canvas->width());
    events.dialog->paintCanvas([](platform::Canvas& c) { c.fillRect({0, 0, 30, 30}, kBlue); });
    EXPECT_TRUE(WaitUntil([&] { return At(canvas->grab().toImage(), 5, 5) == kBlue; }));
    events.dialog->setTimer(3, 10);
    EXPECT_TRUE(WaitUntil([&] { return events.calls.back() == "timer 3"; }));
    events.dialog->killTimer(3);
    events.calls.clear();
    events.dialog->postClose();
  });
  EXPECT_EQ(platform::qt::RunCanvasDialog(nullptr, CanvasTemplate(), 1024, events), 7);
  EXPECT_EQ(events.calls, (std::vector<std::string>{"close", "destroy"}));
}

TEST(CanvasDialog, MouseInCanvasCoordinatesAndEnabledButtons) {
  Recorder events;
  WhenModalShows([&](QWidget* modal) {
    QWidget* canvas = modal->findChild<QWidget*>("canvas");
    // Over the canvas once the pointer comes, no longer once it has left
    // (a drag takes its moves from outside too).
    EXPECT_FALSE(events.dialog->cursorOver());
    Mouse(canvas, QEvent::MouseMove, {10, 20}, Qt::NoButton, Qt::NoButton);
    EXPECT_TRUE(events.dialog->cursorOver());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(canvas, &leave);
    EXPECT_FALSE(events.dialog->cursorOver());
    QEnterEvent enter({30, 40}, {30, 40}, canvas->mapToGlobal(QPointF(30, 40)));
    QCoreApplication::sendEvent(canvas, &enter);
    EXPECT_TRUE(events.dialog->cursorOver());
    EXPECT_EQ(events.dialog->cursorPos().x, 30);
    Mouse(canvas, QEvent::MouseButtonPress, {11, 21}, Qt::LeftButton, Qt::LeftButton);
    Mouse(canvas, QEvent::MouseMove, {-12, 22}, Qt::NoButton, Qt::LeftButton);
    EXPECT_FALSE(events.dialog->cursorOver());
    Mouse(canvas, QEvent::MouseButtonRelease, {13, 23}, Qt::LeftButton, Qt::NoButton);
    Mouse(canvas, QEvent::MouseButtonPress, {14, 24}, Qt::RightButton, Qt::RightButton);
    modal->findChild<QPushButton*>("button1023")->click();
    events.dialog->enableItem(1023, false);
    modal->findChild<QPushButton*>("button1023")->click();
    events.dialog->endDialog(7);
  });
  platform::qt::RunCanvasDialog(nullptr, CanvasTemplate(), 1024, events);
  EXPECT_EQ(events.calls, (std::vector<std::string>{"init", "move 10,20 at 10,20", "down 11,21 L at 11,21",
                                                    "move -12,22 L at -12,22", "up 13,23 at 13,23",
                                                    "right 14,24 at 14,24", "command 1023", "destroy"}));
}

TEST(CanvasText, TextInABoxAlignedBottomRightOnItsBackground) {
  QImage target = Image(200, 60, Qt::transparent);
  {
    platform::qt::QtCanvas canvas(target);
    platform::TextBox box;
    box.rect = {0, 0, 150, 50};
    box.alignRight = box.alignBottom = true;
    box.background = 0xFF000000;
    canvas.drawTextInBox("87.5%", {"Arial", 0.15f}, kWhite, box);
  }
  // The black box ends at the rectangle's right and bottom edges.
  EXPECT_EQ(At(target, 149, 49), 0xFF000000u);
  EXPECT_EQ(At(target, 150, 49), 0u);
  EXPECT_EQ(At(target, 10, 5), 0u);
}

}  // namespace
