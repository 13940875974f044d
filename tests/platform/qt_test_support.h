// Shared pieces of the platform tests: the offscreen application, waiting on
// conditions while the UI thread runs, a scripted stand-in for the dialog and
// helpers that answer modal windows.
#pragma once

#include <QImage>
#include <QMenu>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/canvas.h"

// Runs the UI thread's events until the condition holds; false if it still
// does not after a generous guard.
bool WaitUntil(const std::function<bool()>& condition);

// The main window's top-level widget.
QWidget* MainWidget();

// Once a modal window is active, runs the action on it (from the event loop
// of that window).
void WhenModalShows(std::function<void(QWidget*)> action);

// The main window's system menu as a user opens it: Alt+Space, or a right
// click at a point of the client area. The menu that opened, or null.
QMenu* OpenMenuWithAltSpace();
QMenu* OpenMenuWithRightClick(QPoint at);
// Its items' texts; none when no menu opened.
QStringList MenuTexts(const QMenu* menu);
// Picks the item with the keyboard, as a user does: the menu closes, then the
// item's command runs. Fails the test when there is no such item.
void ChooseMenuItem(QMenu* menu, int index);

// A fresh directory for the test's files, removed by the destructor.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  std::filesystem::path path() const { return m_path; }

 private:
  std::filesystem::path m_path;
};

// Writes the image as a PNG file.
std::filesystem::path WritePng(const std::filesystem::path& file, const QImage& image);

inline constexpr platform::Argb kRed = 0xFFFF0000;
inline constexpr platform::Argb kGreen = 0xFF00FF00;
inline constexpr platform::Argb kBlue = 0xFF0000FF;
inline constexpr platform::Argb kWhite = 0xFFFFFFFF;

// A premultiplied ARGB image filled with the colour.
QImage Image(int width, int height, QColor fill);
platform::Argb At(const QImage& image, int x, int y);
// Each channel within the tolerance.
bool Near(platform::Argb a, platform::Argb b, int tolerance = 10);

// The dialog side of the main window: records what the window tells it.
class FakeDialog : public platform::DialogEvents {
 public:
  bool OnInitDialog() override;
  void OnPaint() override;
  void OnTimer(int timerId) override;
  void OnMouseMove(int x, int y) override;
  void OnLButtonDown(int x, int y) override;
  void OnLButtonUp(int x, int y) override;
  void OnSysCommand(unsigned commandId) override;
  platform::ControlColors OnCtlColor(int controlId) override;
  void OnCancel() override;
  void OnDestroy() override;

  int Count(const std::string& call) const;
  int TimerTicks(int timerId) const;

  std::vector<std::string> calls;  // "init", "paint", "cancel", "destroy"
  std::vector<int> timers;
  std::vector<unsigned> sysCommands;
  std::vector<QPoint> downs, ups, moves;
  std::map<int, platform::ControlColors> colors;
  std::function<void()> onInit, onCancel;
  std::function<void(int)> onTimer;
};
