// The collision rectangle shared by the player, units and effects, and the two tests every
// overlap in the game uses.
#pragma once

#include <cstdint>

// World pixels: 32 bits hold every position of the 4096-column map.
struct Rect {
  int32_t x, y;
  int32_t w, h;
};

// Positive-area overlap: rectangles that only touch do not overlap. The far edges are summed
// in 64 bits, so a box flung to the end of the int range cannot overflow.
inline bool RectsOverlap(const Rect& a, const Rect& b) {
  return b.x < int64_t(a.x) + a.w && a.x < int64_t(b.x) + b.w && b.y < int64_t(a.y) + a.h &&
         a.y < int64_t(b.y) + b.h;
}

// All four edges count.
inline bool PointInRect(const Rect& r, int32_t x, int32_t y) {
  return !(x < r.x || x > int64_t(r.x) + r.w || y < r.y || y > int64_t(r.y) + r.h);
}
