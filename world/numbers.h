// Float-to-int truncation toward zero, as the game's rules are written, made safe for values
// that do not fit an int (a NaN or a position flung far off the map) instead of undefined.
#pragma once

#include <cstdint>

inline int32_t Trunc(double value) {
  if (!(value > -2147483648.0)) return value != value ? 0 : INT32_MIN;
  if (!(value < 2147483647.0)) return INT32_MAX;
  return int32_t(value);
}
