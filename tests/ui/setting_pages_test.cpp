// The setting pages as a user works them, offscreen: real mouse events on the
// real window, the main dialog and the simulated box. Every page is reached by
// its tile or tab, one value on each is set by pressing and dragging, and the
// write puts them into the simulated ESC's memory.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QWindow>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/qt_test_support.h"
#include "ui/window_fixture.h"

namespace {

class SettingPages : public WindowTest {
 protected:
  void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QWindow* handle = MainWidget()->windowHandle();
    QMouseEvent event(type, QPointF(at), handle->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &event);
    platform::Application::ProcessEvents();
  }
  // Clicks are taken once the mouse is no longer blocked.
  void Press(QPoint at) {
    ASSERT_TRUE(WaitUntil([&] { return dlg->m_nClickBlock == 0; }));
    Send(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    Send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
  }
  void Release(QPoint at) { Send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton); }
  void Click(QPoint at) {
    Press(at);
    Release(at);
  }
  // Press, move there in steps with the button held, release.
  void Drag(QPoint from, QPoint to) {
    Press(from);
    for (int step = 1; step <= 4; ++step) {
      const QPoint at = from + (to - from) * step / 4;
      Send(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
    }
    Release(to);
  }
  SettingProfile Selected() {
    SettingProfile profile{};
    EXPECT_TRUE(dlg->SelectedProfile(profile));
    return profile;
  }
  std::vector<std::uint8_t> SimProfile(int k) {
    std::vector<std::uint8_t> bytes(kSettingsSize);
    sim.CorvaneSim_GetEscSettings(0, bytes.data(), kSettingsSize);
    return {bytes.begin() + 242 * k, bytes.begin() + 242 * (k + 1)};
  }
};

TEST_F(SettingPages, EveryPageEditedWithTheMouseAndWrittenToTheEsc) {
  window->show(*dlg);
  ASSERT_TRUE(WaitUntil([&] { return dlg->m_nStatusTextId == 20 && dlg->LinkIdle(); }));

  // Page 1 from its home tile: the reverse speed slider, dragged past its end.
  Click({160, 165});
  ASSERT_EQ(dlg->m_nPage, 1);
  Drag({200, 392}, {760, 392});
  EXPECT_EQ(Selected().reverseSpeed, 255);
  Drag({300, 392}, {430, 392});
  EXPECT_EQ(Selected().reverseSpeed, 64 + static_cast<int>(265 / 2.85417));
  // The knob stands where the value puts it, and no longer at the slider's end.
  const QImage background(QString(CORVANE_SIM_DRIVE_C) + "/CORVANE/REC/LANGUAGE_EN/UI-02.PNG");
  const auto backgroundAt = [&](int x, int y) {
    return static_cast<platform::Argb>(background.pixel(x, y - 60));
  };
  EXPECT_NE(window->pixelAt(429, 392), backgroundAt(429, 392));
  EXPECT_EQ(window->pixelAt(697, 392), backgroundAt(697, 392));

  // Page 2 from the tab strip: the throttle switch point.
  Click({240, 80});
  ASSERT_EQ(dlg->m_nPage, 2);
  Drag({300, 234}, {400, 234});
  EXPECT_EQ(Selected().throttleSwitchPoint, static_cast<int>(240 * 0.53125));

  // Page 3: the brake strength.
  Click({400, 80});
  ASSERT_EQ(dlg->m_nPage, 3);
  Drag({200, 295}, {395, 295});
  EXPECT_EQ(Selected().brakeStrength, 240 * 5 / 24);

  // Page 4: the turbo delay column, dragged up.
  Click({560, 80});
  ASSERT_EQ(dlg->m_nPage, 4);
  Drag({620, 380}, {620, 290});
  EXPECT_EQ(Selected().turboDelay, 100 * 100 / 150);

  // Page 5: the pole count through its dialog.
  Click({720, 80});
  ASSERT_EQ(dlg->m_nPage, 5);
  WhenModalShows([](QWidget* modal) {
    modal->findChild<QLineEdit*>("edit1007")->setText("14");
    modal->findChild<QPushButton*>("button1")->click();
  });
  Click({660, 385});
  EXPECT_EQ(dlg->m_nPoles, 14);

  // Back to page 4 and its Write button: the profile reaches the ESC.
  const SettingProfile edited = Selected();
  Click({560, 80});
  ASSERT_TRUE(WaitUntil([&] { return dlg->m_nPressCountdown == 0 && dlg->LinkIdle(); }));
  Click({670, 498});
  ASSERT_TRUE(WaitUntil([&] { return dlg->m_nStatusTextId == 19 && dlg->LinkIdle(); }));
  const int k = dlg->SettingsSnapshot().selectedProfile;
  const auto* expected = reinterpret_cast<const std::uint8_t*>(&edited);
  EXPECT_EQ(SimProfile(k), std::vector<std::uint8_t>(expected, expected + 242));
}

// The curve editor from page 2's Custom half: a point inserted on the line
// and dragged up, OK, and the new curve in the simulated ESC's memory.
TEST_F(SettingPages, ThrottleCurveEditedAndWrittenToTheEsc) {
  window->show(*dlg);
  ASSERT_TRUE(WaitUntil([&] { return dlg->m_nStatusTextId == 20 && dlg->LinkIdle(); }));
  Click({160, 165});
  Click({240, 80});
  ASSERT_EQ(dlg->m_nPage, 2);

  bool written = false;
  WhenModalShows([&](QWidget* modal) {
    QWidget* canvas = modal->findChild<QWidget*>("canvas");
    ASSERT_NE(canvas, nullptr);
    const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
      QMouseEvent event(type, QPointF(at), canvas->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
      QCoreApplication::sendEvent(canvas, &event);
    };
    // On the factory line halfway along, then up to 180 of 255.
    send(QEvent::MouseMove, {460, 216}, Qt::NoButton, Qt::NoButton);
    send(QEvent::MouseButtonPress, {460, 216}, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, {460, 180}, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseMove, {460, 150}, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, {460, 150}, Qt::LeftButton, Qt::NoButton);
    // The red curve now runs from the origin (60, 376) to the dragged point,
    // through (260, 263).
    const auto redNear = [&](int x, int y) {
      const QImage shown = canvas->grab().toImage();
      for (int dy = -1; dy <= 1; ++dy) {
        const QColor c = shown.pixelColor(x, y + dy);
        if (c.red() > 150 && c.green() < 100) return true;
      }
      return false;
    };
    EXPECT_TRUE(WaitUntil([&] { return redNear(260, 263); }));
    EXPECT_FALSE(redNear(260, 296));  // where the straight line was
    auto* ok = modal->findChild<QPushButton*>("button1023");
    ok->click();
    EXPECT_FALSE(ok->isEnabled());
    written = WaitUntil([&] { return ok->isEnabled(); }) && dlg->m_nStatusTextId == 19;
    modal->findChild<QPushButton*>("button1065")->click();
  });
  Click({250, 170});
  EXPECT_TRUE(written);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

  const int k = dlg->SettingsSnapshot().selectedProfile;
  const std::vector<std::uint8_t> profile = SimProfile(k);
  const std::vector<std::uint8_t> curve(profile.begin() + 0x1e, profile.begin() + 0x1e + 6);
  EXPECT_EQ(curve, (std::vector<std::uint8_t>{0, 0, 128, 180, 255, 255}));
  EXPECT_EQ(profile[0x3e], 3);
  EXPECT_EQ(profile[0x3f], 0);
  EXPECT_EQ(profile[0x08] & 0x01, 0);  // no longer the linear curve
}

}  // namespace
