// The collision rectangle shared by the player, units and effects (the layout of SDL_Rect),
// and the two tests every overlap in the game uses.
#pragma once

#include <cstdint>

struct Rect {
  int16_t x, y;
  uint16_t w, h;
};

// Positive-area overlap: rectangles that only touch do not overlap.
inline bool RectsOverlap(const Rect& a, const Rect& b) {
  return b.x < a.x + a.w && a.x < b.x + b.w && b.y < a.y + a.h && a.y < b.y + b.h;
}

// All four edges count.
inline bool PointInRect(const Rect& r, int32_t x, int32_t y) {
  return !(x < r.x || x > r.x + r.w || y < r.y || y > r.y + r.h);
}
