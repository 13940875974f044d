// The picture table of the home page: a picture's file name and its hit
// rectangle in client pixels.
#pragma once

#include <cstdint>

// A rectangle of client pixels; a point is inside when left <= x <= right
// and top <= y <= bottom.
struct UiRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool Contains(int x, int y) const { return left <= x && x <= right && top <= y && y <= bottom; }
};

struct UiTile {
  std::uint8_t state = 0;
  const char* name = "";  // file name in the language folder
  UiRect rect;
};

inline constexpr int kTileCount = 20;

// Rows 0..11 of the table (0 the home picture and the home icon, 1..6 the
// home tiles and page backgrounds, 7..11 the home buttons); the rest empty.
extern const UiTile kPictureTable[kTileCount];
