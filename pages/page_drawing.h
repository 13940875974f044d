// The frame every page drawer follows: the page is composed on an off-screen
// 965 x 578 layer (transparent where nothing is drawn), starting with its
// background from the language folder; widgets come from the common folder;
// the finished layer is composited onto the window in one go, so the banner
// and the status bar stay as they are and no half-drawn page is ever seen.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/canvas.h"

class CCorvaneDlg;

namespace page {

inline constexpr platform::Argb kWhite = 0xFFFFFFFF;
inline constexpr platform::Argb kOrange = 0xFFF7680C;

// The pages' fonts, sized in inches.
inline platform::Font ShellFont(float inches) {
  return {"MS Shell Dlg", inches};
}
inline platform::Font ArialFont(float inches) {
  return {"Arial", inches};
}

class PageDrawing {
 public:
  // Makes the layer and draws the background of page 1..6 (row page of the
  // picture table) at (0, 60, 965, 477).
  PageDrawing(CCorvaneDlg& dlg, int page);
  PageDrawing(const PageDrawing&) = delete;
  PageDrawing& operator=(const PageDrawing&) = delete;
  ~PageDrawing();

  // A picture of the common folder scaled into the rectangle; a missing one
  // leaves its place undrawn.
  void Picture(const char* name, float x, float y, float width, float height);
  // Text with its top-left at (x, y): no wrapping, no clipping.
  void Text(std::string_view text, const platform::Font& font, platform::Argb color, float x, float y);
  // A straight bar of the given width between two points.
  void Bar(float x1, float y1, float x2, float y2, platform::Argb color, float width);
  // A level slider of the throttle and brake pages: a bar growing down from
  // (x, y), 34 px a level, with its knob at the bar's end. Levels outside
  // 0..kTopLevel are drawn at the nearer end of the slider.
  void LevelBar(float x, float y, int level);
  static constexpr int kTopLevel = 4;
  // For what the helpers above do not cover (arcs, transforms).
  platform::Canvas& canvas();
  // Composites the layer onto the window; the destructor does it when this
  // was not called.
  void Show();

 private:
  CCorvaneDlg& m_dlg;
  std::unique_ptr<platform::Layer> m_layer;
  bool m_shown = false;
};

// The decimal digit (value / unit) mod 10 as a character; negative values
// count by their magnitude.
char Digit(long long value, long long unit);

// The text of value with the given number of digits, leading zeros kept and
// higher digits dropped (Digits(980, 4) is "0980", Digits(123, 2) is "23").
std::string Digits(long long value, int count);

}  // namespace page
